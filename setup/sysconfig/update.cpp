// The configuration update: its steps in their fixed order, the code-page, OEM table and switch-key
// entries of system.ini, and the notice of a new switch key to a keyboard driver of the product that is
// already running. Only the Control Panel step decides the result: what the earlier steps could not
// write they have reported, and the installation is usable without it.
#include "common/bounded.h"
#include "setup/core/setup.h"
#include "setup/inf/inf.h"
#include "setup/messages/messages.h"
#include "setup/resources/ids.h"
#include "setup/sysconfig/sysconfig.h"

namespace {

constexpr int kLogEntryCap = 268;
constexpr UINT kHotKeyNoticeKey = 0x8B; // the virtual key the product's keyboard driver listens for
constexpr UINT kHotKeyNoticeScan = 2;

// The leading decimal number of TEXT; 0 when it has none.
UINT LeadingNumber(const char* text) {
    UINT n = 0;
    for (; *text >= '0' && *text <= '9'; ++text)
        n = n * 10 + static_cast<UINT>(*text - '0');
    return n;
}

void WriteCodePages() {
    TableText<> systemIni(idSystemIni);
    SaveEntry(systemIni, TableText<>(IDS_SEC_BOOT), TableText<>(IDS_KEY_WINCODEPAGE),
              TableText<>(IDS_SAVE_BOOT), szSystemFontsCodePage);
    SaveEntry(systemIni, TableText<>(IDS_SEC_BOOT_DESCRIPTION), TableText<>(IDS_KEY_CODEPAGE),
              TableText<>(IDS_SAVE_LANG), szDosCodePage);
}

// The OEM-to-ANSI table of the DOS code page; empty when setup1.inf has none.
void WriteOemAnsiTable() {
    char line[kConfigValueCap], table[kConfigValueCap];
    ReadInfEntry(TableText<>(IDS_SEC_OEMANSI), szDosCodePage, line, sizeof line);
    GetListField(line, 1, table, sizeof table, chListDelimiter, FALSE);
    SaveEntry(TableText<>(idSystemIni), TableText<>(IDS_SEC_KEYBOARD), TableText<>(IDS_KEY_OEMANSI_BIN),
              TableText<>(IDS_SAVE_KEYBOARD), table);
}

// The switch key's entry, as setup1.inf spells it; the previous one is not kept. Returns its number.
UINT WriteHotKey() {
    char value[kShortValueCap];
    ReadInfEntry(TableText<>(IDS_SEC_HOTKEY), szLayoutSwitch, value, sizeof value);
    WriteNewEntry(TableText<>(idSystemIni), TableText<>(IDS_SEC_KEYBOARD), TableText<>(IDS_SEC_HOTKEY),
                  value);
    return LeadingNumber(value);
}

// A keyboard driver of the product that is already loaded learns the new switch key at once, but only when
// it is the driver this distribution installs.
void NotifyRunningKeyboardDriver(UINT hotKey) {
    if (!fAlreadyInstalled) return;
    TableText<> boot(IDS_SEC_BOOT), driverKey(IDS_KEY_KEYBOARD_DRV);
    char ours[kConfigValueCap], installed[kConfigValueCap];
    ReadInfEntry(boot, driverKey, ours, sizeof ours);
    GetPrivateProfileStringA(boot, driverKey, "", installed, sizeof installed, TableText<>(idSystemIni));
    if (lstrcmpiA(ours, installed) != 0) return;
    BYTE keyState[256] = {};
    WORD translated = 0;
    ToAscii(kHotKeyNoticeKey, hotKey * 256 + kHotKeyNoticeScan, keyState, &translated, 0);
}

void WriteFontSettings() {
    if (!fFonts) return;
    WriteDosWindowFonts();
    WriteFontRegistry();
    if (fSystemFonts) WriteSystemFontSettings();
    WriteFontSubstitutes();
}

BOOL UpdateControlPanel() {
    BOOL edited = EditControlInf();
    LogLine(edited ? "Editing CONTROL.INF complete." : "Editing CONTROL.INF not complete.");
    return edited;
}

} // namespace

void LogConfigEntry(const char* verb, const char* section, const char* key) {
    char line[kLogEntryCap];
    CopyText(line, verb);
    if (key) {
        AppendText(line, " entry ");
        AppendText(line, key);
    }
    AppendText(line, " section [");
    AppendText(line, section);
    AppendText(line, "]");
    LogLine(line);
}

BOOL UpdateSystemConfiguration() {
    WriteInternationalSettings();
    WriteCodePages();
    if (fProgramFiles) WriteLanguageAndKeyboardEntries();
    WriteOemAnsiTable();
    NotifyRunningKeyboardDriver(WriteHotKey());
    WriteFontSettings();
    // A workstation's system directory, with its control.inf, belongs to the shared Windows on the server.
    if (fWorkstationSetup) return TRUE;
    return UpdateControlPanel();
}
