// Edit fields: text with a limit for typed input, case conversion, the selection, EN_CHANGE.
#include "platform/sim/kernel/codepage.h"
#include "platform/sim/machine/machine.h"
#include "platform/sim/user/internal.h"

#include <algorithm>

namespace sim::user {

void paint_control(HWND hwnd); // user_paint.cpp

namespace {

const unsigned kMaxLimit = 0x7FFFFFFE;

std::string convert_case(const Window& w, std::string text) {
    unsigned cp = machine().settings.codepage;
    for (char& ch : text) {
        auto c = static_cast<unsigned char>(ch);
        if (w.style & ES_UPPERCASE) c = ansi_upper(c, cp);
        if (w.style & ES_LOWERCASE) c = ansi_lower(c, cp);
        ch = static_cast<char>(c);
    }
    return text;
}

void normalize_selection(Window& w) {
    int n = static_cast<int>(w.text.size());
    w.control.sel_start = std::clamp(w.control.sel_start, 0, n);
    w.control.sel_end = std::clamp(w.control.sel_end, 0, n);
    if (w.control.sel_start > w.control.sel_end) std::swap(w.control.sel_start, w.control.sel_end);
}

void changed(HWND hwnd) {
    invalidate(hwnd, true);
    notify_parent(hwnd, EN_UPDATE);
    if (find(hwnd)) notify_parent(hwnd, EN_CHANGE);
}

// Replaces the selection with TEXT. Typed and pasted text stops at the limit (EN_MAXTEXT when some of it
// did not fit); text set by the program is not limited.
bool replace_selection(HWND hwnd, const std::string& text, bool honor_limit) {
    Window* w = find(hwnd);
    if (!w) return false;
    normalize_selection(*w);
    std::string insert = convert_case(*w, text);
    std::size_t kept = w->text.size() - static_cast<std::size_t>(w->control.sel_end - w->control.sel_start);
    if (honor_limit && kept + insert.size() > w->control.limit) {
        std::size_t room = w->control.limit > kept ? w->control.limit - kept : 0;
        insert.resize(room);
        notify_parent(hwnd, EN_MAXTEXT);
        if ((w = find(hwnd)) == nullptr) return false;
        if (insert.empty() && w->control.sel_end == w->control.sel_start) return false;
    }
    w->text.replace(static_cast<std::size_t>(w->control.sel_start),
                    static_cast<std::size_t>(w->control.sel_end - w->control.sel_start), insert);
    w->control.sel_start = w->control.sel_end = w->control.sel_start + static_cast<int>(insert.size());
    w->control.modified = true;
    return true;
}

LRESULT on_set_text(HWND hwnd, LPARAM lparam) {
    Window* w = find(hwnd);
    w->control.sel_start = 0;
    w->control.sel_end = static_cast<int>(w->text.size());
    replace_selection(hwnd, lparam ? reinterpret_cast<const char*>(lparam) : "", false);
    if ((w = find(hwnd)) == nullptr) return TRUE;
    w->control.sel_start = w->control.sel_end = 0;
    w->control.modified = false;
    changed(hwnd);
    return TRUE;
}

LRESULT on_char(HWND hwnd, WPARAM ch) {
    Window* w = find(hwnd);
    if (w->style & ES_READONLY) return 0;
    normalize_selection(*w);
    if (ch == VK_BACK) {
        if (w->control.sel_start == w->control.sel_end) {
            if (w->control.sel_start == 0) return 0;
            --w->control.sel_start;
        }
        replace_selection(hwnd, "", false);
        changed(hwnd);
        return 0;
    }
    if (ch < 0x20) return 0;
    if ((w->style & ES_NUMBER) && (ch < '0' || ch > '9')) {
        MessageBeep(0);
        return 0;
    }
    // A key press notifies a change even when the limit refused the character.
    replace_selection(hwnd, std::string(1, static_cast<char>(ch)), true);
    changed(hwnd);
    return 0;
}

LRESULT on_set_sel(Window& w, WPARAM start, LPARAM end) {
    int n = static_cast<int>(w.text.size());
    int s = static_cast<int>(static_cast<INT_PTR>(start));
    int e = static_cast<int>(end);
    if (s == -1) {
        // -1 removes the selection and leaves the caret where it was
        w.control.sel_start = w.control.sel_end;
        return 0;
    }
    if (s < 0 || s > n) s = n;
    if (e < 0 || e > n) e = n;
    w.control.sel_start = s;
    w.control.sel_end = e;
    normalize_selection(w);
    return 0;
}

LRESULT on_get_sel(const Window& w, WPARAM start, LPARAM end) {
    if (start) *reinterpret_cast<DWORD*>(start) = static_cast<DWORD>(w.control.sel_start);
    if (end) *reinterpret_cast<DWORD*>(end) = static_cast<DWORD>(w.control.sel_end);
    return MAKELONG(w.control.sel_start, w.control.sel_end);
}

LRESULT on_limit(Window& w, WPARAM limit) {
    w.control.limit = limit == 0 ? kMaxLimit : static_cast<unsigned>(std::min<WPARAM>(limit, kMaxLimit));
    return 0;
}

} // namespace

void edit_type(HWND hwnd, const std::string& text) {
    send(hwnd, EM_SETSEL, 0, -1);
    if (!text.empty() || GetWindowTextLengthA(hwnd) > 0) {
        if (text.empty()) send(hwnd, WM_CHAR, VK_BACK, 0);
    }
    for (char ch : text) {
        if (!find(hwnd)) return;
        send(hwnd, WM_CHAR, static_cast<unsigned char>(ch), 0);
    }
}

LRESULT CALLBACK edit_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    Window* w = find(hwnd);
    if (!w) return 0;
    switch (msg) {
    case WM_NCCREATE: {
        DefWindowProcA(hwnd, msg, wparam, lparam);
        if ((w = find(hwnd)) == nullptr) return FALSE;
        w->text = convert_case(*w, w->text);
        return TRUE;
    }
    case WM_SETTEXT:
        return on_set_text(hwnd, lparam);
    case WM_CHAR:
        return on_char(hwnd, wparam);
    case EM_SETSEL:
        return on_set_sel(*w, wparam, lparam);
    case EM_GETSEL:
        return on_get_sel(*w, wparam, lparam);
    case EM_REPLACESEL:
        if (replace_selection(hwnd, lparam ? reinterpret_cast<const char*>(lparam) : "", true)) changed(hwnd);
        return 0;
    case EM_LIMITTEXT:
        return on_limit(*w, wparam);
    case EM_GETLIMITTEXT:
        return static_cast<LRESULT>(w->control.limit);
    case EM_GETMODIFY:
        return w->control.modified;
    case EM_SETMODIFY:
        w->control.modified = wparam != 0;
        return 0;
    case EM_SETREADONLY:
        if (wparam)
            w->style |= ES_READONLY;
        else
            w->style &= ~ES_READONLY;
        return TRUE;
    case WM_GETDLGCODE:
        return DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        notify_parent(hwnd, msg == WM_SETFOCUS ? EN_SETFOCUS : EN_KILLFOCUS);
        invalidate(hwnd, false);
        return 0;
    case WM_ENABLE:
        invalidate(hwnd, true);
        return 0;
    case WM_PAINT:
        paint_control(hwnd);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    default:
        return DefWindowProcA(hwnd, msg, wparam, lparam);
    }
}

} // namespace sim::user
