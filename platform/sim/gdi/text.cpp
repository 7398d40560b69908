// Text output and measurement: TextOutA, ExtTextOutA, DrawTextA (with the same line breaking for
// measuring and drawing), text extents and metrics.
#include "platform/sim/gdi/impl.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

using namespace sim::gdi;
using sim::FontMetrics;

namespace {

int text_length(LPCSTR text, int length) {
    if (!text) return 0;
    if (length < 0) return static_cast<int>(std::strlen(text));
    return length;
}

// A run of characters on one line, with the position of the mnemonic character (-1: none).
struct Line {
    std::string text;
    int underline = -1;
};

struct TextStyle {
    const Font& font;
    std::uint32_t color;
    bool opaque;
    std::uint32_t background;
};

void draw_run(const Target& t, const TextStyle& s, int x, int y, const std::string& text, const INT* dx) {
    const FontMetrics& m = s.font.metrics;
    int pos = x;
    for (std::size_t i = 0; i < text.size(); ++i) {
        int advance = dx ? dx[i] : char_width(s.font, static_cast<unsigned char>(text[i]));
        if (s.opaque) fill(t, {pos, y, pos + advance, y + m.height}, s.background);
        draw_char(t, s.font, pos, y, static_cast<unsigned char>(text[i]), s.color);
        if (s.font.underline) fill(t, {pos, y + m.ascent + 1, pos + advance, y + m.ascent + 2}, s.color);
        if (s.font.strike_out)
            fill(t,
                 {pos, y + m.ascent - (m.ascent - m.internal_leading) / 3, pos + advance,
                  y + m.ascent - (m.ascent - m.internal_leading) / 3 + 1},
                 s.color);
        pos += advance;
    }
}

int run_width(const Font& font, const std::string& text) {
    int w = 0;
    for (unsigned char c : text)
        w += char_width(font, c);
    return w;
}

TextStyle style_of(const Dc& dc, const Target& t, const Font& font) {
    return {font, device_pixel(t, dc.text_color), dc.bk_mode == OPAQUE, device_pixel(t, dc.bk_color)};
}

// The reference point of TextOutA moved to the top-left corner of the text.
POINT aligned_origin(const Dc& dc, const Font& font, int x, int y, int width) {
    UINT align = dc.text_align;
    if ((align & TA_CENTER) == TA_CENTER)
        x -= width / 2;
    else if (align & TA_RIGHT)
        x -= width;
    if ((align & TA_BASELINE) == TA_BASELINE)
        y -= font.metrics.ascent;
    else if (align & TA_BOTTOM)
        y -= font.metrics.height;
    return {x, y};
}

bool text_out(HDC hdc, int x, int y, UINT options, const RECT* rect, LPCSTR text, int length, const INT* dx) {
    Dc* dc = find_dc(hdc);
    if (!dc) return false;
    Target t = target_of(*dc);
    if (!t.valid()) return false;
    if (length > 0 && !text) return false;
    Font font = font_of(dc->font);
    std::string s(text ? text : "", static_cast<std::size_t>(std::max(length, 0)));
    if (!s.empty() && !empty(t.clip)) t.surface->note_text(s); // text drawn out of sight is not read
    int width = 0;
    for (std::size_t i = 0; i < s.size(); ++i)
        width += dx ? dx[i] : char_width(font, static_cast<unsigned char>(s[i]));
    bool update_cp = dc->text_align & TA_UPDATECP;
    if (update_cp) {
        x = dc->position.x;
        y = dc->position.y;
    }
    POINT at = aligned_origin(*dc, font, x, y, width);
    if (rect && (options & ETO_OPAQUE)) fill(t, *rect, device_pixel(t, dc->bk_color));
    if (rect && (options & ETO_CLIPPED)) {
        RECT r{rect->left + t.dx, rect->top + t.dy, rect->right + t.dx, rect->bottom + t.dy};
        t.clip = intersect(t.clip, r);
    }
    draw_run(t, style_of(*dc, t, font), at.x, at.y, s, dx);
    if (update_cp) dc->position.x = (dc->text_align & TA_RIGHT) ? x - width : x + width;
    return true;
}

// DrawTextA

constexpr int kTabColumns = 8;

struct Layout {
    std::vector<Line> lines;
    int width = 0; // of the widest line
};

// Removes the "&" prefixes: "&&" is a literal ampersand, "&x" underlines x, and an ampersand that ends
// the text stays as it is.
Line strip_prefixes(const std::string& text, bool no_prefix) {
    Line line;
    if (no_prefix) {
        line.text = text;
        return line;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size()) {
            ++i;
            if (text[i] != '&') line.underline = static_cast<int>(line.text.size());
        }
        line.text += text[i];
    }
    return line;
}

// Tab stops are every 8 average character widths.
int next_tab_stop(const Font& font, int w) {
    int tw = std::max(1, kTabColumns * font.metrics.avg_char_width);
    return (w / tw + 1) * tw;
}

