// win95sim: makes simulated Windows 95 machines, runs programs on them with a user agent, runs
// scenarios, and shows what a machine holds.
#include "platform/sim/driver/agent.h"
#include "platform/sim/machine/machine.h"
#include "platform/sim/sim.h"
#include "tools/win95sim/interactive.h"
#include "tools/win95sim/scenario.h"
#include "tools/win95sim/show.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

int usage() {
    std::fprintf(
        stderr,
        "usage:\n"
        "  win95sim new DIR [--codepage 1251]    make a default Windows 95 machine in DIR (code page\n"
        "                                        1252, or 1251 with the Cyrillic screen fonts)\n"
        "  win95sim show [--summary] DIR         show what the machine in DIR holds (in short: what\n"
        "                                        changed since it was made)\n"
        "  win95sim run DIR [--agent interactive|defaults|SCENARIO] [-v] [--on TEMPLATE LINE]...\n"
        "               -- PROGRAM ARGS          run a program of the machine (a Windows path such\n"
        "                                        as A:\\SETUP.EXE); the agent answers its dialogs;\n"
        "                                        with the defaults agent, each dialog made from\n"
        "                                        TEMPLATE first runs the scenario LINE (such as\n"
        "                                        \"screenshot FILE.png\" or \"disk A: FOLDER\")\n"
        "  win95sim scenario [-v] FILE...        run scenarios, each on a fresh machine\n"
        "  win95sim screenshot DIR FILE.png      the machine's screen as a PNG\n");
    return 2;
}

bool has_screen_fonts(const std::string& dir) {
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(fs::path(dir) / "C" / "WINDOWS" / "FONTS", ec))
        if (entry.path().extension() == ".FON") return true;
    return false;
}

int cmd_new(const std::vector<std::string>& args) {
    unsigned codepage = 1252;
    if (args.size() == 3 && args[1] == "--codepage") {
        if (args[2] != "1251" && args[2] != "1252") {
            std::fprintf(stderr, "win95sim: bad code page '%s' (1251 or 1252)\n", args[2].c_str());
            return 2;
        }
        codepage = static_cast<unsigned>(std::stoul(args[2]));
    } else if (args.size() != 1) {
        std::fprintf(stderr, "win95sim: wrong arguments for 'new'\n");
        return usage();
    }
    const std::string& dir = args[0];
    std::string error;
    if (!sim::create_default_machine(dir, &error, codepage)) {
        std::fprintf(stderr, "win95sim: %s\n", error.c_str());
        return 1;
    }
    std::printf("A new Windows 95 machine (code page %u) is in %s\n", codepage, dir.c_str());
    if (!has_screen_fonts(dir))
        std::fprintf(stderr,
                     "win95sim: no screen font files were found (scripts/install-deps.sh installs the "
                     "fonts-wine package); this machine draws text with the built-in font\n");
    return 0;
}

int cmd_scenario(const std::vector<std::string>& files, bool verbose) {
    int passed = 0, failed = 0;
    for (const auto& f : files) {
        std::string failure;
        ScenarioOptions options;
        options.verbose = verbose;
        if (run_scenario(f, options, &failure)) {
            std::printf("PASS %s\n", f.c_str());
            ++passed;
        } else {
            std::printf("FAIL %s\n  %s\n", f.c_str(), failure.c_str());
            ++failed;
        }
        std::fflush(stdout);
    }
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}

ScenarioLine run_line(const std::string& command_line) {
    ScenarioLine l;
    l.file = "(command line)";
    l.line = 0;
    l.verb = "run";
    l.rest = command_line;
    l.args = {command_line};
    return l;
}

// A scenario line that runs whenever a dialog made from a template is shown, before it is answered.
struct DialogHook {
    std::string template_name;
    ScenarioLine line;
};

bool run_hooks(ScenarioSession& session, const std::vector<DialogHook>& hooks,
               const sim::DialogSnapshot& dialog, std::string* failure) {
    for (const auto& hook : hooks)
        if (sim::equal_nocase(hook.template_name, dialog.template_name) &&
            !session.execute(hook.line, failure))
            return false;
    return true;
}

int run_with_defaults(const std::string& dir, const std::string& command_line, bool verbose,
                      const std::vector<DialogHook>& hooks) {
    ScenarioOptions options;
    options.machine_dir = dir;
    options.verbose = verbose;
    ScenarioSession session(fs::current_path().string(), options);
    std::string failure;
    ScenarioLine run = run_line(command_line);
    if (!session.execute(run, &failure)) {
        std::fprintf(stderr, "win95sim: %s\n", failure.c_str());
        return 1;
    }
    sim::DefaultsAgent defaults;
    // A dialog that comes back unchanged however often its default button is pressed (a disk prompt for a
    // disk nobody inserts, a check that fails each time) would hold the run for ever: the agent gives up.
    const int kMostRepeats = 20;
    std::string last;
    int repeats = 0;
    for (;;) {
        sim::DialogSnapshot dialog;
        bool ended = false;
        if (!session.next_dialog(dialog, ended, &failure)) {
            std::fprintf(stderr, "win95sim: %s\n", failure.c_str());
            return 1;
        }
        if (ended) break;
        if (!run_hooks(session, hooks, dialog, &failure)) {
            std::fprintf(stderr, "win95sim: %s\n", failure.c_str());
            return 1;
        }
        std::string shown = sim::describe(dialog);
        repeats = shown == last ? repeats + 1 : 0;
        last = shown;
        sim::Input input = defaults.next(dialog);
        if (repeats >= kMostRepeats) {
            input.kind = sim::InputKind::Fail;
            input.reason = "it came back unchanged " + std::to_string(kMostRepeats) +
                           " times: its default answer leads nowhere";
        }
        std::printf("%s  -> %s\n", sim::describe(dialog).c_str(), sim::describe(input).c_str());
        if (!session.answer(input, &failure)) {
            std::fprintf(stderr, "win95sim: %s\n", failure.c_str());
            return 1;
        }
    }
    return session.finish(&failure) ? 0 : (std::fprintf(stderr, "win95sim: %s\n", failure.c_str()), 1);
}

