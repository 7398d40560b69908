// machine.ini: reading, writing and the `set` form of each setting.
#include "platform/sim/machine/machine.h"
#include "platform/sim/machine/textfile.h"
#include "common/words.h"

#include <charconv>
#include <filesystem>
#include <sstream>

namespace fs = std::filesystem;

namespace sim {
namespace {

const char* const kMachineIni = "machine.ini";

bool fail(std::string* error, const std::string& text) {
    if (error) *error = text;
    return false;
}

bool parse_u64(const std::string& s, std::uint64_t& out) {
    if (s.empty()) return false;
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
    return ec == std::errc() && p == s.data() + s.size();
}

const char* version_name(WinVersion v) {
    switch (v) {
    case WinVersion::NT4:
        return "nt4";
    case WinVersion::Win31:
        return "31";
    default:
        return "95";
    }
}

const char* kind_name(DriveKind k) {
    switch (k) {
    case DriveKind::Removable:
        return "removable";
    case DriveKind::Remote:
        return "remote";
    case DriveKind::CdRom:
        return "cdrom";
    default:
        return "fixed";
    }
}

bool parse_kind(const std::string& s, DriveKind& out) {
    std::string l = s;
    for (char& c : l)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (l == "fixed")
        out = DriveKind::Fixed;
    else if (l == "removable")
        out = DriveKind::Removable;
    else if (l == "remote")
        out = DriveKind::Remote;
    else if (l == "cdrom")
        out = DriveKind::CdRom;
    else
        return false;
    return true;
}

// "D:" or "D" → 'D'
bool parse_drive(const std::string& s, char& out) {
    if (s.empty() || s.size() > 2 || (s.size() == 2 && s[1] != ':')) return false;
    char c = static_cast<char>(std::toupper(static_cast<unsigned char>(s[0])));
    if (c < 'A' || c > 'Z') return false;
    out = c;
    return true;
}

std::string resolve_folder(const std::string& setting, const std::string& base) {
    fs::path p(setting);
    if (p.is_relative()) p = fs::path(base) / p;
    return p.lexically_normal().string();
}

std::string quote(const std::string& s) {
    return "\"" + s + "\"";
}

} // namespace

std::vector<std::string> split_words(const std::string& line, std::string* error) {
    return common::split_words(line, error);
}

bool apply_setting(Settings& s, const std::string& line, const std::string& base, std::string* error) {
    std::string err;
    std::vector<std::string> w = split_words(line, &err);
    if (!err.empty()) return fail(error, err);
    if (w.empty()) return fail(error, "empty setting");
    const std::string& key = w[0];
    auto need = [&](size_t n, const char* usage) {
        if (w.size() == n) return true;
        fail(error, std::string("usage: ") + usage);
        return false;
    };
    std::uint64_t n = 0;
    char d = 0;
    if (key == "windows") {
        if (!need(2, "windows 95|nt4|31")) return false;
        if (w[1] == "95")
            s.version = WinVersion::Win95;
        else if (w[1] == "nt4")
            s.version = WinVersion::NT4;
        else if (w[1] == "31")
            s.version = WinVersion::Win31;
        else
            return fail(error, "bad Windows version '" + w[1] + "' (95, nt4 or 31)");
    } else if (key == "screen") {
        if (!need(2, "screen WIDTHxHEIGHT")) return false;
        size_t x = w[1].find_first_of("xX");
        std::uint64_t cx = 0, cy = 0;
        if (x == std::string::npos || !parse_u64(w[1].substr(0, x), cx) ||
            !parse_u64(w[1].substr(x + 1), cy) || cx < 320 || cy < 200 || cx > 4096 || cy > 4096)
            return fail(error, "bad screen size '" + w[1] + "' (WIDTHxHEIGHT, 320x200 to 4096x4096)");
        s.screen_width = static_cast<int>(cx);
        s.screen_height = static_cast<int>(cy);
    } else if (key == "codepage") {
        if (!need(2, "codepage 1251|1252")) return false;
        if (w[1] == "1251")
            s.codepage = 1251;
        else if (w[1] == "1252")
            s.codepage = 1252;
        else
            return fail(error, "bad code page '" + w[1] + "' (1251 or 1252)");
    } else if (key == "progman") {
        if (!need(2, "progman on|off")) return false;
        if (w[1] != "on" && w[1] != "off") return fail(error, "bad progman value '" + w[1] + "' (on or off)");
        s.progman = w[1] == "on";
    } else if (key == "fail-alloc") {
        if (!need(2, "fail-alloc N")) return false;
        if (!parse_u64(w[1], n) || n > 1000000000) return fail(error, "bad allocation count '" + w[1] + "'");
        s.fail_alloc_after = static_cast<long>(n);
    } else if (key == "free" || key == "disk-full") {
        if (!need(3, (key + " D: BYTES").c_str())) return false;
        if (!parse_drive(w[1], d)) return fail(error, "bad drive '" + w[1] + "'");
        if (!parse_u64(w[2], n)) return fail(error, "bad byte count '" + w[2] + "'");
        auto it = s.drives.find(d);
        if (it == s.drives.end()) return fail(error, std::string("no drive ") + d + ": on this machine");
        if (key == "free")
            it->second.free = n;
        else
            it->second.full_after = n;
    } else if (key == "cluster") {
        if (!need(3, "cluster D: BYTES")) return false;
        if (!parse_drive(w[1], d)) return fail(error, "bad drive '" + w[1] + "'");
        if (!parse_u64(w[2], n) || n < 512 || n > 65536 || (n & (n - 1)) != 0)
            return fail(error, "bad cluster size '" + w[2] + "' (a power of two from 512 to 65536)");
        auto it = s.drives.find(d);
        if (it == s.drives.end()) return fail(error, std::string("no drive ") + d + ": on this machine");
        it->second.cluster = static_cast<std::uint32_t>(n);
    } else if (key == "drive") {
        if (w.size() != 3 && w.size() != 4)
            return fail(error, "usage: drive D: fixed|removable|remote|cdrom [FOLDER]");
        if (!parse_drive(w[1], d)) return fail(error, "bad drive '" + w[1] + "'");
        Drive drive;
        drive.letter = d;
        if (!parse_kind(w[2], drive.kind))
            return fail(error, "bad drive type '" + w[2] + "' (fixed, removable, remote or cdrom)");
        drive.folder_setting = w.size() == 4 ? w[3] : std::string(1, d);
        drive.folder = resolve_folder(drive.folder_setting, base);
        s.drives[d] = drive;
    } else if (key == "no-drive") {
        if (!need(2, "no-drive D:")) return false;
        if (!parse_drive(w[1], d)) return fail(error, "bad drive '" + w[1] + "'");
        s.drives.erase(d);
    } else if (key == "readonly" || key == "fail-write" || key == "fail-read" || key == "deny-registry") {
        if (!need(2, (key + " PATH").c_str())) return false;
        std::string p = upper_ascii(w[1]);
        for (char& c : p)
            if (c == '/') c = '\\';
        while (p.size() > 3 && p.back() == '\\')
            p.pop_back();
        if (key == "readonly" && p.size() == 2 && p[1] == ':') {
            auto it = s.drives.find(p[0]);
            if (it == s.drives.end()) return fail(error, "no drive " + p + " on this machine");
            it->second.readonly = true;
            return true;
        }
        if (key != "deny-registry" && (p.size() < 3 || p[1] != ':' || p[2] != '\\'))
            return fail(error, "'" + w[1] + "' is not a full path such as C:\\DIR\\FILE");
        auto& list = key == "readonly"     ? s.readonly_paths
                     : key == "fail-write" ? s.fail_write
                     : key == "fail-read"  ? s.fail_read
                                           : s.deny_registry;
        list.push_back(p);
    } else if (key == "running") {
        if (!need(3, "running \"title\" \"class\"")) return false;
        s.running.push_back({w[1], w[2]});
    } else if (key == "progman-refuse") {
        if (!need(2, "progman-refuse COMMAND")) return false;
        s.progman_refuse.push_back(w[1]);
    } else {
        return fail(error, "unknown setting '" + key + "'");
    }
    return true;
}

bool load_settings(const std::string& dir, Settings& out, std::string* error) {
    std::string path = (fs::path(dir) / kMachineIni).string();
    std::string text;
    if (!read_host_file(path, text)) return fail(error, "cannot read " + path);
    Settings s;
    s.drives.clear();
    std::string section;
    char drive = 0;
    int lineno = 0;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        ++lineno;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        size_t b = line.find_first_not_of(" \t");
        if (b == std::string::npos || line[b] == ';') continue;
        line = line.substr(b);
        auto where = [&] { return path + " line " + std::to_string(lineno) + ": "; };
        if (line[0] == '[') {
            size_t e = line.find(']');
            if (e == std::string::npos) return fail(error, where() + "unterminated section name");
            section = line.substr(1, e - 1);
            drive = 0;
            if (section.rfind("drive ", 0) == 0) {
                if (!parse_drive(section.substr(6), drive))
                    return fail(error, where() + "bad drive in [" + section + "]");
                Drive dr;
                dr.letter = drive;
                dr.folder_setting = std::string(1, drive);
                dr.folder = resolve_folder(dr.folder_setting, dir);
                s.drives[drive] = dr;
            } else if (section != "machine" && section != "faults" && section != "running") {
                return fail(error, where() + "unknown section [" + section + "]");
            }
            continue;
        }
        size_t eq = line.find('=');
        if (eq == std::string::npos) return fail(error, where() + "expected key=value");
        std::string key = line.substr(0, eq), value = line.substr(eq + 1);
        while (!key.empty() && (key.back() == ' ' || key.back() == '\t'))
            key.pop_back();
        size_t vb = value.find_first_not_of(" \t");
        value = vb == std::string::npos ? "" : value.substr(vb);
        std::string err;
        bool ok = true;
        if (section == "machine") {
            ok = apply_setting(s, key + " " + value, dir, &err);
        } else if (drive) {
            Drive& dr = s.drives[drive];
            std::string d = std::string(1, drive) + ": ";
            if (key == "type")
                ok = parse_kind(value, dr.kind) || (err = "bad drive type '" + value + "'", false);
            else if (key == "folder") {
                dr.folder_setting = value;
                dr.folder = resolve_folder(value, dir);
            } else if (key == "free" || key == "disk-full" || key == "cluster")
                ok = apply_setting(s, key + " " + d + value, dir, &err);
            else if (key == "readonly") {
                if (value != "yes" && value != "no") ok = false, err = "readonly is yes or no";
                dr.readonly = value == "yes";
            } else
                ok = false, err = "unknown drive key '" + key + "'";
        } else if (section == "faults") {
            ok = apply_setting(s, key + " " + quote(value), dir, &err);
        } else if (section == "running") {
            ok = key == "program" ? apply_setting(s, "running " + value, dir, &err)
                                  : (err = "unknown key '" + key + "'", false);
        } else {
            ok = false, err = "key outside a section";
        }
        if (!ok) return fail(error, where() + err);
    }
    if (!s.drives.count('C')) return fail(error, path + ": the machine has no drive C:");
    out = std::move(s);
    return true;
}

