// The window manager's own state: classes, windows, the message queue, dialogs and the controls' data.
// Shared by the user_*.cpp files only.
#pragma once

#include "platform/sim/user/dialog_template.h"
#include "platform/sim/win/windows.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace sim::user {

struct WindowClass {
    std::string name;
    UINT style = 0;
    WNDPROC proc = nullptr;
    int cls_extra = 0;
    int wnd_extra = 0;
    HINSTANCE instance = nullptr;
    HICON icon = nullptr;
    HCURSOR cursor = nullptr;
    HBRUSH background = nullptr;
    bool system = false;
};

struct ListItem {
    std::string text;
    LPARAM data = 0;
    bool selected = false;
};

// State of the standard controls; each kind uses its own part.
struct ControlState {
    int check = BST_UNCHECKED; // buttons
    bool pushed = false;
    HANDLE image = nullptr;         // SS_ICON statics
    unsigned limit = 30000;         // edits: the default limit of a single-line edit
    int sel_start = 0, sel_end = 0; // edits
    bool modified = false;          // edits
    std::vector<ListItem> items;    // list boxes and combo boxes
    int cur = -1;                   // the current (single-selection) or caret (multiple-selection) entry
    int top = 0;                    // first entry shown
};

struct DialogState {
    DLGPROC proc = nullptr;
    LRESULT msg_result = 0;
    LONG_PTR user = 0;
    bool ended = false;
    INT_PTR result = 0;
    int def_id = 0; // 0: none set by DM_SETDEFID
    HFONT font = nullptr;
    int base_x = 6, base_y = 13; // dialog base units of its font
    std::string kind = "dialog"; // what the agent is told it is: dialog, message, open
    std::string template_name;   // as the program named the template: "WELCOME", "#101"
};

struct Window {
    HWND handle = nullptr;
    std::shared_ptr<WindowClass> cls;
    WNDPROC proc = nullptr;
    DWORD style = 0;
    DWORD ex_style = 0;
    std::string text;
    HWND parent = nullptr; // children
    HWND owner = nullptr;  // pop-ups and overlapped windows
    LONG_PTR id = 0;       // children: the control id
    HINSTANCE instance = nullptr;
    RECT rect{};                // in the parent's client coordinates for children, else screen coordinates
    std::vector<HWND> children; // z-order, topmost first
    LONG_PTR user_data = 0;
    std::vector<unsigned char> extra;
    HFONT font = nullptr;
    bool needs_paint = false;
    bool needs_erase = false;
    bool destroying = false;
    std::unique_ptr<DialogState> dialog;
    ControlState control;
};

// Windows by handle; nullptr for a handle that names no window (never dereferences a stale one).
Window* find(HWND hwnd);
std::vector<HWND>& top_levels(); // topmost first
std::shared_ptr<WindowClass> find_class(const std::string& name);
// Registers the predefined classes on first use.
void ensure_system_classes();

bool is_child(const Window& w);
RECT client_rect_of(const Window& w);           // in the window's own client coordinates
POINT client_origin_on_screen(const Window& w); // screen position of the client area's top-left
int caption_height();
// The frame thickness that the styles give a window, and whether it has a caption bar.
int frame_width(DWORD style, DWORD ex_style);
bool has_caption(DWORD style);
bool class_is(const Window& w, const char* name);

// The texts painted on a window's top-level surface since it was last erased.
std::vector<std::string> painted_texts(HWND hwnd);

// Message delivery.
LRESULT send(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
void post(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
// Dispatches every posted message and pending paint; returns false when WM_QUIT was seen (it stays
// queued for the outer loop).
bool pump_pending();
// Sends WM_COMMAND (id, code, control) to the control's parent.
void notify_parent(HWND control, WORD code);

// Painting: dispatched from the queue when nothing else is pending.
void invalidate(HWND hwnd, bool erase);
bool paint_one_pending();

// Focus and keyboard.
void set_focus(HWND hwnd);

// Window procedures of the predefined classes.
LRESULT CALLBACK button_proc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK static_proc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK edit_proc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK listbox_proc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK combobox_proc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK dialog_class_proc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK scrollbar_proc(HWND, UINT, WPARAM, LPARAM);

// Button helpers shared by dialogs and the agent.
DWORD button_type(const Window& w);
bool is_push_button(const Window& w);
bool is_check_like(const Window& w); // check boxes and radio buttons
void click_button(HWND hwnd);        // as a mouse click: state change, then BN_CLICKED

// List helpers shared by list boxes, combo boxes and the directory listings.
int list_add(HWND hwnd, const std::string& text, bool sorted);
int compare_nocase(const std::string& a, const std::string& b);
bool prefix_nocase(const std::string& text, const std::string& prefix);

// Edit helper: replaces the text as typed (limit, case conversion) and notifies.
void edit_type(HWND hwnd, const std::string& text);

// Dialogs.
INT_PTR run_dialog(HINSTANCE instance, const DialogTemplate& tmpl, HWND owner, DLGPROC proc, LPARAM param,
                   const std::string& kind, const std::string& template_name = "");
HWND create_dialog(HINSTANCE instance, const DialogTemplate& tmpl, HWND owner, DLGPROC proc, LPARAM param);
HWND dialog_of(HWND control); // the nearest dialog ancestor or the window itself
int default_button_id(HWND dialog);

// Ends the program with a clear message, as when nobody can answer a dialog.
[[noreturn]] void fatal(const std::string& message);

// The text of a window as plain data.
std::string window_text(HWND hwnd);

// Painting through the GDI (user_paint.cpp).
LRESULT erase_background(HWND hwnd, HDC dc);
void paint_frame(HWND hwnd);
HBRUSH default_control_color(UINT msg, HDC dc);
// Asks the control's parent for its colours (WM_CTLCOLORxxx) and fills the client area with the brush.
HBRUSH control_brush(HWND control, UINT msg, HDC dc);
void paint_control(HWND hwnd);
void forget_surface(HWND hwnd);
void reset_surfaces();
HFONT dialog_font(const DialogTemplate& tmpl);

// Waits for the person at the machine: asks the agent for one input to WINDOW and applies it.
void wait_for_user(HWND window);

// Resets the window manager (tests and a new process on the machine).
void reset();

} // namespace sim::user
