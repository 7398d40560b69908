// The message queue of the one thread: posted messages, the quit message, paint requests, and the
// default window procedure.
#include "platform/sim/shell/internal.h"
#include "platform/sim/user/internal.h"

#include <algorithm>
#include <cstring>
#include <deque>

namespace sim::user {

void wait_for_user(HWND window); // agent_input.cpp

namespace {

struct Queue {
    std::deque<MSG> posted;
    bool quit = false;
    int quit_code = 0;
    DWORD time = 0;
};

Queue& queue() {
    static Queue q;
    return q;
}

bool matches(const MSG& m, HWND hwnd, UINT first, UINT last) {
    if (hwnd && m.hwnd != hwnd && !IsChild(hwnd, m.hwnd)) return false;
    if (first == 0 && last == 0) return true;
    return m.message >= first && m.message <= last;
}

// The first window, parents before children and front to back, that waits for WM_PAINT.
HWND find_paint_target(const std::vector<HWND>& list, HWND filter) {
    for (HWND h : list) {
        Window* w = find(h);
        if (!w || !(w->style & WS_VISIBLE)) continue;
        if (w->needs_paint && (!filter || h == filter || IsChild(filter, h))) return h;
        if (HWND c = find_paint_target(w->children, filter)) return c;
    }
    return nullptr;
}

// Takes the next message for GetMessage/PeekMessage: posted ones, then the quit message, then paints.
bool take(MSG* msg, HWND hwnd, UINT first, UINT last, bool remove) {
    auto& q = queue();
    for (auto it = q.posted.begin(); it != q.posted.end(); ++it) {
        if (!matches(*it, hwnd, first, last)) continue;
        *msg = *it;
        if (remove) q.posted.erase(it);
        return true;
    }
    if (q.quit && (first == 0 && last == 0 ? true : (WM_QUIT >= first && WM_QUIT <= last))) {
        *msg = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(q.quit_code), 0, q.time, {0, 0}};
        if (remove) q.quit = false;
        return true;
    }
    if (first == 0 && last == 0 ? true : (WM_PAINT >= first && WM_PAINT <= last)) {
        if (HWND target = find_paint_target(top_levels(), hwnd)) {
            *msg = MSG{target, WM_PAINT, 0, 0, q.time, {0, 0}};
            return true;
        }
    }
    return false;
}

LRESULT copy_text(const std::string& text, WPARAM max, LPARAM buffer) {
    char* out = reinterpret_cast<char*>(buffer);
    if (!out || max == 0) return 0;
    std::size_t n = std::min<std::size_t>(text.size(), max - 1);
    std::memcpy(out, text.data(), n);
    out[n] = 0;
    return static_cast<LRESULT>(n);
}

LRESULT on_nc_create(Window& w, LPARAM lparam) {
    const auto* cs = reinterpret_cast<const CREATESTRUCTA*>(lparam);
    if (cs && cs->lpszName && !IS_INTRESOURCE(cs->lpszName)) w.text = cs->lpszName;
    return TRUE;
}

LRESULT on_sys_command(HWND hwnd, WPARAM wparam) {
    if ((wparam & 0xFFF0) == SC_CLOSE) send(hwnd, WM_CLOSE, 0, 0);
    return 0;
}

LRESULT on_activate(HWND hwnd, WPARAM wparam) {
    Window* w = find(hwnd);
    if (w && LOWORD(wparam) != 0 && !IsChild(hwnd, GetFocus())) SetFocus(hwnd);
    return 0;
}

} // namespace

void reset_queue() {
    queue() = Queue{};
}

LRESULT send(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    Window* w = find(hwnd);
    if (!w || !w->proc) return 0;
    return w->proc(hwnd, msg, wparam, lparam);
}

void post(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    auto& q = queue();
    q.posted.push_back(MSG{hwnd, msg, wparam, lparam, ++q.time, {0, 0}});
}

void notify_parent(HWND control, WORD code) {
    Window* w = find(control);
    if (!w || !is_child(*w)) return;
    send(w->parent, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(w->id), code),
         reinterpret_cast<LPARAM>(control));
}

