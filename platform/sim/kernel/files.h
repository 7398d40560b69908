// The simulated kernel's open files, for the other parts of the simulator (LZ32, profiles): one handle
// table behind OpenFile, the _lopen family and CreateFileA. An HFILE and a HANDLE of the same file have
// the same value, as on Win32, so either converts to the other with a cast through INT_PTR.
#pragma once

#include "platform/sim/win/kernel.h"

#include <cstdint>
#include <string>

namespace sim {

struct OpenFileEntry {
    int fd = -1;      // host descriptor; its offset is the file pointer
    std::string full; // Windows full path, as the opener wrote it
    std::string host; // host path
    bool can_read = false;
    bool can_write = false;
    DWORD share = 0;                // FILE_SHARE_* granted to later openers
    std::uint64_t dev = 0, ino = 0; // identity of the host file, for sharing checks
};

// The open file behind a handle value, or nullptr (closed, never opened, not a file).
OpenFileEntry* file_entry(HANDLE h);
OpenFileEntry* file_entry(HFILE h);
inline HANDLE to_handle(HFILE h) {
    return reinterpret_cast<HANDLE>(static_cast<INT_PTR>(h));
}
inline HFILE to_hfile(HANDLE h) {
    return static_cast<HFILE>(reinterpret_cast<INT_PTR>(h));
}

// Closes every file the process left open; the process is leaving its machine.
void close_all_files();

// A Windows path resolved on the machine. error is 0, or the Win32 error that a call on the path
// reports before it touches the file (no such drive, drive not ready, invalid name).
struct ResolvedPath {
    std::string full;
    std::string host;
    DWORD error = 0;
};
ResolvedPath resolve_path(const char* name);

// The error for a path that does not exist: ERROR_FILE_NOT_FOUND when its directory exists,
// ERROR_PATH_NOT_FOUND otherwise.
DWORD missing_path_error(const ResolvedPath& p);
// 0 when the file or directory at P may be changed (written, created, deleted), else the error
// Windows gives: ERROR_WRITE_PROTECT on a write-protected disk, ERROR_ACCESS_DENIED for a read-only
// drive, file or directory.
DWORD write_denied(const ResolvedPath& p);
// True when the host file carries the read-only attribute (the host's write permission is cleared).
bool has_readonly_attribute(const std::string& host);
// True when another open handle of the file at HOST forbids deletion or renaming.
bool is_open(const std::string& host);

} // namespace sim
