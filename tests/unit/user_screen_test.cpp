// What the screen shows: a full-screen window with a dialog over it, holding every kind of control, drawn
// by the window manager through the GDI. DIALOG_SAMPLE_PNG names a file to save the screen in.
#include "platform/sim/driver/agent.h"
#include "platform/sim/gdi/internal.h"
#include "platform/sim/sim.h"
#include "platform/win32.h"
#include "tests/conformance/dialog_builder.h"

#include <cstdlib>
#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

namespace fs = std::filesystem;
using dlgtest::Cls;

namespace {

HBRUSH grey_brush = nullptr;
sim::Surface shot;
RECT dialog_client{};
RECT edit_rect{};

LRESULT CALLBACK main_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        RECT band{0, 0, GetSystemMetrics(SM_CXSCREEN), 60};
        HBRUSH blue = CreateSolidBrush(RGB(0, 0, 128));
        FillRect(dc, &band, blue);
        DeleteObject(blue);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(255, 255, 255));
        TextOutA(dc, 10, 20, "Setup", 5);
        EndPaint(hwnd, &ps);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wparam, lparam);
}

void screen_rect_of(HWND hwnd, RECT& out) {
    GetClientRect(hwnd, &out);
    POINT p{0, 0};
    ClientToScreen(hwnd, &p);
    out = RECT{p.x, p.y, p.x + out.right, p.y + out.bottom};
}

