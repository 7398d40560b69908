#include "platform/sim/machine/textfile.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/stat.h>

namespace sim {

HostFileStamp host_file_stamp(const std::string& path) {
    struct stat st {};
    HostFileStamp s;
    if (::stat(path.c_str(), &st) != 0) return s;
    s.exists = true;
    s.regular = S_ISREG(st.st_mode);
    s.dev = st.st_dev;
    s.ino = st.st_ino;
    s.size = st.st_size;
    s.mtime_ns = static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
    return s;
}

bool read_host_file(const std::string& path, std::string& out) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) return false; // reading a folder would throw
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

bool write_host_file(const std::string& path, const std::string& data) {
    std::string tmp = path + ".tmp~";
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        out.write(data.data(), static_cast<std::streamsize>(data.size()));
        if (!out.flush()) return false;
    }
    std::error_code ec;
    std::filesystem::rename(tmp, path, ec);
    if (ec) std::filesystem::remove(tmp, ec);
    return !ec;
}

bool append_host_line(const std::string& path, const std::string& line) {
    std::ofstream out(path, std::ios::binary | std::ios::app);
    if (!out) return false;
    out << line << "\r\n";
    return static_cast<bool>(out.flush());
}

} // namespace sim
