// Window classes and windows: creation, destruction, geometry, texts, window longs and activation.
#include "platform/sim/machine/machine.h"
#include "platform/sim/sim.h"
#include "platform/sim/user/internal.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>

namespace sim::user {
namespace {

struct State {
    std::map<std::uintptr_t, std::unique_ptr<Window>> windows;
    std::vector<HWND> top_levels;                                // topmost first
    std::map<std::string, std::shared_ptr<WindowClass>> classes; // by upper-case name
    std::uintptr_t next_handle = 0x10010;
    HWND focus = nullptr;
    HWND active = nullptr;
    bool system_classes = false;
};

State& state() {
    static State s;
    return s;
}

const int kCaption = 19; // SM_CYCAPTION of Windows 95, the line below the bar included

std::string class_key(const std::string& name) {
    return upper_ascii(name);
}

std::string class_name_of(LPCSTR name) {
    if (IS_INTRESOURCE(name)) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "#%u", static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(name)));
        return buf;
    }
    return name;
}

ATOM register_class(const WindowClass& c) {
    auto& s = state();
    std::string key = class_key(c.name);
    if (c.name.empty() || c.proc == nullptr || s.classes.count(key)) {
        return 0;
    }
    s.classes[key] = std::make_shared<WindowClass>(c);
    return static_cast<ATOM>(0xC000 + s.classes.size());
}

void add_system_class(const char* name, WNDPROC proc, HBRUSH brush, int wnd_extra) {
    WindowClass c;
    c.name = name;
    c.proc = proc;
    c.background = brush;
    c.wnd_extra = wnd_extra;
    c.system = true;
    state().classes[class_key(name)] = std::make_shared<WindowClass>(c);
}

HWND new_handle() {
    auto& s = state();
    HWND h = reinterpret_cast<HWND>(s.next_handle);
    s.next_handle += 4;
    return h;
}

// Places a new or moved window in its sibling list.
void link_window(Window& w) {
    if (is_child(w)) {
        if (Window* p = find(w.parent)) p->children.push_back(w.handle); // new children go to the bottom
    } else {
        auto& t = state().top_levels;
        t.insert(t.begin(), w.handle);
    }
}

void unlink_window(Window& w) {
    auto& list = is_child(w) && find(w.parent) ? find(w.parent)->children : state().top_levels;
    list.erase(std::remove(list.begin(), list.end(), w.handle), list.end());
}

// Default size and position for CW_USEDEFAULT: a cascade from the screen's top-left for an overlapped
// window; nothing at all (0, 0 and no size) for a child or a popup.
void apply_default_geometry(int& x, int& y, int& cx, int& cy, bool overlapped) {
    const auto& st = machine().settings;
    if (x == CW_USEDEFAULT) {
        x = overlapped ? 22 : 0;
        y = overlapped ? 22 : 0;
    }
    if (cx == CW_USEDEFAULT) {
        cx = overlapped ? st.screen_width * 3 / 4 : 0;
        cy = overlapped ? st.screen_height * 3 / 4 : 0;
    }
}

