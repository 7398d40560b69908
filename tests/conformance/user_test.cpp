// Windows, window classes, the message queue and dialogs run from templates.
#include "tests/conformance/dialog_builder.h"
#include "tests/conformance/fixture.h"
#include "tests/resources/testres.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

struct Seen {
    HWND hwnd;
    UINT msg;
};
std::vector<Seen> seen;
LPVOID create_param = nullptr;

bool tracked(UINT m) {
    return m == WM_NCCREATE || m == WM_CREATE || m == WM_DESTROY || m == WM_NCDESTROY || m == WM_CLOSE ||
           m == WM_GETMINMAXINFO || m == WM_APP || m == WM_USER + 5;
}

LRESULT CALLBACK recording_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    if (tracked(msg)) seen.push_back(Seen{hwnd, msg});
    if (msg == WM_CREATE) create_param = reinterpret_cast<CREATESTRUCTA*>(lparam)->lpCreateParams;
    return DefWindowProcA(hwnd, msg, wparam, lparam);
}

int index_of(HWND hwnd, UINT msg) {
    for (std::size_t i = 0; i < seen.size(); ++i)
        if (seen[i].hwnd == hwnd && seen[i].msg == msg) return static_cast<int>(i);
    return -1;
}

// Registers a class of this program with PROC and no other attributes.
bool register_class(const char* name, WNDPROC proc) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = name;
    return RegisterClassA(&wc) != 0;
}

class User : public Conformance {
  protected:
    void SetUp() override {
        Conformance::SetUp();
        seen.clear();
        WNDCLASSA wc{};
        wc.lpfnWndProc = recording_proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = "ConfRecorder";
        wc.cbWndExtra = 16;
        RegisterClassA(&wc);
    }
    void TearDown() override {
        for (HWND h : windows_)
            if (IsWindow(h)) DestroyWindow(h);
        UnregisterClassA("ConfRecorder", GetModuleHandleA(nullptr));
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        }
        Conformance::TearDown();
    }
    HWND make(DWORD style, HWND parent = nullptr, int id = 0, const char* title = "Title") {
        HWND h = CreateWindowExA(0, "ConfRecorder", title, style, 20, 30, 300, 200, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr),
                                 &windows_);
        if (!parent) windows_.push_back(h);
        return h;
    }
    std::vector<HWND> windows_;
};

TEST_F(User, CreationSendsMinMaxThenNcCreateThenCreateWithTheParameter) {
    HWND w = make(WS_OVERLAPPEDWINDOW);
    ASSERT_NE(w, nullptr);
    int mm = index_of(w, WM_GETMINMAXINFO), nc = index_of(w, WM_NCCREATE), cr = index_of(w, WM_CREATE);
    EXPECT_GE(mm, 0);
    EXPECT_LT(mm, nc);
    EXPECT_LT(nc, cr);
    EXPECT_EQ(create_param, &windows_);
    char text[32];
    EXPECT_EQ(GetWindowTextA(w, text, sizeof text), 5);
    EXPECT_STREQ(text, "Title");
    EXPECT_EQ(CreateWindowExA(0, "NoSuchClass", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr),
              nullptr);
}

TEST_F(User, DestroyReachesParentBeforeChildrenAndNcDestroyAfter) {
    HWND parent = make(WS_OVERLAPPEDWINDOW);
    HWND child = make(WS_CHILD | WS_VISIBLE, parent, 7);
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(GetParent(child), parent);
    EXPECT_EQ(GetDlgCtrlID(child), 7);
    EXPECT_EQ(GetWindow(parent, GW_CHILD), child);
    seen.clear();
    EXPECT_TRUE(DestroyWindow(parent));
    EXPECT_LT(index_of(parent, WM_DESTROY), index_of(child, WM_DESTROY));
    EXPECT_LT(index_of(child, WM_NCDESTROY), index_of(parent, WM_NCDESTROY));
    EXPECT_FALSE(IsWindow(parent));
    EXPECT_FALSE(IsWindow(child));
    EXPECT_FALSE(DestroyWindow(parent));
}

