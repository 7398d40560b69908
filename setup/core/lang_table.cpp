#include "setup/core/lang_table.h"

#include "common/bounded.h"
#include "setup/core/setup.h"
#include "setup/inf/inf.h"
#include "setup/messages/messages.h"
#include "setup/resources/ids.h"

#include <cstdlib>

namespace {

constexpr int kCountryLineCap = 1024;
constexpr int kLayoutLineCap = 120;
constexpr int kRewriteLineCap = 1024;
constexpr int kFirstLayoutField = 6; // fields 6, 7, ... of a country's line name its layouts
constexpr int kLayoutCodeField = 5;  // field 5 of a layout's line is its country or language code
constexpr UINT kGlobalFlags = GMEM_MOVEABLE | GMEM_ZEROINIT;

BOOL ReportNoMemory(const char* what) {
    ShowSetupMessage(hwndSetup, MB_ICONHAND, IDS_NO_MEMORY, what);
    return FALSE;
}

BOOL ReportNoLock() {
    ShowSetupMessage(hwndSetup, MB_ICONHAND, IDS_NO_LOCK, "hLang");
    return FALSE;
}

// Sizes hLang to RECORDS records, allocating it the first time; false after the message.
BOOL ResizeLangTable(int records) {
    SIZE_T bytes = sizeof(LangEntry) * static_cast<SIZE_T>(records);
    if (!hLang) {
        hLang = GlobalAlloc(kGlobalFlags, bytes);
        return hLang ? TRUE : ReportNoMemory("Alloc hLang");
    }
    HGLOBAL moved = GlobalReAlloc(hLang, bytes, kGlobalFlags);
    if (!moved) return ReportNoMemory("ReAlloc hLang");
    hLang = moved;
    return TRUE;
}

// Field N of LIST into a record field, cut to the field's size.
template <std::size_t N>
BOOL GetRecordField(const char* list, int n, char (&field)[N], BOOL report) {
    return GetListField(list, n, field, N, chListDelimiter, report);
}

// Reads the code of the layout in record INDEX (its name already there) from its line in setup1.inf; a
// layout the section does not have is reported as such.
BOOL ReadLayoutCode(int index) {
    char line[kLayoutLineCap];
    LangEntry& entry = lpLang[index];
    if (ReadInfString(IDS_SEC_KEYBOARD_LAYOUTS, entry.szLayout, line, sizeof line) == 0) {
        ShowSetupMessage(hwndSetup, MB_ICONHAND, IDS_NO_LAYOUT_FOR_NATION, entry.szLayout);
        return FALSE;
    }
    return GetRecordField(line, kLayoutCodeField, entry.szCode, TRUE);
}

// Record INDEX starts empty, whatever an earlier country left in the reused block; the field read into it
// decides whether it stays the zero record that ends the table.
BOOL ReadLayoutName(const char* countryLine, int field, int index) {
    lpLang[index] = LangEntry{};
    return GetRecordField(countryLine, field, lpLang[index].szLayout, FALSE);
}

// Fills the records from the layouts named by COUNTRY_LINE and counts them in nLang. The table is locked
// on entry and is left unlocked. False after a message; nLang then counts the records completed.
BOOL ReadCountryLayouts(const char* countryLine) {
    nLang = 0;
    int field = kFirstLayoutField;
    BOOL found = ReadLayoutName(countryLine, field, 0);
    while (found) {
        ++nLang;
        UnlockLangTable();
        // Room for the record after this one, which stays zero when the line names no more layouts.
        if (!ResizeLangTable(nLang + 1)) return FALSE;
        if (!LockLangTable()) return ReportNoLock();
        BOOL read = ReadLayoutCode(nLang - 1);
        if (!read) {
            UnlockLangTable();
            return FALSE;
        }
        found = ReadLayoutName(countryLine, ++field, nLang);
    }
    UnlockLangTable();
    return TRUE;
}

void SetCurrentLayouts() {
    LangEntry* table = LockLangTable();
    if (!table) return;
    CopyText(szLayout1, table[0].szLayout);
    CopyText(szLayout2, table[1].szLayout);
    UnlockLangTable();
}

// The code pages and the screen-font choice of the country's line.
void ReadCountryFontDefaults(const char* countryLine) {
    GetRecordField(countryLine, 1, szSystemFontsCodePage, TRUE);
    GetRecordField(countryLine, 2, szDosCodePage, TRUE);
    char screenFonts[16];
    GetRecordField(countryLine, 3, screenFonts, TRUE);
    fScreenFonts = fPlotterFonts = std::atoi(screenFonts) != 0;
    fSystemFonts = TRUE;
    // The printer fonts are the user's choice, made later.
    f24PinPrinterFonts = f9PinPrinterFonts = fPrinterFonts = FALSE;
}

} // namespace

