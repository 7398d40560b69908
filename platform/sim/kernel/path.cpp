// Windows paths on the machine's drives: full-path resolution against the current directory, and the
// mapping to host paths with case-insensitive lookup of existing names, as on VFAT.
#include "platform/sim/machine/machine.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace sim {
namespace {

char upper_char(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

std::vector<std::string> components(const std::string& rest) {
    std::vector<std::string> out;
    size_t i = 0;
    while (i <= rest.size()) {
        size_t e = rest.find('\\', i);
        if (e == std::string::npos) e = rest.size();
        std::string part = rest.substr(i, e - i);
        if (part == "..") {
            if (!out.empty()) out.pop_back();
        } else if (!part.empty() && part != ".") {
            out.push_back(part);
        }
        i = e + 1;
    }
    return out;
}

// The entry of DIR whose name matches NAME without regard to case; NAME itself when none does.
std::string match_entry(const fs::path& dir, const std::string& name) {
    std::error_code ec;
    if (fs::exists(dir / name, ec)) return name;
    for (const auto& entry : fs::directory_iterator(dir, ec)) {
        std::string n = entry.path().filename().string();
        if (equal_nocase(n, name)) return n;
    }
    return name;
}

} // namespace

std::string upper_ascii(std::string s) {
    for (char& c : s)
        c = upper_char(c);
    return s;
}

bool equal_nocase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return upper_char(x) == upper_char(y); });
}

std::string full_path(const std::string& input) {
    if (input.empty()) return "";
    std::string s = input;
    std::replace(s.begin(), s.end(), '/', '\\');
    const std::string& cwd = machine().current_dir;
    std::string base, rest;
    char drive;
    if (s.size() >= 2 && s[1] == ':') {
        drive = upper_char(s[0]);
        rest = s.substr(2);
        if (rest.empty() || rest[0] != '\\')
            base = (upper_char(cwd[0]) == drive) ? cwd : std::string(1, drive) + ":\\";
    } else if (s.rfind("\\\\", 0) == 0) {
        return ""; // UNC names are not part of this machine
    } else {
        drive = upper_char(cwd[0]);
        rest = s;
        if (rest[0] != '\\') base = cwd;
    }
    if (drive < 'A' || drive > 'Z' || !machine().settings.drives.count(drive)) return "";
    std::string joined = base.empty() ? rest : base.substr(2) + "\\" + rest;
    std::string out = std::string(1, drive) + ":\\";
    bool first = true;
    for (const auto& c : components(joined)) {
        if (!first) out += '\\';
        out += c;
        first = false;
    }
    return out;
}

const Drive* drive_of(const std::string& full) {
    return drive_of_mut(full);
}

Drive* drive_of_mut(const std::string& full) {
    if (full.size() < 2 || full[1] != ':') return nullptr;
    auto& drives = machine().settings.drives;
    auto it = drives.find(upper_char(full[0]));
    return it == drives.end() ? nullptr : &it->second;
}

std::string host_path(const std::string& full) {
    const Drive* d = drive_of(full);
    if (!d) return "";
    fs::path p(d->folder);
    for (const auto& c : components(full.size() > 3 ? full.substr(3) : ""))
        p /= match_entry(p, c);
    return p.string();
}

std::string windows_path_of(const std::string& host) {
    std::error_code ec;
    fs::path h = fs::weakly_canonical(host, ec);
    for (const auto& [letter, d] : machine().settings.drives) {
        fs::path root = fs::weakly_canonical(d.folder, ec);
        auto rel = h.lexically_relative(root);
        if (rel.empty() || *rel.begin() == "..") continue;
        std::string r = rel.string();
        if (r == ".") r.clear();
        std::replace(r.begin(), r.end(), '/', '\\');
        return std::string(1, letter) + ":\\" + r;
    }
    return "";
}

bool path_under(const std::string& full, const std::string& prefix) {
    if (full.size() < prefix.size()) return false;
    if (!equal_nocase(full.substr(0, prefix.size()), prefix)) return false;
    return full.size() == prefix.size() || prefix.back() == '\\' || full[prefix.size()] == '\\';
}

static bool listed(const std::vector<std::string>& list, const std::string& full) {
    return std::any_of(list.begin(), list.end(), [&](const std::string& p) { return path_under(full, p); });
}

bool is_readonly(const std::string& full) {
    const Drive* d = drive_of(full);
    return (d && (d->readonly || d->kind == DriveKind::CdRom)) ||
           listed(machine().settings.readonly_paths, full);
}

bool fails_write(const std::string& full) {
    return listed(machine().settings.fail_write, full);
}
bool fails_read(const std::string& full) {
    return listed(machine().settings.fail_read, full);
}

bool account_write(const std::string& full, std::uint64_t bytes) {
    Drive* d = drive_of_mut(full);
    if (!d) return false;
    if (d->full_after && d->written + bytes > *d->full_after) {
        d->written = *d->full_after;
        return false;
    }
    d->written += bytes;
    return true;
}

std::string windows_dir() {
    return "C:\\WINDOWS";
}
std::string system_dir() {
    return "C:\\WINDOWS\\SYSTEM";
}

} // namespace sim
