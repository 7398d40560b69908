// Directories, the process's paths (current, Windows, system, temporary, module) and drives of the
// simulated kernel.
#include "platform/sim/kernel/files.h"
#include "platform/sim/machine/machine.h"
#include "platform/sim/win/windows.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

BOOL fail(DWORD error) {
    SetLastError(error);
    return FALSE;
}

// The path calls' size convention: the length without the NUL when the text fits, else the size the
// buffer needs, NUL included, and the buffer is left alone.
DWORD give_path(const std::string& text, LPSTR buffer, DWORD size) {
    if (!buffer || size <= text.size()) return static_cast<DWORD>(text.size() + 1);
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return static_cast<DWORD>(text.size());
}

struct HostEntry {
    bool exists = false;
    bool directory = false;
};

HostEntry host_entry(const std::string& host) {
    struct stat st {};
    HostEntry e;
    e.exists = ::stat(host.c_str(), &st) == 0;
    e.directory = e.exists && S_ISDIR(st.st_mode);
    return e;
}

bool is_current_directory(const std::string& full) {
    std::string cwd = sim::machine().current_dir;
    if (cwd.size() > 3) cwd.pop_back();
    return sim::equal_nocase(cwd, full);
}

// The drive a root path names: "C:\", "C:", "\" or NULL (the current drive). Like Windows 95, which
// asks DOS about a drive number, only the drive part counts: "C:\WINDOWS\" names drive C: too.
char drive_of_root(LPCSTR root) {
    if (!root || (root[0] == '\\' && root[1] != '\\')) return sim::machine().current_dir[0];
    if (!root[0] || root[1] != ':' || (root[2] && root[2] != '\\' && root[2] != '/')) return 0;
    char d = static_cast<char>(std::toupper(static_cast<unsigned char>(root[0])));
    return d >= 'A' && d <= 'Z' ? d : 0;
}

const sim::Drive* machine_drive(char letter) {
    const auto& drives = sim::machine().settings.drives;
    auto it = drives.find(letter);
    return it == drives.end() ? nullptr : &it->second;
}

// Geometry reported for each kind of drive: FAT16 hard disks and network drives with 32 KB clusters,
// 1.44 MB floppies with one 512-byte sector a cluster, CD-ROMs with 2048-byte sectors.
struct Geometry {
    DWORD sectors_per_cluster;
    DWORD bytes_per_sector;
};

Geometry geometry_of(sim::DriveKind kind) {
    switch (kind) {
    case sim::DriveKind::Removable:
        return {1, 512};
    case sim::DriveKind::CdRom:
        return {1, 2048};
    default:
        return {64, 512};
    }
}

struct Space {
    std::uint64_t free = 0;
    std::uint64_t total = 0;
};

Space space_of(const sim::Drive& d) {
    Space s;
    struct statvfs vfs {};
    if (::statvfs(d.folder.c_str(), &vfs) == 0) {
        s.free = static_cast<std::uint64_t>(vfs.f_bavail) * vfs.f_frsize;
        s.total = static_cast<std::uint64_t>(vfs.f_blocks) * vfs.f_frsize;
    }
    if (d.kind == sim::DriveKind::CdRom) s.free = 0;
    if (d.free) s.free = *d.free > d.written ? *d.free - d.written : 0;
    if (d.full_after) s.free = std::min(s.free, *d.full_after > d.written ? *d.full_after - d.written : 0);
    s.total = std::max(s.total, s.free);
    return s;
}

} // namespace

BOOL WINAPI CreateDirectoryA(LPCSTR name, LPSECURITY_ATTRIBUTES) {
    sim::ResolvedPath p = sim::resolve_path(name);
    if (p.error) return fail(p.error);
    if (host_entry(p.host).exists) return fail(ERROR_ALREADY_EXISTS);
    if (sim::missing_path_error(p) == ERROR_PATH_NOT_FOUND) return fail(ERROR_PATH_NOT_FOUND);
    if (DWORD e = sim::write_denied(p)) return fail(e);
    if (::mkdir(p.host.c_str(), 0777) != 0)
        return fail(errno == EEXIST ? ERROR_ALREADY_EXISTS : ERROR_ACCESS_DENIED);
    return TRUE;
}

