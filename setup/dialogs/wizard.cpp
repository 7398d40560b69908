// The conventions shared by the wizard dialogs.
#include "setup/dialogs/wizard.h"

#include "common/bounded.h"
#include "setup/core/pictures.h"
#include "setup/core/state.h"
#include "setup/messages/messages.h"
#include "setup/resources/ids.h"

namespace {

const COLORREF kDialogGrey = RGB(192, 192, 192);
const int kCaptionCap = 120;
const int kShortestPath = 2; // "C:"
// Longest path field looked at: longer than any path buffer, so that a text too long for one is seen whole.
const int kPathFieldCap = 512;

bool IsTextsColourRequest(UINT msg) {
    return msg == WM_CTLCOLORDLG || msg == WM_CTLCOLORSTATIC;
}

// Check boxes, radio buttons and group boxes ask with WM_CTLCOLORSTATIC under Win32 (WM_CTLCOLORBTN comes
// from push buttons, which keep the system colours).
bool IsControlsColourRequest(UINT msg) {
    return IsTextsColourRequest(msg) || msg == WM_CTLCOLOREDIT || msg == WM_CTLCOLORLISTBOX;
}

bool AnswersColourRequest(UINT msg, WizardColours colours) {
    return colours == WizardColours::AllControls ? IsControlsColourRequest(msg) : IsTextsColourRequest(msg);
}

HBRUSH OnCtlColor(HDC dc) {
    SetBkColor(dc, kDialogGrey);
    return hbrDialogBack;
}

void RepaintSetupWindow() {
    if (!hwndSetup) return;
    InvalidateRect(hwndSetup, nullptr, TRUE);
    UpdateWindow(hwndSetup);
}

} // namespace

WORD RunWizardDialog(LPCSTR templateName, DLGPROC proc, LPARAM param) {
    nDialogResult = kDialogExit;
    DialogBoxParamA(hInst, templateName, hwndSetup, proc, param);
    RepaintSetupWindow();
    return nDialogResult;
}

void EndWizardDialog(HWND dialog, WORD result) {
    nDialogResult = result;
    EndDialog(dialog, result);
}

void SetWizardCaption(HWND dialog, UINT idLatinCaption) {
    if (!fLatinTexts) return;
    char caption[kCaptionCap];
    if (LoadStringA(hInst, idLatinCaption, caption, sizeof caption) > 0) SetWindowTextA(dialog, caption);
}

BOOL ConfirmExitSetup(HWND dialog) {
    if (ShowSetupMessage(dialog, MB_OKCANCEL | MB_ICONQUESTION, IDS_CONFIRM_EXIT) == IDOK) return TRUE;
    SetFocus(dialog);
    return FALSE;
}

void EndWhenExitConfirmed(HWND dialog, WORD result) {
    if (ConfirmExitSetup(dialog)) EndWizardDialog(dialog, result);
}

BOOL IsCommandFromDisabledButton(HWND dialog, WPARAM wParam) {
    if (HIWORD(wParam) != BN_CLICKED) return FALSE; // notifications of fields and lists come as they are
    HWND control = GetDlgItem(dialog, LOWORD(wParam));
    return control && !IsWindowEnabled(control);
}

BOOL HandleWizardMessage(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam, const WizardTraits& traits,
                         INT_PTR* result) {
    (void)lParam;
    if (msg == WM_INITDIALOG) {
        // Only the caption is shared: the dialog's own handler still runs and decides the focus.
        SetWizardCaption(dialog, traits.idLatinCaption);
        return FALSE;
    }
    if (msg == WM_COMMAND && IsCommandFromDisabledButton(dialog, wParam)) {
        *result = TRUE;
        return TRUE;
    }
    if (msg == WM_CLOSE) {
        EndWizardDialog(dialog, kDialogExit);
        *result = TRUE;
        return TRUE;
    }
    if (AnswersColourRequest(msg, traits.colours)) {
        *result = reinterpret_cast<INT_PTR>(OnCtlColor(reinterpret_cast<HDC>(wParam)));
        return TRUE;
    }
    return FALSE;
}

INT_PTR WizardDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam, const WizardTraits& traits) {
    INT_PTR result = FALSE;
    if (HandleWizardMessage(dialog, msg, wParam, lParam, traits, &result)) return result;
    switch (msg) {
    case WM_INITDIALOG:
        return traits.onInitDialog ? traits.onInitDialog(dialog, lParam) : TRUE;
    case WM_PAINT:
        if (!traits.pictureFrame) return FALSE;
        PaintPictureInFrame(dialog, traits.pictureFrame, *traits.picture);
        return TRUE;
    case WM_COMMAND:
        return traits.onCommand ? traits.onCommand(dialog, LOWORD(wParam), HIWORD(wParam)) : FALSE;
    default:
        return FALSE;
    }
}

void PaintPictureInFrame(HWND dialog, int frameId, HBITMAP picture) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(dialog, &paint);
    HWND frame = GetDlgItem(dialog, frameId);
    if (frame) {
        RECT place;
        GetWindowRect(frame, &place);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&place), 2);
        DrawPicture(dc, picture, place.left, place.top);
    }
    EndPaint(dialog, &paint);
}

void ShowFlag(HWND dialog, int box, BOOL flag) {
    CheckDlgButton(dialog, box, static_cast<UINT>(flag));
}

BOOL BoxState(HWND dialog, int box) {
    return static_cast<BOOL>(IsDlgButtonChecked(dialog, box));
}

void EnableWhilePathTyped(HWND dialog, int buttonId, int fieldId) {
    BOOL typed = SendDlgItemMessageA(dialog, fieldId, WM_GETTEXTLENGTH, 0, 0) >= kShortestPath;
    EnableWindow(GetDlgItem(dialog, buttonId), typed);
}

BOOL TakePathField(HWND dialog, int fieldId, char* path, std::size_t cap) {
    char text[kPathFieldCap];
    GetDlgItemTextA(dialog, fieldId, text, sizeof text);
    int length = lstrlenA(text);
    const char* backslash = length > 0 && text[length - 1] == '\\' ? "" : "\\";
    // A field that holds more than was read cannot be taken whole either.
    if (length < kPathFieldCap - 1 && JoinPathN(path, cap, {text, backslash})) return TRUE;
    ShowSetupMessage(dialog, MB_ICONHAND, IDS_DIR_NOT_VALID, text);
    SetFocus(GetDlgItem(dialog, fieldId));
    return FALSE;
}
