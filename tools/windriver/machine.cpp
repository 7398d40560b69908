#include "tools/windriver/machine.h"

#include "platform/sim/advapi/regfile.h"
#include "platform/sim/lz/szdd.h"
#include "tools/windriver/drives.h"

#include <windows.h>
#include <shlobj.h>
#include <tlhelp32.h>

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

// The predefined key of a root's index in the registry file (HKEY_CLASSES_ROOT = 0x80000000, ...).
HKEY root_of(std::size_t index) {
    return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(0x80000000u + index)));
}

bool has_extension(const std::string& name, const char* ext) {
    return name.size() > 4 && lower(name.substr(name.size() - 4)) == ext;
}

// The folder windows Wine's shell opens for Program Manager's groups: windows of Explorer processes other
// than the desktop's own.
std::set<DWORD> shell_folder_processes() {
    std::set<DWORD> out;
    DWORD desktop = 0;
    GetWindowThreadProcessId(GetShellWindow() ? GetShellWindow() : GetDesktopWindow(), &desktop);
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snap == INVALID_HANDLE_VALUE) return out;
    PROCESSENTRY32 e{};
    e.dwSize = sizeof e;
    for (BOOL more = Process32First(snap, &e); more; more = Process32Next(snap, &e))
        if (lower(e.szExeFile) == "explorer.exe" && e.th32ProcessID != desktop) out.insert(e.th32ProcessID);
    CloseHandle(snap);
    return out;
}

BOOL CALLBACK close_if_listed(HWND hwnd, LPARAM param) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (reinterpret_cast<const std::set<DWORD>*>(param)->count(pid)) PostMessageA(hwnd, WM_CLOSE, 0, 0);
    return TRUE;
}

// Closes the group windows the last scenario's installation opened and waits a moment for them to go.
void close_shell_folders() {
    std::set<DWORD> pids = shell_folder_processes();
    if (pids.empty()) return;
    EnumWindows(close_if_listed, reinterpret_cast<LPARAM>(&pids));
    for (DWORD pid : pids) {
        HANDLE h = OpenProcess(SYNCHRONIZE, FALSE, pid);
        if (!h) continue;
        WaitForSingleObject(h, 2000);
        CloseHandle(h);
    }
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

std::map<std::string, WineMachine::Value> WineMachine::values_of(HKEY key,
                                                                 std::map<std::string, std::string>* names) {
    std::map<std::string, Value> out;
    for (DWORD i = 0;; ++i) {
        char name[16384];
        DWORD name_size = sizeof name, type = 0, size = 0;
        if (RegEnumValueA(key, i, name, &name_size, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) break;
        Value v{type, std::string(size, '\0')};
        name_size = sizeof name;
        RegEnumValueA(key, i, name, &name_size, nullptr, &type, reinterpret_cast<BYTE*>(v.data.data()),
                      &size);
        v.data.resize(size);
        std::string upper = name;
        CharUpperA(upper.data());
        out[upper] = v;
        if (names) (*names)[upper] = name;
    }
    return out;
}

// The machine holds the values of the file. A key the file lists without keys below it holds those
// values alone (Fonts, FontSubstitutes, Display\Settings: a program may read such a key whole); a key
// with listed keys below it (CurrentVersion) keeps Wine's own values beside them. Then each key is kept
// as it is.
bool WineMachine::load_registry(const std::string& file, std::string* error) {
    std::string text;
    if (!read_file(file, text)) {
        if (error) *error = "cannot read " + file;
        return false;
    }
    sim::RegHive hive;
    std::vector<sim::RegFileError> errors;
    sim::parse_regedit(text, hive, errors);
    if (!errors.empty()) {
        if (error) *error = file + ":" + std::to_string(errors[0].line) + ": " + errors[0].message;
        return false;
    }
    auto walk = [&](auto& self, HKEY root, const std::string& path, const sim::RegKey& key) -> void {
        if (!key.values.empty()) {
            HKEY h;
            if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr) ==
                ERROR_SUCCESS) {
                std::map<std::string, std::string> names;
                if (key.subkeys.empty())
                    for (const auto& [upper, value] : values_of(h, &names))
                        RegDeleteValueA(h, names[upper].c_str());
                for (const sim::RegValue& v : key.values)
                    RegSetValueExA(h, v.name.c_str(), 0, v.type, reinterpret_cast<const BYTE*>(v.data.data()),
                                   static_cast<DWORD>(v.data.size()));
                KeptKey kept{root, path, {}, {}};
                kept.values = values_of(h, &kept.names);
                keys_.push_back(kept);
                RegCloseKey(h);
            }
        }
        for (const auto& sub : key.subkeys)
            self(self, root, path.empty() ? sub->name : path + "\\" + sub->name, *sub);
    };
    for (std::size_t r = 0; r < hive.roots.size(); ++r)
        if (*sim::kRegRootNames[r]) walk(walk, root_of(r), "", hive.roots[r]);
    return true;
}

