// Files of the simulated kernel: one handle table behind OpenFile, the _lopen family and CreateFileA,
// with Win32 sharing rules between open handles, the read-only attribute, and the machine's fault
// injections (read-only drives and paths, failing reads and writes, a disk that fills up).
#include "platform/sim/kernel/files.h"
#include "platform/sim/machine/machine.h"
#include "platform/sim/win/windows.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace sim {
namespace {

std::map<INT_PTR, OpenFileEntry>& table() {
    static std::map<INT_PTR, OpenFileEntry> t;
    return t;
}

// Handle values step by 4 as Win32's do, and are not reused within a run, so that a program that keeps
// using a closed handle gets ERROR_INVALID_HANDLE rather than somebody else's file.
INT_PTR next_handle_value = 0x10;

INT_PTR new_handle_value() {
    INT_PTR v = next_handle_value;
    next_handle_value += 4;
    if (next_handle_value > 0x3FFFFFF0) next_handle_value = 0x10;
    return v;
}

bool invalid_name_char(char c) {
    return static_cast<unsigned char>(c) < 0x20 || std::strchr("<>:\"|?*", c) != nullptr;
}

// VFAT drops trailing dots and spaces of each component ("README." names README).
std::string strip_component_ends(const std::string& full) {
    std::string out = full.substr(0, 3);
    size_t i = 3;
    while (i < full.size()) {
        size_t e = full.find('\\', i);
        if (e == std::string::npos) e = full.size();
        std::string part = full.substr(i, e - i);
        while (!part.empty() && (part.back() == '.' || part.back() == ' '))
            part.pop_back();
        if (!part.empty()) {
            if (out.size() > 3) out += '\\';
            out += part;
        }
        i = e + 1;
    }
    return out;
}

bool stat_host(const std::string& host, struct stat& st) {
    return ::stat(host.c_str(), &st) == 0;
}

bool same_file(const OpenFileEntry& e, const struct stat& st) {
    return e.dev == static_cast<std::uint64_t>(st.st_dev) && e.ino == static_cast<std::uint64_t>(st.st_ino);
}

// Win32 sharing: an open that asks for neither read nor write access takes part in no check.
bool sharing_conflict(const OpenFileEntry& e, bool read, bool write, DWORD share) {
    if (!(read || write) || !(e.can_read || e.can_write)) return false;
    return (read && !(e.share & FILE_SHARE_READ)) || (write && !(e.share & FILE_SHARE_WRITE)) ||
           (e.can_read && !(share & FILE_SHARE_READ)) || (e.can_write && !(share & FILE_SHARE_WRITE));
}

bool shared_with_open_handles(const struct stat& st, bool read, bool write, DWORD share) {
    for (const auto& [h, e] : table())
        if (same_file(e, st) && sharing_conflict(e, read, write, share)) return false;
    return true;
}

DWORD host_errno_error(int err) {
    switch (err) {
    case ENOENT:
        return ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
        return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EISDIR:
        return ERROR_ACCESS_DENIED;
    case EROFS:
        return ERROR_WRITE_PROTECT;
    case ENOSPC:
        return ERROR_DISK_FULL;
    case EMFILE:
    case ENFILE:
        return ERROR_TOO_MANY_OPEN_FILES;
    case ENAMETOOLONG:
        return ERROR_FILENAME_EXCED_RANGE;
    default:
        return ERROR_ACCESS_DENIED;
    }
}

bool listed_readonly(const std::string& full) {
    const auto& list = machine().settings.readonly_paths;
    return std::any_of(list.begin(), list.end(), [&](const std::string& p) { return path_under(full, p); });
}

HANDLE fail_handle(DWORD error) {
    SetLastError(error);
    return INVALID_HANDLE_VALUE;
}

BOOL fail_bool(DWORD error) {
    SetLastError(error);
    return FALSE;
}

struct OpenRequest {
    bool read = false;
    bool write = false;
    DWORD share = 0;
    DWORD disposition = OPEN_EXISTING;
    DWORD attributes = 0;
};

int host_open_flags(const OpenRequest& rq, bool creates, bool truncates) {
    int flags = rq.read && rq.write ? O_RDWR : rq.write ? O_WRONLY : O_RDONLY;
    // Windows empties a file on CREATE_ALWAYS whatever access the handle gets; the host needs write access.
    if (truncates) flags = (rq.read ? O_RDWR : O_WRONLY) | O_TRUNC;
    if (creates) flags |= O_CREAT | O_EXCL;
    return flags | O_CLOEXEC;
}

// The checks Windows makes before it opens or creates a file, in its order; 0 when the open may go on.
DWORD open_precheck(const ResolvedPath& p, const OpenRequest& rq, bool& exists, struct stat& st) {
    if (rq.disposition < CREATE_NEW || rq.disposition > TRUNCATE_EXISTING) return ERROR_INVALID_PARAMETER;
    if (rq.disposition == TRUNCATE_EXISTING && !rq.write) return ERROR_INVALID_PARAMETER;
    exists = stat_host(p.host, st);
    if (exists && S_ISDIR(st.st_mode)) return ERROR_ACCESS_DENIED;
    if (!exists) {
        if (rq.disposition == OPEN_EXISTING || rq.disposition == TRUNCATE_EXISTING)
            return missing_path_error(p);
        if (missing_path_error(p) == ERROR_PATH_NOT_FOUND) return ERROR_PATH_NOT_FOUND;
    }
    if (exists && rq.disposition == CREATE_NEW) return ERROR_FILE_EXISTS;
    bool changes =
        rq.write || !exists || rq.disposition == CREATE_ALWAYS || rq.disposition == TRUNCATE_EXISTING;
    if (changes)
        if (DWORD e = write_denied(p)) return e;
    if (exists && !shared_with_open_handles(st, rq.read, rq.write, rq.share)) return ERROR_SHARING_VIOLATION;
    return 0;
}

HANDLE open_file(const char* name, const OpenRequest& rq) {
    ResolvedPath p = resolve_path(name);
    if (p.error) return fail_handle(p.error);
    bool exists = false;
    struct stat st {};
    if (DWORD e = open_precheck(p, rq, exists, st)) return fail_handle(e);
    bool creates = !exists;
    bool truncates = exists && (rq.disposition == CREATE_ALWAYS || rq.disposition == TRUNCATE_EXISTING);
    mode_t mode = (rq.attributes & FILE_ATTRIBUTE_READONLY) ? 0444 : 0666;
    int fd = ::open(p.host.c_str(), host_open_flags(rq, creates, truncates), mode);
    if (fd < 0) return fail_handle(host_errno_error(errno));
    if (truncates && rq.disposition == CREATE_ALWAYS && (rq.attributes & FILE_ATTRIBUTE_READONLY))
        ::fchmod(fd, 0444);
    ::fstat(fd, &st);
    OpenFileEntry e;
    e.fd = fd;
    e.full = p.full;
    e.host = p.host;
    e.can_read = rq.read;
    e.can_write = rq.write;
    e.share = rq.share;
    e.dev = static_cast<std::uint64_t>(st.st_dev);
    e.ino = static_cast<std::uint64_t>(st.st_ino);
    INT_PTR value = new_handle_value();
    table()[value] = std::move(e);
    bool reports_existing = exists && (rq.disposition == CREATE_ALWAYS || rq.disposition == OPEN_ALWAYS);
    SetLastError(reports_existing ? ERROR_ALREADY_EXISTS : NO_ERROR);
    return reinterpret_cast<HANDLE>(value);
}

bool close_entry(HANDLE h) {
    auto it = table().find(reinterpret_cast<INT_PTR>(h));
    if (it == table().end()) return false;
    ::close(it->second.fd);
    table().erase(it);
    return true;
}

bool read_entry(HANDLE h, void* buffer, DWORD count, DWORD& got) {
    got = 0;
    OpenFileEntry* e = file_entry(h);
    if (!e) return fail_bool(ERROR_INVALID_HANDLE);
    if (!e->can_read) return fail_bool(ERROR_ACCESS_DENIED);
    if (fails_read(e->full)) return fail_bool(ERROR_READ_FAULT);
    char* out = static_cast<char*>(buffer);
    while (got < count) {
        ssize_t n = ::read(e->fd, out + got, count - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return fail_bool(ERROR_READ_FAULT);
        if (n == 0) break;
        got += static_cast<DWORD>(n);
    }
    return true;
}

// Bytes the drive of FULL still takes before its disk-full injection stops writes.
std::uint64_t room_before_full(const std::string& full, std::uint64_t wanted) {
    const Drive* d = drive_of(full);
    if (!d || !d->full_after) return wanted;
    std::uint64_t left = *d->full_after > d->written ? *d->full_after - d->written : 0;
    return std::min(wanted, left);
}

bool write_entry(HANDLE h, const void* buffer, DWORD count, DWORD& put) {
    put = 0;
    OpenFileEntry* e = file_entry(h);
    if (!e) return fail_bool(ERROR_INVALID_HANDLE);
    if (!e->can_write) return fail_bool(ERROR_ACCESS_DENIED);
    if (fails_write(e->full)) return fail_bool(ERROR_WRITE_FAULT);
    DWORD fits = static_cast<DWORD>(room_before_full(e->full, count));
    const char* in = static_cast<const char*>(buffer);
    while (put < fits) {
        ssize_t n = ::write(e->fd, in + put, fits - put);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            account_write(e->full, put);
            return fail_bool(errno == ENOSPC ? ERROR_DISK_FULL : ERROR_WRITE_FAULT);
        }
        put += static_cast<DWORD>(n);
    }
    account_write(e->full, put);
    if (put < count) return fail_bool(ERROR_DISK_FULL);
    return true;
}

// OF_SHARE_* of OpenFile and _lopen as the FILE_SHARE_* of Win32; compatibility mode shares everything.
DWORD share_of_style(UINT style) {
    switch (style & 0x70) {
    case OF_SHARE_EXCLUSIVE:
        return 0;
    case OF_SHARE_DENY_WRITE:
        return FILE_SHARE_READ;
    case OF_SHARE_DENY_READ:
        return FILE_SHARE_WRITE;
    default:
        return FILE_SHARE_READ | FILE_SHARE_WRITE;
    }
}

bool access_of_style(UINT style, OpenRequest& rq) {
    switch (style & 3) {
    case OF_READ:
        rq.read = true;
        return true;
    case OF_WRITE:
        rq.write = true;
        return true;
    case OF_READWRITE:
        rq.read = rq.write = true;
        return true;
    default:
        return false;
    }
}

bool has_directory_part(const char* name) {
    return std::strpbrk(name, "\\/:") != nullptr;
}

bool is_existing_file(const std::string& host) {
    struct stat st {};
    return stat_host(host, st) && S_ISREG(st.st_mode);
}

// OpenFile looks for a bare file name in the program's directory, the current directory, the system
// directory and the Windows directory, in that order.
ResolvedPath search_file(const char* name) {
    ResolvedPath here = resolve_path(name);
    if (here.error || has_directory_part(name)) return here;
    std::string module_dir = machine().module_path.substr(0, machine().module_path.rfind('\\') + 1);
    for (const std::string& dir :
         {module_dir, machine().current_dir, system_dir() + "\\", windows_dir() + "\\"}) {
        ResolvedPath p = resolve_path((dir + name).c_str());
        if (!p.error && is_existing_file(p.host)) return p;
    }
    return here;
}

// A file that the search did not find is reported as not found, whatever was wrong with its directory
// or name.
DWORD search_error(DWORD error) {
    return error == ERROR_PATH_NOT_FOUND || error == ERROR_INVALID_NAME ? ERROR_FILE_NOT_FOUND : error;
}

void copy_bounded(char* dst, size_t size, const std::string& src) {
    size_t n = std::min(size - 1, src.size());
    std::memcpy(dst, src.data(), n);
    dst[n] = '\0';
}

HFILE fail_ofs(LPOFSTRUCT ofs, DWORD error) {
    ofs->nErrCode = static_cast<WORD>(error);
    SetLastError(error);
    return HFILE_ERROR;
}

void fill_ofs(LPOFSTRUCT ofs, const ResolvedPath& p, const char* name) {
    ofs->cBytes = sizeof(OFSTRUCT);
    ofs->nErrCode = 0;
    const Drive* d = drive_of(p.full);
    ofs->fFixedDisk = d && d->kind != DriveKind::Removable;
    copy_bounded(ofs->szPathName, sizeof ofs->szPathName, p.full.empty() ? std::string(name) : p.full);
}

bool copy_contents(HANDLE from, HANDLE to) {
    std::string buffer(64 * 1024, '\0');
    for (;;) {
        DWORD got = 0, put = 0;
        if (!read_entry(from, buffer.data(), static_cast<DWORD>(buffer.size()), got)) return false;
        if (got == 0) return true;
        if (!write_entry(to, buffer.data(), got, put)) return false;
    }
}

} // namespace

