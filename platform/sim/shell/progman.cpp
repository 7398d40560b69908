#include "platform/sim/shell/progman.h"
#include "platform/sim/machine/machine.h"
#include "platform/sim/machine/textfile.h"

#include <algorithm>
#include <filesystem>
#include <sstream>

namespace sim {
namespace {

const char kFile[] = "progman.txt";

std::string path_of(const std::string& dir) {
    return (std::filesystem::path(dir) / kFile).string();
}

std::string trim(const std::string& s) {
    size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return "";
    size_t e = s.find_last_not_of(" \t");
    return s.substr(b, e - b + 1);
}

std::vector<std::string> split(const std::string& s, char sep) {
    std::vector<std::string> out;
    size_t i = 0;
    for (;;) {
        size_t e = s.find(sep, i);
        out.push_back(s.substr(i, e == std::string::npos ? std::string::npos : e - i));
        if (e == std::string::npos) return out;
        i = e + 1;
    }
}

// Arguments are separated by commas; an argument in double quotes may hold commas.
bool split_arguments(const std::string& text, std::vector<std::string>& out) {
    out.clear();
    std::string cur;
    bool quoted = false, any = false;
    for (char c : text) {
        if (c == '"') {
            quoted = !quoted;
            any = true;
        } else if (c == ',' && !quoted) {
            out.push_back(trim(cur));
            cur.clear();
        } else {
            cur += c;
        }
    }
    if (quoted) return false;
    if (!trim(cur).empty() || any || !out.empty()) out.push_back(trim(cur));
    return true;
}

ProgmanGroup* find_group(Progman& pm, const std::string& name) {
    for (auto& g : pm.groups)
        if (equal_nocase(g.name, name)) return &g;
    return nullptr;
}

std::vector<ProgmanItem>::iterator find_item(ProgmanGroup& g, const std::string& name) {
    return std::find_if(g.items.begin(), g.items.end(),
                        [&](const ProgmanItem& i) { return equal_nocase(i.name, name); });
}

// The item name Windows derives from a command line: the file name without its extension.
std::string name_from_command(const std::string& command) {
    std::string first = command.substr(0, command.find(' '));
    size_t slash = first.find_last_of("\\/:");
    std::string file = slash == std::string::npos ? first : first.substr(slash + 1);
    size_t dot = file.rfind('.');
    return dot == std::string::npos ? file : file.substr(0, dot);
}

bool fail(std::string* error, const std::string& text) {
    if (error) *error = text;
    return false;
}

bool create_group(Progman& pm, const std::vector<std::string>& a, std::string* error) {
    if (a.empty() || a.size() > 2 || a[0].empty()) return fail(error, "CreateGroup needs a group name");
    if (!find_group(pm, a[0])) pm.groups.push_back({a[0], {}});
    pm.active = find_group(pm, a[0])->name;
    pm.replace_at = -1;
    return true;
}

bool show_group(Progman& pm, const std::vector<std::string>& a, std::string* error) {
    if (a.empty() || a.size() > 3) return fail(error, "ShowGroup needs a group name and a show command");
    ProgmanGroup* g = find_group(pm, a[0]);
    if (!g) return fail(error, "no group '" + a[0] + "'");
    pm.active = g->name;
    return true;
}

bool add_item(Progman& pm, const std::vector<std::string>& a, std::string* error) {
    if (a.empty() || a[0].empty() || a.size() > 10) return fail(error, "AddItem needs a command line");
    ProgmanGroup* g = find_group(pm, pm.active);
    if (!g) return fail(error, "AddItem without an active group");
    ProgmanItem item;
    item.command = a[0];
    item.name = a.size() > 1 && !a[1].empty() ? a[1] : name_from_command(a[0]);
    if (a.size() > 2) item.icon_path = a[2];
    if (a.size() > 3) item.icon_index = a[3];
    if (a.size() > 6) item.default_dir = a[6];
    if (a.size() > 7) item.hotkey = a[7];
    if (a.size() > 8) item.minimize = a[8] == "1";
    int at = pm.replace_at;
    pm.replace_at = -1;
    if (at >= 0 && at <= static_cast<int>(g->items.size()))
        g->items.insert(g->items.begin() + at, item);
    else
        g->items.push_back(item);
    return true;
}

bool replace_item(Progman& pm, const std::vector<std::string>& a, std::string* error) {
    if (a.size() != 1 || a[0].empty()) return fail(error, "ReplaceItem needs an item name");
    ProgmanGroup* g = find_group(pm, pm.active);
    if (!g) return fail(error, "ReplaceItem without an active group");
    auto it = find_item(*g, a[0]);
    if (it == g->items.end()) return fail(error, "no item '" + a[0] + "' in group '" + g->name + "'");
    pm.replace_at = static_cast<int>(it - g->items.begin());
    g->items.erase(it);
    return true;
}

bool delete_item(Progman& pm, const std::vector<std::string>& a, std::string* error) {
    if (a.size() != 1) return fail(error, "DeleteItem needs an item name");
    ProgmanGroup* g = find_group(pm, pm.active);
    if (!g) return fail(error, "DeleteItem without an active group");
    auto it = find_item(*g, a[0]);
    if (it == g->items.end()) return fail(error, "no item '" + a[0] + "' in group '" + g->name + "'");
    g->items.erase(it);
    return true;
}

bool delete_group(Progman& pm, const std::vector<std::string>& a, std::string* error) {
    if (a.size() != 1) return fail(error, "DeleteGroup needs a group name");
    auto it = std::find_if(pm.groups.begin(), pm.groups.end(),
                           [&](const ProgmanGroup& g) { return equal_nocase(g.name, a[0]); });
    if (it == pm.groups.end()) return fail(error, "no group '" + a[0] + "'");
    if (equal_nocase(pm.active, it->name)) pm.active.clear();
    pm.groups.erase(it);
    return true;
}

bool run_command(Progman& pm, const std::string& name, const std::vector<std::string>& args,
                 std::string* error) {
    struct Command {
        const char* name;
        bool (*run)(Progman&, const std::vector<std::string>&, std::string*);
    };
    static const Command commands[] = {{"CreateGroup", create_group}, {"ShowGroup", show_group},
                                       {"AddItem", add_item},         {"ReplaceItem", replace_item},
                                       {"DeleteItem", delete_item},   {"DeleteGroup", delete_group}};
    for (const auto& c : commands)
        if (equal_nocase(name, c.name)) return c.run(pm, args, error);
    return fail(error, "unknown command '" + name + "'");
}

} // namespace

bool progman_execute(Progman& pm, const std::string& text, std::string* error) {
    size_t i = 0;
    bool any = false;
    while (i < text.size()) {
        if (text[i] == ' ' || text[i] == '\t' || text[i] == '\r' || text[i] == '\n' || text[i] == '\0') {
            ++i;
            continue;
        }
        if (text[i] != '[') return fail(error, "expected '[' in '" + text + "'");
        size_t open = text.find('(', i);
        size_t close = open == std::string::npos ? std::string::npos : text.find(")]", open);
        std::string name;
        std::vector<std::string> args;
        if (close != std::string::npos) {
            name = trim(text.substr(i + 1, open - i - 1));
            if (!split_arguments(text.substr(open + 1, close - open - 1), args))
                return fail(error, "unbalanced quotes in '" + text + "'");
            i = close + 2;
        } else {
            size_t end = text.find(']', i);
            if (end == std::string::npos) return fail(error, "unterminated command in '" + text + "'");
            name = trim(text.substr(i + 1, end - i - 1));
            i = end + 1;
        }
        if (!run_command(pm, name, args, error)) return false;
        any = true;
    }
    return any || fail(error, "no command");
}

const ProgmanGroup* progman_group(const Progman& pm, const std::string& name) {
    for (const auto& g : pm.groups)
        if (equal_nocase(g.name, name)) return &g;
    return nullptr;
}

bool load_progman(const std::string& dir, Progman& out, std::string* error) {
    std::string text;
    Progman pm;
    if (!read_host_file(path_of(dir), text)) {
        out = default_progman();
        return true;
    }
    std::istringstream in(text);
    std::string line;
    int lineno = 0;
    while (std::getline(in, line)) {
        ++lineno;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == ';') continue;
        auto f = split(line, '\t');
        if (f[0] == "group" && f.size() == 2) {
            pm.groups.push_back({f[1], {}});
        } else if (f[0] == "item" && f.size() == 8 && !pm.groups.empty()) {
            pm.groups.back().items.push_back({f[1], f[2], f[3], f[4], f[5], f[6], f[7] == "1"});
        } else if (f[0] == "active" && f.size() == 2) {
            pm.active = f[1];
        } else {
            return fail(error, path_of(dir) + " line " + std::to_string(lineno) +
                                   ": not a group, item or active line");
        }
    }
    out = std::move(pm);
    return true;
}