void get_min_max(HWND hwnd, Window& w, int& cx, int& cy) {
    if (is_child(w)) return;
    const auto& st = machine().settings;
    int f = frame_width(w.style, w.ex_style);
    MINMAXINFO mmi{};
    mmi.ptMaxSize = {st.screen_width + 2 * f, st.screen_height + 2 * f};
    mmi.ptMaxPosition = {-f, -f};
    mmi.ptMinTrackSize = {112, 27};
    mmi.ptMaxTrackSize = {st.screen_width + 2 * f + 4, st.screen_height + 2 * f + 4};
    send(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
    if (!find(hwnd)) return;
    if (w.style & WS_THICKFRAME) {
        cx = std::clamp<int>(cx, mmi.ptMinTrackSize.x, std::max(mmi.ptMinTrackSize.x, mmi.ptMaxTrackSize.x));
        cy = std::clamp<int>(cy, mmi.ptMinTrackSize.y, std::max(mmi.ptMinTrackSize.y, mmi.ptMaxTrackSize.y));
    }
}

void destroy_tree(HWND hwnd);

void free_window(HWND hwnd) {
    auto& s = state();
    if (s.focus == hwnd) s.focus = nullptr;
    if (s.active == hwnd) s.active = nullptr;
    forget_surface(hwnd);
    if (Window* w = find(hwnd); w && w->dialog && w->dialog->font) DeleteObject(w->dialog->font);
    s.windows.erase(reinterpret_cast<std::uintptr_t>(hwnd));
}

// Owned pop-ups go with their owner, children with their parent; WM_DESTROY reaches a window before its
// children, WM_NCDESTROY after them.
void destroy_tree(HWND hwnd) {
    Window* w = find(hwnd);
    if (!w || w->destroying) return;
    w->destroying = true;
    std::vector<HWND> owned;
    for (HWND t : state().top_levels)
        if (Window* o = find(t); o && o->owner == hwnd) owned.push_back(t);
    for (HWND o : owned)
        destroy_tree(o);
    if ((w = find(hwnd)) == nullptr) return;
    if (w->style & WS_VISIBLE) ShowWindow(hwnd, SW_HIDE);
    send(hwnd, WM_DESTROY, 0, 0);
    if ((w = find(hwnd)) == nullptr) return;
    std::vector<HWND> kids = w->children;
    for (HWND c : kids)
        destroy_tree(c);
    if ((w = find(hwnd)) == nullptr) return;
    send(hwnd, WM_NCDESTROY, 0, 0);
    if ((w = find(hwnd)) == nullptr) return;
    unlink_window(*w);
    free_window(hwnd);
}

void activate_next_after(HWND gone) {
    auto& s = state();
    if (s.active && s.active != gone && find(s.active)) return;
    s.active = nullptr;
    for (HWND t : s.top_levels) {
        Window* w = find(t);
        if (w && t != gone && (w->style & WS_VISIBLE) && !(w->style & WS_DISABLED)) {
            SetActiveWindow(t);
            return;
        }
    }
}

} // namespace

Window* find(HWND hwnd) {
    auto& m = state().windows;
    auto it = m.find(reinterpret_cast<std::uintptr_t>(hwnd));
    return it == m.end() ? nullptr : it->second.get();
}

std::vector<HWND>& top_levels() {
    return state().top_levels;
}

std::shared_ptr<WindowClass> find_class(const std::string& name) {
    ensure_system_classes();
    auto& c = state().classes;
    auto it = c.find(class_key(name));
    return it == c.end() ? nullptr : it->second;
}

void ensure_system_classes() {
    auto& s = state();
    if (s.system_classes) return;
    s.system_classes = true;
    add_system_class("BUTTON", button_proc, nullptr, 0);
    add_system_class("STATIC", static_proc, nullptr, 0);
    add_system_class("EDIT", edit_proc, nullptr, 0);
    add_system_class("LISTBOX", listbox_proc, nullptr, 0);
    add_system_class("COMBOBOX", combobox_proc, nullptr, 0);
    add_system_class("SCROLLBAR", scrollbar_proc, nullptr, 0);
    add_system_class("#32770", dialog_class_proc, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1),
                     DLGWINDOWEXTRA);
}

void reset() {
    auto& s = state();
    s.windows.clear();
    s.top_levels.clear();
    s.classes.clear();
    s.focus = s.active = nullptr;
    s.system_classes = false;
    reset_surfaces();
    extern void reset_queue();
    reset_queue();
}

bool is_child(const Window& w) {
    return (w.style & WS_CHILD) != 0;
}

bool class_is(const Window& w, const char* name) {
    return equal_nocase(w.cls->name, name);
}

bool has_caption(DWORD style) {
    return (style & WS_CAPTION) == WS_CAPTION;
}

int frame_width(DWORD style, DWORD ex_style) {
    int f = 0;
    if (style & WS_THICKFRAME)
        f = 4;
    else if ((style & WS_DLGFRAME) || (ex_style & WS_EX_DLGMODALFRAME))
        f = 3;
    else if (style & WS_BORDER)
        f = 1;
    if (ex_style & WS_EX_CLIENTEDGE) f += 2;
    if (ex_style & WS_EX_STATICEDGE) f += 1;
    return f;
}

int caption_height() {
    return kCaption;
}

