#include "tools/win95sim/scenario.h"

#include "platform/sim/driver/agent.h"
#include "platform/sim/driver/agent_wire.h"
#include "platform/sim/machine/machine.h"
#include "platform/sim/shell/progman.h"
#include "platform/sim/shell/internal.h"
#include "platform/sim/sim.h"
#include "platform/sim/machine/textfile.h"
#include "platform/win32.h"
#include "tools/win95sim/driver.h"
#include "tools/win95sim/show.h"
#include "tools/scenario/scenario_dialog.h"
#include "tools/scenario/scenario_outcome.h"
#include "common/words.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <unistd.h>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <sstream>

namespace fs = std::filesystem;

namespace {

// ---------------------------------------------------------------------------------------------------
// Running

class Failure {
  public:
    explicit Failure(std::string text) : text_(std::move(text)) {}
    const std::string& text() const { return text_; }

  private:
    std::string text_;
};

std::string upper(const std::string& s) {
    return sim::upper_ascii(s);
}

std::string draw(const sim::DialogSnapshot& s) {
    return sim::describe(s);
}

std::string dist_dir() {
    if (const char* env = std::getenv("WIN95SIM_DIST"); env && *env) return env;
#ifdef WIN95SIM_DIST_DIR
    return WIN95SIM_DIST_DIR;
#else
    return "distribution";
#endif
}

} // namespace

class Runner : private ScenarioMachine {
  public:
    Runner(std::string base_dir, ScenarioOptions options)
        : base_(std::move(base_dir)), options_(std::move(options)),
          timeout_ms_(options_.timeout_seconds * 1000) {}
    ~Runner() {
        driver_.reset();
        if (sim::attached()) sim::detach();
        std::error_code ec;
        if (!temp_dir_.empty()) fs::remove_all(temp_dir_, ec);
    }

    void run(const std::vector<ScenarioLine>& lines) {
        for (const auto& l : lines)
            execute(l);
        finish();
    }

    void execute(const ScenarioLine& l) {
        line_ = &l;
        step(l);
    }

    // The dialog in front, for the interactive and defaults agents; nullptr when every program ended.
    const sim::DialogSnapshot* next_dialog() {
        if (!pending_) {
            if (!programs_running()) return nullptr;
            Driver::Ask ask;
            if (next_event(ask) != Driver::Event::Ask) return nullptr;
            pending_ = std::move(ask);
        }
        return &pending_->snapshot;
    }

    void answer_input(const sim::Input& input) { answer(input); }

    // At the end nothing may still wait for the user.
    void finish() {
        if (!programs_running()) return;
        if (pending_)
            fail("the scenario ends, but a dialog still waits for an answer:\n" + draw(pending_->snapshot));
        wait_all();
    }

    void set_line(const ScenarioLine* line) { line_ = line; }

  private:
    [[noreturn]] void fail(const std::string& what) const {
        throw Failure(line_->file + ":" + std::to_string(line_->line) + ": " + what);
    }

    // "@dist/..." names the sample distribution built with the programs (WIN95SIM_DIST overrides where).
    std::string host_file(const std::string& relative) const {
        if (relative == "@dist" || relative.rfind("@dist/", 0) == 0) return dist_dir() + relative.substr(5);
        fs::path p(relative);
        return (p.is_absolute() ? p : fs::path(base_) / p).string();
    }

    // ---- the machine

    void ensure_machine() {
        if (!machine_dir_.empty()) return;
        if (!options_.machine_dir.empty()) {
            use_machine(options_.machine_dir);
            return;
        }
        char tmpl[] = "/tmp/scenario-XXXXXX";
        if (!::mkdtemp(tmpl)) fail("cannot make a temporary folder for the machine");
        temp_dir_ = tmpl;
        use_machine(temp_dir_ + "/machine");
    }

