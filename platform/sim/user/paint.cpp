// Painting: every top-level window keeps its own surface (its whole window rectangle); window DCs draw
// into it with the client offset and the visible rectangle of the window. The screen is the desktop
// with the surfaces of the visible top-level windows laid over it in z-order. Frames, captions and the
// standard controls are drawn in the look of Windows 95.
#include "platform/sim/driver/agent.h"
#include "platform/sim/gdi/internal.h"
#include "platform/sim/machine/machine.h"
#include "platform/sim/user/internal.h"

#include <memory>
#include <algorithm>
#include <map>

namespace sim::user {
namespace {

std::map<HWND, std::unique_ptr<Surface>>& surfaces() {
    static std::map<HWND, std::unique_ptr<Surface>> s;
    return s;
}

Window* top_level_of(HWND hwnd) {
    Window* w = find(hwnd);
    while (w && is_child(*w))
        w = find(w->parent);
    return w;
}

Surface& surface_of(Window& top) {
    auto& slot = surfaces()[top.handle];
    int cx = std::max<int>(0, top.rect.right - top.rect.left),
        cy = std::max<int>(0, top.rect.bottom - top.rect.top);
    if (!slot || slot->width != cx || slot->height != cy) slot = std::make_unique<Surface>(cx, cy, 0xC0C0C0);
    return *slot;
}

RECT intersect(RECT a, const RECT& b) {
    a.left = std::max(a.left, b.left);
    a.top = std::max(a.top, b.top);
    a.right = std::min(a.right, b.right);
    a.bottom = std::min(a.bottom, b.bottom);
    if (a.right < a.left) a.right = a.left;
    if (a.bottom < a.top) a.bottom = a.top;
    return a;
}

// Origin and clip of a window's client area (or whole window) on its top-level window's surface.
bool dc_geometry(HWND hwnd, bool whole_window, POINT& origin, RECT& clip) {
    Window* w = find(hwnd);
    Window* top = top_level_of(hwnd);
    if (!w || !top) return false;
    POINT screen = client_origin_on_screen(*w);
    RECT area = client_rect_of(*w);
    if (whole_window) {
        RECT wr;
        GetWindowRect(hwnd, &wr);
        screen = {wr.left, wr.top};
        area = {0, 0, wr.right - wr.left, wr.bottom - wr.top};
    }
    origin = {screen.x - top->rect.left, screen.y - top->rect.top};
    clip = {origin.x + area.left, origin.y + area.top, origin.x + area.right, origin.y + area.bottom};
    // Children draw only inside their ancestors' client areas.
    for (Window* p = is_child(*w) ? find(w->parent) : nullptr; p;
         p = is_child(*p) ? find(p->parent) : nullptr) {
        POINT o = client_origin_on_screen(*p);
        RECT c = client_rect_of(*p);
        clip = intersect(clip, RECT{o.x - top->rect.left, o.y - top->rect.top, o.x - top->rect.left + c.right,
                                    o.y - top->rect.top + c.bottom});
    }
    return true;
}

HDC window_dc(HWND hwnd, bool whole_window) {
    Window* top = top_level_of(hwnd);
    POINT origin;
    RECT clip;
    if (!top || !dc_geometry(hwnd, whole_window, origin, clip)) return nullptr;
    return create_surface_dc(&surface_of(*top), origin, clip);
}

HBRUSH sys_brush(int index) {
    return GetSysColorBrush(index);
}

void fill(HDC dc, RECT r, int color) {
    FillRect(dc, &r, sys_brush(color));
}

void hline(HDC dc, int x0, int x1, int y, int color) {
    fill(dc, RECT{x0, y, x1, y + 1}, color);
}
void vline(HDC dc, int x, int y0, int y1, int color) {
    fill(dc, RECT{x, y0, x + 1, y1}, color);
}

// Two-pixel 3D edge: outer top-left, outer bottom-right, inner top-left, inner bottom-right colours.
void edge(HDC dc, RECT r, int outer_tl, int outer_br, int inner_tl, int inner_br) {
    hline(dc, r.left, r.right - 1, r.top, outer_tl);
    vline(dc, r.left, r.top, r.bottom - 1, outer_tl);
    hline(dc, r.left, r.right, r.bottom - 1, outer_br);
    vline(dc, r.right - 1, r.top, r.bottom, outer_br);
    hline(dc, r.left + 1, r.right - 2, r.top + 1, inner_tl);
    vline(dc, r.left + 1, r.top + 1, r.bottom - 2, inner_tl);
    hline(dc, r.left + 1, r.right - 1, r.bottom - 2, inner_br);
    vline(dc, r.right - 2, r.top + 1, r.bottom - 1, inner_br);
}

void raised(HDC dc, RECT r) {
    edge(dc, r, COLOR_3DLIGHT, COLOR_3DDKSHADOW, COLOR_3DHIGHLIGHT, COLOR_3DSHADOW);
}
void button_raised(HDC dc, RECT r) {
    edge(dc, r, COLOR_3DHIGHLIGHT, COLOR_3DDKSHADOW, COLOR_3DLIGHT, COLOR_3DSHADOW);
}
void sunken(HDC dc, RECT r) {
    edge(dc, r, COLOR_3DSHADOW, COLOR_3DHIGHLIGHT, COLOR_3DDKSHADOW, COLOR_3DLIGHT);
}

HFONT font_of(const Window& w) {
    return w.font ? w.font : system_font();
}

HFONT caption_font() {
    static HFONT f = nullptr;
    if (!f || GetObjectType(f) == 0)
        f = CreateFontA(-11, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "MS Sans Serif");
    return f;
}

void text(HDC dc, HFONT font, const std::string& s, RECT r, UINT format, int color) {
    HGDIOBJ old = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(color));
    DrawTextA(dc, s.c_str(), static_cast<int>(s.size()), &r, format);
    SelectObject(dc, old);
}

// Disabled text of Windows 95: etched, a white copy one pixel down and right under a grey one.
void control_text(HDC dc, const Window& w, const std::string& s, RECT r, UINT format, COLORREF color) {
    if (w.style & WS_DISABLED) {
        RECT shifted{r.left + 1, r.top + 1, r.right + 1, r.bottom + 1};
        text(dc, font_of(w), s, shifted, format, COLOR_3DHIGHLIGHT);
        text(dc, font_of(w), s, r, format, COLOR_GRAYTEXT);
        return;
    }
    HGDIOBJ old = SelectObject(dc, font_of(w));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, color);
    DrawTextA(dc, s.c_str(), static_cast<int>(s.size()), &r, format);
    SelectObject(dc, old);
}

