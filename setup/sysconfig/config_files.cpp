// The edits of the Windows profile files: the national settings of win.ini, the language and keyboard
// libraries and the DOS-window fonts of system.ini, and the product's layouts in the Control Panel's
// country list of control.inf. Every value comes from setup1.inf or the setup state.
#include "common/bounded.h"
#include "setup/core/lang_table.h"
#include "setup/core/setup.h"
#include "setup/inf/inf.h"
#include "setup/messages/messages.h"
#include "setup/resources/ids.h"
#include "setup/sysconfig/sysconfig.h"

#include <cstring>

namespace {

constexpr char kIntlDelimiter = '!';
constexpr int kLanguageField = 4; // of the country's line in "default.setup"
constexpr int kLibraryField = 2;  // of a layout's line in "Keyboard Layouts"
constexpr int kFontNameStemLength = 5;
const char kDefaultLanguage[] = "English (American)";
const char kControlLanguage[] = "RUS";

// ---- National settings --------------------------------------------------------------------------------

// Writes the fields of the country's line, in their order, as the [intl] keys; false at the first field
// that is missing or cannot be written (the earlier ones stay written).
BOOL WriteIntlFields(const char* winIni, const char* intl) {
    char line[kConfigValueCap];
    ReadInfEntry(TableText<>(IDS_SEC_COUNTRY), szCountryKey, line, sizeof line);
    for (int field = 1; field <= IDS_INTL_KEY_COUNT; ++field) {
        char value[kConfigValueCap];
        if (!GetListField(line, field, value, sizeof value, kIntlDelimiter, TRUE)) return FALSE;
        if (!WriteNewEntry(winIni, intl, TableText<>(IDS_INTL_KEY_FIRST + field - 1), value)) return FALSE;
    }
    return TRUE;
}

// ---- Language and keyboard libraries ------------------------------------------------------------------

// The language library of the country and its description.
void WriteLanguageLibrary(const char* systemIni) {
    char line[kConfigValueCap], library[kConfigValueCap];
    ReadInfEntry(TableText<>(IDS_SEC_DEFAULT_SETUP), szCountryKey, line, sizeof line);
    TableText<> languageDll(IDS_KEY_LANGUAGE_DLL);
    BOOL known = GetListField(line, kLanguageField, library, sizeof library, chListDelimiter, TRUE);
    if (known)
        SaveEntry(systemIni, TableText<>(IDS_SEC_BOOT), languageDll, TableText<>(IDS_SAVE_BOOT), library);
    char description[kConfigValueCap];
    CopyText(description, kDefaultLanguage);
    if (known && library[0])
        GetPrivateProfileStringA(TableText<>(IDS_SEC_LANGUAGE), library, kDefaultLanguage, description,
                                 sizeof description, szInfFile);
    SaveEntry(systemIni, TableText<>(IDS_SEC_BOOT_DESCRIPTION), languageDll, TableText<>(IDS_SAVE_LANG),
              description);
}

// The library of LAYOUT as KEY of [keyboard]; a layout without a line (no second layout) is reported and
// leaves the entry alone.
void WriteKeyboardLibrary(const char* systemIni, const char* layout, UINT keyId) {
    char line[kConfigValueCap], library[kConfigValueCap];
    ReadInfEntry(TableText<>(IDS_SEC_KEYBOARD_LAYOUTS), layout, line, sizeof line);
    if (!GetListField(line, kLibraryField, library, sizeof library, chListDelimiter, TRUE)) return;
    SaveEntry(systemIni, TableText<>(IDS_SEC_KEYBOARD), TableText<>(keyId), TableText<>(IDS_SAVE_KEYBOARD),
              library);
}

// The first entry of [boot] in setup1.inf, the product's keyboard driver line, as it stands there.
void WriteKeyboardDriver(const char* systemIni) {
    TableText<> boot(IDS_SEC_BOOT);
    char keys[kKeyListCap];
    if (!ReadInfKeys(boot, keys, sizeof keys, TRUE)) return;
    char value[kShortValueCap];
    ReadInfEntry(boot, keys, value, sizeof value);
    SaveEntry(systemIni, boot, keys, TableText<>(IDS_SAVE_BOOT), value, kShortValueCap);
}

// ---- DOS-window fonts ---------------------------------------------------------------------------------

// The value of font key KEY for the code-page part CODE of the file names: the application font as a full
// path into the destination, the others as bare names such as EGA80866.fon.
void DosFontFileName(const char* key, const char* code, UINT keyId, char* value, std::size_t cap) {
    if (keyId == IDS_KEY_WOAFONT) {
        CopyTextN(value, cap, szDestDir);
        AppendTextN(value, cap, "app");
    } else {
        CopyTextN(value, cap, "");
        if (cap > kFontNameStemLength) CopyTextN(value, kFontNameStemLength + 1, key);
    }
    AppendTextN(value, cap, code);
    AppendTextN(value, cap, ".fon");
}

void WriteDosFontDescription(const char* systemIni) {
    char key[kShortValueCap];
    CopyText(key, TableText<>(IDS_KEY_WOAFONT));
    AppendText(key, ".fon");
    char description[kShortValueCap];
    ReadInfEntry(TableText<>(IDS_SEC_OEM_CODEPAGE_DESC), szDosCodePage, description, sizeof description);
    SaveEntry(systemIni, TableText<>(IDS_SEC_BOOT_DESCRIPTION), key, TableText<>(IDS_SAVE_LANG), description,
              kShortValueCap);
}

// ---- Control Panel country list -----------------------------------------------------------------------

// True when setup1.inf lists LAYOUT among the layouts the product itself supplies.
bool IsProductLayout(const char* layout) {
    char keys[kKeyListCap];
    if (!ReadInfKeys(TableText<>(IDS_SEC_LAYOUTS_TARNO), keys, sizeof keys, FALSE)) return false;
    for (const char* key = keys; *key; key += std::strlen(key) + 1)
        if (lstrcmpiA(key, layout) == 0) return true;
    return false;
}

// The control.inf key of the national settings of CODE: "NAME", "SETTINGS!RUS"; false when setup1.inf
// has no settings for it.
bool BuildCountryLine(const char* code, char* line, std::size_t cap) {
    char settings[kConfigValueCap];
    ReadInfEntry(TableText<>(IDS_SEC_COUNTRY), code, settings, sizeof settings);
    char* rest = std::strchr(settings, kIntlDelimiter);
    if (!rest || !rest[1]) return false;
    *rest++ = '\0';
    CopyTextN(line, cap, "\"");
    AppendTextN(line, cap, settings);
    AppendTextN(line, cap, "\", \"");
    AppendTextN(line, cap, rest);
    AppendTextN(line, cap, "!");
    AppendTextN(line, cap, kControlLanguage);
    return AppendTextN(line, cap, "\"");
}

void AddCountryLine(const char* controlInf, const char* country, const LangEntry& entry) {
    if (!IsProductLayout(entry.szLayout)) return;
    char line[kConfigValueCap + 32];
    if (!BuildCountryLine(entry.szCode, line, sizeof line)) return;
    WriteEntryOrReport(controlInf, country, line, " ");
}

} // namespace