RECT client_rect_of(const Window& w) {
    int f = frame_width(w.style, w.ex_style);
    int top = f + (has_caption(w.style) ? kCaption : 0);
    int cx = std::max<int>(0, w.rect.right - w.rect.left - 2 * f);
    int cy = std::max<int>(0, w.rect.bottom - w.rect.top - top - f);
    return RECT{0, 0, cx, cy};
}

POINT client_origin_on_screen(const Window& w) {
    int f = frame_width(w.style, w.ex_style);
    POINT p{w.rect.left + f, w.rect.top + f + (has_caption(w.style) ? kCaption : 0)};
    if (is_child(w)) {
        if (const Window* parent = find(w.parent)) {
            POINT o = client_origin_on_screen(*parent);
            p.x += o.x;
            p.y += o.y;
        }
    }
    return p;
}

std::string window_text(HWND hwnd) {
    const Window* w = find(hwnd);
    return w ? w->text : std::string();
}

void set_focus(HWND hwnd) {
    auto& s = state();
    HWND old = s.focus;
    if (old == hwnd) return;
    s.focus = hwnd;
    if (old && find(old)) send(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
    if (hwnd && find(hwnd) && s.focus == hwnd) send(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
}

} // namespace sim::user

using namespace sim::user;
using sim::machine;

ATOM WINAPI RegisterClassA(const WNDCLASSA* wc) {
    if (!wc || !wc->lpszClassName) return 0;
    ensure_system_classes();
    WindowClass c;
    c.name = class_name_of(wc->lpszClassName);
    c.style = wc->style;
    c.proc = wc->lpfnWndProc;
    c.cls_extra = wc->cbClsExtra;
    c.wnd_extra = std::clamp(wc->cbWndExtra, 0, 4096);
    c.instance = wc->hInstance;
    c.icon = wc->hIcon;
    c.cursor = wc->hCursor;
    c.background = wc->hbrBackground;
    return register_class(c);
}

ATOM WINAPI RegisterClassExA(const WNDCLASSEXA* wc) {
    if (!wc || wc->cbSize != sizeof(WNDCLASSEXA)) return 0;
    WNDCLASSA a{wc->style, wc->lpfnWndProc, wc->cbClsExtra,    wc->cbWndExtra,   wc->hInstance,
                wc->hIcon, wc->hCursor,     wc->hbrBackground, wc->lpszMenuName, wc->lpszClassName};
    return RegisterClassA(&a);
}

BOOL WINAPI UnregisterClassA(LPCSTR class_name, HINSTANCE) {
    if (!class_name) return FALSE;
    auto c = find_class(class_name_of(class_name));
    if (!c || c->system) return FALSE;
    for (auto& [h, w] : state().windows)
        if (w->cls == c) return FALSE; // still in use
    state().classes.erase(class_key(c->name));
    return TRUE;
}

BOOL WINAPI GetClassInfoA(HINSTANCE, LPCSTR class_name, LPWNDCLASSA wc) {
    if (!class_name || !wc) return FALSE;
    auto c = find_class(class_name_of(class_name));
    if (!c) return FALSE;
    *wc = WNDCLASSA{c->style, c->proc,   c->cls_extra,  c->wnd_extra, c->instance,
                    c->icon,  c->cursor, c->background, nullptr,      class_name};
    return TRUE;
}

int WINAPI GetClassNameA(HWND hwnd, LPSTR name, int max) {
    Window* w = find(hwnd);
    if (!w || !name || max <= 0) return 0;
    int n = std::min<int>(static_cast<int>(w->cls->name.size()), max - 1);
    std::memcpy(name, w->cls->name.data(), n);
    name[n] = 0;
    return n;
}

HWND WINAPI CreateWindowExA(DWORD ex_style, LPCSTR class_name, LPCSTR window_name, DWORD style, int x, int y,
                            int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                            LPVOID param) {
    if (!class_name) return nullptr;
    auto cls = find_class(class_name_of(class_name));
    if (!cls) {
        return nullptr;
    }
    bool child = (style & WS_CHILD) != 0;
    if (child && !find(parent)) {
        return nullptr;
    }
    // An overlapped window always has a caption and a border.
    if (!child && !(style & WS_POPUP)) style |= WS_CAPTION;
    auto w = std::make_unique<Window>();
    Window& win = *w;
    win.handle = new_handle();
    win.cls = cls;
    win.proc = cls->proc;
    win.style = style & ~WS_VISIBLE;
    win.ex_style = ex_style;
    if (child) {
        win.parent = parent;
        win.id = reinterpret_cast<LONG_PTR>(menu);
    } else if (Window* o = find(parent)) {
        // The owner of a pop-up is the top-level window of the given window.
        while (o && is_child(*o))
            o = find(o->parent);
        win.owner = o ? o->handle : nullptr;
    }
    win.instance = instance;
    win.extra.assign(static_cast<std::size_t>(cls->wnd_extra), 0);
    apply_default_geometry(x, y, width, height, !child && !(style & WS_POPUP));
    win.rect = RECT{x, y, x + width, y + height};
    HWND hwnd = win.handle;
    state().windows[reinterpret_cast<std::uintptr_t>(hwnd)] = std::move(w);
    link_window(win);

    int cx = width, cy = height;
    get_min_max(hwnd, win, cx, cy);
    if (Window* again = find(hwnd)) again->rect = RECT{x, y, x + cx, y + cy};

    CREATESTRUCTA cs{param,       instance,   menu,    parent, cy, cx, y, x, static_cast<LONG>(style),
                     window_name, class_name, ex_style};
    if (!send(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs)) || !find(hwnd)) {
        if (find(hwnd)) destroy_tree(hwnd);
        return nullptr;
    }
    if (send(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1 || !find(hwnd)) {
        if (find(hwnd)) destroy_tree(hwnd);
        return nullptr;
    }
    send(hwnd, WM_SIZE, 0, MAKELPARAM(client_rect_of(*find(hwnd)).right, client_rect_of(*find(hwnd)).bottom));
    if (!find(hwnd)) return nullptr;
    if (style & WS_VISIBLE) ShowWindow(hwnd, (style & WS_MAXIMIZE) ? SW_SHOWMAXIMIZED : SW_SHOW);
    return find(hwnd) ? hwnd : nullptr;
}

BOOL WINAPI DestroyWindow(HWND hwnd) {
    Window* w = find(hwnd);
    if (!w) return FALSE;
    bool top = !is_child(*w);
    destroy_tree(hwnd);
    if (top) activate_next_after(hwnd);
    return TRUE;
}

BOOL WINAPI ShowWindow(HWND hwnd, int cmd) {
    Window* w = find(hwnd);
    if (!w) return FALSE;
    BOOL was_visible = (w->style & WS_VISIBLE) != 0;
    if (cmd == SW_HIDE) {
        if (!was_visible) return FALSE;
        send(hwnd, WM_SHOWWINDOW, FALSE, 0);
        if ((w = find(hwnd)) == nullptr) return was_visible;
        w->style &= ~WS_VISIBLE;
        if (is_child(*w)) {
            invalidate(w->parent, true);
        }
        if (state().active == hwnd) activate_next_after(hwnd);
        if (state().focus && (state().focus == hwnd || IsChild(hwnd, state().focus))) state().focus = nullptr;
        return was_visible;
    }
    if (cmd == SW_SHOWMAXIMIZED && !is_child(*w)) {
        const auto& st = machine().settings;
        int f = frame_width(w->style, w->ex_style);
        int cx = st.screen_width + 2 * f, cy = st.screen_height + 2 * f;
        get_min_max(hwnd, *w, cx, cy);
        if ((w = find(hwnd)) == nullptr) return was_visible;
        w->style |= WS_MAXIMIZE;
        SetWindowPos(hwnd, nullptr, -f, -f, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE);
        if ((w = find(hwnd)) == nullptr) return was_visible;
    }
    if (!was_visible) {
        send(hwnd, WM_SHOWWINDOW, TRUE, 0);
        if ((w = find(hwnd)) == nullptr) return was_visible;
        w->style |= WS_VISIBLE;
        invalidate(hwnd, true);
        for (HWND c : w->children)
            if (Window* k = find(c); k && (k->style & WS_VISIBLE)) invalidate(c, true);
    }
    bool activate = cmd != SW_SHOWNA && cmd != SW_SHOWNOACTIVATE && cmd != SW_SHOWMINNOACTIVE;
    if (!is_child(*w) && activate) SetActiveWindow(hwnd);
    return was_visible;
}

BOOL WINAPI IsWindow(HWND hwnd) {
    return find(hwnd) != nullptr;
}

BOOL WINAPI IsZoomed(HWND hwnd) {
    Window* w = find(hwnd);
    return w && (w->style & WS_MAXIMIZE) ? TRUE : FALSE;
}

BOOL WINAPI IsWindowVisible(HWND hwnd) {
    for (Window* w = find(hwnd); w; w = is_child(*w) ? find(w->parent) : nullptr)
        if (!(w->style & WS_VISIBLE)) return FALSE;
    return find(hwnd) != nullptr;
}

BOOL WINAPI IsChild(HWND parent, HWND hwnd) {
    for (Window* w = find(hwnd); w && is_child(*w); w = find(w->parent))
        if (w->parent == parent) return TRUE;
    return FALSE;
}

BOOL WINAPI EnableWindow(HWND hwnd, BOOL enable) {
    Window* w = find(hwnd);
    if (!w) return FALSE;
    BOOL was_disabled = (w->style & WS_DISABLED) != 0;
    if (enable && was_disabled) {
        w->style &= ~WS_DISABLED;
        send(hwnd, WM_ENABLE, TRUE, 0);
    } else if (!enable && !was_disabled) {
        send(hwnd, WM_CANCELMODE, 0, 0);
        if ((w = find(hwnd)) == nullptr) return was_disabled;
        w->style |= WS_DISABLED;
        if (state().focus == hwnd || IsChild(hwnd, state().focus)) set_focus(nullptr);
        send(hwnd, WM_ENABLE, FALSE, 0);
    }
    if (find(hwnd)) invalidate(hwnd, true);
    return was_disabled;
}

BOOL WINAPI IsWindowEnabled(HWND hwnd) {
    Window* w = find(hwnd);
    return w && !(w->style & WS_DISABLED);
}

HWND WINAPI GetParent(HWND hwnd) {
    Window* w = find(hwnd);
    if (!w) return nullptr;
    return is_child(*w) ? w->parent : w->owner;
}

HWND WINAPI GetDesktopWindow(void) {
    return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(0x10004));
}

