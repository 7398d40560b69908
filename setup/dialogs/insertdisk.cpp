// Insert disk: asks for a distribution disk by its label and offers where to read it, typed or browsed.
// The path is not tried here: the copy tries the file at the new place and asks again when it is not there.
#include "common/bounded.h"
#include "setup/core/setup.h"
#include "setup/dialogs/wizard.h"
#include "setup/inf/inf.h"
#include "setup/resources/ids.h"

namespace {

const char kFloppy[] = "A:\\";

void OnPathTyped(HWND dialog) {
    GetDlgItemTextA(dialog, IDC_DISK_PATH, szDialogPath, sizeof szDialogPath);
    EnableWhilePathTyped(dialog, IDC_DISK_OK, IDC_DISK_PATH);
}

// The path offered first: where the last disk was found, else the first key of "SetupDisk", else A:\.
// The whole text goes into the field, so that one too long to take is seen there and refused on OK.
void OfferSourcePath(HWND dialog) {
    char keys[kKeyListCap] = "";
    if (!fSourcePathSet) {
        char section[kSectionNameCap];
        LoadText(IDS_SEC_SETUP_DISK, section, sizeof section);
        GetPrivateProfileStringA(section, nullptr, "", keys, sizeof keys, szInfFile);
        if (!keys[0]) CopyText(keys, kFloppy);
    }
    SetDlgItemTextA(dialog, IDC_DISK_PATH, fSourcePathSet ? szSourceDir : keys);
    OnPathTyped(dialog);
}

INT_PTR OnInitDialog(HWND dialog, LPARAM diskLabel) {
    SetDlgItemTextA(dialog, IDC_DISK_LABEL, reinterpret_cast<const char*>(diskLabel));
    OfferSourcePath(dialog);
    SetFocus(dialog);
    return FALSE;
}

void OnBrowse(HWND dialog) {
    if (BrowseForDirectory(szDestDir)) SetDlgItemTextA(dialog, IDC_DISK_PATH, szDialogPath);
    SetFocus(dialog);
}

void OnOk(HWND dialog) {
    if (TakePathField(dialog, IDC_DISK_PATH, szDialogPath, sizeof szDialogPath))
        EndWizardDialog(dialog, kDialogContinue);
}

INT_PTR OnCommand(HWND dialog, int id, int code) {
    switch (id) {
    case IDC_DISK_OK:
        OnOk(dialog);
        return TRUE;
    case IDC_DISK_CANCEL:
        EndWhenExitConfirmed(dialog, kDialogExit);
        return TRUE;
    case IDC_DISK_BROWSE:
        OnBrowse(dialog);
        return TRUE;
    case IDC_DISK_PATH:
        if (code == EN_CHANGE) OnPathTyped(dialog);
        return TRUE;
    default:
        return FALSE;
    }
}

const WizardTraits kInsertDiskTraits = {IDS_CAPTION_LATIN, WizardColours::AllControls, OnInitDialog,
                                        OnCommand,         IDC_DISK_PICTURE,           &hbmDirect};

} // namespace

INT_PTR CALLBACK SourceDirDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    return WizardDialogProc(dialog, msg, wParam, lParam, kInsertDiskTraits);
}

WORD RunInsertDiskDialog(const char* diskLabel) {
    return RunWizardDialog(DLG_INSERTDISK, SourceDirDlgProc,
                           reinterpret_cast<LPARAM>(diskLabel ? diskLabel : ""));
}
