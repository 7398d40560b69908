// List boxes (single and multiple selection, sorted or not) and drop-down list combo boxes. Both keep
// their entries in the same list model; they differ in messages, error values and notifications.
#include "platform/sim/kernel/codepage.h"
#include "platform/sim/gdi/internal.h"
#include "platform/sim/machine/machine.h"
#include "platform/sim/user/internal.h"

#include <algorithm>
#include <cstring>

namespace sim::user {

void paint_control(HWND hwnd);                                                         // user_paint.cpp
int add_dir_listing(HWND hwnd, UINT attributes, const char* pattern_path, bool combo); // user_dlgdir.cpp

namespace {

const LRESULT kErr = -1; // LB_ERR and CB_ERR

bool is_multi(const Window& w) {
    return class_is(w, "LISTBOX") && (w.style & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL));
}

bool sorted(const Window& w) {
    return class_is(w, "COMBOBOX") ? (w.style & CBS_SORT) != 0 : (w.style & LBS_SORT) != 0;
}

bool valid(const Window& w, WPARAM index) {
    return index < w.control.items.size();
}

const char* text_arg(LPARAM lparam) {
    return lparam ? reinterpret_cast<const char*>(lparam) : "";
}

void sync_combo_text(Window& w) {
    if (!class_is(w, "COMBOBOX")) return;
    w.text =
        w.control.cur >= 0 ? w.control.items[static_cast<std::size_t>(w.control.cur)].text : std::string();
}

int insert_at(Window& w, int index, const std::string& text) {
    auto& items = w.control.items;
    if (index < 0 || index > static_cast<int>(items.size())) index = static_cast<int>(items.size());
    items.insert(items.begin() + index, ListItem{text, 0, false});
    if (w.control.cur >= index) ++w.control.cur;
    return index;
}

// Search from the entry after START, wrapping around; START -1 searches from the first entry.
LRESULT find_entry(const Window& w, WPARAM start, const char* text, bool exact) {
    const auto& items = w.control.items;
    int n = static_cast<int>(items.size());
    if (n == 0) return kErr;
    int from = static_cast<int>(static_cast<INT_PTR>(start));
    if (from < -1 || from >= n) from = -1;
    for (int step = 1; step <= n; ++step) {
        int i = (from + step) % n;
        const std::string& e = items[static_cast<std::size_t>(i)].text;
        if (exact ? compare_nocase(e, text) == 0 : prefix_nocase(e, text)) return i;
    }
    return kErr;
}

LRESULT get_text(const Window& w, WPARAM index, LPARAM buffer) {
    if (!valid(w, index)) return kErr;
    const std::string& t = w.control.items[index].text;
    // The caller's buffer holds the text and its terminator (the length from the ...GETTEXTLEN message).
    if (buffer) std::memcpy(reinterpret_cast<char*>(buffer), t.c_str(), t.size() + 1);
    return static_cast<LRESULT>(t.size());
}

LRESULT delete_entry(HWND hwnd, Window& w, WPARAM index) {
    if (!valid(w, index)) return kErr;
    auto& items = w.control.items;
    items.erase(items.begin() + static_cast<std::ptrdiff_t>(index));
    int i = static_cast<int>(index);
    if (w.control.cur == i)
        w.control.cur = is_multi(w) && !items.empty() ? std::min(i, static_cast<int>(items.size()) - 1) : -1;
    else if (w.control.cur > i)
        --w.control.cur;
    sync_combo_text(w);
    invalidate(hwnd, true);
    return static_cast<LRESULT>(items.size());
}

LRESULT reset(HWND hwnd, Window& w) {
    w.control.items.clear();
    w.control.cur = -1;
    w.control.top = 0;
    sync_combo_text(w);
    invalidate(hwnd, true);
    return 0;
}

LRESULT add_string(HWND hwnd, Window& w, LPARAM text) {
    int index = list_add(hwnd, text_arg(text), sorted(w));
    return index;
}

// Single selection: the current entry; -1 or an index out of range clears it and answers the error.
LRESULT set_cur_sel(HWND hwnd, Window& w, WPARAM index) {
    if (is_multi(w)) return kErr;
    int i = static_cast<int>(static_cast<INT_PTR>(index));
    bool ok = i >= 0 && i < static_cast<int>(w.control.items.size());
    w.control.cur = ok ? i : -1;
    sync_combo_text(w);
    invalidate(hwnd, true);
    return ok ? i : kErr;
}

LRESULT select_string(HWND hwnd, Window& w, WPARAM start, LPARAM text) {
    LRESULT i = find_entry(w, start, text_arg(text), false);
    if (i == kErr) return kErr;
    if (is_multi(w)) {
        w.control.cur = static_cast<int>(i);
        w.control.items[static_cast<std::size_t>(i)].selected = true;
        invalidate(hwnd, true);
        return i;
    }
    return set_cur_sel(hwnd, w, static_cast<WPARAM>(i));
}

LRESULT set_sel(HWND hwnd, Window& w, WPARAM state, LPARAM index) {
    if (!is_multi(w)) return kErr;
    auto& items = w.control.items;
    int i = static_cast<int>(index);
    if (i == -1) {
        for (auto& it : items)
            it.selected = state != 0;
    } else if (i >= 0 && i < static_cast<int>(items.size())) {
        items[static_cast<std::size_t>(i)].selected = state != 0;
        w.control.cur = i;
    } else {
        return kErr;
    }
    invalidate(hwnd, true);
    return 0;
}

LRESULT get_sel(const Window& w, WPARAM index) {
    if (!valid(w, index)) return kErr;
    if (is_multi(w)) return w.control.items[index].selected ? 1 : 0;
    return static_cast<int>(index) == w.control.cur ? 1 : 0;
}

LRESULT sel_count(const Window& w) {
    if (!is_multi(w)) return kErr;
    return std::count_if(w.control.items.begin(), w.control.items.end(),
                         [](const ListItem& i) { return i.selected; });
}

LRESULT sel_items(const Window& w, WPARAM max, LPARAM out) {
    if (!is_multi(w)) return kErr;
    int* dst = reinterpret_cast<int*>(out);
    LRESULT n = 0;
    for (std::size_t i = 0; i < w.control.items.size() && static_cast<WPARAM>(n) < max; ++i)
        if (w.control.items[i].selected) {
            if (dst) dst[n] = static_cast<int>(i);
            ++n;
        }
    return n;
}

LRESULT get_cur_sel(const Window& w) {
    if (is_multi(w)) return w.control.items.empty() ? kErr : std::max(w.control.cur, 0);
    return w.control.cur >= 0 ? w.control.cur : kErr;
}

LRESULT set_item_data(Window& w, WPARAM index, LPARAM data) {
    if (static_cast<int>(static_cast<INT_PTR>(index)) == -1 && class_is(w, "LISTBOX")) {
        for (auto& i : w.control.items)
            i.data = data;
        return TRUE;
    }
    if (!valid(w, index)) return kErr;
    w.control.items[index].data = data;
    return TRUE;
}

LRESULT get_item_data(const Window& w, WPARAM index) {
    if (!valid(w, index)) return kErr;
    return w.control.items[index].data;
}

// LB_INSERTSTRING and CB_INSERTSTRING: -1 appends; the entry keeps its place even in a sorted list.
LRESULT insert_string(HWND hwnd, Window& w, WPARAM wparam, LPARAM lparam) {
    int i = static_cast<int>(static_cast<INT_PTR>(wparam));
    if (i > static_cast<int>(w.control.items.size()) || i < -1) return kErr;
    int at = insert_at(w, i, text_arg(lparam));
    invalidate(hwnd, true);
    return at;
}

LRESULT text_length(const Window& w, WPARAM index) {
    return valid(w, index) ? static_cast<LRESULT>(w.control.items[index].text.size()) : kErr;
}

LRESULT list_message(HWND hwnd, Window& w, UINT msg, WPARAM wparam, LPARAM lparam) {
    switch (msg) {
    case LB_ADDSTRING:
        return add_string(hwnd, w, lparam);
    case LB_INSERTSTRING:
        return insert_string(hwnd, w, wparam, lparam);
    case LB_DELETESTRING:
        return delete_entry(hwnd, w, wparam);
    case LB_RESETCONTENT:
        return reset(hwnd, w);
    case LB_FINDSTRING:
        return find_entry(w, wparam, text_arg(lparam), false);
    case LB_FINDSTRINGEXACT:
        return find_entry(w, wparam, text_arg(lparam), true);
    case LB_SELECTSTRING:
        return select_string(hwnd, w, wparam, lparam);
    case LB_GETCOUNT:
        return static_cast<LRESULT>(w.control.items.size());
    case LB_GETTEXT:
        return get_text(w, wparam, lparam);
    case LB_GETTEXTLEN:
        return text_length(w, wparam);
    case LB_SETCURSEL:
        return set_cur_sel(hwnd, w, wparam);
    case LB_GETCURSEL:
        return get_cur_sel(w);
    case LB_SETSEL:
        return set_sel(hwnd, w, wparam, lparam);
    case LB_GETSEL:
        return get_sel(w, wparam);
    case LB_GETSELCOUNT:
        return sel_count(w);
    case LB_GETSELITEMS:
        return sel_items(w, wparam, lparam);
    case LB_SELITEMRANGE: {
        if (!is_multi(w)) return kErr;
        for (int i = LOWORD(lparam); i <= HIWORD(lparam) && i < static_cast<int>(w.control.items.size()); ++i)
            w.control.items[static_cast<std::size_t>(i)].selected = wparam != 0;
        invalidate(hwnd, true);
        return 0;
    }
    case LB_SETITEMDATA:
        return set_item_data(w, wparam, lparam);
    case LB_GETITEMDATA:
        return get_item_data(w, wparam);
    case LB_GETTOPINDEX:
        return w.control.top;
    case LB_SETTOPINDEX:
        if (!valid(w, wparam) && wparam != 0) return kErr;
        w.control.top = static_cast<int>(wparam);
        invalidate(hwnd, true);
        return 0;
    case LB_GETCARETINDEX:
        return std::max(w.control.cur, 0);
    case LB_SETCARETINDEX:
        if (!valid(w, wparam)) return kErr;
        w.control.cur = static_cast<int>(wparam);
        return 0;
    case LB_DIR:
        return add_dir_listing(hwnd, static_cast<UINT>(wparam), text_arg(lparam), false);
    default:
        return DefWindowProcA(hwnd, msg, wparam, lparam);
    }
}

LRESULT combo_message(HWND hwnd, Window& w, UINT msg, WPARAM wparam, LPARAM lparam) {
    switch (msg) {
    case CB_ADDSTRING:
        return add_string(hwnd, w, lparam);
    case CB_INSERTSTRING:
        return insert_string(hwnd, w, wparam, lparam);
    case CB_DELETESTRING:
        return delete_entry(hwnd, w, wparam);
    case CB_RESETCONTENT:
        return reset(hwnd, w);
    case CB_FINDSTRING:
        return find_entry(w, wparam, text_arg(lparam), false);
    case CB_FINDSTRINGEXACT:
        return find_entry(w, wparam, text_arg(lparam), true);
    case CB_SELECTSTRING:
        return select_string(hwnd, w, wparam, lparam);
    case CB_GETCOUNT:
        return static_cast<LRESULT>(w.control.items.size());
    case CB_GETLBTEXT:
        return get_text(w, wparam, lparam);
    case CB_GETLBTEXTLEN:
        return text_length(w, wparam);
    case CB_SETCURSEL:
        return set_cur_sel(hwnd, w, wparam);
    case CB_GETCURSEL:
        return w.control.cur >= 0 ? w.control.cur : kErr;
    case CB_SETITEMDATA:
        return set_item_data(w, wparam, lparam);
    case CB_GETITEMDATA:
        return get_item_data(w, wparam);
    case CB_SHOWDROPDOWN:
        return TRUE;
    case CB_GETDROPPEDSTATE:
        return FALSE;
    case CB_DIR:
        return add_dir_listing(hwnd, static_cast<UINT>(wparam), text_arg(lparam), true);
    case WM_SETTEXT:
        // A drop-down list shows only its entries: the text must name one.
        if ((w.style & 3) == CBS_DROPDOWNLIST) {
            LRESULT i = find_entry(w, static_cast<WPARAM>(-1), text_arg(lparam), true);
            if (i == kErr) return kErr;
            set_cur_sel(hwnd, w, static_cast<WPARAM>(i));
            return TRUE;
        }
        invalidate(hwnd, true);
        return DefWindowProcA(hwnd, msg, wparam, lparam);
    default:
        return DefWindowProcA(hwnd, msg, wparam, lparam);
    }
}

} // namespace