BOOL WriteInternationalSettings() {
    TableText<> winIni(idWinIni), intl(IDS_SEC_INTL);
    if (fUninstallEnabled) {
        LogConfigEntry("Saving all entries in", intl, nullptr);
        BOOL kept = TRUE;
        SaveProfileSection(intl, TableText<>(IDS_SAVE_INTL), szUninstInf, &kept);
        // National settings the uninstaller could not put back stay as they are.
        if (!kept) return FALSE;
    }
    char language[kCountryKeyCap];
    CopyText(language, szCountryKey);
    CharLowerA(language);
    if (!WriteNewEntry(winIni, intl, TableText<>(IDS_KEY_SLANGUAGE), language)) return FALSE;
    return WriteIntlFields(winIni, intl);
}

BOOL WriteLanguageAndKeyboardEntries() {
    TableText<> systemIni(idSystemIni);
    WriteLanguageLibrary(systemIni);
    WriteKeyboardLibrary(systemIni, szLayout1, IDS_KEY_KEYBOARD_DLL);
    WriteKeyboardLibrary(systemIni, szLayout2, IDS_KEY_SECONDKEYB_DLL);
    WriteKeyboardDriver(systemIni);
    return TRUE;
}

BOOL WriteDosWindowFonts() {
    TableText<> systemIni(idSystemIni), enh(IDS_SEC_386ENH);
    WriteDosFontDescription(systemIni);
    char line[kShortValueCap], code[kShortValueCap];
    ReadInfEntry(TableText<>(IDS_SEC_VGA_GR3), szDosCodePage, line, sizeof line);
    GetListField(line, 1, code, sizeof code, chListDelimiter, FALSE);
    const UINT keyIds[] = {IDS_KEY_WOAFONT, IDS_KEY_EGA80WOA, IDS_KEY_EGA40WOA, IDS_KEY_CGA80WOA,
                           IDS_KEY_CGA40WOA};
    for (UINT keyId : keyIds) {
        TableText<> key(keyId);
        if (!SavePreviousEntry(systemIni, enh, key, TableText<>(IDS_SAVE_GRAB), kShortValueCap)) continue;
        // Without fonts for the DOS code page the entries are kept as they are.
        if (!line[0]) continue;
        char value[kPathCap + kShortValueCap];
        DosFontFileName(key, code, keyId, value, sizeof value);
        WriteNewEntry(systemIni, enh, key, value);
    }
    return TRUE;
}

BOOL EditControlInf() {
    if (fUninstallEnabled && !BackupControlInf()) return FALSE;
    if (nLang <= 0) return TRUE;
    LangEntry* table = LockLangTableOrReport();
    if (!table) return FALSE;
    char controlInf[kPathCap];
    CopyText(controlInf, szSystemDir);
    AppendText(controlInf, TableText<>(idControlInf));
    TableText<> country(IDS_SEC_COUNTRY);
    for (int i = 0; i < nLang; ++i)
        AddCountryLine(controlInf, country, table[i]);
    UnlockLangTable();
    return TRUE;
}