BOOL WINAPI RemoveDirectoryA(LPCSTR name) {
    sim::ResolvedPath p = sim::resolve_path(name);
    if (p.error) return fail(p.error);
    HostEntry e = host_entry(p.host);
    if (!e.exists) return fail(sim::missing_path_error(p));
    if (!e.directory) return fail(ERROR_DIRECTORY);
    if (DWORD denied = sim::write_denied(p)) return fail(denied);
    std::error_code ec;
    if (!fs::is_empty(p.host, ec)) return fail(ERROR_DIR_NOT_EMPTY);
    if (p.full.size() <= 3) return fail(ERROR_ACCESS_DENIED); // a drive keeps its root
    // The current directory is in use and cannot go.
    if (is_current_directory(p.full)) return fail(ERROR_SHARING_VIOLATION);
    if (::rmdir(p.host.c_str()) != 0) return fail(ERROR_ACCESS_DENIED);
    return TRUE;
}

DWORD WINAPI GetCurrentDirectoryA(DWORD size, LPSTR buffer) {
    std::string cwd = sim::machine().current_dir;
    if (cwd.size() > 3) cwd.pop_back(); // "C:\" keeps its backslash, "C:\WINDOWS" has none
    return give_path(cwd, buffer, size);
}

BOOL WINAPI SetCurrentDirectoryA(LPCSTR name) {
    sim::ResolvedPath p = sim::resolve_path(name);
    if (p.error) return fail(p.error);
    HostEntry e = host_entry(p.host);
    if (!e.exists) return fail(sim::missing_path_error(p));
    if (!e.directory) return fail(ERROR_DIRECTORY);
    sim::machine().current_dir = p.full.size() > 3 ? p.full + "\\" : p.full;
    return TRUE;
}

UINT WINAPI GetWindowsDirectoryA(LPSTR buffer, UINT size) {
    return give_path(sim::windows_dir(), buffer, size);
}
UINT WINAPI GetSystemDirectoryA(LPSTR buffer, UINT size) {
    return give_path(sim::system_dir(), buffer, size);
}
DWORD WINAPI GetTempPathA(DWORD size, LPSTR buffer) {
    return give_path(sim::windows_dir() + "\\TEMP\\", buffer, size);
}

// The simulated process has one module, the program; a name that does not fit is cut to the buffer,
// NUL included, and the call reports the buffer's size.
DWORD WINAPI GetModuleFileNameA(HMODULE, LPSTR buffer, DWORD size) {
    const std::string& path = sim::machine().module_path;
    if (!buffer || size == 0) return fail(ERROR_INSUFFICIENT_BUFFER), 0;
    if (path.size() < size) {
        std::memcpy(buffer, path.c_str(), path.size() + 1);
        return static_cast<DWORD>(path.size());
    }
    std::memcpy(buffer, path.data(), size - 1);
    buffer[size - 1] = '\0';
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return size;
}

UINT WINAPI GetDriveTypeA(LPCSTR root) {
    const sim::Drive* d = machine_drive(drive_of_root(root));
    if (!d) return DRIVE_NO_ROOT_DIR;
    switch (d->kind) {
    case sim::DriveKind::Removable:
        return DRIVE_REMOVABLE;
    case sim::DriveKind::Remote:
        return DRIVE_REMOTE;
    case sim::DriveKind::CdRom:
        return DRIVE_CDROM;
    default:
        return DRIVE_FIXED;
    }
}

// Windows 95 reports at most 2 GB less one cluster through this call, whatever the disk holds.
BOOL WINAPI GetDiskFreeSpaceA(LPCSTR root, LPDWORD sectors_per_cluster, LPDWORD bytes_per_sector,
                              LPDWORD free_clusters, LPDWORD total_clusters) {
    char letter = drive_of_root(root);
    if (!letter) return fail(ERROR_INVALID_NAME);
    const sim::Drive* d = machine_drive(letter);
    if (!d) return fail(ERROR_PATH_NOT_FOUND);
    std::error_code ec;
    if (!fs::is_directory(d->folder, ec)) return fail(ERROR_NOT_READY);
    Geometry g = geometry_of(d->kind);
    if (d->cluster && *d->cluster >= g.bytes_per_sector)
        g.sectors_per_cluster = *d->cluster / g.bytes_per_sector;
    std::uint64_t cluster = std::uint64_t{g.sectors_per_cluster} * g.bytes_per_sector;
    std::uint64_t limit = (std::uint64_t{1} << 31) / cluster - 1;
    Space s = space_of(*d);
    if (sectors_per_cluster) *sectors_per_cluster = g.sectors_per_cluster;
    if (bytes_per_sector) *bytes_per_sector = g.bytes_per_sector;
    if (free_clusters) *free_clusters = static_cast<DWORD>(std::min(s.free / cluster, limit));
    if (total_clusters)
        *total_clusters = static_cast<DWORD>(std::min((s.total + cluster - 1) / cluster, limit));
    return TRUE;
}
