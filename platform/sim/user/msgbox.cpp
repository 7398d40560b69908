// MessageBoxA: a dialog built at run time from the text, the button set, the icon and the default button.
#include "platform/sim/user/internal.h"

#include <algorithm>
#include <sstream>

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

// Lines and the widest of them, in characters, for the layout.
void measure(const std::string& text, int& lines, int& widest) {
    lines = 0;
    widest = 0;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        ++lines;
        widest = std::max(widest, static_cast<int>(line.size()));
    }
    lines = std::max(lines, 1);
}

DialogTemplate build_template(const Box& box, const std::string& text, const std::string& caption) {
    DialogTemplate t;
    t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER | DS_SETFONT | WS_VISIBLE;
    t.caption = caption;
    t.has_font = true;
    t.point_size = 8;
    t.face = "MS Sans Serif";
    // Dialog units: 4 to a character across, 8 to a line down.
    int lines = 1, widest = 0;
    measure(text, lines, widest);
    bool icon = (box.type & MB_ICONMASK) != 0;
    int text_x = icon ? 42 : 10;
    int text_cx = std::min(std::max(widest * 4 + 4, 20), 4 * 70);
    int wrapped = lines + widest / 70;
    int text_cy = std::max(wrapped * 8, icon ? 20 : 8);
    int n = static_cast<int>(box.buttons.size());
    int buttons_cx = n * 50 + (n - 1) * 6;
    t.cx = static_cast<short>(std::max(text_x + text_cx + 10, buttons_cx + 20));
    int buttons_y = 10 + text_cy + 10;
    t.cy = static_cast<short>(buttons_y + 14 + 7);
    if (icon) {
        DialogItem i;
        i.class_name = "STATIC";
        i.style = WS_CHILD | WS_VISIBLE | SS_ICON;
        i.x = 10;
        i.y = 8;
        i.cx = 21;
        i.cy = 20;
        i.id = kIconId;
        t.items.push_back(i);
    }
    DialogItem label;
    label.class_name = "STATIC";
    label.style = WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX | WS_GROUP;
    label.text = text;
    label.x = static_cast<short>(text_x);
    label.y = 10;
    label.cx = static_cast<short>(text_cx);
    label.cy = static_cast<short>(text_cy);
    label.id = kTextId;
    t.items.push_back(label);
    int x = (t.cx - buttons_cx) / 2;
    for (const Button& b : box.buttons) {
        DialogItem i;
        i.class_name = "BUTTON";
        i.style =
            WS_CHILD | WS_VISIBLE | WS_TABSTOP | (b.id == box.default_id ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
        if (&b == &box.buttons.front()) i.style |= WS_GROUP;
        i.text = b.text;
        i.x = static_cast<short>(x);
        i.y = static_cast<short>(buttons_y);
        i.cx = 50;
        i.cy = 14;
        i.id = static_cast<std::uint32_t>(b.id);
        t.items.push_back(i);
        x += 56;
    }
    return t;
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