void caption_button(HDC dc, RECT r) {
    fill(dc, r, COLOR_3DFACE);
    button_raised(dc, r);
    // The close mark: two diagonals two pixels thick.
    int cx = (r.left + r.right) / 2 - 4, cy = (r.top + r.bottom) / 2 - 4;
    for (int i = 0; i < 7; ++i) {
        fill(dc, RECT{cx + i, cy + i, cx + i + 2, cy + i + 1}, COLOR_BTNTEXT);
        fill(dc, RECT{cx + 6 - i, cy + i, cx + 8 - i, cy + i + 1}, COLOR_BTNTEXT);
    }
}

void paint_caption(HDC dc, const Window& w, int f, int width, bool active) {
    RECT bar{f, f, width - f, f + caption_height() - 1};
    fill(dc, bar, active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION);
    hline(dc, f, width - f, f + caption_height() - 1, COLOR_3DFACE);
    RECT t{bar.left + 3, bar.top, bar.right - 20, bar.bottom};
    text(dc, caption_font(), w.text, t, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX,
         active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT);
    if (w.style & WS_SYSMENU)
        caption_button(dc, RECT{bar.right - 18, bar.top + 2, bar.right - 2, bar.bottom - 2});
}

void paint_client_edges(HDC dc, const Window& w, RECT r) {
    if (w.ex_style & WS_EX_CLIENTEDGE) {
        sunken(dc, r);
        r = RECT{r.left + 2, r.top + 2, r.right - 2, r.bottom - 2};
    }
    if (w.ex_style & WS_EX_STATICEDGE)
        edge(dc, r, COLOR_3DSHADOW, COLOR_3DHIGHLIGHT, COLOR_3DSHADOW, COLOR_3DHIGHLIGHT);
}