    void use_machine(const std::string& dir) {
        std::string error;
        if (!fs::exists(fs::path(dir) / "machine.ini") && !sim::create_default_machine(dir, &error))
            fail(error);
        machine_dir_ = dir;
        attach();
    }

    void attach() {
        std::string error;
        if (sim::attached()) sim::detach();
        if (!sim::attach(machine_dir_, "C:\\WINDOWS\\EXPLORER.EXE", "C:\\WINDOWS", &error)) fail(error);
    }

    std::string full(const std::string& path) {
        ensure_machine();
        std::string f = sim::full_path(path);
        if (f.empty()) fail("'" + path + "' is not a path on a drive of this machine");
        return f;
    }

    std::string host_of(const std::string& path) { return sim::host_path(full(path)); }

    // ---- programs and their dialogs

    Driver& driver() {
        if (!driver_) {
            driver_ = std::make_unique<Driver>();
            std::string error;
            if (!driver_->start(&error)) fail(error);
        }
        return *driver_;
    }

    bool programs_running() const { return driver_ && driver_->running(); }

    // The next event of the programs; a rejected input fails the line that gave it.
    Driver::Event next_event(Driver::Ask& ask) {
        std::string reason;
        Driver::Event e = driver().next_event(timeout_ms_, ask, reason);
        while (e == Driver::Event::Rejected && options_.forgiving) {
            std::printf("Windows ignores this input: %s\n", reason.c_str());
            e = driver().next_event(timeout_ms_, ask, reason);
        }
        if (e == Driver::Event::Rejected)
            throw Failure(last_input_ + ": Windows ignores this input: " + reason);
        if (e == Driver::Event::Broken) fail(reason);
        if (e == Driver::Event::TimedOut)
            fail("no program asked for input or ended within " + std::to_string(timeout_ms_ / 1000) + " s");
        return e;
    }

    // The machine is quiet when every program has ended or one waits for the user.
    void quiet() {
        if (pending_ || !programs_running()) return;
        Driver::Ask ask;
        if (next_event(ask) == Driver::Event::Ask) pending_ = std::move(ask);
    }

    const Driver::Ask& dialog() {
        if (!pending_) {
            if (!programs_running()) fail(line_->verb + ": no program is running, so there is no dialog");
            Driver::Ask ask;
            if (next_event(ask) != Driver::Event::Ask)
                fail(line_->verb + ": every program ended without a dialog");
            pending_ = std::move(ask);
        }
        if (options_.verbose) std::printf("%s", draw(pending_->snapshot).c_str());
        return *pending_;
    }

    void wait_all() {
        while (programs_running()) {
            if (pending_)
                fail("a dialog waits for an answer, but the programs were expected to end:\n" +
                     draw(pending_->snapshot));
            Driver::Ask ask;
            if (next_event(ask) == Driver::Event::Ask) pending_ = std::move(ask);
        }
    }

    void answer(const sim::Input& input) {
        const Driver::Ask& d = dialog();
        if (options_.verbose) std::printf("  -> %s\n", sim::describe(input).c_str());
        last_input_ = line_->file + ":" + std::to_string(line_->line);
        if (!driver().answer(d, input)) fail("the program waiting for the answer has gone");
        pending_.reset();
    }

    // ---- the verbs