TEST_F(User, CloseAndSystemCloseDestroyThroughTheDefaultProcedure) {
    HWND a = make(WS_OVERLAPPEDWINDOW);
    SendMessageA(a, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_GE(index_of(a, WM_CLOSE), 0);
    EXPECT_FALSE(IsWindow(a));
    HWND b = make(WS_POPUP);
    SendMessageA(b, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(b));
}

TEST_F(User, PostedMessagesComeInOrderAndTheQuitMessageAfterThem) {
    HWND w = make(WS_POPUP);
    PostMessageA(w, WM_APP, 1, 0);
    PostMessageA(w, WM_USER + 5, 2, 0);
    PostQuitMessage(3);
    MSG m;
    ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(m.message, static_cast<UINT>(WM_APP));
    ASSERT_TRUE(GetMessageA(&m, nullptr, 0, 0));
    EXPECT_EQ(m.message, static_cast<UINT>(WM_APP));
    EXPECT_EQ(m.wParam, 1u);
    DispatchMessageA(&m);
    ASSERT_TRUE(GetMessageA(&m, nullptr, 0, 0));
    EXPECT_EQ(m.message, static_cast<UINT>(WM_USER + 5));
    EXPECT_EQ(m.hwnd, w);
    EXPECT_FALSE(GetMessageA(&m, nullptr, 0, 0));
    EXPECT_EQ(m.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(m.wParam, 3u);
    EXPECT_GE(index_of(w, WM_APP), 0);
}

TEST_F(User, WindowTextIsCutToTheCallersBuffer) {
    HWND w = make(WS_POPUP, nullptr, 0, "");
    EXPECT_TRUE(SetWindowTextA(w, "Installation Options"));
    EXPECT_EQ(GetWindowTextLengthA(w), 20);
    char small[8] = "xxxxxxx";
    EXPECT_EQ(GetWindowTextA(w, small, sizeof small), 7);
    EXPECT_STREQ(small, "Install");
    char one[1] = {'x'};
    EXPECT_EQ(GetWindowTextA(w, one, 1), 0);
    EXPECT_EQ(one[0], 0);
}

LRESULT CALLBACK subclass_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    if (msg == WM_USER + 9) return 42;
    return CallWindowProcA(recording_proc, hwnd, msg, wparam, lparam);
}

TEST_F(User, WindowLongsHoldStyleUserDataExtraBytesAndTheProcedure) {
    HWND w = make(WS_POPUP | WS_BORDER);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(w, GWL_STYLE)) & (WS_POPUP | WS_BORDER),
              static_cast<DWORD>(WS_POPUP | WS_BORDER));
    SetWindowLongPtrA(w, GWLP_USERDATA, 0x1234);
    EXPECT_EQ(GetWindowLongPtrA(w, GWLP_USERDATA), 0x1234);
    SetWindowLongA(w, 8, 77);
    EXPECT_EQ(GetWindowLongA(w, 8), 77);
    EXPECT_EQ(SendMessageA(w, WM_USER + 9, 0, 0), 0);
    LONG_PTR old = SetWindowLongPtrA(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(subclass_proc));
    EXPECT_EQ(old, reinterpret_cast<LONG_PTR>(recording_proc));
    EXPECT_EQ(SendMessageA(w, WM_USER + 9, 0, 0), 42);
}

TEST_F(User, GeometryOfFramesCaptionsAndChildren) {
    HWND w = make(WS_OVERLAPPEDWINDOW);
    RECT wr, cr;
    GetWindowRect(w, &wr);
    GetClientRect(w, &cr);
    EXPECT_EQ(wr.left, 20);
    EXPECT_EQ(wr.top, 30);
    int fx = GetSystemMetrics(SM_CXFRAME), fy = GetSystemMetrics(SM_CYFRAME);
    EXPECT_EQ(cr.right, 300 - 2 * fx);
    EXPECT_EQ(cr.bottom, 200 - 2 * fy - GetSystemMetrics(SM_CYCAPTION));
    HWND child = CreateWindowExA(0, "ConfRecorder", "", WS_CHILD | WS_VISIBLE, 5, 6, 50, 40, w,
                                 reinterpret_cast<HMENU>(3), nullptr, nullptr);
    POINT p{0, 0};
    ClientToScreen(child, &p);
    EXPECT_EQ(p.x, 20 + fx + 5);
    EXPECT_EQ(p.y, 30 + fy + GetSystemMetrics(SM_CYCAPTION) + 6);
    ScreenToClient(w, &p);
    EXPECT_EQ(p.x, 5);
    EXPECT_EQ(p.y, 6);
    MoveWindow(child, 10, 12, 30, 20, TRUE);
    GetWindowRect(child, &wr);
    EXPECT_EQ(wr.right - wr.left, 30);
    EXPECT_EQ(wr.bottom - wr.top, 20);
}

