// The previous settings kept for the uninstaller: each entry, win.ini section and registry key is copied
// into uninst.inf before it is changed, and control.inf as a whole into control.old. Only a first
// installation keeps them (fUninstallEnabled), so they always hold the machine as it was before the product.
#include "common/bounded.h"
#include "setup/core/setup.h"
#include "setup/messages/messages.h"
#include "setup/resources/ids.h"
#include "setup/sysconfig/sysconfig.h"

#include <cstring>

namespace {

constexpr int kSectionValueCap = 120;
constexpr DWORD kRegistryTextCap = 1024;

// Enumerates the values of KEY from the first until the first that cannot be read (normally the end),
// copying each as text; false when one could not be written.
bool SaveRegistryValues(HKEY key, const char* saveSection, const char* file) {
    bool all = true;
    for (DWORD index = 0;; ++index) {
        char name[kRegistryTextCap];
        BYTE data[kRegistryTextCap + 1]; // one more byte: data that fills the buffer still ends in a NUL
        std::memset(name, 0, sizeof name);
        std::memset(data, 0, sizeof data);
        DWORD nameSize = kRegistryTextCap, dataSize = kRegistryTextCap, type = 0;
        if (RegEnumValueA(key, index, name, &nameSize, nullptr, &type, data, &dataSize) != ERROR_SUCCESS)
            return all;
        // Whatever the type, the bytes up to the first zero are kept as the text.
        if (!WriteEntryOrReport(file, saveSection, name, reinterpret_cast<const char*>(data))) all = false;
    }
}

void ControlFilePath(UINT nameId, char* path, std::size_t cap) {
    CopyTextN(path, cap, szSystemDir);
    AppendTextN(path, cap, TableText<>(nameId));
}

// Copies SOURCE to TARGET through the expansion library; true when the whole file was written.
bool CopyExpanded(char* source, char* target) {
    OFSTRUCT sourceInfo{}, targetInfo{};
    LZStart();
    INT from = LZOpenFileA(source, &sourceInfo, OF_READ);
    INT to = from >= 0 ? LZOpenFileA(target, &targetInfo, OF_CREATE) : -1;
    LONG copied = to >= 0 ? CopyLZFile(from, to) : -1;
    if (to >= 0) LZClose(to);
    if (from >= 0) LZClose(from);
    LZDone();
    // A copy cut short would later be taken for the whole previous file: it is not kept.
    if (copied < 0 && to >= 0) DeleteFileA(target);
    return copied >= 0;
}

} // namespace

BOOL WriteEntryOrReport(const char* file, const char* section, const char* key, const char* value) {
    if (file && file[0] && WritePrivateProfileStringA(section, key, value, file)) return TRUE;
    ShowSetupMessage(hwndSetup, MB_ICONHAND, IDS_CANT_WRITE_ENTRY, key ? key : "", value ? value : "",
                     section);
    return FALSE;
}

BOOL SavePreviousEntry(const char* file, const char* section, const char* key, const char* saveSection,
                       DWORD readCap) {
    if (!fUninstallEnabled) return TRUE;
    char previous[kConfigValueCap];
    if (readCap > sizeof previous) readCap = sizeof previous;
    // A missing entry is kept as an empty one, so the uninstaller knows it was not there.
    previous[0] = '\0';
    GetPrivateProfileStringA(section, key, "", previous, readCap, file);
    LogConfigEntry(" Saving", saveSection, key);
    return WriteEntryOrReport(szUninstInf, saveSection, key, previous);
}

BOOL WriteNewEntry(const char* file, const char* section, const char* key, const char* value) {
    LogConfigEntry("Writing", section, key);
    return WriteEntryOrReport(file, section, key, value);
}

BOOL SaveEntry(const char* file, const char* section, const char* key, const char* saveSection,
               const char* value, DWORD readCap) {
    if (!SavePreviousEntry(file, section, key, saveSection, readCap)) return FALSE;
    return WriteNewEntry(file, section, key, value);
}

BOOL SaveProfileSection(const char* section, const char* saveSection, const char* file, BOOL* kept) {
    TableText<> winIni(idWinIni);
    char keys[kConfigValueCap];
    if (GetPrivateProfileStringA(section, nullptr, "", keys, sizeof keys, winIni) == 0 || !keys[0])
        return FALSE;
    for (const char* key = keys; *key; key += std::strlen(key) + 1) {
        char value[kSectionValueCap];
        GetPrivateProfileStringA(section, key, "", value, sizeof value, winIni);
        if (!WriteEntryOrReport(file, saveSection, key, value) && kept) *kept = FALSE;
    }
    return TRUE;
}

BOOL SaveRegistryKey(HKEY root, const char* subKey, const char* saveSection, const char* file, BOOL* kept) {
    HKEY key;
    if (RegOpenKeyExA(root, subKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return FALSE;
    if (!SaveRegistryValues(key, saveSection, file) && kept) *kept = FALSE;
    RegCloseKey(key);
    return TRUE;
}

BOOL BackupControlInf() {
    char source[kPathCap], target[kPathCap];
    ControlFilePath(idControlInf, source, sizeof source);
    ControlFilePath(IDS_FILE_CONTROL_OLD, target, sizeof target);
    if (CopyExpanded(source, target)) return TRUE;
    ShowSetupMessage(hwndSetup, MB_ICONHAND, IDS_CANT_BACKUP, source, target);
    return FALSE;
}
