// The copied Cyrillic fonts made known to Windows through the registry: screen fonts under the display
// fonts of the current hardware configuration, plotter, printer and TrueType fonts under Fonts, the three
// system fonts of the display settings, and the font substitutes.
#include "common/bounded.h"
#include "setup/core/setup.h"
#include "setup/inf/inf.h"
#include "setup/messages/messages.h"
#include "setup/resources/ids.h"
#include "setup/sysconfig/sysconfig.h"

#include <cstring>
#include <iterator>

namespace {

constexpr int kFontFileCap = 20;   // a font file name of up to 19 characters
constexpr int kValueNameCap = 128; // a registry value name of up to 127 characters
constexpr int kValueNameField = 3; // the value name follows the second comma
constexpr int kSavedDataCap = 261;

// The sections that hold a screen, plotter and printer font of each family, in the order they are written.
const UINT kScreenFontSections[] = {IDS_SEC_SMALL_1251, IDS_SEC_HELV_1251, IDS_SEC_COUR_1251,
                                    IDS_SEC_TMSR_1251};
const UINT kDeviceFontSections[] = {IDS_SEC_HELV_1251, IDS_SEC_COUR_1251, IDS_SEC_TMSR_1251};

BOOL SetTextValueOrReport(const RegLocation& key, const char* name, const char* text) {
    if (RegSetValueChecked(key.hRoot, key.szSubKey, name, REG_SZ, reinterpret_cast<const BYTE*>(text),
                           static_cast<DWORD>(std::strlen(text))))
        return TRUE;
    ShowSetupMessage(hwndSetup, MB_ICONHAND, IDS_CANT_WRITE_ENTRY, name, text, key.szSubKey);
    return FALSE;
}

// Saves KEY's values when the uninstall information is kept; false when one of them could not be, and the
// key is then to be left as it is.
BOOL KeepKey(const RegLocation& key, UINT saveSectionId) {
    if (!fUninstallEnabled) return TRUE;
    LogConfigEntry("Saving key", key.szSubKey, nullptr);
    BOOL kept = TRUE;
    SaveRegistryKey(key.hRoot, key.szSubKey, TableText<>(saveSectionId), szUninstInf, &kept);
    return kept;
}

// Saves the display setting VALUENAME when the uninstall information is kept; false when it could not be.
BOOL KeepDisplaySetting(const char* valueName) {
    if (!fUninstallEnabled) return TRUE;
    BYTE previous[kSavedDataCap] = {};
    DWORD type = REG_SZ;
    // A value too long to be read whole cannot be kept (the read has said so), so it is not changed either.
    if (GetRegKeyValueEx(regDisplaySettings.hRoot, regDisplaySettings.szSubKey, valueName, &type, previous,
                         sizeof previous) == kRegMoreData)
        return FALSE;
    LogConfigEntry(" Saving", regDisplaySettings.szSubKey, valueName);
    return WriteEntryOrReport(szUninstInf, TableText<>(IDS_SAVE_SYSTEM_FONTS), valueName,
                              reinterpret_cast<const char*>(previous));
}

// Plotter and printer fonts belong to every configuration; screen fonts to the display's.
bool IsDeviceFontKey(const char* key) {
    for (UINT id : {IDS_VOL_ALL, IDS_VOL_PR2, IDS_VOL_PR9})
        if (lstrcmpiA(key, TableText<>(id)) == 0) return true;
    return false;
}

// Splits a font entry "file,disk,value name": the file name and everything behind the second comma, blanks
// included. False when the entry has fewer than two commas.
bool SplitFontEntry(const char* entry, char* file, char* valueName) {
    const char* firstComma = std::strchr(entry, ',');
    if (!firstComma) return false;
    const char* disk = firstComma + 1;
    while (*disk == ' ')
        ++disk;
    const char* secondComma = std::strchr(disk, ',');
    if (!secondComma) return false;
    std::size_t fileLength = static_cast<std::size_t>(firstComma - entry);
    CopyTextN(file, fileLength + 1 < kFontFileCap ? fileLength + 1 : kFontFileCap, entry);
    CopyTextN(valueName, kValueNameCap, secondComma + 1);
    return true;
}

// DIRECTORY, a backslash when it has none at its end, and FILE; FILE alone without a directory.
void FontData(const char* directory, const char* file, char* data, std::size_t cap) {
    CopyTextN(data, cap, directory ? directory : "");
    if (directory && data[0]) AddBackslashN(data, cap);
    AppendTextN(data, cap, file);
}

void RegisterFontsOf(const UINT* sections, std::size_t count, const char* key, const char* directory) {
    for (std::size_t i = 0; i < count; ++i)
        RegisterFontFromSection(TableText<>(sections[i]), key, directory);
}

void RegisterDeviceFonts(UINT keyId) {
    RegisterFontsOf(kDeviceFontSections, std::size(kDeviceFontSections), TableText<>(keyId), szDestDir);
}

// A section name such as "sysfonts.1251": the stem of STEMID, a point and CODEPAGE.
void CodePageSection(UINT stemId, const char* codePage, char* section, std::size_t cap) {
    CopyTextN(section, cap, TableText<>(stemId));
    AppendTextN(section, cap, ".");
    AppendTextN(section, cap, codePage);
}

BOOL WriteDisplaySettingOf(UINT valueId, UINT stemId, const char* codePage) {
    char section[kKeyListCap];
    CodePageSection(stemId, codePage, section, sizeof section);
    return WriteDisplaySetting(TableText<>(valueId), section, szFontRes);
}

} // namespace

