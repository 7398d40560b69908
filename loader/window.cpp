// The loader's hidden window: its creation starts the copy, and the end of the copy ends the message
// loop with the copy's code.
#include "loader/loader.h"

namespace {

const char kClassName[] = "SetupClass";
const int kWidth = 470;
const int kHeight = 300;

void OnCreate(HWND hwnd) {
    PostMessageA(hwnd, WM_COMMAND, 0, 0);
}

void OnCommand(HWND hwnd) {
    PostMessageA(hwnd, WM_DESTROY, static_cast<WPARAM>(CopySetupFiles()), 0);
}

void OnDestroy(WPARAM code) {
    PostQuitMessage(static_cast<int>(code));
}

} // namespace

LRESULT CALLBACK CopySetupWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_CREATE:
        OnCreate(hwnd);
        return 0;
    case WM_COMMAND:
        OnCommand(hwnd);
        return 0;
    case WM_DESTROY:
        OnDestroy(wParam);
        break;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

BOOL CreateLoaderWindow(HINSTANCE instance) {
    WNDCLASSA wc = {};
    wc.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC | CS_BYTEALIGNCLIENT;
    wc.lpfnWndProc = CopySetupWndProc;
    wc.hInstance = instance;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_APPWORKSPACE + 1));
    wc.lpszClassName = kClassName;
    if (!RegisterClassA(&wc)) return FALSE;
    int x = (GetSystemMetrics(SM_CXSCREEN) - kWidth) / 2;
    int y = (GetSystemMetrics(SM_CYSCREEN) - kHeight) / 2;
    hwndLoader =
        CreateWindowA(kClassName, "", WS_POPUP, x, y, kWidth, kHeight, nullptr, nullptr, instance, nullptr);
    return hwndLoader != nullptr;
}

int RunLoaderMessageLoop() {
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}