// Values added since the start are deleted, changed ones get their data back.
void WineMachine::restore(const KeptKey& k) {
    HKEY h;
    if (RegCreateKeyExA(k.root, k.path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr) !=
        ERROR_SUCCESS)
        return;
    std::map<std::string, std::string> names;
    std::map<std::string, Value> now = values_of(h, &names);
    for (const auto& [upper, value] : now)
        if (!k.values.count(upper)) RegDeleteValueA(h, names[upper].c_str());
    for (const auto& [upper, value] : k.values) {
        auto it = now.find(upper);
        if (it != now.end() && it->second == value) continue;
        RegSetValueExA(h, k.names.at(upper).c_str(), 0, value.type,
                       reinterpret_cast<const BYTE*>(value.data.data()),
                       static_cast<DWORD>(value.data.size()));
    }
    RegCloseKey(h);
}

// ---- settings

namespace {

const char kWineKey[] = "Software\\Wine";

std::string wine_version() {
    char value[64] = "";
    DWORD size = sizeof value;
    HKEY h;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kWineKey, 0, KEY_READ, &h) != ERROR_SUCCESS) return "";
    if (RegQueryValueExA(h, "Version", nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size) !=
        ERROR_SUCCESS)
        value[0] = '\0';
    RegCloseKey(h);
    return value;
}

// Wine reads the version when a program starts, so the programs a scenario runs next report it.
bool set_wine_version(const std::string& version) {
    HKEY h;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kWineKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &h, nullptr) !=
        ERROR_SUCCESS)
        return false;
    bool ok = version.empty()
                  ? RegDeleteValueA(h, "Version") == ERROR_SUCCESS
                  : RegSetValueExA(h, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version.c_str()),
                                   static_cast<DWORD>(version.size() + 1)) == ERROR_SUCCESS;
    RegCloseKey(h);
    return ok;
}

const char* wine_version_of(const std::string& windows) {
    return windows == "95" ? "win95" : windows == "nt4" ? "nt40" : windows == "31" ? "win31" : nullptr;
}

UINT drive_kind(const std::string& kind) {
    return kind == "fixed"       ? DRIVE_FIXED
           : kind == "removable" ? DRIVE_REMOVABLE
           : kind == "remote"    ? DRIVE_REMOTE
           : kind == "cdrom"     ? DRIVE_CDROM
                                 : DRIVE_UNKNOWN;
}

bool drive_letter(const std::string& word, char& letter) {
    if (word.size() != 2 || word[1] != ':' || !IsCharAlphaA(word[0])) return false;
    letter = static_cast<char>(word[0] & ~0x20);
    return true;
}

// A drive's folder is a plain name, made under windriver's folder of drives.
bool plain_name(const std::string& folder) {
    return !folder.empty() && folder.find_first_of("\\/:.") == std::string::npos;
}

} // namespace

bool WineMachine::honours_setting(const std::vector<std::string>& w) {
    char letter;
    if (w.size() == 2 && w[0] == "windows") return wine_version_of(w[1]) != nullptr;
    if (w.size() == 2 && w[0] == "no-drive") return drive_letter(w[1], letter) && letter != 'C';
    if (w[0] != "drive" || (w.size() != 3 && w.size() != 4) || !drive_letter(w[1], letter) ||
        drive_kind(w[2]) == DRIVE_UNKNOWN)
        return false;
    std::string folder = w.size() == 4 ? w[3] : std::string(1, letter);
    return letter == 'C' ? lower(folder) == "c" && w[2] != "removable" : plain_name(folder);
}

bool WineMachine::apply_setting(const std::vector<std::string>& w, std::string* error) {
    if (!honours_setting(w)) {
        if (error) *error = "only the simulator has this setting";
        return false;
    }
    char letter = 0;
    drive_letter(w.size() > 1 ? w[1] : "", letter);
    if (w[0] == "windows") {
        if (set_wine_version(wine_version_of(w[1]))) return true;
        if (error) *error = "cannot set Wine's Windows version";
        return false;
    }
    if (w[0] == "no-drive") {
        if (!remember_drive(letter) || !wine_drives::remove(letter)) {
            if (error) *error = "cannot remove drive " + w[1];
            return false;
        }
        drive_folders_.erase(letter);
        return true;
    }
    return set_drive(letter, w[2], w.size() == 4 ? w[3] : std::string(1, letter), error);
}

bool WineMachine::remember_drive(char letter) {
    if (drives_before_.count(letter)) return true;
    DriveBefore& before = drives_before_[letter];
    before.existed = wine_drives::query(letter, before.kind, before.unix_folder);
    return true;
}

