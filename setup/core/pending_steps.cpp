// Steps of the installation that this program does not have yet. Each answers as a user who leaves Setup
// would, so a run that reaches one ends as cancelled; each moves to its own file when it is written.
#include "setup/core/setup.h"
#include "setup/dialogs/wizard.h"
#include "setup/progman/progman.h"
#include "setup/sysconfig/sysconfig.h"

BOOL UpdateSystemConfiguration() {
    return FALSE;
}

void WriteProductSettingsFile() {}

BOOL CreateProgmanGroup() {
    return FALSE;
}

int ShowExitDialog(int) {
    return 0;
}

int ShowExitServerDialog() {
    return 0;
}
