#include "tools/windriver/machine.h"

#include "platform/sim/lz/szdd.h"

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>

namespace {

const char kStubMagic[] = "WIN95SIM PROGRAM ";

std::string lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

std::set<std::string> names_in(const std::string& dir) {
    std::set<std::string> out;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return out;
    do {
        std::string n = fd.cFileName;
        if (n != "." && n != "..") out.insert(lower(n));
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    return out;
}

void remove_tree(const std::string& path) {
    DWORD attrs = GetFileAttributesA(path.c_str());
    if (attrs == INVALID_FILE_ATTRIBUTES) return;
    SetFileAttributesA(path.c_str(), attrs & ~FILE_ATTRIBUTE_READONLY);
    if (attrs & FILE_ATTRIBUTE_DIRECTORY) {
        for (const std::string& n : names_in(path))
            remove_tree(path + "\\" + n);
        RemoveDirectoryA(path.c_str());
    } else {
        DeleteFileA(path.c_str());
    }
}

std::string folder(int csidl) {
    char path[MAX_PATH] = "";
    return SUCCEEDED(SHGetFolderPathA(nullptr, csidl, nullptr, 0, path)) ? path : "";
}

bool has_extension(const std::string& name, const char* ext) {
    return name.size() > 4 && lower(name.substr(name.size() - 4)) == ext;
}

} // namespace

bool read_file(const std::string& path, std::string& out) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    out.clear();
    char buffer[65536];
    DWORD got = 0;
    bool ok = true;
    while ((ok = ReadFile(h, buffer, sizeof buffer, &got, nullptr)) && got)
        out.append(buffer, got);
    CloseHandle(h);
    return ok;
}

bool write_file(const std::string& path, const std::string& bytes) {
    HANDLE h =
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
              written == bytes.size();
    CloseHandle(h);
    return ok;
}

bool WineMachine::start(const std::string& programs, std::string* error) {
    char dir[MAX_PATH];
    GetWindowsDirectoryA(dir, sizeof dir);
    windows_ = dir;
    GetSystemDirectoryA(dir, sizeof dir);
    system_ = dir;
    programs_ = programs;
    for (const char* p : {"setup.exe", "tnsetup.exe", "execlog.exe"}) {
        if (GetFileAttributesA((programs_ + "\\" + p).c_str()) == INVALID_FILE_ATTRIBUTES) {
            if (error) *error = "no " + std::string(p) + " in " + programs_;
            return false;
        }
    }
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    exec_log_ = std::string(temp) + "windriver-exec.log";
    SetEnvironmentVariableA("WINDRIVER_EXEC_LOG", exec_log_.c_str());
    watched_ = {
        "C:", windows_, system_, windows_ + "\\Fonts", folder(CSIDL_PROGRAMS), folder(CSIDL_COMMON_PROGRAMS)};
    watched_.erase(std::remove(watched_.begin(), watched_.end(), ""), watched_.end());
    for (const std::string& w : watched_)
        names_[w] = names_in(w);
    for (const std::string& d : {windows_, system_})
        for (const std::string& n : names_in(d))
            if (has_extension(n, ".ini") || has_extension(n, ".inf"))
                read_file(d + "\\" + n, kept_[d + "\\" + n]);
    return true;
}

void WineMachine::reset() {
    for (const std::string& w : watched_) {
        const std::set<std::string>& before = names_[w];
        for (const std::string& n : names_in(w))
            if (!before.count(n)) remove_tree(w + "\\" + n);
    }
    for (const auto& [path, bytes] : kept_) {
        std::string now;
        if (!read_file(path, now) || now != bytes) write_file(path, bytes);
    }
    for (const std::string& n : names_in("A:"))
        remove_tree("A:\\" + n);
    DeleteFileA(exec_log_.c_str());
}

std::string WineMachine::local(const std::string& text) const {
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        auto at = [&](const char* word) {
            std::size_t n = std::strlen(word);
            if (lower(text.substr(i, n)) != word) return false;
            return i + n == text.size() || text[i + n] == '\\' || text[i + n] == '"' || text[i + n] == ' ';
        };
        if (at("c:\\windows\\system")) {
            out += system_;
            i += 17;
        } else if (at("c:\\windows")) {
            out += windows_;
            i += 10;
        } else {
            out += text[i++];
        }
    }
    return out;
}

std::string WineMachine::program_bytes(const std::string& name) const {
    const char* file = name == "setup"     ? "setup.exe"
                       : name == "tnsetup" ? "tnsetup.exe"
                       : name == "none"    ? "execlog.exe"
                                           : nullptr;
    std::string bytes;
    if (file) read_file(programs_ + "\\" + file, bytes);
    return bytes;
}

std::string WineMachine::real_bytes(const std::string& bytes) const {
    if (bytes.rfind(kStubMagic, 0) == 0) {
        std::string name = bytes.substr(sizeof kStubMagic - 1);
        name = name.substr(0, name.find_first_of("\r\n"));
        std::string real = program_bytes(name.empty() ? "none" : name);
        return real.empty() ? bytes : real; // a program no system has stays a file Windows cannot run
    }
    std::span<const std::uint8_t> data(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    sim::szdd::Header header;
    std::vector<std::uint8_t> expanded;
    if (sim::szdd::parse_header(data, header) != sim::szdd::Result::Ok ||
        sim::szdd::expand(data, expanded) != sim::szdd::Result::Ok)
        return bytes;
    std::string inner(expanded.begin(), expanded.end());
    if (inner.rfind(kStubMagic, 0) != 0) return bytes;
    std::string real = real_bytes(inner);
    if (real == inner) return bytes;
    auto packed = sim::szdd::compress(
        std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(real.data()), real.size()),
        header.missing);
    return std::string(packed.begin(), packed.end());
}
