// The full-screen main window: a blue gradient with the product's pictures, owner of every dialog. It makes
// the drawing objects the whole program shares, runs the installation when the message loop delivers the
// command it posts itself, and on its destruction carries out the user's exit choice and ends the program.
#include "common/bounded.h"
#include "setup/core/pictures.h"
#include "setup/core/progress.h"
#include "setup/core/setup.h"
#include "setup/messages/messages.h"
#include "setup/resources/ids.h"

namespace {

constexpr int kBandCount = 48;
constexpr int kCaptionCap = 120;
constexpr int kChildWidth = 400;
constexpr int kChildHeight = 150;
constexpr int kAdvertId = 1;
constexpr int kInforId = 2;
constexpr COLORREF kDialogGrey = RGB(192, 192, 192);
constexpr COLORREF kProgressBlue = PALETTERGB(0, 0, 255);

HBITMAP hbmLogo;      // top right of the window
HBITMAP hbmCopyright; // bottom right
bool installationStarted;
bool exitHandled;

// ---- Creation -------------------------------------------------------------------------------------------

void LoadPictures() {
    hbmCopyright = LoadBitmapA(hInst, BMP_COPYRIGHT);
    hbmLogo = LoadBitmapA(hInst, BMP_LOGO);
    hbmNation = LoadBitmapA(hInst, BMP_NATION);
    hbmDirect = LoadBitmapA(hInst, BMP_DIRECT);
    const LPCSTR adverts[kAdvertCount] = {BMP_ADVERT1, BMP_ADVERT2, BMP_ADVERT3, BMP_ADVERT4, BMP_ADVERT5};
    for (int i = 0; i < kAdvertCount; ++i)
        hbmAdvert[i] = LoadBitmapA(hInst, adverts[i]);
}

void CreateDrawingObjects() {
    hbrDialogBack = CreateSolidBrush(kDialogGrey);
    hbrBlue = CreateSolidBrush(kProgressBlue);
    hpenBlue = CreatePen(PS_SOLID, 1, kProgressBlue);
}

// The program's own font when its file can be loaded; the usual dialog face otherwise.
void LoadDialogFont() {
    CopyText(szDialogFont, "MS Sans Serif");
    char path[kFontResourceCap];
    CopyText(path, szSystemDir);
    char file[32];
    LoadText(IDS_DIALOG_FONT_FILE, file, sizeof file);
    AppendText(path, file);
    if (AddFontResourceA(path) > 0) {
        CopyText(szFontResource, path);
        LoadText(IDS_DIALOG_FONT, szDialogFont, sizeof szDialogFont);
    } else {
        szFontResource[0] = '\0';
    }
}

// A caption in Cyrillic that the system font cannot show is replaced by its Latin form everywhere.
void ChooseCaptionScript() {
    char start[4];
    LoadText(IDS_CAPTION, start, sizeof start);
    static const char kCyrillicStart[] = "\xD3\xF1\xF2";
    if (lstrcmpA(start, kCyrillicStart) == 0 && !SystemFontShowsCyrillic()) fLatinTexts = TRUE;
}

HWND CreateHiddenChild(HWND parent, const char* className, DWORD style, int x, int y, int id,
                       const char* caption) {
    HWND child =
        CreateWindowA(className, caption, WS_CHILD | WS_VISIBLE | style, x, y, kChildWidth, kChildHeight,
                      parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), hInst, nullptr);
    ShowWindow(child, SW_HIDE);
    return child;
}

void CreateChildWindows(HWND hwnd) {
    char caption[kCaptionCap];
    LoadText(fLatinTexts ? IDS_CAPTION_LATIN : IDS_CAPTION, caption, sizeof caption);
    int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    hwndAdvert =
        CreateHiddenChild(hwnd, "SetupAdvert", WS_DLGFRAME | WS_THICKFRAME, 20, 20, kAdvertId, caption);
    hwndInfor = CreateHiddenChild(hwnd, "SetupInfor", WS_CAPTION | WS_THICKFRAME, (width - kChildWidth) / 2,
                                  (height - kChildHeight) / 2, kInforId, caption);
}

LRESULT OnCreate(HWND hwnd) {
    installationStarted = exitHandled = false;
    LoadPictures();
    CreateDrawingObjects();
    LoadDialogFont();
    ChooseCaptionScript();
    nCurrentDosCodePage = GetCurrentDosCodePage();
    CreateChildWindows(hwnd);
    // The installation starts once the message loop runs, after the window has been shown.
    PostMessageA(hwnd, WM_COMMAND, 0, 0);
    return 0;
}

