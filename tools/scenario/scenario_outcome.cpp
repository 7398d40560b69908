#include "tools/scenario/scenario_outcome.h"

#include "common/words.h"

#include <algorithm>
#include <cstring>
#include <map>

namespace {

using Machine = ScenarioMachine;

bool same_nocase(const std::string& a, const std::string& b) {
    return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

std::string without_final_backslash(std::string s) {
    if (s.size() > 1 && s.back() == '\\') s.pop_back();
    return s;
}

HKEY root_key(const std::string& name) {
    std::string n = name;
    for (char& c : n)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (n == "HKEY_LOCAL_MACHINE" || n == "HKLM") return HKEY_LOCAL_MACHINE;
    if (n == "HKEY_CURRENT_CONFIG" || n == "HKCC") return HKEY_CURRENT_CONFIG;
    if (n == "HKEY_CURRENT_USER" || n == "HKCU") return HKEY_CURRENT_USER;
    if (n == "HKEY_CLASSES_ROOT" || n == "HKCR") return HKEY_CLASSES_ROOT;
    if (n == "HKEY_USERS" || n == "HKU") return HKEY_USERS;
    return nullptr;
}

// "PATH [section] rest" of an ini or expect-ini line.
struct IniLine {
    std::string file, section, rest;
};

std::string split_ini(const ScenarioLine& l, IniLine& out) {
    std::string error;
    return split_ini_line(l, out.file, out.section, out.rest, &error) ? "" : error;
}

std::string do_ini(const ScenarioLine& l, Machine& m) {
    IniLine ini;
    if (std::string why = split_ini(l, ini); !why.empty()) return why;
    size_t eq = ini.rest.find('=');
    if (eq == std::string::npos) return "ini: the entry is written key=value";
    if (!WritePrivateProfileStringA(ini.section.c_str(), trim_blanks(ini.rest.substr(0, eq)).c_str(),
                                    trim_blanks(ini.rest.substr(eq + 1)).c_str(),
                                    m.profile_path(ini.file).c_str()))
        return "ini: cannot write " + ini.file;
    return "";
}

std::string do_reg(const ScenarioLine& l, Machine& m) {
    const std::string& key = l.args[0];
    std::string entry = trim_blanks(l.rest.substr(l.rest.find(key) + key.size()));
    if (entry.size() > 1 && (entry[0] == '"' || entry[0] == '\'') && entry.back() == entry[0])
        entry = entry.substr(1, entry.size() - 2);
    size_t slash = key.find('\\'), eq = entry.find('=');
    HKEY root = root_key(key.substr(0, slash));
    if (!root || slash == std::string::npos || eq == std::string::npos)
        return "reg: usage: reg ROOT\\KEY name=value (or name=dword:N)";
    std::string subkey = key.substr(slash + 1);
    HKEY h;
    if (RegCreateKeyExA(root, subkey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr) !=
        ERROR_SUCCESS)
        return "reg: cannot create " + key;
    std::string name = entry.substr(0, eq), value = entry.substr(eq + 1);
    long long n;
    LONG r;
    if (value.rfind("dword:", 0) == 0 && parse_number("0x" + value.substr(6), n)) {
        DWORD d = static_cast<DWORD>(n);
        r = RegSetValueExA(h, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&d), sizeof d);
    } else {
        value = m.local(value);
        r = RegSetValueExA(h, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                           static_cast<DWORD>(value.size() + 1));
    }
    RegCloseKey(h);
    if (r != ERROR_SUCCESS) return "reg: cannot set " + name + " in " + key;
    m.value_set(root, subkey, name);
    return "";
}

std::string expect_file(const ScenarioLine& l, Machine& m) {
    const std::string& path = l.args[0];
    const std::string& what = l.args[1];
    bool exists = m.machine_file_exists(path);
    if (what == "exists" && !exists) return "expected the file " + path + ", but it does not exist";
    if (what == "missing" && exists) return "expected no file " + path + ", but it exists";
    if (what != "size" && what != "same-as") return "";
    std::string bytes;
    if (!exists || !m.read_machine_file(path, bytes))
        return "expected the file " + path + ", but it does not exist";
    if (what == "size") {
        long long n;
        if (!parse_number(l.args[2], n)) return "expect-file: the size is a number";
        if (static_cast<long long>(bytes.size()) != n)
            return "expected " + path + " to have " + l.args[2] + " bytes, but it has " +
                   std::to_string(bytes.size());
        return "";
    }
    std::string other;
    if (!m.read_host_file(l.args[2], other)) return "expect-file: cannot read " + l.args[2];
    return m.same_content(bytes, other) ? ""
                                        : "expected " + path + " to equal " + l.args[2] + ", but they differ";
}

std::string expect_ini(const ScenarioLine& l, Machine& m) {
    IniLine ini;
    if (std::string why = split_ini(l, ini); !why.empty()) return why;
    std::string err;
    std::vector<bool> quoted;
    auto words = common::split_words(ini.rest, &err, &quoted);
    if (words.size() != 2) return "usage: expect-ini PATH [section] key \"value\"|missing";
    const char* absent = "\x01<missing>\x01";
    char value[1024];
    GetPrivateProfileStringA(ini.section.c_str(), words[0].c_str(), absent, value, sizeof value,
                             m.profile_path(ini.file).c_str());
    bool missing = std::string(value) == absent;
    std::string entry = "[" + ini.section + "] " + words[0];
    if (words[1] == "missing" && !quoted[1])
        return missing ? "" : "expected no " + entry + " in " + ini.file + ", but it is \"" + value + "\"";
    std::string want = m.local(words[1]);
    if (missing) return "expected " + entry + "=\"" + want + "\" in " + ini.file + ", but it is missing";
    if (want != value)
        return "expected " + entry + "=\"" + want + "\" in " + ini.file + ", but it is \"" + value + "\"";
    return "";
}

// A value's data as a scenario writes it: DWORD values as decimal text.
bool registry_value(HKEY root, const std::string& key, const std::string& name, std::string& out) {
    HKEY h;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
    BYTE data[2048];
    DWORD type = 0, size = sizeof data - 1;
    bool present = RegQueryValueExA(h, name.c_str(), nullptr, &type, data, &size) == ERROR_SUCCESS;
    RegCloseKey(h);
    if (!present) return false;
    data[std::min<DWORD>(size, sizeof data - 1)] = 0;
    if (type == REG_DWORD && size == 4) {
        DWORD d;
        std::memcpy(&d, data, 4);
        out = std::to_string(d);
    } else {
        out = reinterpret_cast<char*>(data);
    }
    return true;
}

std::string expect_reg(const ScenarioLine& l, Machine& m) {
    const std::string& key = l.args[0];
    size_t slash = key.find('\\');
    HKEY root = root_key(key.substr(0, slash));
    if (!root || slash == std::string::npos)
        return "expect-reg: the key starts with a root such as HKEY_LOCAL_MACHINE";
    std::string have, want = m.local(l.args[2]);
    bool present = registry_value(root, key.substr(slash + 1), l.args[1], have);
    if (l.keyword(2, "missing"))
        return present ? "expected no value " + l.args[1] + " in " + key + ", but it is \"" + have + "\""
                       : "";
    if (!present) return "expected " + l.args[1] + "=\"" + want + "\" in " + key + ", but it is missing";
    if (have != want)
        return "expected " + l.args[1] + "=\"" + want + "\" in " + key + ", but it is \"" + have + "\"";
    return "";
}

std::string expect_log(const ScenarioLine& l, Machine& m) {
    bool missing = l.keyword(2, "missing");
    std::vector<std::string> wanted;
    for (std::size_t i = 1; i + (missing ? 1 : 0) < l.args.size(); ++i)
        wanted.push_back(m.local_log_line(l.args[i]));
    std::string text;
    bool found = m.read_machine_file(l.args[0], text);
    return check_log_lines(l.args[0], found, text, wanted, missing);
}

std::string expect_exec(const ScenarioLine& l, Machine& m) {
    std::string text = m.exec_log();
    if (l.args.size() == 1 && l.keyword(0, "none"))
        return text.empty() ? "" : "expected no program start, but the starts were:\n" + text;
    std::string want = m.local(l.args[0]);
    for (const auto& line : text_lines(text)) {
        size_t tab = line.find('\t');
        if (line.substr(0, tab) != want) continue;
        if (l.args.size() == 1) return "";
        std::string dir = tab == std::string::npos ? "" : line.substr(tab + 1);
        if (same_nocase(without_final_backslash(dir), without_final_backslash(m.local(l.args[2])))) return "";
        return "expected the program start \"" + want + "\" in " + l.args[2] + ", but it ran in " + dir;
    }
    return "expected a program start \"" + want + "\", but the starts were:\n" +
           (text.empty() ? "(none)" : text);
}

std::string expect_power(const ScenarioLine& l, Machine& m) {
    std::string have = m.last_power_request(), want = m.power_as_seen(l.args[0]);
    return have == want ? "" : "expected the power request " + want + ", but it is " + have;
}

std::string expect_keyboard(const ScenarioLine& l, Machine& m) {
    std::string text = m.keyboard_log();
    if (l.keyword(0, "none"))
        return text.empty() ? "" : "expected no keyboard notice, but there were:\n" + text;
    std::string wanted = "ToAscii\t" + l.args[0];
    std::replace(wanted.begin(), wanted.end(), ' ', '\t');
    auto lines = text_lines(text);
    if (std::find(lines.begin(), lines.end(), wanted) != lines.end()) return "";
    return "expected the keyboard notice " + l.args[0] + ", but the notices were:\n" +
           (text.empty() ? "none" : text);
}

// "group" [missing], "group" "item" [missing]
std::string expect_progman(const ScenarioLine& l, Machine& m) {
    bool want_missing = l.keyword(l.args.size() - 1, "missing");
    bool item_named = l.args.size() - (want_missing ? 1 : 0) == 2;
    std::vector<std::string> items;
    bool present = m.progman_group(l.args[0], items) &&
                   (!item_named || std::any_of(items.begin(), items.end(), [&](const std::string& i) {
                       return same_nocase(i, l.args[1]);
                   }));
    if (present == !want_missing) return "";
    std::string what = item_named ? "item \"" + l.args[1] + "\" in \"" + l.args[0] + "\""
                                  : "Program Manager group \"" + l.args[0] + "\"";
    std::string groups = m.describe_progman();
    return std::string(want_missing ? "expected no " : "expected the ") + what +
           (groups.empty() ? "" : ", but the groups are:\n" + groups);
}

using Handler = std::string (*)(const ScenarioLine&, Machine&);

const std::map<std::string, Handler>& handlers() {
    static const std::map<std::string, Handler> h = {
        {"ini", do_ini},
        {"reg", do_reg},
        {"expect-file", expect_file},
        {"expect-ini", expect_ini},
        {"expect-reg", expect_reg},
        {"expect-log", expect_log},
        {"expect-exec", expect_exec},
        {"expect-power", expect_power},
        {"expect-keyboard", expect_keyboard},
        {"expect-progman", expect_progman},
    };
    return h;
}

} // namespace

bool is_outcome_verb(const std::string& verb) {
    return handlers().count(verb) != 0;
}

std::string run_outcome_line(const ScenarioLine& l, ScenarioMachine& machine) {
    return handlers().at(l.verb)(l, machine);
}
