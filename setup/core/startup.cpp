#include "setup/core/setup.h"
#include "setup/messages/messages.h"
#include "setup/resources/ids.h"

BOOL IsWindows95() {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    if (!GetVersionExA(&version)) return FALSE;
    return version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
}

namespace {

// Fills DIR from QUERY with a trailing backslash; false when the directory is not available.
template <typename Query>
bool GetDirectory(Query query, char (&dir)[kPathCap]) {
    UINT len = query(dir, kPathCap);
    if (len == 0 || len >= kPathCap) {
        dir[0] = '\0';
        return false;
    }
    return AddBackslash(dir);
}

} // namespace

BOOL ResolveDirectories() {
    if (!GetDirectory(GetWindowsDirectoryA, szWindowsDir)) {
        ShowSetupMessage(nullptr, MB_ICONHAND, IDS_NO_WINDOWS_DIR);
        return FALSE;
    }
    if (!GetDirectory(GetSystemDirectoryA, szSystemDir)) {
        ShowSetupMessage(nullptr, MB_ICONHAND, IDS_NO_SYSTEM_DIR);
        return FALSE;
    }
    // A Windows directory too long to name its fonts directory cannot be installed into either.
    if (!JoinPath(szFontsDir, szWindowsDir, "FONTS\\")) {
        ShowSetupMessage(nullptr, MB_ICONHAND, IDS_NO_WINDOWS_DIR);
        return FALSE;
    }
    return TRUE;
}

int RunSetup(HINSTANCE instance, const char* commandLine) {
    ResetSetupState(); // the values the run starts with
    bool windows95 = IsWindows95();
    SetConfigFileIds();
    if (!windows95) {
        // Nothing of the program is set up yet: the platform's own message box says it.
        MessageBoxA(nullptr, "Setup requires Windows 95.", "TARNO Setup", MB_OK | MB_ICONHAND);
        return 0;
    }
    SetRegistryLocations();
    hInst = instance;
    if (!ParseCommandLine(commandLine)) return 0;
    if (!ResolveDirectories()) return 0;
    if (!RegisterSetupClasses(instance)) return 0;
    if (!CreateSetupWindow(instance)) return 0;
    return RunMessageLoop();
}
