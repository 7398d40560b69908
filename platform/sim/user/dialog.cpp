// The dialog manager: dialogs built from templates, the modal loop, the default dialog procedure and the
// dialog helper functions.
#include "platform/sim/gdi/internal.h"
#include "platform/sim/machine/machine.h"
#include "platform/sim/user/internal.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace sim::user {
namespace {

// Dialog units to pixels, rounded to the nearest pixel with halves away from zero, as MulDiv rounds.
int mul_div(int v, int num, int den) {
    long long p = static_cast<long long>(v) * num;
    return static_cast<int>((p + (p < 0 ? -den / 2 : den / 2)) / den);
}
int x_pixels(int units, int base_x) {
    return mul_div(units, base_x, 4);
}
int y_pixels(int units, int base_y) {
    return mul_div(units, base_y, 8);
}

std::shared_ptr<WindowClass> dialog_class(const DialogTemplate& tmpl) {
    if (tmpl.class_name.empty()) return find_class("#32770");
    return find_class(tmpl.class_name);
}

bool is_text_input_class(const std::string& name) {
    return equal_nocase(name, "EDIT") || equal_nocase(name, "LISTBOX") || equal_nocase(name, "COMBOBOX");
}

// Where the dialog stands: template units from the owner's client area (from the screen with
// DS_ABSALIGN), or centred on the screen with DS_CENTER.
POINT dialog_position(const DialogTemplate& tmpl, HWND owner, int base_x, int base_y, int width, int height) {
    const auto& st = machine().settings;
    if (tmpl.style & DS_CENTER) return POINT{(st.screen_width - width) / 2, (st.screen_height - height) / 2};
    POINT p{x_pixels(tmpl.x, base_x), y_pixels(tmpl.y, base_y)};
    if (!(tmpl.style & DS_ABSALIGN) && owner && IsWindow(owner)) ClientToScreen(owner, &p);
    return p;
}

DWORD item_style(const DialogItem& item) {
    return item.style | WS_CHILD;
}

DWORD item_ex_style(const DialogItem& item, DWORD& style) {
    DWORD ex = item.ex_style;
    // Dialogs of this Windows have the 3D look: bordered edit fields and lists get a sunken edge.
    if (is_text_input_class(item.class_name) && (style & WS_BORDER)) {
        style &= ~WS_BORDER;
        ex |= WS_EX_CLIENTEDGE;
    }
    return ex;
}

// An icon static names its icon in the template, by ordinal or by name, among the program's resources.
void load_static_icon(HWND control, const DialogItem& item, HINSTANCE instance) {
    if (!equal_nocase(item.class_name, "STATIC") || (item.style & SS_TYPEMASK) != SS_ICON) return;
    LPCSTR name = item.text_ordinal >= 0 ? MAKEINTRESOURCEA(item.text_ordinal) : item.text.c_str();
    if (!item.text.empty() || item.text_ordinal >= 0)
        if (HICON icon = LoadIconA(instance, name))
            send(control, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
}

bool create_controls(HWND dialog, const DialogTemplate& tmpl, HINSTANCE instance) {
    Window* d = find(dialog);
    for (const DialogItem& item : tmpl.items) {
        if (!d) return false;
        // Position and size are each rounded, so a control's width is its own width in pixels rather
        // than the distance between its rounded edges.
        int bx = d->dialog->base_x, by = d->dialog->base_y;
        int x = x_pixels(item.x, bx), y = y_pixels(item.y, by);
        RECT r{x, y, x + x_pixels(item.cx, bx), y + y_pixels(item.cy, by)};
        DWORD style = item_style(item);
        DWORD ex = item_ex_style(item, style);
        std::string cls = item.class_name.empty() ? std::string("STATIC") : item.class_name;
        std::string text = item.text;
        if (item.text_ordinal >= 0) text.clear();
        HWND c = CreateWindowExA(ex, cls.c_str(), text.c_str(), style, r.left, r.top, r.right - r.left,
                                 r.bottom - r.top, dialog,
                                 reinterpret_cast<HMENU>(static_cast<LONG_PTR>(item.id)), instance, nullptr);
        if (!c) {
            // Windows fails the dialog without a word; the simulator also says why.
            if (!find_class(cls))
                std::fprintf(stderr, "win95sim: dialog control %u has the unknown class \"%s\"\n",
                             static_cast<unsigned>(item.id), cls.c_str());
            if (!(tmpl.style & DS_NOFAILCREATE)) return false;
            continue;
        }
        if ((d = find(dialog)) == nullptr) return false;
        if (d->dialog->font) send(c, WM_SETFONT, reinterpret_cast<WPARAM>(d->dialog->font), FALSE);
        load_static_icon(c, item, instance);
        if (equal_nocase(cls, "BUTTON") && (style & BS_TYPEMASK) == BS_DEFPUSHBUTTON &&
            d->dialog->def_id == 0)
            d->dialog->def_id = static_cast<int>(item.id);
    }
    return true;
}

// The first control that takes the focus when the dialog opens: the first visible, enabled control
// with WS_TABSTOP.
HWND first_tab_stop(HWND dialog) {
    Window* d = find(dialog);
    if (!d) return nullptr;
    for (HWND c : d->children) {
        Window* w = find(c);
        if (w && (w->style & WS_TABSTOP) && (w->style & WS_VISIBLE) && !(w->style & WS_DISABLED)) return c;
    }
    return nullptr;
}

bool can_take_focus(HWND c) {
    Window* w = find(c);
    return w && (w->style & WS_VISIBLE) && !(w->style & WS_DISABLED);
}

void focus_control(HWND dialog, HWND control) {
    if (!control) return;
    SetFocus(control);
    Window* w = find(control);
    if (w && class_is(*w, "EDIT")) send(control, EM_SETSEL, 0, -1);
    (void)dialog;
}

// Messages whose result the dialog procedure returns directly instead of through DWLP_MSGRESULT.
bool returns_directly(UINT msg) {
    switch (msg) {
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_INITDIALOG:
    case WM_GETDLGCODE:
        return true;
    default:
        return false;
    }
}

HWND find_default_push_button(HWND dialog) {
    Window* d = find(dialog);
    if (!d) return nullptr;
    for (HWND c : d->children)
        if (Window* w = find(c); w && class_is(*w, "BUTTON") && button_type(*w) == BS_DEFPUSHBUTTON) return c;
    return nullptr;
}

void set_push_style(HWND button, DWORD type) {
    Window* w = find(button);
    if (!w || !is_push_button(*w) || button_type(*w) == type) return;
    send(button, BM_SETSTYLE, type, TRUE);
}

LRESULT on_set_def_id(HWND dialog, Window& d, WPARAM id) {
    HWND old = GetDlgItem(dialog, d.dialog->def_id);
    if (!old) old = find_default_push_button(dialog);
    HWND now = GetDlgItem(dialog, static_cast<int>(id));
    if (old && old != now) set_push_style(old, BS_PUSHBUTTON);
    if (now) set_push_style(now, BS_DEFPUSHBUTTON);
    if (Window* again = find(dialog)) again->dialog->def_id = static_cast<int>(id);
    return TRUE;
}

LRESULT on_get_def_id(HWND dialog, Window& d) {
    if (d.dialog->def_id) return MAKELONG(d.dialog->def_id, DC_HASDEFID);
    if (HWND b = find_default_push_button(dialog)) return MAKELONG(GetDlgCtrlID(b), DC_HASDEFID);
    return 0;
}

LRESULT on_next_dlg_ctl(HWND dialog, WPARAM wparam, LPARAM lparam) {
    HWND target =
        LOWORD(lparam) ? reinterpret_cast<HWND>(wparam) : GetNextDlgTabItem(dialog, GetFocus(), wparam != 0);
    if (target && IsChild(dialog, target)) focus_control(dialog, target);
    return 0;
}

// WM_CLOSE: a dialog treats it as Cancel, unless its Cancel button is disabled.
LRESULT on_close(HWND dialog) {
    HWND cancel = GetDlgItem(dialog, IDCANCEL);
    if (cancel && !IsWindowEnabled(cancel)) {
        MessageBeep(0);
        return 0;
    }
    post(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(cancel));
    return 0;
}

LRESULT default_dialog_message(HWND dialog, Window& d, UINT msg, WPARAM wparam, LPARAM lparam) {
    switch (msg) {
    case WM_CLOSE:
        return on_close(dialog);
    case DM_GETDEFID:
        return on_get_def_id(dialog, d);
    case DM_SETDEFID:
        return on_set_def_id(dialog, d, wparam);
    case WM_NEXTDLGCTL:
        return on_next_dlg_ctl(dialog, wparam, lparam);
    case WM_ERASEBKGND:
        return erase_background(dialog, reinterpret_cast<HDC>(wparam));
    case WM_SETFOCUS:
        if (HWND first = first_tab_stop(dialog)) focus_control(dialog, first);
        return 0;
    case WM_ACTIVATE:
        return 0;
    default:
        return DefWindowProcA(dialog, msg, wparam, lparam);
    }
}

void run_modal_loop(HWND dialog) {
    for (;;) {
        Window* d = find(dialog);
        if (!d || d->dialog->ended) return;
        MSG m;
        if (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            if (m.message == WM_QUIT) {
                // The quit message ends the dialog and stays for the program's own loop.
                PostQuitMessage(static_cast<int>(m.wParam));
                if ((d = find(dialog)) != nullptr) d->dialog->ended = true;
                return;
            }
            if (!IsDialogMessageA(dialog, &m)) {
                TranslateMessage(&m);
                DispatchMessageA(&m);
            }
            continue;
        }
        wait_for_user(dialog);
    }
}

} // namespace

HWND dialog_of(HWND control) {
    for (Window* w = find(control); w; w = is_child(*w) ? find(w->parent) : nullptr)
        if (w->dialog) return w->handle;
    return nullptr;
}

int default_button_id(HWND dialog) {
    LRESULT r = send(dialog, DM_GETDEFID, 0, 0);
    return HIWORD(r) == DC_HASDEFID ? LOWORD(r) : 0;
}

HWND create_dialog(HINSTANCE instance, const DialogTemplate& tmpl, HWND owner, DLGPROC proc, LPARAM param) {
    auto cls = dialog_class(tmpl);
    if (!cls) return nullptr;
    HFONT font = tmpl.has_font ? dialog_font(tmpl) : nullptr;
    SIZE units = sim::dialog_base_units(font); // the system font when the template names none
    int base_x = std::max<int>(1, units.cx), base_y = std::max<int>(1, units.cy);
    DWORD style = tmpl.style & ~WS_VISIBLE;
    DWORD ex = tmpl.ex_style;
    if (style & DS_MODALFRAME) ex |= WS_EX_DLGMODALFRAME;
    if (!(style & WS_CHILD)) style |= WS_CLIPSIBLINGS;
    int f = frame_width(style, ex);
    int top = f + (has_caption(style) ? caption_height() : 0);
    int width = x_pixels(tmpl.cx, base_x) + 2 * f;
    int height = y_pixels(tmpl.cy, base_y) + top + f;
    // The template places the client area; the frame and caption stand outside it.
    POINT pos = dialog_position(tmpl, owner, base_x, base_y, width, height);
    if (!(tmpl.style & DS_CENTER)) {
        pos.x -= f;
        pos.y -= top;
    }
    std::string caption = tmpl.caption;

    // The dialog procedure sees the dialog from its creation on: attach it through the class procedure.
    HWND dialog = CreateWindowExA(ex, cls->name.c_str(), caption.c_str(), style, pos.x, pos.y, width, height,
                                  owner, nullptr, instance, nullptr);
    Window* d = find(dialog);
    if (!d) return nullptr;
    if (!d->dialog) d->dialog = std::make_unique<DialogState>();
    d->dialog->proc = proc;
    d->dialog->base_x = base_x;
    d->dialog->base_y = base_y;
    d->dialog->font = font;
    if (d->dialog->font) send(dialog, WM_SETFONT, reinterpret_cast<WPARAM>(d->dialog->font), FALSE);
    if (!create_controls(dialog, tmpl, instance)) {
        DestroyWindow(dialog);
        return nullptr;
    }
    HWND first = first_tab_stop(dialog);
    LRESULT set_focus_default = send(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), param);
    if (!find(dialog)) return nullptr;
    if (set_focus_default && first && IsChild(dialog, first) && can_take_focus(first))
        focus_control(dialog, first);
    if ((tmpl.style & WS_VISIBLE) && find(dialog)) ShowWindow(dialog, SW_SHOWNORMAL);
    return find(dialog) ? dialog : nullptr;
}

