// The scenario lines that act on the dialog in front, shared by win95sim and windriver.exe so that both
// answer and check a dialog alike: answer lines become user-agent inputs, dialog checks are judged against
// a snapshot of the dialog.
#pragma once

#include "platform/sim/driver/agent.h"
#include "tools/scenario/scenario_file.h"

#include <functional>
#include <string>

// The input of an answer line (click, check, type, select, pick, dblclick, key); false for other verbs.
bool input_of(const ScenarioLine& l, sim::Input& out);

// The checks of the dialog in front: expect-dialog, expect-message, expect-enabled, expect-checked,
// expect-text, expect-items.
bool is_dialog_check(const std::string& verb);
// "" when the check holds, else what was expected and what is there. LOCAL turns an expected text into
// the machine's own (the Windows folder as it is named there).
std::string check_dialog(const ScenarioLine& l, const sim::DialogSnapshot& d,
                         const std::function<std::string(const std::string&)>& local);
