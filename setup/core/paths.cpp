#include "setup/core/setup.h"
#include "setup/resources/ids.h"

#include <cstring>

namespace {

HANDLE OpenForSharedRead(const char* path) {
    return CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
}

} // namespace

void StripBackslash(char* path) {
    std::size_t len = std::strlen(path);
    if (len > 0 && path[len - 1] == '\\') path[len - 1] = '\0';
}

DWORD GetFileSizeByName(const char* path) {
    HANDLE file = OpenForSharedRead(path);
    if (file == INVALID_HANDLE_VALUE) return 0;
    DWORD size = GetFileSize(file, nullptr);
    CloseHandle(file);
    return size == INVALID_FILE_SIZE ? 0 : size;
}

BOOL FileExists(const char* path) {
    HANDLE file = OpenForSharedRead(path);
    if (file == INVALID_HANDLE_VALUE) return FALSE;
    CloseHandle(file);
    return TRUE;
}

void GetModuleDir(char* dir, std::size_t cap) {
    char path[MAX_PATH];
    DWORD len = GetModuleFileNameA(hInst, path, sizeof path);
    if (len == 0 || len >= sizeof path) path[0] = '\0';
    char* lastSlash = std::strrchr(path, '\\');
    if (lastSlash)
        lastSlash[1] = '\0';
    else
        path[0] = '\0';
    CopyTextN(dir, cap, path);
    if (dir[0]) AddBackslashN(dir, cap);
}

void LoadText(UINT id, char* out, std::size_t cap) {
    if (cap == 0) return;
    if (LoadStringA(hInst ? hInst : GetModuleHandleA(nullptr), id, out, static_cast<int>(cap)) <= 0)
        out[0] = '\0';
}

BOOL GetProductIniPath(char* path, std::size_t cap) {
    char name[32];
    LoadText(IDS_FILE_TARNO_INI, name, sizeof name);
    if (JoinPathN(path, cap, {szWindowsDir}) && AddBackslashN(path, cap) &&
        JoinPathN(path, cap, {path, name}))
        return TRUE;
    if (cap) path[0] = '\0';
    return FALSE;
}
