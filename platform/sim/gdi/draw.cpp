// Drawing into a DC's surface: rectangles, lines, pixels and block transfers with ternary raster
// operations.
#include "platform/sim/gdi/impl.h"

#include <algorithm>
#include <cstdlib>

namespace sim::gdi {

RECT intersect(const RECT& a, const RECT& b) {
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom)};
}

bool empty(const RECT& r) {
    return r.left >= r.right || r.top >= r.bottom;
}

std::uint32_t device_pixel(const Target& t, COLORREF color) {
    std::uint32_t p = pixel_of(color);
    if (!t.mono) return p;
    // A monochrome bitmap keeps the nearer of black and white.
    unsigned sum = ((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF);
    return sum >= 384 ? 0xFFFFFF : 0;
}

static RECT to_surface(const Target& t, RECT r) {
    return {r.left + t.dx, r.top + t.dy, r.right + t.dx, r.bottom + t.dy};
}

void fill(const Target& t, RECT r, std::uint32_t pixel) {
    RECT s = intersect(to_surface(t, r), t.clip);
    for (LONG y = s.top; y < s.bottom; ++y)
        std::fill_n(t.surface->pixels.begin() + static_cast<std::ptrdiff_t>(y) * t.surface->width + s.left,
                    s.right - s.left, pixel);
}

static bool inside(const Target& t, int x, int y) {
    return x >= t.clip.left && x < t.clip.right && y >= t.clip.top && y < t.clip.bottom;
}

void plot(const Target& t, int x, int y, std::uint32_t pixel) {
    x += t.dx;
    y += t.dy;
    if (inside(t, x, y)) t.surface->set(x, y, pixel);
}

// The result of a ternary raster operation (the high word's low byte is the truth table over pattern,
// source and destination bits) on whole pixels.
static std::uint32_t rop3(DWORD rop, std::uint32_t p, std::uint32_t s, std::uint32_t d) {
    unsigned code = (rop >> 16) & 0xFF;
    std::uint32_t r = 0;
    for (unsigned i = 0; i < 8; ++i) {
        if (!(code & (1u << i))) continue;
        r |= ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
    }
    return r & 0xFFFFFF;
}

static bool rop_uses_source(DWORD rop) {
    unsigned code = (rop >> 16) & 0xFF;
    return (((code >> 2) ^ code) & 0x33) != 0;
}

static bool rop_uses_pattern(DWORD rop) {
    unsigned code = (rop >> 16) & 0xFF;
    return (((code >> 4) ^ code) & 0x0F) != 0;
}

} // namespace sim::gdi

using namespace sim::gdi;
using sim::pixel_of;
using sim::Surface;

namespace {

struct Drawing {
    Dc* dc = nullptr;
    Target target;
    explicit operator bool() const { return dc && target.valid(); }
};

Drawing drawing(HDC hdc) {
    Drawing d;
    d.dc = find_dc(hdc);
    if (d.dc) d.target = target_of(*d.dc);
    return d;
}

RECT normalized(int left, int top, int right, int bottom) {
    return {std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)};
}

const Pen* pen_of(const Dc& dc) {
    Object* o = find(dc.pen, Kind::Pen);
    if (!o || o->pen.style == PS_NULL) return nullptr;
    return &o->pen;
}

void frame(const Target& t, RECT r, int thickness, std::uint32_t pixel) {
    if (empty(r)) return;
    int tx = std::min<LONG>(thickness, r.right - r.left);
    int ty = std::min<LONG>(thickness, r.bottom - r.top);
    fill(t, {r.left, r.top, r.right, r.top + ty}, pixel);
    fill(t, {r.left, r.bottom - ty, r.right, r.bottom}, pixel);
    fill(t, {r.left, r.top + ty, r.left + tx, r.bottom - ty}, pixel);
    fill(t, {r.right - tx, r.top + ty, r.right, r.bottom - ty}, pixel);
}

void pen_dot(const Target& t, const Pen& pen, int x, int y, std::uint32_t pixel) {
    if (pen.width <= 1) {
        plot(t, x, y, pixel);
        return;
    }
    int half = pen.width / 2;
    fill(t, {x - half, y - half, x - half + pen.width, y - half + pen.width}, pixel);
}