std::string template_label(LPCSTR name) {
    if (IS_INTRESOURCE(name)) return "#" + std::to_string(reinterpret_cast<ULONG_PTR>(name));
    return upper_ascii(name);
}

INT_PTR run_dialog(HINSTANCE instance, const DialogTemplate& tmpl, HWND owner, DLGPROC proc, LPARAM param,
                   const std::string& kind, const std::string& template_name) {
    // The owner of a modal dialog is a top-level window.
    while (owner && IsWindow(owner) && (GetWindowLongA(owner, GWL_STYLE) & WS_CHILD))
        owner = GetParent(owner);
    HWND dialog = create_dialog(instance, tmpl, owner, proc, param);
    if (!dialog) return -1;
    find(dialog)->dialog->kind = kind;
    find(dialog)->dialog->template_name = template_name;
    bool owner_was_enabled = owner && IsWindowEnabled(owner);
    if (owner_was_enabled) EnableWindow(owner, FALSE);
    Window* d = find(dialog);
    if (d && !d->dialog->ended) {
        ShowWindow(dialog, SW_SHOWNORMAL);
        if (!GetFocus() || !IsChild(dialog, GetFocus())) {
            if (GetFocus() != dialog && !IsChild(dialog, GetFocus())) SetActiveWindow(dialog);
        }
        run_modal_loop(dialog);
    }
    INT_PTR result = 0;
    if ((d = find(dialog)) != nullptr) result = d->dialog->result;
    if (owner_was_enabled && IsWindow(owner)) EnableWindow(owner, TRUE);
    if (find(dialog)) DestroyWindow(dialog);
    if (owner && IsWindow(owner) && IsWindowVisible(owner)) SetActiveWindow(owner);
    return result;
}

