// Keyboard Layouts: which layouts of setup1.inf to install, and the two current ones the layout switch
// toggles between. OK rebuilds the layout table from the chosen layouts.
#include "common/bounded.h"
#include "setup/core/lang_table.h"
#include "setup/core/setup.h"
#include "setup/dialogs/choices.h"
#include "setup/dialogs/wizard.h"
#include "setup/inf/inf.h"
#include "setup/messages/messages.h"
#include "setup/resources/ids.h"

namespace {

RememberedChoice layout1;
RememberedChoice layout2;

HWND Control(HWND dialog, int id) {
    return GetDlgItem(dialog, id);
}

LRESULT Count(HWND list) {
    return SendMessageA(list, LB_GETCOUNT, 0, 0);
}

bool IsHighlighted(HWND list, int index) {
    return SendMessageA(list, LB_GETSEL, static_cast<WPARAM>(index), 0) > 0;
}

void AddToCurrentLists(HWND dialog, const char* name) {
    SendDlgItemMessageA(dialog, IDC_LL_LAYOUT1, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    SendDlgItemMessageA(dialog, IDC_LL_LAYOUT2, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
}

// Deletes NAME from a current-layout list, keeping the remembered entry where it can be kept.
void DeleteFromCurrentList(HWND dialog, int id, RememberedChoice& choice, const char* name) {
    LRESULT index = SendDlgItemMessageA(dialog, id, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                        reinterpret_cast<LPARAM>(name));
    if (index < 0) return;
    SendDlgItemMessageA(dialog, id, CB_DELETESTRING, static_cast<WPARAM>(index), 0);
    choice.EntryDeleted(static_cast<int>(index));
}

// Moves entry INDEX of FROM into TO and gives its name (a layout name matches whole, without regard to case).
void MoveEntry(HWND from, HWND to, int index, char (&name)[kEntryCap]) {
    GetListEntry(from, index, name);
    SendMessageA(from, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
    SendMessageA(to, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
}

void SelectCurrentLayouts() {
    layout1.SelectName(szLayout1);
    layout2.SelectName(szLayout2);
}

void UpdateButtons(HWND dialog) {
    BOOL anySelected = Count(Control(dialog, IDC_LL_SELECTED)) > 0;
    BOOL anySupported = Count(Control(dialog, IDC_LL_SUPPORTED)) > 0;
    EnableWindow(Control(dialog, IDC_LL_REMOVE), anySelected);
    EnableWindow(Control(dialog, IDC_LL_REMOVE_ALL), anySelected);
    EnableWindow(Control(dialog, IDC_LL_ADD), anySupported);
    EnableWindow(Control(dialog, IDC_LL_ADD_ALL), anySupported);
}

// OK takes the choice only while both current layouts name a chosen layout.
void UpdateAfterChange(HWND dialog) {
    UpdateButtons(dialog);
    EnableWindow(Control(dialog, IDC_LL_OK), layout1.IsChosen() && layout2.IsChosen());
}

// The table's layouts move from the supported list into the selected one and the current-layout lists.
BOOL ShowTable(HWND dialog) {
    LangEntry* table = LockLangTable();
    if (!table) {
        ShowSetupMessage(dialog, MB_ICONHAND, IDS_NO_LOCK, "hLang");
        return FALSE;
    }
    HWND supported = Control(dialog, IDC_LL_SUPPORTED);
    for (int i = 0; i < nLang; ++i) {
        const char* name = table[i].szLayout;
        LRESULT index = SendMessageA(supported, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                     reinterpret_cast<LPARAM>(name));
        if (index >= 0) SendMessageA(supported, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
        SendDlgItemMessageA(dialog, IDC_LL_SELECTED, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
        AddToCurrentLists(dialog, name);
    }
    UnlockLangTable();
    return TRUE;
}

// Each opening starts from the current table and current layouts.
INT_PTR OnInitDialog(HWND dialog, LPARAM) {
    char section[kSectionNameCap];
    LoadText(IDS_SEC_KEYBOARD_LAYOUTS, section, sizeof section);
    if (!FillListFromSection(Control(dialog, IDC_LL_SUPPORTED), section, nullptr, szInfFile) ||
        !ShowTable(dialog)) {
        EndWizardDialog(dialog, kDialogExit);
        return TRUE;
    }
    layout1.Attach(Control(dialog, IDC_LL_LAYOUT1));
    layout2.Attach(Control(dialog, IDC_LL_LAYOUT2));
    SelectCurrentLayouts();
    UpdateButtons(dialog);
    SetFocus(dialog);
    return FALSE;
}

// Adds the highlighted supported layouts, or all of them, from the last to the first.
void OnAdd(HWND dialog, bool highlightedOnly) {
    HWND supported = Control(dialog, IDC_LL_SUPPORTED);
    for (int i = static_cast<int>(Count(supported)) - 1; i >= 0; --i) {
        if (highlightedOnly && !IsHighlighted(supported, i)) continue;
        char name[kEntryCap];
        MoveEntry(supported, Control(dialog, IDC_LL_SELECTED), i, name);
        AddToCurrentLists(dialog, name);
    }
    SelectCurrentLayouts();
}

// Removes the highlighted chosen layouts, or all of them, from the last to the first.
void OnRemove(HWND dialog, bool highlightedOnly) {
    HWND selected = Control(dialog, IDC_LL_SELECTED);
    for (int i = static_cast<int>(Count(selected)) - 1; i >= 0; --i) {
        if (highlightedOnly && !IsHighlighted(selected, i)) continue;
        char name[kEntryCap];
        MoveEntry(selected, Control(dialog, IDC_LL_SUPPORTED), i, name);
        DeleteFromCurrentList(dialog, IDC_LL_LAYOUT1, layout1, name);
        DeleteFromCurrentList(dialog, IDC_LL_LAYOUT2, layout2, name);
    }
}

// A current layout that names no chosen layout keeps its old name.
void StoreCurrentLayout(const RememberedChoice& choice, char (&layout)[kLayoutNameCap]) {
    if (choice.IsChosen()) choice.Text(layout, sizeof layout);
}

void OnOk(HWND dialog) {
    if (!RewriteLangTable(Control(dialog, IDC_LL_SELECTED))) {
        EndWizardDialog(dialog, kDialogExit);
        return;
    }
    StoreCurrentLayout(layout1, szLayout1);
    StoreCurrentLayout(layout2, szLayout2);
    EndWizardDialog(dialog, kDialogContinue);
}

// The commands that change the lists; each is followed by the buttons' new states.
BOOL OnListCommand(HWND dialog, int id, int code) {
    switch (id) {
    case IDC_LL_ADD:
        OnAdd(dialog, true);
        return TRUE;
    case IDC_LL_ADD_ALL:
        OnAdd(dialog, false);
        return TRUE;
    case IDC_LL_REMOVE:
        OnRemove(dialog, true);
        return TRUE;
    case IDC_LL_REMOVE_ALL:
        OnRemove(dialog, false);
        return TRUE;
    case IDC_LL_LAYOUT1:
        if (code != CBN_SELENDOK) return FALSE;
        layout1.Confirm();
        return TRUE;
    case IDC_LL_LAYOUT2:
        if (code != CBN_SELENDOK) return FALSE;
        layout2.Confirm();
        return TRUE;
    default:
        return FALSE;
    }
}

INT_PTR OnCommand(HWND dialog, int id, int code) {
    if (OnListCommand(dialog, id, code)) {
        UpdateAfterChange(dialog);
        return TRUE;
    }
    switch (id) {
    case IDC_LL_OK:
        OnOk(dialog);
        return TRUE;
    case IDC_LL_CANCEL:
        EndWizardDialog(dialog, kDialogExit);
        return TRUE;
    case IDC_LL_EXIT:
        EndWhenExitConfirmed(dialog, kDialogBack);
        return TRUE;
    default:
        return FALSE;
    }
}

const WizardTraits kLangLayoutTraits = {IDS_CAPTION_LANGLAYOUT, WizardColours::AllControls, OnInitDialog,
                                        OnCommand};

} // namespace

INT_PTR CALLBACK LanguageLayoutProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    return WizardDialogProc(dialog, msg, wParam, lParam, kLangLayoutTraits);
}

WORD RunLangLayoutDialog() {
    return RunWizardDialog(DLG_LANGLAYOUT, LanguageLayoutProc);
}