// ---- Painting -------------------------------------------------------------------------------------------

// 48 bands from blue 255 at the top to 20 at the bottom; the last band may end below the screen.
void PaintGradient(HDC dc, int width, int height) {
    int bandHeight = static_cast<short>(height / kBandCount + 1);
    for (int i = 0, y = 0; i < kBandCount; ++i, y += bandHeight) {
        RECT band = {0, y, width + 2, y + bandHeight};
        HBRUSH brush = CreateSolidBrush(RGB(0, 0, 255 - 5 * i));
        FillRect(dc, &band, brush);
        DeleteObject(brush);
    }
}

void PaintPictures(HDC dc, int width, int height) {
    SIZE logo = PictureSize(hbmLogo);
    DrawPicture(dc, hbmLogo, width - logo.cx - 4, 20);
    SIZE copyright = PictureSize(hbmCopyright);
    DrawPicture(dc, hbmCopyright, width - copyright.cx - 4, height - copyright.cy - 10);
}

void OnPaint(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    HGDIOBJ oldBrush = SelectObject(dc, hbrDialogBack);
    int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    PaintGradient(dc, width, height);
    PaintPictures(dc, width, height);
    SelectObject(dc, oldBrush);
    EndPaint(hwnd, &ps);
}

// ---- The installation -----------------------------------------------------------------------------------

void OnCommand(HWND hwnd) {
    // The installation runs once; a command arriving while a dialog of it waits must not start another.
    if (installationStarted) return;
    installationStarted = true;
    RunInstallation(hwnd);
}

// ---- Destruction ----------------------------------------------------------------------------------------

int ExitChoiceOfCompleted(HWND hwnd) {
    if (fServerSetup) return fAskRestartOrReturn ? ShowExitServerDialog() : 2;
    SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    return fAskRestartOrReturn ? ShowExitDialog(nExitDialog) : 2;
}

int ExitChoiceOfCancelled(HWND hwnd) {
    LogLine("Setup failed.");
    ShowSetupMessage(hwnd, MB_OK | MB_ICONEXCLAMATION, IDS_SETUP_CANCELLED);
    return 0;
}

void FreeBlock(HGLOBAL& block) {
    if (!block) return;
    // By the lock count: unlocking a fixed block reports it still locked however often it is done.
    for (UINT locks = GlobalFlags(block) & GMEM_LOCKCOUNT; locks > 0; --locks)
        GlobalUnlock(block);
    if (GlobalFree(block)) MessageBoxA(GetFocus(), "No Free Handle!", "GetPrivProfileStrBuff", MB_ICONSTOP);
    block = nullptr;
}

template <typename Handle>
void DeleteDrawingObject(Handle& object) {
    if (object) DeleteObject(object);
    object = nullptr;
}

void ReleaseResources() {
    LogLine("Releasing allocated memory...");
    FreeBlock(hLang);
    lpLang = nullptr;
    FreeBlock(hMem);
    DeleteDrawingObject(hbrBlue);
    DeleteDrawingObject(hpenBlue);
    DeleteDrawingObject(hbrDialogBack);
}

void CarryOutExitChoice(int exitChoice) {
    if (fDeleteSetupDir) {
        // The uninstaller removes the temporary setup directory and then does what the user chose. Before
        // a destination is known there is none to start: a bare "uninst.exe" would be looked for along
        // the path and could be another product's.
        if (szDestDir[0]) StartUninstaller(exitChoice);
    } else if (exitChoice == 1) {
        ExitWindowsEx(EWX_SHUTDOWN, 0);
    } else if (exitChoice == 2) {
        ExitWindowsEx(EWX_REBOOT, 0);
    }
}

LRESULT OnDestroy(HWND hwnd, BOOL completed) {
    // The destruction that follows a posted destroy message must not run the exit a second time.
    if (exitHandled) return 0;
    exitHandled = true;
    int exitChoice = completed ? ExitChoiceOfCompleted(hwnd) : ExitChoiceOfCancelled(hwnd);
    ReleaseResources();
    LogLine("Exiting Setup...");
    CarryOutExitChoice(exitChoice);
    if (szFontResource[0]) RemoveFontResourceA(szFontResource);
    PostQuitMessage(0);
    return 0;
}

} // namespace

LRESULT CALLBACK SetupWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_CREATE:
        return OnCreate(hwnd);
    case WM_PAINT:
        OnPaint(hwnd);
        return 0;
    case WM_COMMAND:
        OnCommand(hwnd);
        return 0;
    case WM_DESTROY:
        return OnDestroy(hwnd, wParam == 1);
    case WM_GETMINMAXINFO:
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
