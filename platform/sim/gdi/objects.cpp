// GDI objects and device contexts: the handle table, stock objects, creation, selection and deletion,
// object queries, device capabilities and DC attributes.
#include "platform/sim/gdi/impl.h"
#include "platform/sim/machine/machine.h"

#include <algorithm>
#include <cstring>
#include <map>

namespace sim::gdi {
namespace {

struct Table {
    std::map<std::uintptr_t, std::unique_ptr<Object>> objects;
    std::uintptr_t next = 0x10000;
};
Table& table() {
    static Table t;
    return t;
}

std::uintptr_t key(const void* handle) {
    return reinterpret_cast<std::uintptr_t>(handle);
}

// The screen of a machine; a process without a machine (unit tests of pure drawing) gets 640 x 480.
SIZE screen_size() {
    if (!is_attached()) return {640, 480};
    return {machine().settings.screen_width, machine().settings.screen_height};
}

std::unique_ptr<Object> new_object(Kind kind) {
    auto o = std::make_unique<Object>();
    o->kind = kind;
    return o;
}

std::unique_ptr<Object> solid_brush(COLORREF color, bool hollow = false) {
    auto o = new_object(Kind::Brush);
    o->brush.color = color;
    o->brush.hollow = hollow;
    return o;
}

std::unique_ptr<Object> pen_object(int style, int width, COLORREF color) {
    auto o = new_object(Kind::Pen);
    o->pen.style = style;
    o->pen.width = width;
    o->pen.color = color;
    return o;
}

void copy_face(LOGFONTA& lf, const char* face) {
    std::size_t n = 0;
    if (face)
        for (; n + 1 < LF_FACESIZE && face[n]; ++n)
            lf.lfFaceName[n] = face[n];
    lf.lfFaceName[n] = 0;
}

std::unique_ptr<Object> font_object(LONG height, LONG weight, BYTE charset, BYTE pitch, const char* face) {
    auto o = new_object(Kind::Font);
    o->font.lfHeight = height;
    o->font.lfWeight = weight;
    o->font.lfCharSet = charset;
    o->font.lfPitchAndFamily = pitch;
    copy_face(o->font, face);
    return o;
}

std::unique_ptr<Object> bitmap_object(int width, int height, int bits) {
    auto o = new_object(Kind::Bitmap);
    o->bitmap.pixels = Surface(width, height);
    o->bitmap.bits_per_pixel = bits;
    return o;
}

std::unique_ptr<Object> make_stock(int index) {
    switch (index) {
    case WHITE_BRUSH:
        return solid_brush(RGB(255, 255, 255));
    case LTGRAY_BRUSH:
        return solid_brush(RGB(192, 192, 192));
    case GRAY_BRUSH:
        return solid_brush(RGB(128, 128, 128));
    case DKGRAY_BRUSH:
        return solid_brush(RGB(64, 64, 64));
    case BLACK_BRUSH:
        return solid_brush(RGB(0, 0, 0));
    case NULL_BRUSH:
        return solid_brush(0, true);
    case WHITE_PEN:
        return pen_object(PS_SOLID, 1, RGB(255, 255, 255));
    case BLACK_PEN:
        return pen_object(PS_SOLID, 1, RGB(0, 0, 0));
    case NULL_PEN:
        return pen_object(PS_NULL, 1, 0);
    case OEM_FIXED_FONT:
        return font_object(12, FW_NORMAL, OEM_CHARSET, FIXED_PITCH | FF_MODERN, "Terminal");
    case ANSI_FIXED_FONT:
        return font_object(13, FW_NORMAL, ANSI_CHARSET, FIXED_PITCH | FF_MODERN, "Courier");
    case ANSI_VAR_FONT:
        return font_object(13, FW_NORMAL, ANSI_CHARSET, VARIABLE_PITCH | FF_SWISS, "MS Sans Serif");
    case SYSTEM_FONT:
    case DEVICE_DEFAULT_FONT:
        return font_object(16, FW_BOLD, ANSI_CHARSET, VARIABLE_PITCH | FF_SWISS, "System");
    case SYSTEM_FIXED_FONT:
        return font_object(15, FW_NORMAL, ANSI_CHARSET, FIXED_PITCH | FF_MODERN, "Fixedsys");
    case DEFAULT_GUI_FONT:
        return font_object(-11, FW_NORMAL, ANSI_CHARSET, VARIABLE_PITCH | FF_SWISS, "MS Sans Serif");
    default:
        return nullptr;
    }
}

HGDIOBJ add_stock(std::unique_ptr<Object> o) {
    o->stock = true;
    return add(std::move(o));
}

// Objects a DC refers to may not go away while it does.
bool is_selected(const void* handle) {
    for (auto& [k, o] : table().objects) {
        if (o->kind != Kind::Dc) continue;
        const Dc& dc = o->dc;
        if (dc.bitmap == handle || dc.brush == handle || dc.pen == handle || dc.font == handle) return true;
    }
    return false;
}

std::unique_ptr<Object> new_dc(bool memory) {
    auto o = new_object(Kind::Dc);
    o->dc.memory = memory;
    o->dc.brush = static_cast<HBRUSH>(stock(WHITE_BRUSH));
    o->dc.pen = static_cast<HPEN>(stock(BLACK_PEN));
    o->dc.font = static_cast<HFONT>(stock(SYSTEM_FONT));
    if (memory) {
        o->dc.bitmap = default_bitmap();
        find(o->dc.bitmap)->bitmap.selected++;
    }
    return o;
}

HGDIOBJ select_bitmap(Dc& dc, HBITMAP bitmap, Object& object) {
    if (!dc.memory) return nullptr;
    if (object.bitmap.selected > 0 && dc.bitmap != bitmap && !object.stock)
        return nullptr; // a bitmap can be selected into one memory DC at a time
    HBITMAP previous = dc.bitmap;
    if (Object* old = find(previous, Kind::Bitmap)) old->bitmap.selected--;
    object.bitmap.selected++;
    dc.bitmap = bitmap;
    return previous;
}

template <typename H>
HGDIOBJ swap_selected(H& slot, HGDIOBJ object) {
    HGDIOBJ previous = slot;
    slot = static_cast<H>(object);
    return previous;
}

void release_dc_objects(Dc& dc) {
    if (Object* b = find(dc.bitmap, Kind::Bitmap)) b->bitmap.selected--;
    dc.bitmap = nullptr;
}

} // namespace

void* add(std::unique_ptr<Object> object) {
    Table& t = table();
    auto handle = t.next;
    t.next += 4;
    t.objects[handle] = std::move(object);
    return reinterpret_cast<void*>(handle);
}

Object* find(const void* handle) {
    auto& objects = table().objects;
    auto it = objects.find(key(handle));
    return it == objects.end() ? nullptr : it->second.get();
}

Object* find(const void* handle, Kind kind) {
    Object* o = find(handle);
    return o && o->kind == kind ? o : nullptr;
}

Dc* find_dc(HDC dc) {
    Object* o = find(dc, Kind::Dc);
    return o ? &o->dc : nullptr;
}

void erase(const void* handle) {
    table().objects.erase(key(handle));
}

HGDIOBJ stock(int index) {
    static std::map<int, HGDIOBJ> handles;
    auto it = handles.find(index);
    if (it != handles.end()) return it->second;
    std::unique_ptr<Object> o = make_stock(index);
    if (!o) return nullptr;
    o->stock_index = index;
    HGDIOBJ h = add_stock(std::move(o));
    handles[index] = h;
    return h;
}

HBITMAP default_bitmap() {
    static HBITMAP h = static_cast<HBITMAP>(add_stock(bitmap_object(1, 1, 1)));
    return h;
}

COLORREF sys_color(int index) {
    static const COLORREF scheme[] = {
        RGB(192, 192, 192), // COLOR_SCROLLBAR
        RGB(0, 128, 128),   // COLOR_BACKGROUND
        RGB(0, 0, 128),     // COLOR_ACTIVECAPTION
        RGB(128, 128, 128), // COLOR_INACTIVECAPTION
        RGB(192, 192, 192), // COLOR_MENU
        RGB(255, 255, 255), // COLOR_WINDOW
        RGB(0, 0, 0),       // COLOR_WINDOWFRAME
        RGB(0, 0, 0),       // COLOR_MENUTEXT
        RGB(0, 0, 0),       // COLOR_WINDOWTEXT
        RGB(255, 255, 255), // COLOR_CAPTIONTEXT
        RGB(192, 192, 192), // COLOR_ACTIVEBORDER
        RGB(192, 192, 192), // COLOR_INACTIVEBORDER
        RGB(128, 128, 128), // COLOR_APPWORKSPACE
        RGB(0, 0, 128),     // COLOR_HIGHLIGHT
        RGB(255, 255, 255), // COLOR_HIGHLIGHTTEXT
        RGB(192, 192, 192), // COLOR_BTNFACE
        RGB(128, 128, 128), // COLOR_BTNSHADOW
        RGB(128, 128, 128), // COLOR_GRAYTEXT
        RGB(0, 0, 0),       // COLOR_BTNTEXT
        RGB(192, 192, 192), // COLOR_INACTIVECAPTIONTEXT
        RGB(255, 255, 255), // COLOR_BTNHIGHLIGHT
        RGB(0, 0, 0),       // COLOR_3DDKSHADOW
        RGB(192, 192, 192), // COLOR_3DLIGHT
        RGB(0, 0, 0),       // COLOR_INFOTEXT
        RGB(255, 255, 225), // COLOR_INFOBK
    };
    if (index < 0 || index >= static_cast<int>(std::size(scheme))) return 0;
    return scheme[index];
}

const Brush* brush_of(HBRUSH brush) {
    // Like FillRect, every brush parameter also takes a system colour index + 1.
    auto value = reinterpret_cast<std::uintptr_t>(brush);
    if (value >= 1 && value <= COLOR_INFOBK + 1) brush = sys_color_brush(static_cast<int>(value - 1));
    Object* o = find(brush, Kind::Brush);
    if (!o || o->brush.hollow) return nullptr;
    return &o->brush;
}

Target target_of(const Dc& dc) {
    Target t;
    if (dc.memory) {
        Object* b = find(dc.bitmap, Kind::Bitmap);
        if (!b) return t;
        t.surface = &b->bitmap.pixels;
        t.clip = {0, 0, t.surface->width, t.surface->height};
        t.mono = b->bitmap.bits_per_pixel == 1;
        return t;
    }
    if (!dc.surface) return t;
    t.surface = dc.surface;
    t.dx = dc.origin.x;
    t.dy = dc.origin.y;
    t.clip = intersect(dc.clip, {0, 0, dc.surface->width, dc.surface->height});
    return t;
}

} // namespace sim::gdi

