#include "loader/loader.h"

BOOL fSwitchA, fSwitchN, fSwitchE, fSwitchQ, fSwitchO;
char szLoaderWindowsDir[MAX_PATH];
char szLoaderSourceDir[MAX_PATH];
char szLoaderTempDir[MAX_PATH];
char szLoaderCommand[2 * MAX_PATH + 64];
HWND hwndLoader;

void ResetLoaderState() {
    fSwitchA = fSwitchN = fSwitchE = fSwitchQ = fSwitchO = FALSE;
    szLoaderWindowsDir[0] = szLoaderSourceDir[0] = szLoaderTempDir[0] = szLoaderCommand[0] = '\0';
    hwndLoader = nullptr;
}
