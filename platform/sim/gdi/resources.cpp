// Bitmaps, icons and cursors: device-independent bitmaps decoded from resources, the stock icons, and the
// cursor handles.
#include "platform/sim/gdi/impl.h"
#include "platform/sim/kernel/resfile.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>

namespace sim::gdi {
namespace {

std::uint32_t read_u32(const unsigned char* p) {
    return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) |
           (std::uint32_t{p[3]} << 24);
}
std::uint16_t read_u16(const unsigned char* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

struct DibHeader {
    int width = 0;
    int height = 0; // positive; top_down says the row order
    bool top_down = false;
    int bits = 0;
    std::uint32_t compression = 0;
    std::size_t header_size = 0;
    std::size_t colors = 0;
};

constexpr long long kMaxDibPixels = 16LL * 1024 * 1024;

bool parse_header(std::span<const unsigned char> dib, DibHeader& h, std::string* error) {
    auto fail = [&](const char* why) {
        if (error) *error = why;
        return false;
    };
    if (dib.size() < 12) return fail("truncated bitmap header");
    h.header_size = read_u32(dib.data());
    if (h.header_size == 12) { // the old OS/2 core header
        h.width = read_u16(dib.data() + 4);
        h.height = read_u16(dib.data() + 6);
        h.bits = read_u16(dib.data() + 10);
    } else {
        if (h.header_size < 40 || h.header_size > dib.size()) return fail("bad bitmap header size");
        h.width = static_cast<std::int32_t>(read_u32(dib.data() + 4));
        auto height = static_cast<std::int32_t>(read_u32(dib.data() + 8));
        if (height == INT32_MIN) return fail("bad bitmap height");
        h.top_down = height < 0;
        h.height = height < 0 ? -height : height;
        h.bits = read_u16(dib.data() + 14);
        h.compression = read_u32(dib.data() + 16);
        h.colors = read_u32(dib.data() + 32);
    }
    if (h.width <= 0 || h.height <= 0 || static_cast<long long>(h.width) * h.height > kMaxDibPixels)
        return fail("bad bitmap size");
    if (h.bits != 1 && h.bits != 4 && h.bits != 8 && h.bits != 16 && h.bits != 24 && h.bits != 32)
        return fail("unsupported bits per pixel");
    if (h.bits <= 8 && (h.colors == 0 || h.colors > (1u << h.bits))) h.colors = std::size_t{1} << h.bits;
    if (h.bits > 8) h.colors = 0;
    bool rle = (h.compression == BI_RLE8 && h.bits == 8) || (h.compression == BI_RLE4 && h.bits == 4);
    if (h.compression != BI_RGB && !rle && !(h.compression == BI_BITFIELDS && (h.bits == 16 || h.bits == 32)))
        return fail("unsupported compression");
    if (rle && h.top_down) return fail("top-down compressed bitmap");
    return true;
}

struct Palette {
    std::vector<std::uint32_t> colors;
    std::uint32_t at(std::size_t i) const { return i < colors.size() ? colors[i] : 0; }
};

struct Masks {
    std::uint32_t red = 0x7C00, green = 0x03E0, blue = 0x001F;
};

std::uint32_t channel(std::uint32_t value, std::uint32_t mask) {
    if (!mask) return 0;
    int shift = 0;
    while (!(mask & (1u << shift)))
        ++shift;
    std::uint32_t max = mask >> shift;
    return ((value & mask) >> shift) * 255 / max;
}

std::uint32_t masked_pixel(std::uint32_t v, const Masks& m) {
    return (channel(v, m.red) << 16) | (channel(v, m.green) << 8) | channel(v, m.blue);
}

std::uint32_t rgb_pixel(const unsigned char* p) {
    return (std::uint32_t{p[2]} << 16) | (p[1] << 8) | p[0];
}

std::uint32_t pixel_at(const unsigned char* row, int x, const DibHeader& h, const Palette& pal,
                       const Masks& m) {
    switch (h.bits) {
    case 1:
        return pal.at((row[x / 8] >> (7 - x % 8)) & 1);
    case 4:
        return pal.at((row[x / 2] >> (x % 2 ? 0 : 4)) & 0xF);
    case 8:
        return pal.at(row[x]);
    case 16:
        return masked_pixel(read_u16(row + x * 2), m);
    case 24:
        return rgb_pixel(row + x * 3);
    default:
        return h.compression == BI_BITFIELDS ? masked_pixel(read_u32(row + x * 4), m)
                                             : rgb_pixel(row + x * 4);
    }
}

// The row of the picture (counted from the top) that stored row Y holds.
int picture_row(const DibHeader& h, int y) {
    return h.top_down ? y : h.height - 1 - y;
}

bool decode_rgb(std::span<const unsigned char> bits, const DibHeader& h, const Palette& pal, const Masks& m,
                Surface& out) {
    std::size_t stride = ((static_cast<std::size_t>(h.width) * h.bits + 31) / 32) * 4;
    if (bits.size() / stride < static_cast<std::size_t>(h.height)) return false;
    for (int y = 0; y < h.height; ++y) {
        const unsigned char* row = bits.data() + stride * y;
        int py = picture_row(h, y);
        for (int x = 0; x < h.width; ++x)
            out.set(x, py, pixel_at(row, x, h, pal, m));
    }
    return true;
}

// Run-length encoded 4- and 8-bit bitmaps; pixels that the codes skip stay black.
bool decode_rle(std::span<const unsigned char> bits, const DibHeader& h, const Palette& pal, Surface& out) {
    bool four = h.bits == 4;
    int x = 0, y = 0;
    auto put = [&](std::size_t index) {
        if (x < h.width && y < h.height) out.set(x, picture_row(h, y), pal.at(index));
        ++x;
    };
    std::size_t i = 0;
    while (i + 1 < bits.size()) {
        unsigned count = bits[i], value = bits[i + 1];
        i += 2;
        if (count > 0) {
            for (unsigned k = 0; k < count; ++k)
                put(four ? ((k % 2) ? value & 0xF : value >> 4) : value);
            continue;
        }
        if (value == 0) { // end of line
            x = 0;
            ++y;
        } else if (value == 1) { // end of bitmap
            return true;
        } else if (value == 2) { // delta
            if (i + 1 >= bits.size()) return false;
            x += bits[i];
            y += bits[i + 1];
            i += 2;
        } else { // a literal run, padded to a word
            std::size_t bytes = four ? (value + 1) / 2 : value;
            if (bytes > bits.size() - i) return false;
            for (unsigned k = 0; k < value; ++k)
                put(four ? ((k % 2) ? bits[i + k / 2] & 0xF : bits[i + k / 2] >> 4) : bits[i + k]);
            i += (bytes + 1) & ~std::size_t{1};
        }
        if (y >= h.height) return true;
    }
    return true;
}

} // namespace

bool decode_dib(std::span<const unsigned char> dib, Surface& out, int height_divisor, std::string* error,
                std::size_t* bits_end) {
    DibHeader h;
    if (!parse_header(dib, h, error)) return false;
    h.height /= height_divisor;
    if (h.height <= 0) {
        if (error) *error = "bad bitmap size";
        return false;
    }
    std::size_t offset = h.header_size;
    Masks masks;
    if (h.compression == BI_BITFIELDS) {
        if (dib.size() - offset < 12) {
            if (error) *error = "truncated colour masks";
            return false;
        }
        if (h.header_size == 40) {
            masks = {read_u32(dib.data() + offset), read_u32(dib.data() + offset + 4),
                     read_u32(dib.data() + offset + 8)};
            offset += 12;
        } else {
            masks = {read_u32(dib.data() + 40), read_u32(dib.data() + 44), read_u32(dib.data() + 48)};
        }
    } else if (h.bits == 32) {
        masks = {0xFF0000, 0xFF00, 0xFF};
    }
    Palette pal;
    std::size_t entry = h.header_size == 12 ? 3 : 4;
    if (h.colors > (dib.size() - offset) / entry) {
        if (error) *error = "truncated colour table";
        return false;
    }
    for (std::size_t i = 0; i < h.colors; ++i)
        pal.colors.push_back(rgb_pixel(dib.data() + offset + i * entry));
    offset += h.colors * entry;
    std::span<const unsigned char> bits = dib.subspan(offset);
    bool rle = h.compression == BI_RLE8 || h.compression == BI_RLE4;
    std::size_t stride = ((static_cast<std::size_t>(h.width) * h.bits + 31) / 32) * 4;
    // Uncompressed bits must all be there before the picture is allocated.
    if (!rle && bits.size() / stride < static_cast<std::size_t>(h.height)) {
        if (error) *error = "truncated bitmap bits";
        return false;
    }
    out = Surface(h.width, h.height);
    bool ok = rle ? decode_rle(bits, h, pal, out) : decode_rgb(bits, h, pal, masks, out);
    if (!ok) {
        if (error) *error = "truncated bitmap bits";
        return false;
    }
    if (bits_end) *bits_end = offset + stride * h.height;
    return true;
}

namespace {

// The AND mask after an icon's colour bits: 1 bit a pixel, rows from the bottom.
bool decode_mask(std::span<const unsigned char> data, int width, int height, std::vector<bool>& out) {
    std::size_t stride = ((static_cast<std::size_t>(width) + 31) / 32) * 4;
    if (data.size() / stride < static_cast<std::size_t>(height)) return false;
    out.assign(static_cast<std::size_t>(width) * height, false);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            out[static_cast<std::size_t>(height - 1 - y) * width + x] =
                (data[stride * y + x / 8] >> (7 - x % 8)) & 1;
    return true;
}

std::optional<std::span<const unsigned char>> find_resource(LPCSTR type, LPCSTR name) {
    unsigned cp = resource_codepage();
    auto t = res_id_from_api(type, cp);
    auto n = res_id_from_api(name, cp);
    if (!t || !n) return std::nullopt;
    const ResEntry* e = program_resources().find_default(*t, *n, cp);
    if (!e) return std::nullopt;
    return e->data;
}

// The member of an icon group closest to 32 x 32, the deepest colours first among equals.
std::optional<std::uint16_t> pick_icon(std::span<const unsigned char> group) {
    if (group.size() < 6) return std::nullopt;
    std::size_t count = read_u16(group.data() + 4);
    std::optional<std::uint16_t> best;
    long best_score = 0;
    for (std::size_t i = 0; i < count && 6 + (i + 1) * 14 <= group.size(); ++i) {
        const unsigned char* e = group.data() + 6 + i * 14;
        int w = e[0] ? e[0] : 256, bits = read_u16(e + 6);
        long score = -std::abs(w - 32) * 1000 + bits;
        if (!best || score > best_score) {
            best = read_u16(e + 12);
            best_score = score;
        }
    }
    return best;
}

} // namespace

std::unique_ptr<Object> icon_from_resource(std::span<const unsigned char> data, std::string* error) {
    Surface image;
    std::size_t end = 0;
    // An icon image is a DIB of twice its height: the colour bits, then the AND mask.
    if (!decode_dib(data, image, 2, error, &end)) return nullptr;
    auto o = std::make_unique<Object>();
    o->kind = Kind::Icon;
    if (!decode_mask(data.subspan(std::min(end, data.size())), image.width, image.height,
                     o->icon.transparent))
        o->icon.transparent.assign(static_cast<std::size_t>(image.width) * image.height, false);
    o->icon.image = std::move(image);
    return o;
}

HBITMAP bitmap_from_dib(std::span<const unsigned char> dib) {
    Surface pixels;
    if (!decode_dib(dib, pixels, 1, nullptr, nullptr)) return nullptr;
    auto o = std::make_unique<Object>();
    o->kind = Kind::Bitmap;
    o->bitmap.pixels = std::move(pixels);
    o->bitmap.bits_per_pixel = 32;
    return static_cast<HBITMAP>(add(std::move(o)));
}

HICON load_resource_icon(LPCSTR name) {
    auto group = find_resource(RT_GROUP_ICON, name);
    if (!group) return nullptr;
    auto id = pick_icon(*group);
    if (!id) return nullptr;
    auto image = find_resource(RT_ICON, MAKEINTRESOURCEA(*id));
    if (!image) return nullptr;
    auto o = icon_from_resource(*image, nullptr);
    return o ? static_cast<HICON>(add(std::move(o))) : nullptr;
}

} // namespace sim::gdi

