// win95sim: makes simulated Windows 95 machines and shows what they hold.
#include "platform/sim/machine.h"
#include "platform/sim/sim.h"
#include "tools/win95sim/show.h"

#include <cstdio>
#include <string>

namespace {

int usage() {
    std::fprintf(stderr, "usage:\n"
                         "  win95sim new DIR     make a default Windows 95 machine in DIR\n"
                         "  win95sim show DIR    show what the machine in DIR holds\n");
    return 2;
}

int cmd_new(const std::string& dir) {
    std::string error;
    if (!sim::create_default_machine(dir, &error)) {
        std::fprintf(stderr, "win95sim: %s\n", error.c_str());
        return 1;
    }
    std::printf("A new Windows 95 machine is in %s\n", dir.c_str());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) return usage();
    std::string cmd = argv[1];
    if (cmd == "new" && argc == 3) return cmd_new(argv[2]);
    if (cmd == "show" && argc == 3) return show_machine(argv[2]);
    return usage();
}
