// The product settings file tarno.ini: the installed layouts for the product's own programs, replaced
// whole after each successful configuration update.
#include "setup/core/lang_table.h"
#include "setup/core/setup.h"
#include "setup/inf/inf.h"
#include "setup/messages/messages.h"
#include "setup/resources/ids.h"
#include "setup/sysconfig/sysconfig.h"

namespace {

// Only a to z change: Cyrillic letters stay as setup1.inf spells them, whatever the machine's code page.
void UpperCaseLatin(char* text) {
    for (; *text; ++text)
        if (*text >= 'a' && *text <= 'z') *text = static_cast<char>(*text - 'a' + 'A');
}

} // namespace

void WriteProductSettingsFile() {
    char iniPath[kPathCap];
    GetProductIniPath(iniPath, sizeof iniPath);
    LangEntry* table = LockLangTableOrReport();
    if (!table) return;
    TableText<> tnnls(IDS_SEC_TNNLS), layouts(IDS_SEC_KEYBOARD_LAYOUTS);
    WritePrivateProfileStringA(tnnls, nullptr, nullptr, iniPath);
    for (int i = 0; i < nLang; ++i) {
        char value[kShortValueCap];
        ReadInfEntry(layouts, table[i].szLayout, value, sizeof value);
        UpperCaseLatin(value);
        WriteEntryOrReport(iniPath, tnnls, table[i].szLayout, value);
    }
    UnlockLangTable();
}