HWND WINAPI GetWindow(HWND hwnd, UINT cmd) {
    Window* w = find(hwnd);
    if (!w) return nullptr;
    if (cmd == GW_OWNER) return is_child(*w) ? nullptr : w->owner;
    if (cmd == GW_CHILD) return w->children.empty() ? nullptr : w->children.front();
    const auto& list = is_child(*w) && find(w->parent) ? find(w->parent)->children : state().top_levels;
    auto it = std::find(list.begin(), list.end(), hwnd);
    if (it == list.end()) return nullptr;
    switch (cmd) {
    case GW_HWNDFIRST:
        return list.front();
    case GW_HWNDLAST:
        return list.back();
    case GW_HWNDNEXT:
        return it + 1 == list.end() ? nullptr : *(it + 1);
    case GW_HWNDPREV:
        return it == list.begin() ? nullptr : *(it - 1);
    default:
        return nullptr;
    }
}

BOOL WINAPI GetWindowRect(HWND hwnd, LPRECT rect) {
    Window* w = find(hwnd);
    if (!w || !rect) return FALSE;
    *rect = w->rect;
    if (is_child(*w)) {
        if (Window* p = find(w->parent)) {
            POINT o = client_origin_on_screen(*p);
            rect->left += o.x;
            rect->right += o.x;
            rect->top += o.y;
            rect->bottom += o.y;
        }
    }
    return TRUE;
}

