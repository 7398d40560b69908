// windriver.exe: plays scenarios against the real programs under Wine (docs/wine.md).
//   windriver.exe --programs DIR [--registry FILE.reg] [--dist DIR] [--keep] [-v] FILE.scn...
// prints PASS, FAIL (with the reason), SIMULATOR-ONLY (with the line only the simulator can honour) or
// DEPARTURE (a failure the scenario marks as Wine's departure from Windows 95) for each scenario, and ends
// with "N passed, N failed, N simulator-only"; its exit code is 0 only when none failed. --keep leaves the
// machine as the last scenario left it, to look at.
#include "tools/scenario/scenario_file.h"
#include "tools/windriver/machine.h"
#include "tools/windriver/player.h"

#include <windows.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

const char kDepartureMarker[] = "# wine-departure: ";

// The marked reason of a scenario that Wine cannot pass as Windows 95 would, or "".
std::string departure_of(const std::string& file) {
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);)
        if (line.rfind(kDepartureMarker, 0) == 0) return line.substr(sizeof kDepartureMarker - 1);
    return "";
}

std::string folder_of(const std::string& file) {
    size_t slash = file.find_last_of("/\\");
    return slash == std::string::npos ? "." : file.substr(0, slash);
}

int usage() {
    std::fprintf(
        stderr,
        "usage: windriver.exe --programs DIR [--registry FILE.reg] [--dist DIR] [--keep] [-v] FILE.scn...\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    std::string programs, registry;
    bool keep = false;
    PlayOptions options;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--programs" && i + 1 < argc)
            programs = argv[++i];
        else if (a == "--registry" && i + 1 < argc)
            registry = argv[++i];
        else if (a == "--dist" && i + 1 < argc)
            options.dist = argv[++i];
        else if (a == "--keep")
            keep = true;
        else if (a == "-v")
            options.verbose = true;
        else
            files.push_back(a);
    }
    if (programs.empty() || files.empty()) return usage();
    WineMachine machine;
    std::string error;
    if (!machine.start(programs, registry, &error)) {
        std::fprintf(stderr, "windriver: %s\n", error.c_str());
        return 1;
    }
    start_power_window();
    int passed = 0, failed = 0, simulator = 0;
    std::vector<std::string> departures;
    for (const std::string& f : files) {
        std::vector<ScenarioLine> lines;
        std::string failure, only;
        bool ok = parse_scenario(f, lines, &failure);
        if (ok && !(only = simulator_only(lines)).empty()) {
            std::printf("SIMULATOR-ONLY %s\n  %s\n", f.c_str(), only.c_str());
            ++simulator;
        } else if (ok && play(lines, folder_of(f), machine, options, &failure)) {
            std::printf("PASS %s\n", f.c_str());
            ++passed;
        } else if (std::string why = departure_of(f); !why.empty()) {
            std::printf("DEPARTURE %s\n  %s\n  (%s)\n", f.c_str(), why.c_str(), failure.c_str());
            departures.push_back(f + ": " + why);
        } else {
            std::printf("FAIL %s\n  %s\n", f.c_str(), failure.c_str());
            ++failed;
        }
        std::fflush(stdout);
    }
    if (!keep) machine.reset();
    if (!departures.empty()) {
        std::printf("Wine departures from Windows 95, marked in their scenarios:\n");
        for (const auto& d : departures)
            std::printf("  %s\n", d.c_str());
    }
    std::printf("%d passed, %d failed, %d simulator-only\n", passed, failed, simulator);
    return failed == 0 ? 0 : 1;
}
