#include "common/bounded.h"
#include "setup/core/setup.h"
#include "setup/messages/messages.h"
#include "setup/resources/ids.h"

#include <cstdarg>

namespace {

constexpr int kButtonTextCap = 32;
constexpr int kIconSize = 32;
constexpr int kMargin = 10;
constexpr int kHiddenY = 3000; // hidden buttons stand out of sight below the dialog
constexpr int kHiddenSize = 20;
constexpr UINT kTypeMask = 0x0F;
constexpr UINT kIconMask = 0xF0;
constexpr UINT kDefaultMask = 0xF00;

// The request of the one Message dialog that can be open.
struct MessageRequest {
    const char* text;
    const char* caption;
    const char* face;
    UINT style;
};
MessageRequest request;
MessageLayout layout;

// The buttons of a type, in the order they stand from left to right: which control shows which text.
// Escape presses control 2 (IDCANCEL), so control 2 always holds the answer that gives up: No rather than
// Yes to All in the Yes, Yes to All, No set.
struct ButtonSet {
    int controls[3]; // control ids, left to right
    UINT texts[3];   // string ids of their texts
    int count;
};

UINT TypeOf(UINT style) {
    return style & kTypeMask;
}

ButtonSet ButtonsFor(UINT type) {
    const int kUsual[3] = {IDC_MSG_BUTTON1, IDC_MSG_BUTTON2, IDC_MSG_BUTTON3};
    switch (type) {
    case MB_OKCANCEL:
        return {{kUsual[0], kUsual[1], kUsual[2]}, {IDS_BUTTON_OK, IDS_BUTTON_CANCEL, IDS_BUTTON_IGNORE}, 2};
    case MB_ABORTRETRYIGNORE:
        return {
            {kUsual[0], kUsual[1], kUsual[2]}, {IDS_BUTTON_ABORT, IDS_BUTTON_RETRY, IDS_BUTTON_IGNORE}, 3};
    case MB_YESNO:
        return {{kUsual[0], kUsual[1], kUsual[2]}, {IDS_BUTTON_YES, IDS_BUTTON_NO, IDS_BUTTON_IGNORE}, 2};
    case MB_YESYESTOALLNO:
        return {{IDC_MSG_BUTTON1, IDC_MSG_BUTTON3, IDC_MSG_BUTTON2},
                {IDS_BUTTON_YES, IDS_BUTTON_YES_TO_ALL, IDS_BUTTON_NO},
                3};
    default:
        return {{kUsual[0], kUsual[1], kUsual[2]}, {IDS_BUTTON_OK, IDS_BUTTON_CANCEL, IDS_BUTTON_IGNORE}, 1};
    }
}

LPCSTR IconFor(UINT style) {
    switch (style & kIconMask) {
    case MB_ICONHAND:
        return IDI_HAND;
    case MB_ICONQUESTION:
        return IDI_QUESTION;
    case MB_ICONEXCLAMATION:
        return IDI_EXCLAMATION;
    case MB_ICONASTERISK:
        return IDI_ASTERISK;
    default:
        return nullptr;
    }
}

// Result of the button with control id ID for the request's type.
int ResultOf(int id) {
    static const int results[][3] = {
        {IDOK, IDCANCEL, IDIGNORE},   // every other type
        {IDYES, IDNO, IDIGNORE},      // Yes, No
        {IDABORT, IDRETRY, IDIGNORE}, // Abort, Retry, Ignore
        {IDYES, IDNO, IDYESTOALL},    // Yes, Yes to All, No (by control, not by place)
    };
    int row = 0;
    switch (TypeOf(request.style)) {
    case MB_YESNO:
        row = 1;
        break;
    case MB_ABORTRETRYIGNORE:
        row = 2;
        break;
    case MB_YESYESTOALLNO:
        row = 3;
        break;
    default:
        break;
    }
    int column = id == IDC_MSG_BUTTON1 ? 0 : id == IDC_MSG_BUTTON2 ? 1 : 2;
    return results[row][column];
}

// Closing by the system menu or Alt+F4 answers with the default button where the type has a choice; the
// question with Yes to All is answered No, never Yes to All.
int CloseResult() {
    bool secondIsDefault = (request.style & kDefaultMask) == MB_DEFBUTTON2;
    switch (TypeOf(request.style)) {
    case MB_YESNO:
        return secondIsDefault ? IDNO : IDYES;
    case MB_ABORTRETRYIGNORE:
        return secondIsDefault ? IDRETRY : IDABORT;
    case MB_OKCANCEL:
        return secondIsDefault ? IDCANCEL : IDOK;
    case MB_YESYESTOALLNO:
        return IDNO;
    default:
        return IDOK;
    }
}

// The control of the default button: the first, second or third from the left.
int DefaultButtonId(const ButtonSet& buttons) {
    UINT bits = request.style & kDefaultMask;
    if (bits == MB_DEFBUTTON3 && buttons.count == 3) return buttons.controls[2];
    if (bits == MB_DEFBUTTON2 && buttons.count >= 2) return buttons.controls[1];
    return buttons.controls[0];
}

// The text font; null means the stock system font. The caller deletes a created font.
HFONT CreateTextFont() {
    if (!request.face) return nullptr;
    LOGFONTA font{};
    font.lfHeight = -13;
    font.lfWeight = FW_BOLD;
    CopyText(font.lfFaceName, request.face);
    return CreateFontIndirectA(&font);
}

HGDIOBJ SelectTextFont(HDC dc, HFONT font) {
    return SelectObject(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(SYSTEM_FONT));
}

// The text's rectangle, measured with word breaks in half the screen's width, then placed right of the icon.
RECT MeasureText(int iconSize) {
    RECT rect{0, 0, GetSystemMetrics(SM_CXSCREEN) / 2, 10};
    // A memory DC compatible with the screen measures exactly as the dialog's own DC draws.
    HDC dc = CreateCompatibleDC(nullptr);
    HFONT font = CreateTextFont();
    HGDIOBJ old = SelectTextFont(dc, font);
    DrawTextA(dc, request.text ? request.text : "", -1, &rect, DT_CALCRECT | DT_WORDBREAK);
    SelectObject(dc, old);
    if (font) DeleteObject(font);
    DeleteDC(dc);
    if (rect.bottom < iconSize) { // centre a short text on the icon's band
        rect.top += iconSize / 3;
        rect.bottom = iconSize + iconSize / 3;
    }
    rect.left += iconSize + 20;
    rect.right += iconSize + 20;
    rect.top += kMargin;
    rect.bottom += kMargin;
    return rect;
}

void ResizeClient(HWND hDlg, int width, int height) {
    RECT window, client;
    GetWindowRect(hDlg, &window);
    GetClientRect(hDlg, &client);
    MoveWindow(hDlg, window.left, window.top, window.right - window.left - client.right + width,
               window.bottom - window.top - client.bottom + height, FALSE);
}

void PlaceButton(HWND hDlg, int id, bool shown, int x, int y, SIZE size, UINT textId, const char* fallback) {
    HWND button = GetDlgItem(hDlg, id);
    if (shown)
        MoveWindow(button, x, y, size.cx, size.cy, FALSE);
    else
        MoveWindow(button, 0, kHiddenY, kHiddenSize, kHiddenSize, FALSE);
    char text[kButtonTextCap];
    LoadText(textId, text, sizeof text);
    SetWindowTextA(button, text[0] ? text : fallback);
}

void LayOutButtons(HWND hDlg, const ButtonSet& buttons, SIZE size, int y) {
    int gap = (layout.clientWidth - buttons.count * size.cx) / (buttons.count + 1);
    if (gap < 1) gap = 1;
    static const char* const kFallbacks[3] = {"OK", "Cancel", "Ignore"};
    for (int place = 0; place < 3; ++place)
        PlaceButton(hDlg, buttons.controls[place], place < buttons.count, gap + place * (size.cx + gap), y,
                    size, buttons.texts[place], kFallbacks[place]);
}

SIZE ButtonSize(HWND hDlg) {
    RECT rect;
    GetWindowRect(GetDlgItem(hDlg, IDC_MSG_BUTTON1), &rect);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

BOOL OnInitDialog(HWND hDlg) {
    ButtonSet buttons = ButtonsFor(TypeOf(request.style));
    layout.buttonCount = buttons.count;
    layout.iconSize = IconFor(request.style) ? kIconSize : 0;
    layout.text = MeasureText(layout.iconSize);
    SIZE button = ButtonSize(hDlg);
    layout.clientWidth = layout.text.right + 20;
    if (layout.clientWidth < buttons.count * button.cx) layout.clientWidth = buttons.count * button.cx;
    layout.clientHeight = layout.text.bottom + button.cy + 20;
    ResizeClient(hDlg, layout.clientWidth, layout.clientHeight);
    LayOutButtons(hDlg, buttons, button, layout.text.bottom + kMargin);
    if (request.caption) SetWindowTextA(hDlg, request.caption);
    HWND defaultButton = GetDlgItem(hDlg, DefaultButtonId(buttons));
    SendMessageA(defaultButton, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    SetFocus(defaultButton);
    return FALSE; // the focus is set
}

void OnPaint(HWND hDlg) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hDlg, &paint);
    if (LPCSTR icon = IconFor(request.style)) {
        int y = (layout.text.bottom - layout.iconSize - layout.text.top) / 2 + kMargin;
        DrawIcon(dc, kMargin, y, LoadIconA(nullptr, icon));
    }
    HFONT font = CreateTextFont();
    HGDIOBJ old = SelectTextFont(dc, font);
    SetBkColor(dc, RGB(192, 192, 192));
    RECT rect = layout.text;
    DrawTextA(dc, request.text ? request.text : "", -1, &rect, DT_WORDBREAK);
    SelectObject(dc, old);
    if (font) DeleteObject(font);
    EndPaint(hDlg, &paint);
}

bool IsGreyColourMessage(UINT msg) {
    return msg == WM_CTLCOLORDLG || msg == WM_CTLCOLORSTATIC || msg == WM_CTLCOLOREDIT ||
           msg == WM_CTLCOLORLISTBOX || msg == WM_CTLCOLORMSGBOX;
}

} // namespace

