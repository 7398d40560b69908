// The reader of bitmap font files. Layouts: the NE header's resource table (an alignment shift, then
// type blocks of 8 bytes each followed by 12-byte entries, ended by a zero type); FONTDIR (a count, then
// per font its ordinal and a copy of the FNT header with device and face names); FNT (a 118-byte header
// for version 2, 148 for version 3, then the character table: width and offset of each character, the
// offset 16 bits wide in version 2 and 32 in version 3; glyph bits stored in columns of 8 pixels).
#include "platform/sim/gdi/fon.h"

#include <algorithm>
#include <optional>

namespace sim::gdi {
namespace {

constexpr std::uint16_t kFontDirType = 0x8007;
constexpr std::uint16_t kFontType = 0x8008;
constexpr int kMaxPixelHeight = 512; // no screen font comes near it
constexpr int kMaxGlyphWidth = 512;
constexpr std::size_t kMaxFontPixels = 4 << 20; // unpacked, one byte a pixel
constexpr std::size_t kMaxFontsInFile = 64;

// Little-endian reads that fail instead of reading past the end.
class Reader {
  public:
    explicit Reader(std::span<const std::uint8_t> data) : data_(data) {}
    std::size_t size() const { return data_.size(); }
    std::optional<unsigned> u8(std::size_t at) const {
        if (at >= data_.size()) return std::nullopt;
        return data_[at];
    }
    std::optional<unsigned> u16(std::size_t at) const {
        if (at > data_.size() || data_.size() - at < 2) return std::nullopt;
        return data_[at] | (data_[at + 1] << 8);
    }
    std::optional<std::uint32_t> u32(std::size_t at) const {
        auto lo = u16(at), hi = u16(at + 2);
        if (!lo || !hi) return std::nullopt;
        return *lo | (static_cast<std::uint32_t>(*hi) << 16);
    }
    // A NUL-terminated string at AT, at most MAX characters; the end of the data also ends it.
    std::optional<std::string> text(std::size_t at, std::size_t max) const {
        if (at >= data_.size()) return std::nullopt;
        std::string s;
        for (std::size_t i = at; i < data_.size() && data_[i] && s.size() < max; ++i)
            s += static_cast<char>(data_[i]);
        return s;
    }
    std::span<const std::uint8_t> slice(std::size_t at, std::size_t length) const {
        if (at >= data_.size()) return {};
        return data_.subspan(at, std::min(length, data_.size() - at));
    }

