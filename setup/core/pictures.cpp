#include "setup/core/pictures.h"

SIZE PictureSize(HBITMAP picture) {
    BITMAP info = {};
    if (!picture || !GetObjectA(picture, sizeof info, &info)) return SIZE{0, 0};
    return SIZE{info.bmWidth, info.bmHeight};
}

void DrawPicture(HDC dc, HBITMAP picture, int x, int y) {
    if (!picture) return;
    SIZE size = PictureSize(picture);
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, picture);
    BitBlt(dc, x, y, size.cx, size.cy, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
}
