// Starting programs, ending the session, windows of running programs and the keyboard notice. Each
// leaves a record in the machine folder (exec.log, power.log, posts.log, keyboard.log), which win95sim
// shows and scenarios check.
#include "platform/sim/driver/driver_link.h"
#include "platform/sim/machine/machine.h"
#include "platform/sim/shell/internal.h"
#include "platform/sim/machine/textfile.h"
#include "platform/sim/user/internal.h"
#include "platform/sim/win/windows.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <spawn.h>
#include <sstream>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;

namespace sim {
namespace {

const char kStubMagic[] = "WIN95SIM PROGRAM ";
// Foreign windows are handles of their own range, one per running program of the machine.
const std::uintptr_t kForeignBase = 0x7F000000;

std::string machine_file(const char* name) {
    return (fs::path(machine().dir) / name).string();
}

bool file_exists(const std::string& full) {
    std::error_code ec;
    std::string host = host_path(full);
    return !host.empty() && fs::is_regular_file(host, ec);
}

// Splits "PROGRAM ARGS" into the program and the command line that its WinMain receives.
void split_command(const std::string& cmd, std::string& program, std::string& args) {
    size_t b = cmd.find_first_not_of(" \t");
    if (b == std::string::npos) {
        program.clear();
        args.clear();
        return;
    }
    size_t e;
    if (cmd[b] == '"') {
        e = cmd.find('"', b + 1);
        program = cmd.substr(b + 1, e == std::string::npos ? std::string::npos : e - b - 1);
        e = e == std::string::npos ? cmd.size() : e + 1;
    } else {
        e = cmd.find_first_of(" \t", b);
        if (e == std::string::npos) e = cmd.size();
        program = cmd.substr(b, e - b);
    }
    size_t a = cmd.find_first_not_of(" \t", e);
    args = a == std::string::npos ? "" : cmd.substr(a);
}

// Finds the program file as Windows does: a path as given, a bare name in the current, Windows and
// system directories; ".EXE" is added to a name without extension.
std::string locate_program(std::string name) {
    std::string base =
        name.substr(name.find_last_of("\\/:") == std::string::npos ? 0 : name.find_last_of("\\/:") + 1);
    if (base.find('.') == std::string::npos) name += ".EXE";
    if (name.find_first_of("\\/:") != std::string::npos) {
        std::string full = full_path(name);
        return file_exists(full) ? full : "";
    }
    for (const std::string& dir : {machine().current_dir, windows_dir() + "\\", system_dir() + "\\"}) {
        std::string full = full_path(dir + name);
        if (file_exists(full)) return full;
    }
    return "";
}

std::string host_program_path(const std::string& name) {
    std::vector<std::string> dirs;
    if (const char* env = std::getenv("WIN95SIM_PROGRAMS")) {
        std::stringstream ss(env);
        for (std::string d; std::getline(ss, d, ':');)
            if (!d.empty()) dirs.push_back(d);
    }
    std::error_code ec;
    fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (!ec) dirs.push_back(self.parent_path().string());
    for (const auto& d : dirs) {
        fs::path p = fs::path(d) / name;
        if (fs::is_regular_file(p, ec) && access(p.c_str(), X_OK) == 0) return p.string();
    }
    return "";
}

std::string without_trailing_backslash(const std::string& dir) {
    return dir.size() > 3 && dir.back() == '\\' ? dir.substr(0, dir.size() - 1) : dir;
}

UINT spawn(const std::string& host, const std::string& module, const std::string& args, long* child) {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        std::string v = *e;
        if (v.rfind("WIN95SIM_MODULE=", 0) && v.rfind("WIN95SIM_CWD=", 0) &&
            v.rfind("WIN95SIM_CMDLINE=", 0) && v.rfind("WIN95SIM_MACHINE=", 0))
            env.push_back(v);
    }
    env.push_back("WIN95SIM_MACHINE=" + machine().dir);
    env.push_back("WIN95SIM_MODULE=" + module);
    env.push_back("WIN95SIM_CWD=" + without_trailing_backslash(machine().current_dir));
    env.push_back("WIN95SIM_CMDLINE=" + args);
    std::vector<char*> envp;
    for (auto& v : env)
        envp.push_back(v.data());
    envp.push_back(nullptr);
    std::string arg0 = host;
    char* argv[] = {arg0.data(), nullptr};
    pid_t pid;
    std::fflush(nullptr);
    if (posix_spawn(&pid, host.c_str(), nullptr, nullptr, argv, envp.data()) != 0) return 0;
    if (child) *child = pid;
    return 33;
}

const char* power_request(UINT flags) {
    if (flags & EWX_POWEROFF) return "poweroff";
    if (flags & EWX_REBOOT) return "reboot";
    if (flags & EWX_SHUTDOWN) return "shutdown";
    return "logoff";
}

bool same_or_null(const char* wanted, const std::string& have) {
    return !wanted || equal_nocase(wanted, have);
}

} // namespace