using namespace sim::gdi;

namespace sim {

HDC create_surface_dc(Surface* surface, POINT origin, RECT clip) {
    if (!surface) return nullptr;
    auto o = new_dc(false);
    o->dc.surface = surface;
    o->dc.origin = origin;
    o->dc.clip = clip;
    return static_cast<HDC>(add(std::move(o)));
}

bool set_surface_dc_geometry(HDC dc, POINT origin, RECT clip) {
    Dc* d = find_dc(dc);
    if (!d || d->memory) return false;
    d->origin = origin;
    d->clip = clip;
    return true;
}

bool release_surface_dc(HDC dc) {
    Dc* d = find_dc(dc);
    if (!d || d->memory) return false;
    erase(dc);
    return true;
}

bool reset_dc_state(HDC dc) {
    Dc* d = find_dc(dc);
    if (!d) return false;
    Dc fresh = new_dc(false)->dc;
    d->brush = fresh.brush;
    d->pen = fresh.pen;
    d->font = fresh.font;
    d->bk_color = fresh.bk_color;
    d->text_color = fresh.text_color;
    d->bk_mode = fresh.bk_mode;
    d->text_align = fresh.text_align;
    d->position = fresh.position;
    return true;
}

Surface* dc_surface(HDC dc) {
    Dc* d = find_dc(dc);
    return d ? target_of(*d).surface : nullptr;
}

Surface* bitmap_surface(HBITMAP bitmap) {
    Object* o = find(bitmap, Kind::Bitmap);
    return o ? &o->bitmap.pixels : nullptr;
}

HFONT system_font() {
    return static_cast<HFONT>(stock(SYSTEM_FONT));
}
HFONT default_gui_font() {
    return static_cast<HFONT>(stock(DEFAULT_GUI_FONT));
}

HBRUSH sys_color_brush(int index) {
    static std::map<int, HBRUSH> brushes;
    if (index < 0 || index > COLOR_INFOBK) return nullptr;
    auto it = brushes.find(index);
    if (it != brushes.end()) return it->second;
    HBRUSH h = static_cast<HBRUSH>(add_stock(solid_brush(sys_color(index))));
    brushes[index] = h;
    return h;
}

void reset_gdi() {
    auto& objects = table().objects;
    std::erase_if(objects, [](const auto& entry) { return !entry.second->stock; });
    for (auto& [k, o] : objects)
        if (o->kind == Kind::Bitmap) o->bitmap.selected = 0;
}

} // namespace sim