bool save_progman(const std::string& dir, const Progman& pm, std::string* error) {
    std::ostringstream o;
    o << "; Program Manager groups and items of this machine (fields separated by tabs)\r\n";
    for (const auto& g : pm.groups) {
        o << "group\t" << g.name << "\r\n";
        for (const auto& i : g.items)
            o << "item\t" << i.name << '\t' << i.command << '\t' << i.icon_path << '\t' << i.icon_index
              << '\t' << i.default_dir << '\t' << i.hotkey << '\t' << (i.minimize ? "1" : "0") << "\r\n";
    }
    if (!pm.active.empty()) o << "active\t" << pm.active << "\r\n";
    if (!write_host_file(path_of(dir), o.str())) return fail(error, "cannot write " + path_of(dir));
    return true;
}

std::string describe_progman(const Progman& pm) {
    std::ostringstream o;
    for (const auto& g : pm.groups) {
        o << "  [" << g.name << "]" << (equal_nocase(g.name, pm.active) ? " (active)" : "") << "\n";
        for (const auto& i : g.items)
            o << "    " << i.name << " = " << i.command << "\n";
    }
    return o.str();
}

Progman default_progman() {
    Progman pm;
    pm.groups.push_back({"StartUp", {}});
    pm.groups.push_back({"Accessories",
                         {{"Notepad", "C:\\WINDOWS\\NOTEPAD.EXE", "", "", "", "", false},
                          {"Calculator", "C:\\WINDOWS\\CALC.EXE", "", "", "", "", false}}});
    pm.groups.push_back({"Games", {}});
    return pm;
}

} // namespace sim