    void step(const ScenarioLine& l) {
        using Handler = void (Runner::*)(const ScenarioLine&);
        static const std::map<std::string, Handler> handlers = {
            {"machine", &Runner::do_machine},
            {"set", &Runner::do_set},
            {"disk", &Runner::do_disk},
            {"program", &Runner::do_program},
            {"file", &Runner::do_file},
            {"ini", &Runner::do_outcome},
            {"reg", &Runner::do_outcome},
            {"run", &Runner::do_run},
            {"wait", &Runner::do_wait},
            {"timeout", &Runner::do_timeout},
            {"expect-exit", &Runner::do_expect_exit},
            {"expect-dialog", &Runner::do_dialog_line},
            {"expect-message", &Runner::do_dialog_line},
            {"click", &Runner::do_dialog_line},
            {"check", &Runner::do_dialog_line},
            {"type", &Runner::do_dialog_line},
            {"select", &Runner::do_dialog_line},
            {"pick", &Runner::do_dialog_line},
            {"dblclick", &Runner::do_dialog_line},
            {"key", &Runner::do_dialog_line},
            {"open-file", &Runner::do_open_file},
            {"cancel-file", &Runner::do_cancel_file},
            {"expect-enabled", &Runner::do_dialog_line},
            {"expect-checked", &Runner::do_dialog_line},
            {"expect-text", &Runner::do_dialog_line},
            {"expect-items", &Runner::do_dialog_line},
            {"expect-pixel", &Runner::do_expect_pixel},
            {"screenshot", &Runner::do_screenshot},
            {"expect-file", &Runner::do_outcome},
            {"expect-ini", &Runner::do_outcome},
            {"expect-reg", &Runner::do_outcome},
            {"expect-log", &Runner::do_outcome},
            {"expect-exec", &Runner::do_outcome},
            {"expect-power", &Runner::do_outcome},
            {"expect-progman", &Runner::do_outcome},
            {"expect-keyboard", &Runner::do_outcome},
        };
        (this->*handlers.at(l.verb))(l);
    }

    void do_machine(const ScenarioLine& l) {
        if (!machine_dir_.empty()) fail("machine: this scenario already has a machine");
        if (l.args.empty())
            ensure_machine();
        else
            use_machine(host_file(l.args[0]));
    }

    void do_set(const ScenarioLine& l) {
        ensure_machine();
        quiet();
        sim::Settings s;
        std::string error;
        if (!sim::load_settings(machine_dir_, s, &error) || !sim::apply_setting(s, l.rest, base_, &error) ||
            !sim::save_settings(machine_dir_, s, &error))
            fail("set: " + error);
        attach();
    }

    // A disk is inserted by copying the folder into the drive's own folder, so that a program already
    // running sees the new disk, as it would see a disk changed in a real drive.
    void do_disk(const ScenarioLine& l) {
        ensure_machine();
        quiet();
        const sim::Drive* d = sim::drive_of(upper(l.args[0]).substr(0, 1) + ":\\");
        if (!d) fail("disk: no drive " + l.args[0] + " on this machine");
        std::error_code ec;
        for (const auto& e : fs::directory_iterator(d->folder, ec))
            fs::remove_all(e.path(), ec);
        if (l.args[1] == "none") return;
        fs::path from = host_file(l.args[1]);
        if (!fs::is_directory(from)) fail("disk: " + from.string() + " is not a folder");
        fs::copy(from, d->folder, fs::copy_options::recursive | fs::copy_options::overwrite_existing, ec);
        if (ec) fail("disk: cannot copy " + from.string() + ": " + ec.message());
    }

    void write_machine_file(const std::string& path, const std::string& bytes) {
        std::string host = host_of(path);
        std::error_code ec;
        fs::create_directories(fs::path(host).parent_path(), ec);
        if (!sim::write_host_file(host, bytes)) fail("cannot write " + path);
    }

    void do_program(const ScenarioLine& l) {
        quiet();
        write_machine_file(l.args[0], sim::program_stub(l.args[1]));
    }

    void do_file(const ScenarioLine& l) {
        quiet();
        if (l.args.size() == 2) {
            write_machine_file(l.args[0], l.body);
            return;
        }
        std::string bytes;
        if (!sim::read_host_file(host_file(l.args[2]), bytes))
            fail("file: cannot read " + host_file(l.args[2]));
        write_machine_file(l.args[0], bytes);
    }

    // A bare file name is in the Windows folder, where the profile calls look for it.
    std::string profile_path(const std::string& path) override {
        if (path.find_first_of("\\/:") == std::string::npos) return full(sim::windows_dir() + "\\" + path);
        return full(path);
    }

