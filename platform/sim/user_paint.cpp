// Painting of windows and controls. Until the GDI draws into surfaces, painting runs the paint cycle
// (erase, validate) without pixels.
#include "platform/sim/agent.h"
#include "platform/sim/machine.h"
#include "platform/sim/user_internal.h"

namespace sim::user {

LRESULT erase_background(HWND hwnd, HDC dc) {
    (void)dc;
    Window* w = find(hwnd);
    return w && (w->dialog || w->cls->background) ? 1 : 0;
}

void paint_frame(HWND) {}

HBRUSH default_control_color(UINT, HDC) { return nullptr; }

HBRUSH control_brush(HWND, UINT, HDC) { return nullptr; }

void paint_control(HWND hwnd) {
    PAINTSTRUCT ps;
    BeginPaint(hwnd, &ps);
    EndPaint(hwnd, &ps);
}

HFONT dialog_font(const DialogTemplate&) { return nullptr; }

} // namespace sim::user

using namespace sim::user;

HDC WINAPI BeginPaint(HWND hwnd, LPPAINTSTRUCT paint) {
    Window* w = find(hwnd);
    if (!w || !paint) return nullptr;
    *paint = PAINTSTRUCT{};
    paint->rcPaint = client_rect_of(*w);
    bool erase = w->needs_erase;
    w->needs_paint = false;
    w->needs_erase = false;
    paint->hdc = GetDC(hwnd);
    if (erase) paint->fErase = send(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(paint->hdc), 0) == 0;
    return paint->hdc;
}

BOOL WINAPI EndPaint(HWND hwnd, const PAINTSTRUCT* paint) {
    if (paint) ReleaseDC(hwnd, paint->hdc);
    return TRUE;
}

HDC WINAPI GetDC(HWND) { return nullptr; }
HDC WINAPI GetWindowDC(HWND) { return nullptr; }
int WINAPI ReleaseDC(HWND, HDC) { return 1; }

BOOL WINAPI UpdateWindow(HWND hwnd) {
    Window* w = find(hwnd);
    if (!w) return FALSE;
    if (w->needs_paint && (w->style & WS_VISIBLE)) {
        send(hwnd, WM_PAINT, 0, 0);
        if ((w = find(hwnd)) != nullptr) w->needs_paint = false;
    }
    if ((w = find(hwnd)) == nullptr) return TRUE;
    std::vector<HWND> kids = w->children;
    for (HWND c : kids) UpdateWindow(c);
    return TRUE;
}

BOOL WINAPI InvalidateRect(HWND hwnd, const RECT*, BOOL erase) {
    if (!hwnd) {
        for (HWND t : top_levels()) invalidate(t, erase != 0);
        return TRUE;
    }
    Window* w = find(hwnd);
    if (!w) return FALSE;
    w->needs_paint = true;
    w->needs_erase = w->needs_erase || erase;
    return TRUE;
}

BOOL WINAPI ValidateRect(HWND hwnd, const RECT*) {
    Window* w = find(hwnd);
    if (!w) return FALSE;
    w->needs_paint = false;
    w->needs_erase = false;
    return TRUE;
}

BOOL WINAPI GetUpdateRect(HWND hwnd, LPRECT rect, BOOL) {
    Window* w = find(hwnd);
    if (!w) return FALSE;
    if (rect) *rect = w->needs_paint ? client_rect_of(*w) : RECT{0, 0, 0, 0};
    return w->needs_paint;
}

BOOL WINAPI RedrawWindow(HWND hwnd, const RECT* rect, HRGN, UINT flags) {
    if (!hwnd) return FALSE;
    if (flags & RDW_INVALIDATE) {
        if (flags & RDW_ALLCHILDREN)
            invalidate(hwnd, (flags & RDW_ERASE) != 0);
        else
            InvalidateRect(hwnd, rect, (flags & RDW_ERASE) != 0);
    }
    if (flags & RDW_VALIDATE) ValidateRect(hwnd, rect);
    if (flags & (RDW_UPDATENOW | RDW_ERASENOW)) UpdateWindow(hwnd);
    return TRUE;
}

namespace sim {

std::vector<std::uint32_t> compose_screen() {
    const auto& st = machine().settings;
    return std::vector<std::uint32_t>(static_cast<std::size_t>(st.screen_width) * st.screen_height, 0x008080);
}

bool save_screenshot(const std::string&) { return false; }

} // namespace sim
