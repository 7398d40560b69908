#include "tools/windriver/drives.h"

#include <winioctl.h>

#include <cstring>
#include <vector>

namespace wine_drives {
namespace {

// The mount manager's Wine extensions (Wine's include/ddk/mountmgr.h).
constexpr ULONG kMountManagerType = 'm';
constexpr DWORD kDefineUnixDrive =
    CTL_CODE(kMountManagerType, 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);
constexpr DWORD kQueryUnixDrive = CTL_CODE(kMountManagerType, 33, METHOD_BUFFERED, FILE_READ_ACCESS);

struct UnixDrive {
    ULONG size;
    ULONG type;
    ULONG fs_type;
    DWORD serial;
    ULONGLONG unix_dev;
    WCHAR letter;
    USHORT mount_point_offset;
    USHORT device_offset;
    USHORT label_offset;
};

class MountManager {
  public:
    MountManager()
        : handle_(CreateFileW(L"\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr)) {}
    ~MountManager() {
        if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    }
    MountManager(const MountManager&) = delete;
    MountManager& operator=(const MountManager&) = delete;

    bool open() const { return handle_ != INVALID_HANDLE_VALUE; }
    bool control(DWORD code, void* in, DWORD in_size, void* out, DWORD out_size) {
        DWORD got = 0;
        return handle_ != INVALID_HANDLE_VALUE &&
               DeviceIoControl(handle_, code, in, in_size, out, out_size, &got, nullptr);
    }

  private:
    HANDLE handle_;
};

WCHAR lower(char letter) {
    return static_cast<WCHAR>(letter >= 'A' && letter <= 'Z' ? letter - 'A' + 'a' : letter);
}

} // namespace

bool query(char letter, UINT& kind, std::string& unix_folder) {
    std::vector<char> buffer(4096, '\0');
    auto* drive = reinterpret_cast<UnixDrive*>(buffer.data());
    drive->letter = lower(letter);
    MountManager manager;
    if (!manager.control(kQueryUnixDrive, drive, sizeof *drive, buffer.data(),
                         static_cast<DWORD>(buffer.size())))
        return false;
    kind = drive->type;
    unix_folder = drive->mount_point_offset ? std::string(buffer.data() + drive->mount_point_offset) : "";
    return true;
}

bool define(char letter, UINT kind, const std::string& unix_folder, std::string* error) {
    std::vector<char> buffer(sizeof(UnixDrive) + unix_folder.size() + 1, '\0');
    auto* drive = reinterpret_cast<UnixDrive*>(buffer.data());
    drive->size = static_cast<ULONG>(buffer.size());
    drive->type = kind;
    drive->letter = lower(letter);
    drive->mount_point_offset = sizeof(UnixDrive);
    std::memcpy(buffer.data() + sizeof(UnixDrive), unix_folder.c_str(), unix_folder.size() + 1);
    MountManager manager;
    if (manager.control(kDefineUnixDrive, buffer.data(), drive->size, nullptr, 0)) return true;
    if (error)
        *error = std::string(manager.open() ? "Wine's mount manager refuses drive "
                                            : "cannot reach Wine's mount manager for drive ") +
                 letter + ": " + unix_folder + " (error " + std::to_string(GetLastError()) + ")";
    return false;
}

bool remove(char letter) {
    UnixDrive drive{};
    drive.size = sizeof drive;
    drive.type = DRIVE_NO_ROOT_DIR;
    drive.letter = lower(letter);
    MountManager manager;
    return manager.control(kDefineUnixDrive, &drive, sizeof drive, nullptr, 0);
}

std::string unix_path(const std::string& windows_path) {
    using ToUnix = char*(CDECL*)(LPCWSTR);
    auto to_unix = reinterpret_cast<ToUnix>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (!to_unix) return "";
    std::wstring wide(windows_path.begin(), windows_path.end());
    char* path = to_unix(wide.c_str());
    if (!path) return "";
    std::string out = path;
    HeapFree(GetProcessHeap(), 0, path);
    return out;
}

} // namespace wine_drives