OpenFileEntry* file_entry(HANDLE h) {
    auto it = table().find(reinterpret_cast<INT_PTR>(h));
    return it == table().end() ? nullptr : &it->second;
}

OpenFileEntry* file_entry(HFILE h) {
    return file_entry(to_handle(h));
}

void close_all_files() {
    for (auto& [h, e] : table())
        ::close(e.fd);
    table().clear();
}

ResolvedPath resolve_path(const char* name) {
    ResolvedPath p;
    if (!name || !*name) {
        p.error = ERROR_PATH_NOT_FOUND;
        return p;
    }
    if (std::strlen(name) >= MAX_PATH) {
        p.error = ERROR_FILENAME_EXCED_RANGE;
        return p;
    }
    std::string full = full_path(name);
    if (full.empty()) {
        p.error = ERROR_PATH_NOT_FOUND;
        return p;
    }
    if (std::any_of(full.begin() + 3, full.end(), invalid_name_char)) {
        p.full = full;
        p.error = ERROR_INVALID_NAME;
        return p;
    }
    p.full = strip_component_ends(full);
    const Drive* d = drive_of(p.full);
    std::error_code ec;
    if (!d || !fs::is_directory(d->folder, ec)) {
        p.error = ERROR_NOT_READY;
        return p;
    }
    p.host = host_path(p.full);
    return p;
}

