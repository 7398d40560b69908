// The Welcome dialog: the first page of the wizard, Continue or Exit.
#include "setup/dialogs/wizard.h"

#include "setup/resources/ids.h"

namespace {

INT_PTR OnInitDialog(HWND dialog, LPARAM) {
    SetFocus(dialog);
    return FALSE; // the focus was set here
}

INT_PTR OnCommand(HWND dialog, int id, int) {
    switch (id) {
    case IDC_WELCOME_CONTINUE:
        EndWizardDialog(dialog, kDialogContinue);
        return TRUE;
    case IDC_WELCOME_EXIT:
        EndWizardDialog(dialog, kDialogExit);
        return TRUE;
    default:
        return FALSE;
    }
}

const WizardTraits kWelcomeTraits = {IDS_CAPTION_WELCOME, WizardColours::BackgroundAndTexts, OnInitDialog,
                                     OnCommand};

} // namespace

INT_PTR CALLBACK WelcomeDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    return WizardDialogProc(dialog, msg, wParam, lParam, kWelcomeTraits);
}

WORD RunWelcomeDialog() {
    return RunWizardDialog(DLG_WELCOME, WelcomeDlgProc);
}
