// A small Win32 program that exercises the simulator from a scenario: a full-screen window with a dialog
// of every control kind, a message box, the Open dialog, program starts, power requests and Program
// Manager, the system font. What the user chose goes to C:\SIMTEST.INI [result].
#include "platform/win32.h"
#include "tests/simprog/simtest_ids.h"

#include <cstring>
#include <string>

namespace {

const char kResults[] = "C:\\SIMTEST.INI";

void record(const char* key, const std::string& value) {
    WritePrivateProfileStringA("result", key, value.c_str(), kResults);
}

std::string item_text(HWND dlg, int id, UINT get_text, int index) {
    char buf[256] = "";
    SendDlgItemMessageA(dlg, id, get_text, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buf));
    return buf;
}

void fill_lists(HWND dlg) {
    for (const char* s : {"Alpha", "Beta", "Gamma"})
        SendDlgItemMessageA(dlg, IDC_MULTI, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
    for (const char* s : {"Russia", "Ukraine", "Belarus"})
        SendDlgItemMessageA(dlg, IDC_COUNTRY, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
    SendDlgItemMessageA(dlg, IDC_COUNTRY, CB_SETCURSEL, 0, 0);
    for (const char* s : {"delta", "charlie"})
        SendDlgItemMessageA(dlg, IDC_SORTED, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
}

void record_choices(HWND dlg) {
    char name[64];
    GetDlgItemTextA(dlg, IDC_NAME, name, sizeof name);
    record("name", name);
    record("check", std::to_string(IsDlgButtonChecked(dlg, IDC_CHECK)));
    record("three", std::to_string(IsDlgButtonChecked(dlg, IDC_THREE)));
    record("radio", IsDlgButtonChecked(dlg, IDC_RADIO2)   ? "two"
                    : IsDlgButtonChecked(dlg, IDC_RADIO1) ? "one"
                                                          : "none");
    int picked[8];
    int n = static_cast<int>(
        SendDlgItemMessageA(dlg, IDC_MULTI, LB_GETSELITEMS, 8, reinterpret_cast<LPARAM>(picked)));
    std::string list;
    for (int i = 0; i < n; ++i)
        list += (i ? "," : "") + item_text(dlg, IDC_MULTI, LB_GETTEXT, picked[i]);
    record("picked", list);
    int country = static_cast<int>(SendDlgItemMessageA(dlg, IDC_COUNTRY, CB_GETCURSEL, 0, 0));
    record("country", country < 0 ? "" : item_text(dlg, IDC_COUNTRY, CB_GETLBTEXT, country));
}

void on_command(HWND dlg, int id, int code) {
    if (id == IDC_NAME && code == EN_CHANGE)
        EnableWindow(GetDlgItem(dlg, IDOK), GetWindowTextLengthA(GetDlgItem(dlg, IDC_NAME)) > 0);
    if (id == IDC_SORTED && code == LBN_DBLCLK) {
        int sel = static_cast<int>(SendDlgItemMessageA(dlg, IDC_SORTED, LB_GETCURSEL, 0, 0));
        record("double-clicked", item_text(dlg, IDC_SORTED, LB_GETTEXT, sel));
        EndDialog(dlg, 2);
    }
    if (id == IDOK) {
        record_choices(dlg);
        EndDialog(dlg, 1);
    }
    if (id == IDCANCEL) EndDialog(dlg, 0);
}

INT_PTR CALLBACK all_controls_proc(HWND dlg, UINT msg, WPARAM wparam, LPARAM) {
    switch (msg) {
    case WM_INITDIALOG:
        fill_lists(dlg);
        CheckDlgButton(dlg, IDC_CHECK, BST_CHECKED);
        EnableWindow(GetDlgItem(dlg, IDOK), FALSE);
        return TRUE;
    case WM_COMMAND:
        on_command(dlg, LOWORD(wparam), HIWORD(wparam));
        return TRUE;
    }
    return FALSE;
}

LRESULT CALLBACK backdrop_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        RECT r;
        GetClientRect(hwnd, &r);
        HBRUSH blue = CreateSolidBrush(RGB(0, 0, 128));
        FillRect(dc, &r, blue);
        DeleteObject(blue);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(255, 255, 255));
        TextOutA(dc, 16, 16, "Simulator test program", 22);
        EndPaint(hwnd, &ps);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wparam, lparam);
}

HWND create_backdrop(HINSTANCE instance) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = backdrop_proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = "SimTestBackdrop";
    RegisterClassA(&wc);
    HWND hwnd =
        CreateWindowA("SimTestBackdrop", "Simulator test", WS_POPUP, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                      GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr, instance, nullptr);
    ShowWindow(hwnd, SW_SHOWMAXIMIZED);
    UpdateWindow(hwnd);
    return hwnd;
}

int run_dialogs(HINSTANCE instance) {
    HWND backdrop = create_backdrop(instance);
    INT_PTR result = DialogBoxParamA(instance, "ALLCONTROLS", backdrop, all_controls_proc, 0);
    record("dialog", std::to_string(result));
    int answer = MessageBoxA(backdrop, "Done with the dialog. Keep the results?", "Simulator test",
                             MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2);
    record("message", std::to_string(answer));
    DestroyWindow(backdrop);
    return static_cast<int>(result);
}

int open_file() {
    char file[MAX_PATH] = "";
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.lpstrFilter = "Setup information (*.inf)\0*.inf\0All files\0*.*\0";
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof file;
    ofn.lpstrInitialDir = "C:\\WINDOWS";
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    BOOL ok = GetOpenFileNameA(&ofn);
    record("open", ok ? file : "cancelled");
    return ok ? 1 : 0;
}

// The face and character set of the system font this program started with.
int record_system_font() {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, GetStockObject(SYSTEM_FONT));
    char face[LF_FACESIZE] = "";
    GetTextFaceA(dc, sizeof face, face);
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    record("systemfont", std::string(face) + " " + std::to_string(tm.tmCharSet));
    return 0;
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR command_line, int) {
    std::string args = command_line ? command_line : "";
    if (args.rfind("/exec ", 0) == 0) return WinExec(args.substr(6).c_str(), SW_SHOWNORMAL) > 31 ? 0 : 1;
    if (args == "/reboot") return ExitWindowsEx(EWX_REBOOT, 0) ? 0 : 1;
    if (args == "/open") return open_file();
    if (args == "/systemfont") return record_system_font();
    if (args == "/small")
        return static_cast<int>(DialogBoxParamA(instance, "ALLCONTROLS", nullptr, all_controls_proc, 0));
    if (args.rfind("/message ", 0) == 0)
        return MessageBoxA(nullptr, args.c_str() + 9, "Simulator test", MB_OK);
    return run_dialogs(instance);
}