BOOL WINAPI GetClientRect(HWND hwnd, LPRECT rect) {
    Window* w = find(hwnd);
    if (!w || !rect) return FALSE;
    *rect = client_rect_of(*w);
    return TRUE;
}

BOOL WINAPI ClientToScreen(HWND hwnd, LPPOINT point) {
    Window* w = find(hwnd);
    if (!w || !point) return FALSE;
    POINT o = client_origin_on_screen(*w);
    point->x += o.x;
    point->y += o.y;
    return TRUE;
}

BOOL WINAPI ScreenToClient(HWND hwnd, LPPOINT point) {
    Window* w = find(hwnd);
    if (!w || !point) return FALSE;
    POINT o = client_origin_on_screen(*w);
    point->x -= o.x;
    point->y -= o.y;
    return TRUE;
}

int WINAPI MapWindowPoints(HWND from, HWND to, LPPOINT points, UINT count) {
    POINT a{0, 0}, b{0, 0};
    if (from) ClientToScreen(from, &a);
    if (to) ClientToScreen(to, &b);
    for (UINT i = 0; points && i < count; ++i) {
        points[i].x += a.x - b.x;
        points[i].y += a.y - b.y;
    }
    return MAKELONG(a.x - b.x, a.y - b.y);
}

BOOL WINAPI SetWindowPos(HWND hwnd, HWND after, int x, int y, int cx, int cy, UINT flags) {
    Window* w = find(hwnd);
    if (!w) return FALSE;
    RECT old = w->rect;
    RECT r = old;
    if (!(flags & SWP_NOMOVE)) {
        r.right = x + (r.right - r.left);
        r.bottom = y + (r.bottom - r.top);
        r.left = x;
        r.top = y;
    }
    if (!(flags & SWP_NOSIZE)) {
        r.right = r.left + std::max(0, cx);
        r.bottom = r.top + std::max(0, cy);
    }
    if (!(flags & SWP_NOZORDER)) {
        unlink_window(*w);
        auto& list = is_child(*w) && find(w->parent) ? find(w->parent)->children : state().top_levels;
        auto pos = list.begin();
        if (after == HWND_BOTTOM) {
            pos = list.end();
        } else if (after != HWND_TOP && after != HWND_TOPMOST && after != HWND_NOTOPMOST) {
            auto it = std::find(list.begin(), list.end(), after);
            pos = it == list.end() ? list.begin() : it + 1;
        }
        list.insert(pos, hwnd);
    }
    w->rect = r;
    bool moved = r.left != old.left || r.top != old.top;
    bool sized = (r.right - r.left) != (old.right - old.left) || (r.bottom - r.top) != (old.bottom - old.top);
    if (moved) {
        POINT o = is_child(*w) ? POINT{0, 0} : client_origin_on_screen(*w);
        if (is_child(*w)) {
            RECT c = client_rect_of(*w);
            (void)c;
            o = {r.left, r.top};
        }
        send(hwnd, WM_MOVE, 0, MAKELPARAM(o.x, o.y));
    }
    if (sized && find(hwnd)) {
        RECT c = client_rect_of(*find(hwnd));
        send(hwnd, WM_SIZE, 0, MAKELPARAM(c.right, c.bottom));
    }
    if (!find(hwnd)) return TRUE;
    if (flags & SWP_SHOWWINDOW) ShowWindow(hwnd, (flags & SWP_NOACTIVATE) ? SW_SHOWNA : SW_SHOW);
    if (flags & SWP_HIDEWINDOW) ShowWindow(hwnd, SW_HIDE);
    if ((moved || sized) && !(flags & SWP_NOREDRAW) && find(hwnd)) {
        invalidate(hwnd, true);
        if (is_child(*find(hwnd))) invalidate(find(hwnd)->parent, true);
    }
    return TRUE;
}