using namespace sim::gdi;

namespace {

bool is_stock_id(LPCSTR name, int first, int last) {
    if (!IS_INTRESOURCE(name)) return false;
    auto id = static_cast<int>(reinterpret_cast<std::uintptr_t>(name));
    return id >= first && id <= last;
}

HICON stock_icon(int id) {
    static std::map<int, HICON> icons;
    auto it = icons.find(id);
    if (it != icons.end()) return it->second;
    std::unique_ptr<Object> o = make_stock_icon(id);
    if (!o) return nullptr;
    o->stock = true;
    HICON h = static_cast<HICON>(add(std::move(o)));
    icons[id] = h;
    return h;
}

HCURSOR stock_cursor(int id) {
    static std::map<int, HCURSOR> cursors;
    auto it = cursors.find(id);
    if (it != cursors.end()) return it->second;
    auto o = std::make_unique<Object>();
    o->kind = Kind::Cursor;
    o->stock = true;
    HCURSOR h = static_cast<HCURSOR>(add(std::move(o)));
    cursors[id] = h;
    return h;
}

HCURSOR& current_cursor() {
    static HCURSOR c = nullptr;
    return c;
}

} // namespace

HBITMAP WINAPI LoadBitmapA(HINSTANCE, LPCSTR name) {
    if (!name) return nullptr;
    auto dib = find_resource(RT_BITMAP, name);
    return dib ? bitmap_from_dib(*dib) : nullptr;
}

