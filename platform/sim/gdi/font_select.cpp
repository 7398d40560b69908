// Choosing the raster font that draws a LOGFONT, as the Windows font mapper does for raster fonts: the
// character set first (DEFAULT_CHARSET: the machine's), then the face name (after FontSubstitutes), then
// bold and italic, then the size: the largest face not taller than asked, or the smallest when all are
// taller, enlarged by a whole factor when far too small. A bold request on a face without a bold version
// is emboldened: each character drawn twice one pixel apart, one pixel wider. The stock system, fixed
// and OEM fonts are the files that SYSTEM.INI [boot] names.
#include "platform/sim/gdi/font_table.h"
#include "platform/sim/gdi/impl.h"
#include "platform/sim/machine/machine.h"

#include <algorithm>
#include <cstring>

namespace sim::gdi {
namespace {

constexpr int kMaxScale = 32;

bool is_bold(int weight) {
    return weight > 550;
}

bool is_fixed_pitch(const FntFont& f) {
    return !(f.pitch_and_family & 1);
}

int machine_charset() {
    return machine().settings.codepage == 1251 ? RUSSIAN_CHARSET : ANSI_CHARSET;
}

using Pool = std::vector<const Face*>;

template <typename Pred>
Pool filter(const Pool& pool, Pred pred) {
    Pool out;
    for (const Face* f : pool)
        if (pred(*f->font)) out.push_back(f);
    return out;
}

// The faces of the font that stands in for a face the session does not have: a fixed-pitch one for a
// fixed-pitch or modern request, else MS Sans Serif, else the first face.
Pool stand_in(const LOGFONTA& lf, const Pool& pool) {
    bool fixed = (lf.lfPitchAndFamily & 3) == FIXED_PITCH || (lf.lfPitchAndFamily & 0xF0) == FF_MODERN;
    const FntFont* chosen = pool.front()->font.get();
    auto pick = [&](auto pred) {
        for (const Face* f : pool)
            if (pred(*f->font)) return f->font.get();
        return static_cast<const FntFont*>(nullptr);
    };
    if (const FntFont* f = fixed ? pick(is_fixed_pitch) : pick([](const FntFont& f) {
            return equal_nocase(f.face, "MS Sans Serif");
        }))
        chosen = f;
    return filter(pool,
                  [&](const FntFont& f) { return f.face == chosen->face && f.charset == chosen->charset; });
}

// The faces that may draw LF, all of one name and character set.
Pool candidates(const LOGFONTA& lf, const std::vector<Face>& faces) {
    Pool all;
    for (const Face& f : faces)
        all.push_back(&f);
    int charset = lf.lfCharSet == DEFAULT_CHARSET ? machine_charset() : lf.lfCharSet;
    std::string name = substitute_face(std::string(lf.lfFaceName, strnlen(lf.lfFaceName, LF_FACESIZE)));
    Pool named = filter(all, [&](const FntFont& f) { return equal_nocase(f.face, name); });
    Pool named_in_charset = filter(named, [&](const FntFont& f) { return f.charset == charset; });
    if (!named_in_charset.empty()) return named_in_charset;
    Pool in_charset = filter(all, [&](const FntFont& f) { return f.charset == charset; });
    // A missing character set weighs more than a missing name, unless any set will do.
    if (!named.empty() && (in_charset.empty() || lf.lfCharSet == DEFAULT_CHARSET))
        return filter(named, [&](const FntFont& f) { return f.charset == named.front()->font->charset; });
    return stand_in(lf, in_charset.empty() ? all : in_charset);
}

// How much smaller than asked a face is (negative: taller): cell height for a positive lfHeight,
// character height for a negative one.
int size_difference(const FntFont& f, int height) {
    return height > 0 ? height - f.pix_height : -height - (f.pix_height - f.internal_leading);
}

const Face* best_size(const Pool& pool, int height) {
    const Face* best = nullptr;
    int best_diff = 0;
    for (const Face* face : pool) {
        int diff = size_difference(*face->font, height);
        bool better = !best || (best_diff < 0 ? diff > best_diff : diff >= 0 && diff < best_diff);
        if (better) {
            best = face;
            best_diff = diff;
        }
    }
    return best;
}

// The whole factor a face is enlarged by: a face less than about three quarters of the asked height is
// drawn twice as large, and so on.
int scale_for(const FntFont& f, int height) {
    int asked = (height != 0 ? size_difference(f, height) : 0) + f.pix_height;
    int scale = std::max(1, (asked + f.pix_height - 1) / f.pix_height);
    int over = scale * f.pix_height - asked;
    if ((scale > 2 && over > f.pix_height / 4) || (scale == 2 && over > f.pix_height / 4 - 1)) --scale;
    return std::clamp(scale, 1, kMaxScale);
}

Font from_face(std::shared_ptr<const FntFont> face, int scale, const LOGFONTA& lf) {
    Font out;
    const FntFont& f = *face;
    out.scale = scale;
    out.bold = is_bold(lf.lfWeight) && !is_bold(f.weight);
    out.underline = lf.lfUnderline != 0;
    out.strike_out = lf.lfStrikeOut != 0;
    int extra = out.bold ? 1 : 0;
    TEXTMETRICA& tm = out.tm;
    tm.tmHeight = f.pix_height * scale;
    tm.tmAscent = f.ascent * scale;
    tm.tmDescent = tm.tmHeight - tm.tmAscent;
    tm.tmInternalLeading = f.internal_leading * scale;
    tm.tmExternalLeading = f.external_leading * scale;
    tm.tmAveCharWidth = f.avg_width * scale + extra;
    tm.tmMaxCharWidth = f.max_width * scale + extra;
    tm.tmWeight = out.bold ? FW_BOLD : f.weight;
    tm.tmOverhang = extra;
    tm.tmDigitizedAspectX = f.horiz_res;
    tm.tmDigitizedAspectY = f.vert_res;
    tm.tmFirstChar = static_cast<BYTE>(f.first_char);
    tm.tmLastChar = static_cast<BYTE>(f.last_char);
    tm.tmDefaultChar = static_cast<BYTE>(f.default_char);
    tm.tmBreakChar = static_cast<BYTE>(f.break_char);
    tm.tmItalic = lf.lfItalic ? 255 : f.italic;
    tm.tmUnderlined = out.underline ? 255 : 0;
    tm.tmStruckOut = out.strike_out ? 255 : 0;
    tm.tmPitchAndFamily = static_cast<BYTE>(f.pitch_and_family);
    tm.tmCharSet = static_cast<BYTE>(f.charset);
    out.metrics = {tm.tmHeight,          tm.tmAscent,       tm.tmDescent,
                   tm.tmInternalLeading, tm.tmAveCharWidth, tm.tmWeight};
    out.face = std::move(face);
    return out;
}

Font choose(const LOGFONTA& lf) {
    const std::vector<Face>& faces = session_faces();
    if (faces.empty()) return builtin_font(lf);
    Pool pool = candidates(lf, faces);
    // Bold and italic as asked where the font has them; the screen's resolution where it has several.
    auto style = [&](const FntFont& f) {
        return (is_bold(f.weight) != is_bold(lf.lfWeight)) + (f.italic != (lf.lfItalic != 0));
    };
    int best_style = 2;
    for (const Face* f : pool)
        best_style = std::min(best_style, style(*f->font));
    pool = filter(pool, [&](const FntFont& f) { return style(f) == best_style; });
    if (Pool screen = filter(pool, [](const FntFont& f) { return f.vert_res == 96; }); !screen.empty())
        pool = screen;
    int height = std::clamp<LONG>(lf.lfHeight, -4096, 4096);
    const Face* best = best_size(pool, height);
    return from_face(best->font, scale_for(*best->font, height), lf);
}

// The stock fonts that Windows takes from the [boot] files rather than from the font mapper.
std::shared_ptr<const FntFont> stock_boot_font(int stock_index) {
    switch (stock_index) {
    case SYSTEM_FONT:
    case DEVICE_DEFAULT_FONT:
        return boot_font(BootFont::System);
    case SYSTEM_FIXED_FONT:
        return boot_font(BootFont::Fixed);
    case OEM_FIXED_FONT:
        return boot_font(BootFont::Oem);
    default:
        return nullptr;
    }
}

Font resolve(const Object& o) {
    if (!is_attached()) return builtin_font(o.font);
    if (auto boot = stock_boot_font(o.stock_index)) {
        LOGFONTA plain{};
        plain.lfWeight = boot->weight;
        return from_face(boot, 1, plain);
    }
    return choose(o.font);
}

} // namespace

Font font_of(HFONT font) {
    Object* o = find(font, Kind::Font);
    if (!o) o = find(stock(SYSTEM_FONT), Kind::Font);
    if (!o->chosen || o->chosen_generation != font_generation()) {
        o->chosen = std::make_shared<const Font>(resolve(*o));
        o->chosen_generation = font_generation();
    }
    return *o->chosen;
}

int char_width(const Font& font, unsigned char c) {
    if (!font.face) return font.metrics.avg_char_width;
    return font.face->glyph(c).width * font.scale + (font.bold ? 1 : 0);
}

void draw_char(const Target& t, const Font& font, int x, int y, unsigned char c, std::uint32_t pixel) {
    if (!font.face) return draw_builtin_char(t, font, x, y, c, pixel);
    const FntFont::Glyph& g = font.face->glyph(c);
    const std::uint8_t* rows = font.face->rows(g);
    int s = font.scale;
    for (int gy = 0; gy < font.face->pix_height; ++gy, rows += g.width)
        for (int gx = 0; gx < g.width; ++gx) {
            if (!rows[gx]) continue;
            int px = x + gx * s, py = y + gy * s;
            if (s == 1) {
                plot(t, px, py, pixel);
                if (font.bold) plot(t, px + 1, py, pixel);
            } else {
                fill(t, {px, py, px + s + (font.bold ? 1 : 0), py + s}, pixel);
            }
        }
}

} // namespace sim::gdi

namespace sim {

FontMetrics font_metrics(HFONT font) {
    return gdi::font_of(font).metrics;
}

int text_width(HFONT font, std::string_view text) {
    gdi::Font f = gdi::font_of(font);
    int width = 0;
    for (unsigned char c : text)
        width += gdi::char_width(f, c);
    return width;
}

// As Windows computes them: the average width of the 52 letters, rounded, and the cell height.
SIZE dialog_base_units(HFONT font) {
    static const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    int letters = text_width(font, kLetters);
    return {(letters / 26 + 1) / 2, font_metrics(font).height};
}

} // namespace sim