LRESULT CALLBACK dialog_class_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    return DefDlgProcA(hwnd, msg, wparam, lparam);
}

void fatal(const std::string& message) {
    std::fflush(stdout);
    std::fprintf(stderr, "win95sim: %s\n", message.c_str());
    std::fflush(stderr);
    std::_Exit(3);
}

} // namespace sim::user

using namespace sim::user;

LRESULT WINAPI DefDlgProcA(HWND dialog, UINT msg, WPARAM wparam, LPARAM lparam) {
    Window* d = find(dialog);
    if (!d) return 0;
    if (!d->dialog) d->dialog = std::make_unique<DialogState>();
    if (DLGPROC proc = d->dialog->proc) {
        d->dialog->msg_result = 0;
        INT_PTR handled = proc(dialog, msg, wparam, lparam);
        if ((d = find(dialog)) == nullptr) return handled;
        if (returns_directly(msg)) {
            if (handled || msg == WM_INITDIALOG) return handled;
        } else if (handled) {
            return d->dialog->msg_result;
        }
    }
    if (msg == WM_INITDIALOG) return FALSE;
    return default_dialog_message(dialog, *d, msg, wparam, lparam);
}

INT_PTR WINAPI DialogBoxParamA(HINSTANCE instance, LPCSTR template_name, HWND owner, DLGPROC proc,
                               LPARAM param) {
    sim::DialogTemplate tmpl;
    std::string error;
    if (!template_name) return -1;
    if (!sim::load_dialog_template(template_name, tmpl, &error)) {
        std::fprintf(stderr, "win95sim: dialog template %s: %s\n", template_label(template_name).c_str(),
                     error.c_str());
        return -1;
    }
    return run_dialog(instance, tmpl, owner, proc, param, "dialog", template_label(template_name));
}

