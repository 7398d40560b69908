#include "tools/windriver/player.h"

#include "common/words.h"
#include "tools/scenario/scenario_dialog.h"
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

bool parse_int(const std::string& s, long long& out) {
    try {
        size_t used = 0;
        out = std::stoll(s, &used, 0);
        return used == s.size();
    } catch (...) {
        return false;
    }
}

HKEY root_key(const std::string& name) {
    std::string n = name;
    for (char& c : n)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (n == "HKEY_LOCAL_MACHINE" || n == "HKLM") return HKEY_LOCAL_MACHINE;
    if (n == "HKEY_CURRENT_CONFIG" || n == "HKCC") return HKEY_CURRENT_CONFIG;
    if (n == "HKEY_CURRENT_USER" || n == "HKCU") return HKEY_CURRENT_USER;
    if (n == "HKEY_CLASSES_ROOT" || n == "HKCR") return HKEY_CLASSES_ROOT;
    if (n == "HKEY_USERS" || n == "HKU") return HKEY_USERS;
    return nullptr;
}

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        out.push_back(line);
    }
    return out;
}

std::string strip_backslash(std::string s) {
    if (s.size() > 1 && s.back() == '\\') s.pop_back();
    return s;
}

bool same_nocase(const std::string& a, const std::string& b) {
    return lstrcmpiA(a.c_str(), b.c_str()) == 0;
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

} // namespace

std::string simulator_only(const std::vector<ScenarioLine>& lines) {
    for (const ScenarioLine& l : lines) {
        std::string where = l.file + ":" + std::to_string(l.line) + ": ";
        if (l.verb == "set") return where + "set " + l.rest + " (a setting of the simulated machine)";
        if (l.verb == "machine" && !l.args.empty()) return where + "a machine folder of the simulator";
        if (l.verb == "program" && WineMachine::simulator_only_program(l.args[1]))
            return where + "the simulator's test program " + l.args[1];
        if (l.verb == "disk" && l.args[0].size() >= 1 && (l.args[0][0] | 0x20) != 'a')
            return where + "drive " + l.args[0] + " (only A: is mapped here)";
    }
    return "";
}

class Player {
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

    void answer(const sim::Input& in) {
        const LiveDialog& d = dialog();
        if (options_.verbose) std::printf("  -> %s\n", sim::describe(in).c_str());
        std::string reason;
        if (!desktop_.answer(d, in, &reason)) fail("Windows ignores this input: " + reason);
        pending_.reset();
    }

    // ---- the verbs

    void step(const ScenarioLine& l) {
        using Handler = void (Player::*)(const ScenarioLine&);
        static const std::map<std::string, Handler> handlers = {
            {"machine", &Player::do_nothing},
            {"disk", &Player::do_disk},
            {"program", &Player::do_program},
            {"file", &Player::do_file},
            {"ini", &Player::do_ini},
            {"reg", &Player::do_reg},
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
            {"expect-file", &Player::do_expect_file},
            {"expect-ini", &Player::do_expect_ini},
            {"expect-reg", &Player::do_expect_reg},
            {"expect-log", &Player::do_expect_log},
            {"expect-exec", &Player::do_expect_exec},
            {"expect-power", &Player::do_expect_power},
            {"expect-progman", &Player::do_expect_progman},
        };
        auto h = handlers.find(l.verb);
        if (h == handlers.end()) fail(l.verb + ": only the simulator has this");
        (this->*h->second)(l);
    }

    void do_nothing(const ScenarioLine&) {}