void ExpectCoversTheScreen(HWND w) {
    RECT r;
    GetWindowRect(w, &r);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(r.bottom, GetSystemMetrics(SM_CYSCREEN));
}

TEST_F(User, AMaximizedPopupCoversTheScreen) {
    HWND w = make(WS_POPUP);
    ShowWindow(w, SW_SHOWMAXIMIZED);
    ExpectCoversTheScreen(w);
    EXPECT_TRUE(IsWindowVisible(w));
    EXPECT_EQ(GetActiveWindow(), w);
    ShowWindow(w, SW_HIDE);
    EXPECT_FALSE(IsWindowVisible(w));
    if (on_simulator()) {
        EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 640);
        EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 480);
    }
}

LRESULT CALLBACK minmax_ignoring_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    if (msg == WM_GETMINMAXINFO) return 0; // the limits the system proposes stand
    return DefWindowProcA(hwnd, msg, wparam, lparam);
}

// The setup window: a popup of default position and size, shown maximised.
TEST_F(User, APopupOfDefaultSizeShownMaximisedCoversTheScreen) {
    ASSERT_TRUE(register_class("ConfDefaultPopup", minmax_ignoring_proc));
    HWND w = CreateWindowExA(0, "ConfDefaultPopup", "", WS_POPUP, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                             CW_USEDEFAULT, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(w, nullptr);
    RECT r;
    GetWindowRect(w, &r);
    EXPECT_EQ(r.right - r.left, 0); // a popup's default size is none at all
    ShowWindow(w, SW_SHOWMAXIMIZED);
    ExpectCoversTheScreen(w);
    EXPECT_TRUE(IsZoomed(w));
    DestroyWindow(w);
    UnregisterClassA("ConfDefaultPopup", GetModuleHandleA(nullptr));
}

TEST_F(User, DisabledWindowsAndFocus) {
    HWND w = make(WS_POPUP | WS_VISIBLE);
    HWND c = make(WS_CHILD | WS_VISIBLE, w, 4);
    SetFocus(c);
    EXPECT_EQ(GetFocus(), c);
    EXPECT_FALSE(EnableWindow(c, FALSE)); // it was enabled
    EXPECT_FALSE(IsWindowEnabled(c));
    EXPECT_TRUE(EnableWindow(c, TRUE)); // it was disabled
    EXPECT_TRUE(IsWindowEnabled(c));
}

// --- dialogs from templates ---

TEST_F(User, DialogWithoutAbsAlignStandsInTheOwnersClientArea) {
    HWND owner = make(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    dlgtest::DialogBuilder b(WS_POPUP | WS_CAPTION | DS_MODALFRAME, 10, 8, 120, 60, "Where");
    b.item(dlgtest::Cls::Button, BS_DEFPUSHBUTTON | WS_TABSTOP, IDOK, "OK", 10, 40, 40, 14);
    dlgtest::DialogRun run;
    run.body = [&](HWND d) {
        RECT units{10, 8, 120, 60};
        MapDialogRect(d, &units);
        POINT origin{0, 0};
        ClientToScreen(owner, &origin);
        RECT cr;
        GetClientRect(d, &cr);
        POINT client{0, 0};
        ClientToScreen(d, &client); // the template places the client area
        EXPECT_EQ(client.x, origin.x + units.left);
        EXPECT_EQ(client.y, origin.y + units.top);
        EXPECT_EQ(cr.right, units.right);
        EXPECT_EQ(cr.bottom, units.bottom);
        EXPECT_FALSE(IsWindowEnabled(owner)); // a modal dialog disables its owner
        EXPECT_EQ(GetParent(d), owner);
    };
    EXPECT_EQ(dlgtest::run_dialog(b, run, owner), 77);
    EXPECT_TRUE(IsWindowEnabled(owner));
}

// Dialog units become pixels rounded to the nearest (halves away from zero), each value on its own: a
// control's size is not the distance between its rounded edges. (Base units 6 x 13.)
TEST_F(User, DialogUnitsRoundToTheNearestPixel) {
    dlgtest::DialogBuilder b(WS_POPUP | WS_CAPTION, 10, 10, 121, 61, "Units");
    b.item(dlgtest::Cls::Static, SS_LEFT, 100, "x", 3, 3, 7, 9);
    dlgtest::DialogRun run;
    run.body = [](HWND d) {
        RECT r{-3, 5, 7, 3};
        ASSERT_TRUE(MapDialogRect(d, &r));
        EXPECT_EQ(r.left, -5);
        EXPECT_EQ(r.top, 8);
        EXPECT_EQ(r.right, 11);
        EXPECT_EQ(r.bottom, 5);
        RECT client;
        GetClientRect(d, &client);
        EXPECT_EQ(client.right, 182);
        EXPECT_EQ(client.bottom, 99);
        RECT c;
        GetWindowRect(GetDlgItem(d, 100), &c);
        MapWindowPoints(nullptr, d, reinterpret_cast<POINT*>(&c), 2);
        EXPECT_EQ(c.left, 5);
        EXPECT_EQ(c.top, 5);
        EXPECT_EQ(c.right - c.left, 11);
        EXPECT_EQ(c.bottom - c.top, 15);
    };
    EXPECT_EQ(dlgtest::run_dialog(b, run), 77);
}

TEST_F(User, InitDialogFocusesTheFirstTabStopUnlessItReturnsFalse) {
    dlgtest::DialogBuilder b(WS_POPUP | WS_CAPTION, 10, 10, 150, 80, "Focus");
    b.item(dlgtest::Cls::Static, SS_LEFT, 100, "Label", 5, 5, 60, 8)
        .item(dlgtest::Cls::Edit, WS_BORDER | WS_TABSTOP | WS_DISABLED, 101, "", 5, 15, 60, 12)
        .item(dlgtest::Cls::Edit, WS_BORDER | WS_TABSTOP, 102, "abc", 5, 30, 60, 12)
        .item(dlgtest::Cls::Button, BS_PUSHBUTTON | WS_TABSTOP, IDOK, "OK", 80, 50, 40, 14);
    dlgtest::DialogRun first;
    HWND focused = nullptr;
    first.body = [&](HWND d) { focused = GetFocus() == GetDlgItem(d, 102) ? GetDlgItem(d, 102) : nullptr; };
    dlgtest::run_dialog(b, first);
    EXPECT_NE(focused, nullptr);

    dlgtest::DialogRun second;
    second.init = [](HWND d) {
        SetFocus(GetDlgItem(d, IDOK));
        return FALSE;
    };
    bool on_ok = false;
    second.body = [&](HWND d) { on_ok = GetFocus() == GetDlgItem(d, IDOK); };
    dlgtest::run_dialog(b, second);
    EXPECT_TRUE(on_ok);
}

TEST_F(User, DefaultButtonFollowsDmSetDefId) {
    dlgtest::DialogBuilder b(WS_POPUP | WS_CAPTION, 10, 10, 150, 60, "Default");
    b.item(dlgtest::Cls::Button, BS_DEFPUSHBUTTON | WS_TABSTOP, IDOK, "OK", 5, 40, 40, 14)
        .item(dlgtest::Cls::Button, BS_PUSHBUTTON | WS_TABSTOP, IDCANCEL, "Cancel", 50, 40, 40, 14);
    dlgtest::DialogRun run;
    run.body = [](HWND d) {
        EXPECT_EQ(SendMessageA(d, DM_GETDEFID, 0, 0), MAKELONG(IDOK, DC_HASDEFID));
        SendMessageA(d, DM_SETDEFID, IDCANCEL, 0);
        EXPECT_EQ(SendMessageA(d, DM_GETDEFID, 0, 0), MAKELONG(IDCANCEL, DC_HASDEFID));
        EXPECT_EQ(GetWindowLongA(GetDlgItem(d, IDCANCEL), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
        EXPECT_EQ(GetWindowLongA(GetDlgItem(d, IDOK), GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);
        SendMessageA(GetDlgItem(d, IDOK), BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
        EXPECT_EQ(GetWindowLongA(GetDlgItem(d, IDOK), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
    };
    dlgtest::run_dialog(b, run);
}

// Keys reach a dialog through its modal loop: Enter presses the enabled default button, Escape gives
// IDCANCEL even without a Cancel button, and closing gives IDCANCEL unless Cancel is disabled.
TEST_F(User, KeyboardAndCloseCommandsOfADialog) {
    dlgtest::DialogBuilder b(WS_POPUP | WS_CAPTION | WS_SYSMENU, 10, 10, 150, 60, "Keys");
    b.item(dlgtest::Cls::Edit, WS_BORDER | WS_TABSTOP, 10, "", 5, 5, 60, 12)
        .item(dlgtest::Cls::Button, BS_DEFPUSHBUTTON | WS_TABSTOP, IDOK, "OK", 5, 40, 40, 14);
    dlgtest::DialogRun run;
    std::vector<dlgtest::Command> after_enter, after_disabled_enter, after_escape, after_close;
    run.body = [&](HWND d) {
        run.commands.clear();
        HWND edit = GetDlgItem(d, 10);
        PostMessageA(edit, WM_KEYDOWN, VK_RETURN, 0);
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE))
            if (!IsDialogMessageA(d, &m)) DispatchMessageA(&m);
        after_enter = run.commands;
        run.commands.clear();
        EnableWindow(GetDlgItem(d, IDOK), FALSE);
        PostMessageA(edit, WM_KEYDOWN, VK_RETURN, 0);
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE))
            if (!IsDialogMessageA(d, &m)) DispatchMessageA(&m);
        after_disabled_enter = run.commands;
        run.commands.clear();
        PostMessageA(edit, WM_KEYDOWN, VK_ESCAPE, 0);
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE))
            if (!IsDialogMessageA(d, &m)) DispatchMessageA(&m);
        after_escape = run.commands;
        run.commands.clear();
        SendMessageA(d, WM_SYSCOMMAND, SC_CLOSE, 0); // the dialog posts itself the Cancel command
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE))
            if (!IsDialogMessageA(d, &m)) DispatchMessageA(&m);
        after_close = run.commands;
    };
    dlgtest::run_dialog(b, run);
    using dlgtest::Command;
    EXPECT_EQ(after_enter, (std::vector<Command>{{IDOK, BN_CLICKED}}));
    if (on_simulator()) { // Wine sends IDOK even while the default button is disabled
        EXPECT_TRUE(after_disabled_enter.empty());
    }
    EXPECT_EQ(after_escape, (std::vector<Command>{{IDCANCEL, 0}}));
    EXPECT_EQ(after_close, (std::vector<Command>{{IDCANCEL, BN_CLICKED}}));
}