HGDIOBJ WINAPI GetStockObject(int object) {
    return stock(object);
}

HBRUSH WINAPI CreateSolidBrush(COLORREF color) {
    return static_cast<HBRUSH>(add(solid_brush(color & 0x03FFFFFF)));
}

HBRUSH WINAPI CreateBrushIndirect(const LOGBRUSH* brush) {
    if (!brush) return nullptr;
    if (brush->lbStyle == BS_NULL) return static_cast<HBRUSH>(stock(NULL_BRUSH));
    // Hatched and pattern brushes are drawn as solid ones in their colour.
    return CreateSolidBrush(brush->lbColor);
}

HPEN WINAPI CreatePen(int style, int width, COLORREF color) {
    if (style < PS_SOLID || style > PS_INSIDEFRAME) return nullptr;
    if (style == PS_NULL) return static_cast<HPEN>(stock(NULL_PEN));
    return static_cast<HPEN>(add(pen_object(style, width < 1 ? 1 : width, color & 0x03FFFFFF)));
}

HFONT WINAPI CreateFontIndirectA(const LOGFONTA* font) {
    if (!font) return nullptr;
    auto o = std::make_unique<Object>();
    o->kind = Kind::Font;
    o->font = *font;
    o->font.lfFaceName[LF_FACESIZE - 1] = 0;
    return static_cast<HFONT>(add(std::move(o)));
}