DWORD missing_path_error(const ResolvedPath& p) {
    std::error_code ec;
    return fs::is_directory(fs::path(p.host).parent_path(), ec) ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
}

DWORD write_denied(const ResolvedPath& p) {
    const Drive* d = drive_of(p.full);
    if (d && (d->readonly || d->kind == DriveKind::CdRom))
        return d->kind == DriveKind::Removable ? ERROR_WRITE_PROTECT : ERROR_ACCESS_DENIED;
    if (listed_readonly(p.full) || has_readonly_attribute(p.host)) return ERROR_ACCESS_DENIED;
    return 0;
}

bool has_readonly_attribute(const std::string& host) {
    struct stat st {};
    return stat_host(host, st) && S_ISREG(st.st_mode) && !(st.st_mode & S_IWUSR);
}

bool is_open(const std::string& host) {
    struct stat st {};
    if (!stat_host(host, st)) return false;
    return std::any_of(table().begin(), table().end(),
                       [&](const auto& kv) { return same_file(kv.second, st); });
}

} // namespace sim

using sim::OpenRequest;

HANDLE WINAPI CreateFileA(LPCSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES, DWORD disposition,
                          DWORD flags_and_attributes, HANDLE) {
    OpenRequest rq;
    rq.read = (access & GENERIC_READ) != 0;
    rq.write = (access & GENERIC_WRITE) != 0;
    rq.share = share & (FILE_SHARE_READ | FILE_SHARE_WRITE);
    rq.disposition = disposition;
    rq.attributes = flags_and_attributes;
    return sim::open_file(name, rq);
}