INT_PTR WINAPI DialogBoxIndirectParamA(HINSTANCE instance, LPCDLGTEMPLATEA templ, HWND owner, DLGPROC proc,
                                       LPARAM param) {
    if (!templ) return -1;
    sim::DialogTemplate tmpl;
    std::string error;
    // The in-memory template carries no size: the parser stops at its end, within a generous bound.
    if (!sim::parse_dialog_template(templ, 65536, sim::machine().settings.codepage, tmpl, &error)) return -1;
    return run_dialog(instance, tmpl, owner, proc, param, "dialog");
}

BOOL WINAPI EndDialog(HWND dialog, INT_PTR result) {
    Window* d = find(dialog);
    if (!d || !d->dialog) return FALSE;
    d->dialog->ended = true;
    d->dialog->result = result;
    // The owner becomes usable again and the dialog disappears before the loop returns.
    if (d->owner && IsWindow(d->owner)) EnableWindow(d->owner, TRUE);
    ShowWindow(dialog, SW_HIDE);
    return TRUE;
}

HWND WINAPI GetDlgItem(HWND dialog, int id) {
    Window* d = find(dialog);
    if (!d) return nullptr;
    for (HWND c : d->children)
        if (Window* w = find(c);
            w && static_cast<int>(static_cast<WORD>(w->id)) == static_cast<int>(static_cast<WORD>(id)))
            return c;
    return nullptr;
}