HFONT WINAPI CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                         DWORD underline, DWORD strike_out, DWORD charset, DWORD out_precision,
                         DWORD clip_precision, DWORD quality, DWORD pitch_and_family, LPCSTR face) {
    LOGFONTA lf{};
    lf.lfHeight = height;
    lf.lfWidth = width;
    lf.lfEscapement = escapement;
    lf.lfOrientation = orientation;
    lf.lfWeight = weight;
    lf.lfItalic = static_cast<BYTE>(italic);
    lf.lfUnderline = static_cast<BYTE>(underline);
    lf.lfStrikeOut = static_cast<BYTE>(strike_out);
    lf.lfCharSet = static_cast<BYTE>(charset);
    lf.lfOutPrecision = static_cast<BYTE>(out_precision);
    lf.lfClipPrecision = static_cast<BYTE>(clip_precision);
    lf.lfQuality = static_cast<BYTE>(quality);
    lf.lfPitchAndFamily = static_cast<BYTE>(pitch_and_family);
    copy_face(lf, face);
    return CreateFontIndirectA(&lf);
}

// Bitmaps larger than this are refused rather than allocated (a bad size must not exhaust memory).
static constexpr long long kMaxBitmapPixels = 64LL * 1024 * 1024;

static bool bitmap_size_ok(int width, int height) {
    return width > 0 && height > 0 && static_cast<long long>(width) * height <= kMaxBitmapPixels;
}

HBITMAP WINAPI CreateCompatibleBitmap(HDC dc, int width, int height) {
    Dc* d = find_dc(dc);
    if (!d) return nullptr;
    if (width == 0 || height == 0) return default_bitmap();
    if (!bitmap_size_ok(width, height)) return nullptr;
    // A memory DC is compatible with the bitmap selected into it: monochrome for a fresh one.
    int bits = 32;
    if (d->memory)
        if (Object* b = find(d->bitmap, Kind::Bitmap)) bits = b->bitmap.bits_per_pixel;
    return static_cast<HBITMAP>(add(bitmap_object(width, height, bits)));
}

