// Private to the GDI sources: the object table, device-context state and the drawing primitives they
// share.
#pragma once

#include "platform/sim/gdi/fon.h"
#include "platform/sim/gdi/internal.h"

#include <memory>
#include <span>
#include <string>
#include <vector>

namespace sim::gdi {

enum class Kind { Brush, Pen, Font, Bitmap, Dc, Icon, Cursor };

struct Brush {
    bool hollow = false;
    COLORREF color = 0;
};

struct Pen {
    int style = PS_SOLID;
    int width = 1;
    COLORREF color = 0;
};

struct Bitmap {
    Surface pixels;
    int bits_per_pixel = 32; // 1: monochrome, pixels are only black or white
    int selected = 0;        // memory DCs it is selected into (at most one)
};

struct Icon {
    Surface image;
    std::vector<bool> transparent; // the AND mask: true where the screen shows through
};

struct Dc {
    bool memory = false;
    Surface* surface = nullptr; // a window DC's target; memory DCs draw into their bitmap
    POINT origin{0, 0};
    RECT clip{0, 0, 0, 0};
    HBITMAP bitmap = nullptr;
    HBRUSH brush = nullptr;
    HPEN pen = nullptr;
    HFONT font = nullptr;
    COLORREF bk_color = RGB(255, 255, 255);
    COLORREF text_color = RGB(0, 0, 0);
    int bk_mode = OPAQUE;
    UINT text_align = TA_LEFT | TA_TOP;
    POINT position{0, 0};
};

struct Font;

struct Object {
    Kind kind;
    bool stock = false;
    int stock_index = -1; // GetStockObject's index for stock objects
    Brush brush;
    Pen pen;
    LOGFONTA font{};
    // The font last chosen for LOGFONT, and the session's font generation it was chosen in.
    std::shared_ptr<const Font> chosen;
    unsigned chosen_generation = 0;
    Bitmap bitmap;
    Icon icon;
    Dc dc;
};

// Handles are never reused, so a stale handle is reliably rejected.
void* add(std::unique_ptr<Object> object);
Object* find(const void* handle);
Object* find(const void* handle, Kind kind);
Dc* find_dc(HDC dc);
void erase(const void* handle);

HGDIOBJ stock(int index);
HBITMAP default_bitmap();

// Where a DC's pixels go: a surface, the logical-to-surface offset and the clip in surface coordinates.
struct Target {
    Surface* surface = nullptr;
    int dx = 0;
    int dy = 0;
    RECT clip{0, 0, 0, 0};
    bool mono = false;
    bool valid() const { return surface != nullptr; }
};
Target target_of(const Dc& dc);

// Pixels in the target's colour space: monochrome targets keep only black or white.
std::uint32_t device_pixel(const Target& t, COLORREF color);
// Fills the logical rectangle (right and bottom exclusive), clipped.
void fill(const Target& t, RECT r, std::uint32_t pixel);
void plot(const Target& t, int x, int y, std::uint32_t pixel);
RECT intersect(const RECT& a, const RECT& b);
bool empty(const RECT& r);

// The brush and pen of a DC, resolved; null when the selected one is hollow or missing.
const Brush* brush_of(HBRUSH brush);
COLORREF sys_color(int index);

// Text. A font as drawn: a raster font of the session (font_select.cpp) or, when the machine has none,
// the built-in font (font.cpp).
struct Font {
    FontMetrics metrics;
    TEXTMETRICA tm{};
    std::shared_ptr<const FntFont> face; // null: the built-in font
    int scale = 1;                       // the face enlarged by whole pixels
    bool bold = false; // drawn twice, one column apart (built-in bold; a face without a bold version)
    bool underline = false;
    bool strike_out = false;
    unsigned codepage = 1252; // the built-in font's characters
};
// The font a font object draws with (null or a handle of another kind: the system font).
Font font_of(HFONT font);
Font builtin_font(const LOGFONTA& lf);
int char_width(const Font& font, unsigned char c);
// Draws one character cell with its top-left corner at logical (x, y): the glyph in the colour PIXEL.
void draw_char(const Target& t, const Font& font, int x, int y, unsigned char c, std::uint32_t pixel);
void draw_builtin_char(const Target& t, const Font& font, int x, int y, unsigned char c, std::uint32_t pixel);
// Glyph bits of the built-in design grid (5 columns, 11 rows: rows 0-1 accents of capitals, 2-8 capital
// height, 9-10 descenders) for a Unicode character; false when the font has none.
bool glyph_rows(char16_t c, unsigned char rows[11]);

// Device-independent bitmaps (a BITMAPINFOHEADER or BITMAPCOREHEADER, colour table and bits; 1, 4, 8, 16,
// 24 and 32 bits a pixel, BI_RGB, BI_BITFIELDS, BI_RLE4 and BI_RLE8). HEIGHT_DIVISOR is 2 for icon
// images, whose header counts the AND mask too; BITS_END receives where the colour bits end. False for
// truncated or malformed data.
bool decode_dib(std::span<const unsigned char> dib, Surface& out, int height_divisor, std::string* error,
                std::size_t* bits_end);
HBITMAP bitmap_from_dib(std::span<const unsigned char> dib);
// An icon from an RT_ICON image (colour DIB and AND mask).
std::unique_ptr<Object> icon_from_resource(std::span<const unsigned char> data, std::string* error);

// The 32 x 32 stock icons, drawn in code.
std::unique_ptr<Object> make_stock_icon(int id);

} // namespace sim::gdi
