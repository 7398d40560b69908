// Plays one scenario against the real programs on the machine under Wine.
#pragma once

#include "tools/scenario/scenario_file.h"
#include "tools/windriver/machine.h"

#include <string>
#include <vector>

struct PlayOptions {
    std::string dist;     // the Windows distribution, for @dist
    bool verbose = false; // print each dialog and answer
};

// The reason a scenario can only run on the simulator (a setting of the simulated machine, a program only
// the simulator has), or "" when it runs here.
std::string simulator_only(const std::vector<ScenarioLine>& lines);

// Runs the lines on the machine (reset first); false with "FILE:LINE: what was expected and what was there".
bool play(const std::vector<ScenarioLine>& lines, const std::string& base_dir, WineMachine& machine,
          const PlayOptions& options, std::string* failure);

// The power requests refused so far ("shutdown", "logoff"), by the window that refuses them.
void start_power_window();
std::vector<std::string>& power_requests();
// The keyboard notices of the programs (ToAscii calls), a line each as the simulator records them.
std::string& keyboard_notices();
