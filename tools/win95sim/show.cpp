// `win95sim show DIR`: what a machine holds, as differences from a fresh default machine, so that what a
// program did to it stands out.
#include "tools/win95sim/show.h"

#include "platform/sim/kernel/codepage.h"
#include "platform/sim/machine/machine.h"
#include "platform/sim/shell/progman.h"
#include "platform/sim/sim.h"
#include "platform/sim/machine/textfile.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>

namespace fs = std::filesystem;

namespace {

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> out;
    std::stringstream ss(text);
    for (std::string line; std::getline(ss, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        out.push_back(line);
    }
    return out;
}

// Lines added and removed, each under the [section] it stands in (INI and REGEDIT4 files).
std::string section_diff(const std::string& before, const std::string& after, unsigned codepage) {
    auto keyed = [](const std::string& text) {
        std::set<std::pair<std::string, std::string>> out;
        std::string section;
        for (const auto& l : lines_of(text)) {
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
    for (auto line : lines_of(text)) {
        std::replace(line.begin(), line.end(), '\t', ' ');
        std::printf("  %s\n", line.c_str());
    }
}

} // namespace

int show_machine(const std::string& dir) {
    sim::Settings s;
    std::string error;
    if (!sim::load_settings(dir, s, &error)) {
        std::fprintf(stderr, "win95sim: %s\n", error.c_str());
        return 1;
    }
    std::map<std::string, std::string> defaults;
    for (auto& [rel, content] : sim::default_machine_files(s.codepage))
        defaults[rel] = content;
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