HICON WINAPI LoadIconA(HINSTANCE instance, LPCSTR name) {
    if (!name) return nullptr;
    if (!instance)
        return is_stock_id(name, 32512, 32517)
                   ? stock_icon(static_cast<int>(reinterpret_cast<std::uintptr_t>(name)))
                   : nullptr;
    return load_resource_icon(name);
}

BOOL WINAPI DrawIcon(HDC hdc, int x, int y, HICON icon) {
    Dc* dc = find_dc(hdc);
    Object* o = find(icon, Kind::Icon);
    if (!dc || !o) return FALSE;
    Target t = target_of(*dc);
    if (!t.valid()) return FALSE;
    const Icon& i = o->icon;
    for (int py = 0; py < i.image.height; ++py)
        for (int px = 0; px < i.image.width; ++px)
            if (!i.transparent[static_cast<std::size_t>(py) * i.image.width + px])
                plot(t, x + px, y + py,
                     t.mono ? device_pixel(t, sim::colorref_of(i.image.at(px, py))) : i.image.at(px, py));
    return TRUE;
}

BOOL WINAPI DestroyIcon(HICON icon) {
    Object* o = find(icon, Kind::Icon);
    if (!o) return FALSE;
    if (!o->stock) erase(icon);
    return TRUE;
}

HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR name) {
    if (!name || instance) return nullptr; // the programs carry no cursor resources
    if (!is_stock_id(name, 32512, 32651)) return nullptr;
    return stock_cursor(static_cast<int>(reinterpret_cast<std::uintptr_t>(name)));
}

HCURSOR WINAPI SetCursor(HCURSOR cursor) {
    if (cursor && !find(cursor, Kind::Cursor)) return nullptr;
    HCURSOR previous = current_cursor();
    current_cursor() = cursor;
    return previous;
}

HCURSOR WINAPI GetCursor(void) {
    return current_cursor();
}