BOOL WINAPI ReadFile(HANDLE h, LPVOID buffer, DWORD count, LPDWORD read, LPOVERLAPPED overlapped) {
    if (read) *read = 0;
    if (!read || overlapped || (!buffer && count)) return sim::fail_bool(ERROR_INVALID_PARAMETER);
    return sim::read_entry(h, buffer, count, *read);
}

BOOL WINAPI WriteFile(HANDLE h, LPCVOID buffer, DWORD count, LPDWORD written, LPOVERLAPPED overlapped) {
    if (written) *written = 0;
    if (!written || overlapped || (!buffer && count)) return sim::fail_bool(ERROR_INVALID_PARAMETER);
    return sim::write_entry(h, buffer, count, *written);
}

namespace {

std::int64_t failed_seek(DWORD error) {
    SetLastError(error);
    return -1;
}

// The new file position for a move from ORIGIN, or -1 with the error set; a move before the start of
// the file fails and leaves the pointer where it was.
std::int64_t seek_entry(HANDLE h, std::int64_t distance, DWORD origin) {
    sim::OpenFileEntry* e = sim::file_entry(h);
    if (!e) return failed_seek(ERROR_INVALID_HANDLE);
    if (origin != FILE_BEGIN && origin != FILE_CURRENT && origin != FILE_END)
        return failed_seek(ERROR_INVALID_PARAMETER);
    off_t base = origin == FILE_BEGIN ? 0 : ::lseek(e->fd, 0, origin == FILE_CURRENT ? SEEK_CUR : SEEK_END);
    if (base + distance < 0) return failed_seek(ERROR_NEGATIVE_SEEK);
    return ::lseek(e->fd, base + distance, SEEK_SET);
}

} // namespace