bool save_settings(const std::string& dir, const Settings& s, std::string* error) {
    std::ostringstream o;
    o << "; A simulated Windows 95 machine (see docs/machine-format.md)\n";
    o << "[machine]\nwindows=" << version_name(s.version) << "\nscreen=" << s.screen_width << "x"
      << s.screen_height << "\ncodepage=" << s.codepage << "\nprogman=" << (s.progman ? "on" : "off")
      << "\nfail-alloc=" << s.fail_alloc_after << "\n";
    for (const auto& [letter, d] : s.drives) {
        o << "\n[drive " << letter << ":]\ntype=" << kind_name(d.kind) << "\nfolder=" << d.folder_setting
          << "\n";
        if (d.free) o << "free=" << *d.free << "\n";
        if (d.full_after) o << "disk-full=" << *d.full_after << "\n";
        if (d.cluster) o << "cluster=" << *d.cluster << "\n";
        o << "readonly=" << (d.readonly ? "yes" : "no") << "\n";
    }
    o << "\n[faults]\n";
    for (const auto& p : s.readonly_paths)
        o << "readonly=" << p << "\n";
    for (const auto& p : s.fail_write)
        o << "fail-write=" << p << "\n";
    for (const auto& p : s.fail_read)
        o << "fail-read=" << p << "\n";
    for (const auto& p : s.deny_registry)
        o << "deny-registry=" << p << "\n";
    for (const auto& p : s.progman_refuse)
        o << "progman-refuse=" << p << "\n";
    o << "\n[running]\n";
    for (const auto& r : s.running)
        o << "program=" << quote(r.title) << " " << quote(r.window_class) << "\n";
    std::string path = (fs::path(dir) / kMachineIni).string();
    if (!write_host_file(path, o.str())) return fail(error, "cannot write " + path);
    return true;
}

