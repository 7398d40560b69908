// `win95sim show DIR`: what a machine holds, as differences from a fresh default machine, so that what a
// program did to it stands out.
#include "tools/win95sim/show.h"

#include "platform/sim/kernel/codepage.h"
#include "platform/sim/machine/machine.h"
#include "platform/sim/shell/progman.h"
#include "platform/sim/sim.h"
#include "platform/sim/machine/textfile.h"
#include "tools/scenario/scenario_file.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>

namespace fs = std::filesystem;

namespace {

// Lines added and removed, each under the [section] it stands in (INI and REGEDIT4 files).
std::string section_diff(const std::string& before, const std::string& after, unsigned codepage) {
    auto keyed = [](const std::string& text) {
        std::set<std::pair<std::string, std::string>> out;
        std::string section;
        for (const auto& l : text_lines(text)) {
            if (!l.empty() && l[0] == '[')
                section = l;
            else if (!l.empty())
                out.insert({section, l});
        }
        return out;
    };
    auto a = keyed(before), b = keyed(after);
    std::map<std::string, std::string> by_section;
    for (const auto& e : a)
        if (!b.count(e)) by_section[e.first] += "      - " + sim::ansi_to_utf8(e.second, codepage) + "\n";
    for (const auto& e : b)
        if (!a.count(e)) by_section[e.first] += "      + " + sim::ansi_to_utf8(e.second, codepage) + "\n";
    std::string out;
    for (const auto& [section, text] : by_section)
        out += "    " + (section.empty() ? "(top)" : section) + "\n" + text;
    return out;
}

// Each folder of each drive with the number of files it holds.
void show_drives(const sim::Settings& s) {
    for (const auto& [letter, d] : s.drives) {
        std::printf("\nDrive %c: (%s)\n", letter, d.folder.c_str());
        std::error_code ec;
        std::map<std::string, int> folders;
        folders[""] = 0;
        for (auto it = fs::recursive_directory_iterator(d.folder, ec);
             !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
            fs::path rel = fs::relative(it->path(), d.folder, ec);
            std::string folder = (it->is_directory(ec) ? rel : rel.parent_path()).string();
            std::replace(folder.begin(), folder.end(), '/', '\\');
            folders[folder] += it->is_directory(ec) ? 0 : 1;
        }
        for (const auto& [folder, count] : folders)
            std::printf("  %c:\\%-48s %d file%s\n", letter, sim::ansi_to_utf8(folder, s.codepage).c_str(),
                        count, count == 1 ? "" : "s");
    }
}

void show_files(const sim::Settings& s, const std::map<std::string, std::string>& defaults,
                const std::string& dir) {
    std::printf("\nFiles (new or changed since the machine was made):\n");
    int shown = 0;
    for (const auto& [letter, d] : s.drives) {
        std::error_code ec;
        std::vector<fs::path> files;
        for (auto it = fs::recursive_directory_iterator(d.folder, ec);
             !ec && it != fs::recursive_directory_iterator(); it.increment(ec))
            if (it->is_regular_file(ec)) files.push_back(it->path());
        std::sort(files.begin(), files.end());
        for (const auto& f : files) {
            std::string rel = fs::relative(f, dir, ec).generic_string();
            auto def = defaults.find(rel);
            std::string content;
            sim::read_host_file(f.string(), content);
            if (def != defaults.end() && def->second == content) continue;
            std::string win = std::string(1, letter) + ":\\" + fs::relative(f, d.folder, ec).string();
            std::replace(win.begin(), win.end(), '/', '\\');
            std::printf("  %-52s %10zu bytes%s\n", sim::ansi_to_utf8(win, s.codepage).c_str(), content.size(),
                        def == defaults.end() ? "" : "  (changed)");
            ++shown;
            std::string ext = sim::upper_ascii(f.extension().string());
            if (def != defaults.end() && (ext == ".INI" || ext == ".INF"))
                std::printf("%s", section_diff(def->second, content, s.codepage).c_str());
        }
    }
    if (!shown) std::printf("  none\n");
}

void show_registry(const std::map<std::string, std::string>& defaults, const std::string& dir,
                   unsigned codepage) {
    std::string reg;
    sim::read_host_file((fs::path(dir) / "registry.reg").string(), reg);
    std::string diff = section_diff(defaults.at("registry.reg"), reg, codepage);
    std::printf("\nRegistry changes:\n%s", diff.empty() ? "  none\n" : diff.c_str());
}

void show_log(const std::string& dir, const char* file, const char* title) {
    std::string text;
    std::printf("\n%s:\n", title);
    if (!sim::read_host_file((fs::path(dir) / file).string(), text) || text.empty()) {
        std::printf("  none\n");
        return;
    }
    for (auto line : text_lines(text)) {
        std::replace(line.begin(), line.end(), '\t', ' ');
        std::printf("  %s\n", line.c_str());
    }
}

// ---- The short summary ---------------------------------------------------------------------------------

// The entries of an INI or REGEDIT4 text: (section, key) -> value, the key being the text before the first
// '=' (registry value names keep their quotes).
std::map<std::pair<std::string, std::string>, std::string> entries_of(const std::string& text) {
    std::map<std::pair<std::string, std::string>, std::string> out;
    std::string section;
    for (const auto& l : text_lines(text)) {
        if (l.empty() || l[0] == ';') continue;
        if (l[0] == '[') {
            section = l;
            continue;
        }
        size_t eq = l.find('=');
        out.emplace(std::make_pair(section, l.substr(0, eq)),
                    eq == std::string::npos ? "" : l.substr(eq + 1));
    }
    return out;
}

// HEAD and ITEMS two blanks apart, in lines of at most 108 columns; lines after the first start with INDENT.
std::string wrapped(std::string line, const std::vector<std::string>& items, const std::string& indent) {
    constexpr size_t kWidth = 108;
    std::string out;
    for (const auto& item : items) {
        if (line.size() + 2 + item.size() > kWidth && line.size() > indent.size()) {
            out += line + "\n";
            line = indent + item;
        } else {
            line += "  " + item;
        }
    }
    return out + line + "\n";
}

// Per section, the keys that were added or changed (with the new value) and removed (-KEY), wrapped.
std::string changed_entries(const std::string& before, const std::string& after, unsigned codepage) {
    auto a = entries_of(before), b = entries_of(after);
    std::map<std::string, std::vector<std::string>> by_section;
    for (const auto& [key, value] : b) {
        auto old = a.find(key);
        if (old == a.end() || old->second != value)
            by_section[key.first].push_back(sim::ansi_to_utf8(key.second + "=" + value, codepage));
    }
    for (const auto& [key, value] : a)
        if (!b.count(key)) by_section[key.first].push_back("-" + sim::ansi_to_utf8(key.second, codepage));
    std::string out;
    for (const auto& [section, entries] : by_section)
        out += wrapped("      " + sim::ansi_to_utf8(section, codepage), entries, "        ");
    return out;
}

// A new settings file in short: its sections in file order, each with the number of its entries, wrapped.
std::string sections_of(const std::string& win, const std::string& content) {
    std::vector<std::pair<std::string, int>> sections;
    for (const auto& l : text_lines(content)) {
        if (!l.empty() && l[0] == '[')
            sections.push_back({l, 0});
        else if (!l.empty() && l[0] != ';' && !sections.empty())
            ++sections.back().second;
    }
    std::vector<std::string> items;
    for (const auto& [name, count] : sections)
        items.push_back(name + " " + std::to_string(count));
    return wrapped("    " + win + ":", items, "      ");
}

// INI files outside the distribution disks and the setup's own directory.
bool is_profile(const std::string& win) {
    std::string upper = sim::upper_ascii(win);
    bool settings = upper.ends_with(".INI") || upper.ends_with(".INF");
    return settings && upper.find("\\TNSETUP.TMP\\") == std::string::npos && upper.rfind("A:", 0) != 0;
}

// The code page Windows starts with next: [boot] wincodepage of SYSTEM.INI when it names one the
// simulator knows, else the machine's. Texts a setup wrote for that code page read right in it.
unsigned next_start_codepage(const sim::Settings& s) {
    auto c = s.drives.find('C');
    if (c == s.drives.end()) return s.codepage;
    std::string content, section;
    sim::read_host_file((fs::path(c->second.folder) / "WINDOWS" / "SYSTEM.INI").string(), content);
    for (const std::string& line : text_lines(content)) {
        if (!line.empty() && line[0] == '[')
            section = sim::upper_ascii(line);
        else if (section == "[BOOT]" && sim::upper_ascii(line).rfind("WINCODEPAGE=", 0) == 0)
            return line.substr(12) == "1251" ? 1251 : line.substr(12) == "1252" ? 1252 : s.codepage;
    }
    return s.codepage;
}

void summarise_files(const sim::Settings& s, const std::map<std::string, std::string>& defaults,
                     const std::string& dir, unsigned codepage) {
    std::map<std::string, std::pair<int, int>> by_folder; // new, changed
    std::string ini_changes, new_profiles;
    for (const auto& [letter, d] : s.drives) {
        std::error_code ec;
        for (auto it = fs::recursive_directory_iterator(d.folder, ec);
             !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
            if (!it->is_regular_file(ec)) continue;
            std::string content, rel = fs::relative(it->path(), dir, ec).generic_string();
            sim::read_host_file(it->path().string(), content);
            auto def = defaults.find(rel);
            if (def != defaults.end() && def->second == content) continue;
            std::string win =
                std::string(1, letter) + ":\\" + fs::relative(it->path(), d.folder, ec).string();
            std::replace(win.begin(), win.end(), '/', '\\');
            std::string folder = win.substr(0, win.rfind('\\') + 1);
            auto& counts = by_folder[folder];
            ++(def == defaults.end() ? counts.first : counts.second);
            if (def != defaults.end())
                ini_changes += "    " + win + "\n" + changed_entries(def->second, content, codepage);
            else if (is_profile(win))
                new_profiles += sections_of(win, content);
        }
    }
    std::printf("  Files, new and changed:\n");
    for (const auto& [folder, counts] : by_folder)
        std::printf("    %-40s %3d new, %d changed\n", sim::ansi_to_utf8(folder, codepage).c_str(),
                    counts.first, counts.second);
    std::printf("  Entries of the files that were there before:\n%s",
                ini_changes.empty() ? "    none\n" : ini_changes.c_str());
    if (!new_profiles.empty())
        std::printf("  New settings files (sections, entries):\n%s", new_profiles.c_str());
}

void summarise_progman(const std::string& dir) {
    sim::Progman pm, fresh = sim::default_progman();
    std::string error;
    if (!sim::load_progman(dir, pm, &error)) return;
    std::printf("  Program Manager, new items:\n");
    int shown = 0;
    for (const auto& g : pm.groups) {
        const sim::ProgmanGroup* before = sim::progman_group(fresh, g.name);
        for (const auto& item : g.items) {
            bool known =
                before && std::any_of(before->items.begin(), before->items.end(),
                                      [&](const sim::ProgmanItem& i) { return i.name == item.name; });
            if (known) continue;
            std::printf("    [%s] %s = %s\n", g.name.c_str(), item.name.c_str(), item.command.c_str());
            ++shown;
        }
    }
    if (!shown) std::printf("    none\n");
}

// The machine's settings and the files of a fresh machine, to compare with; false after saying why not.
bool load_machine(const std::string& dir, sim::Settings& s, std::map<std::string, std::string>& defaults) {
    std::string error;
    if (!sim::load_settings(dir, s, &error)) {
        std::fprintf(stderr, "win95sim: %s\n", error.c_str());
        return false;
    }
    for (auto& [rel, content] : sim::default_machine_files(s.codepage))
        defaults[rel] = content;
    return true;
}

} // namespace

