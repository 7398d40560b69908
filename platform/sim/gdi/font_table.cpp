// The fonts of the session. A program finds, when it first needs a font, the raster fonts that Windows
// loads at start-up: the files that the display settings of the current configuration name for the
// system, fixed and OEM fonts (or SYSTEM.INI [boot] where they name none: Windows 95 brings [boot] in
// line with the current configuration when it starts, and here every program start is such a start), the
// files of the registry's Fonts key and of WIN.INI [fonts]. Then those that AddFontResourceA added during
// the session: the machine keeps them in fonts.txt until a program removes them, as Windows keeps them
// until it restarts. TrueType files are recorded but give no faces: the simulator draws raster fonts only.
#include "platform/sim/gdi/font_table.h"
#include "platform/sim/machine/machine.h"
#include "platform/sim/machine/textfile.h"
#include "platform/sim/win/windows.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <sstream>

namespace fs = std::filesystem;

namespace sim::gdi {
namespace {

struct Session {
    bool loaded = false;
    std::vector<Face> faces;
    std::shared_ptr<const FntFont> boot[3];                       // by BootFont
    std::vector<std::pair<std::string, std::string>> substitutes; // upper-case name, its substitute
};

Session& session() {
    static Session s;
    return s;
}

unsigned& generation_counter() {
    static unsigned g = 1;
    return g;
}

void changed() {
    ++generation_counter();
}

std::string fonts_txt() {
    return (fs::path(machine().dir) / "fonts.txt").string();
}

bool file_exists(const std::string& full) {
    std::error_code ec;
    std::string host = host_path(full);
    return !host.empty() && fs::is_regular_file(host, ec);
}

std::string extension(const std::string& path) {
    return upper_ascii(fs::path(path).extension().string());
}

bool is_raster_file(const std::string& path) {
    std::string ext = extension(path);
    return ext == ".FON" || ext == ".FNT";
}

bool is_font_file(const std::string& path) {
    std::string ext = extension(path);
    return is_raster_file(path) || ext == ".TTF" || ext == ".FOT";
}

// A font file named without a directory is looked for in the fonts, system and Windows directories and
// then the current one.
std::string locate_font(const std::string& name) {
    if (name.find_first_of("\\/:") != std::string::npos) return full_path(name);
    for (const std::string& dir :
         {windows_dir() + "\\FONTS\\", system_dir() + "\\", windows_dir() + "\\", machine().current_dir}) {
        std::string full = full_path(dir + name);
        if (file_exists(full)) return full;
    }
    return full_path(name);
}

std::vector<FntFont> read_fonts(const std::string& full) {
    std::vector<FntFont> fonts;
    std::string bytes;
    if (!is_raster_file(full) || !read_host_file(host_path(full), bytes)) return fonts;
    std::span<const std::uint8_t> data(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    parse_font_file(data, fonts, nullptr);
    return fonts;
}

bool has_file(const std::string& full) {
    return std::any_of(session().faces.begin(), session().faces.end(),
                       [&](const Face& f) { return equal_nocase(f.file, full); });
}

// Adds the faces of a file once; the first face of the file, or null when it gives none. Faces that the
// machine loads at start-up stay for the whole session.
std::shared_ptr<const FntFont> load_file(const std::string& full, bool at_start) {
    for (Face& f : session().faces)
        if (equal_nocase(f.file, full)) {
            f.at_start = f.at_start || at_start;
            return f.font;
        }
    std::shared_ptr<const FntFont> first;
    for (FntFont& font : read_fonts(full)) {
        auto shared = std::make_shared<const FntFont>(std::move(font));
        if (!first) first = shared;
        session().faces.push_back({shared, full, at_start});
    }
    return first;
}

std::string profile_string(const char* section, const char* key, const std::string& file) {
    char value[MAX_PATH] = "";
    GetPrivateProfileStringA(section, key, "", value, sizeof value, file.c_str());
    return value;
}

std::vector<std::string> profile_values(const char* section, const std::string& file) {
    std::vector<std::string> values;
    std::vector<char> keys(8192);
    DWORD n = GetPrivateProfileStringA(section, nullptr, "", keys.data(), static_cast<DWORD>(keys.size()),
                                       file.c_str());
    for (DWORD i = 0; i < n; i += static_cast<DWORD>(std::strlen(keys.data() + i)) + 1)
        values.push_back(profile_string(section, keys.data() + i, file));
    return values;
}

// The string values of a registry key, as (name, data) pairs.
std::vector<std::pair<std::string, std::string>> registry_values(const char* path) {
    std::vector<std::pair<std::string, std::string>> values;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return values;
    for (DWORD i = 0;; ++i) {
        char name[256], data[MAX_PATH];
        DWORD name_size = sizeof name, data_size = sizeof data, type = 0;
        LONG rc = RegEnumValueA(key, i, name, &name_size, nullptr, &type, reinterpret_cast<BYTE*>(data),
                                &data_size);
        if (rc == ERROR_NO_MORE_ITEMS) break;
        if (rc != ERROR_SUCCESS || type != REG_SZ) continue;
        data[std::min<DWORD>(data_size, sizeof data - 1)] = 0;
        values.push_back({name, data});
    }
    RegCloseKey(key);
    return values;
}

std::vector<std::string> session_files() {
    std::vector<std::string> files;
    std::string text;
    if (!read_host_file(fonts_txt(), text)) return files;
    std::stringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) files.push_back(line);
    }
    return files;
}

bool save_session_files(const std::vector<std::string>& files) {
    std::string text;
    for (const auto& f : files)
        text += f + "\r\n";
    return write_host_file(fonts_txt(), text);
}

void load_substitutes(Session& s) {
    auto add = [&](const std::string& name, const std::string& substitute) {
        std::string key = upper_ascii(name.substr(0, name.find(',')));
        for (const auto& entry : s.substitutes)
            if (entry.first == key) return;
        s.substitutes.push_back({key, substitute.substr(0, substitute.find(','))});
    };
    for (const auto& [name, value] :
         registry_values("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\FontSubstitutes"))
        add(name, value);
    std::string win_ini = windows_dir() + "\\WIN.INI";
    std::vector<char> keys(4096);
    DWORD n = GetPrivateProfileStringA("FontSubstitutes", nullptr, "", keys.data(),
                                       static_cast<DWORD>(keys.size()), win_ini.c_str());
    for (DWORD i = 0; i < n; i += static_cast<DWORD>(std::strlen(keys.data() + i)) + 1)
        add(keys.data() + i, profile_string("FontSubstitutes", keys.data() + i, win_ini));
}

std::string registry_string(HKEY root, const char* path, const char* name) {
    HKEY key;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return {};
    char data[MAX_PATH] = "";
    DWORD size = sizeof data - 1, type = 0;
    LONG rc = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS && type == REG_SZ ? std::string(data, strnlen(data, size)) : std::string();
}

// The file of one of the three start-up fonts.
std::string boot_font_file(const char* key, const std::string& system_ini) {
    std::string file = registry_string(HKEY_CURRENT_CONFIG, "Display\\Settings", key);
    return file.empty() ? profile_string("boot", key, system_ini) : file;
}

void load_session() {
    Session& s = session();
    if (s.loaded || !is_attached()) return;
    s.loaded = true;
    changed();
    std::string system_ini = windows_dir() + "\\SYSTEM.INI";
    const char* boot_keys[] = {"fonts.fon", "fixedfon.fon", "oemfonts.fon"};
    for (int i = 0; i < 3; ++i) {
        std::string file = boot_font_file(boot_keys[i], system_ini);
        if (!file.empty()) s.boot[i] = load_file(locate_font(file), true);
    }
    for (const auto& value : registry_values("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Fonts"))
        load_file(locate_font(value.second), true);
    for (const std::string& file : profile_values("fonts", windows_dir() + "\\WIN.INI"))
        load_file(locate_font(file), true);
    for (const std::string& file : session_files())
        load_file(file, false);
    load_substitutes(s);
}

} // namespace

