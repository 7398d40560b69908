// The Welcome dialog: the first page of the wizard, Continue or Exit.
#include "setup/dialogs/wizard.h"

#include "setup/resources/ids.h"

namespace {

const WizardTraits kWelcomeTraits = {IDS_CAPTION_WELCOME, WizardColours::BackgroundAndTexts};

INT_PTR OnInitDialog(HWND dialog) {
    SetFocus(dialog);
    return FALSE; // the focus was set here
}

INT_PTR OnCommand(HWND dialog, WPARAM wParam) {
    switch (LOWORD(wParam)) {
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

} // namespace

INT_PTR CALLBACK WelcomeDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    INT_PTR result = FALSE;
    if (HandleWizardMessage(dialog, msg, wParam, lParam, kWelcomeTraits, &result)) return result;
    switch (msg) {
    case WM_INITDIALOG:
        return OnInitDialog(dialog);
    case WM_COMMAND:
        return OnCommand(dialog, wParam);
    default:
        return FALSE;
    }
}

WORD RunWelcomeDialog() {
    return RunWizardDialog(DLG_WELCOME, WelcomeDlgProc);
}