LRESULT WINAPI SendDlgItemMessageA(HWND dialog, int id, UINT msg, WPARAM wparam, LPARAM lparam) {
    HWND c = GetDlgItem(dialog, id);
    return c ? send(c, msg, wparam, lparam) : 0;
}

BOOL WINAPI SetDlgItemTextA(HWND dialog, int id, LPCSTR text) {
    HWND c = GetDlgItem(dialog, id);
    return c ? SetWindowTextA(c, text) : FALSE;
}

UINT WINAPI GetDlgItemTextA(HWND dialog, int id, LPSTR text, int max) {
    HWND c = GetDlgItem(dialog, id);
    if (!c) {
        if (text && max > 0) text[0] = 0;
        return 0;
    }
    return static_cast<UINT>(GetWindowTextA(c, text, max));
}

BOOL WINAPI SetDlgItemInt(HWND dialog, int id, UINT value, BOOL is_signed) {
    char buf[16];
    if (is_signed)
        std::snprintf(buf, sizeof buf, "%d", static_cast<int>(value));
    else
        std::snprintf(buf, sizeof buf, "%u", value);
    return SetDlgItemTextA(dialog, id, buf);
}

UINT WINAPI GetDlgItemInt(HWND dialog, int id, BOOL* translated, BOOL is_signed) {
    if (translated) *translated = FALSE;
    char buf[64];
    if (!GetDlgItem(dialog, id)) return 0;
    GetDlgItemTextA(dialog, id, buf, sizeof buf);
    const char* p = buf;
    while (*p == ' ')
        ++p;
    bool negative = false;
    if (is_signed && (*p == '-' || *p == '+')) negative = *p++ == '-';
    if (*p < '0' || *p > '9') return 0;
    // The number ends at the first character that is not a digit.
    unsigned long long v = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        v = v * 10 + static_cast<unsigned>(*p - '0');
        if (v > 0xFFFFFFFFull) return 0;
    }
    if (is_signed && v > (negative ? 0x80000000ull : 0x7FFFFFFFull)) return 0;
    if (translated) *translated = TRUE;
    return negative ? static_cast<UINT>(-static_cast<long long>(v)) : static_cast<UINT>(v);
}

BOOL WINAPI CheckDlgButton(HWND dialog, int id, UINT check) {
    HWND c = GetDlgItem(dialog, id);
    if (!c) return FALSE;
    send(c, BM_SETCHECK, check, 0);
    return TRUE;
}

UINT WINAPI IsDlgButtonChecked(HWND dialog, int id) {
    HWND c = GetDlgItem(dialog, id);
    return c ? static_cast<UINT>(send(c, BM_GETCHECK, 0, 0)) : 0;
}