BOOL WINAPI MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint) {
    return SetWindowPos(hwnd, nullptr, x, y, width, height,
                        SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

BOOL WINAPI SetWindowTextA(HWND hwnd, LPCSTR text) {
    if (!find(hwnd)) return FALSE;
    return static_cast<BOOL>(send(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : "")));
}

int WINAPI GetWindowTextA(HWND hwnd, LPSTR text, int max) {
    if (!text || max <= 0) return 0;
    text[0] = 0;
    if (!find(hwnd)) return 0;
    return static_cast<int>(send(hwnd, WM_GETTEXT, static_cast<WPARAM>(max), reinterpret_cast<LPARAM>(text)));
}

int WINAPI GetWindowTextLengthA(HWND hwnd) {
    if (!find(hwnd)) return 0;
    return static_cast<int>(send(hwnd, WM_GETTEXTLENGTH, 0, 0));
}

LONG_PTR WINAPI GetWindowLongPtrA(HWND hwnd, int index) {
    Window* w = find(hwnd);
    if (!w) return 0;
    if (index >= 0) {
        std::size_t size = index < static_cast<int>(w->extra.size()) &&
                                   static_cast<std::size_t>(index) + sizeof(LONG_PTR) <= w->extra.size()
                               ? sizeof(LONG_PTR)
                               : 0;
        if (w->dialog && index == DWLP_MSGRESULT) return w->dialog->msg_result;
        if (w->dialog && index == static_cast<int>(DWLP_DLGPROC))
            return reinterpret_cast<LONG_PTR>(w->dialog->proc);
        if (w->dialog && index == static_cast<int>(DWLP_USER)) return w->dialog->user;
        LONG_PTR v = 0;
        if (size) std::memcpy(&v, w->extra.data() + index, size);
        return v;
    }
    switch (index) {
    case GWLP_WNDPROC:
        return reinterpret_cast<LONG_PTR>(w->proc);
    case GWLP_HINSTANCE:
        return reinterpret_cast<LONG_PTR>(w->instance);
    case GWLP_HWNDPARENT:
        return reinterpret_cast<LONG_PTR>(is_child(*w) ? w->parent : w->owner);
    case GWLP_ID:
        return w->id;
    case GWL_STYLE:
        return static_cast<LONG>(w->style);
    case GWL_EXSTYLE:
        return static_cast<LONG>(w->ex_style);
    case GWLP_USERDATA:
        return w->user_data;
    default:
        return 0;
    }
}

LONG_PTR WINAPI SetWindowLongPtrA(HWND hwnd, int index, LONG_PTR value) {
    Window* w = find(hwnd);
    if (!w) return 0;
    LONG_PTR old = GetWindowLongPtrA(hwnd, index);
    if (index >= 0) {
        if (w->dialog && index == DWLP_MSGRESULT) {
            w->dialog->msg_result = value;
        } else if (w->dialog && index == static_cast<int>(DWLP_DLGPROC)) {
            w->dialog->proc = reinterpret_cast<DLGPROC>(value);
        } else if (w->dialog && index == static_cast<int>(DWLP_USER)) {
            w->dialog->user = value;
        } else if (static_cast<std::size_t>(index) + sizeof(LONG_PTR) <= w->extra.size()) {
            std::memcpy(w->extra.data() + index, &value, sizeof value);
        } else {
            return 0;
        }
        return old;
    }
    switch (index) {
    case GWLP_WNDPROC:
        w->proc = reinterpret_cast<WNDPROC>(value);
        break;
    case GWLP_HINSTANCE:
        w->instance = reinterpret_cast<HINSTANCE>(value);
        break;
    case GWLP_ID:
        w->id = value;
        break;
    case GWL_STYLE:
        w->style = static_cast<DWORD>(value);
        break;
    case GWL_EXSTYLE:
        w->ex_style = static_cast<DWORD>(value);
        break;
    case GWLP_USERDATA:
        w->user_data = value;
        break;
    case GWLP_HWNDPARENT:
        if (!is_child(*w)) w->owner = reinterpret_cast<HWND>(value);
        break;
    default:
        return 0;
    }
    return old;
}

LONG WINAPI GetWindowLongA(HWND hwnd, int index) {
    if (index >= 0) {
        Window* w = find(hwnd);
        if (!w || w->dialog) return static_cast<LONG>(GetWindowLongPtrA(hwnd, index));
        LONG v = 0;
        if (static_cast<std::size_t>(index) + sizeof v <= w->extra.size())
            std::memcpy(&v, w->extra.data() + index, sizeof v);
        return v;
    }
    return static_cast<LONG>(GetWindowLongPtrA(hwnd, index));
}

LONG WINAPI SetWindowLongA(HWND hwnd, int index, LONG value) {
    if (index >= 0) {
        Window* w = find(hwnd);
        if (!w || w->dialog) return static_cast<LONG>(SetWindowLongPtrA(hwnd, index, value));
        LONG old = GetWindowLongA(hwnd, index);
        if (static_cast<std::size_t>(index) + sizeof value > w->extra.size()) return 0;
        std::memcpy(w->extra.data() + index, &value, sizeof value);
        return old;
    }
    return static_cast<LONG>(SetWindowLongPtrA(hwnd, index, value));
}

int WINAPI GetSystemMetrics(int index) {
    const auto& st = machine().settings;
    switch (index) {
    case SM_CXSCREEN:
        return st.screen_width;
    case SM_CYSCREEN:
        return st.screen_height;
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
    case SM_CYVSCROLL:
    case SM_CXHSCROLL:
    case SM_CYVTHUMB:
    case SM_CXHTHUMB:
        return 16;
    case SM_CYCAPTION:
        return kCaption;
    case SM_CXBORDER:
    case SM_CYBORDER:
        return 1;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME:
        return 3;
    case SM_CXFRAME:
    case SM_CYFRAME:
        return 4;
    case SM_CXICON:
    case SM_CYICON:
    case SM_CXCURSOR:
    case SM_CYCURSOR:
        return 32;
    case SM_CYMENU:
        return 19;
    case SM_CXFULLSCREEN:
        return st.screen_width;
    case SM_CYFULLSCREEN:
        return st.screen_height - kCaption;
    case SM_CXMIN:
        return 112;
    case SM_CYMIN:
        return 27;
    case SM_CXSIZE:
    case SM_CYSIZE:
        return 18;
    case SM_CXEDGE:
    case SM_CYEDGE:
        return 2;
    case SM_CXSMICON:
    case SM_CYSMICON:
        return 16;
    case SM_CXMAXIMIZED:
        return st.screen_width + 8;
    case SM_CYMAXIMIZED:
        return st.screen_height + 8;
    default:
        return 0;
    }
}

HWND WINAPI GetFocus(void) {
    return state().focus;
}

HWND WINAPI SetFocus(HWND hwnd) {
    HWND old = state().focus;
    if (hwnd) {
        Window* w = find(hwnd);
        if (!w) return nullptr;
        // Focus goes to a window of the active top-level window; activate it first.
        Window* top = w;
        while (top && is_child(*top))
            top = find(top->parent);
        if (top && top->handle != state().active) SetActiveWindow(top->handle);
    }
    set_focus(hwnd);
    return old;
}

HWND WINAPI GetActiveWindow(void) {
    return state().active;
}

HWND WINAPI SetActiveWindow(HWND hwnd) {
    auto& s = state();
    HWND old = s.active;
    Window* w = find(hwnd);
    if (!w) return nullptr;
    while (w && is_child(*w))
        w = find(w->parent);
    if (!w) return nullptr;
    hwnd = w->handle;
    if (old == hwnd) return old;
    if (old && find(old)) {
        send(old, WM_NCACTIVATE, FALSE, 0);
        send(old, WM_ACTIVATE, 0 /* WA_INACTIVE */, reinterpret_cast<LPARAM>(hwnd));
    }
    s.active = hwnd;
    BringWindowToTop(hwnd);
    send(hwnd, WM_NCACTIVATE, TRUE, 0);
    send(hwnd, WM_ACTIVATE, 1 /* WA_ACTIVE */, reinterpret_cast<LPARAM>(old));
    return old;
}

HWND WINAPI GetForegroundWindow(void) {
    return state().active;
}

BOOL WINAPI SetForegroundWindow(HWND hwnd) {
    return SetActiveWindow(hwnd) != nullptr || GetActiveWindow() == hwnd;
}

BOOL WINAPI BringWindowToTop(HWND hwnd) {
    if (!find(hwnd)) return FALSE;
    return SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

BOOL WINAPI ShowOwnedPopups(HWND hwnd, BOOL show) {
    if (!find(hwnd)) return FALSE;
    std::vector<HWND> owned;
    for (HWND t : state().top_levels)
        if (Window* o = find(t); o && o->owner == hwnd) owned.push_back(t);
    for (HWND o : owned)
        ShowWindow(o, show ? SW_SHOWNA : SW_HIDE);
    return TRUE;
}

int WINAPI GetDlgCtrlID(HWND hwnd) {
    Window* w = find(hwnd);
    return w && is_child(*w) ? static_cast<int>(w->id) : 0;
}

BOOL WINAPI MessageBeep(UINT) {
    return TRUE;
}

void sim::reset_window_manager() {
    sim::user::reset();
}
