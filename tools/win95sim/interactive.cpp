#include "tools/win95sim/interactive.h"

#include "tools/win95sim/scenario.h"

#include <cstdio>
#include <filesystem>
#include <iostream>

namespace {

const char kHelp[] =
    "Answer the dialog with one line of the scenario language:\n"
    "  click ID-or-\"button text\"      check ID on|off|grey        type ID \"text\"\n"
    "  select ID \"entry\"              pick ID \"entry\" ...         dblclick ID \"entry\"\n"
    "  key enter|escape|alt-f4        open-file \"PATH\"            cancel-file\n"
    "  expect-... lines check the dialog; screenshot FILE.png saves the screen\n"
    "  help shows this; quit (or end of input) stops the programs\n";

} // namespace

int run_interactive(const std::string& machine_dir, const std::string& command_line) {
    ScenarioOptions options;
    options.machine_dir = machine_dir;
    options.forgiving = true;
    options.timeout_seconds = 3600; // a person takes their time
    ScenarioSession session(std::filesystem::current_path().string(), options);
    std::string failure;
    std::vector<ScenarioLine> lines;
    if (!parse_scenario_text("run " + command_line, "(command line)", lines, &failure) ||
        !session.execute(lines[0], &failure)) {
        std::fprintf(stderr, "win95sim: %s\n", failure.c_str());
        return 1;
    }
    std::printf("%s", kHelp);
    int answered = 0;
    for (;;) {
        sim::DialogSnapshot dialog;
        bool ended = false;
        if (!session.next_dialog(dialog, ended, &failure)) {
            std::printf("%s\n", failure.c_str());
            return 1;
        }
        if (ended) break;
        std::printf("\n%s", sim::describe(dialog).c_str());
        for (;;) {
            std::printf("> ");
            std::fflush(stdout);
            std::string text;
            if (!std::getline(std::cin, text) || text == "quit") return 1;
            if (text == "help" || text.empty()) {
                std::printf("%s", kHelp);
                continue;
            }
            std::vector<ScenarioLine> parsed;
            if (!parse_scenario_text(text, "(you)", parsed, &failure) || parsed.empty()) {
                std::printf("%s\n", failure.c_str());
                continue;
            }
            if (!session.execute(parsed[0], &failure)) {
                std::printf("%s\n", failure.c_str());
                continue;
            }
            if (is_answer_verb(parsed[0].verb)) {
                ++answered;
                break;
            }
        }
    }
    std::printf("Every program has ended (%d answers).\n", answered);
    return session.finish(&failure) ? 0 : 1;
}
