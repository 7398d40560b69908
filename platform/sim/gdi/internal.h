// The simulator's GDI as the rest of the simulator sees it: framebuffers (surfaces), device contexts that
// draw into a surface, PNG screenshots, and the text measurements the window manager needs for dialog
// units and control layout.
#pragma once

#include "platform/sim/win/windows.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

// A framebuffer: WIDTH x HEIGHT pixels, row-major from the top, each 0x00RRGGBB.
struct Surface {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
    // The texts drawn on it since it was last erased whole, oldest first: what a person reads on a window
    // that paints its own text (the user agent is shown them).
    std::vector<std::string> texts;
    void note_text(const std::string& text) {
        if (texts.size() >= 64) texts.erase(texts.begin());
        texts.push_back(text);
    }

    Surface() = default;
    Surface(int w, int h, std::uint32_t fill = 0);
    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
    void set(int x, int y, std::uint32_t p) { pixels[static_cast<std::size_t>(y) * width + x] = p; }
};

// 0x00RRGGBB of a COLORREF (the palette-relative and palette-index flags in the high byte are ignored),
// and back.
std::uint32_t pixel_of(COLORREF color);
COLORREF colorref_of(std::uint32_t pixel);

// A device context drawing into SURFACE (owned by the caller, which must outlive the DC). Logical (0, 0)
// of the DC is ORIGIN in surface coordinates; nothing is drawn outside CLIP (surface coordinates, right and
// bottom exclusive), nor outside the surface. Window DCs: the window manager gives each top-level window a
// surface and makes child windows' DCs with their client offset and visible rectangle.
HDC create_surface_dc(Surface* surface, POINT origin, RECT clip);
// Moves or re-clips a surface DC (for example when a window was moved or resized).
bool set_surface_dc_geometry(HDC dc, POINT origin, RECT clip);
// Releases a DC made by create_surface_dc; the objects selected into it stay alive (as with ReleaseDC).
bool release_surface_dc(HDC dc);
// Resets a surface DC's attributes (selected objects, colours, modes) to the defaults, as ReleaseDC/GetDC
// does for a common DC.
bool reset_dc_state(HDC dc);
// The surface a DC draws into (a surface DC's surface or the bitmap selected into a memory DC), or null.
Surface* dc_surface(HDC dc);
// The pixels of a bitmap object, or null when the handle is not a bitmap.
Surface* bitmap_surface(HBITMAP bitmap);

// PNG files (libpng): the whole surface, 8-bit RGB.
bool save_png(const Surface& surface, const std::string& path, std::string* error);
bool load_png(const std::string& path, Surface& out, std::string* error);

// Text measurement with the font a font object selects (docs/drawing.md gives the rules). FONT null
// means the stock system font; a handle that is not a font also measures as the system font.
struct FontMetrics {
    int height = 0;           // cell height, tmHeight
    int ascent = 0;           // tmAscent
    int descent = 0;          // tmDescent
    int internal_leading = 0; // tmInternalLeading
    int avg_char_width = 0;   // tmAveCharWidth
    int weight = 400;
};
FontMetrics font_metrics(HFONT font);
// Dialog base units of a font, as GetDialogBaseUnits and MapDialogRect use them: cx is the average
// width of the letters A-Z and a-z, cy the cell height. For the system font this gives 8 x 16.
SIZE dialog_base_units(HFONT font);
// Width of a single line of text in FONT (no tab expansion, no prefix processing).
int text_width(HFONT font, std::string_view text);
// Forgets the fonts the process found on its machine (a process attaching to a machine looks again).
void forget_session_fonts();

// The stock objects (the same handles GetStockObject returns).
HFONT system_font();
HFONT default_gui_font();
HBRUSH sys_color_brush(int index);

// Drops every non-stock GDI object and DC; for tests that start from a fresh machine.
void reset_gdi();

} // namespace sim
