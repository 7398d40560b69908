// The stock icons (application, stop, question, exclamation, information): 32 x 32 pictures drawn in
// code from circles, a triangle and the built-in font's glyphs at three times their size.
#include "platform/sim/gdi/impl.h"

#include <cmath>

namespace sim::gdi {
namespace {

constexpr int kSize = 32;
constexpr std::uint32_t kBlack = 0x000000, kWhite = 0xFFFFFF, kRed = 0xFF0000, kBlue = 0x0000FF,
                        kNavy = 0x000080, kYellow = 0xFFFF00, kGray = 0x808080;

struct Canvas {
    Icon icon;
    Canvas() {
        icon.image = Surface(kSize, kSize);
        icon.transparent.assign(kSize * kSize, true);
    }
    void paint(int x, int y, std::uint32_t p) {
        if (x < 0 || y < 0 || x >= kSize || y >= kSize) return;
        icon.image.set(x, y, p);
        icon.transparent[static_cast<std::size_t>(y) * kSize + x] = false;
    }
    void disc(double r, std::uint32_t fill, std::uint32_t outline) {
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x) {
                double d = std::hypot(x + 0.5 - 16, y + 0.5 - 16);
                if (d <= r - 1)
                    paint(x, y, fill);
                else if (d <= r)
                    paint(x, y, outline);
            }
    }
    // The glyph's capital-height rows, each dot SCALE pixels square, with its top-left corner at (x0, y0).
    void glyph(char16_t c, int x0, int y0, int scale, std::uint32_t color) {
        unsigned char rows[11];
        if (!glyph_rows(c, rows)) return;
        for (int gy = 2; gy <= 8; ++gy)
            for (int gx = 0; gx < 5; ++gx)
                if (rows[gy] & (0x10 >> gx))
                    for (int k = 0; k < scale * scale; ++k)
                        paint(x0 + gx * scale + k % scale, y0 + (gy - 2) * scale + k / scale, color);
    }
};

void draw_stop(Canvas& c) {
    c.disc(15, kRed, kBlack);
    // A white cross of two thick diagonals.
    for (int i = 9; i <= 22; ++i)
        for (int w = -1; w <= 1; ++w) {
            c.paint(i + w, i, kWhite);
            c.paint(i + w, 31 - i, kWhite);
        }
}

void draw_balloon(Canvas& c, char16_t mark) {
    c.disc(15, kWhite, kGray);
    c.glyph(mark, 9, 6, 3, kBlue);
}

void draw_exclamation(Canvas& c) {
    // A yellow triangle standing on its base, outlined in black.
    for (int y = 2; y < 30; ++y) {
        int half = (y - 2) / 2 + 1;
        for (int x = 16 - half; x < 16 + half; ++x)
            c.paint(x, y, (x == 16 - half || x == 15 + half || y == 29) ? kBlack : kYellow);
    }
    c.glyph(u'!', 9, 8, 3, kBlack);
}

void draw_application(Canvas& c) {
    for (int y = 3; y < 29; ++y)
        for (int x = 1; x < 31; ++x) {
            bool border = x == 1 || x == 30 || y == 3 || y == 28;
            c.paint(x, y, border ? kBlack : (y < 8 ? kNavy : kWhite));
        }
}

} // namespace

std::unique_ptr<Object> make_stock_icon(int id) {
    Canvas c;
    switch (id) {
    case 32512: // IDI_APPLICATION
    case 32517: // IDI_WINLOGO
        draw_application(c);
        break;
    case 32513:
        draw_stop(c);
        break; // IDI_HAND
    case 32514:
        draw_balloon(c, u'?');
        break; // IDI_QUESTION
    case 32515:
        draw_exclamation(c);
        break; // IDI_EXCLAMATION
    case 32516:
        draw_balloon(c, u'i');
        break; // IDI_ASTERISK
    default:
        return nullptr;
    }
    auto o = std::make_unique<Object>();
    o->kind = Kind::Icon;
    o->icon = std::move(c.icon);
    return o;
}

} // namespace sim::gdi