std::string program_stub(const std::string& host_program) {
    return kStubMagic + host_program + "\r\n";
}

std::string stub_program(const std::string& bytes) {
    if (bytes.rfind(kStubMagic, 0) != 0) return "";
    std::string rest = bytes.substr(sizeof kStubMagic - 1);
    rest = rest.substr(0, rest.find_first_of("\r\n"));
    return rest.empty() ? "none" : rest;
}

bool is_foreign_window(HWND hwnd) {
    auto v = reinterpret_cast<std::uintptr_t>(hwnd);
    return v >= kForeignBase && v < kForeignBase + machine().settings.running.size();
}

BOOL post_to_foreign_window(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    if (!is_foreign_window(hwnd)) return FALSE;
    const auto& p = machine().settings.running[reinterpret_cast<std::uintptr_t>(hwnd) - kForeignBase];
    std::ostringstream line;
    line << p.title << '\t' << p.window_class << '\t' << msg << '\t' << wparam << '\t' << lparam;
    return append_host_line(machine_file("posts.log"), line.str()) ? TRUE : FALSE;
}

unsigned start_program(const std::string& command_line, long* pid, bool record) {
    if (pid) *pid = 0;
    std::string program, args;
    split_command(command_line, program, args);
    if (program.empty()) return ERROR_FILE_NOT_FOUND;
    std::string full = locate_program(program);
    if (full.empty()) return ERROR_FILE_NOT_FOUND;
    std::string bytes;
    read_host_file(host_path(full), bytes);
    std::string name = stub_program(bytes.substr(0, 200));
    if (name.empty()) return ERROR_BAD_FORMAT;
    UINT result = 33;
    if (name != "none") {
        std::string host = host_program_path(name);
        if (host.empty()) {
            std::fprintf(stderr, "win95sim: %s names the program '%s', which is not built here\n",
                         full.c_str(), name.c_str());
            return ERROR_FILE_NOT_FOUND;
        }
        result = spawn(host, full, args, pid);
        if (result == 0) return 0;
    }
    if (record)
        append_host_line(machine_file("exec.log"),
                         command_line + "\t" + without_trailing_backslash(machine().current_dir));
    return result;
}

} // namespace sim

using namespace sim;

UINT WINAPI WinExec(LPCSTR lpCmdLine, UINT) {
    long pid = 0;
    UINT result = start_program(lpCmdLine ? lpCmdLine : "", &pid, true);
    if (result > 31 && pid) driver_notify_spawned(pid);
    return result;
}

BOOL WINAPI ExitWindowsEx(UINT uFlags, DWORD) {
    return append_host_line((std::filesystem::path(machine().dir) / "power.log").string(),
                            power_request(uFlags))
               ? TRUE
               : FALSE;
}

HWND WINAPI FindWindowA(LPCSTR lpClassName, LPCSTR lpWindowName) {
    const auto& running = machine().settings.running;
    for (std::size_t i = 0; i < running.size(); ++i)
        if (same_or_null(lpClassName, running[i].window_class) &&
            same_or_null(lpWindowName, running[i].title))
            return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(0x7F000000 + i));
    // Then this program's own top-level windows, topmost first.
    for (HWND hwnd : sim::user::top_levels()) {
        const sim::user::Window* w = sim::user::find(hwnd);
        if (w && w->cls && same_or_null(lpClassName, w->cls->name) && same_or_null(lpWindowName, w->text))
            return hwnd;
    }
    return nullptr;
}

int WINAPI ToAscii(UINT uVirtKey, UINT uScanCode, const BYTE*, LPWORD lpChar, UINT uFlags) {
    std::ostringstream line;
    line << "ToAscii\t" << uVirtKey << '\t' << uScanCode << '\t' << uFlags;
    append_host_line((std::filesystem::path(machine().dir) / "keyboard.log").string(), line.str());
    if (lpChar) *lpChar = 0;
    return 0; // no character for this key
}
