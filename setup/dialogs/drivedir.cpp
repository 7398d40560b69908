// Define Directory: a drive and directory picker. It starts in szDialogPath and gives the chosen directory
// back there. The listing calls move the process's current directory as the user browses.
#include "common/bounded.h"
#include "setup/core/setup.h"
#include "setup/dialogs/wizard.h"
#include "setup/messages/messages.h"
#include "setup/resources/ids.h"

namespace {

constexpr UINT kDrivesOnly = DDL_DRIVES | DDL_EXCLUSIVE;
constexpr UINT kDirectoriesOnly = DDL_DIRECTORY | DDL_EXCLUSIVE;
constexpr int kTypedPathCap = 200; // the path field as the listing reads it
constexpr int kDriveCap = 8;       // "c:" as the drive list gives it

// Lists the subdirectories of PATH; SHOW_IN_FIELD puts the directory listed into the path field. False
// after message 29 when PATH names no directory that can be listed.
BOOL ListDirectories(HWND dialog, const char* path, BOOL showInField) {
    char pattern[kTypedPathCap];
    CopyText(pattern, path); // the listing leaves its pattern in the text it is given
    if (DlgDirListA(dialog, pattern, IDC_DRIVEDIR_DIRS, showInField ? IDC_DRIVEDIR_PATH : 0,
                    kDirectoriesOnly))
        return TRUE;
    ShowSetupMessage(dialog, MB_ICONHAND, IDS_DIR_NOT_VALID, path);
    return FALSE;
}

// The drive list entry of a path's drive: "[-c-]".
void SelectDriveOf(HWND dialog, const char* path) {
    if (!path[0]) return;
    char entry[] = "[-?-]";
    entry[2] = path[0];
    SendDlgItemMessageA(dialog, IDC_DRIVEDIR_DRIVES, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                        reinterpret_cast<LPARAM>(entry));
}

BOOL IsDriveSelected(HWND dialog) {
    char drive[kDriveCap];
    return DlgDirSelectComboBoxExA(dialog, drive, sizeof drive, IDC_DRIVEDIR_DRIVES) && lstrlenA(drive) >= 2;
}

// OK takes the path field while it names a path and a drive is chosen; an empty field is no directory.
void UpdateOk(HWND dialog) {
    EnableWhilePathTyped(dialog, IDC_DRIVEDIR_OK, IDC_DRIVEDIR_PATH);
    if (!IsDriveSelected(dialog)) EnableWindow(GetDlgItem(dialog, IDC_DRIVEDIR_OK), FALSE);
}

INT_PTR OnInitDialog(HWND dialog, LPARAM) {
    char everyDrive[] = "*";
    if (!DlgDirListComboBoxA(dialog, everyDrive, IDC_DRIVEDIR_DRIVES, 0, kDrivesOnly)) {
        ShowSetupMessage(dialog, MB_ICONHAND, IDS_DRIVE_NOT_VALID, "*");
        EndWizardDialog(dialog, kDialogExit);
        return TRUE;
    }
    char start[kDialogPathCap];
    CopyText(start, szDialogPath);
    if (lstrlenA(start) > 3) StripBackslash(start); // a root keeps its backslash: "C:" is not "C:\"
    if (!ListDirectories(dialog, start, TRUE)) {
        EndWizardDialog(dialog, kDialogExit);
        return TRUE;
    }
    SelectDriveOf(dialog, start);
    UpdateOk(dialog);
    SetFocus(dialog);
    return FALSE;
}

void OnDriveChosen(HWND dialog) {
    char drive[kDriveCap];
    DlgDirSelectComboBoxExA(dialog, drive, sizeof drive, IDC_DRIVEDIR_DRIVES);
    ListDirectories(dialog, drive, TRUE);
}

void OnDirectoryOpened(HWND dialog) {
    char directory[kDialogPathCap];
    if (DlgDirSelectExA(dialog, directory, sizeof directory, IDC_DRIVEDIR_DIRS))
        ListDirectories(dialog, directory, TRUE);
}

// The typed path is listed as it stands; the field is not rewritten under the user's hands.
void OnPathTyped(HWND dialog) {
    char typed[kTypedPathCap];
    GetDlgItemTextA(dialog, IDC_DRIVEDIR_PATH, typed, sizeof typed);
    char pattern[kTypedPathCap];
    CopyText(pattern, typed);
    if (!DlgDirListA(dialog, pattern, IDC_DRIVEDIR_DIRS, 0, kDirectoriesOnly)) {
        MessageBeep(0);
        ShowSetupMessage(dialog, MB_ICONHAND, IDS_DIR_NOT_VALID, typed);
    }
    UpdateOk(dialog);
}

void OnOk(HWND dialog) {
    char chosen[kDialogPathCap];
    if (!TakePathField(dialog, IDC_DRIVEDIR_PATH, chosen, sizeof chosen)) return;
    CharUpperA(chosen);
    CopyText(szDialogPath, chosen);
    EndWizardDialog(dialog, kDialogContinue);
}

INT_PTR OnCommand(HWND dialog, int id, int code) {
    switch (id) {
    case IDC_DRIVEDIR_OK:
        OnOk(dialog);
        return TRUE;
    case IDC_DRIVEDIR_CANCEL:
        EndWizardDialog(dialog, kDialogExit);
        return TRUE;
    case IDC_DRIVEDIR_DRIVES:
        if (code == CBN_SELENDOK) OnDriveChosen(dialog);
        return TRUE;
    case IDC_DRIVEDIR_DIRS:
        if (code == LBN_DBLCLK) OnDirectoryOpened(dialog);
        return TRUE;
    case IDC_DRIVEDIR_PATH:
        if (code == EN_CHANGE) OnPathTyped(dialog);
        return TRUE;
    default:
        return FALSE;
    }
}

const WizardTraits kDriveDirTraits = {IDS_CAPTION_DRIVEDIR, WizardColours::AllControls, OnInitDialog,
                                      OnCommand};

} // namespace

INT_PTR CALLBACK DriveDirDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    return WizardDialogProc(dialog, msg, wParam, lParam, kDriveDirTraits);
}

WORD RunDriveDirDialog() {
    return RunWizardDialog(DLG_DRIVEDIR, DriveDirDlgProc);
}

BOOL BrowseForDirectory(const char* start) {
    char before[kDialogPathCap];
    CopyText(before, szDialogPath);
    // A start that does not fit is not cut into another directory: browsing then starts where it is.
    JoinPath(szDialogPath, start);
    if (RunDriveDirDialog() == kDialogContinue) return TRUE;
    CopyText(szDialogPath, before);
    return FALSE;
}