TEST_F(User, DialogItemHelpersAndIntegers) {
    dlgtest::DialogBuilder b(WS_POPUP | WS_CAPTION, 10, 10, 150, 60, "Items");
    b.item(dlgtest::Cls::Edit, WS_BORDER | WS_TABSTOP, 10, "", 5, 5, 60, 12);
    dlgtest::DialogRun run;
    run.body = [](HWND d) {
        BOOL ok = TRUE;
        SetDlgItemInt(d, 10, static_cast<UINT>(-25), TRUE);
        EXPECT_EQ(static_cast<int>(GetDlgItemInt(d, 10, &ok, TRUE)), -25);
        EXPECT_TRUE(ok);
        SetDlgItemTextA(d, 10, " 12x"); // the number ends at the first character that is not a digit
        EXPECT_EQ(GetDlgItemInt(d, 10, &ok, FALSE), 12u);
        EXPECT_TRUE(ok);
        SetDlgItemTextA(d, 10, "x12");
        GetDlgItemInt(d, 10, &ok, FALSE);
        EXPECT_FALSE(ok);
        SetDlgItemTextA(d, 10, "4000000000");
        EXPECT_EQ(GetDlgItemInt(d, 10, &ok, FALSE), 4000000000u);
        EXPECT_TRUE(ok);
        char buf[4];
        SetDlgItemTextA(d, 10, "abcdef");
        EXPECT_EQ(GetDlgItemTextA(d, 10, buf, sizeof buf), 3u);
        EXPECT_STREQ(buf, "abc");
        EXPECT_EQ(GetDlgItem(d, 999), nullptr);
        EXPECT_EQ(SendDlgItemMessageA(d, 10, WM_GETTEXTLENGTH, 0, 0), 6);
    };
    dlgtest::run_dialog(b, run);
}

