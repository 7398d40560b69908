#include "platform/sim/kernel/codepage.h"

#include <array>

namespace sim {
namespace {

// 0x80-0xBF of each code page; 0xC0-0xFF follow a rule (Latin-1 for 1252, U+0410.. for 1251). The
// bytes a code page leaves undefined map to the C1 control of the same value, as Windows does.
constexpr std::array<char16_t, 64> kHigh1252 = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152,
    0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122,
    0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, 0x00A0, 0x00A1, 0x00A2, 0x00A3, 0x00A4, 0x00A5, 0x00A6,
    0x00A7, 0x00A8, 0x00A9, 0x00AA, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x00AF, 0x00B0, 0x00B1, 0x00B2, 0x00B3,
    0x00B4, 0x00B5, 0x00B6, 0x00B7, 0x00B8, 0x00B9, 0x00BA, 0x00BB, 0x00BC, 0x00BD, 0x00BE, 0x00BF};

constexpr std::array<char16_t, 64> kHigh1251 = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039, 0x040A,
    0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x0098, 0x2122,
    0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6,
    0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456,
    0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457};

char16_t unicode_upper(char16_t u) {
    if (u >= 'a' && u <= 'z') return static_cast<char16_t>(u - 0x20);
    if (u >= 0x00E0 && u <= 0x00FE && u != 0x00F7) return static_cast<char16_t>(u - 0x20);
    if (u == 0x00FF) return 0x0178;
    if (u == 0x0161 || u == 0x0153 || u == 0x017E) return static_cast<char16_t>(u - 1);
    if (u >= 0x0430 && u <= 0x044F) return static_cast<char16_t>(u - 0x20);
    if (u >= 0x0450 && u <= 0x045F) return static_cast<char16_t>(u - 0x50);
    if (u == 0x0491) return 0x0490;
    return u;
}

char16_t unicode_lower(char16_t u) {
    if (u >= 'A' && u <= 'Z') return static_cast<char16_t>(u + 0x20);
    if (u >= 0x00C0 && u <= 0x00DE && u != 0x00D7) return static_cast<char16_t>(u + 0x20);
    if (u == 0x0178) return 0x00FF;
    if (u == 0x0160 || u == 0x0152 || u == 0x017D) return static_cast<char16_t>(u + 1);
    if (u >= 0x0410 && u <= 0x042F) return static_cast<char16_t>(u + 0x20);
    if (u >= 0x0400 && u <= 0x040F) return static_cast<char16_t>(u + 0x50);
    if (u == 0x0490) return 0x0491;
    return u;
}

unsigned char map_case(unsigned char c, unsigned codepage, char16_t (*fn)(char16_t)) {
    unsigned char out;
    return unicode_to_ansi(fn(ansi_to_unicode(c, codepage)), codepage, out) ? out : c;
}

} // namespace

char16_t ansi_to_unicode(unsigned char c, unsigned codepage) {
    if (c < 0x80) return c;
    if (c < 0xC0) return (codepage == 1251 ? kHigh1251 : kHigh1252)[c - 0x80];
    return codepage == 1251 ? static_cast<char16_t>(0x0410 + (c - 0xC0)) : static_cast<char16_t>(c);
}

bool unicode_to_ansi(char16_t u, unsigned codepage, unsigned char& out) {
    if (u < 0x80) {
        out = static_cast<unsigned char>(u);
        return true;
    }
    if (codepage == 1251 && u >= 0x0410 && u <= 0x044F) {
        out = static_cast<unsigned char>(0xC0 + (u - 0x0410));
        return true;
    }
    if (codepage != 1251 && u >= 0x00C0 && u <= 0x00FF) {
        out = static_cast<unsigned char>(u);
        return true;
    }
    const auto& high = codepage == 1251 ? kHigh1251 : kHigh1252;
    for (unsigned i = 0; i < high.size(); ++i) {
        if (high[i] == u) {
            out = static_cast<unsigned char>(0x80 + i);
            return true;
        }
    }
    out = '?';
    return false;
}

unsigned char ansi_upper(unsigned char c, unsigned codepage) {
    return map_case(c, codepage, unicode_upper);
}
unsigned char ansi_lower(unsigned char c, unsigned codepage) {
    return map_case(c, codepage, unicode_lower);
}

std::string utf16_to_ansi(const std::u16string& text, unsigned codepage) {
    std::string out;
    out.reserve(text.size());
    for (char16_t u : text) {
        unsigned char c;
        unicode_to_ansi(u, codepage, c);
        out += static_cast<char>(c);
    }
    return out;
}

std::u16string ansi_to_utf16(const std::string& text, unsigned codepage) {
    std::u16string out;
    out.reserve(text.size());
    for (char c : text)
        out += ansi_to_unicode(static_cast<unsigned char>(c), codepage);
    return out;
}

std::string ansi_to_utf8(const std::string& text, unsigned codepage) {
    std::string out;
    for (char c : text) {
        char16_t u = ansi_to_unicode(static_cast<unsigned char>(c), codepage);
        if (u < 0x80) {
            out += static_cast<char>(u);
        } else if (u < 0x800) {
            out += static_cast<char>(0xC0 | (u >> 6));
            out += static_cast<char>(0x80 | (u & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (u >> 12));
            out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (u & 0x3F));
        }
    }
    return out;
}

} // namespace sim
