// The language and layout table: the keyboard layouts to install, each with the country or language code it
// belongs to, in one moveable global block (hLang) of LangEntry records, locked only while it is used. It is
// filled from the country's line of setup1.inf together with the country's other defaults.
#pragma once

#include "platform/win32.h"
#include "setup/core/state.h"

// Loads the defaults of szCountryKey: the layout table (nLang records and one record of zeros), the current
// layouts, the code pages, the screen-font choice, the layout switch and the font resolution. Non-zero on
// success; 0 after its own message.
int FillLangTable();

// Rebuilds the table from the entries of the list box SELECTED, in its order, with exactly one record per
// entry. False after its own message when the block cannot be resized or locked.
BOOL RewriteLangTable(HWND selected);

// Locks hLang into lpLang; null when there is no table or it cannot be locked.
LangEntry* LockLangTable();
// The same; when the table cannot be locked the user is told (message 19) and the result is null.
LangEntry* LockLangTableOrReport();
void UnlockLangTable();

// The font resolution of this screen and system font: 230, 231 or 233.
int ChooseFontResolution(BOOL largeSystemFont);
// Sets nFontRes to ID and szFontRes to its text; the length of the text.
int SetFontResolution(int id);