// A message box seen from inside its own loop: a message posted before it opens reaches this procedure
// while the box waits, measures it and closes it.
struct BoxLook {
    bool seen = false;
    int text_lines = 0;     // of the text as its control draws it, at the control's width
    bool text_fits = false; // the whole text inside the text control
    bool inside = false;    // the text and the button inside the box's client area
    bool button_below = false;
};
BoxLook box_look;

LRESULT CALLBACK box_inspector(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    if (msg != WM_APP) return DefWindowProcA(hwnd, msg, wparam, lparam);
    HWND box = FindWindowA(nullptr, "Box under test");
    HWND label = GetDlgItem(box, 0xFFFF), ok = GetDlgItem(box, IDOK);
    if (!box || !label || !ok) return 0;
    char text[256] = "";
    GetWindowTextA(label, text, sizeof text);
    RECT area;
    GetClientRect(label, &area);
    HDC dc = GetDC(label);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(label, WM_GETFONT, 0, 0)));
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    RECT need{0, 0, area.right, 0};
    DrawTextA(dc, text, -1, &need, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(label, dc);
    RECT client, t, b;
    GetClientRect(box, &client);
    GetWindowRect(label, &t);
    GetWindowRect(ok, &b);
    MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&t), 2);
    MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&b), 2);
    box_look.seen = true;
    box_look.text_lines = tm.tmHeight ? need.bottom / tm.tmHeight : 0;
    box_look.text_fits = need.right <= area.right && need.bottom <= area.bottom;
    box_look.inside = t.left >= 0 && t.top >= 0 && b.right <= client.right && b.bottom <= client.bottom &&
                      t.right <= client.right;
    box_look.button_below = b.top >= t.bottom;
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    return 0;
}

