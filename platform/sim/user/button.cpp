// Buttons (push buttons, check boxes, three-state boxes, radio buttons, group boxes) and static controls.
#include "platform/sim/user/internal.h"

#include <vector>

namespace sim::user {

void paint_control(HWND hwnd); // user_paint.cpp

namespace {

bool is_auto(DWORD type) {
    return type == BS_AUTOCHECKBOX || type == BS_AUTO3STATE || type == BS_AUTORADIOBUTTON;
}
bool is_radio(DWORD type) {
    return type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
}
bool is_three_state(DWORD type) {
    return type == BS_3STATE || type == BS_AUTO3STATE;
}

// The other auto radio buttons of the group lose their check when one is clicked.
void uncheck_group_siblings(HWND button) {
    Window* w = find(button);
    if (!w || !is_child(*w)) return;
    HWND parent = w->parent;
    HWND dialog = parent;
    std::vector<HWND> group;
    HWND c = button;
    // Walk the group through its siblings, as GetNextDlgGroupItem does.
    for (int guard = 0; guard < 1024; ++guard) {
        c = GetNextDlgGroupItem(dialog, c, FALSE);
        if (!c || c == button) break;
        group.push_back(c);
    }
    for (HWND g : group) {
        Window* o = find(g);
        if (o && class_is(*o, "BUTTON") && button_type(*o) == BS_AUTORADIOBUTTON)
            send(g, BM_SETCHECK, BST_UNCHECKED, 0);
    }
}

int next_auto_state(DWORD type, int check) {
    if (type == BS_AUTORADIOBUTTON) return BST_CHECKED;
    if (type == BS_AUTO3STATE)
        return check == BST_UNCHECKED ? BST_CHECKED
               : check == BST_CHECKED ? BST_INDETERMINATE
                                      : BST_UNCHECKED;
    return check == BST_UNCHECKED ? BST_CHECKED : BST_UNCHECKED;
}

LRESULT set_check(HWND hwnd, Window& w, WPARAM value) {
    DWORD type = button_type(w);
    if (!is_check_like(w)) return 0;
    int max = is_three_state(type) ? BST_INDETERMINATE : BST_CHECKED;
    int v = static_cast<int>(value) > max ? max : static_cast<int>(value);
    if (w.control.check != v) {
        w.control.check = v;
        invalidate(hwnd, false);
    }
    if (is_radio(type)) {
        // A checked radio button is the one the Tab key reaches in its group.
        if (v == BST_CHECKED)
            w.style |= WS_TABSTOP;
        else
            w.style &= ~WS_TABSTOP;
    }
    return 0;
}

LRESULT set_style(HWND hwnd, Window& w, WPARAM style, LPARAM redraw) {
    w.style = (w.style & ~static_cast<DWORD>(BS_TYPEMASK)) | (static_cast<DWORD>(style) & BS_TYPEMASK);
    if (redraw) invalidate(hwnd, true);
    return 0;
}

LRESULT dialog_code(const Window& w) {
    DWORD type = button_type(w);
    if (type == BS_GROUPBOX) return DLGC_STATIC;
    if (type == BS_DEFPUSHBUTTON) return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
    if (type == BS_PUSHBUTTON) return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
    if (is_radio(type)) return DLGC_BUTTON | DLGC_RADIOBUTTON;
    return DLGC_BUTTON;
}

LRESULT paint(HWND hwnd) {
    paint_control(hwnd);
    return 0;
}

} // namespace

DWORD button_type(const Window& w) {
    return w.style & BS_TYPEMASK;
}

bool is_push_button(const Window& w) {
    DWORD t = button_type(w);
    return t == BS_PUSHBUTTON || t == BS_DEFPUSHBUTTON;
}

bool is_check_like(const Window& w) {
    DWORD t = button_type(w);
    return t == BS_CHECKBOX || t == BS_AUTOCHECKBOX || t == BS_3STATE || t == BS_AUTO3STATE || is_radio(t);
}

void click_button(HWND hwnd) {
    Window* w = find(hwnd);
    if (!w || button_type(*w) == BS_GROUPBOX) return;
    // The button takes the focus on the mouse press, changes its state on the release, then notifies.
    if (GetFocus() != hwnd) SetFocus(hwnd);
    if ((w = find(hwnd)) == nullptr) return;
    DWORD type = button_type(*w);
    if (is_auto(type)) {
        send(hwnd, BM_SETCHECK, static_cast<WPARAM>(next_auto_state(type, w->control.check)), 0);
        if (type == BS_AUTORADIOBUTTON) uncheck_group_siblings(hwnd);
    }
    if (find(hwnd)) notify_parent(hwnd, BN_CLICKED);
}

LRESULT CALLBACK button_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    Window* w = find(hwnd);
    if (!w) return 0;
    switch (msg) {
    case BM_GETCHECK:
        return is_check_like(*w) ? w->control.check : 0;
    case BM_SETCHECK:
        return set_check(hwnd, *w, wparam);
    case BM_GETSTATE:
        return (is_check_like(*w) ? w->control.check : 0) | (w->control.pushed ? BST_PUSHED : 0) |
               (GetFocus() == hwnd ? BST_FOCUS : 0);
    case BM_SETSTATE:
        w->control.pushed = wparam != 0;
        invalidate(hwnd, false);
        return 0;
    case BM_SETSTYLE:
        return set_style(hwnd, *w, wparam, lparam);
    case BM_CLICK:
        click_button(hwnd);
        return 0;
    case WM_GETDLGCODE:
        return dialog_code(*w);
    case WM_SETTEXT:
    case WM_ENABLE:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        invalidate(hwnd, true);
        return DefWindowProcA(hwnd, msg, wparam, lparam);
    case WM_PAINT:
        return paint(hwnd);
    case WM_ERASEBKGND:
        return 1; // the paint fills the whole control
    default:
        return DefWindowProcA(hwnd, msg, wparam, lparam);
    }
}

// An icon control takes the size of its icon (the system's icon size), whatever its template gave it,
// unless it centres the icon in the size it has.
void fit_icon_control(HWND hwnd, const Window& w) {
    if ((w.style & SS_TYPEMASK) != SS_ICON || (w.style & SS_CENTERIMAGE) || !w.control.image) return;
    SetWindowPos(hwnd, nullptr, 0, 0, GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CALLBACK static_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    Window* w = find(hwnd);
    if (!w) return 0;
    switch (msg) {
    case STM_SETICON:
    case STM_SETIMAGE: {
        HANDLE old = w->control.image;
        w->control.image =
            reinterpret_cast<HANDLE>(msg == STM_SETICON ? wparam : static_cast<WPARAM>(lparam));
        fit_icon_control(hwnd, *w);
        if ((w = find(hwnd)) != nullptr) invalidate(hwnd, true);
        return reinterpret_cast<LRESULT>(old);
    }
    case STM_GETICON:
    case STM_GETIMAGE:
        return reinterpret_cast<LRESULT>(w->control.image);
    case WM_GETDLGCODE:
        return DLGC_STATIC;
    case WM_SETTEXT:
    case WM_ENABLE:
        invalidate(hwnd, true);
        return DefWindowProcA(hwnd, msg, wparam, lparam);
    case WM_PAINT:
        return paint(hwnd);
    case WM_ERASEBKGND:
        return 1;
    default:
        return DefWindowProcA(hwnd, msg, wparam, lparam);
    }
}

} // namespace sim::user
