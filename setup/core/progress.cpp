// The information window: which file is copied where, a progress bar and the percentage; its paints also
// move the advertisements on.
#include "setup/core/progress.h"

#include "common/bounded.h"
#include "setup/core/saved_drawing.h"
#include "setup/core/state.h"
#include "setup/resources/ids.h"

int nAdvertIndex = 0;
BOOL fAdvertShowGuard = TRUE;
int nAdvertShown = 0;

namespace {

const char kInforClass[] = "SetupInfor";
const char kAdvertClass[] = "SetupAdvert";
const COLORREF kGrey = RGB(192, 192, 192);
const COLORREF kWhiteOverBar = PALETTERGB(255, 255, 255);
const int kToFileCap = 32;
const int kLineCap = 320;
const int kBarLeft = 20;
const int kBarTop = 90;
const int kBarBottom = 110;
const int kPercentX = 190;
const int kPercentY = 93;

struct InforWindow {
    HFONT font = nullptr;
    int barLength = 0; // 16-bit in the window's own terms; always small and positive here
    char toFile[kToFileCap] = "";
};
InforWindow infor;

// ---- Painting
// ----------------------------------------------------------------------------------------------

// "File copying : NAME" and "To file:DESTINATION", or the status text alone on the second line.
void DrawProgressTexts(HDC dc) {
    char line[kLineCap];
    if (szProgressFile[0]) {
        LoadStringA(hInst, IDS_FILE_COPYING, line, sizeof line);
        AppendText(line, szProgressFile);
        TextOutA(dc, 20, 20, line, lstrlenA(line));
        CopyText(line, infor.toFile);
        AppendText(line, szProgressText);
    } else {
        CopyText(line, szProgressText);
    }
    TextOutA(dc, 20, 40, line, lstrlenA(line));
}

void DrawProgressBar(HDC dc, int percent) {
    SelectObject(dc, GetStockObject(BLACK_PEN));
    SelectObject(dc, hbrDialogBack);
    SetTextColor(dc, kWhiteOverBar);
    Rectangle(dc, kBarLeft, kBarTop, infor.barLength + kBarLeft + 2, kBarBottom);
    char text[16];
    wsprintfA(text, "%d %%", percent);
    SelectObject(dc, hbrBlue);
    SelectObject(dc, hpenBlue);
    Rectangle(dc, kBarLeft + 1, kBarTop + 1, ProgressBarWidth(infor.barLength) + kBarLeft + 1,
              kBarBottom - 1);
    SetBkMode(dc, TRANSPARENT);
    TextOutA(dc, kPercentX, kPercentY, text, lstrlenA(text));
}

void PaintProgress(HWND hwnd, int percent) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    SavedDrawing saved(dc);
    SetBkColor(dc, kGrey);
    SelectObject(dc, infor.font);
    DrawProgressTexts(dc);
    DrawProgressBar(dc, percent);
    saved.Restore();
    EndPaint(hwnd, &ps);
}

// Each quarter of the copy brings the next advertisement. Showing it repaints this window from inside
// this paint; the guard makes that nested paint show nothing and only re-arm the guard.
void StepAdvertisement(int percent) {
    if (percent / 25 >= nAdvertIndex && fAdvertShowGuard) {
        fAdvertShowGuard = FALSE;
        nAdvertShown = nAdvertIndex < kAdvertCount ? nAdvertIndex : kAdvertCount - 1;
        ShowWindow(hwndAdvert, SW_SHOW);
        InvalidateRect(hwndAdvert, nullptr, TRUE);
        UpdateWindow(hwndAdvert);
        ++nAdvertIndex;
    } else {
        fAdvertShowGuard = TRUE;
    }
}

// ---- Messages
// ----------------------------------------------------------------------------------------------

LRESULT OnCreate() {
    infor.font = CreateFontA(-11, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, szDialogFont);
    infor.barLength = static_cast<SHORT>(2 * (179 - GetSystemMetrics(SM_CXFRAME)));
    LoadStringA(hInst, IDS_TO_FILE, infor.toFile, sizeof infor.toFile);
    return 0;
}

LRESULT OnDestroy() {
    if (infor.font) DeleteObject(infor.font);
    infor.font = nullptr;
    return 0;
}

void OnPaint(HWND hwnd) {
    ShowOwnedPopups(hwnd, TRUE);
    int percent = ProgressPercent();
    PaintProgress(hwnd, percent);
    StepAdvertisement(percent);
}

ATOM RegisterChildClass(const char* name, WNDPROC proc) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = proc;
    wc.hInstance = hInst;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
    wc.lpszClassName = name;
    return RegisterClassA(&wc);
}

} // namespace

// Wide intermediate values: 100 or the bar length times a large amount done would overflow 32 bits.
// A value past the end or below zero (progress moved backwards) shows as complete, as a 16-bit unsigned
// comparison would have it, but without wrapping back into range.
int ProgressPercent() {
    long long percent =
        static_cast<long long>(nProgressDone) * 100 / (static_cast<long long>(nProgressTotal) + 1);
    return percent < 0 || percent >= 100 ? 100 : static_cast<int>(percent);
}

int ProgressBarWidth(int length) {
    long long width =
        static_cast<long long>(length) * nProgressDone / (static_cast<long long>(nProgressTotal) + 1);
    return width < 0 || width > length ? length : static_cast<int>(width);
}

void ResetAdvertisements() {
    nAdvertIndex = 0;
    fAdvertShowGuard = TRUE;
    nAdvertShown = 0;
}

BOOL RegisterChildClasses() {
    RegisterChildClass(kInforClass, InforWndProc);
    return RegisterChildClass(kAdvertClass, AdvertWndProc) != 0;
}

LRESULT CALLBACK InforWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_CREATE:
        return OnCreate();
    case WM_DESTROY:
        return OnDestroy();
    case WM_PAINT:
        OnPaint(hwnd);
        break;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

void ShowProgressTexts(LPCSTR file, LPCSTR text) {
    CopyText(szProgressFile, file);
    CopyText(szProgressText, text);
    if (!IsWindowVisible(hwndInfor)) ShowWindow(hwndInfor, SW_SHOW);
    InvalidateRect(hwndInfor, nullptr, TRUE);
    UpdateWindow(hwndInfor);
    ShowOwnedPopups(hwndAdvert, TRUE);
}