static void load_bits(Bitmap& b, const BYTE* bits) {
    int w = b.pixels.width;
    int stride = ((w * b.bits_per_pixel + 15) / 16) * 2;
    for (int y = 0; y < b.pixels.height; ++y) {
        const BYTE* row = bits + static_cast<std::size_t>(y) * stride;
        for (int x = 0; x < w; ++x) {
            std::uint32_t p = 0;
            switch (b.bits_per_pixel) {
            case 1:
                p = (row[x / 8] & (0x80 >> (x % 8))) ? 0xFFFFFF : 0;
                break;
            case 24:
                p = (std::uint32_t{row[x * 3 + 2]} << 16) | (row[x * 3 + 1] << 8) | row[x * 3];
                break;
            case 32:
                p = (std::uint32_t{row[x * 4 + 2]} << 16) | (row[x * 4 + 1] << 8) | row[x * 4];
                break;
            default:
                break;
            }
            b.pixels.set(x, y, p);
        }
    }
}

HBITMAP WINAPI CreateBitmap(int width, int height, UINT planes, UINT bits_per_pixel, const void* bits) {
    if (width == 0 || height == 0) return default_bitmap();
    if (!bitmap_size_ok(width, height) || planes != 1) return nullptr;
    int depth = static_cast<int>(bits_per_pixel);
    if (depth != 1 && depth != 4 && depth != 8 && depth != 16 && depth != 24 && depth != 32) return nullptr;
    auto o = bitmap_object(width, height, depth);
    if (bits) load_bits(o->bitmap, static_cast<const BYTE*>(bits));
    return static_cast<HBITMAP>(add(std::move(o)));
}

HDC WINAPI CreateCompatibleDC(HDC dc) {
    if (dc && !find_dc(dc)) return nullptr;
    return static_cast<HDC>(add(new_dc(true)));
}

BOOL WINAPI DeleteDC(HDC dc) {
    Dc* d = find_dc(dc);
    // Window DCs belong to the window manager and go back with ReleaseDC.
    if (!d || !d->memory) return FALSE;
    release_dc_objects(*d);
    erase(dc);
    return TRUE;
}

HGDIOBJ WINAPI SelectObject(HDC dc, HGDIOBJ object) {
    Dc* d = find_dc(dc);
    Object* o = find(object);
    if (!d || !o) return nullptr;
    switch (o->kind) {
    case Kind::Brush:
        return swap_selected(d->brush, object);
    case Kind::Pen:
        return swap_selected(d->pen, object);
    case Kind::Font:
        return swap_selected(d->font, object);
    case Kind::Bitmap:
        return select_bitmap(*d, static_cast<HBITMAP>(object), *o);
    default:
        return nullptr;
    }
}

HGDIOBJ WINAPI GetCurrentObject(HDC dc, UINT type) {
    Dc* d = find_dc(dc);
    if (!d) return nullptr;
    switch (type) {
    case OBJ_BRUSH:
        return d->brush;
    case OBJ_PEN:
        return d->pen;
    case OBJ_FONT:
        return d->font;
    case OBJ_BITMAP:
        return d->bitmap;
    default:
        return nullptr;
    }
}

BOOL WINAPI DeleteObject(HGDIOBJ object) {
    Object* o = find(object);
    if (!o || o->kind == Kind::Dc || o->kind == Kind::Icon || o->kind == Kind::Cursor) return FALSE;
    if (o->stock) return TRUE;
    // Windows 95 refuses to delete an object that a DC still uses; the DC keeps drawing with it.
    if (is_selected(object)) return FALSE;
    erase(object);
    return TRUE;
}

template <typename T>
static int copy_out(const T& value, int size, LPVOID out) {
    if (!out) return static_cast<int>(sizeof(T));
    if (size <= 0) return 0;
    int n = std::min(size, static_cast<int>(sizeof(T)));
    std::memcpy(out, &value, static_cast<std::size_t>(n));
    return n;
}

static BITMAP bitmap_info(const Bitmap& b) {
    BITMAP bm{};
    bm.bmWidth = b.pixels.width;
    bm.bmHeight = b.pixels.height;
    bm.bmWidthBytes = ((b.pixels.width * b.bits_per_pixel + 15) / 16) * 2;
    bm.bmPlanes = 1;
    bm.bmBitsPixel = static_cast<WORD>(b.bits_per_pixel);
    return bm;
}