// --- controls ---

HBRUSH ask_brush(HWND control, UINT msg, HDC dc) {
    Window* w = find(control);
    HBRUSH b = nullptr;
    if (w && is_child(*w))
        b = reinterpret_cast<HBRUSH>(
            send(w->parent, msg, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control)));
    return b ? b : default_control_color(msg, dc);
}

void fill_client(HDC dc, HWND hwnd, HBRUSH brush) {
    RECT r;
    GetClientRect(hwnd, &r);
    FillRect(dc, &r, brush);
}

void draw_check_mark(HDC dc, int x, int y, int color) {
    // A 7 x 7 tick, three pixels thick.
    for (int i = 0; i < 7; ++i) {
        int yy = i < 3 ? y + 2 + i : y + 4 - (i - 3) + 0;
        fill(dc, RECT{x + i, yy, x + i + 1, yy + 3}, color);
    }
}

void paint_push_button(HDC dc, HWND hwnd, const Window& w) {
    RECT r = client_rect_of(w);
    fill(dc, r, COLOR_3DFACE);
    bool is_default = button_type(w) == BS_DEFPUSHBUTTON;
    RECT b = r;
    if (is_default) {
        FrameRect(dc, &r, sys_brush(COLOR_WINDOWFRAME));
        b = RECT{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
    }
    if (w.control.pushed)
        edge(dc, b, COLOR_3DDKSHADOW, COLOR_3DDKSHADOW, COLOR_3DSHADOW, COLOR_3DFACE);
    else
        button_raised(dc, b);
    control_text(dc, w, w.text, b, DT_CENTER | DT_VCENTER | DT_SINGLELINE, GetSysColor(COLOR_BTNTEXT));
    if (GetFocus() == hwnd) {
        RECT focus{b.left + 3, b.top + 3, b.right - 3, b.bottom - 3};
        DrawFocusRect(dc, &focus);
    }
}

void paint_circle(HDC dc, int x, int y, int checked, bool disabled) {
    // A 12 x 12 radio button: dark upper-left arc, light lower-right arc, white inside.
    static const char* rows[12] = {"....dddd....", "..ddDDDDdd..", ".dDDwwwwDDl.", ".dDwwwwwwLl.",
                                   "dDwwwwwwwwLl", "dDwwwwwwwwLl", "dDwwwwwwwwLl", "dDwwwwwwwwLl",
                                   ".dwwwwwwwwl.", ".dLwwwwwwLl.", "..llLLLLll..", "....llll...."};
    for (int j = 0; j < 12; ++j)
        for (int i = 0; i < 12; ++i) {
            char c = rows[j][i];
            int color = c == 'd'   ? COLOR_3DSHADOW
                        : c == 'D' ? COLOR_3DDKSHADOW
                        : c == 'l' ? COLOR_3DHIGHLIGHT
                        : c == 'L' ? COLOR_3DLIGHT
                        : c == 'w' ? (disabled ? COLOR_3DFACE : COLOR_WINDOW)
                                   : -1;
            if (color >= 0) fill(dc, RECT{x + i, y + j, x + i + 1, y + j + 1}, color);
        }
    if (checked) fill(dc, RECT{x + 4, y + 4, x + 8, y + 8}, disabled ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT);
}

void paint_check_button(HDC dc, HWND hwnd, const Window& w) {
    HBRUSH brush = ask_brush(hwnd, WM_CTLCOLORSTATIC, dc);
    fill_client(dc, hwnd, brush);
    RECT r = client_rect_of(w);
    int box_y = (r.bottom - 13) / 2;
    bool disabled = (w.style & WS_DISABLED) != 0;
    DWORD type = button_type(w);
    if (type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON) {
        paint_circle(dc, 0, box_y, w.control.check, disabled);
    } else {
        RECT box{0, box_y, 13, box_y + 13};
        bool grey = w.control.check == BST_INDETERMINATE;
        fill(dc, box, disabled || grey ? COLOR_3DFACE : COLOR_WINDOW);
        sunken(dc, box);
        if (w.control.check)
            draw_check_mark(dc, 3, box_y + 2, disabled || grey ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT);
    }
    RECT t{17, r.top, r.right, r.bottom};
    control_text(dc, w, w.text, t, DT_LEFT | DT_VCENTER | DT_SINGLELINE, GetTextColor(dc));
    if (GetFocus() == hwnd && !w.text.empty()) {
        SIZE ext{0, 0};
        HGDIOBJ old = SelectObject(dc, font_of(w));
        GetTextExtentPoint32A(dc, w.text.c_str(), static_cast<int>(w.text.size()), &ext);
        SelectObject(dc, old);
        int h = font_metrics(font_of(w)).height;
        RECT focus{15, (r.bottom - h) / 2 - 1, 15 + ext.cx + 4, (r.bottom + h) / 2 + 1};
        DrawFocusRect(dc, &focus);
    }
}

void paint_group_box(HDC dc, HWND hwnd, const Window& w) {
    HBRUSH brush = ask_brush(hwnd, WM_CTLCOLORSTATIC, dc);
    RECT r = client_rect_of(w);
    int h = font_metrics(font_of(w)).height;
    RECT frame{r.left, r.top + h / 2, r.right, r.bottom};
    // Etched frame: a shadow line with a highlight line inside it, one pixel apart.
    RECT outer{frame.left, frame.top, frame.right - 1, frame.bottom - 1};
    RECT inner{frame.left + 1, frame.top + 1, frame.right, frame.bottom};
    FrameRect(dc, &inner, sys_brush(COLOR_3DHIGHLIGHT));
    FrameRect(dc, &outer, sys_brush(COLOR_3DSHADOW));
    if (w.text.empty()) return;
    SIZE ext{0, 0};
    HGDIOBJ old = SelectObject(dc, font_of(w));
    GetTextExtentPoint32A(dc, w.text.c_str(), static_cast<int>(w.text.size()), &ext);
    SelectObject(dc, old);
    RECT t{8, 0, 8 + ext.cx + 2, h};
    FillRect(dc, &t, brush);
    control_text(dc, w, w.text, RECT{9, 0, 9 + ext.cx + 2, h}, DT_LEFT | DT_SINGLELINE, GetTextColor(dc));
}

void paint_button(HWND hwnd, HDC dc) {
    Window& w = *find(hwnd);
    DWORD type = button_type(w);
    if (type == BS_GROUPBOX)
        paint_group_box(dc, hwnd, w);
    else if (is_check_like(w))
        paint_check_button(dc, hwnd, w);
    else
        paint_push_button(dc, hwnd, w);
}

void paint_static(HWND hwnd, HDC dc) {
    Window& w = *find(hwnd);
    RECT r = client_rect_of(w);
    DWORD type = w.style & SS_TYPEMASK;
    switch (type) {
    case SS_BLACKRECT:
        fill(dc, r, COLOR_WINDOWFRAME);
        return;
    case SS_GRAYRECT:
        fill(dc, r, COLOR_3DSHADOW);
        return;
    case SS_WHITERECT:
        fill(dc, r, COLOR_3DHIGHLIGHT);
        return;
    case SS_BLACKFRAME:
        FrameRect(dc, &r, sys_brush(COLOR_WINDOWFRAME));
        return;
    case SS_GRAYFRAME:
        FrameRect(dc, &r, sys_brush(COLOR_3DSHADOW));
        return;
    case SS_WHITEFRAME:
        FrameRect(dc, &r, sys_brush(COLOR_3DHIGHLIGHT));
        return;
    case SS_ETCHEDHORZ:
        hline(dc, 0, r.right, 0, COLOR_3DSHADOW);
        hline(dc, 0, r.right, 1, COLOR_3DHIGHLIGHT);
        return;
    default:
        break;
    }
    HBRUSH brush = ask_brush(hwnd, WM_CTLCOLORSTATIC, dc);
    FillRect(dc, &r, brush);
    if (type == SS_ICON) {
        if (w.control.image) DrawIcon(dc, 0, 0, static_cast<HICON>(w.control.image));
        return;
    }
    UINT format = type == SS_CENTER ? DT_CENTER : type == SS_RIGHT ? DT_RIGHT : DT_LEFT;
    if (type != SS_LEFTNOWORDWRAP && type != SS_SIMPLE) format |= DT_WORDBREAK;
    if (w.style & SS_NOPREFIX) format |= DT_NOPREFIX;
    control_text(dc, w, w.text, r, format | DT_EXPANDTABS, GetTextColor(dc));
}

void paint_edit(HWND hwnd, HDC dc) {
    Window& w = *find(hwnd);
    bool grey = (w.style & (WS_DISABLED | ES_READONLY)) != 0;
    HBRUSH brush = ask_brush(hwnd, grey ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT, dc);
    RECT r = client_rect_of(w);
    FillRect(dc, &r, brush);
    std::string shown = (w.style & ES_PASSWORD) ? std::string(w.text.size(), '*') : w.text;
    RECT t{r.left + 1, r.top + 1, r.right - 1, r.bottom};
    bool focused = GetFocus() == hwnd;
    int s = w.control.sel_start, e = w.control.sel_end;
    if (!focused || s == e) {
        control_text(dc, w, shown, t, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX, GetTextColor(dc));
        return;
    }
    // The selection in highlight colours between the unselected parts.
    HGDIOBJ old = SelectObject(dc, font_of(w));
    SIZE before{0, 0}, part{0, 0};
    GetTextExtentPoint32A(dc, shown.c_str(), s, &before);
    GetTextExtentPoint32A(dc, shown.c_str() + s, e - s, &part);
    SelectObject(dc, old);
    control_text(dc, w, shown, t, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX, GetTextColor(dc));
    RECT sel{t.left + before.cx, t.top, t.left + before.cx + part.cx,
             t.top + font_metrics(font_of(w)).height};
    fill(dc, sel, COLOR_HIGHLIGHT);
    control_text(dc, w, shown.substr(static_cast<std::size_t>(s), static_cast<std::size_t>(e - s)), sel,
                 DT_LEFT | DT_SINGLELINE | DT_NOPREFIX, GetSysColor(COLOR_HIGHLIGHTTEXT));
}

// The arrow of a scroll or drop-down button: a triangle 7 pixels wide and 4 high, etched when disabled.
void paint_arrow(HDC dc, RECT button, bool up, bool disabled) {
    int cx = (button.left + button.right) / 2, cy = button.top + (button.bottom - button.top - 3) / 2;
    auto triangle = [&](int dx, int dy, int color) {
        for (int i = 0; i < 4; ++i) {
            int half = up ? i : 3 - i;
            hline(dc, cx - half + dx, cx + half + 1 + dx, cy + i + dy, color);
        }
    };
    if (disabled) triangle(1, 1, COLOR_3DHIGHLIGHT);
    triangle(0, 0, disabled ? COLOR_3DSHADOW : COLOR_BTNTEXT);
}

void paint_arrow_button(HDC dc, RECT button, bool up, bool disabled) {
    fill(dc, button, COLOR_3DFACE);
    raised(dc, button);
    paint_arrow(dc, button, up, disabled);
}

// Where a list's scroll box stands in the track, and how long it is: proportional to the entries in
// sight, at least 8 pixels. An empty range gives no box.
struct ScrollBox {
    int top = 0, length = 0;
};

ScrollBox scroll_box(int track, int count, int visible, int first) {
    if (count <= visible || visible <= 0 || track <= 0) return {};
    int length = std::clamp(track * visible / count, std::min(8, track), track);
    int first_max = count - visible;
    return ScrollBox{(track - length) * std::clamp(first, 0, first_max) / first_max, length};
}

// A vertical scroll bar: raised arrow buttons at both ends and the track between them in the dotted
// pattern of white and the scroll bar colour, with its box when there is one.
void paint_scroll_bar(HDC dc, RECT r, bool disabled, ScrollBox box) {
    int arrow = std::min<int>(GetSystemMetrics(SM_CYVSCROLL), (r.bottom - r.top) / 2);
    RECT up{r.left, r.top, r.right, r.top + arrow}, down{r.left, r.bottom - arrow, r.right, r.bottom};
    RECT track{r.left, up.bottom, r.right, down.top};
    fill(dc, track, COLOR_SCROLLBAR);
    COLORREF dot = GetSysColor(COLOR_3DHIGHLIGHT);
    for (int y = track.top; y < track.bottom; ++y)
        for (int x = track.left + (y + track.left) % 2; x < track.right; x += 2)
            SetPixel(dc, x, y, dot);
    paint_arrow_button(dc, up, true, disabled);
    paint_arrow_button(dc, down, false, disabled);
    if (box.length > 0) {
        RECT thumb{r.left, track.top + box.top, r.right, track.top + box.top + box.length};
        fill(dc, thumb, COLOR_3DFACE);
        raised(dc, thumb);
    }
}

void paint_list_items(HDC dc, const Window& w, RECT area, bool multi) {
    int h = font_metrics(font_of(w)).height;
    int y = area.top;
    // Taken once: drawing a selected entry leaves the highlight text colour in the DC.
    const COLORREF normal = GetTextColor(dc);
    for (std::size_t i = static_cast<std::size_t>(std::max(0, w.control.top));
         i < w.control.items.size() && y < area.bottom; ++i, y += h) {
        bool sel = multi ? w.control.items[i].selected : static_cast<int>(i) == w.control.cur;
        RECT line{area.left, y, area.right, y + h};
        if (sel) fill(dc, line, COLOR_HIGHLIGHT);
        RECT t{line.left + 2, line.top, line.right, line.bottom};
        control_text(dc, w, w.control.items[i].text, t, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX,
                     sel ? GetSysColor(COLOR_HIGHLIGHTTEXT) : normal);
    }
}

void paint_listbox(HWND hwnd, HDC dc) {
    Window& w = *find(hwnd);
    HBRUSH brush = ask_brush(hwnd, WM_CTLCOLORLISTBOX, dc);
    RECT r = client_rect_of(w);
    FillRect(dc, &r, brush);
    int h = font_metrics(font_of(w)).height;
    int count = static_cast<int>(w.control.items.size()), visible = h > 0 ? r.bottom / h : 0;
    bool overflow = count * h > r.bottom;
    RECT items = r;
    if ((w.style & WS_VSCROLL) && (overflow || (w.style & LBS_DISABLENOSCROLL))) {
        items.right -= GetSystemMetrics(SM_CXVSCROLL);
        RECT bar{items.right, r.top, r.right, r.bottom};
        int track = bar.bottom - bar.top - 2 * GetSystemMetrics(SM_CYVSCROLL);
        paint_scroll_bar(dc, bar, !overflow, scroll_box(track, count, visible, w.control.top));
    }
    paint_list_items(dc, w, items, (w.style & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) != 0);
    // With the focus, the caret entry (the first while none is current) is framed by the focus rectangle.
    int row = std::max(w.control.cur, 0) - std::max(w.control.top, 0);
    if (GetFocus() == hwnd && count > 0 && row >= 0 && row < visible) {
        RECT caret{items.left, items.top + row * h, items.right, items.top + (row + 1) * h};
        DrawFocusRect(dc, &caret);
    }
}

// A drop-down list: a sunken edge round the whole control, the arrow button inside it at the right, and
// the selection field in the colours the parent gives (grey text when disabled); with the focus the
// field is highlighted inside a one-pixel margin and framed by the focus rectangle.
void paint_combobox(HWND hwnd, HDC dc) {
    Window& w = *find(hwnd);
    bool disabled = (w.style & WS_DISABLED) != 0;
    HBRUSH brush = ask_brush(hwnd, disabled ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT, dc);
    COLORREF color = disabled ? GetSysColor(COLOR_GRAYTEXT) : GetTextColor(dc);
    RECT r = client_rect_of(w);
    sunken(dc, r);
    RECT inner{r.left + 2, r.top + 2, r.right - 2, r.bottom - 2};
    RECT button{std::max(inner.left, inner.right - GetSystemMetrics(SM_CXVSCROLL)), inner.top, inner.right,
                inner.bottom};
    paint_arrow_button(dc, button, false, disabled);
    RECT field{inner.left, inner.top, button.left, inner.bottom};
    FillRect(dc, &field, brush);
    RECT selection{field.left + 1, field.top + 1, field.right - 1, field.bottom - 1};
    bool focused = GetFocus() == hwnd && !disabled;
    if (focused) {
        fill(dc, selection, COLOR_HIGHLIGHT);
        color = GetSysColor(COLOR_HIGHLIGHTTEXT);
    }
    std::string shown =
        w.control.cur >= 0 ? w.control.items[static_cast<std::size_t>(w.control.cur)].text : w.text;
    HGDIOBJ old = SelectObject(dc, font_of(w));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, color);
    RECT t{selection.left + 1, selection.top + 1, selection.right, selection.bottom};
    DrawTextA(dc, shown.c_str(), static_cast<int>(shown.size()), &t, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, old);
    if (focused) DrawFocusRect(dc, &selection);
}

