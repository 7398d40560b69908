// The advertising window: one of the five pictures with its text beside it, a line per "!"-separated field.
#include "setup/core/pictures.h"
#include "setup/core/progress.h"
#include "setup/core/saved_drawing.h"
#include "setup/core/setup.h"
#include "setup/core/state.h"
#include "setup/inf/inf.h"
#include "setup/resources/ids.h"

namespace {

const COLORREF kGrey = RGB(192, 192, 192);
const int kPictureLeft = 10;
const int kPictureTop = 10;
const int kFirstLineY = 20;
const int kLineStep = 20;
const int kTextCap = 1028;
const char kLineDelimiter = '!';

HFONT advertFont = nullptr;

void DrawAdvertText(HDC dc, int advert, int x) {
    char text[kTextCap];
    if (LoadStringA(hInst, IDS_ADVERT_FIRST + advert, text, sizeof text) <= 0) return;
    char line[kTextCap];
    for (int n = 1; GetListField(text, n, line, sizeof line, kLineDelimiter, FALSE); ++n)
        TextOutA(dc, x, kFirstLineY + (n - 1) * kLineStep, line, lstrlenA(line));
}

void PaintAdvert(HWND hwnd) {
    HBITMAP picture = hbmAdvert[nAdvertShown];
    SIZE size = PictureSize(picture);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    SavedDrawing saved(dc);
    DrawPicture(dc, picture, kPictureLeft, kPictureTop);
    SetBkColor(dc, kGrey);
    SelectObject(dc, advertFont);
    DrawAdvertText(dc, nAdvertShown, size.cx + 20);
    saved.Restore();
    EndPaint(hwnd, &ps);
}

// The information window repaints straight after each advertisement: that nested paint is the one the
// show guard lets pass.
void RepaintInformation() {
    InvalidateRect(hwndInfor, nullptr, TRUE);
    UpdateWindow(hwndInfor);
    RedrawWindow(hwndInfor, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
}

LRESULT OnCreate() {
    int height = IsSmallSystemFont() ? -11 : -13;
    advertFont = CreateFontA(height, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, szDialogFont);
    return 0;
}

LRESULT OnDestroy() {
    if (advertFont) DeleteObject(advertFont);
    advertFont = nullptr;
    return 0;
}

void OnPaint(HWND hwnd) {
    PaintAdvert(hwnd);
    RepaintInformation();
}

} // namespace

LRESULT CALLBACK AdvertWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
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
