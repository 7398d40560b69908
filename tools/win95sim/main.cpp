// win95sim: makes simulated Windows 95 machines and shows what they hold.
#include "platform/sim/machine.h"
#include "platform/sim/sim.h"
#include "platform/sim/textfile.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

int usage() {
    std::fprintf(stderr, "usage:\n"
                         "  win95sim new DIR     make a default Windows 95 machine in DIR\n"
                         "  win95sim show DIR    show what the machine in DIR holds\n");
    return 2;
}

int cmd_new(const std::string& dir) {
    std::string error;
    if (!sim::create_default_machine(dir, &error)) {
        std::fprintf(stderr, "win95sim: %s\n", error.c_str());
        return 1;
    }
    std::printf("A new Windows 95 machine is in %s\n", dir.c_str());
    return 0;
}

void show_tree(const fs::path& folder, const std::string& prefix) {
    std::vector<fs::directory_entry> entries;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(folder, ec)) entries.push_back(e);
    std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) { return a.path() < b.path(); });
    for (const auto& e : entries) {
        std::string name = e.path().filename().string();
        if (e.is_directory(ec)) {
            std::printf("  %s%s\\\n", prefix.c_str(), name.c_str());
            show_tree(e.path(), prefix + name + "\\");
        } else {
            std::printf("  %s%-40s %10ju bytes\n", prefix.c_str(), name.c_str(),
                        static_cast<std::uintmax_t>(e.file_size(ec)));
        }
    }
}

int cmd_show(const std::string& dir) {
    sim::Settings s;
    std::string error;
    if (!sim::load_settings(dir, s, &error)) {
        std::fprintf(stderr, "win95sim: %s\n", error.c_str());
        return 1;
    }
    std::printf("Machine %s\n%s", dir.c_str(), sim::describe_settings(s).c_str());
    for (const auto& [letter, d] : s.drives) {
        std::printf("\nDrive %c:\n", letter);
        show_tree(d.folder, std::string(1, letter) + ":\\");
    }
    std::string reg;
    if (sim::read_host_file((fs::path(dir) / "registry.reg").string(), reg)) {
        reg.erase(std::remove(reg.begin(), reg.end(), '\r'), reg.end());
        std::printf("\nRegistry:\n%s", reg.c_str());
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) return usage();
    std::string cmd = argv[1];
    if (cmd == "new" && argc == 3) return cmd_new(argv[2]);
    if (cmd == "show" && argc == 3) return cmd_show(argv[2]);
    return usage();
}
