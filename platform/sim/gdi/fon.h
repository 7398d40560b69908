// Windows bitmap font files: a .FON file is a 16-bit (NE) module whose FONTDIR resource lists its FONT
// resources; each FONT resource is one raster font in the FNT format (versions 2 and 3). A bare .FNT file
// is one FONT resource on its own. Every offset and count of the file is checked against its length:
// a malformed file is refused, never read out of bounds.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace sim::gdi {

// One raster font: the header fields that font selection and text metrics need, and its glyphs
// unpacked to one byte a pixel (row-major, 1 where the glyph has ink).
struct FntFont {
    int version = 0; // 0x200 or 0x300
    std::string face;
    int points = 0;
    int vert_res = 0;
    int horiz_res = 0;
    int ascent = 0;
    int internal_leading = 0;
    int external_leading = 0;
    bool italic = false;
    bool underline = false;
    bool strike_out = false;
    int weight = 400;
    int charset = 0;
    int pix_height = 0;
    int pitch_and_family = 0; // as stored: bit 0 set means variable pitch
    int avg_width = 0;
    int max_width = 0;
    int first_char = 0;
    int last_char = 0;
    int default_char = 0; // a character code (the file stores it relative to first_char)
    int break_char = 0;   // likewise

    struct Glyph {
        int width = 0;
        std::size_t pixels = 0; // where its rows start in `pixels`
    };
    std::vector<Glyph> glyphs; // first_char..last_char
    std::vector<std::uint8_t> pixels;

    // The glyph drawn for character C: characters outside the font take the default character.
    const Glyph& glyph(unsigned char c) const;
    const std::uint8_t* rows(const Glyph& g) const { return pixels.data() + g.pixels; }
};

// Reads one FONT resource. False, with a reason, for anything but a well-formed raster font.
bool parse_fnt(std::span<const std::uint8_t> data, FntFont& out, std::string* error);

// Reads a .FON file (the fonts its FONTDIR names, or every FONT resource when it has no usable
// FONTDIR) or a bare .FNT file. False, with a reason, when the file holds no font that can be read.
bool parse_font_file(std::span<const std::uint8_t> data, std::vector<FntFont>& out, std::string* error);

} // namespace sim::gdi