BOOL WriteFontRegistry() {
    // A key whose previous values the uninstaller would not find is left as it is.
    BOOL fontsKept = KeepKey(regFonts, IDS_SAVE_FONTS);
    BOOL displayFontsKept = KeepKey(regDisplayFonts, IDS_SAVE_DISPLAY_FONTS);
    if (fScreenFonts && displayFontsKept)
        RegisterFontsOf(kScreenFontSections, std::size(kScreenFontSections), szFontRes, nullptr);
    if (!fontsKept) return TRUE;
    if (fPlotterFonts) RegisterDeviceFonts(IDS_VOL_ALL);
    if (fPrinterFonts && f24PinPrinterFonts) RegisterDeviceFonts(IDS_VOL_PR2);
    if (fPrinterFonts && f9PinPrinterFonts) RegisterDeviceFonts(IDS_VOL_PR9);
    if (fTrueTypeFonts) RegisterTrueTypeFonts(TableText<>(IDS_SEC_TTF_1251), szDestDir);
    return TRUE;
}

BOOL RegisterFontFromSection(const char* section, const char* key, const char* directory) {
    const RegLocation& target = IsDeviceFontKey(key) ? regFonts : regDisplayFonts;
    char entry[kConfigValueCap], file[kFontFileCap], valueName[kValueNameCap];
    ReadInfEntry(section, key, entry, sizeof entry);
    // Without its file and value name an entry would register nonsense: it is reported instead.
    if (!SplitFontEntry(entry, file, valueName)) {
        ShowSetupMessage(hwndSetup, MB_ICONHAND, IDS_NO_LIST_FIELD, kValueNameField, entry);
        return FALSE;
    }
    char data[kPathCap + kFontFileCap];
    FontData(directory, file, data, sizeof data);
    return SetTextValueOrReport(target, valueName, data);
}

BOOL RegisterTrueTypeFonts(const char* section, const char* directory) {
    char keys[kKeyListCap];
    if (!ReadInfKeys(section, keys, sizeof keys, TRUE)) return FALSE;
    for (const char* name = keys; *name; name += std::strlen(name) + 1) {
        char entry[kShortValueCap], file[kShortValueCap];
        ReadInfEntry(section, name, entry, sizeof entry);
        GetListField(entry, 1, file, sizeof file, chListDelimiter, FALSE);
        char data[kPathCap + kShortValueCap];
        CopyText(data, directory);
        AppendText(data, file);
        if (!SetTextValueOrReport(regFonts, name, data)) return FALSE;
    }
    return TRUE;
}

BOOL WriteSystemFontSettings() {
    WriteDisplaySettingOf(IDS_KEY_FONTS_FON, IDS_SEC_SYSFONTS, szSystemFontsCodePage);
    WriteDisplaySettingOf(IDS_KEY_FIXEDFON_FON, IDS_SEC_FIXEDFONTS, szSystemFontsCodePage);
    WriteDisplaySettingOf(IDS_KEY_OEMFONTS_FON, IDS_SEC_OEMFONTS, szDosCodePage);
    return TRUE;
}

BOOL WriteDisplaySetting(const char* valueName, const char* section, const char* key) {
    if (!KeepDisplaySetting(valueName)) return FALSE;
    char entry[kConfigValueCap], file[kConfigValueCap];
    ReadInfEntry(section, key, entry, sizeof entry);
    GetListField(entry, 1, file, sizeof file, chListDelimiter, FALSE);
    // The log names [boot], where these values stood before the registry.
    LogConfigEntry("Writing", TableText<>(IDS_SEC_BOOT), valueName);
    return SetTextValueOrReport(regDisplaySettings, valueName, file);
}

BOOL WriteFontSubstitutes() {
    if (!KeepKey(regFontSubstitutes, IDS_SAVE_FONT_SUBSTITUTES)) return FALSE;
    char keys[kKeyListCap];
    if (!ReadInfKeys(TableText<>(IDS_SEC_FONT_SUBSTITUTES), keys, sizeof keys, TRUE)) return FALSE;
    int failures = 0;
    for (const char* face = keys; *face; face += std::strlen(face) + 1) {
        char substitute[kShortValueCap];
        ReadInfEntry(TableText<>(IDS_SEC_FONT_SUBSTITUTES), face, substitute, sizeof substitute);
        if (!SetTextValueOrReport(regFontSubstitutes, face, substitute)) ++failures;
    }
    return failures == 0;
}
