// Scenarios: plain text files that prepare a machine, run programs on it, answer their dialogs and check
// the outcome (docs/scenarios.md).
#pragma once

#include "platform/sim/driver/agent.h"

#include <memory>
#include <string>
#include <vector>

struct ScenarioLine {
    std::string file;
    int line = 0;
    std::string verb;
    std::vector<std::string> args; // words after the verb; quotes removed
    std::string rest;              // the text after the verb, as written
    std::string body;              // the inline content of `file PATH <<WORD`
};

// Reads and checks a scenario; false with "FILE:LINE: what is wrong" for the first malformed line.
bool parse_scenario(const std::string& path, std::vector<ScenarioLine>& out, std::string* error);
bool parse_scenario_text(const std::string& text, const std::string& name, std::vector<ScenarioLine>& out,
                         std::string* error);

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

// The words of one answer line (click, check, type, select, pick, dblclick, key, open-file, cancel-file)
// as inputs for a dialog; used by the scenario runner and the interactive agent.
bool is_answer_verb(const std::string& verb);
