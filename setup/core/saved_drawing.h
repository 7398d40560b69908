// A paint that changes a device context's objects and colours puts them back before it ends.
#pragma once

#include "platform/win32.h"

// The objects and colours a paint changes, put back before the paint ends.
class SavedDrawing {
  public:
    explicit SavedDrawing(HDC dc)
        : dc_(dc), font_(GetCurrentObject(dc, OBJ_FONT)), pen_(GetCurrentObject(dc, OBJ_PEN)),
          brush_(GetCurrentObject(dc, OBJ_BRUSH)), text_(GetTextColor(dc)), back_(GetBkColor(dc)),
          mode_(GetBkMode(dc)) {}
    void Restore() {
        SelectObject(dc_, font_);
        SelectObject(dc_, pen_);
        SelectObject(dc_, brush_);
        SetTextColor(dc_, text_);
        SetBkColor(dc_, back_);
        SetBkMode(dc_, mode_);
    }

  private:
    HDC dc_;
    HGDIOBJ font_, pen_, brush_;
    COLORREF text_, back_;
    int mode_;
};