// Width of TEXT (tabs expanded when asked).
int measure(const Font& font, const std::string& text, bool expand_tabs) {
    int w = 0;
    for (unsigned char c : text) {
        if (c == '\t' && expand_tabs) {
            w = next_tab_stop(font, w);
        } else {
            w += char_width(font, c);
        }
    }
    return w;
}

std::vector<std::string> split_paragraphs(const std::string& text, bool single_line) {
    std::vector<std::string> out;
    if (single_line) {
        // Line breaks do not break a single line; they take no room.
        std::string s;
        for (char c : text)
            if (c != '\r' && c != '\n') s += c;
        out.push_back(s);
        return out;
    }
    std::string current;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r' || c == '\n') {
            out.push_back(current);
            current.clear();
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            continue;
        }
        current += c;
    }
    // A break that ends the text begins no further line.
    if (out.empty() || !current.empty()) out.push_back(current);
    return out;
}

// How many leading characters of TEXT fit in WIDTH.
std::size_t chars_fitting(const Font& font, std::string_view text, int width, bool expand_tabs) {
    int w = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        w = c == '\t' && expand_tabs ? next_tab_stop(font, w) : w + char_width(font, c);
        if (w > width) return i;
    }
    return text.size();
}

struct Piece {
    std::size_t start, length;
};

// Breaks a paragraph into lines that fit WIDTH, at blanks only. The line ends before the word holding
// the first character that does not fit; a blank that fitted stays at its end (left-aligned lines), one
// blank after the break is dropped, and further blanks begin the next line. A first word wider than
// WIDTH stands alone on its line and is not split.
std::vector<Piece> wrap_paragraph(const Font& font, std::string_view para, int width, UINT format) {
    std::vector<Piece> out;
    bool aligned = format & (DT_CENTER | DT_RIGHT);
    std::size_t start = 0;
    while (start < para.size() || out.empty()) {
        std::string_view rest = para.substr(start);
        std::size_t fit = chars_fitting(font, rest, width, format & DT_EXPANDTABS);
        if (fit == rest.size()) {
            out.push_back({start, rest.size()});
            break;
        }
        std::size_t end = fit;
        bool word_fits = fit > 0;
        if (word_fits && rest[end] == ' ') {
            --end;
        } else if (word_fits) {
            while (end > 0 && rest[--end] != ' ') {
            }
            word_fits = end > 0 || rest[0] == ' ';
        }
        if (!word_fits)
            end = std::min(rest.find(' '), rest.size());
        else if (!aligned || rest[end] != ' ')
            ++end;
        bool drop_blank = end < rest.size() && rest[end] == ' ';
        out.push_back({start, end});
        start += end + (drop_blank ? 1 : 0);
    }
    return out;
}

Layout layout_text(const Font& font, const std::string& raw, int width, UINT format) {
    bool single = format & DT_SINGLELINE;
    bool expand_tabs = format & DT_EXPANDTABS;
    bool no_prefix = format & DT_NOPREFIX;
    Layout layout;
    for (const std::string& para : split_paragraphs(raw, single)) {
        // Prefixes are removed first, so that lines are broken as they are drawn.
        Line stripped = strip_prefixes(para, no_prefix);
        std::vector<Piece> pieces{{0, stripped.text.size()}};
        if ((format & DT_WORDBREAK) && !single) pieces = wrap_paragraph(font, stripped.text, width, format);
        for (const Piece& piece : pieces) {
            Line line;
            line.text = stripped.text.substr(piece.start, piece.length);
            int u = stripped.underline - static_cast<int>(piece.start);
            if (u >= 0 && u < static_cast<int>(piece.length)) line.underline = u;
            layout.width = std::max(layout.width, measure(font, line.text, expand_tabs));
            layout.lines.push_back(std::move(line));
        }
    }
    return layout;
}

// Draws one line from X: expanded tabs move on to the next stop, and the mnemonic character is underlined.
void draw_line(const Target& t, const TextStyle& style, int x, int y, const Line& line, bool expand_tabs) {
    const Font& font = style.font;
    int pos = x;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= line.text.size(); ++i) {
        bool tab = i < line.text.size() && line.text[i] == '\t' && expand_tabs;
        if (i < line.text.size() && !tab) continue;
        std::string run = line.text.substr(start, i - start);
        draw_run(t, style, pos, y, run, nullptr);
        int u = line.underline - static_cast<int>(start);
        if (u >= 0 && u < static_cast<int>(run.size())) {
            int ux = pos + run_width(font, run.substr(0, static_cast<std::size_t>(u)));
            int uw = char_width(font, static_cast<unsigned char>(run[static_cast<std::size_t>(u)]));
            fill(t, {ux, y + font.metrics.ascent + 1, ux + uw - 1, y + font.metrics.ascent + 2}, style.color);
        }
        pos += run_width(font, run);
        if (tab) pos = x + next_tab_stop(font, pos - x);
        start = i + 1;
    }
}

