// MessageBoxA: a dialog built at run time from the text, the button set, the icon and the default button.
#include "platform/sim/user/internal.h"

#include <algorithm>

namespace sim::user {
namespace {

const int kTextId = 0xFFFF; // the message text
const int kIconId = 20;

struct Button {
    int id;
    const char* text;
};

std::vector<Button> buttons_for(UINT type) {
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL:
        return {{IDOK, "OK"}, {IDCANCEL, "Cancel"}};
    case MB_ABORTRETRYIGNORE:
        return {{IDABORT, "&Abort"}, {IDRETRY, "&Retry"}, {IDIGNORE, "&Ignore"}};
    case MB_YESNOCANCEL:
        return {{IDYES, "&Yes"}, {IDNO, "&No"}, {IDCANCEL, "Cancel"}};
    case MB_YESNO:
        return {{IDYES, "&Yes"}, {IDNO, "&No"}};
    case MB_RETRYCANCEL:
        return {{IDRETRY, "&Retry"}, {IDCANCEL, "Cancel"}};
    default:
        return {{IDOK, "OK"}};
    }
}

std::size_t default_index(UINT type, std::size_t count) {
    std::size_t want = (type & MB_DEFMASK) == MB_DEFBUTTON2   ? 1
                       : (type & MB_DEFMASK) == MB_DEFBUTTON3 ? 2
                                                              : 0;
    return want < count ? want : 0;
}

struct Box {
    UINT type = 0;
    std::vector<Button> buttons;
    int default_id = IDOK;
};

// The controls of the box; WM_INITDIALOG sizes and places them once the text is measured.
DialogTemplate build_template(const Box& box, const std::string& text, const std::string& caption) {
    DialogTemplate t;
    t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
    t.caption = caption;
    t.has_font = true;
    t.point_size = 8;
    t.face = "MS Sans Serif";
    t.cx = 100;
    t.cy = 50;
    if (box.type & MB_ICONMASK) {
        DialogItem icon;
        icon.class_name = "STATIC";
        icon.style = WS_CHILD | WS_VISIBLE | SS_ICON;
        icon.id = kIconId;
        t.items.push_back(icon);
    }
    DialogItem label;
    label.class_name = "STATIC";
    label.style = WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX | WS_GROUP;
    label.text = text;
    label.id = kTextId;
    t.items.push_back(label);
    for (const Button& b : box.buttons) {
        DialogItem i;
        i.class_name = "BUTTON";
        i.style =
            WS_CHILD | WS_VISIBLE | WS_TABSTOP | (b.id == box.default_id ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
        if (&b == &box.buttons.front()) i.style |= WS_GROUP;
        i.text = b.text;
        i.id = static_cast<std::uint32_t>(b.id);
        t.items.push_back(i);
    }
    return t;
}

// The text as the static control draws it, measured in the dialog's font at most MAX_WIDTH wide.
SIZE measure_text(HWND dialog, int max_width) {
    HWND label = GetDlgItem(dialog, kTextId);
    std::string text = window_text(label);
    HDC dc = GetDC(label);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(send(dialog, WM_GETFONT, 0, 0)));
    RECT r{0, 0, max_width, 0};
    DrawTextA(dc, text.c_str(), -1, &r, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(label, dc);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

// Windows 95's layout, in the dialog units of the box's font: margins of 7 around everything, 10 between
// the icon and the text, buttons 50 x 14 with 4 between them, centred under the text and icon. The icon
// stands in the top left corner, a text lower than the icon beside its middle. The text wraps at 5/8 of
// the screen's width; the box is centred on the screen.
void lay_out(HWND dialog, const Box& box) {
    RECT du{7, 7, 10, 14}, across{50, 0, 4, 0};
    MapDialogRect(dialog, &du);
    MapDialogRect(dialog, &across);
    const int margin_x = du.left, margin_y = du.top, gap = du.right, button_cy = du.bottom,
              button_cx = across.left, button_gap = across.right;
    bool has_icon = (box.type & MB_ICONMASK) != 0;
    SIZE icon = has_icon ? SIZE{GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON)} : SIZE{0, 0};
    int text_x = margin_x + (has_icon ? icon.cx + gap : 0);
    SIZE text = measure_text(dialog, GetSystemMetrics(SM_CXSCREEN) * 5 / 8);
    int n = static_cast<int>(box.buttons.size());
    int buttons_cx = n * button_cx + (n - 1) * button_gap;
    int content_cy = std::max<int>(icon.cy, text.cy);
    int cx = std::max<int>(text_x + text.cx + margin_x, buttons_cx + 2 * margin_x);
    int buttons_y = margin_y + content_cy + margin_y;
    int cy = buttons_y + button_cy + margin_y;

    if (has_icon)
        SetWindowPos(GetDlgItem(dialog, kIconId), nullptr, margin_x, margin_y, icon.cx, icon.cy,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(GetDlgItem(dialog, kTextId), nullptr, text_x, margin_y + (content_cy - text.cy) / 2, text.cx,
                 text.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    int x = (cx - buttons_cx) / 2;
    for (const Button& b : box.buttons) {
        SetWindowPos(GetDlgItem(dialog, b.id), nullptr, x, buttons_y, button_cx, button_cy,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        x += button_cx + button_gap;
    }
    // The frame and caption around the client area.
    RECT window, client;
    GetWindowRect(dialog, &window);
    GetClientRect(dialog, &client);
    cx += window.right - window.left - client.right;
    cy += window.bottom - window.top - client.bottom;
    SetWindowPos(dialog, nullptr, (GetSystemMetrics(SM_CXSCREEN) - cx) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - cy) / 2, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

LPCSTR icon_of(UINT type) {
    switch (type & MB_ICONMASK) {
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

bool has_button(const Box& box, int id) {
    return std::any_of(box.buttons.begin(), box.buttons.end(), [id](const Button& b) { return b.id == id; });
}

// Escape and Alt+F4 give Cancel when there is a Cancel button, OK when OK is the only button, and
// nothing otherwise.
INT_PTR on_command(HWND dialog, const Box& box, int id) {
    if (id == IDCANCEL && !has_button(box, IDCANCEL)) {
        if (box.buttons.size() == 1 && box.buttons[0].id == IDOK) EndDialog(dialog, IDOK);
        return TRUE;
    }
    if (has_button(box, id)) EndDialog(dialog, id);
    return TRUE;
}

INT_PTR CALLBACK message_box_proc(HWND dialog, UINT msg, WPARAM wparam, LPARAM lparam) {
    switch (msg) {
    case WM_INITDIALOG: {
        SetWindowLongPtrA(dialog, DWLP_USER, lparam);
        const Box& box = *reinterpret_cast<const Box*>(lparam);
        lay_out(dialog, box);
        if (LPCSTR icon = icon_of(box.type))
            send(GetDlgItem(dialog, kIconId), STM_SETICON, reinterpret_cast<WPARAM>(LoadIconA(nullptr, icon)),
                 0);
        send(dialog, DM_SETDEFID, static_cast<WPARAM>(box.default_id), 0);
        SetFocus(GetDlgItem(dialog, box.default_id));
        return FALSE;
    }
    case WM_COMMAND: {
        const auto* box = reinterpret_cast<const Box*>(GetWindowLongPtrA(dialog, DWLP_USER));
        return box ? on_command(dialog, *box, LOWORD(wparam)) : FALSE;
    }
    default:
        return FALSE;
    }
}

} // namespace
} // namespace sim::user

using namespace sim::user;

int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    Box box;
    box.type = type;
    box.buttons = buttons_for(type);
    box.default_id = box.buttons[default_index(type, box.buttons.size())].id;
    sim::DialogTemplate t = build_template(box, text ? text : "", caption ? caption : "Error");
    INT_PTR r = run_dialog(nullptr, t, owner, message_box_proc, reinterpret_cast<LPARAM>(&box), "message");
    return static_cast<int>(r);
}