void paint_by_class(HWND hwnd, HDC dc) {
    Window& w = *find(hwnd);
    if (class_is(w, "BUTTON"))
        paint_button(hwnd, dc);
    else if (class_is(w, "STATIC"))
        paint_static(hwnd, dc);
    else if (class_is(w, "EDIT"))
        paint_edit(hwnd, dc);
    else if (class_is(w, "LISTBOX"))
        paint_listbox(hwnd, dc);
    else if (class_is(w, "COMBOBOX"))
        paint_combobox(hwnd, dc);
    else if (class_is(w, "SCROLLBAR"))
        paint_scroll_bar(dc, client_rect_of(w), (w.style & WS_DISABLED) != 0, ScrollBox{});
}

void paint_now(HWND hwnd) {
    Window* w = find(hwnd);
    if (!w || !(w->style & WS_VISIBLE)) return;
    if (w->needs_paint) {
        send(hwnd, WM_PAINT, 0, 0);
        if ((w = find(hwnd)) == nullptr) return;
        w->needs_paint = false;
    }
    std::vector<HWND> kids = w->children;
    for (auto it = kids.rbegin(); it != kids.rend(); ++it)
        paint_now(*it);
}

} // namespace

std::vector<std::string> painted_texts(HWND hwnd) {
    Window* top = top_level_of(hwnd);
    return top ? surface_of(*top).texts : std::vector<std::string>{};
}