// Bresenham from (x0, y0) towards (x1, y1); the end point itself is not drawn, as with LineTo.
void line(const Target& t, const Pen& pen, int x0, int y0, int x1, int y1) {
    std::uint32_t pixel = device_pixel(t, pen.color);
    int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
    int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    while (x0 != x1 || y0 != y1) {
        pen_dot(t, pen, x0, y0, pixel);
        int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
}

// Source pixels as the destination sees them: a monochrome source becomes the destination's text colour
// (black) and background colour (white); a colour source going into a monochrome destination is white
// where it matches the source's background colour.
std::uint32_t convert_source(std::uint32_t s, const Drawing& src, const Drawing& dest) {
    if (src.target.mono && !dest.target.mono) return pixel_of(s ? dest.dc->bk_color : dest.dc->text_color);
    if (!src.target.mono && dest.target.mono) return s == pixel_of(src.dc->bk_color) ? 0xFFFFFF : 0;
    return s;
}

struct Blit {
    int x, y, width, height;        // destination, logical
    int src_x, src_y, src_w, src_h; // source, logical
};

// Reads the source rectangle before writing, so that overlapping copies within one surface work. Pixels
// outside the source surface are marked absent and leave the destination alone.
struct SourcePixels {
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels;
    std::vector<bool> present;
};

SourcePixels read_source(const Drawing& src, const Blit& b) {
    SourcePixels out;
    out.width = std::abs(b.src_w);
    out.height = std::abs(b.src_h);
    std::size_t n = static_cast<std::size_t>(out.width) * out.height;
    out.pixels.assign(n, 0);
    out.present.assign(n, false);
    const Target& t = src.target;
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x) {
            int sx = b.src_x + x + t.dx, sy = b.src_y + y + t.dy;
            if (!t.surface->contains(sx, sy)) continue;
            std::size_t i = static_cast<std::size_t>(y) * out.width + x;
            out.present[i] = true;
            out.pixels[i] = t.surface->at(sx, sy);
        }
    return out;
}

// Extents beyond any surface the simulator makes are refused rather than read.
constexpr long long kMaxBlitPixels = 64LL * 1024 * 1024;

bool blit(const Drawing& dest, const Drawing* src, const Blit& b, DWORD rop) {
    bool use_source = rop_uses_source(rop);
    if (use_source && (!src || !*src)) return false;
    if (b.width == 0 || b.height == 0 || (use_source && (b.src_w == 0 || b.src_h == 0))) return true;
    if (use_source && static_cast<long long>(std::abs(b.src_w)) * std::abs(b.src_h) > kMaxBlitPixels)
        return false;
    std::uint32_t pattern = 0;
    if (rop_uses_pattern(rop)) {
        const Brush* brush = brush_of(dest.dc->brush);
        if (!brush) return true; // a hollow brush paints nothing
        pattern = device_pixel(dest.target, brush->color);
    }
    SourcePixels source;
    if (use_source) source = read_source(*src, b);
    const Target& t = dest.target;
    int w = std::abs(b.width), h = std::abs(b.height);
    int left = (b.width < 0 ? b.x + b.width : b.x) + t.dx, top = (b.height < 0 ? b.y + b.height : b.y) + t.dy;
    // Only the part inside the clip is visited, however large the request.
    int x_begin = std::max(0, static_cast<int>(t.clip.left) - left);
    int x_end = std::min(w, static_cast<int>(t.clip.right) - left);
    int y_begin = std::max(0, static_cast<int>(t.clip.top) - top);
    int y_end = std::min(h, static_cast<int>(t.clip.bottom) - top);
    for (int y = y_begin; y < y_end; ++y) {
        for (int x = x_begin; x < x_end; ++x) {
            int dx = left + x, dy = top + y;
            std::uint32_t s = 0;
            if (use_source) {
                // Nearest source pixel; a negative extent on either side mirrors.
                int fx = b.width < 0 ? w - 1 - x : x, fy = b.height < 0 ? h - 1 - y : y;
                int sx = static_cast<int>(static_cast<long long>(fx) * source.width / w);
                int sy = static_cast<int>(static_cast<long long>(fy) * source.height / h);
                if (b.src_w < 0) sx = source.width - 1 - sx;
                if (b.src_h < 0) sy = source.height - 1 - sy;
                std::size_t i = static_cast<std::size_t>(sy) * source.width + sx;
                if (!source.present[i]) continue;
                s = convert_source(source.pixels[i], *src, dest);
            }
            std::uint32_t result = rop == SRCCOPY ? s : rop3(rop, pattern, s, t.surface->at(dx, dy));
            if (t.mono) result = result ? 0xFFFFFF : 0;
            t.surface->set(dx, dy, result);
        }
    }
    return true;
}

} // namespace

int WINAPI FillRect(HDC dc, const RECT* rect, HBRUSH brush) {
    Drawing d = drawing(dc);
    if (!d || !rect) return 0;
    const Brush* b = brush_of(brush);
    if (!b) return find(brush, Kind::Brush) ? 1 : 0;
    fill(d.target, *rect, device_pixel(d.target, b->color));
    return 1;
}

int WINAPI FrameRect(HDC dc, const RECT* rect, HBRUSH brush) {
    Drawing d = drawing(dc);
    if (!d || !rect) return 0;
    const Brush* b = brush_of(brush);
    if (!b) return find(brush, Kind::Brush) ? 1 : 0;
    frame(d.target, *rect, 1, device_pixel(d.target, b->color));
    return 1;
}

BOOL WINAPI InvertRect(HDC dc, const RECT* rect) {
    Drawing d = drawing(dc);
    if (!d || !rect) return FALSE;
    return blit(d, nullptr,
                {rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, 0, 0, 0, 0},
                DSTINVERT);
}