INT_PTR CALLBACK sample_proc(HWND d, UINT msg, WPARAM wparam, LPARAM) {
    switch (msg) {
    case WM_INITDIALOG:
        for (const char* s : {"Arial", "Courier New", "Times New Roman", "Symbol"})
            SendDlgItemMessageA(d, 40, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
        SendDlgItemMessageA(d, 40, LB_SETSEL, TRUE, 1);
        SendDlgItemMessageA(d, 40, LB_SETSEL, TRUE, 2);
        for (const char* s : {"Russia", "Belarus", "Ukraine"})
            SendDlgItemMessageA(d, 50, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
        SendDlgItemMessageA(d, 50, CB_SETCURSEL, 2, 0);
        CheckDlgButton(d, 10, BST_CHECKED);
        CheckDlgButton(d, 11, BST_INDETERMINATE);
        CheckRadioButton(d, 20, 21, 21);
        SendDlgItemMessageA(d, 60, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconA(nullptr, IDI_QUESTION)),
                            0);
        return TRUE;
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        SetBkColor(reinterpret_cast<HDC>(wparam), RGB(192, 192, 192));
        return reinterpret_cast<INT_PTR>(grey_brush);
    case WM_COMMAND:
        if (LOWORD(wparam) == IDOK) {
            screen_rect_of(d, dialog_client);
            screen_rect_of(GetDlgItem(d, 30), edit_rect);
            shot = sim::compose_screen();
            EndDialog(d, IDOK);
        }
        return TRUE;
    default:
        return FALSE;
    }
}

class Screen : public ::testing::Test {
  protected:
    void SetUp() override {
        char tmpl[] = "/tmp/screen-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        root_ = tmpl;
        std::string error;
        ASSERT_TRUE(sim::create_default_machine((root_ / "m").string(), &error)) << error;
        ASSERT_TRUE(sim::attach((root_ / "m").string(), "C:\\TEST.EXE", "C:\\", &error)) << error;
    }
    void TearDown() override {
        sim::set_agent(nullptr);
        sim::detach();
        fs::remove_all(root_);
    }
    fs::path root_;
};

std::uint32_t at(int x, int y) {
    return shot.at(x, y);
}

TEST_F(Screen, FullScreenWindowWithADialogOfEveryControl) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = main_proc;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
    wc.lpszClassName = "SampleMain";
    ASSERT_TRUE(RegisterClassA(&wc));
    HWND main = CreateWindowExA(0, "SampleMain", "Setup", WS_POPUP | WS_CLIPCHILDREN, 0, 0, 100, 100, nullptr,
                                nullptr, nullptr, nullptr);
    ShowWindow(main, SW_SHOWMAXIMIZED);
    UpdateWindow(main);
    grey_brush = CreateSolidBrush(RGB(192, 192, 192));

    dlgtest::DialogBuilder b(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 40, 60, 250, 170,
                             "Installation Options");
    b.item(Cls::Static, SS_ICON, 60, "", 8, 6, 20, 20)
        .item(Cls::Static, SS_LEFT, 61, "Choose what to install. The selected parts are copied to your disk.",
              34, 8, 200, 18)
        .item(Cls::Button, BS_GROUPBOX, 62, "Parts", 6, 30, 110, 62)
        .item(Cls::Button, BS_AUTOCHECKBOX | WS_TABSTOP, 10, "&Program files", 12, 42, 100, 10)
        .item(Cls::Button, BS_AUTO3STATE | WS_TABSTOP, 11, "&Fonts", 12, 54, 100, 10)
        .item(Cls::Button, BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 20, "Left Alt+Shift", 12, 66, 100, 10)
        .item(Cls::Button, BS_AUTORADIOBUTTON, 21, "Ctrl+Shift", 12, 78, 100, 10)
        .item(Cls::ListBox, WS_BORDER | LBS_MULTIPLESEL | LBS_NOTIFY | WS_VSCROLL | WS_GROUP, 40, "", 124, 34,
              118, 40)
        .item(Cls::ComboBox, CBS_DROPDOWNLIST | CBS_SORT | WS_VSCROLL | WS_TABSTOP, 50, "", 124, 80, 118, 60)
        .item(Cls::Static, SS_LEFT, 63, "&Directory:", 6, 100, 60, 8)
        .item(Cls::Edit, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 30, "C:\\TARNO", 6, 110, 236, 12)
        .item(Cls::Static, SS_BLACKFRAME, 64, "", 6, 128, 236, 1)
        .item(Cls::Button, BS_DEFPUSHBUTTON | WS_TABSTOP, IDOK, "&Continue", 80, 148, 50, 14)
        .item(Cls::Button, BS_PUSHBUTTON | WS_TABSTOP | WS_DISABLED, 3, "&Back", 136, 148, 50, 14)
        .item(Cls::Button, BS_PUSHBUTTON | WS_TABSTOP, IDCANCEL, "E&xit", 192, 148, 50, 14);
    sim::QueueAgent agent({sim::click(IDOK)});
    sim::set_agent(&agent);
    EXPECT_EQ(DialogBoxIndirectParamA(nullptr, b.get(), main, sample_proc, 0), IDOK);

    ASSERT_EQ(shot.width, 640);
    ASSERT_EQ(shot.height, 480);
    // The full-screen window's own painting and class brush, the dialog's brush, and a white edit field.
    EXPECT_EQ(at(5, 5), 0x000080u);
    EXPECT_EQ(at(5, 470), sim::pixel_of(GetSysColor(COLOR_APPWORKSPACE)));
    EXPECT_EQ(at(dialog_client.left + 2, dialog_client.bottom - 3), 0xC0C0C0u);
    EXPECT_EQ(at(edit_rect.right - 3, edit_rect.bottom - 3), sim::pixel_of(GetSysColor(COLOR_WINDOW)));
    // The active caption just above the client area.
    EXPECT_EQ(at(dialog_client.right - 40, dialog_client.top - 10),
              sim::pixel_of(GetSysColor(COLOR_ACTIVECAPTION)));

    // DIALOG_SAMPLE_PNG=docs/dialog-sample.png remakes the picture in the documentation.
    std::string error;
    if (const char* sample = std::getenv("DIALOG_SAMPLE_PNG")) {
        EXPECT_TRUE(sim::save_png(shot, sample, &error)) << error;
    }
    DestroyWindow(main);
    DeleteObject(grey_brush);
}

// Drop-down lists as Windows 95 draws them: a sunken edge round the control, the arrow button inside it,
// the field in the colours the parent answers (WM_CTLCOLOREDIT, WM_CTLCOLORSTATIC when disabled), and
// the focused one highlighted.
HBRUSH yellow_brush = nullptr, green_brush = nullptr;
RECT combo_rects[3]{};