LRESULT erase_background(HWND hwnd, HDC dc) {
    Window* w = find(hwnd);
    if (!w || !dc) return 0;
    HBRUSH brush = nullptr;
    if (w->dialog)
        brush = reinterpret_cast<HBRUSH>(
            send(hwnd, WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd)));
    else if (w->cls->background)
        brush = w->cls->background;
    if (!brush) return 0;
    // A class brush may be a system colour index plus one.
    auto value = reinterpret_cast<std::uintptr_t>(brush);
    if (value >= 1 && value <= COLOR_INFOBK + 1) brush = GetSysColorBrush(static_cast<int>(value - 1));
    if (!is_child(*w)) surface_of(*w).texts.clear(); // what was written on it is gone
    fill_client(dc, hwnd, brush);
    return 1;
}

void paint_frame(HWND hwnd) {
    Window* w = find(hwnd);
    if (!w) return;
    int f = frame_width(w->style, w->ex_style);
    if (f == 0 && !has_caption(w->style)) return;
    HDC dc = window_dc(hwnd, true);
    if (!dc) return;
    RECT wr;
    GetWindowRect(hwnd, &wr);
    RECT r{0, 0, wr.right - wr.left, wr.bottom - wr.top};
    int outer = frame_width(w->style, 0);
    if (outer >= 3) {
        raised(dc, r);
        for (int i = 2; i < outer; ++i) {
            RECT ring{r.left + i, r.top + i, r.right - i, r.bottom - i};
            FrameRect(dc, &ring, sys_brush(COLOR_3DFACE));
        }
    } else if (outer == 1) {
        FrameRect(dc, &r, sys_brush(COLOR_WINDOWFRAME));
    }
    if (has_caption(w->style)) paint_caption(dc, *w, outer, r.right, GetActiveWindow() == hwnd);
    RECT inside{outer, outer + (has_caption(w->style) ? caption_height() : 0), r.right - outer,
                r.bottom - outer};
    paint_client_edges(dc, *w, inside);
    release_surface_dc(dc);
}

