// Scenarios: plain text files that prepare a machine, run programs on it, answer their dialogs and check
// the outcome (docs/scenarios.md).
#pragma once

#include "platform/sim/driver/agent.h"
#include "tools/scenario/scenario_file.h"

#include <memory>
#include <string>
#include <vector>

struct ScenarioOptions {
    std::string machine_dir;  // empty: a fresh machine in a temporary folder, removed afterwards
    bool verbose = false;     // print each dialog and answer
    int timeout_seconds = 20; // for a program to ask or end
    bool forgiving =
        false; // an input Windows ignores is reported and the dialog asked again (a person answers)
};

// Runs a scenario; false with "FILE:LINE: what was expected and what was there".
bool run_scenario(const std::string& path, const ScenarioOptions& options, std::string* failure);
bool run_scenario_lines(const std::vector<ScenarioLine>& lines, const std::string& base_dir,
                        const ScenarioOptions& options, std::string* failure);

class Runner;

// A scenario run one line at a time: for `win95sim run` with the interactive or defaults agent, whose
// answers come from a person or a rule rather than a file.
class ScenarioSession {
  public:
    ScenarioSession(std::string base_dir, ScenarioOptions options);
    ~ScenarioSession();
    bool execute(const ScenarioLine& line, std::string* failure);
    bool finish(std::string* failure);
    // The next dialog that waits; ENDED when every program has ended instead.
    bool next_dialog(sim::DialogSnapshot& out, bool& ended, std::string* failure);
    bool answer(const sim::Input& input, std::string* failure);

  private:
    std::unique_ptr<Runner> runner_;
};
