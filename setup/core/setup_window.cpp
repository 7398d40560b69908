// The full-screen main window. Its procedure here only locates setup1.inf, reads the install flags and shows
// the Welcome dialog: the installation steps after them are not part of this program yet, so every run ends
// as cancelled.
#include "setup/core/progress.h"
#include "setup/core/setup.h"
#include "setup/dialogs/wizard.h"
#include "setup/messages/messages.h"
#include "setup/resources/ids.h"

namespace {

constexpr UINT kStartCommand = 1; // WM_COMMAND that runs the installation

void EndCancelled(HWND hwnd) {
    ShowSetupMessage(hwnd, MB_ICONEXCLAMATION, IDS_SETUP_CANCELLED);
    LogLine("Setup failed.");
    DestroyWindow(hwnd);
}

// Express setup skips the dialogs that only ask for confirmation, whatever setup1.inf asks for.
void ApplyExpressSetup() {
    if (!fExpressSetup) return;
    fAskSetupOptions = FALSE;
    fShowWelcomeDialog = FALSE;
}

void RunInstallation(HWND hwnd) {
    if (LocateSetupInf(hwnd)) {
        ReadInstallFlags(szInfFile);
        ApplyExpressSetup();
        if (fShowWelcomeDialog) RunWelcomeDialog();
    }
    EndCancelled(hwnd);
}

} // namespace

LRESULT CALLBACK SetupWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_CREATE:
        PostMessageA(hwnd, WM_COMMAND, kStartCommand, 0);
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == kStartCommand) RunInstallation(hwnd);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

BOOL RegisterSetupClasses(HINSTANCE instance) {
    WNDCLASSA wc{};
    wc.style = CS_VREDRAW | CS_HREDRAW | CS_OWNDC | CS_BYTEALIGNCLIENT;
    wc.lpfnWndProc = SetupWndProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, "MYICON");     // not among the resources: no icon of its own
    wc.hCursor = LoadCursorA(instance, "haircr"); // likewise no cursor of its own
    wc.hbrBackground = CreateSolidBrush(RGB(0, 0, 255));
    wc.lpszClassName = "SetupClass";
    if (!RegisterClassA(&wc)) return FALSE;
    return RegisterChildClasses();
}

BOOL CreateSetupWindow(HINSTANCE instance) {
    hwndSetup = CreateWindowExA(0, "SetupClass", "", WS_POPUP, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
    if (!hwndSetup) return FALSE;
    ShowWindow(hwndSetup, SW_SHOWMAXIMIZED);
    UpdateWindow(hwndSetup);
    return TRUE;
}

int RunMessageLoop() {
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}