    void do_run(const ScenarioLine& l) {
        ensure_machine();
        quiet();
        if (pending_) fail("run: a dialog still waits for an answer:\n" + draw(pending_->snapshot));
        attach();
        std::string error;
        if (!driver().launch(l.rest, &error)) fail(error);
        ran_ = true;
    }

    void do_wait(const ScenarioLine&) { wait_all(); }

    void do_timeout(const ScenarioLine& l) {
        long long s;
        if (!parse_number(l.args[0], s) || s < 1 || s > 3600) fail("timeout: seconds from 1 to 3600");
        timeout_ms_ = static_cast<int>(s * 1000);
    }

    void do_expect_exit(const ScenarioLine& l) {
        long long code;
        if (!parse_number(l.args[0], code)) fail("expect-exit: the code is a number");
        if (!ran_) fail("expect-exit: no program was run");
        wait_all();
        if (driver().exit_code() != code)
            fail("expected exit code " + l.args[0] + ", the program ended with " +
                 std::to_string(driver().exit_code()));
    }

    // The lines that answer or check the dialog in front, as windriver.exe reads them too.
    void do_dialog_line(const ScenarioLine& l) {
        sim::Input in;
        if (input_of(l, in)) return answer(in);
        const auto& d = dialog();
        std::string why = check_dialog(l, d.snapshot, [](const std::string& t) { return t; });
        if (why.empty()) return;
        fail(why.back() == ':' ? why + "\n" + draw(d.snapshot) : why);
    }

    // The Open dialog: the path goes into its file name field, then OK.
    void do_open_file(const ScenarioLine& l) {
        const auto& d = dialog();
        if (d.snapshot.kind != "open") fail("open-file: this is not the Open dialog:\n" + draw(d.snapshot));
        auto field =
            std::find_if(d.snapshot.controls.begin(), d.snapshot.controls.end(),
                         [](const sim::ControlSnapshot& c) { return upper(c.class_name) == "EDIT"; });
        if (field == d.snapshot.controls.end()) fail("open-file: the Open dialog has no file name field");
        sim::Input in;
        in.kind = sim::InputKind::Type;
        in.id = field->id;
        in.text = l.args[0];
        answer(in);
        sim::Input ok;
        ok.kind = sim::InputKind::Enter;
        answer(ok);
    }

    void do_cancel_file(const ScenarioLine&) {
        const auto& d = dialog();
        if (d.snapshot.kind != "open") fail("cancel-file: this is not the Open dialog:\n" + draw(d.snapshot));
        sim::Input in;
        in.kind = sim::InputKind::Escape;
        answer(in);
    }

    void do_expect_pixel(const ScenarioLine& l) {
        long long x, y;
        if (!parse_number(l.args[0], x) || !parse_number(l.args[1], y))
            fail("expect-pixel: X and Y are numbers");
        std::string reply;
        if (!driver().request(dialog(), "pixel " + std::to_string(x) + " " + std::to_string(y), reply))
            fail("expect-pixel: the program did not answer");
        if (reply.rfind("pixel ", 0) != 0) fail("expect-pixel: " + reply);
        if (upper(reply.substr(6)) != upper(l.args[2].substr(1)))
            fail("expected the pixel at " + l.args[0] + "," + l.args[1] + " to be " + l.args[2] +
                 ", but it is #" + reply.substr(6));
    }

    void do_screenshot(const ScenarioLine& l) {
        // Screenshots are results, written relative to where win95sim runs, not beside the scenario.
        std::string reply, path = fs::absolute(l.args[0]).string();
        if (!driver().request(dialog(), "screenshot " + sim::escape_token(path), reply) || reply != "ok")
            fail("screenshot: " + (reply.empty() ? std::string("the program did not answer") : reply));
    }

    // ---- the outcome, checked by the lines shared with windriver.exe

    void do_outcome(const ScenarioLine& l) {
        ensure_machine();
        quiet();
        std::string why = run_outcome_line(l, *this);
        if (!why.empty()) fail(why);
    }