bool WineMachine::set_drive(char letter, const std::string& kind, const std::string& folder,
                            std::string* error) {
    remember_drive(letter);
    std::string unix_folder = drives_before_[letter].unix_folder;
    if (letter != 'C') {
        std::string windows_folder = drives_dir_ + "\\" + folder;
        CreateDirectoryA(drives_dir_.c_str(), nullptr); // Wine names the Unix path of a folder to be made
        unix_folder = wine_drives::unix_path(windows_folder);
        if (unix_folder.empty()) {
            if (error) *error = "Wine does not tell the Unix path of " + windows_folder;
            return false;
        }
        drive_folders_[letter] = windows_folder;
    }
    return wine_drives::define(letter, drive_kind(kind), unix_folder, error);
}

void WineMachine::prepare_drive_of(const std::string& path) {
    char letter;
    if (path.size() < 2 || !drive_letter(path.substr(0, 2), letter)) return;
    auto it = drive_folders_.find(letter);
    if (it == drive_folders_.end()) return;
    CreateDirectoryA(drives_dir_.c_str(), nullptr);
    CreateDirectoryA(it->second.c_str(), nullptr);
}

void WineMachine::restore_drives() {
    for (const auto& [letter, before] : drives_before_) {
        if (before.existed)
            wine_drives::define(letter, before.kind, before.unix_folder, nullptr);
        else
            wine_drives::remove(letter);
    }
    drives_before_.clear();
    drive_folders_.clear();
    remove_tree(drives_dir_);
}

bool WineMachine::start(const std::string& programs, const std::string& registry, std::string* error) {
    if (!registry.empty() && !load_registry(registry, error)) return false;
    version_ = wine_version();
    char here[MAX_PATH];
    GetCurrentDirectoryA(sizeof here, here);
    drives_dir_ = std::string(here) + "\\drives";
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
    watched_ = {"C:",
                windows_,
                system_,
                windows_ + "\\Fonts",
                folder(CSIDL_PROGRAMS),
                folder(CSIDL_COMMON_PROGRAMS),
                folder(CSIDL_STARTUP),
                folder(CSIDL_COMMON_STARTUP)};
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
    close_shell_folders();
    for (const KeptKey& k : keys_)
        restore(k);
    restore_drives();
    if (wine_version() != version_) set_wine_version(version_);
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
        // A name written in lower case (as the directory dialogs show paths) stays in lower case.
        auto folder = [&](const std::string& here, std::size_t n) {
            std::string written = text.substr(i, n);
            out += written == lower(written) ? lower(here) : here;
            i += n;
        };
        if (at("c:\\windows\\system")) {
            folder(system_, 17);
        } else if (at("c:\\windows")) {
            folder(windows_, 10);
        } else {
            out += text[i++];
        }
    }
    return out;
}

std::string WineMachine::local_log_line(const std::string& line) const {
    std::string out = local(line);
    std::size_t space = out.rfind(' ');
    if (space == std::string::npos || out.find_first_not_of("0123456789", space + 1) != std::string::npos)
        return out;
    std::string path = out.substr(0, space), bytes;
    if (!read_file(path, bytes)) return out;
    for (const char* name : {"setup", "tnsetup", "none"}) {
        std::string stub = kStubMagic + std::string(name) + "\r\n";
        if (out.substr(space + 1) == std::to_string(stub.size()) && bytes == program_bytes(name))
            return path + " " + std::to_string(bytes.size());
    }
    return out;
}

namespace {

// An INI file as a program reads it: its sections in order, each with its entries (a line without = is an
// entry without a value), blanks around names and values, blank lines and comments left out.
using IniEntries = std::vector<std::pair<std::string, std::vector<std::string>>>;

bool read_ini(const std::string& text, IniEntries& out) {
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        std::size_t b = line.find_first_not_of(" \t\r"), e = line.find_last_not_of(" \t\r");
        if (b == std::string::npos || line[b] == ';') continue;
        line = line.substr(b, e - b + 1);
        if (line[0] == '[') {
            out.push_back({lower(line), {}});
            continue;
        }
        if (out.empty()) return false; // an entry before any section: not an INI file
        std::size_t eq = line.find('=');
        std::string name = line.substr(0, eq), value = eq == std::string::npos ? "" : line.substr(eq + 1);
        auto trim = [](std::string s) {
            std::size_t f = s.find_first_not_of(" \t"), l = s.find_last_not_of(" \t");
            return f == std::string::npos ? std::string() : s.substr(f, l - f + 1);
        };
        out.back().second.push_back(lower(trim(name)) + "=" + trim(value));
    }
    for (auto& section : out)
        std::sort(section.second.begin(), section.second.end());
    return !out.empty();
}

} // namespace

// Wine writes INI files in its own layout (no blank line before a section, no blanks at the start of a
// value) and enumerates registry values by name where Windows 95 keeps the order they were written in,
// so a section copied from a registry key comes out sorted. So INI files are compared by their entries:
// the same sections in the same order, each with the same entries in any order.
bool WineMachine::same_content(const std::string& machine, const std::string& host) const {
    std::string want = real_bytes(local(host));
    if (machine == want) return true;
    IniEntries have_entries, want_entries;
    return read_ini(machine, have_entries) && read_ini(want, want_entries) && have_entries == want_entries;
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