DWORD WINAPI SetFilePointer(HANDLE h, LONG distance, LONG* distance_high, DWORD method) {
    std::int64_t move = distance;
    if (distance_high)
        move = static_cast<std::int64_t>(
            (static_cast<std::uint64_t>(static_cast<std::uint32_t>(*distance_high)) << 32) |
            static_cast<std::uint32_t>(distance));
    std::int64_t pos = seek_entry(h, move, method);
    if (pos < 0) return INVALID_SET_FILE_POINTER;
    if (distance_high) *distance_high = static_cast<LONG>(pos >> 32);
    SetLastError(NO_ERROR);
    return static_cast<DWORD>(pos);
}

DWORD WINAPI GetFileSize(HANDLE h, LPDWORD size_high) {
    sim::OpenFileEntry* e = sim::file_entry(h);
    struct stat st {};
    if (!e || ::fstat(e->fd, &st) != 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return INVALID_FILE_SIZE;
    }
    auto size = static_cast<std::uint64_t>(st.st_size);
    if (size_high) *size_high = static_cast<DWORD>(size >> 32);
    SetLastError(NO_ERROR);
    return static_cast<DWORD>(size);
}

BOOL WINAPI CloseHandle(HANDLE h) {
    if (!sim::close_entry(h)) return sim::fail_bool(ERROR_INVALID_HANDLE);
    return TRUE;
}

HFILE WINAPI _lopen(LPCSTR path, int mode) {
    OpenRequest rq;
    if (!sim::access_of_style(static_cast<UINT>(mode), rq))
        return SetLastError(ERROR_INVALID_PARAMETER), HFILE_ERROR;
    rq.share = sim::share_of_style(static_cast<UINT>(mode));
    HANDLE h = sim::open_file(path, rq);
    return h == INVALID_HANDLE_VALUE ? HFILE_ERROR : sim::to_hfile(h);
}

HFILE WINAPI _lcreat(LPCSTR path, int attribute) {
    OpenRequest rq;
    rq.read = rq.write = true;
    rq.share = FILE_SHARE_READ | FILE_SHARE_WRITE;
    rq.disposition = CREATE_ALWAYS;
    // 1 read-only, 2 hidden, 4 system: the bits of the FILE_ATTRIBUTE_* of the same names.
    rq.attributes = static_cast<DWORD>(attribute) & 7;
    HANDLE h = sim::open_file(path, rq);
    return h == INVALID_HANDLE_VALUE ? HFILE_ERROR : sim::to_hfile(h);
}

