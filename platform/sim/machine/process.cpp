// The process's attachment to its machine.
#include "platform/sim/kernel/files.h"
#include "platform/sim/gdi/internal.h"
#include "platform/sim/kernel/global_memory.h"
#include "platform/sim/machine/machine.h"
#include "platform/sim/sim.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

namespace sim {
namespace {

std::unique_ptr<Machine>& current() {
    static std::unique_ptr<Machine> m;
    return m;
}

// A stat of machine.ini on every call would slow the calls that look at the settings per character.
constexpr long long kSettingsCheckMs = 5;

long long now_ms() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

std::string settings_file(const Machine& m) {
    return (std::filesystem::path(m.dir) / "machine.ini").string();
}

// Reads machine.ini again when it changed; the bytes this process wrote to each drive still count. A file
// that cannot be read keeps the settings as they were.
void refresh_settings(Machine& m) {
    long long now = now_ms();
    if (m.settings_checked_ms != 0 && now - m.settings_checked_ms < kSettingsCheckMs) return;
    m.settings_checked_ms = now;
    HostFileStamp stamp = host_file_stamp(settings_file(m));
    if (stamp == m.settings_stamp) return;
    m.settings_stamp = stamp;
    auto fresh = std::make_unique<Settings>();
    if (!load_settings(m.dir, *fresh, nullptr)) return;
    for (auto& [letter, drive] : fresh->drives) {
        auto old = m.settings.drives.find(letter);
        if (old != m.settings.drives.end()) drive.written = old->second.written;
    }
    m.retired_settings.push_back(std::make_unique<Settings>(std::move(m.settings)));
    m.settings = std::move(*fresh);
}

} // namespace

void recheck_settings() {
    if (current()) current()->settings_checked_ms = 0;
}

bool attach(const std::string& dir, const std::string& module, const std::string& cwd, std::string* error) {
    reset_window_manager();
    forget_session_fonts();
    auto m = std::make_unique<Machine>();
    m->dir = dir;
    m->settings_stamp = host_file_stamp(settings_file(*m));
    if (!load_settings(dir, m->settings, error)) return false;
    m->settings_checked_ms = now_ms();
    if (!module.empty()) m->module_path = module;
    current() = std::move(m);
    std::string cd = cwd.empty() ? std::string("C:\\") : full_path(cwd);
    if (cd.empty()) {
        current().reset();
        if (error) *error = "current directory '" + cwd + "' is not on a drive of the machine";
        return false;
    }
    if (cd.back() != '\\') cd += '\\';
    current()->current_dir = cd;
    std::string full_module = full_path(current()->module_path);
    if (!full_module.empty()) current()->module_path = full_module;
    return true;
}

// Leaving the machine ends the process: its files are closed and its memory freed.
void detach() {
    reset_window_manager();
    forget_session_fonts();
    close_all_files();
    free_all_global_memory();
    current().reset();
}
bool attached() {
    return current() != nullptr;
}
bool is_attached() {
    return current() != nullptr;
}
const std::string& machine_dir() {
    return machine().dir;
}

Machine& machine() {
    if (!current()) {
        std::fprintf(stderr, "win95sim: this program is not attached to a simulated machine "
                             "(run it with win95sim, or set WIN95SIM_MACHINE)\n");
        std::abort();
    }
    refresh_settings(*current());
    return *current();
}

} // namespace sim
