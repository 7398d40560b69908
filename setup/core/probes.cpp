#include "setup/core/setup.h"
#include "setup/inf/inf.h"
#include "setup/messages/messages.h"
#include "setup/resources/ids.h"

#include <cstdlib>
#include <cstring>

namespace {

constexpr int kNameCap = 64;
constexpr int kEntryCap = 260;
constexpr int kDosCodePageDefault = 437;
constexpr int kPrinterValueCap = 120;

// The parts of a file path: directory (without the drive, with its trailing backslash), name and extension.
struct PathParts {
    char dir[kEntryCap];
    char name[kEntryCap];
    char ext[kEntryCap];
};

PathParts SplitPath(const char* path) {
    PathParts parts{};
    if (path[0] && path[1] == ':') path += 2;
    const char* slash = std::strrchr(path, '\\');
    const char* file = slash ? slash + 1 : path;
    CopyTextN(parts.dir,
              static_cast<std::size_t>(file - path) + 1 < sizeof parts.dir
                  ? static_cast<std::size_t>(file - path) + 1
                  : sizeof parts.dir,
              path);
    const char* dot = std::strrchr(file, '.');
    std::size_t nameLen = dot ? static_cast<std::size_t>(dot - file) : std::strlen(file);
    CopyTextN(parts.name, nameLen + 1 < sizeof parts.name ? nameLen + 1 : sizeof parts.name, file);
    CopyText(parts.ext, dot ? dot : "");
    return parts;
}

void WindowsFilePath(UINT fileId, char* path, std::size_t cap) {
    char name[kNameCap];
    LoadText(fileId, name, sizeof name);
    CopyTextN(path, cap, szWindowsDir);
    AppendTextN(path, cap, name);
}

void ReadSystemIni(UINT sectionId, UINT keyId, char* out, std::size_t cap) {
    char file[kPathCap + kNameCap], section[kNameCap], key[kNameCap];
    WindowsFilePath(IDS_FILE_SYSTEM_INI, file, sizeof file);
    LoadText(sectionId, section, sizeof section);
    LoadText(keyId, key, sizeof key);
    GetPrivateProfileStringA(section, key, "", out, static_cast<DWORD>(cap), file);
}

// The font file named without a directory lies in the system directory; its size tells the Cyrillic ones.
BOOL SystemDirFontShowsCyrillic(const PathParts& parts) {
    char path[kPathCap + kEntryCap];
    CopyText(path, szSystemDir);
    AppendText(path, parts.name);
    AppendText(path, parts.ext);
    DWORD size = GetFileSizeByName(path);
    switch (parts.name[0]) {
    case 'e':
        return size == 6528;
    case 'v':
        return size == 7872;
    case '8':
        return size == 10960;
    default:
        return FALSE;
    }
}

// 9 or 24 for a printer that setup1.inf lists in [printers]; 0 for any other.
int PinsOfPrinter(const char* printer, const char* section) {
    char value[kPrinterValueCap];
    if (!GetPrivateProfileStringA(section, printer, "", value, sizeof value, szInfFile)) return 0;
    char field[kPrinterValueCap];
    if (!GetListField(value, 1, field, sizeof field, chListDelimiter, TRUE)) return 0;
    if (lstrcmpiA(field, "PR2") == 0) return 24;
    if (lstrcmpiA(field, "PR9") == 0) return 9;
    return 0;
}

} // namespace

void GetBootFontsEntry(char* text, std::size_t cap) {
    ReadSystemIni(IDS_SEC_BOOT, IDS_KEY_FONTS_FON, text, cap);
}

BOOL IsSmallSystemFont() {
    char entry[kEntryCap];
    GetBootFontsEntry(entry, sizeof entry);
    return SplitPath(entry).name[0] != '8';
}

BOOL SystemFontShowsCyrillic() {
    char entry[kEntryCap];
    GetBootFontsEntry(entry, sizeof entry);
    PathParts parts = SplitPath(entry);
    if (!parts.dir[0]) return SystemDirFontShowsCyrillic(parts);
    StripBackslash(parts.dir);
    std::size_t len = std::strlen(parts.dir);
    return len > 0 && parts.dir[len - 1] == '1';
}

int GetCurrentDosCodePage() {
    char value[kEntryCap];
    ReadSystemIni(IDS_SEC_KEYBOARD, IDS_KEY_OEMANSI_BIN, value, sizeof value);
    if (!value[0]) return kDosCodePageDefault;
    char digits[4] = {};
    if (std::strlen(value) > 4) CopyText(digits, value + 4); // characters 5 to 7
    return std::atoi(digits);
}

int DetectDotMatrixPrinters() {
    char file[kPathCap + kNameCap], devices[kNameCap], printers[kNameCap];
    WindowsFilePath(IDS_FILE_WIN_INI, file, sizeof file);
    LoadText(IDS_SEC_DEVICES, devices, sizeof devices);
    LoadText(IDS_SEC_PRINTERS, printers, sizeof printers);
    char names[kKeyListCap];
    if (!GetPrivateProfileStringA(devices, nullptr, "", names, sizeof names, file)) return 0;
    bool nine = false, twentyFour = false;
    for (const char* name = names; *name; name += std::strlen(name) + 1) {
        int pins = PinsOfPrinter(name, printers);
        nine = nine || pins == 9;
        twentyFour = twentyFour || pins == 24;
    }
    return (nine ? 9 : 0) + (twentyFour ? 24 : 0);
}