    void put_file(const std::string& windows_path, const std::string& bytes) {
        std::string p = path(windows_path);
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
    std::string profile_path(const std::string& p) const {
        return p.find_first_of("\\/:") == std::string::npos ? p : path(p);
    }

    void split_ini(const ScenarioLine& l, std::string& file, std::string& section, std::string& rest) {
        std::string error;
        if (!split_ini_line(l, file, section, rest, &error)) fail(error);
    }

    void do_ini(const ScenarioLine& l) {
        quiet();
        std::string file, section, rest;
        split_ini(l, file, section, rest);
        size_t eq = rest.find('=');
        if (eq == std::string::npos) fail("ini: the entry is written key=value");
        if (!WritePrivateProfileStringA(section.c_str(), trim_blanks(rest.substr(0, eq)).c_str(),
                                        trim_blanks(rest.substr(eq + 1)).c_str(), profile_path(file).c_str()))
            fail("ini: cannot write " + file);
    }

    void do_reg(const ScenarioLine& l) {
        quiet();
        const std::string& key = l.args[0];
        std::string entry = trim_blanks(l.rest.substr(l.rest.find(key) + key.size()));
        if (entry.size() > 1 && (entry[0] == '"' || entry[0] == '\'') && entry.back() == entry[0])
            entry = entry.substr(1, entry.size() - 2);
        size_t slash = key.find('\\'), eq = entry.find('=');
        HKEY root = root_key(key.substr(0, slash));
        if (!root || slash == std::string::npos || eq == std::string::npos)
            fail("reg: usage: reg ROOT\\KEY name=value (or name=dword:N)");
        HKEY h;
        if (RegCreateKeyExA(root, key.substr(slash + 1).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h,
                            nullptr) != ERROR_SUCCESS)
            fail("reg: cannot create " + key);
        std::string name = entry.substr(0, eq), value = entry.substr(eq + 1);
        long long n;
        LONG r;
        if (value.rfind("dword:", 0) == 0 && parse_int("0x" + value.substr(6), n)) {
            DWORD d = static_cast<DWORD>(n);
            r = RegSetValueExA(h, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&d), sizeof d);
        } else {
            value = machine_.local(value);
            r = RegSetValueExA(h, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                               static_cast<DWORD>(value.size() + 1));
        }
        RegCloseKey(h);
        if (r != ERROR_SUCCESS) fail("reg: cannot set " + name + " in " + key);
        set_values_.push_back({{root, key.substr(slash + 1)}, name});
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
        if (!parse_int(l.args[0], s) || s < 1 || s > 3600) fail("timeout: seconds from 1 to 3600");
        timeout_ms_ = static_cast<int>(s * 1000);
    }

    void do_expect_exit(const ScenarioLine& l) {
        long long code;
        if (!parse_int(l.args[0], code)) fail("expect-exit: the code is a number");
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
        dialog();
        long long x, y;
        if (!parse_int(l.args[0], x) || !parse_int(l.args[1], y)) fail("expect-pixel: X and Y are numbers");
        char have[8];
        std::snprintf(have, sizeof have, "#%06X", screen_pixel(static_cast<int>(x), static_cast<int>(y)));
        if (!same_nocase(have, l.args[2]))
            fail("expected the pixel at " + l.args[0] + "," + l.args[1] + " to be " + l.args[2] +
                 ", but it is " + have);
    }

    void do_screenshot(const ScenarioLine& l) {
        dialog();
        std::string error;
        if (!save_screen(l.args[0], &error)) fail("screenshot: " + error);
    }

    // ---- the outcome

    void do_expect_file(const ScenarioLine& l) {
        quiet();
        std::string p = path(l.args[0]);
        DWORD attrs = GetFileAttributesA(p.c_str());
        bool exists = attrs != INVALID_FILE_ATTRIBUTES && !(attrs & FILE_ATTRIBUTE_DIRECTORY);
        const std::string& what = l.args[1];
        if (what == "exists" && !exists) fail("expected the file " + l.args[0] + ", but it does not exist");
        if (what == "missing" && exists) fail("expected no file " + l.args[0] + ", but it exists");
        std::string bytes;
        if ((what == "size" || what == "same-as") && (!exists || !read_file(p, bytes)))
            fail("expected the file " + l.args[0] + ", but it does not exist");
        long long n;
        if (what == "size" && (!parse_int(l.args[2], n) || static_cast<long long>(bytes.size()) != n))
            fail("expected " + l.args[0] + " to have " + l.args[2] + " bytes, but it has " +
                 std::to_string(bytes.size()));
        if (what == "same-as") {
            std::string other;
            if (!read_file(host_file(l.args[2]), other))
                fail("expect-file: cannot read " + host_file(l.args[2]));
            if (bytes != machine_.real_bytes(other))
                fail("expected " + l.args[0] + " to equal " + l.args[2] + ", but they differ");
        }
    }

    void do_expect_ini(const ScenarioLine& l) {
        quiet();
        std::string file, section, rest, err;
        split_ini(l, file, section, rest);
        std::vector<bool> quoted;
        auto words = common::split_words(rest, &err, &quoted);
        if (words.size() != 2) fail("usage: expect-ini PATH [section] key \"value\"|missing");
        const char* absent = "\x01<missing>\x01";
        char value[1024];
        GetPrivateProfileStringA(section.c_str(), words[0].c_str(), absent, value, sizeof value,
                                 profile_path(file).c_str());
        bool missing = std::string(value) == absent;
        if (words[1] == "missing" && !quoted[1]) {
            if (!missing)
                fail("expected no [" + section + "] " + words[0] + " in " + file + ", but it is \"" + value +
                     "\"");
            return;
        }
        std::string want = machine_.local(words[1]);
        if (missing)
            fail("expected [" + section + "] " + words[0] + "=\"" + want + "\" in " + file +
                 ", but it is missing");
        if (want != value)
            fail("expected [" + section + "] " + words[0] + "=\"" + want + "\" in " + file +
                 ", but it is \"" + value + "\"");
    }

