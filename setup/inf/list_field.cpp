#include "common/bounded.h"
#include "setup/core/setup.h"
#include "setup/inf/inf.h"
#include "setup/messages/messages.h"
#include "setup/resources/ids.h"

#include <cstring>

namespace {

// The key names of SECTION of FILE into KEYS, each ended by a NUL and the list by a second one; a missing
// section gives DEFAULT_TEXT as its one name. The length of the list; 0 after message 13 when there is no
// name at all.
DWORD ReadKeyNames(const char* section, const char* defaultText, const char* file,
                   char (&keys)[kKeyListCap]) {
    DWORD got = GetPrivateProfileStringA(section, nullptr, "", keys, sizeof keys, file);
    if (got == 0 && defaultText) {
        // A missing section offers the default text as its one entry.
        std::size_t len = std::strlen(defaultText);
        if (len + 2 <= sizeof keys) {
            std::memcpy(keys, defaultText, len);
            keys[len] = keys[len + 1] = '\0';
            got = static_cast<DWORD>(len);
        }
    }
    if (got == 0) ShowSetupMessage(nullptr, MB_ICONHAND, IDS_CANT_READ_FILE, file);
    return got;
}

// The walk stays within what the query returned, however the list ends.
void AddKeyNames(HWND control, UINT addMessage, const char* keys, DWORD got) {
    for (const char* name = keys; name < keys + got && *name; name += std::strlen(name) + 1)
        SendMessageA(control, addMessage, 0, reinterpret_cast<LPARAM>(name));
}

} // namespace

BOOL GetListField(const char* list, int n, char* field, std::size_t fieldCap, char delimiter, BOOL report) {
    char work[kListFieldWorkCap];
    CopyText(work, list ? list : "");
    int number = 1;
    char* start = work;
    for (char* p = work;; ++p) {
        bool atEnd = *p == '\0';
        if (atEnd || *p == delimiter) {
            if (number == n) {
                *p = '\0';
                CopyTextN(field, fieldCap, start);
                return TRUE;
            }
            if (atEnd) break;
            ++number;
            while (p[1] == ' ')
                ++p;
            start = p + 1;
        }
    }
    if (fieldCap) field[0] = '\0';
    if (report) ShowSetupMessage(nullptr, MB_ICONHAND, IDS_NO_LIST_FIELD, n, list ? list : "");
    return FALSE;
}

BOOL FillComboFromSection(HWND combo, const char* section, const char* defaultText, const char* file) {
    char keys[kKeyListCap];
    DWORD got = ReadKeyNames(section, defaultText, file, keys);
    if (!got) return FALSE;
    AddKeyNames(combo, CB_ADDSTRING, keys, got);
    SendMessageA(combo, CB_SETCURSEL, 0, 0);
    return TRUE;
}

BOOL FillListFromSection(HWND list, const char* section, const char* defaultText, const char* file) {
    char keys[kKeyListCap];
    DWORD got = ReadKeyNames(section, defaultText, file, keys);
    if (!got) return FALSE;
    AddKeyNames(list, LB_ADDSTRING, keys, got);
    return TRUE;
}

BOOL ReadRequiredInfString(UINT sectionId, const char* key, char* value, DWORD cap) {
    if (ReadInfString(sectionId, key, value, cap) > 0) return TRUE;
    ShowSetupMessage(nullptr, MB_ICONHAND, IDS_CANT_READ_STRING, key,
                     TableText<kSectionNameCap>(sectionId).text);
    return FALSE;
}