int run_with_scenario(const std::string& dir, const std::string& file, const std::string& command_line,
                      bool verbose) {
    std::vector<ScenarioLine> lines;
    std::string failure;
    if (!parse_scenario(file, lines, &failure)) {
        std::fprintf(stderr, "win95sim: %s\n", failure.c_str());
        return 1;
    }
    lines.insert(lines.begin(), run_line(command_line));
    ScenarioOptions options;
    options.machine_dir = dir;
    options.verbose = verbose;
    if (!run_scenario_lines(lines, fs::absolute(file).parent_path().string(), options, &failure)) {
        std::fprintf(stderr, "win95sim: %s\n", failure.c_str());
        return 1;
    }
    return 0;
}

int cmd_run(const std::vector<std::string>& args) {
    std::string dir, agent = "defaults", command_line;
    bool verbose = false;
    std::vector<DialogHook> hooks;
    size_t i = 0;
    for (; i < args.size() && args[i] != "--"; ++i) {
        if (args[i] == "--agent" && i + 1 < args.size()) {
            agent = args[++i];
        } else if (args[i] == "--on" && i + 2 < args.size()) {
            std::vector<ScenarioLine> parsed;
            std::string error;
            if (!parse_scenario_text(args[i + 2], "--on", parsed, &error) || parsed.size() != 1) {
                std::fprintf(stderr, "win95sim: --on %s: %s\n", args[i + 1].c_str(),
                             error.empty() ? "one scenario line is needed" : error.c_str());
                return 2;
            }
            hooks.push_back({args[i + 1], parsed.front()});
            i += 2;
        } else if (args[i] == "-v")
            verbose = true;
        else if (dir.empty())
            dir = args[i];
        else
            return (std::fprintf(stderr, "win95sim: run: unexpected '%s'\n", args[i].c_str()), usage());
    }
    for (++i; i < args.size(); ++i)
        command_line += (command_line.empty() ? "" : " ") + args[i];
    if (dir.empty() || command_line.empty())
        return (std::fprintf(stderr, "win95sim: run needs a machine folder and, after --, a program\n"),
                usage());
    if (!fs::exists(fs::path(dir) / "machine.ini")) {
        std::fprintf(stderr, "win95sim: %s holds no machine (win95sim new %s makes one)\n", dir.c_str(),
                     dir.c_str());
        return 1;
    }
    if (!hooks.empty() && agent != "defaults") {
        std::fprintf(stderr, "win95sim: --on goes with the defaults agent\n");
        return 2;
    }
    if (agent == "defaults") return run_with_defaults(dir, command_line, verbose, hooks);
    if (agent == "interactive") return run_interactive(dir, command_line);
    return run_with_scenario(dir, agent, command_line, verbose);
}

int cmd_screenshot(const std::string& dir, const std::string& file) {
    std::string error;
    if (!sim::attach(dir, "C:\\WINDOWS\\EXPLORER.EXE", "C:\\WINDOWS", &error)) {
        std::fprintf(stderr, "win95sim: %s\n", error.c_str());
        return 1;
    }
    bool ok = sim::save_screenshot(file);
    sim::detach();
    if (!ok) std::fprintf(stderr, "win95sim: cannot write %s\n", file.c_str());
    return ok ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) return usage();
    std::string cmd = argv[1];
    std::vector<std::string> args(argv + 2, argv + argc);
    if (cmd == "new" && !args.empty()) return cmd_new(args);
    if (cmd == "show" && args.size() == 1) return show_machine(args[0]);
    if (cmd == "show" && args.size() == 2 && args[0] == "--summary") return summarise_machine(args[1]);
    if (cmd == "run") return cmd_run(args);
    if (cmd == "screenshot" && args.size() == 2) return cmd_screenshot(args[0], args[1]);
    if (cmd == "scenario" && !args.empty()) {
        bool verbose = args[0] == "-v";
        if (verbose) args.erase(args.begin());
        if (!args.empty()) return cmd_scenario(args, verbose);
    }
    bool known = cmd == "new" || cmd == "show" || cmd == "screenshot" || cmd == "scenario";
    std::fprintf(stderr, known ? "win95sim: wrong arguments for '%s'\n" : "win95sim: unknown command '%s'\n",
                 cmd.c_str());
    return usage();
}