std::string describe_settings(const Settings& s) {
    std::ostringstream o;
    o << "Windows "
      << (s.version == WinVersion::Win95 ? "95 (4.0)"
          : s.version == WinVersion::NT4 ? "NT 4.0"
                                         : "3.1")
      << ", screen " << s.screen_width << " x " << s.screen_height << ", ANSI code page " << s.codepage
      << ", Program Manager " << (s.progman ? "on" : "off") << "\n";
    for (const auto& [letter, d] : s.drives) {
        o << "  " << letter << ": " << kind_name(d.kind) << (d.readonly ? ", read-only" : "") << ", folder "
          << d.folder;
        if (d.free) o << ", free " << *d.free << " bytes";
        if (d.full_after) o << ", full after " << *d.full_after << " bytes";
        if (d.cluster) o << ", clusters of " << *d.cluster << " bytes";
        o << "\n";
    }
    for (const auto& p : s.readonly_paths)
        o << "  read-only " << p << "\n";
    for (const auto& p : s.fail_write)
        o << "  writes fail: " << p << "\n";
    for (const auto& p : s.fail_read)
        o << "  reads fail: " << p << "\n";
    for (const auto& p : s.deny_registry)
        o << "  registry denied: " << p << "\n";
    for (const auto& p : s.progman_refuse)
        o << "  Program Manager refuses " << p << "\n";
    if (s.fail_alloc_after) o << "  memory allocation " << s.fail_alloc_after << " and later fail\n";
    for (const auto& r : s.running)
        o << "  running: \"" << r.title << "\" class \"" << r.window_class << "\"\n";
    return o.str();
}

} // namespace sim