HBRUSH default_control_color(UINT msg, HDC dc) {
    bool window_colours = msg == WM_CTLCOLOREDIT || msg == WM_CTLCOLORLISTBOX;
    if (dc) {
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        SetBkColor(dc, GetSysColor(window_colours ? COLOR_WINDOW : COLOR_3DFACE));
    }
    if (msg == WM_CTLCOLORSCROLLBAR) return GetSysColorBrush(COLOR_SCROLLBAR);
    return GetSysColorBrush(window_colours ? COLOR_WINDOW : COLOR_3DFACE);
}

HBRUSH control_brush(HWND control, UINT msg, HDC dc) {
    return ask_brush(control, msg, dc);
}

void paint_control(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    if (dc && find(hwnd)) paint_by_class(hwnd, dc);
    EndPaint(hwnd, &ps);
}

HFONT dialog_font(const DialogTemplate& tmpl) {
    int height = -((tmpl.point_size > 0 ? tmpl.point_size : 8) * 96 + 36) / 72;
    return CreateFontA(height, 0, 0, 0, tmpl.weight ? tmpl.weight : 400, tmpl.italic, 0, 0, DEFAULT_CHARSET,
                       0, 0, 0, 0, tmpl.face.c_str());
}

void forget_surface(HWND hwnd) {
    surfaces().erase(hwnd);
}