BOOL WINAPI CheckRadioButton(HWND dialog, int first, int last, int check) {
    Window* d = find(dialog);
    if (!d) return FALSE;
    std::vector<HWND> kids = d->children;
    for (HWND c : kids) {
        int id = GetDlgCtrlID(c);
        if (id >= first && id <= last) send(c, BM_SETCHECK, id == check ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    return TRUE;
}

HWND WINAPI GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous) {
    Window* d = find(dialog);
    if (!d || d->children.empty()) return nullptr;
    const auto& kids = d->children;
    int n = static_cast<int>(kids.size());
    int at = static_cast<int>(std::find(kids.begin(), kids.end(), control) - kids.begin());
    if (at >= n) at = previous ? 0 : n - 1;
    for (int step = 1; step <= n; ++step) {
        int i = ((previous ? at - step : at + step) % n + n) % n;
        Window* w = find(kids[static_cast<std::size_t>(i)]);
        if (w && (w->style & WS_TABSTOP) && can_take_focus(w->handle)) return w->handle;
    }
    return control;
}

HWND WINAPI GetNextDlgGroupItem(HWND dialog, HWND control, BOOL previous) {
    Window* d = find(dialog);
    if (!d || d->children.empty()) return nullptr;
    const auto& kids = d->children;
    auto it = std::find(kids.begin(), kids.end(), control);
    if (it == kids.end()) return nullptr;
    // The group: from the last WS_GROUP control at or before CONTROL up to the next WS_GROUP control.
    auto start = it;
    while (start != kids.begin() && !(find(*start) && (find(*start)->style & WS_GROUP)))
        --start;
    auto end = it + 1;
    while (end != kids.end() && !(find(*end) && (find(*end)->style & WS_GROUP)))
        ++end;
    std::vector<HWND> group(start, end);
    int n = static_cast<int>(group.size());
    int at = static_cast<int>(std::find(group.begin(), group.end(), control) - group.begin());
    for (int step = 1; step <= n; ++step) {
        int i = ((previous ? at - step : at + step) % n + n) % n;
        if (can_take_focus(group[static_cast<std::size_t>(i)])) return group[static_cast<std::size_t>(i)];
    }
    return control;
}

BOOL WINAPI MapDialogRect(HWND dialog, LPRECT rect) {
    Window* d = find(dialog);
    if (!d || !d->dialog || !rect) return FALSE;
    rect->left = x_pixels(rect->left, d->dialog->base_x);
    rect->right = x_pixels(rect->right, d->dialog->base_x);
    rect->top = y_pixels(rect->top, d->dialog->base_y);
    rect->bottom = y_pixels(rect->bottom, d->dialog->base_y);
    return TRUE;
}

LONG WINAPI GetDialogBaseUnits(void) {
    SIZE units = sim::dialog_base_units(nullptr);
    return MAKELONG(units.cx, units.cy);
}

BOOL WINAPI IsDialogMessageA(HWND dialog, LPMSG msg) {
    if (!msg || !find(dialog) || (msg->hwnd != dialog && !IsChild(dialog, msg->hwnd))) return FALSE;
    if (msg->message != WM_KEYDOWN) {
        if (msg->message == WM_SYSKEYDOWN || msg->message == WM_CHAR) {
            DispatchMessageA(msg);
            return TRUE;
        }
        DispatchMessageA(msg);
        return TRUE;
    }
    switch (msg->wParam) {
    case VK_RETURN: {
        int id = default_button_id(dialog);
        if (id) {
            HWND b = GetDlgItem(dialog, id);
            if (b && !IsWindowEnabled(b)) {
                MessageBeep(0);
                return TRUE;
            }
            send(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(b));
        } else {
            send(dialog, WM_COMMAND, IDOK, reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
        }
        return TRUE;
    }
    case VK_ESCAPE:
        send(dialog, WM_COMMAND, IDCANCEL, reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
        return TRUE;
    case VK_TAB:
        send(dialog, WM_NEXTDLGCTL, 0, 0);
        return TRUE;
    default:
        DispatchMessageA(msg);
        return TRUE;
    }
}
