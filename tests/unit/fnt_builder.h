// Small raster fonts made in the tests: a FONT resource (FNT version 2 or 3) and a .FON file (an NE
// module holding FONT resources and their FONTDIR). Every glyph is an "L": its first column and its
// baseline row are inked, so where a character lands can be checked by pixel.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace fnt {

struct FontDef {
    int version = 0x300;
    std::string face = "Test Sans";
    int points = 8;
    int resolution = 96;
    int height = 10;
    int ascent = 8;
    int internal_leading = 1;
    int weight = 400;
    int charset = 0;
    int first = 32;
    int last = 126;
    int default_char = '?';
    // Widths: character c is base_width + c % 3 pixels wide.
    int base_width = 3;

    int width(int c) const { return base_width + c % 3; }
};

inline void put16(std::string& s, std::size_t at, unsigned v) {
    s[at] = static_cast<char>(v & 0xFF);
    s[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}
inline void put32(std::string& s, std::size_t at, std::uint32_t v) {
    put16(s, at, v & 0xFFFF);
    put16(s, at + 2, v >> 16);
}

inline std::string build_fnt(const FontDef& f) {
    bool v3 = f.version == 0x300;
    std::size_t table = v3 ? 148 : 118, entry = v3 ? 6 : 4;
    int count = f.last - f.first + 2; // with the sentinel entry
    std::size_t bits = table + static_cast<std::size_t>(count) * entry;
    std::string s(bits, '\0');
    int widest = 0, total = 0;
    for (int c = f.first; c <= f.last; ++c) {
        std::size_t at = table + static_cast<std::size_t>(c - f.first) * entry;
        int w = f.width(c);
        widest = std::max(widest, w);
        total += w;
        put16(s, at, static_cast<unsigned>(w));
        if (v3)
            put32(s, at + 2, static_cast<std::uint32_t>(s.size()));
        else
            put16(s, at + 2, static_cast<unsigned>(s.size()));
        for (int col = 0; col < (w + 7) / 8; ++col)
            for (int y = 0; y < f.height; ++y) {
                unsigned byte = 0;
                if (col == 0) byte |= 0x80; // the first column
                if (y == f.ascent - 1)      // the baseline row
                    for (int x = col * 8; x < std::min(w, col * 8 + 8); ++x)
                        byte |= 0x80u >> (x - col * 8);
                s += static_cast<char>(byte);
            }
    }
    std::size_t face_at = s.size();
    s += f.face;
    s += '\0';
    put16(s, 0, static_cast<unsigned>(f.version));
    put32(s, 2, static_cast<std::uint32_t>(s.size()));
    put16(s, 68, static_cast<unsigned>(f.points));
    put16(s, 70, static_cast<unsigned>(f.resolution));
    put16(s, 72, static_cast<unsigned>(f.resolution));
    put16(s, 74, static_cast<unsigned>(f.ascent));
    put16(s, 76, static_cast<unsigned>(f.internal_leading));
    put16(s, 83, static_cast<unsigned>(f.weight));
    s[85] = static_cast<char>(f.charset);
    put16(s, 88, static_cast<unsigned>(f.height));
    s[90] = 0x21; // variable pitch, swiss
    put16(s, 91, static_cast<unsigned>(total / (f.last - f.first + 1)));
    put16(s, 93, static_cast<unsigned>(widest));
    s[95] = static_cast<char>(f.first);
    s[96] = static_cast<char>(f.last);
    s[97] = static_cast<char>(f.default_char - f.first);
    s[98] = static_cast<char>(' ' - f.first);
    put32(s, 105, static_cast<std::uint32_t>(face_at));
    return s;
}

// An NE module with the FONT resources given (ids 1, 2, ...) and, when asked, a FONTDIR naming them.
inline std::string build_fon(const std::vector<std::string>& fonts, bool with_fontdir = true) {
    const std::size_t ne = 0x40, shift = 4;
    std::string fontdir;
    fontdir.resize(2);
    put16(fontdir, 0, static_cast<unsigned>(fonts.size()));
    for (std::size_t i = 0; i < fonts.size(); ++i) {
        std::string e(2, '\0');
        put16(e, 0, static_cast<unsigned>(i + 1));
        e += fonts[i].substr(0, 113);
        e += '\0'; // device name
        e += fonts[i].c_str() +
             (static_cast<unsigned char>(fonts[i][105]) | (static_cast<unsigned char>(fonts[i][106]) << 8));
        e += '\0';
        fontdir += e;
    }
    std::vector<std::pair<unsigned, std::vector<std::string>>> types;
    if (with_fontdir) types.push_back({0x8007, {fontdir}});
    types.push_back({0x8008, fonts});
    std::size_t table_size = 2 + 2; // shift and the end mark
    for (const auto& t : types)
        table_size += 8 + 12 * t.second.size();
    std::string s(ne + 0x40 + table_size, '\0');
    s[0] = 'M';
    s[1] = 'Z';
    put32(s, 0x3C, ne);
    s[ne] = 'N';
    s[ne + 1] = 'E';
    put16(s, ne + 0x24, 0x40);
    std::size_t at = ne + 0x40;
    put16(s, at, shift);
    at += 2;
    for (const auto& [type, resources] : types) {
        put16(s, at, type);
        put16(s, at + 2, static_cast<unsigned>(resources.size()));
        at += 8;
        for (std::size_t i = 0; i < resources.size(); ++i, at += 12) {
            while (s.size() % (1u << shift))
                s += '\0';
            put16(s, at, static_cast<unsigned>(s.size() >> shift));
            put16(s, at + 2, static_cast<unsigned>((resources[i].size() + 15) >> shift));
            put16(s, at + 6, static_cast<unsigned>(0x8000 | (type == 0x8007 ? 1 : i + 1)));
            s += resources[i];
        }
    }
    while (s.size() % (1u << shift))
        s += '\0';
    return s;
}

} // namespace fnt