    bool read_machine_file(const std::string& path, std::string& out) override {
        return sim::read_host_file(host_of(path), out);
    }

    bool machine_file_exists(const std::string& path) override {
        std::error_code ec;
        return fs::is_regular_file(host_of(path), ec);
    }

    bool read_host_file(const std::string& name, std::string& out) override {
        return sim::read_host_file(host_file(name), out);
    }

    std::string machine_log(const char* name) {
        ensure_machine();
        std::string text;
        sim::read_host_file((fs::path(machine_dir_) / name).string(), text);
        return text;
    }

    std::string exec_log() override { return machine_log("exec.log"); }
    std::string keyboard_log() override { return machine_log("keyboard.log"); }

    std::string last_power_request() override {
        auto lines = text_lines(machine_log("power.log"));
        return lines.empty() ? "none" : lines.back();
    }

    bool progman_group(const std::string& group, std::vector<std::string>& items) override {
        sim::Progman pm;
        std::string error;
        if (!sim::load_progman(machine_dir_, pm, &error)) fail(error);
        const sim::ProgmanGroup* g = sim::progman_group(pm, group);
        if (!g) return false;
        for (const auto& i : g->items)
            items.push_back(i.name);
        return true;
    }

    std::string describe_progman() override {
        sim::Progman pm;
        std::string error;
        return sim::load_progman(machine_dir_, pm, &error) ? sim::describe_progman(pm) : error;
    }

    std::string base_;
    ScenarioOptions options_;
    std::string machine_dir_;
    std::string temp_dir_;
    std::unique_ptr<Driver> driver_;
    std::optional<Driver::Ask> pending_;
    const ScenarioLine* line_ = nullptr;
    std::string last_input_;
    int timeout_ms_;
    bool ran_ = false;
};

namespace {
// Lines that no scenario file wrote (the interactive agent's answers, the defaults agent's).
const ScenarioLine kAgentLine{"(agent)", 0, "agent", {}, {}, "", ""};
} // namespace

ScenarioSession::ScenarioSession(std::string base_dir, ScenarioOptions options)
    : runner_(std::make_unique<Runner>(std::move(base_dir), std::move(options))) {
    runner_->set_line(&kAgentLine);
}

ScenarioSession::~ScenarioSession() = default;

template <typename F>
static bool guarded(F&& f, std::string* failure) {
    try {
        f();
        return true;
    } catch (const Failure& e) {
        if (failure) *failure = e.text();
        return false;
    }
}

bool ScenarioSession::execute(const ScenarioLine& line, std::string* failure) {
    return guarded([&] { runner_->execute(line); }, failure);
}

bool ScenarioSession::finish(std::string* failure) {
    return guarded([&] { runner_->finish(); }, failure);
}

bool ScenarioSession::next_dialog(sim::DialogSnapshot& out, bool& ended, std::string* failure) {
    return guarded(
        [&] {
            runner_->set_line(&kAgentLine);
            const sim::DialogSnapshot* d = runner_->next_dialog();
            ended = d == nullptr;
            if (d) out = *d;
        },
        failure);
}

bool ScenarioSession::answer(const sim::Input& input, std::string* failure) {
    return guarded(
        [&] {
            runner_->set_line(&kAgentLine);
            runner_->answer_input(input);
        },
        failure);
}

bool run_scenario_lines(const std::vector<ScenarioLine>& lines, const std::string& base_dir,
                        const ScenarioOptions& options, std::string* failure) {
    Runner runner(base_dir, options);
    return guarded([&] { runner.run(lines); }, failure);
}

bool run_scenario(const std::string& path, const ScenarioOptions& options, std::string* failure) {
    std::vector<ScenarioLine> lines;
    if (!parse_scenario(path, lines, failure)) return false;
    return run_scenario_lines(lines, fs::absolute(path).parent_path().string(), options, failure);
}