void invalidate(HWND hwnd, bool erase) {
    Window* w = find(hwnd);
    if (!w) return;
    w->needs_paint = true;
    w->needs_erase = w->needs_erase || erase;
    // A parent's repaint repaints its children's areas too.
    for (HWND c : w->children)
        invalidate(c, erase);
}

bool paint_one_pending() {
    HWND target = find_paint_target(top_levels(), nullptr);
    if (!target) return false;
    send(target, WM_PAINT, 0, 0);
    // A window procedure that never validates would get WM_PAINT for ever; take the request as served.
    if (Window* w = find(target)) w->needs_paint = false;
    return true;
}

bool pump_pending() {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        if (m.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(m.wParam));
            return false;
        }
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
    return true;
}

} // namespace sim::user

using namespace sim::user;

BOOL WINAPI GetMessageA(LPMSG msg, HWND hwnd, UINT first, UINT last) {
    if (!msg) return -1;
    for (;;) {
        if (take(msg, hwnd, first, last, true)) return msg->message != WM_QUIT;
        // Nothing is pending: Windows would now wait for the person at the machine.
        wait_for_user(GetActiveWindow());
    }
}

BOOL WINAPI PeekMessageA(LPMSG msg, HWND hwnd, UINT first, UINT last, UINT remove) {
    if (!msg) return FALSE;
    return take(msg, hwnd, first, last, (remove & PM_REMOVE) != 0);
}

BOOL WINAPI TranslateMessage(const MSG* msg) {
    if (!msg || (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN)) return FALSE;
    return TRUE;
}

LRESULT WINAPI DispatchMessageA(const MSG* msg) {
    if (!msg || !msg->hwnd) return 0;
    LRESULT r = send(msg->hwnd, msg->message, msg->wParam, msg->lParam);
    if (msg->message == WM_PAINT)
        if (Window* w = find(msg->hwnd)) w->needs_paint = false;
    return r;
}

BOOL WINAPI PostMessageA(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    if (sim::is_foreign_window(hwnd)) return sim::post_to_foreign_window(hwnd, msg, wparam, lparam);
    if (hwnd && !find(hwnd)) return FALSE;
    post(hwnd, msg, wparam, lparam);
    return TRUE;
}

LRESULT WINAPI SendMessageA(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    return send(hwnd, msg, wparam, lparam);
}

void WINAPI PostQuitMessage(int exit_code) {
    auto& q = queue();
    q.quit = true;
    q.quit_code = exit_code;
}

LRESULT WINAPI CallWindowProcA(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    return proc ? proc(hwnd, msg, wparam, lparam) : 0;
}

LRESULT WINAPI DefWindowProcA(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    Window* w = find(hwnd);
    if (!w) return 0;
    switch (msg) {
    case WM_NCCREATE:
        return on_nc_create(*w, lparam);
    case WM_CLOSE:
        DestroyWindow(hwnd);
        return 0;
    case WM_SYSCOMMAND:
        return on_sys_command(hwnd, wparam);
    case WM_SYSKEYDOWN:
        if (wparam == VK_F4) {
            HWND top = hwnd;
            while (Window* t = find(top)) {
                if (!is_child(*t)) break;
                top = t->parent;
            }
            send(top, WM_SYSCOMMAND, SC_CLOSE, 0);
        }
        return 0;
    case WM_SETTEXT:
        w->text = lparam ? reinterpret_cast<const char*>(lparam) : "";
        if (has_caption(w->style)) invalidate(hwnd, false);
        return TRUE;
    case WM_GETTEXT:
        return copy_text(w->text, wparam, lparam);
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(w->text.size());
    case WM_ACTIVATE:
        return on_activate(hwnd, wparam);
    case WM_NCACTIVATE:
        w->needs_paint = true;
        return TRUE;
    case WM_ERASEBKGND:
        return erase_background(hwnd, reinterpret_cast<HDC>(wparam));
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(hwnd, &ps);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_NCPAINT:
        paint_frame(hwnd);
        return 0;
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        return reinterpret_cast<LRESULT>(default_control_color(msg, reinterpret_cast<HDC>(wparam)));
    case WM_SETFONT:
        w->font = reinterpret_cast<HFONT>(wparam);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(w->font);
    default:
        return 0;
    }
}
