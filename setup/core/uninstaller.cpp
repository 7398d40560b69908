#include "setup/core/setup.h"

namespace {

const char* ArgumentFor(int exitChoice) {
    switch (exitChoice) {
    case 1:
        return " /d"; // shut down
    case 2:
        return " /r"; // restart
    default:
        return " /w"; // back to Windows, also for every cancelled run
    }
}

} // namespace

BOOL BuildUninstallerCommand(int exitChoice, char* command, std::size_t cap) {
    return JoinPathN(command, cap, {szDestDir, "uninst.exe", ArgumentFor(exitChoice)});
}

void StartUninstaller(int exitChoice) {
    char command[kPathCap + 16];
    if (!BuildUninstallerCommand(exitChoice, command, sizeof command)) return;
    // The uninstaller removes the temporary setup directory after this program has ended; a missing one
    // leaves it in place, which is all that can be done then.
    WinExec(command, SW_SHOW);
}
