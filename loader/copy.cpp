// Copying the setup files into the temporary directory, and the hand-over to the main setup program.
#include "common/bounded.h"
#include "loader/loader.h"
#include "loader/loader_ids.h"

namespace {

// The two files, in the order they are copied: the main program comes last, so its path starts the
// command line.
const UINT kSetupFiles[] = {IDS_LOADER_INF_FILE, IDS_LOADER_MAIN_PROGRAM};

void LoadLoaderString(UINT id, char* out, int cap) {
    if (!LoadStringA(GetModuleHandleA(nullptr), id, out, cap)) out[0] = '\0';
}

BOOL ExistsAs(const char* path) {
    OFSTRUCT of;
    return LZOpenFileA(const_cast<LPSTR>(path), &of, OF_EXIST) >= 0;
}

// The file's path in the source directory; false when it does not fit (a file that cannot be named is
// missing) or the directory is not known.
BOOL SourcePath(const char* name, char (&path)[MAX_PATH]) {
    return szLoaderSourceDir[0] && JoinPath(path, szLoaderSourceDir, name);
}

// True when the file lies in the source directory under its own or its compressed name.
BOOL SourcePresent(const char* name) {
    char path[MAX_PATH], compressed[MAX_PATH];
    if (!SourcePath(name, path)) return FALSE;
    if (ExistsAs(path)) return TRUE;
    return MakeCompressedName(path, compressed, sizeof compressed) && ExistsAs(compressed);
}

INT OpenSource(const char* name) {
    char path[MAX_PATH], compressed[MAX_PATH];
    if (!SourcePath(name, path)) return -1;
    OFSTRUCT of;
    INT h = LZOpenFileA(path, &of, OF_READ);
    if (h >= 0 || !MakeCompressedName(path, compressed, sizeof compressed)) return h;
    return LZOpenFileA(compressed, &of, OF_READ);
}

// Copies one file, expanding it when it is stored compressed, to DEST in the temporary directory.
BOOL CopyOneFile(const char* name, char (&dest)[MAX_PATH]) {
    if (!JoinPath(dest, szLoaderTempDir, name)) return FALSE;
    INT source = OpenSource(name);
    if (source < 0) return FALSE;
    OFSTRUCT of;
    INT target = LZOpenFileA(dest, &of, OF_CREATE);
    if (target < 0) {
        LZClose(source);
        return FALSE;
    }
    LONG copied = CopyLZFile(source, target);
    LZClose(source);
    LZClose(target);
    return copied >= 0;
}

// A directory's name without its trailing backslash; a root such as C:\ keeps it.
void StripTrailingBackslash(char* path) {
    size_t len = lstrlenA(path);
    if (len > 3 && path[len - 1] == '\\') path[len - 1] = '\0';
}

int CopyFailed() {
    LZDone();
    MessageBoxA(nullptr, "Unable to initialize TARNO Setup.", "SETUP", MB_OK);
    return 1;
}

} // namespace

BOOL MakeCompressedName(const char* name, char* out, size_t cap) {
    if (!JoinPathN(out, cap, {name})) return FALSE;
    size_t len = lstrlenA(out);
    size_t base = len;
    while (base > 0 && out[base - 1] != '\\' && out[base - 1] != '/' && out[base - 1] != ':')
        --base;
    const char* dot = nullptr;
    for (size_t i = base; i < len; ++i)
        if (out[i] == '.') dot = out + i;
    if (dot && out + len - dot >= 2) {
        out[len - 1] = '_';
        return TRUE;
    }
    // "name." has an extension of the dot alone.
    return JoinPathN(out, cap, {out, dot ? "_" : "._"});
}

int CopySetupFiles() {
    char name[MAX_PATH];
    LZStart();
    for (UINT id : kSetupFiles) {
        LoadLoaderString(id, name, sizeof name);
        if (!SourcePresent(name)) return CopyFailed();
    }
    char tempName[32];
    LoadLoaderString(IDS_LOADER_TEMP_DIR, tempName, sizeof tempName);
    // The directory is named with its backslash, so the name must fit with it.
    if (!JoinPath(szLoaderTempDir, szLoaderWindowsDir, tempName, "\\")) return CopyFailed();
    StripTrailingBackslash(szLoaderTempDir);
    CreateDirectoryA(szLoaderTempDir, nullptr); // an existing directory is used as it is
    AddBackslash(szLoaderTempDir);
    char dest[MAX_PATH];
    for (UINT id : kSetupFiles) {
        LoadLoaderString(id, name, sizeof name);
        if (!CopyOneFile(name, dest)) return CopyFailed();
    }
    CopyText(szLoaderCommand, dest);
    LZDone();
    return 0;
}

void BuildLoaderCommand(const char* programPath) {
    CopyText(szLoaderCommand, programPath);
    if (fSwitchE) AppendText(szLoaderCommand, " /e");
    if (fSwitchA) AppendText(szLoaderCommand, " /a");
    if (fSwitchN) AppendText(szLoaderCommand, " /n");
    if (fSwitchQ) AppendText(szLoaderCommand, " /q");
    if (fSwitchO) AppendText(szLoaderCommand, " /o");
    AppendText(szLoaderCommand, " /d");
    AppendText(szLoaderCommand, " /s");
    AppendText(szLoaderCommand, szLoaderSourceDir);
}

void HandOver() {
    char program[MAX_PATH];
    CopyText(program, szLoaderCommand);
    // The main program starts with the temporary directory as its current directory.
    char tempDir[MAX_PATH];
    CopyText(tempDir, szLoaderTempDir);
    StripTrailingBackslash(tempDir);
    SetCurrentDirectoryA(tempDir);
    BuildLoaderCommand(program);
    if (WinExec(szLoaderCommand, SW_SHOWNORMAL) < 32) {
        char text[sizeof szLoaderCommand + 40];
        CopyText(text, "Unable to run application file: ");
        AppendText(text, szLoaderCommand);
        MessageBoxA(nullptr, text, "TARNO", MB_OK | MB_ICONEXCLAMATION);
    }
}