  private:
    std::span<const std::uint8_t> data_;
};

bool fail(std::string* error, const std::string& why) {
    if (error) *error = why;
    return false;
}

// FNT header offsets.
enum : std::size_t {
    kVersion = 0,
    kType = 66,
    kPoints = 68,
    kVertRes = 70,
    kHorizRes = 72,
    kAscent = 74,
    kInternalLeading = 76,
    kExternalLeading = 78,
    kItalic = 80,
    kUnderline = 81,
    kStrikeOut = 82,
    kWeight = 83,
    kCharSet = 85,
    kPixHeight = 88,
    kPitchAndFamily = 90,
    kAvgWidth = 91,
    kMaxWidth = 93,
    kFirstChar = 95,
    kLastChar = 96,
    kDefaultChar = 97,
    kBreakChar = 98,
    kFace = 105,
    kV2Table = 118,
    kV3Table = 148,
};

bool read_header(const Reader& r, FntFont& f, std::string* error) {
    auto version = r.u16(kVersion);
    if (!version || (*version != 0x200 && *version != 0x300)) return fail(error, "not a version 2 or 3 font");
    f.version = static_cast<int>(*version);
    if (r.size() < (f.version == 0x200 ? kV2Table : kV3Table))
        return fail(error, "the font header is cut short");
    if (*r.u16(kType) & 1) return fail(error, "a vector font, not a raster font");
    f.points = static_cast<int>(*r.u16(kPoints));
    f.vert_res = static_cast<int>(*r.u16(kVertRes));
    f.horiz_res = static_cast<int>(*r.u16(kHorizRes));
    f.ascent = static_cast<int>(*r.u16(kAscent));
    f.internal_leading = static_cast<int>(*r.u16(kInternalLeading));
    f.external_leading = static_cast<int>(*r.u16(kExternalLeading));
    f.italic = *r.u8(kItalic) != 0;
    f.underline = *r.u8(kUnderline) != 0;
    f.strike_out = *r.u8(kStrikeOut) != 0;
    f.weight = static_cast<int>(*r.u16(kWeight));
    f.charset = static_cast<int>(*r.u8(kCharSet));
    f.pix_height = static_cast<int>(*r.u16(kPixHeight));
    f.pitch_and_family = static_cast<int>(*r.u8(kPitchAndFamily));
    f.avg_width = static_cast<int>(*r.u16(kAvgWidth));
    f.max_width = static_cast<int>(*r.u16(kMaxWidth));
    f.first_char = static_cast<int>(*r.u8(kFirstChar));
    f.last_char = static_cast<int>(*r.u8(kLastChar));
    f.default_char = std::min(255, f.first_char + static_cast<int>(*r.u8(kDefaultChar)));
    f.break_char = std::min(255, f.first_char + static_cast<int>(*r.u8(kBreakChar)));
    if (f.pix_height < 1 || f.pix_height > kMaxPixelHeight)
        return fail(error, "an impossible character height");
    if (f.first_char > f.last_char) return fail(error, "the first character comes after the last");
    if (f.ascent > f.pix_height || f.internal_leading > f.pix_height)
        return fail(error, "the ascent or leading exceeds the character height");
    auto face = r.text(*r.u32(kFace), 31);
    f.face = face ? *face : "";
    if (f.face.empty()) return fail(error, "the font has no face name");
    return true;
}

// Unpacks each glyph's columns of 8 pixels into rows of one byte a pixel.
bool read_glyphs(const Reader& r, FntFont& f, std::string* error) {
    std::size_t entry = f.version == 0x200 ? 4 : 6;
    std::size_t table = f.version == 0x200 ? kV2Table : kV3Table;
    int count = f.last_char - f.first_char + 1;
    std::size_t height = static_cast<std::size_t>(f.pix_height);
    f.glyphs.resize(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        std::size_t at = table + static_cast<std::size_t>(i) * entry;
        auto width = r.u16(at);
        std::optional<std::uint32_t> offset = r.u32(at + 2);
        if (f.version == 0x200) offset = r.u16(at + 2);
        if (!width || !offset) return fail(error, "the character table is cut short");
        if (*width > kMaxGlyphWidth) return fail(error, "an impossible character width");
        if (f.pixels.size() + height * *width > kMaxFontPixels) return fail(error, "the font is too large");
        std::size_t columns = (*width + 7) / 8;
        if (*offset > r.size() || (r.size() - *offset) / height < columns)
            return fail(error, "a character's bits lie outside the font");
        FntFont::Glyph& g = f.glyphs[static_cast<std::size_t>(i)];
        g.width = static_cast<int>(*width);
        g.pixels = f.pixels.size();
        f.pixels.resize(f.pixels.size() + height * *width);
        std::uint8_t* out = f.pixels.data() + g.pixels;
        for (std::size_t y = 0; y < height; ++y)
            for (std::size_t x = 0; x < *width; ++x) {
                unsigned byte = *r.u8(*offset + (x / 8) * height + y);
                out[y * *width + x] = (byte >> (7 - x % 8)) & 1;
            }
    }
    return true;
}

struct Resource {
    std::uint16_t type;
    std::uint16_t id;
    std::span<const std::uint8_t> data;
};

// The resources of an NE module, in the order of its resource table.
bool ne_resources(const Reader& r, std::vector<Resource>& out, std::string* error) {
    auto ne = r.u32(0x3C);
    if (!ne || r.u16(*ne) != 0x454E) return fail(error, "not a 16-bit Windows module");
    auto table_offset = r.u16(*ne + 0x24);
    if (!table_offset) return fail(error, "the module header is cut short");
    std::size_t at = *ne + *table_offset;
    auto shift = r.u16(at);
    if (!shift || *shift > 16) return fail(error, "the resource table is damaged");
    at += 2;
    for (;;) {
        auto type = r.u16(at), count = r.u16(at + 2);
        if (!type) return fail(error, "the resource table is cut short");
        if (*type == 0) return true;
        if (!count) return fail(error, "the resource table is cut short");
        at += 8;
        for (unsigned i = 0; i < *count; ++i, at += 12) {
            auto offset = r.u16(at), length = r.u16(at + 2), id = r.u16(at + 6);
            if (!offset || !length || !id) return fail(error, "the resource table is cut short");
            std::size_t start = static_cast<std::size_t>(*offset) << *shift;
            std::size_t size = static_cast<std::size_t>(*length) << *shift;
            out.push_back(
                {static_cast<std::uint16_t>(*type), static_cast<std::uint16_t>(*id), r.slice(start, size)});
        }
    }
}

// The FONT resource ids that the FONTDIR lists; empty when it cannot be read.
std::vector<std::uint16_t> listed_fonts(std::span<const std::uint8_t> fontdir) {
    Reader r(fontdir);
    std::vector<std::uint16_t> ids;
    auto count = r.u16(0);
    std::size_t at = 2;
    for (unsigned i = 0; count && i < *count; ++i) {
        auto ordinal = r.u16(at);
        // The entry's copy of the FNT header (113 bytes), then the device and face names.
        auto device = r.text(at + 2 + 113, 255);
        if (!ordinal || !device) return {};
        auto face = r.text(at + 2 + 113 + device->size() + 1, 255);
        if (!face) return {};
        ids.push_back(static_cast<std::uint16_t>(0x8000 | *ordinal));
        at += 2 + 113 + device->size() + 1 + face->size() + 1;
    }
    return ids;
}

} // namespace

const FntFont::Glyph& FntFont::glyph(unsigned char c) const {
    int code = c;
    if (code < first_char || code > last_char) code = default_char;
    if (code < first_char || code > last_char) code = first_char;
    return glyphs[static_cast<std::size_t>(code - first_char)];
}

bool parse_fnt(std::span<const std::uint8_t> data, FntFont& out, std::string* error) {
    Reader r(data);
    FntFont f;
    if (!read_header(r, f, error) || !read_glyphs(r, f, error)) return false;
    out = std::move(f);
    return true;
}

bool parse_font_file(std::span<const std::uint8_t> data, std::vector<FntFont>& out, std::string* error) {
    Reader r(data);
    out.clear();
    if (r.u16(0) != 0x5A4D) {
        FntFont f;
        if (!parse_fnt(data, f, error)) return false;
        out.push_back(std::move(f));
        return true;
    }
    std::vector<Resource> resources;
    if (!ne_resources(r, resources, error)) return false;
    std::vector<std::uint16_t> wanted;
    for (const Resource& res : resources)
        if (res.type == kFontDirType) wanted = listed_fonts(res.data);
    std::string why = "the file holds no font";
    auto take = [&](const Resource& res) {
        FntFont f;
        if (out.size() < kMaxFontsInFile && parse_fnt(res.data, f, &why)) out.push_back(std::move(f));
    };
    for (std::uint16_t id : wanted)
        for (const Resource& res : resources)
            if (res.type == kFontType && res.id == id) take(res);
    if (out.empty())
        for (const Resource& res : resources)
            if (res.type == kFontType) take(res);
    if (out.empty()) return fail(error, why);
    return true;
}

} // namespace sim::gdi