BOOL WINAPI DrawFocusRect(HDC dc, const RECT* rect) {
    Drawing d = drawing(dc);
    if (!d || !rect) return FALSE;
    // A dotted frame drawn by inverting every other pixel, so that drawing it twice removes it.
    auto invert = [&](int x, int y) {
        int sx = x + d.target.dx, sy = y + d.target.dy;
        if (((x + y) & 1) == 0 && inside(d.target, sx, sy))
            d.target.surface->set(sx, sy, d.target.surface->at(sx, sy) ^ 0xFFFFFF);
    };
    const RECT& r = *rect;
    for (int x = r.left; x < r.right; ++x) {
        invert(x, r.top);
        if (r.bottom - 1 > r.top) invert(x, r.bottom - 1);
    }
    for (int y = r.top + 1; y < r.bottom - 1; ++y) {
        invert(r.left, y);
        if (r.right - 1 > r.left) invert(r.right - 1, y);
    }
    return TRUE;
}

BOOL WINAPI Rectangle(HDC dc, int left, int top, int right, int bottom) {
    Drawing d = drawing(dc);
    if (!d) return FALSE;
    RECT r = normalized(left, top, right, bottom);
    const Pen* pen = pen_of(*d.dc);
    const Brush* brush = brush_of(d.dc->brush);
    if (!pen) {
        // Without an outline the interior still ends one pixel before the right and bottom edges.
        if (brush)
            fill(d.target, {r.left, r.top, r.right - 1, r.bottom - 1}, device_pixel(d.target, brush->color));
        return TRUE;
    }
    int thickness = std::max(1, pen->width);
    // A wide pen is centred on the outline, except an inside-frame pen, which stays within the rectangle.
    RECT outline = r;
    if (pen->style != PS_INSIDEFRAME && thickness > 1) {
        int before = thickness / 2, after = thickness - 1 - thickness / 2;
        outline = {r.left - before, r.top - before, r.right + after, r.bottom + after};
    }
    if (brush)
        fill(d.target,
             {outline.left + thickness, outline.top + thickness, outline.right - thickness,
              outline.bottom - thickness},
             device_pixel(d.target, brush->color));
    frame(d.target, outline, thickness, device_pixel(d.target, pen->color));
    return TRUE;
}

BOOL WINAPI PatBlt(HDC dc, int x, int y, int width, int height, DWORD rop) {
    Drawing d = drawing(dc);
    if (!d || rop_uses_source(rop)) return FALSE;
    return blit(d, nullptr, {x, y, width, height, 0, 0, 0, 0}, rop);
}

BOOL WINAPI MoveToEx(HDC dc, int x, int y, LPPOINT previous) {
    Dc* d = find_dc(dc);
    if (!d) return FALSE;
    if (previous) *previous = d->position;
    d->position = {x, y};
    return TRUE;
}

BOOL WINAPI LineTo(HDC dc, int x, int y) {
    Drawing d = drawing(dc);
    if (!d) return FALSE;
    if (const Pen* pen = pen_of(*d.dc)) line(d.target, *pen, d.dc->position.x, d.dc->position.y, x, y);
    d.dc->position = {x, y};
    return TRUE;
}

COLORREF WINAPI SetPixel(HDC dc, int x, int y, COLORREF color) {
    Drawing d = drawing(dc);
    if (!d) return CLR_INVALID;
    int sx = x + d.target.dx, sy = y + d.target.dy;
    if (!inside(d.target, sx, sy)) return CLR_INVALID;
    std::uint32_t p = device_pixel(d.target, color);
    d.target.surface->set(sx, sy, p);
    return sim::colorref_of(p);
}

COLORREF WINAPI GetPixel(HDC dc, int x, int y) {
    Drawing d = drawing(dc);
    if (!d) return CLR_INVALID;
    int sx = x + d.target.dx, sy = y + d.target.dy;
    if (!inside(d.target, sx, sy)) return CLR_INVALID;
    return sim::colorref_of(d.target.surface->at(sx, sy));
}

BOOL WINAPI BitBlt(HDC dest, int x, int y, int width, int height, HDC src, int src_x, int src_y, DWORD rop) {
    Drawing d = drawing(dest);
    if (!d) return FALSE;
    Drawing s = drawing(src);
    return blit(d, src ? &s : nullptr, {x, y, width, height, src_x, src_y, width, height}, rop);
}

BOOL WINAPI StretchBlt(HDC dest, int x, int y, int width, int height, HDC src, int src_x, int src_y,
                       int src_width, int src_height, DWORD rop) {
    Drawing d = drawing(dest);
    if (!d) return FALSE;
    Drawing s = drawing(src);
    // A mirrored source is read from its far edge.
    int sx = src_width < 0 ? src_x + src_width + 1 : src_x;
    int sy = src_height < 0 ? src_y + src_height + 1 : src_y;
    return blit(d, src ? &s : nullptr, {x, y, width, height, sx, sy, src_width, src_height}, rop);
}
