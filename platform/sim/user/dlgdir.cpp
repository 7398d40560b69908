// Directory listings in list boxes and combo boxes (LB_DIR, CB_DIR, DlgDirList...): files by name, "[NAME]"
// for directories, "[-c-]" for drives, over the machine's drives.
#include "platform/sim/machine/machine.h"
#include "platform/sim/user/internal.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace sim::user {
namespace {

struct Entry {
    std::string name;
    bool directory = false;
};

bool wild_match(const char* p, const char* s) {
    for (; *p; ++p) {
        if (*p == '*') {
            while (p[1] == '*')
                ++p;
            if (!p[1]) return true;
            for (const char* t = s; *t; ++t)
                if (wild_match(p + 1, t)) return true;
            return wild_match(p + 1, s + std::strlen(s));
        }
        if (*p == '?') {
            if (*s) ++s; // "?" also matches nothing at the end of a name
            continue;
        }
        if (!*s || upper_ascii(std::string(1, *p)) != upper_ascii(std::string(1, *s))) return false;
        ++s;
    }
    return *s == 0;
}

// File name patterns as DOS reads them: "*.*" matches every name, "NAME.*" also a name without extension.
bool name_matches(const std::string& pattern, const std::string& name) {
    if (pattern == "*.*" || pattern == "*") return true;
    if (wild_match(pattern.c_str(), name.c_str())) return true;
    if (name.find('.') == std::string::npos && pattern.size() > 2 &&
        pattern.compare(pattern.size() - 2, 2, ".*") == 0)
        return wild_match(pattern.substr(0, pattern.size() - 2).c_str(), name.c_str());
    return false;
}

// Splits a path pattern into the full directory (with a trailing backslash) and the pattern.
bool split_pattern(const std::string& pattern_path, std::string& dir, std::string& pattern) {
    std::string s = pattern_path.empty() ? "*.*" : pattern_path;
    std::size_t cut = s.find_last_of("\\:");
    std::string dir_part = cut == std::string::npos ? "" : s.substr(0, cut + 1);
    pattern = cut == std::string::npos ? s : s.substr(cut + 1);
    if (pattern.empty()) pattern = "*.*";
    dir = full_path(dir_part.empty() ? "." : dir_part);
    if (dir.empty()) return false;
    if (dir.back() != '\\') dir += '\\';
    return true;
}

bool list_folder(const std::string& dir, std::vector<Entry>& out) {
    std::error_code ec;
    std::string host = host_path(dir);
    if (host.empty() || !fs::is_directory(host, ec)) return false;
    for (const auto& e : fs::directory_iterator(host, ec)) {
        std::error_code ec2;
        out.push_back(Entry{e.path().filename().string(), e.is_directory(ec2)});
    }
    if (dir.size() > 3) out.push_back(Entry{"..", true}); // every directory but the root lists its parent
    return !ec;
}

// Files first, then directories, then drives, each group in name order.
int group_of(const std::string& s) {
    if (s.size() >= 2 && s[0] == '[' && s[1] == '-') return 2;
    return s[0] == '[' ? 1 : 0;
}

int file_position(const Window& w, const std::string& s) {
    const auto& items = w.control.items;
    int g = group_of(s);
    for (std::size_t i = 0; i < items.size(); ++i) {
        int gi = group_of(items[i].text);
        if (gi > g || (gi == g && compare_nocase(items[i].text, s) > 0)) return static_cast<int>(i);
    }
    return static_cast<int>(items.size());
}

int insert_entry(HWND hwnd, const std::string& text) {
    Window* w = find(hwnd);
    if (!w) return -1;
    int at = file_position(*w, text);
    return static_cast<int>(send(hwnd, class_is(*w, "COMBOBOX") ? CB_INSERTSTRING : LB_INSERTSTRING,
                                 static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(text.c_str())));
}

bool file_wanted(UINT attributes, const std::string& full) {
    if (!(attributes & DDL_EXCLUSIVE)) return true;
    UINT wanted = attributes & (DDL_READONLY | DDL_HIDDEN | DDL_SYSTEM | DDL_ARCHIVE);
    UINT has = is_readonly(full) ? DDL_READONLY : 0;
    return wanted != 0 && wanted == has;
}

std::string current_dir_shown() {
    std::string cd = machine().current_dir;
    if (cd.size() > 3 && cd.back() == '\\') cd.pop_back();
    std::string lower;
    for (char c : cd)
        lower += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    return lower;
}

bool change_dir(const std::string& path) {
    std::string full = full_path(path);
    if (full.empty()) return false;
    std::error_code ec;
    if (!fs::is_directory(host_path(full), ec)) return false;
    if (full.back() != '\\') full += '\\';
    machine().current_dir = full;
    return true;
}

void copy_bounded(char* out, std::size_t max, const std::string& s) {
    if (!out || max == 0) return;
    std::size_t n = std::min(s.size(), max - 1);
    std::memcpy(out, s.data(), n);
    out[n] = 0;
}

// Moves to the directory that PATTERN_PATH names and leaves the pattern in PATTERN_PATH. False when the
// directory does not exist.
bool enter_pattern_directory(std::string& pattern_path) {
    if (pattern_path.empty() || pattern_path == ".") pattern_path = "*.*";
    if (change_dir(pattern_path)) {
        pattern_path = "*.*";
        return true;
    }
    std::size_t cut = pattern_path.find_last_of("\\:");
    if (cut == std::string::npos) return true;
    std::string dir = pattern_path.substr(0, cut + 1);
    if (!change_dir(dir)) return false;
    pattern_path = pattern_path.substr(cut + 1);
    if (pattern_path.empty()) pattern_path = "*.*";
    return true;
}

int fill_listing(HWND dialog, HWND list, const std::string& pattern_path, UINT type, bool combo) {
    if (!list) return TRUE;
    UINT dir_msg = combo ? CB_DIR : LB_DIR;
    send(list, combo ? CB_RESETCONTENT : LB_RESETCONTENT, 0, 0);
    (void)dialog;
    if (type & DDL_DIRECTORY) {
        if (!(type & DDL_EXCLUSIVE)) {
            if (send(list, dir_msg, type & ~(DDL_DIRECTORY | DDL_DRIVES),
                     reinterpret_cast<LPARAM>(pattern_path.c_str())) == LB_ERR)
                return FALSE;
            if (send(list, dir_msg, (type & (DDL_DIRECTORY | DDL_DRIVES)) | DDL_EXCLUSIVE,
                     reinterpret_cast<LPARAM>("*.*")) == LB_ERR)
                return FALSE;
        } else if (send(list, dir_msg, type, reinterpret_cast<LPARAM>("*.*")) == LB_ERR) {
            return FALSE;
        }
    } else if (send(list, dir_msg, type, reinterpret_cast<LPARAM>(pattern_path.c_str())) == LB_ERR) {
        return FALSE;
    }
    return TRUE;
}

int dir_list(HWND dialog, LPSTR path_spec, int list_id, int static_id, UINT type, bool combo) {
    std::string pattern_path = path_spec ? path_spec : "";
    if (!enter_pattern_directory(pattern_path)) return FALSE;
    HWND list = list_id ? GetDlgItem(dialog, list_id) : nullptr;
    int ok = fill_listing(dialog, list, pattern_path, type, combo);
    pattern_path = upper_ascii(pattern_path);
    if (static_id) SetDlgItemTextA(dialog, static_id, current_dir_shown().c_str());
    // The caller's buffer gets the pattern alone; it is never longer than what the caller gave.
    if (path_spec) copy_bounded(path_spec, std::strlen(path_spec) + 1, pattern_path);
    return ok;
}

BOOL dir_select(HWND dialog, LPSTR path, int max, int id, bool combo) {
    HWND list = GetDlgItem(dialog, id);
    if (!list) return FALSE;
    LRESULT i = send(list, combo ? CB_GETCURSEL : LB_GETCURSEL, 0, 0);
    if (i < 0) return FALSE;
    LRESULT len = send(list, combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
    if (len < 0) return FALSE;
    std::string text(static_cast<std::size_t>(len) + 1, '\0');
    send(list, combo ? CB_GETLBTEXT : LB_GETTEXT, static_cast<WPARAM>(i),
         reinterpret_cast<LPARAM>(text.data()));
    text.resize(std::strlen(text.c_str()));
    BOOL is_dir = FALSE;
    if (group_of(text) == 2 && text.size() >= 5) {
        text = text.substr(2, 1) + ":";
        is_dir = TRUE;
    } else if (group_of(text) == 1 && text.size() >= 2) {
        text = text.substr(1, text.size() - 2) + "\\";
        is_dir = TRUE;
    }
    copy_bounded(path, max > 0 ? static_cast<std::size_t>(max) : 0, text);
    return is_dir;
}

} // namespace

int add_dir_listing(HWND hwnd, UINT attributes, const char* pattern_path, bool combo) {
    (void)combo;
    int last = 0;
    if (attributes != (DDL_DRIVES | DDL_EXCLUSIVE)) {
        std::string dir, pattern;
        if (!split_pattern(pattern_path ? pattern_path : "", dir, pattern)) return LB_ERR;
        std::vector<Entry> entries;
        if (!list_folder(dir, entries)) return LB_ERR;
        for (const Entry& e : entries) {
            if (!name_matches(pattern, e.name)) continue;
            if (e.directory && !(attributes & DDL_DIRECTORY)) continue;
            if (!e.directory && !file_wanted(attributes, dir + e.name)) continue;
            int at = insert_entry(hwnd, e.directory ? "[" + e.name + "]" : e.name);
            if (at < 0) return at;
            last = at;
        }
    }
    if (attributes & DDL_DRIVES) {
        for (const auto& [letter, drive] : machine().settings.drives) {
            char lower = static_cast<char>(letter >= 'A' && letter <= 'Z' ? letter - 'A' + 'a' : letter);
            int at = insert_entry(hwnd, std::string("[-") + lower + "-]");
            if (at < 0) return at;
            last = at;
        }
    }
    return last;
}

} // namespace sim::user

using namespace sim::user;

int WINAPI DlgDirListA(HWND dialog, LPSTR path_spec, int list_id, int static_id, UINT type) {
    return dir_list(dialog, path_spec, list_id, static_id, type, false);
}

int WINAPI DlgDirListComboBoxA(HWND dialog, LPSTR path_spec, int combo_id, int static_id, UINT type) {
    return dir_list(dialog, path_spec, combo_id, static_id, type, true);
}

BOOL WINAPI DlgDirSelectExA(HWND dialog, LPSTR path, int max, int list_id) {
    return dir_select(dialog, path, max, list_id, false);
}

BOOL WINAPI DlgDirSelectComboBoxExA(HWND dialog, LPSTR path, int max, int combo_id) {
    return dir_select(dialog, path, max, combo_id, true);
}
