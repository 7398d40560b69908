// Probes of the system font that Windows boots with.
#include "setup/core/sysfont.h"

#include "common/bounded.h"
#include "setup/core/state.h"
#include "setup/resources/ids.h"

namespace {

const int kNameCap = 64;

// The file name part of a path: what follows its last backslash or drive colon.
const char* FileNamePart(const char* path) {
    const char* name = path;
    for (const char* p = path; *p; ++p)
        if (*p == '\\' || *p == ':') name = p + 1;
    return name;
}

} // namespace

void GetBootFontsEntry(char* entry, int cap) {
    char systemIni[kPathCap];
    char section[kNameCap];
    char key[kNameCap];
    CopyText(systemIni, szWindowsDir);
    LoadStringA(hInst, IDS_FILE_SYSTEM_INI, section, sizeof section);
    AppendText(systemIni, section);
    LoadStringA(hInst, IDS_SEC_BOOT, section, sizeof section);
    LoadStringA(hInst, IDS_KEY_FONTS_FON, key, sizeof key);
    GetPrivateProfileStringA(section, key, "", entry, cap, systemIni);
}

BOOL IsSmallSystemFont() {
    char entry[kPathCap];
    GetBootFontsEntry(entry, sizeof entry);
    return FileNamePart(entry)[0] != '8';
}
