#include "setup/core/state.h"
#include "setup/inf/inf.h"
#include "setup/messages/messages.h"
#include "setup/resources/ids.h"

DWORD ReadInfEntry(const char* section, const char* key, char* value, DWORD cap) {
    if (cap == 0) return 0;
    value[0] = '\0';
    // A null key would ask for the key list, an empty one names no entry.
    if (!key || !key[0]) return 0;
    return GetPrivateProfileStringA(section, key, "", value, cap, szInfFile);
}

BOOL ReadInfKeys(const char* section, char* keys, DWORD cap, BOOL report) {
    if (cap < 2) return FALSE;
    keys[0] = keys[1] = '\0';
    if (GetPrivateProfileStringA(section, nullptr, "", keys, cap, szInfFile) > 0 && keys[0]) return TRUE;
    if (report) ShowSetupMessage(hwndSetup, MB_ICONHAND, IDS_CANT_READ_FILE, szInfFile);
    return FALSE;
}