TEST_F(User, AMessageBoxIsSizedToShowItsWholeText) {
    ASSERT_TRUE(register_class("ConfBoxInspector", box_inspector));
    HWND inspector = CreateWindowExA(0, "ConfBoxInspector", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                     GetModuleHandleA(nullptr), nullptr);
    box_look = BoxLook{};
    PostMessageA(inspector, WM_APP, 0, 0);
    // Lines broken by a lone CR, the last one too, as the loader's help has them.
    EXPECT_EQ(
        MessageBoxA(nullptr,
                    "Possible command line switches:\r/e - express setup (skip not important dialogs),\r"
                    "/q - disable writing messages to log-file during setup,\r/o - OEM setup.\r",
                    "Box under test", MB_OK | MB_ICONINFORMATION),
        IDOK);
    DestroyWindow(inspector);
    UnregisterClassA("ConfBoxInspector", GetModuleHandleA(nullptr));
    ASSERT_TRUE(box_look.seen);
    EXPECT_EQ(box_look.text_lines, 4);
    EXPECT_TRUE(box_look.text_fits);
    EXPECT_TRUE(box_look.inside);
    EXPECT_TRUE(box_look.button_below);
}

} // namespace

namespace {

TEST_F(User, DialogBoxParamBuildsTheNamedTemplateOfTheProgram) {
    // The template holds a control of the program's own class: without it the dialog cannot be made.
    EXPECT_EQ(DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_CLASSIC), nullptr,
                              dlgtest::run_proc, 0),
              -1);
    ASSERT_TRUE(register_class("TNCustom", DefWindowProcA));
    dlgtest::DialogRun run;
    run.body = [](HWND d) {
        char text[32];
        GetDlgItemTextA(d, IDC_PUSH, text, sizeof text);
        EXPECT_STREQ(text, "Push");
        EXPECT_EQ(SendMessageA(d, DM_GETDEFID, 0, 0), MAKELONG(IDC_DEFPUSH, DC_HASDEFID));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(d, IDC_DEFPUSH)));
        EXPECT_NE(GetDlgItem(d, IDC_EDIT), nullptr);
        SendDlgItemMessageA(d, IDC_AUTO3STATE, BM_CLICK, 0, 0);
        EXPECT_EQ(IsDlgButtonChecked(d, IDC_AUTO3STATE), static_cast<UINT>(BST_CHECKED));
        // The icon control holds its icon and takes its size, whatever size the template gives.
        HWND icon = GetDlgItem(d, IDC_ICON_STATIC);
        EXPECT_NE(SendMessageA(icon, STM_GETICON, 0, 0), 0);
        RECT area{};
        GetClientRect(icon, &area);
        EXPECT_EQ(area.right, GetSystemMetrics(SM_CXICON));
        EXPECT_EQ(area.bottom, GetSystemMetrics(SM_CYICON));
    };
    EXPECT_EQ(DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_CLASSIC), nullptr,
                              dlgtest::run_proc, reinterpret_cast<LPARAM>(&run)),
              77);
    EXPECT_EQ(DialogBoxParamA(GetModuleHandleA(nullptr), "NOSUCHDIALOG", nullptr, dlgtest::run_proc,
                              reinterpret_cast<LPARAM>(&run)),
              -1);
    UnregisterClassA("TNCustom", GetModuleHandleA(nullptr));
}

} // namespace
