#include "common/bounded.h"
#include "setup/core/setup.h"
#include "setup/inf/inf.h"
#include "setup/messages/messages.h"
#include "setup/resources/ids.h"

DWORD ReadInfEntry(const char* section, const char* key, char* value, DWORD cap, const char* defaultText) {
    if (cap == 0) return 0;
    // A null key would ask for the key list, an empty one names no entry.
    if (!key || !key[0]) {
        CopyTextN(value, cap, defaultText);
        return static_cast<DWORD>(lstrlenA(value));
    }
    return GetPrivateProfileStringA(section, key, defaultText, value, cap, szInfFile);
}

DWORD ReadInfKeyList(const char* section, char* keys, DWORD cap) {
    if (cap < 2) return 0;
    keys[0] = keys[1] = '\0';
    return GetPrivateProfileStringA(section, nullptr, "", keys, cap, szInfFile);
}

BOOL ReadInfKeys(const char* section, char* keys, DWORD cap, BOOL report) {
    if (ReadInfKeyList(section, keys, cap) > 0 && keys[0]) return TRUE;
    if (report) ShowSetupMessage(hwndSetup, MB_ICONHAND, IDS_CANT_READ_FILE, szInfFile);
    return FALSE;
}

DWORD ReadInfString(UINT sectionId, const char* key, char* value, DWORD cap) {
    return ReadInfEntry(TableText<kSectionNameCap>(sectionId), key, value, cap);
}
