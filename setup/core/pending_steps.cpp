// Steps of the installation that this program does not have yet. Each answers as a user who leaves Setup
// would, so a run that reaches one ends as cancelled; each moves to its own file when it is written.
#include "setup/copy/copy.h"
#include "setup/core/setup.h"
#include "setup/dialogs/wizard.h"

WORD RunSetupDirDialog() {
    return kDialogExit;
}

BOOL SetDefaultCountryAndPath(const char*) {
    return FALSE;
}

WORD RunSetupOptionsDialog() {
    return kDialogExit;
}

BOOL CheckDiskSpace() {
    return FALSE;
}

BOOL CopyFiles() {
    return FALSE;
}

BOOL CopyServerDisk(const char*, BOOL) {
    return FALSE;
}

BOOL CreateServerFontFiles(const char*) {
    return FALSE;
}