LangEntry* LockLangTable() {
    lpLang = hLang ? static_cast<LangEntry*>(GlobalLock(hLang)) : nullptr;
    return lpLang;
}

LangEntry* LockLangTableOrReport() {
    if (!LockLangTable()) ReportNoLock();
    return lpLang;
}

void UnlockLangTable() {
    if (hLang) GlobalUnlock(hLang);
}

int ChooseFontResolution(BOOL largeSystemFont) {
    int id = largeSystemFont ? IDS_FONTRES_HI4 : IDS_FONTRES_HI2;
    int height = GetSystemMetrics(SM_CYSCREEN);
    if (height <= 480) id = IDS_FONTRES_HI2;
    if (height <= 350) id = IDS_FONTRES_HI1;
    return id;
}

int SetFontResolution(int id) {
    nFontRes = id;
    return LoadStringA(hInst, static_cast<UINT>(id), szFontRes, sizeof szFontRes);
}

int FillLangTable() {
    // A server installation chooses no country: there are no defaults to load, and nothing went wrong.
    if (!szCountryKey[0]) return 0;
    if (!hLang && !ResizeLangTable(1)) return 0;
    if (!LockLangTable()) return ReportNoLock();
    char countryLine[kCountryLineCap];
    if (ReadInfString(IDS_SEC_DEFAULT_SETUP, szCountryKey, countryLine, sizeof countryLine) == 0) {
        UnlockLangTable();
        ShowSetupMessage(hwndSetup, MB_ICONHAND, IDS_CANT_READ_SECTION, szCountryKey);
        return 0;
    }
    if (!ReadCountryLayouts(countryLine)) return 0;
    if (nLang < 1) {
        ShowSetupMessage(hwndSetup, MB_ICONHAND, IDS_CANT_READ_SECTION, "default.setup");
        return 0;
    }
    SetCurrentLayouts();
    ReadCountryFontDefaults(countryLine);
    CopyText(szLayoutSwitch, szHotKey);
    return SetFontResolution(ChooseFontResolution(!IsSmallSystemFont()));
}

BOOL RewriteLangTable(HWND selected) {
    LRESULT count = SendMessageA(selected, LB_GETCOUNT, 0, 0);
    int records = count > 0 ? static_cast<int>(count) : 0;
    // A block is never sized to nothing: that would discard it instead. A block that cannot be resized
    // keeps its table and its count, so that no reader walks past its end.
    if (!ResizeLangTable(records > 0 ? records : 1)) return FALSE;
    nLang = records;
    if (!LockLangTable()) return ReportNoLock();
    for (int i = nLang - 1; i >= 0; --i) {
        char name[kRewriteLineCap];
        LRESULT length = SendMessageA(selected, LB_GETTEXTLEN, i, 0);
        if (length < 0 || length >= static_cast<LRESULT>(sizeof name)) length = 0;
        name[0] = '\0';
        if (length > 0) SendMessageA(selected, LB_GETTEXT, i, reinterpret_cast<LPARAM>(name));
        name[length] = '\0';
        CopyText(lpLang[i].szLayout, name);
        lpLang[i].szCode[0] = '\0';
        // A layout without a line has no field 5 either: that is what is reported.
        char line[kRewriteLineCap];
        ReadInfString(IDS_SEC_KEYBOARD_LAYOUTS, name, line, sizeof line);
        GetRecordField(line, kLayoutCodeField, lpLang[i].szCode, TRUE);
    }
    UnlockLangTable();
    return TRUE;
}
