// What the wizard dialogs share about their lists: drop-down lists whose chosen entry is remembered by
// index and found by the beginning of its name, and the country lines those choices lead to.
#pragma once

#include "platform/win32.h"

#include <cstddef>

// Room for any entry of the dialogs' lists: each comes from a key list of setup1.inf, which is shorter.
constexpr int kEntryCap = 1024;

// Entry INDEX of a list box or a drop-down list into TEXT; false, and an empty text, when there is none.
BOOL GetListEntry(HWND list, int index, char (&text)[kEntryCap]);
BOOL GetComboEntry(HWND combo, int index, char (&text)[kEntryCap]);

// The index of the first entry of COMBO that begins with PREFIX, without regard to case (an empty prefix
// names the first entry); -1 when none does.
int FindComboPrefix(HWND combo, const char* prefix);

// The entry of a drop-down list that the dialog takes as chosen, remembered by its index (-1: none).
class RememberedChoice {
  public:
    // A new dialog's list; nothing is remembered yet.
    void Attach(HWND combo);
    // Attaches the drop-down list ID of DIALOG filled with the key names of section SECTION_ID of
    // setup1.inf (DEFAULT_TEXT its one entry when the section is missing), the first one shown. False
    // after message 13 when there is nothing to fill it with.
    BOOL Fill(HWND dialog, int id, UINT sectionId, const char* defaultText = nullptr);
    // Selects the first entry that begins with NAME and remembers it. When no entry does, the list keeps
    // what it shows, and that is remembered.
    void SelectName(const char* name);
    // The user confirmed the entry the list shows.
    void Confirm();
    // The list was emptied.
    void Forget();
    // Entry DELETED has left the list: the remembered entry keeps its place among those that are left; when
    // it was the one deleted, the first entry becomes the chosen one.
    void EntryDeleted(int deleted);
    int Index() const { return index_; }
    BOOL IsChosen() const { return index_ >= 0; }
    // The remembered entry's text, cut to CAP bytes; false (and empty) when nothing is remembered.
    BOOL Text(char* text, std::size_t cap) const;

  private:
    void Select(int index);
    HWND combo_ = nullptr;
    int index_ = -1;
};

// Field FIELD of the line of COUNTRY_KEY in "default.setup", cut to CAP bytes. False after message 50 when
// the country has no line, or after message 48 when the line has no such field.
BOOL ReadCountryDefault(const char* countryKey, int field, char* value, std::size_t cap);
