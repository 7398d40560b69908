// The TrueType fonts: each copied font is added to the running system's font table at once; the system's
// configuration learns of them later, with the rest of the configuration.
#include "common/bounded.h"
#include "setup/copy/copy.h"
#include "setup/copy/copy_common.h"
#include "setup/core/setup.h"
#include "setup/inf/inf.h"
#include "setup/messages/messages.h"
#include "setup/resources/ids.h"

namespace {

constexpr int kValueCap = 1024;
constexpr int kDiskCap = 8;

bool CopyAndLoadFont(const char* value, const char* fileName, int field, const char* destDir) {
    char disk[kDiskCap];
    if (!GetListField(value, field + 1, disk, sizeof disk, chListDelimiter, TRUE)) return false;
    char path[kPathCap];
    bool named = BuildFilePath(path, sizeof path, destDir, fileName) != FALSE;
    // A font that stays from an earlier installation is in the table already.
    if (named && !fReplaceOldFiles && FileExists(path)) {
        nProgressDone += static_cast<int>(GetFileSizeByName(path));
        return true;
    }
    if (CopySetupFile(disk, szSourceDir, destDir, fileName) == 0) return false;
    // Also a font the user chose to skip is offered: an older copy of it may be there.
    if (!named || AddFontResourceA(path) == 0) LogLine(".TTF not loaded.");
    return true;
}

} // namespace

BOOL ForEachFontEntry(UINT sectionId, int field, const char* destDir, FontEntryHandler handle) {
    char section[128];
    LoadText(sectionId, section, sizeof section);
    char keys[kKeyListCap];
    DWORD length = 0;
    if (!ReadKeyList(section, keys, sizeof keys, &length)) return FALSE;
    if (length == 0) {
        ShowSetupMessage(hwndSetup, MB_ICONHAND, IDS_CANT_READ_FILE, szInfFile);
        return FALSE;
    }
    for (const char* key = keys; *key; key += lstrlenA(key) + 1) {
        char value[kValueCap], fileName[kPathCap];
        ReadInfEntry(section, key, value, sizeof value);
        if (!GetListField(value, field, fileName, sizeof fileName, chListDelimiter, TRUE)) return FALSE;
        if (!fileName[0]) return TRUE; // the entries behind an empty one are not handled
        if (!handle(value, fileName, field, destDir)) return FALSE;
    }
    return TRUE;
}

BOOL CopyTrueTypeFonts(UINT sectionId, int field, const char* destDir) {
    return ForEachFontEntry(sectionId, field, destDir, CopyAndLoadFont);
}