void draw_lines(const Dc& dc, Target t, const Font& font, const Layout& layout, const RECT& r, int top,
                UINT format) {
    if (!(format & DT_NOCLIP))
        t.clip = intersect(t.clip, {r.left + t.dx, r.top + t.dy, r.right + t.dx, r.bottom + t.dy});
    TextStyle style = style_of(dc, t, font);
    bool expand_tabs = format & DT_EXPANDTABS;
    int y = top;
    for (const Line& line : layout.lines) {
        int w = measure(font, line.text, expand_tabs);
        int x = r.left;
        if (format & DT_CENTER)
            x = r.left + (r.right - r.left - w) / 2;
        else if (format & DT_RIGHT)
            x = r.right - w;
        draw_line(t, style, x, y, line, expand_tabs);
        y += font.metrics.height;
    }
}

} // namespace

BOOL WINAPI TextOutA(HDC dc, int x, int y, LPCSTR text, int length) {
    if (length < 0) return FALSE;
    return text_out(dc, x, y, 0, nullptr, text, length, nullptr);
}

BOOL WINAPI ExtTextOutA(HDC dc, int x, int y, UINT options, const RECT* rect, LPCSTR text, UINT length,
                        const INT* dx) {
    if (length > 0x7FFFFFFF) return FALSE;
    return text_out(dc, x, y, options, rect, text, static_cast<int>(length), dx);
}

BOOL WINAPI GetTextExtentPoint32A(HDC dc, LPCSTR text, int length, LPSIZE size) {
    Dc* d = find_dc(dc);
    if (!d || !size || length < 0 || (length > 0 && !text)) return FALSE;
    Font font = font_of(d->font);
    size->cx = run_width(font, std::string(text ? text : "", static_cast<std::size_t>(length)));
    size->cy = font.metrics.height;
    return TRUE;
}

BOOL WINAPI GetTextExtentPointA(HDC dc, LPCSTR text, int length, LPSIZE size) {
    return GetTextExtentPoint32A(dc, text, length, size);
}

BOOL WINAPI GetTextMetricsA(HDC dc, LPTEXTMETRICA tm) {
    Dc* d = find_dc(dc);
    if (!d || !tm) return FALSE;
    *tm = font_of(d->font).tm;
    return TRUE;
}

int WINAPI GetTextFaceA(HDC dc, int size, LPSTR face) {
    Dc* d = find_dc(dc);
    Object* o = d ? find(d->font, Kind::Font) : nullptr;
    if (!o) return 0;
    // The face that draws, which may stand in for the one asked.
    Font font = font_of(d->font);
    std::string name = font.face ? font.face->face
                                 : std::string(o->font.lfFaceName, strnlen(o->font.lfFaceName, LF_FACESIZE));
    int n = static_cast<int>(name.size());
    if (!face) return n + 1;
    if (size <= 0) return 0;
    int copied = std::min(n, size - 1);
    std::memcpy(face, name.data(), static_cast<std::size_t>(copied));
    face[copied] = 0;
    return copied;
}

int WINAPI DrawTextA(HDC hdc, LPCSTR text, int length, LPRECT rect, UINT format) {
    Dc* dc = find_dc(hdc);
    if (!dc || !rect || length == 0) return 0;
    int n = text_length(text, length);
    Font font = font_of(dc->font);
    int line_height = font.metrics.height;
    if (n == 0) {
        // Nothing to draw; measuring gives an empty rectangle (one line high for a single line), and the
        // result is one line's height either way.
        if (format & DT_CALCRECT) {
            rect->right = rect->left;
            rect->bottom = rect->top + ((format & DT_SINGLELINE) ? line_height : 0);
        }
        return line_height;
    }
    Layout layout =
        layout_text(font, std::string(text, static_cast<std::size_t>(n)), rect->right - rect->left, format);
    int height = line_height * static_cast<int>(layout.lines.size());
    if (format & DT_CALCRECT) {
        rect->right = rect->left + layout.width;
        rect->bottom = rect->top + height;
        return height;
    }
    if (Target t = target_of(*dc); t.valid() && !empty(t.clip))
        t.surface->note_text(std::string(text, static_cast<std::size_t>(n)));
    int top = rect->top;
    bool single = format & DT_SINGLELINE;
    if (single && (format & DT_VCENTER))
        top = rect->top + (rect->bottom - rect->top - height) / 2;
    else if (single && (format & DT_BOTTOM))
        top = rect->bottom - height;
    Target t = target_of(*dc);
    if (t.valid()) draw_lines(*dc, t, font, layout, *rect, top, format);
    // With vertical alignment the result is the offset from the rectangle's top to the text's bottom.
    if (single && (format & (DT_VCENTER | DT_BOTTOM))) return top - rect->top + height;
    return height;
}
