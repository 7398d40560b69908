// The advertising window: one of the five pictures with its text beside it, a line per "!"-separated field.
#include "common/bounded.h"
#include "setup/core/progress.h"
#include "setup/core/saved_drawing.h"
#include "setup/core/state.h"
#include "setup/core/sysfont.h"
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

// Copies the line that starts at TEXT into LINE (cut to its capacity) and returns where the next line
// starts, with its leading blanks skipped; nullptr after the last line.
const char* TakeAdvertLine(const char* text, char* line, int cap) {
    const char* end = text;
    while (*end && *end != kLineDelimiter)
        ++end;
    int length = static_cast<int>(end - text);
    lstrcpynA(line, text, length + 1 < cap ? length + 1 : cap);
    if (!*end) return nullptr;
    ++end;
    while (*end == ' ')
        ++end;
    return end;
}

SIZE PictureSize(HBITMAP picture) {
    BITMAP info = {};
    if (!picture || !GetObjectA(picture, sizeof info, &info)) return SIZE{0, 0};
    return SIZE{info.bmWidth, info.bmHeight};
}

void DrawPicture(HDC dc, HBITMAP picture, SIZE size) {
    if (!picture) return;
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, picture);
    BitBlt(dc, kPictureLeft, kPictureTop, size.cx, size.cy, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
}

void DrawAdvertText(HDC dc, int advert, int x) {
    char text[kTextCap];
    if (LoadStringA(hInst, IDS_ADVERT_FIRST + advert, text, sizeof text) <= 0) return;
    char line[kTextCap];
    const char* next = text;
    for (int y = kFirstLineY; next; y += kLineStep) {
        next = TakeAdvertLine(next, line, sizeof line);
        TextOutA(dc, x, y, line, lstrlenA(line));
    }
}

void PaintAdvert(HWND hwnd) {
    HBITMAP picture = hbmAdvert[nAdvertShown];
    SIZE size = PictureSize(picture);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    SavedDrawing saved(dc);
    DrawPicture(dc, picture, size);
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
