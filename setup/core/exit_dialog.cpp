// The last question of an installation: restart, shut down or go back to Windows. What is chosen is carried
// out by the setup window's destruction, or by the uninstaller when this program runs from the loader's
// temporary directory.
//
// The server dialog's "Restart Windows" and "Return to DOS" have no call of their own on Windows 95: a
// program can only restart the whole system or shut Windows down, and shutting down a Windows started from
// the MS-DOS prompt is what leaves it to DOS. So they are the restart and the shut-down choices, and the
// uninstaller gets " /r" and " /d" for them.
#include "setup/core/setup.h"
#include "setup/messages/messages.h"
#include "setup/resources/ids.h"

namespace {

constexpr int kCaptionCap = 120;
constexpr int kKindWithReturn = 3;

int ExitChoiceOf(int controlId) {
    switch (controlId) {
    case IDC_EXIT_RETURN_WINDOWS:
        return kExitReturnToWindows;
    case IDC_EXIT_SHUTDOWN:
    case IDC_EXIT_RETURN_DOS:
        return kExitShutDown;
    case IDC_EXIT_REBOOT:
    case IDC_EXIT_RESTART_WINDOWS:
        return kExitRestart;
    default:
        return -1; // not a choice
    }
}

INT_PTR OnInitDialog(HWND dialog) {
    if (fLatinTexts) {
        char caption[kCaptionCap];
        LoadText(IDS_CAPTION_LATIN, caption, sizeof caption);
        SetWindowTextA(dialog, caption);
    }
    return TRUE; // the dialog manager puts the focus
}

INT_PTR OnCommand(HWND dialog, WPARAM wParam) {
    int choice = ExitChoiceOf(LOWORD(wParam));
    if (choice < 0) return FALSE;
    EndDialog(dialog, choice);
    return TRUE;
}

int RunExitDialog(LPCSTR templateName) {
    INT_PTR choice = DialogBoxParamA(hInst, templateName, hwndSetup, ExitDlgProc, 0);
    UpdateWindow(hwndSetup);
    return static_cast<int>(choice);
}

} // namespace

INT_PTR CALLBACK ExitDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM) {
    INT_PTR colour;
    if (AnswerGreyColour(msg, wParam, &colour)) return colour;
    switch (msg) {
    case WM_INITDIALOG:
        return OnInitDialog(dialog);
    case WM_COMMAND:
        return OnCommand(dialog, wParam);
    case WM_CLOSE:
        EndDialog(dialog, kExitReturnToWindows);
        return TRUE;
    default:
        return FALSE;
    }
}

int ShowExitDialog(int kind) {
    return RunExitDialog(kind == kKindWithReturn ? DLG_EXITSETUP3 : DLG_EXITSETUP);
}

int ShowExitServerDialog() {
    return RunExitDialog(DLG_EXITSETUPSERVER);
}