INT_PTR CALLBACK combo_proc(HWND d, UINT msg, WPARAM, LPARAM lparam) {
    switch (msg) {
    case WM_INITDIALOG:
        for (int id : {50, 51, 52}) {
            SendDlgItemMessageA(d, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Kazakh"));
            SendDlgItemMessageA(d, id, CB_SETCURSEL, 0, 0);
        }
        PostMessageA(d, WM_APP, 0, 0);
        return TRUE;
    case WM_CTLCOLOREDIT:
        return GetDlgCtrlID(reinterpret_cast<HWND>(lparam)) == 51 ? reinterpret_cast<INT_PTR>(yellow_brush)
                                                                  : FALSE;
    case WM_CTLCOLORSTATIC:
        return reinterpret_cast<INT_PTR>(green_brush);
    case WM_APP:
        for (int i = 0; i < 3; ++i)
            screen_rect_of(GetDlgItem(d, 50 + i), combo_rects[i]);
        shot = sim::compose_screen();
        EndDialog(d, IDOK);
        return TRUE;
    default:
        return FALSE;
    }
}

TEST_F(Screen, DropDownListsHaveASunkenEdgeWithTheButtonInside) {
    yellow_brush = CreateSolidBrush(RGB(255, 255, 0));
    green_brush = CreateSolidBrush(RGB(0, 255, 0));
    dlgtest::DialogBuilder b(WS_POPUP | WS_CAPTION | DS_MODALFRAME, 40, 60, 120, 70, "Lists");
    b.item(Cls::ComboBox, CBS_DROPDOWNLIST | WS_TABSTOP, 50, "", 6, 6, 100, 60)
        .item(Cls::ComboBox, CBS_DROPDOWNLIST | WS_TABSTOP, 51, "", 6, 26, 100, 60)
        .item(Cls::ComboBox, CBS_DROPDOWNLIST | WS_TABSTOP | WS_DISABLED, 52, "", 6, 46, 100, 60);
    EXPECT_EQ(DialogBoxIndirectParamA(nullptr, b.get(), nullptr, combo_proc, 0), IDOK);
    const std::uint32_t white = 0xFFFFFF, black = 0, face = 0xC0C0C0, shadow = 0x808080, navy = 0x000080;
    const std::uint32_t fields[3] = {navy, 0xFFFF00, 0x00FF00}; // focused, the parent's brush, disabled
    for (int i = 0; i < 3; ++i) {
        const RECT& r = combo_rects[i];
        int w = r.right - r.left, h = r.bottom - r.top;
        auto px = [&](int x, int y) { return at(r.left + x, r.top + y); };
        EXPECT_EQ(h, 21) << "one line of the font and the edges";
        // The sunken edge: shadow and dark shadow outside-in at the top left, white and light grey at the
        // bottom right.
        EXPECT_EQ(px(0, 0), shadow) << i;
        EXPECT_EQ(px(1, 1), black) << i;
        EXPECT_EQ(px(w - 1, h - 1), white) << i;
        EXPECT_EQ(px(w - 2, h - 2), face) << i;
        // The button, 16 wide inside the edge, raised: light grey then white at the top left.
        EXPECT_EQ(px(w - 18, 2), face) << i;
        EXPECT_EQ(px(w - 17, 3), white) << i;
        EXPECT_EQ(px(w - 3, h - 3), black) << i;
        EXPECT_EQ(px(w - 4, h - 4), shadow) << i;
        EXPECT_EQ(px(w - 10, 10), i == 2 ? shadow : black) << i << ": the arrow's middle";
        // The highlight leaves a pixel of the field's colour round it.
        EXPECT_EQ(px(w - 19, h - 3), i == 0 ? white : fields[i]) << i;
        EXPECT_EQ(px(w - 25, 10), fields[i]) << i;
    }
    DeleteObject(yellow_brush);
    DeleteObject(green_brush);
}

// A list longer than its box shows a scroll bar with a box proportional to the entries in sight, moving
// with the first entry shown; with LBS_DISABLENOSCROLL a short list shows the bar disabled, without a box.
RECT list_rects[2]{};
sim::Surface list_shots[3];

INT_PTR CALLBACK list_proc(HWND d, UINT msg, WPARAM, LPARAM) {
    switch (msg) {
    case WM_INITDIALOG:
        for (int i = 0; i < 20; ++i)
            SendDlgItemMessageA(d, 40, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Layout"));
        SendDlgItemMessageA(d, 41, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("US"));
        PostMessageA(d, WM_APP, 0, 0);
        return TRUE;
    case WM_APP:
        screen_rect_of(GetDlgItem(d, 40), list_rects[0]);
        screen_rect_of(GetDlgItem(d, 41), list_rects[1]);
        list_shots[0] = sim::compose_screen();
        SendDlgItemMessageA(d, 40, LB_SETTOPINDEX, 15, 0);
        list_shots[1] = sim::compose_screen();
        SetFocus(GetDlgItem(d, 41));
        list_shots[2] = sim::compose_screen();
        EndDialog(d, IDOK);
        return TRUE;
    default:
        return FALSE;
    }
}

TEST_F(Screen, ListsScrollWithABoxProportionalToTheEntriesInSight) {
    // 10 entries of 13 pixels in sight (131 pixels inside the edges, kept as given), 20 in all.
    dlgtest::DialogBuilder b(WS_POPUP | WS_CAPTION | DS_MODALFRAME, 40, 60, 160, 90, "Lists");
    b.item(Cls::ListBox, WS_BORDER | WS_VSCROLL | LBS_NOINTEGRALHEIGHT, 40, "", 6, 6, 60, 83)
        .item(Cls::ListBox, WS_BORDER | WS_VSCROLL | LBS_DISABLENOSCROLL, 41, "", 80, 6, 60, 40);
    EXPECT_EQ(DialogBoxIndirectParamA(nullptr, b.get(), nullptr, list_proc, 0), IDOK);
    const std::uint32_t white = 0xFFFFFF, black = 0, face = 0xC0C0C0, shadow = 0x808080;
    const RECT& r = list_rects[0]; // the client area, inside the sunken edge
    ASSERT_EQ(r.bottom - r.top, 131);
    int bar = r.right - 16;
    auto px = [](const sim::Surface& s, int x, int y) { return s.at(x, y); };
    const sim::Surface& top = list_shots[0];
    // The up arrow button, raised: light grey, then white, at the top left; black at the bottom right.
    EXPECT_EQ(px(top, bar, r.top), face);
    EXPECT_EQ(px(top, bar + 1, r.top + 1), white);
    EXPECT_EQ(px(top, r.right - 1, r.top + 15), black);
    EXPECT_EQ(px(top, bar + 8, r.top + 6), black) << "the up arrow's point";
    // The box: half the track of 99 pixels, at its top, then at its bottom once the list has scrolled.
    for (int i = 0; i < 2; ++i) {
        int box_top = r.top + 16 + (i == 0 ? 0 : 50);
        EXPECT_EQ(px(list_shots[i], bar, box_top), face) << i;
        EXPECT_EQ(px(list_shots[i], bar + 1, box_top + 1), white) << i;
        EXPECT_EQ(px(list_shots[i], r.right - 1, box_top + 48), black) << i;
        int track_y = i == 0 ? box_top + 60 : r.top + 30; // beside the box: dotted white and grey
        EXPECT_NE(px(list_shots[i], bar + 5, track_y), px(list_shots[i], bar + 6, track_y)) << i;
    }
    // The short list's bar is disabled: etched arrows and no box.
    const RECT& s = list_rects[1];
    int sbar = s.right - 16;
    EXPECT_EQ(px(top, sbar + 8, s.top + 6), shadow) << "the disabled up arrow";
    EXPECT_EQ(px(top, sbar + 12, s.top + 10), white) << "its white copy a pixel down and right";
    EXPECT_NE(px(top, sbar + 5, s.top + 30), px(top, sbar + 6, s.top + 30)) << "dotted track, no box";
    // With the focus, the short list frames its caret entry, the first while none is chosen, with dots.
    const sim::Surface& focused = list_shots[2];
    int dotted = 0;
    for (int x = s.left; x < s.left + 8; ++x)
        dotted += px(focused, x, s.top) != px(top, x, s.top);
    EXPECT_EQ(dotted, 4) << "every other pixel of the entry's top edge";
    EXPECT_EQ(px(focused, s.left + 1, s.top + 13 + 2), px(top, s.left + 1, s.top + 13 + 2)) << "below it";
    std::string error;
    const char* out = std::getenv("LIST_SAMPLE_PNG");
    if (out && !sim::save_png(top, out, &error)) ADD_FAILURE() << error;
}

} // namespace