int compare_nocase(const std::string& a, const std::string& b) {
    unsigned cp = machine().settings.codepage;
    std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        unsigned char x = ansi_upper(static_cast<unsigned char>(a[i]), cp);
        unsigned char y = ansi_upper(static_cast<unsigned char>(b[i]), cp);
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : a.size() < b.size() ? -1 : 1;
}

bool prefix_nocase(const std::string& text, const std::string& prefix) {
    return text.size() >= prefix.size() && compare_nocase(text.substr(0, prefix.size()), prefix) == 0;
}

int list_add(HWND hwnd, const std::string& text, bool sort) {
    Window* w = find(hwnd);
    if (!w) return static_cast<int>(kErr);
    int at = static_cast<int>(w->control.items.size());
    if (sort) {
        // After the last entry that sorts before or equal to the new one.
        const auto& items = w->control.items;
        auto it =
            std::upper_bound(items.begin(), items.end(), text, [](const std::string& t, const ListItem& i) {
                return compare_nocase(t, i.text) < 0;
            });
        at = static_cast<int>(it - items.begin());
    }
    insert_at(*w, at, text);
    invalidate(hwnd, true);
    return at;
}

int item_height(const Window& w) {
    return font_metrics(w.font ? w.font : system_font()).height;
}

// Each time a list box is sized (also when it is made, before its font is set) its height is cut to a
// whole number of entries of its font then, unless its style says otherwise.
void fit_whole_entries(HWND hwnd, const Window& w) {
    if (w.style & LBS_NOINTEGRALHEIGHT) return;
    RECT client;
    GetClientRect(hwnd, &client);
    int entry = item_height(w);
    if (entry <= 0 || client.bottom <= entry || client.bottom % entry == 0) return;
    SetWindowPos(hwnd, nullptr, 0, 0, w.rect.right - w.rect.left,
                 w.rect.bottom - w.rect.top - client.bottom % entry,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CALLBACK listbox_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    Window* w = find(hwnd);
    if (!w) return 0;
    switch (msg) {
    case WM_SIZE:
        fit_whole_entries(hwnd, *w);
        return 0;
    case LB_GETITEMHEIGHT:
        return item_height(*w);
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_PAINT:
        paint_control(hwnd);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        invalidate(hwnd, true);
        if (w->style & LBS_NOTIFY) notify_parent(hwnd, msg == WM_SETFOCUS ? LBN_SETFOCUS : LBN_KILLFOCUS);
        return 0;
    case WM_ENABLE:
        invalidate(hwnd, true);
        return 0;
    default:
        return list_message(hwnd, *w, msg, wparam, lparam);
    }
}

// A closed drop-down list is as tall as one entry of its font and its edges.
void fit_combo_height(HWND hwnd, HFONT font) {
    Window* w = find(hwnd);
    if (!w) return;
    int height = font_metrics(font ? font : system_font()).height + 8;
    SetWindowPos(hwnd, nullptr, 0, 0, w->rect.right - w->rect.left, height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CALLBACK combobox_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    Window* w = find(hwnd);
    if (!w) return 0;
    switch (msg) {
    case WM_CREATE:
        fit_combo_height(hwnd, nullptr);
        return 0;
    case WM_SETFONT:
        w->font = reinterpret_cast<HFONT>(wparam);
        fit_combo_height(hwnd, w->font);
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_PAINT:
        paint_control(hwnd);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        invalidate(hwnd, true);
        notify_parent(hwnd, msg == WM_SETFOCUS ? CBN_SETFOCUS : CBN_KILLFOCUS);
        return 0;
    case WM_ENABLE:
        invalidate(hwnd, true);
        return 0;
    default:
        return combo_message(hwnd, *w, msg, wparam, lparam);
    }
}

// Scroll bars appear in templates; the product never scrolls with them, so they only paint.
LRESULT CALLBACK scrollbar_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    switch (msg) {
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
