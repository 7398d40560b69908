#include "tools/windriver/player.h"

#include "common/words.h"
#include "tools/scenario/scenario_dialog.h"
#include "tools/scenario/scenario_outcome.h"
#include "tools/windriver/desktop.h"
#include "tools/windriver/screen.h"

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <optional>
#include <sstream>

namespace {

class Failure {
  public:
    explicit Failure(std::string text) : text(std::move(text)) {}
    std::string text;
};

bool same_nocase(const std::string& a, const std::string& b) {
    return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

std::vector<std::string> names_in(const std::string& dir, bool folders) {
    std::vector<std::string> out;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return out;
    do {
        std::string n = fd.cFileName;
        if (n != "." && n != ".." && ((fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) == folders)
            out.push_back(n);
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    std::sort(out.begin(), out.end());
    return out;
}

// The items of a group: the names of its links.
std::vector<std::string> links_in(const std::string& dir) {
    std::vector<std::string> out;
    for (const std::string& n : names_in(dir, false))
        if (n.size() > 4 && same_nocase(n.substr(n.size() - 4), ".lnk"))
            out.push_back(n.substr(0, n.size() - 4));
    return out;
}

std::string program_folder(const std::string& group) {
    for (int csidl : {CSIDL_PROGRAMS, CSIDL_COMMON_PROGRAMS}) {
        char path[MAX_PATH] = "";
        if (SUCCEEDED(SHGetFolderPathA(nullptr, csidl, nullptr, 0, path))) {
            std::string dir = std::string(path) + "\\" + group;
            if (GetFileAttributesA(dir.c_str()) & FILE_ATTRIBUTE_DIRECTORY &&
                GetFileAttributesA(dir.c_str()) != INVALID_FILE_ATTRIBUTES)
                return dir;
        }
    }
    return "";
}

std::string describe_program_folders() {
    std::string out;
    for (int csidl : {CSIDL_PROGRAMS, CSIDL_COMMON_PROGRAMS}) {
        char path[MAX_PATH] = "";
        if (FAILED(SHGetFolderPathA(nullptr, csidl, nullptr, 0, path))) continue;
        for (const std::string& group : names_in(path, true)) {
            out += "  \"" + group + "\":";
            for (const std::string& item : links_in(std::string(path) + "\\" + group))
                out += " \"" + item + "\"";
            out += "\n";
        }
    }
    return out;
}

} // namespace

std::string simulator_only(const std::vector<ScenarioLine>& lines) {
    for (const ScenarioLine& l : lines) {
        std::string where = l.file + ":" + std::to_string(l.line) + ": ";
        if (l.verb == "set" && !WineMachine::honours_setting(l.args))
            return where + "set " + l.rest + " (a setting of the simulated machine)";
        if (l.verb == "machine" && !l.args.empty()) return where + "a machine folder of the simulator";
        if (l.verb == "program" && WineMachine::simulator_only_program(l.args[1]))
            return where + "the simulator's test program " + l.args[1];
        if (l.verb == "disk" && l.args[0].size() >= 1 && (l.args[0][0] | 0x20) != 'a')
            return where + "drive " + l.args[0] + " (only A: is mapped here)";
    }
    return "";
}

class Player : private ScenarioMachine {
  public:
    Player(std::string base, WineMachine& machine, const PlayOptions& options)
        : base_(std::move(base)), machine_(machine), options_(options), desktop_(programs_) {}
    ~Player() {
        programs_.stop_all();
        for (const auto& [key, name] : set_values_) {
            HKEY h;
            if (RegOpenKeyExA(key.first, key.second.c_str(), 0, KEY_SET_VALUE, &h) == ERROR_SUCCESS) {
                RegDeleteValueA(h, name.c_str());
                RegCloseKey(h);
            }
        }
    }

    void run(const std::vector<ScenarioLine>& lines) {
        machine_.reset();
        power_requests().clear();
        keyboard_notices().clear();
        for (const auto& l : lines) {
            line_ = &l;
            step(l);
        }
        if (programs_.running()) {
            if (pending_) fail("the scenario ends, but a dialog still waits for an answer:\n" + draw());
            wait_all();
        }
    }

  private:
    [[noreturn]] void fail(const std::string& what) const {
        throw Failure(line_->file + ":" + std::to_string(line_->line) + ": " + what);
    }

    std::string host_file(const std::string& relative) const {
        if (relative == "@dist" || relative.rfind("@dist/", 0) == 0)
            return options_.dist + relative.substr(5);
        if (relative.size() > 1 && (relative[1] == ':' || relative[0] == '/' || relative[0] == '\\'))
            return relative;
        return base_ + "/" + relative;
    }

    // A Windows path of the scenario on this machine.
    std::string path(const std::string& p) const { return machine_.local(p); }

    // ---- dialogs

    std::string draw() const { return pending_ ? sim::describe(pending_->snapshot) : std::string(); }

    void next(LiveDialog& out, bool& ended) {
        Desktop::Wait w = desktop_.next(timeout_ms_, out);
        if (w == Desktop::Wait::TimedOut)
            fail("no program asked for input or ended within " + std::to_string(timeout_ms_ / 1000) + " s");
        ended = w == Desktop::Wait::Ended;
    }

    const LiveDialog& dialog() {
        if (!pending_) {
            if (!programs_.any_launched() || !programs_.running())
                fail(line_->verb + ": no program is running, so there is no dialog");
            LiveDialog d;
            bool ended;
            next(d, ended);
            if (ended) fail(line_->verb + ": every program ended without a dialog");
            pending_ = d;
        }
        if (!pending_->ambiguity.empty()) fail(pending_->ambiguity);
        if (options_.verbose) std::printf("%s", sim::describe(pending_->snapshot).c_str());
        return *pending_;
    }

    void quiet() {
        if (pending_ || !programs_.running()) return;
        LiveDialog d;
        bool ended;
        next(d, ended);
        if (!ended) pending_ = d;
    }

    void wait_all() {
        while (programs_.running()) {
            if (pending_)
                fail("a dialog waits for an answer, but the programs were expected to end:\n" + draw());
            quiet();
        }
    }

    // The screen is read once the dialog in front has painted since the last input.
    void wait_painted() {
        const LiveDialog& d = dialog();
        if (painted_ == d.hwnd) return;
        desktop_.wait_painted(d);
        painted_ = d.hwnd;
    }

    void answer(const sim::Input& in) {
        const LiveDialog& d = dialog();
        if (options_.verbose) std::printf("  -> %s\n", sim::describe(in).c_str());
        std::string reason;
        if (!desktop_.answer(d, in, &reason)) fail("Windows ignores this input: " + reason);
        pending_.reset();
        painted_ = nullptr;
    }

    // ---- the verbs

    void step(const ScenarioLine& l) {
        using Handler = void (Player::*)(const ScenarioLine&);
        static const std::map<std::string, Handler> handlers = {
            {"machine", &Player::do_nothing},
            {"set", &Player::do_set},
            {"disk", &Player::do_disk},
            {"program", &Player::do_program},
            {"file", &Player::do_file},
            {"ini", &Player::do_outcome},
            {"reg", &Player::do_outcome},
            {"run", &Player::do_run},
            {"wait", &Player::do_wait},
            {"timeout", &Player::do_timeout},
            {"expect-exit", &Player::do_expect_exit},
            {"expect-dialog", &Player::do_dialog_line},
            {"expect-message", &Player::do_dialog_line},
            {"click", &Player::do_dialog_line},
            {"check", &Player::do_dialog_line},
            {"type", &Player::do_dialog_line},
            {"select", &Player::do_dialog_line},
            {"pick", &Player::do_dialog_line},
            {"dblclick", &Player::do_dialog_line},
            {"key", &Player::do_dialog_line},
            {"open-file", &Player::do_open_file},
            {"cancel-file", &Player::do_cancel_file},
            {"expect-enabled", &Player::do_dialog_line},
            {"expect-checked", &Player::do_dialog_line},
            {"expect-text", &Player::do_dialog_line},
            {"expect-items", &Player::do_dialog_line},
            {"expect-pixel", &Player::do_expect_pixel},
            {"screenshot", &Player::do_screenshot},
            {"expect-file", &Player::do_outcome},
            {"expect-ini", &Player::do_outcome},
            {"expect-reg", &Player::do_outcome},
            {"expect-log", &Player::do_outcome},
            {"expect-exec", &Player::do_outcome},
            {"expect-power", &Player::do_outcome},
            {"expect-progman", &Player::do_outcome},
            {"expect-keyboard", &Player::do_outcome},
        };
        auto h = handlers.find(l.verb);
        if (h == handlers.end()) fail(l.verb + ": only the simulator has this");
        (this->*h->second)(l);
    }

    void do_nothing(const ScenarioLine&) {}

    // The settings Wine can honour (the others make the scenario simulator-only).
    void do_set(const ScenarioLine& l) {
        quiet();
        std::string error;
        if (!machine_.apply_setting(l.args, &error)) fail("set: " + error);
    }

    void put_file(const std::string& windows_path, const std::string& bytes) {
        std::string p = path(windows_path);
        machine_.prepare_drive_of(p);
        for (std::size_t i = 3; (i = p.find('\\', i)) != std::string::npos; ++i)
            CreateDirectoryA(p.substr(0, i).c_str(), nullptr);
        if (!write_file(p, machine_.real_bytes(bytes))) fail("cannot write " + windows_path);
    }

    void copy_folder(const std::string& from, const std::string& to) {
        WIN32_FIND_DATAA fd;
        HANDLE h = FindFirstFileA((from + "/*").c_str(), &fd);
        if (h == INVALID_HANDLE_VALUE) fail("disk: " + from + " is not a folder");
        do {
            std::string n = fd.cFileName;
            if (n == "." || n == "..") continue;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                CreateDirectoryA((to + "\\" + n).c_str(), nullptr);
                copy_folder(from + "/" + n, to + "\\" + n);
                continue;
            }
            std::string bytes;
            if (!read_file(from + "/" + n, bytes)) fail("disk: cannot read " + from + "/" + n);
            put_file(to + "\\" + n, bytes);
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }

    void do_disk(const ScenarioLine& l) {
        quiet();
        WIN32_FIND_DATAA fd;
        HANDLE h = FindFirstFileA("A:\\*", &fd);
        if (h != INVALID_HANDLE_VALUE) {
            std::vector<std::string> names;
            do {
                std::string n = fd.cFileName;
                if (n != "." && n != "..") names.push_back(n);
            } while (FindNextFileA(h, &fd));
            FindClose(h);
            for (const auto& n : names) {
                std::string cmd = "A:\\" + n;
                if (!DeleteFileA(cmd.c_str())) {
                    // a folder of the previous disk
                    SHFILEOPSTRUCTA op{};
                    std::string from = cmd + '\0';
                    op.wFunc = FO_DELETE;
                    op.pFrom = from.c_str();
                    op.fFlags = FOF_NO_UI;
                    SHFileOperationA(&op);
                }
            }
        }
        if (l.args[1] == "none") return;
        copy_folder(host_file(l.args[1]), "A:");
    }

    void do_program(const ScenarioLine& l) {
        quiet();
        std::string bytes = machine_.program_bytes(l.args[1]);
        put_file(l.args[0], bytes.empty() ? "WIN95SIM PROGRAM " + l.args[1] + "\r\n" : bytes);
    }

    void do_file(const ScenarioLine& l) {
        quiet();
        if (l.args.size() == 2) return put_file(l.args[0], l.body);
        std::string bytes;
        if (!read_file(host_file(l.args[2]), bytes)) fail("file: cannot read " + host_file(l.args[2]));
        put_file(l.args[0], bytes);
    }

    // A bare file name stays bare: the profile calls look for it in the Windows folder.
    std::string profile_path(const std::string& p) override {
        return p.find_first_of("\\/:") == std::string::npos ? p : path(p);
    }

    void do_run(const ScenarioLine& l) {
        quiet();
        if (pending_) fail("run: a dialog still waits for an answer:\n" + draw());
        std::string error;
        if (!programs_.launch(path(l.rest), &error)) fail(error);
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
        if (!programs_.any_launched()) fail("expect-exit: no program was run");
        wait_all();
        if (programs_.last_exit_code() != code)
            fail("expected exit code " + l.args[0] + ", the program ended with " +
                 std::to_string(programs_.last_exit_code()));
    }

    // The lines that answer or check the dialog in front, as win95sim reads them too.
    void do_dialog_line(const ScenarioLine& l) {
        sim::Input in;
        if (input_of(l, in)) {
            if (in.kind == sim::InputKind::Type) in.text = machine_.local(in.text);
            return answer(in);
        }
        const auto& d = dialog();
        std::string why =
            check_dialog(l, d.snapshot, [this](const std::string& t) { return machine_.local(t); });
        if (why.empty()) return;
        fail(why.back() == ':' ? why + "\n" + draw() : why);
    }

    void do_open_file(const ScenarioLine& l) {
        const auto& d = dialog();
        if (d.snapshot.kind != "open") fail("open-file: this is not the Open dialog:\n" + draw());
        // The file name field: an edit field, or in the Explorer-style dialog a drop-down with one (cmb13).
        auto field = std::find_if(
            d.snapshot.controls.begin(), d.snapshot.controls.end(),
            [](const sim::ControlSnapshot& c) { return c.class_name == "EDIT" || c.id == 1148; });
        if (field == d.snapshot.controls.end()) fail("open-file: the Open dialog has no file name field");
        sim::Input in;
        in.kind = sim::InputKind::Type;
        in.id = field->id;
        in.text = path(l.args[0]);
        answer(in);
        sim::Input ok;
        ok.kind = sim::InputKind::Enter;
        answer(ok);
    }

    void do_cancel_file(const ScenarioLine&) {
        const auto& d = dialog();
        if (d.snapshot.kind != "open") fail("cancel-file: this is not the Open dialog:\n" + draw());
        sim::Input in;
        in.kind = sim::InputKind::Escape;
        answer(in);
    }

    void do_expect_pixel(const ScenarioLine& l) {
        wait_painted();
        long long x, y;
        if (!parse_number(l.args[0], x) || !parse_number(l.args[1], y))
            fail("expect-pixel: X and Y are numbers");
        char have[8];
        std::snprintf(have, sizeof have, "#%06X", screen_pixel(static_cast<int>(x), static_cast<int>(y)));
        if (!same_nocase(have, l.args[2]))
            fail("expected the pixel at " + l.args[0] + "," + l.args[1] + " to be " + l.args[2] +
                 ", but it is " + have);
    }

    void do_screenshot(const ScenarioLine& l) {
        wait_painted();
        std::string error;
        if (!save_screen(l.args[0], &error)) fail("screenshot: " + error);
    }

    // ---- the outcome, checked by the lines shared with win95sim

    void do_outcome(const ScenarioLine& l) {
        quiet();
        std::string why = run_outcome_line(l, *this);
        if (!why.empty()) fail(why);
    }

    bool read_machine_file(const std::string& p, std::string& out) override {
        return read_file(path(p), out);
    }

    bool machine_file_exists(const std::string& p) override {
        DWORD attrs = GetFileAttributesA(path(p).c_str());
        return attrs != INVALID_FILE_ATTRIBUTES && !(attrs & FILE_ATTRIBUTE_DIRECTORY);
    }

    bool read_host_file(const std::string& name, std::string& out) override {
        return read_file(host_file(name), out);
    }

    std::string local(const std::string& text) override { return machine_.local(text); }
    std::string local_log_line(const std::string& line) override { return machine_.local_log_line(line); }

    bool same_content(const std::string& machine, const std::string& host) override {
        return machine_.same_content(machine, host);
    }

    // Each start is recorded by the started program (execlog.exe).
    std::string exec_log() override {
        std::string text;
        read_file(machine_.exec_log(), text);
        return text;
    }

    std::string keyboard_log() override { return keyboard_notices(); }

    std::string last_power_request() override {
        return power_requests().empty() ? "none" : power_requests().back();
    }

    // Windows tells the windows whether the user logs off, not whether the machine restarts or shuts down.
    std::string power_as_seen(const std::string& request) override {
        return request == "reboot" || request == "poweroff" ? "shutdown" : request;
    }

    // Program Manager's groups are folders of the Start menu's programs, its items the links in them.
    bool progman_group(const std::string& group, std::vector<std::string>& items) override {
        std::string dir = program_folder(group);
        if (dir.empty()) return false;
        items = links_in(dir);
        return true;
    }

    std::string describe_progman() override { return describe_program_folders(); }

    void value_set(HKEY root, const std::string& key, const std::string& name) override {
        set_values_.push_back({{root, key}, name});
    }

    std::string base_;
    WineMachine& machine_;
    PlayOptions options_;
    Programs programs_;
    Desktop desktop_;
    std::optional<LiveDialog> pending_;
    HWND painted_ = nullptr;
    const ScenarioLine* line_ = nullptr;
    int timeout_ms_ = 20000;
    std::vector<std::pair<std::pair<HKEY, std::string>, std::string>> set_values_;
};

bool play(const std::vector<ScenarioLine>& lines, const std::string& base_dir, WineMachine& machine,
          const PlayOptions& options, std::string* failure) {
    try {
        Player player(base_dir, machine, options);
        player.run(lines);
        return true;
    } catch (const Failure& f) {
        if (failure) *failure = f.text;
        return false;
    }
}
