// windriver's own window: it refuses every request to end the session, so that a program's restart or
// shutdown is recorded rather than carried out, and it receives what the hook in the programs reports.
#include "tools/windriver/desktop.h"
#include "tools/windriver/player.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <map>

std::vector<std::string>& power_requests() {
    static std::vector<std::string> requests;
    return requests;
}

std::string& keyboard_notices() {
    static std::string notices;
    return notices;
}

std::map<HWND, std::vector<std::string>>& painted_store() {
    static std::map<HWND, std::vector<std::string>> store;
    return store;
}

namespace {

LRESULT on_query_end_session(LPARAM lparam) {
    power_requests().push_back(lparam & ENDSESSION_LOGOFF ? "logoff" : "shutdown");
    return FALSE;
}

// What the hook in a driven program reports: a painted text (the window it was drawn in, then the text), or
// a keyboard notice.
LRESULT on_copy_data(const COPYDATASTRUCT* data) {
    if (!data || data->cbData < sizeof(ULONG_PTR)) return FALSE;
    ULONG_PTR window;
    std::memcpy(&window, data->lpData, sizeof window);
    std::string text(static_cast<const char*>(data->lpData) + sizeof window, data->cbData - sizeof window);
    if (data->dwData == 1) {
        keyboard_notices() += text + "\n";
        return TRUE;
    }
    auto& texts = painted_store()[reinterpret_cast<HWND>(window)];
    if (std::find(texts.begin(), texts.end(), text) == texts.end()) texts.push_back(text);
    return TRUE;
}

LRESULT CALLBACK PowerWndProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    switch (msg) {
    case WM_QUERYENDSESSION:
        return on_query_end_session(lparam);
    case WM_COPYDATA:
        return on_copy_data(reinterpret_cast<const COPYDATASTRUCT*>(lparam));
    default:
        return DefWindowProcA(hwnd, msg, wparam, lparam);
    }
}

} // namespace

void start_power_window() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = PowerWndProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "WindriverClass";
    RegisterClassA(&wc);
    CreateWindowA(wc.lpszClassName, "windriver", WS_OVERLAPPED, 0, 0, 0, 0, nullptr, nullptr, wc.hInstance,
                  nullptr);
}

std::vector<std::string> Desktop::painted_texts(HWND dialog) {
    auto& store = painted_store();
    store.erase(dialog);
    // The dialog paints again; what the hook reports of it arrives while this waits for the painting to
    // begin, and then for the dialog to answer (after its painting, or while it reports).
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
    MSG msg;
    for (DWORD start = GetTickCount(); GetTickCount() - start < 1000;) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        if (!GetUpdateRect(dialog, nullptr, FALSE)) break;
        Sleep(5);
    }
    DWORD_PTR result;
    SendMessageTimeoutA(dialog, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &result);
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
    return store[dialog];
}
