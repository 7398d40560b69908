// The host entry point of a simulated Windows program: attach to the machine named by the environment,
// then call the program's WinMain with its Windows command line.
#include "platform/sim/driver/driver_link.h"
#include "platform/sim/sim.h"
#include "platform/sim/win/windows.h"

#include <cstdio>
#include <cstdlib>
#include <string>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR command_line, int show);

namespace {

std::string env(const char* name) {
    const char* v = std::getenv(name);
    return v ? v : "";
}

} // namespace

int main(int argc, char** argv) {
    std::string dir = env("WIN95SIM_MACHINE");
    if (dir.empty()) {
        std::fprintf(stderr,
                     "%s: no simulated machine: set WIN95SIM_MACHINE to a machine folder "
                     "(win95sim new DIR makes one), or start it with win95sim run\n",
                     argv[0]);
        return 2;
    }
    std::string error;
    if (!sim::attach(dir, env("WIN95SIM_MODULE"), env("WIN95SIM_CWD"), &error)) {
        std::fprintf(stderr, "%s: %s\n", argv[0], error.c_str());
        return 2;
    }
    if (!sim::connect_driver(&error)) {
        std::fprintf(stderr, "%s: %s\n", argv[0], error.c_str());
        return 2;
    }
    // The command line is what follows the program name, as Windows hands it to WinMain.
    std::string command_line;
    if (const char* cl = std::getenv("WIN95SIM_CMDLINE")) {
        command_line = cl;
    } else {
        for (int i = 1; i < argc; ++i)
            command_line += (i > 1 ? " " : "") + std::string(argv[i]);
    }
    int code = WinMain(GetModuleHandleA(nullptr), nullptr, command_line.data(), 1 /* SW_SHOWNORMAL */);
    sim::driver_notify_exit(code);
    sim::detach();
    return code;
}