    void do_expect_reg(const ScenarioLine& l) {
        quiet();
        const std::string& key = l.args[0];
        size_t slash = key.find('\\');
        HKEY root = root_key(key.substr(0, slash));
        if (!root || slash == std::string::npos)
            fail("expect-reg: the key starts with a root such as HKEY_LOCAL_MACHINE");
        bool want_missing = l.keyword(2, "missing");
        std::string have, want = machine_.local(l.args[2]);
        bool present = false;
        HKEY h;
        if (RegOpenKeyExA(root, key.substr(slash + 1).c_str(), 0, KEY_READ, &h) == ERROR_SUCCESS) {
            BYTE data[2048];
            DWORD type = 0, size = sizeof data - 1;
            if (RegQueryValueExA(h, l.args[1].c_str(), nullptr, &type, data, &size) == ERROR_SUCCESS) {
                present = true;
                data[std::min<DWORD>(size, sizeof data - 1)] = 0;
                DWORD d = 0;
                std::memcpy(&d, data, 4);
                have = type == REG_DWORD && size == 4 ? std::to_string(d) : reinterpret_cast<char*>(data);
            }
            RegCloseKey(h);
        }
        if (want_missing && present)
            fail("expected no value " + l.args[1] + " in " + key + ", but it is \"" + have + "\"");
        if (!want_missing && !present)
            fail("expected " + l.args[1] + "=\"" + want + "\" in " + key + ", but it is missing");
        if (!want_missing && have != want)
            fail("expected " + l.args[1] + "=\"" + want + "\" in " + key + ", but it is \"" + have + "\"");
    }

    void do_expect_log(const ScenarioLine& l) {
        quiet();
        std::string text;
        bool missing = l.keyword(2, "missing");
        std::vector<std::string> wanted;
        for (std::size_t i = 1; i + (missing ? 1 : 0) < l.args.size(); ++i)
            wanted.push_back(machine_.local(l.args[i]));
        bool found = read_file(path(l.args[0]), text);
        std::string problem = check_log_lines(l.args[0], found, text, wanted, missing);
        if (!problem.empty()) fail(problem);
    }

    // Each start is recorded by the started program (execlog.exe) as its command line and, after a tab,
    // its current directory.
    void do_expect_exec(const ScenarioLine& l) {
        quiet();
        std::string text;
        read_file(machine_.exec_log(), text);
        if (l.args.size() == 1 && l.keyword(0, "none")) {
            if (!text.empty()) fail("expected no program start, but the starts were:\n" + text);
            return;
        }
        std::string want = machine_.local(l.args[0]);
        for (const auto& line : lines_of(text)) {
            size_t tab = line.find('\t');
            if (line.substr(0, tab) != want) continue;
            if (l.args.size() == 1) return;
            std::string dir = tab == std::string::npos ? "" : line.substr(tab + 1);
            if (same_nocase(strip_backslash(dir), strip_backslash(path(l.args[2])))) return;
            fail("expected the program start \"" + want + "\" in " + l.args[2] + ", but it ran in " + dir);
        }
        fail("expected a program start \"" + want + "\", but the starts were:\n" +
             (text.empty() ? "(none)" : text));
    }

    // A request to end the session is refused by windriver's own window and recorded; Windows tells the
    // windows whether the user logs off, not whether the machine restarts or shuts down.
    void do_expect_power(const ScenarioLine& l) {
        quiet();
        const auto& requests = power_requests();
        std::string have = requests.empty() ? "none" : requests.back();
        std::string want = l.args[0] == "reboot" || l.args[0] == "poweroff" ? "shutdown" : l.args[0];
        if (have != want) fail("expected the power request " + l.args[0] + ", but it is " + have);
    }

    // Program Manager's groups are folders of the Start menu's programs, its items the links in them.
    void do_expect_progman(const ScenarioLine& l) {
        quiet();
        bool want_missing = l.keyword(l.args.size() - 1, "missing");
        bool item_named = l.args.size() - (want_missing ? 1 : 0) == 2;
        std::string group = program_folder(l.args[0]);
        bool present = !group.empty() &&
                       (!item_named || GetFileAttributesA((group + "\\" + l.args[1] + ".lnk").c_str()) !=
                                           INVALID_FILE_ATTRIBUTES);
        if (present == !want_missing) return;
        std::string what = item_named ? "item \"" + l.args[1] + "\" in \"" + l.args[0] + "\""
                                      : "Program Manager group \"" + l.args[0] + "\"";
        fail(std::string(want_missing ? "expected no " : "expected the ") + what);
    }

    std::string base_;
    WineMachine& machine_;
    PlayOptions options_;
    Programs programs_;
    Desktop desktop_;
    std::optional<LiveDialog> pending_;
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
