#include "setup/dialogs/choices.h"

#include "common/bounded.h"
#include "setup/core/setup.h"
#include "setup/inf/inf.h"
#include "setup/resources/ids.h"

namespace {

constexpr int kCountryLineCap = 1024;

BOOL GetEntry(HWND control, UINT lengthMessage, UINT textMessage, int index, char (&text)[kEntryCap]) {
    text[0] = '\0';
    LRESULT length = SendMessageA(control, lengthMessage, static_cast<WPARAM>(index), 0);
    if (length < 0 || length >= kEntryCap) return FALSE;
    SendMessageA(control, textMessage, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
    return TRUE;
}

} // namespace

BOOL GetListEntry(HWND list, int index, char (&text)[kEntryCap]) {
    return GetEntry(list, LB_GETTEXTLEN, LB_GETTEXT, index, text);
}

BOOL GetComboEntry(HWND combo, int index, char (&text)[kEntryCap]) {
    return GetEntry(combo, CB_GETLBTEXTLEN, CB_GETLBTEXT, index, text);
}

int FindComboPrefix(HWND combo, const char* prefix) {
    int prefixLength = lstrlenA(prefix);
    LRESULT count = SendMessageA(combo, CB_GETCOUNT, 0, 0);
    for (int i = 0; i < count; ++i) {
        char entry[kEntryCap];
        if (!GetComboEntry(combo, i, entry) || lstrlenA(entry) < prefixLength) continue;
        entry[prefixLength] = '\0';
        if (lstrcmpiA(entry, prefix) == 0) return i;
    }
    return -1;
}

void RememberedChoice::Attach(HWND combo) {
    combo_ = combo;
    index_ = -1;
}

BOOL RememberedChoice::Fill(HWND dialog, int id, UINT sectionId, const char* defaultText) {
    Attach(GetDlgItem(dialog, id));
    return FillComboFromSection(combo_, TableText<kSectionNameCap>(sectionId), defaultText, szInfFile);
}

void RememberedChoice::Select(int index) {
    index_ = index;
    SendMessageA(combo_, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void RememberedChoice::SelectName(const char* name) {
    int found = FindComboPrefix(combo_, name);
    if (found >= 0)
        Select(found);
    else
        Confirm();
}

void RememberedChoice::Confirm() {
    LRESULT shown = SendMessageA(combo_, CB_GETCURSEL, 0, 0);
    index_ = shown >= 0 ? static_cast<int>(shown) : -1;
}

void RememberedChoice::Forget() {
    Select(-1);
}

void RememberedChoice::EntryDeleted(int deleted) {
    if (deleted == index_)
        Select(SendMessageA(combo_, CB_GETCOUNT, 0, 0) > 0 ? 0 : -1);
    else if (deleted < index_)
        Select(index_ - 1);
}

BOOL RememberedChoice::Text(char* text, std::size_t cap) const {
    if (cap) text[0] = '\0';
    if (index_ < 0) return FALSE;
    char entry[kEntryCap];
    GetComboEntry(combo_, index_, entry);
    CopyTextN(text, cap, entry);
    return TRUE;
}

BOOL ReadCountryDefault(const char* countryKey, int field, char* value, std::size_t cap) {
    char line[kCountryLineCap];
    if (!ReadRequiredInfString(IDS_SEC_DEFAULT_SETUP, countryKey, line, sizeof line)) return FALSE;
    return GetListField(line, field, value, cap, chListDelimiter, TRUE);
}