BOOL AnswerGreyColour(UINT msg, WPARAM wParam, INT_PTR* result) {
    if (!IsGreyColourMessage(msg)) return FALSE;
    SetBkColor(reinterpret_cast<HDC>(wParam), RGB(192, 192, 192));
    HBRUSH brush = hbrDialogBack ? hbrDialogBack : static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
    *result = reinterpret_cast<INT_PTR>(brush);
    return TRUE;
}

const MessageLayout& LastMessageLayout() {
    return layout;
}

INT_PTR CALLBACK MessageDlgProc(HWND hDlg, UINT msg, WPARAM wParam, LPARAM) {
    INT_PTR colour;
    if (AnswerGreyColour(msg, wParam, &colour)) return colour;
    switch (msg) {
    case WM_INITDIALOG:
        return OnInitDialog(hDlg);
    case WM_PAINT:
        OnPaint(hDlg);
        return TRUE;
    case WM_COMMAND: {
        int id = LOWORD(wParam);
        if (id != IDC_MSG_BUTTON1 && id != IDC_MSG_BUTTON2 && id != IDC_MSG_BUTTON3) return FALSE;
        EndDialog(hDlg, ResultOf(id));
        return TRUE;
    }
    case WM_CLOSE:
        EndDialog(hDlg, CloseResult());
        return TRUE;
    default:
        return FALSE;
    }
}

int SetupMessageBox(const char* text, const char* caption, const char* face, UINT style) {
    request = {text, caption, face, style};
    HINSTANCE instance = hInst ? hInst : GetModuleHandleA(nullptr);
    INT_PTR result = DialogBoxParamA(instance, DLG_MESSAGE, hwndSetup, MessageDlgProc, 0);
    if (hwndSetup) UpdateWindow(hwndSetup);
    return static_cast<int>(result);
}

int ShowSetupMessage(HWND, UINT style, UINT stringId, ...) {
    char format[512];
    LoadText(stringId, format, sizeof format);
    char text[1024];
    va_list args;
    va_start(args, stringId);
    wvsprintfA(text, format, args);
    va_end(args);
    char caption[128];
    LoadText(fLatinTexts ? IDS_CAPTION_LATIN : IDS_CAPTION, caption, sizeof caption);
    // Before the main window has loaded the dialog font there is no face yet: the system font serves.
    return SetupMessageBox(text, caption, szDialogFont[0] ? szDialogFont : nullptr, style & 0xFFFF);
}
