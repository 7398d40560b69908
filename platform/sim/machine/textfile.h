// Whole-file reads and writes on the host, for the simulator's own state files.
#pragma once

#include <string>
#include <vector>

namespace sim {

bool read_host_file(const std::string& path, std::string& out);
// Writes through a temporary file and a rename, so a reader never sees a half-written file.
bool write_host_file(const std::string& path, const std::string& data);
// Appends one line (CR LF added) to a log file of the machine; several processes may append in turn.
bool append_host_line(const std::string& path, const std::string& line);
std::vector<std::string> split_words(const std::string& line, std::string* error);

} // namespace sim
