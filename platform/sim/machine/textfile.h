// Whole-file reads and writes on the host, for the simulator's own state files.
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

namespace sim {

// What tells one version of a host file from another: a state file rewritten by another process of the
// machine (through a rename) has a new identity, size or time.
struct HostFileStamp {
    bool exists = false;
    bool regular = false;
    dev_t dev = 0;
    ino_t ino = 0;
    off_t size = 0;
    long long mtime_ns = 0;
    bool operator==(const HostFileStamp&) const = default;
};
HostFileStamp host_file_stamp(const std::string& path);

bool read_host_file(const std::string& path, std::string& out);
// Writes through a temporary file and a rename, so a reader never sees a half-written file.
bool write_host_file(const std::string& path, const std::string& data);
// Appends one line (CR LF added) to a log file of the machine; several processes may append in turn.
bool append_host_line(const std::string& path, const std::string& line);
std::vector<std::string> split_words(const std::string& line, std::string* error);

} // namespace sim