// The desktop: what GetDC(NULL) draws on, under every window.
std::unique_ptr<Surface>& desktop_slot() {
    static std::unique_ptr<Surface> desktop;
    return desktop;
}

Surface& desktop() {
    auto& d = desktop_slot();
    const auto& st = machine().settings;
    if (!d || d->width != st.screen_width || d->height != st.screen_height)
        d = std::make_unique<Surface>(st.screen_width, st.screen_height,
                                      pixel_of(GetSysColor(COLOR_BACKGROUND)));
    return *d;
}

void reset_surfaces() {
    surfaces().clear();
    desktop_slot().reset();
}

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
    // The frame is drawn with the client area.
    send(hwnd, WM_NCPAINT, 1, 0);
    if (!find(hwnd)) return nullptr;
    paint->hdc = GetDC(hwnd);
    if (erase) paint->fErase = send(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(paint->hdc), 0) == 0;
    return paint->hdc;
}

BOOL WINAPI EndPaint(HWND hwnd, const PAINTSTRUCT* paint) {
    if (paint && paint->hdc) ReleaseDC(hwnd, paint->hdc);
    return TRUE;
}

HDC WINAPI GetDC(HWND hwnd) {
    if (!hwnd) {
        sim::Surface& d = desktop();
        return sim::create_surface_dc(&d, POINT{0, 0}, RECT{0, 0, d.width, d.height});
    }
    return window_dc(hwnd, false);
}