int WINAPI GetObjectA(HANDLE object, int size, LPVOID out) {
    Object* o = find(object);
    if (!o) return 0;
    switch (o->kind) {
    case Kind::Bitmap:
        return copy_out(bitmap_info(o->bitmap), size, out);
    case Kind::Font:
        return copy_out(o->font, size, out);
    case Kind::Pen: {
        LOGPEN lp{static_cast<UINT>(o->pen.style), {o->pen.width, 0}, o->pen.color};
        return copy_out(lp, size, out);
    }
    case Kind::Brush: {
        LOGBRUSH lb{static_cast<UINT>(o->brush.hollow ? BS_NULL : BS_SOLID), o->brush.color, 0};
        return copy_out(lb, size, out);
    }
    default:
        return 0;
    }
}

DWORD WINAPI GetObjectType(HGDIOBJ object) {
    Object* o = find(object);
    if (!o) return 0;
    switch (o->kind) {
    case Kind::Brush:
        return OBJ_BRUSH;
    case Kind::Pen:
        return OBJ_PEN;
    case Kind::Font:
        return OBJ_FONT;
    case Kind::Bitmap:
        return OBJ_BITMAP;
    case Kind::Dc:
        return o->dc.memory ? OBJ_MEMDC : OBJ_DC;
    default:
        return 0;
    }
}

int WINAPI GetDeviceCaps(HDC dc, int index) {
    if (!find_dc(dc)) return 0;
    SIZE screen = screen_size();
    switch (index) {
    case DRIVERVERSION:
        return 0x400;
    case TECHNOLOGY:
        return DT_RASDISPLAY;
    case HORZRES:
        return screen.cx;
    case VERTRES:
        return screen.cy;
    case HORZSIZE:
        return screen.cx * 254 / 960; // millimetres at 96 pixels per inch
    case VERTSIZE:
        return screen.cy * 254 / 960;
    case BITSPIXEL:
        return 32;
    case PLANES:
        return 1;
    case NUMCOLORS:
        return -1; // more than 256 colours: no fixed palette
    case NUMBRUSHES:
    case NUMPENS:
        return -1;
    case LOGPIXELSX:
    case LOGPIXELSY:
        return 96;
    case SIZEPALETTE:
        return 0;
    default:
        return 0;
    }
}

static COLORREF swap_color(HDC dc, COLORREF Dc::*field, COLORREF color) {
    Dc* d = find_dc(dc);
    if (!d) return CLR_INVALID;
    COLORREF previous = d->*field;
    d->*field = color;
    return previous;
}

COLORREF WINAPI SetBkColor(HDC dc, COLORREF color) {
    return swap_color(dc, &Dc::bk_color, color);
}
COLORREF WINAPI SetTextColor(HDC dc, COLORREF color) {
    return swap_color(dc, &Dc::text_color, color);
}

COLORREF WINAPI GetBkColor(HDC dc) {
    Dc* d = find_dc(dc);
    return d ? d->bk_color : CLR_INVALID;
}

COLORREF WINAPI GetTextColor(HDC dc) {
    Dc* d = find_dc(dc);
    return d ? d->text_color : CLR_INVALID;
}

int WINAPI SetBkMode(HDC dc, int mode) {
    Dc* d = find_dc(dc);
    if (!d || (mode != TRANSPARENT && mode != OPAQUE)) return 0;
    int previous = d->bk_mode;
    d->bk_mode = mode;
    return previous;
}

int WINAPI GetBkMode(HDC dc) {
    Dc* d = find_dc(dc);
    return d ? d->bk_mode : 0;
}

UINT WINAPI SetTextAlign(HDC dc, UINT align) {
    Dc* d = find_dc(dc);
    if (!d) return GDI_ERROR;
    UINT previous = d->text_align;
    d->text_align = align;
    return previous;
}

UINT WINAPI GetTextAlign(HDC dc) {
    Dc* d = find_dc(dc);
    return d ? d->text_align : GDI_ERROR;
}

DWORD WINAPI GetSysColor(int index) {
    return sys_color(index);
}

HBRUSH WINAPI GetSysColorBrush(int index) {
    return sim::sys_color_brush(index);
}
