// The order of the loader's run.
#include "common/bounded.h"
#include "loader/loader.h"
#include "loader/loader_ids.h"

namespace {

BOOL ReadWindowsDirectory() {
    UINT len = GetWindowsDirectoryA(szLoaderWindowsDir, sizeof szLoaderWindowsDir);
    if (len == 0 || len >= sizeof szLoaderWindowsDir) {
        LoaderMessage(nullptr, MB_OK | MB_ICONERROR, IDS_LOADER_NO_WINDOWS_DIR);
        return FALSE;
    }
    return TRUE;
}

// The drive and directory of the loader's own file, with a trailing backslash; empty when the file's
// path is not known whole (its directory would be another one).
void ReadLoaderSourceDir() {
    char path[MAX_PATH];
    DWORD len = GetModuleFileNameA(nullptr, path, sizeof path);
    if (len >= sizeof path) len = 0;
    path[len] = '\0';
    while (len > 0 && path[len - 1] != '\\' && path[len - 1] != ':')
        --len;
    path[len] = '\0';
    if (!path[0] || !JoinPath(szLoaderSourceDir, path) || !AddBackslash(szLoaderSourceDir))
        szLoaderSourceDir[0] = '\0';
}

} // namespace

int RunLoader(HINSTANCE instance, const char* commandLine) {
    ResetLoaderState();
    if (!ReadWindowsDirectory()) return 0;
    if (!HandleLoaderSwitches(commandLine)) return 0;
    if (!CheckLoaderFreeSpace()) return 0;
    AddBackslash(szLoaderWindowsDir);
    ReadLoaderSourceDir();
    if (!CreateLoaderWindow(instance)) return 0;
    int code = RunLoaderMessageLoop();
    if (code != 0) return code;
    HandOver();
    return 0;
}