UINT WINAPI _lread(HFILE file, LPVOID buffer, UINT count) {
    DWORD got = 0;
    if (!buffer && count) return SetLastError(ERROR_INVALID_PARAMETER), static_cast<UINT>(HFILE_ERROR);
    if (!sim::read_entry(sim::to_handle(file), buffer, count, got)) return static_cast<UINT>(HFILE_ERROR);
    return got;
}

UINT WINAPI _lwrite(HFILE file, LPCSTR buffer, UINT count) {
    HANDLE h = sim::to_handle(file);
    if (count == 0) {
        // A write of no bytes sets the end of the file at the file pointer, growing or cutting it.
        sim::OpenFileEntry* e = sim::file_entry(h);
        if (!e) return SetLastError(ERROR_INVALID_HANDLE), static_cast<UINT>(HFILE_ERROR);
        if (!e->can_write) return SetLastError(ERROR_ACCESS_DENIED), static_cast<UINT>(HFILE_ERROR);
        if (::ftruncate(e->fd, ::lseek(e->fd, 0, SEEK_CUR)) != 0)
            return SetLastError(ERROR_DISK_FULL), static_cast<UINT>(HFILE_ERROR);
        return 0;
    }
    DWORD put = 0;
    if (!buffer) return SetLastError(ERROR_INVALID_PARAMETER), static_cast<UINT>(HFILE_ERROR);
    if (!sim::write_entry(h, buffer, count, put)) return static_cast<UINT>(HFILE_ERROR);
    return put;
}

LONG WINAPI _llseek(HFILE file, LONG offset, int origin) {
    std::int64_t pos = seek_entry(sim::to_handle(file), offset, static_cast<DWORD>(origin));
    return pos < 0 ? HFILE_ERROR : static_cast<LONG>(pos);
}

HFILE WINAPI _lclose(HFILE file) {
    if (!sim::close_entry(sim::to_handle(file))) return SetLastError(ERROR_INVALID_HANDLE), HFILE_ERROR;
    return 0;
}

HFILE WINAPI OpenFile(LPCSTR name, LPOFSTRUCT ofs, UINT style) {
    if (!ofs) return SetLastError(ERROR_INVALID_PARAMETER), HFILE_ERROR;
    char reopen[OFS_MAXPATHNAME];
    if (style & OF_REOPEN) {
        sim::copy_bounded(reopen, sizeof reopen,
                          std::string(ofs->szPathName, strnlen(ofs->szPathName, sizeof ofs->szPathName)));
        name = reopen;
    }
    if (!name) name = "";
    bool searches = !(style & (OF_PARSE | OF_CREATE | OF_DELETE));
    sim::ResolvedPath p = searches ? sim::search_file(name) : sim::resolve_path(name);
    sim::fill_ofs(ofs, p, name);
    if (p.error) return sim::fail_ofs(ofs, searches ? sim::search_error(p.error) : p.error);
    if (style & OF_PARSE) return 0;
    if (style & OF_DELETE) return DeleteFileA(p.full.c_str()) ? 1 : sim::fail_ofs(ofs, GetLastError());
    OpenRequest rq;
    if (!sim::access_of_style(style, rq)) return sim::fail_ofs(ofs, ERROR_INVALID_PARAMETER);
    rq.share = sim::share_of_style(style);
    if (style & OF_CREATE) {
        // A created file is open for reading and writing whatever the access bits say.
        rq.read = rq.write = true;
        rq.disposition = CREATE_ALWAYS;
    }
    HANDLE h = sim::open_file(p.full.c_str(), rq);
    if (h == INVALID_HANDLE_VALUE)
        return sim::fail_ofs(ofs, searches ? sim::search_error(GetLastError()) : GetLastError());
    SetLastError(NO_ERROR);
    if (style & OF_EXIST) {
        sim::close_entry(h);
        return 1;
    }
    return sim::to_hfile(h);
}

