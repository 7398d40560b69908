// The process's attachment to its machine.
#include "platform/sim/kernel/files.h"
#include "platform/sim/gdi/internal.h"
#include "platform/sim/kernel/global_memory.h"
#include "platform/sim/machine/machine.h"
#include "platform/sim/sim.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace sim {
namespace {

std::unique_ptr<Machine>& current() {
    static std::unique_ptr<Machine> m;
    return m;
}

} // namespace

bool attach(const std::string& dir, const std::string& module, const std::string& cwd, std::string* error) {
    reset_window_manager();
    forget_session_fonts();
    auto m = std::make_unique<Machine>();
    m->dir = dir;
    if (!load_settings(dir, m->settings, error)) return false;
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
    return *current();
}

} // namespace sim