const std::vector<Face>& session_faces() {
    load_session();
    return session().faces;
}

std::shared_ptr<const FntFont> boot_font(BootFont which) {
    load_session();
    return session().boot[static_cast<int>(which)];
}

std::string substitute_face(const std::string& face) {
    load_session();
    std::string key = upper_ascii(face);
    for (const auto& [name, substitute] : session().substitutes)
        if (name == key) return substitute;
    return face;
}

unsigned font_generation() {
    return generation_counter();
}

} // namespace sim::gdi

namespace sim {

void forget_session_fonts() {
    gdi::session() = gdi::Session{};
    gdi::changed();
}

} // namespace sim

using namespace sim;
using namespace sim::gdi;

int WINAPI AddFontResourceA(LPCSTR lpFileName) {
    if (!lpFileName) return 0;
    std::string full = locate_font(lpFileName);
    if (full.empty() || !file_exists(full) || !is_font_file(full)) return 0;
    load_session();
    int faces = 1; // a TrueType file counts as one font
    if (is_raster_file(full)) {
        faces = static_cast<int>(read_fonts(full).size());
        if (faces == 0) return 0;
        if (!has_file(full)) {
            load_file(full, false);
            changed();
        }
    }
    auto table = session_files();
    for (const auto& f : table)
        if (equal_nocase(f, full)) return faces; // already added: Windows counts it again; one entry is kept
    table.push_back(full);
    return save_session_files(table) ? faces : 0;
}

BOOL WINAPI RemoveFontResourceA(LPCSTR lpFileName) {
    if (!lpFileName) return FALSE;
    std::string full = locate_font(lpFileName);
    auto table = session_files();
    auto it =
        std::find_if(table.begin(), table.end(), [&](const std::string& f) { return equal_nocase(f, full); });
    if (it == table.end()) return FALSE;
    table.erase(it);
    if (!save_session_files(table)) return FALSE;
    // The faces go unless the machine loads the file at start-up anyway.
    load_session();
    if (std::erase_if(session().faces,
                      [&](const Face& f) { return !f.at_start && equal_nocase(f.file, full); }))
        changed();
    return TRUE;
}

BOOL WINAPI CreateScalableFontResourceA(DWORD fdwHidden, LPCSTR lpszFont, LPCSTR lpszFile, LPCSTR lpszPath) {
    if (!lpszFont || !lpszFile) return FALSE;
    std::string fot = full_path(lpszFont);
    std::string ttf =
        lpszPath && *lpszPath
            ? std::string(lpszPath) + (std::string(lpszPath).back() == '\\' ? "" : "\\") + lpszFile
            : full_path(lpszFile);
    if (fot.empty() || file_exists(fot)) {
        SetLastError(ERROR_FILE_EXISTS);
        return FALSE;
    }
    if (!file_exists(full_path(ttf))) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return FALSE;
    }
    if (is_readonly(fot) || fails_write(fot)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    // The resource file records the TrueType file it stands for, with the path when one was given.
    std::string text = "WIN95SIM FOT\r\nfile=" + std::string(lpszPath && *lpszPath ? lpszFile : ttf.c_str()) +
                       "\r\nhidden=" + std::to_string(fdwHidden) + "\r\n";
    return write_host_file(host_path(fot), text) ? TRUE : FALSE;
}