DWORD WINAPI GetFileAttributesA(LPCSTR name) {
    sim::ResolvedPath p = sim::resolve_path(name);
    if (p.error) return SetLastError(p.error), INVALID_FILE_ATTRIBUTES;
    struct stat st {};
    if (!sim::stat_host(p.host, st)) return SetLastError(sim::missing_path_error(p)), INVALID_FILE_ATTRIBUTES;
    if (S_ISDIR(st.st_mode)) return FILE_ATTRIBUTE_DIRECTORY;
    const sim::Drive* d = sim::drive_of(p.full);
    bool readonly = sim::has_readonly_attribute(p.host) || sim::listed_readonly(p.full) ||
                    (d && d->kind == sim::DriveKind::CdRom);
    return FILE_ATTRIBUTE_ARCHIVE | (readonly ? FILE_ATTRIBUTE_READONLY : 0);
}

// Only the read-only attribute is kept (in the host file's write permission); a directory's is ignored,
// as Windows ignores it.
BOOL WINAPI SetFileAttributesA(LPCSTR name, DWORD attributes) {
    sim::ResolvedPath p = sim::resolve_path(name);
    if (p.error) return sim::fail_bool(p.error);
    struct stat st {};
    if (!sim::stat_host(p.host, st)) return sim::fail_bool(sim::missing_path_error(p));
    const sim::Drive* d = sim::drive_of(p.full);
    if (d && (d->readonly || d->kind == sim::DriveKind::CdRom))
        return sim::fail_bool(d->kind == sim::DriveKind::Removable ? ERROR_WRITE_PROTECT
                                                                   : ERROR_ACCESS_DENIED);
    if (sim::listed_readonly(p.full)) return sim::fail_bool(ERROR_ACCESS_DENIED);
    if (S_ISDIR(st.st_mode)) return TRUE;
    mode_t mode = (attributes & FILE_ATTRIBUTE_READONLY) ? (st.st_mode & ~0222) : (st.st_mode | 0200);
    if (::chmod(p.host.c_str(), mode) != 0) return sim::fail_bool(sim::host_errno_error(errno));
    return TRUE;
}

BOOL WINAPI DeleteFileA(LPCSTR name) {
    sim::ResolvedPath p = sim::resolve_path(name);
    if (p.error) return sim::fail_bool(p.error);
    struct stat st {};
    if (!sim::stat_host(p.host, st)) return sim::fail_bool(sim::missing_path_error(p));
    if (S_ISDIR(st.st_mode)) return sim::fail_bool(ERROR_ACCESS_DENIED);
    if (DWORD e = sim::write_denied(p)) return sim::fail_bool(e);
    if (sim::is_open(p.host)) return sim::fail_bool(ERROR_SHARING_VIOLATION);
    if (::unlink(p.host.c_str()) != 0) return sim::fail_bool(sim::host_errno_error(errno));
    return TRUE;
}

BOOL WINAPI CopyFileA(LPCSTR existing, LPCSTR new_name, BOOL fail_if_exists) {
    OpenRequest in;
    in.read = true;
    in.share = FILE_SHARE_READ;
    HANDLE from = sim::open_file(existing, in);
    if (from == INVALID_HANDLE_VALUE) return FALSE;
    struct stat st {};
    ::fstat(sim::file_entry(from)->fd, &st);
    OpenRequest out;
    out.write = true;
    out.disposition = fail_if_exists ? CREATE_NEW : CREATE_ALWAYS;
    // The copy keeps the source's read-only attribute and time of last change, as Windows does.
    out.attributes = (st.st_mode & S_IWUSR) ? 0 : FILE_ATTRIBUTE_READONLY;
    HANDLE to = sim::open_file(new_name, out);
    if (to == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        sim::close_entry(from);
        return sim::fail_bool(error);
    }
    std::string target = sim::file_entry(to)->host;
    bool ok = sim::copy_contents(from, to);
    DWORD error = GetLastError();
    if (ok) {
        struct timespec times[2] = {st.st_atim, st.st_mtim};
        ::futimens(sim::file_entry(to)->fd, times);
    }
    sim::close_entry(from);
    sim::close_entry(to);
    if (!ok) {
        // Windows removes a target it could not complete.
        ::unlink(target.c_str());
        return sim::fail_bool(error);
    }
    SetLastError(NO_ERROR);
    return TRUE;
}