int summarise_machine(const std::string& dir) {
    sim::Settings s;
    std::map<std::string, std::string> defaults;
    if (!load_machine(dir, s, defaults)) return 1;
    std::printf("What changed on the machine in %s:\n", dir.c_str());
    unsigned codepage = next_start_codepage(s);
    summarise_files(s, defaults, dir, codepage);
    std::string reg;
    sim::read_host_file((fs::path(dir) / "registry.reg").string(), reg);
    std::string values = changed_entries(defaults.at("registry.reg"), reg, codepage);
    std::printf("  Registry values:\n%s", values.empty() ? "    none\n" : values.c_str());
    summarise_progman(dir);
    return 0;
}

int show_machine(const std::string& dir) {
    sim::Settings s;
    std::map<std::string, std::string> defaults;
    if (!load_machine(dir, s, defaults)) return 1;
    std::string error;
    std::printf("Machine %s\n%s", dir.c_str(), sim::describe_settings(s).c_str());
    show_drives(s);
    show_files(s, defaults, dir);
    show_registry(defaults, dir, s.codepage);
    sim::Progman pm;
    if (sim::load_progman(dir, pm, &error))
        std::printf("\nProgram Manager groups:\n%s", sim::describe_progman(pm).c_str());
    else
        std::printf("\nProgram Manager: %s\n", error.c_str());
    show_log(dir, "exec.log", "Program starts (command line, current directory)");
    show_log(dir, "power.log", "Power requests");
    show_log(dir, "posts.log", "Messages posted to running programs");
    show_log(dir, "keyboard.log", "Keyboard notices");
    show_log(dir, "fonts.txt", "Font resources added");
    return 0;
}
