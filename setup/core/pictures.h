// Pictures of the program's resources drawn at their natural size.
#pragma once

#include "platform/win32.h"

// Width and height of PICTURE; 0 × 0 when there is none.
SIZE PictureSize(HBITMAP picture);
// Copies PICTURE onto DC with its top-left corner at X, Y; nothing when there is none.
void DrawPicture(HDC dc, HBITMAP picture, int x, int y);