HDC WINAPI GetWindowDC(HWND hwnd) {
    return hwnd ? window_dc(hwnd, true) : nullptr;
}

int WINAPI ReleaseDC(HWND, HDC dc) {
    return dc && sim::release_surface_dc(dc) ? 1 : 0;
}

BOOL WINAPI UpdateWindow(HWND hwnd) {
    if (!find(hwnd)) return FALSE;
    paint_now(hwnd);
    return TRUE;
}

BOOL WINAPI InvalidateRect(HWND hwnd, const RECT*, BOOL erase) {
    if (!hwnd) {
        for (HWND t : top_levels())
            invalidate(t, erase != 0);
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

Surface compose_screen() {
    Surface screen = desktop();
    std::vector<HWND> order = top_levels(); // topmost first
    for (HWND t : order)
        paint_now(t); // what is still waiting for WM_PAINT is drawn first
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        Window* w = find(*it);
        if (!w || !(w->style & WS_VISIBLE)) continue;
        const Surface& s = surface_of(*w);
        for (int y = 0; y < s.height; ++y)
            for (int x = 0; x < s.width; ++x) {
                int sx = w->rect.left + x, sy = w->rect.top + y;
                if (screen.contains(sx, sy)) screen.set(sx, sy, s.at(x, y));
            }
    }
    return screen;
}

bool save_screenshot(const std::string& path, std::string* error) {
    return save_png(compose_screen(), path, error);
}

} // namespace sim
