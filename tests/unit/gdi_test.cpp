// The simulator's own drawing rules: the built-in font's metrics and glyphs, exact text layout, window
// DCs over a surface, bitmap and icon decoding, and PNG screenshots.
#include "platform/sim/gdi/impl.h"
#include "platform/sim/kernel/resfile.h"
#include "platform/sim/sim.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <png.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlue = RGB(0, 0, 255);

struct Font {
    HFONT handle;
    explicit Font(int height, int weight = FW_NORMAL, int charset = ANSI_CHARSET)
        : handle(CreateFontA(height, 0, 0, 0, weight, 0, 0, 0, charset, 0, 0, 0, 0, "MS Sans Serif")) {}
    ~Font() { DeleteObject(handle); }
};

// A window-style DC over a white surface.
struct Screen {
    sim::Surface surface;
    HDC dc;
    Screen(int w, int h, POINT origin = {0, 0}, RECT clip = {0, 0, 10000, 10000})
        : surface(w, h, 0xFFFFFF), dc(sim::create_surface_dc(&surface, origin, clip)) {}
    ~Screen() { sim::release_surface_dc(dc); }
    // The row of the surface as '#' (ink) and '.' (anything else), for comparing glyphs; ink is every
    // colour but white unless given.
    std::string row(int y, int x0, int x1, std::uint32_t ink = 0x1000000) const {
        std::string s;
        for (int x = x0; x < x1; ++x) {
            std::uint32_t p = surface.at(x, y);
            s += (ink > 0xFFFFFF ? p != 0xFFFFFF : p == ink) ? '#' : '.';
        }
        return s;
    }
};

TEST(GdiFont, MetricsFollowTheDocumentedRules) {
    Font dialog(-11), bold13(-13, FW_BOLD), cell16(16), deflt(0);
    sim::FontMetrics m = sim::font_metrics(dialog.handle);
    EXPECT_EQ(m.height, 13);
    EXPECT_EQ(m.ascent, 11);
    EXPECT_EQ(m.descent, 2);
    EXPECT_EQ(m.internal_leading, 2);
    EXPECT_EQ(m.avg_char_width, 6);
    EXPECT_EQ(sim::font_metrics(deflt.handle).height, 13);
    EXPECT_EQ(sim::font_metrics(bold13.handle).height, 15);
    EXPECT_EQ(sim::font_metrics(bold13.handle).avg_char_width, 8);
    EXPECT_EQ(sim::font_metrics(cell16.handle).height, 16);
    EXPECT_EQ(sim::font_metrics(cell16.handle).avg_char_width, 7);

    SIZE dialog_units = sim::dialog_base_units(dialog.handle);
    EXPECT_EQ(dialog_units.cx, 6);
    EXPECT_EQ(dialog_units.cy, 13);
    SIZE system_units = sim::dialog_base_units(nullptr);
    EXPECT_EQ(system_units.cx, 8);
    EXPECT_EQ(system_units.cy, 16);
    EXPECT_EQ(sim::text_width(dialog.handle, "Cancel"), 36);
    // Anything that is not a font measures as the system font.
    EXPECT_EQ(sim::font_metrics(reinterpret_cast<HFONT>(GetStockObject(WHITE_BRUSH))).height, 16);
}

TEST(GdiFont, TextMetricsAndExtentsAgree) {
    Font dialog(-11);
    Screen s(10, 10);
    SelectObject(s.dc, dialog.handle);
    TEXTMETRICA tm{};
    ASSERT_TRUE(GetTextMetricsA(s.dc, &tm));
    EXPECT_EQ(tm.tmHeight, 13);
    EXPECT_EQ(tm.tmAveCharWidth, 6);
    SIZE size{};
    ASSERT_TRUE(GetTextExtentPoint32A(s.dc, "TARNO Setup", 11, &size));
    EXPECT_EQ(size.cx, 66);
    EXPECT_EQ(size.cy, 13);
    char face[8];
    EXPECT_EQ(GetTextFaceA(s.dc, sizeof face, face), 7);
    EXPECT_STREQ(face, "MS Sans");
    SelectObject(s.dc, GetStockObject(SYSTEM_FONT));
}

TEST(GdiFont, GlyphsAreDrawnAtTheirCellPositionInTheTextColour) {
    Font dialog(-11);
    Screen s(20, 16);
    SelectObject(s.dc, dialog.handle);
    SetTextColor(s.dc, kBlue);
    SetBkColor(s.dc, RGB(192, 192, 192));
    ASSERT_TRUE(TextOutA(s.dc, 1, 0, "I", 1));
    // The capital starts below the internal leading (2 rows) and is 5 columns wide at most.
    EXPECT_EQ(s.row(3, 1, 7, 0x0000FF), "......");
    EXPECT_EQ(s.row(4, 1, 7, 0x0000FF), ".###..");
    EXPECT_EQ(s.row(5, 1, 7, 0x0000FF), "..#...");
    EXPECT_EQ(s.row(10, 1, 7, 0x0000FF), ".###..");
    EXPECT_EQ(s.surface.at(2, 4), 0x0000FFu);
    EXPECT_EQ(s.surface.at(1, 4), 0xC0C0C0u); // opaque background over the cell
    EXPECT_EQ(s.surface.at(7, 4), 0xFFFFFFu); // beyond the cell
    EXPECT_EQ(s.surface.at(1, 13), 0xFFFFFFu);
    SelectObject(s.dc, GetStockObject(SYSTEM_FONT));
}

TEST(GdiFont, UnknownCharactersAreBoxesAndCyrillicHasItsOwnLetters) {
    Font western(-11), cyrillic(-11, FW_NORMAL, RUSSIAN_CHARSET);
    Screen s(40, 16);
    SelectObject(s.dc, western.handle);
    SetBkMode(s.dc, TRANSPARENT);
    TextOutA(s.dc, 0, 0, "\x81", 1); // no character in code page 1252
    EXPECT_EQ(s.row(4, 0, 6), "#####.");
    EXPECT_EQ(s.row(5, 0, 6), "#...#.");
    EXPECT_EQ(s.row(10, 0, 6), "#####.");

    // Byte C4 is A with diaeresis in 1252 and the letter De in 1251.
    TextOutA(s.dc, 10, 0, "\xC4", 1);
    SelectObject(s.dc, cyrillic.handle);
    TextOutA(s.dc, 20, 0, "\xC4", 1);
    EXPECT_EQ(s.row(2, 10, 15), ".#.#.") << "diaeresis above the capital";
    EXPECT_EQ(s.row(2, 20, 25), ".....");
    EXPECT_EQ(s.row(11, 20, 25), "#...#") << "the descending feet of De";
    SelectObject(s.dc, GetStockObject(SYSTEM_FONT));
}

TEST(GdiText, WordBreakingIsExactAndMatchesDrawing) {
    Font dialog(-11);
    Screen s(200, 60);
    SelectObject(s.dc, dialog.handle);
    // 60 pixels hold 10 characters; the blank after "bbb" fits and counts.
    RECT r{0, 0, 60, 0};
    EXPECT_EQ(DrawTextA(s.dc, "aaa bbb ccc ddd", -1, &r, DT_WORDBREAK | DT_CALCRECT), 26);
    EXPECT_EQ(r.right, 48);
    EXPECT_EQ(r.bottom, 26);
    // Exactly full lines still fit; the blank at that break is dropped.
    r = {0, 0, 60, 0};
    EXPECT_EQ(DrawTextA(s.dc, "aaaaa bbbb cc", -1, &r, DT_WORDBREAK | DT_CALCRECT), 26);
    EXPECT_EQ(r.right, 60);
    // Leading blanks of a paragraph stay; tabs expand to 8 average widths.
    r = {0, 0, 400, 0};
    DrawTextA(s.dc, "   x", -1, &r, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(r.right, 24);
    r = {0, 0, 400, 0};
    DrawTextA(s.dc, "a\tb", -1, &r, DT_CALCRECT | DT_SINGLELINE | DT_EXPANDTABS);
    EXPECT_EQ(r.right, 54);

    // Drawing puts the second line one cell height down.
    RECT box{0, 0, 30, 60};
    SetBkMode(s.dc, TRANSPARENT);
    DrawTextA(s.dc, "III III", -1, &box, DT_WORDBREAK);
    EXPECT_EQ(s.row(4, 0, 18), ".###...###...###..");
    EXPECT_EQ(s.row(17, 0, 18), ".###...###...###..");
    EXPECT_EQ(s.row(4, 18, 40), std::string(22, '.'));
    SelectObject(s.dc, GetStockObject(SYSTEM_FONT));
}

TEST(GdiText, AlignmentClippingAndMnemonics) {
    Font dialog(-11);
    Screen s(60, 40);
    SelectObject(s.dc, dialog.handle);
    SetBkMode(s.dc, TRANSPARENT);
    RECT r{0, 0, 60, 39};
    EXPECT_EQ(DrawTextA(s.dc, "I", 1, &r, DT_SINGLELINE | DT_CENTER | DT_VCENTER), 26);
    EXPECT_EQ(s.row(17, 27, 33), ".###..");
    RECT right{0, 0, 60, 13};
    DrawTextA(s.dc, "I", 1, &right, DT_SINGLELINE | DT_RIGHT);
    EXPECT_EQ(s.row(4, 54, 60), ".###..");

    // Text is clipped to the rectangle unless told otherwise.
    Screen c(40, 20);
    SelectObject(c.dc, dialog.handle);
    RECT narrow{0, 0, 3, 13};
    DrawTextA(c.dc, "I", 1, &narrow, DT_SINGLELINE);
    EXPECT_EQ(c.row(4, 0, 6), ".##...");
    RECT free{10, 0, 13, 13};
    DrawTextA(c.dc, "I", 1, &free, DT_SINGLELINE | DT_NOCLIP);
    EXPECT_EQ(c.row(4, 10, 16), ".###..");

    // "&O" underlines the O one row below the baseline; "&&" is one ampersand.
    Screen m(40, 20);
    SelectObject(m.dc, dialog.handle);
    RECT mr{0, 0, 40, 20};
    DrawTextA(m.dc, "&OK", -1, &mr, DT_SINGLELINE);
    EXPECT_EQ(m.row(12, 0, 12), "#####.......");
    Screen n(40, 20);
    SelectObject(n.dc, dialog.handle);
    DrawTextA(n.dc, "&OK", -1, &mr, DT_SINGLELINE | DT_NOPREFIX);
    EXPECT_EQ(n.row(12, 0, 12), "............");
    SelectObject(s.dc, GetStockObject(SYSTEM_FONT));
    SelectObject(c.dc, GetStockObject(SYSTEM_FONT));
    SelectObject(m.dc, GetStockObject(SYSTEM_FONT));
    SelectObject(n.dc, GetStockObject(SYSTEM_FONT));
}

TEST(GdiSurface, WindowDcsDrawAtTheirOriginWithinTheirClip) {
    sim::Surface surface(20, 20, 0);
    HDC dc = sim::create_surface_dc(&surface, {5, 5}, {5, 5, 15, 12});
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(GetObjectType(dc), static_cast<DWORD>(OBJ_DC));
    EXPECT_EQ(sim::dc_surface(dc), &surface);
    RECT all{-100, -100, 100, 100};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    EXPECT_EQ(surface.at(5, 5), 0xFFFFFFu);
    EXPECT_EQ(surface.at(14, 11), 0xFFFFFFu);
    EXPECT_EQ(surface.at(15, 11), 0u);
    EXPECT_EQ(surface.at(14, 12), 0u);
    EXPECT_EQ(surface.at(4, 5), 0u);
    EXPECT_EQ(GetPixel(dc, 0, 0), kWhite);
    EXPECT_EQ(GetPixel(dc, 10, 0), CLR_INVALID); // outside the clip

    // Moving the window's DC moves what it draws.
    ASSERT_TRUE(sim::set_surface_dc_geometry(dc, {0, 0}, {0, 0, 20, 20}));
    SetPixel(dc, 0, 0, kBlue);
    EXPECT_EQ(surface.at(0, 0), 0x0000FFu);
    // A window DC is released by the window manager, not deleted by the program.
    EXPECT_FALSE(DeleteDC(dc));
    SetTextColor(dc, kBlue);
    ASSERT_TRUE(sim::reset_dc_state(dc));
    EXPECT_EQ(GetTextColor(dc), kBlack);
    EXPECT_TRUE(sim::release_surface_dc(dc));
    EXPECT_EQ(GetPixel(dc, 0, 0), CLR_INVALID);
}

// Little-endian writers for building bitmaps and resource files in tests.
void put16(std::vector<unsigned char>& v, unsigned x) {
    v.push_back(x & 0xFF);
    v.push_back((x >> 8) & 0xFF);
}
void put32(std::vector<unsigned char>& v, std::uint32_t x) {
    put16(v, x & 0xFFFF);
    put16(v, x >> 16);
}

std::vector<unsigned char> dib_header(int w, int h, int bits, std::uint32_t compression,
                                      std::uint32_t colors) {
    std::vector<unsigned char> v;
    put32(v, 40);
    put32(v, static_cast<std::uint32_t>(w));
    put32(v, static_cast<std::uint32_t>(h));
    put16(v, 1);
    put16(v, bits);
    put32(v, compression);
    put32(v, 0);
    put32(v, 0);
    put32(v, 0);
    put32(v, colors);
    put32(v, 0);
    return v;
}

void put_color(std::vector<unsigned char>& v, std::uint32_t rgb) {
    v.push_back(rgb & 0xFF);
    v.push_back((rgb >> 8) & 0xFF);
    v.push_back((rgb >> 16) & 0xFF);
    v.push_back(0);
}

TEST(GdiDib, DecodesPalettedAndTrueColourBottomUpBitmaps) {
    // 3 x 2, 4 bits: bottom row first, rows padded to 4 bytes.
    auto v = dib_header(3, 2, 4, BI_RGB, 3);
    put_color(v, 0xFF0000);
    put_color(v, 0x00FF00);
    put_color(v, 0x0000FF);
    for (unsigned char b : {0x01, 0x20, 0x00, 0x00, 0x22, 0x10, 0x00, 0x00})
        v.push_back(b);
    sim::Surface s;
    std::string error;
    ASSERT_TRUE(sim::gdi::decode_dib(v, s, 1, &error, nullptr)) << error;
    EXPECT_EQ(s.at(0, 1), 0xFF0000u);
    EXPECT_EQ(s.at(1, 1), 0x00FF00u);
    EXPECT_EQ(s.at(2, 1), 0x0000FFu);
    EXPECT_EQ(s.at(0, 0), 0x0000FFu);
    EXPECT_EQ(s.at(2, 0), 0x00FF00u);

    auto t = dib_header(2, 1, 24, BI_RGB, 0);
    for (unsigned char b : {0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0x00, 0x00})
        t.push_back(b);
    ASSERT_TRUE(sim::gdi::decode_dib(t, s, 1, &error, nullptr)) << error;
    EXPECT_EQ(s.at(0, 0), 0x302010u);
    EXPECT_EQ(s.at(1, 0), 0x605040u);

    // 1 bit, 10 x 1: the bits run from the most significant; 8 bits top-down (negative height).
    auto m = dib_header(10, 1, 1, BI_RGB, 2);
    put_color(m, 0x000000);
    put_color(m, 0xFFFFFF);
    for (unsigned char b : {0xA0, 0x40, 0x00, 0x00})
        m.push_back(b);
    ASSERT_TRUE(sim::gdi::decode_dib(m, s, 1, &error, nullptr)) << error;
    std::string mono;
    for (int x = 0; x < 10; ++x)
        mono += s.at(x, 0) ? 'w' : 'b';
    EXPECT_EQ(mono, "wbwbbbbbbw");
    auto d = dib_header(1, -2, 8, BI_RGB, 3);
    put_color(d, 0x000000);
    put_color(d, 0x112233);
    put_color(d, 0x445566);
    for (unsigned char b : {1, 0, 0, 0, 2, 0, 0, 0})
        d.push_back(b);
    ASSERT_TRUE(sim::gdi::decode_dib(d, s, 1, &error, nullptr)) << error;
    EXPECT_EQ(s.at(0, 0), 0x112233u);
    EXPECT_EQ(s.at(0, 1), 0x445566u);

    // Run-length encoding: a run of three of colour 1, a literal of three padded to a word, a run of two,
    // end of bitmap.
    auto r = dib_header(8, 1, 8, BI_RLE8, 2);
    put_color(r, 0x000000);
    put_color(r, 0xFFFFFF);
    for (unsigned char b : {3, 1, 0, 3, 0, 1, 0, 0, 2, 1, 0, 1})
        r.push_back(b);
    ASSERT_TRUE(sim::gdi::decode_dib(r, s, 1, &error, nullptr)) << error;
    std::string decoded;
    for (int x = 0; x < 8; ++x)
        decoded += s.at(x, 0) ? 'w' : 'b';
    EXPECT_EQ(decoded, "wwwbwbww");
}

TEST(GdiDib, RejectsTruncatedAndHostileBitmaps) {
    sim::Surface s;
    auto good = dib_header(8, 8, 24, BI_RGB, 0);
    good.resize(good.size() + 8 * 24);
    EXPECT_TRUE(sim::gdi::decode_dib(good, s, 1, nullptr, nullptr));
    for (std::size_t cut :
         {std::size_t{0}, std::size_t{11}, std::size_t{39}, std::size_t{40}, good.size() - 1}) {
        std::vector<unsigned char> part(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(cut));
        EXPECT_FALSE(sim::gdi::decode_dib(part, s, 1, nullptr, nullptr)) << cut;
    }
    auto huge = dib_header(1 << 20, 1 << 20, 24, BI_RGB, 0);
    EXPECT_FALSE(sim::gdi::decode_dib(huge, s, 1, nullptr, nullptr));
    auto negative = dib_header(-4, 4, 24, BI_RGB, 0);
    EXPECT_FALSE(sim::gdi::decode_dib(negative, s, 1, nullptr, nullptr));
    auto odd_depth = dib_header(4, 4, 7, BI_RGB, 0);
    EXPECT_FALSE(sim::gdi::decode_dib(odd_depth, s, 1, nullptr, nullptr));
    auto many_colors = dib_header(4, 4, 8, BI_RGB, 0x7FFFFFFF);
    EXPECT_FALSE(sim::gdi::decode_dib(many_colors, s, 1, nullptr, nullptr));
    // A run-length stream that runs off its end stops without reading past it.
    auto rle = dib_header(4, 4, 8, BI_RLE8, 2);
    put_color(rle, 0);
    put_color(rle, 0xFFFFFF);
    for (unsigned char b : {0, 200, 1})
        rle.push_back(b);
    EXPECT_FALSE(sim::gdi::decode_dib(rle, s, 1, nullptr, nullptr));
}

// A .res image with one bitmap named NAME and one icon group of one 2 x 2 icon, id 1, named ICON.
std::vector<unsigned char> res_entry(std::uint16_t type, const std::u16string& name, std::uint16_t ordinal,
                                     const std::vector<unsigned char>& data) {
    std::vector<unsigned char> header;
    put16(header, 0xFFFF);
    put16(header, type);
    if (name.empty()) {
        put16(header, 0xFFFF);
        put16(header, ordinal);
    } else {
        for (char16_t c : name)
            put16(header, c);
        put16(header, 0);
    }
    while (header.size() % 4)
        header.push_back(0);
    put32(header, 0);
    put16(header, 0x30);
    put16(header, 0x0409);
    put32(header, 0);
    put32(header, 0);
    std::vector<unsigned char> v;
    put32(v, static_cast<std::uint32_t>(data.size()));
    put32(v, static_cast<std::uint32_t>(header.size() + 8));
    v.insert(v.end(), header.begin(), header.end());
    v.insert(v.end(), data.begin(), data.end());
    while (v.size() % 4)
        v.push_back(0);
    return v;
}

std::vector<unsigned char> icon_image() {
    // 2 x 2, 24 bits, height doubled for the mask; the mask makes the top-left pixel transparent.
    auto v = dib_header(2, 4, 24, BI_RGB, 0);
    for (int i = 0; i < 2; ++i)
        for (unsigned char b : {0x00, 0x00, 0xFF, 0x00, 0x00, 0xFF, 0x00, 0x00})
            v.push_back(b);
    for (unsigned char b : {0x00, 0x00, 0x00, 0x00, 0x80, 0x00, 0x00, 0x00})
        v.push_back(b);
    return v;
}

TEST(GdiResources, LoadBitmapAndLoadIconReadTheProgramsResources) {
    std::vector<unsigned char> res(32, 0);
    res[4] = 32; // the empty first entry: header size 32
    res[8] = res[9] = 0xFF;
    res[12] = res[13] = 0xFF;
    auto bitmap = dib_header(3, 2, 24, BI_RGB, 0);
    bitmap.resize(bitmap.size() + 2 * 12, 0x80);
    auto b = res_entry(2, u"COPW", 0, bitmap);
    res.insert(res.end(), b.begin(), b.end());
    auto icon = res_entry(3, u"", 1, icon_image());
    res.insert(res.end(), icon.begin(), icon.end());
    std::vector<unsigned char> group;
    put16(group, 0);
    put16(group, 1);
    put16(group, 1);
    for (unsigned char x : {2, 2, 0, 0})
        group.push_back(x);
    put16(group, 1);
    put16(group, 24);
    put32(group, static_cast<std::uint32_t>(icon_image().size()));
    put16(group, 1);
    auto g = res_entry(14, u"ICON", 0, group);
    res.insert(res.end(), g.begin(), g.end());
    std::string error;
    auto embedded = sim::program_resource_image(); // put back at the end for the tests that follow
    ASSERT_TRUE(sim::set_program_resources(res.data(), res.size(), &error)) << error;

    HINSTANCE self = reinterpret_cast<HINSTANCE>(0x400000);
    HBITMAP copw = LoadBitmapA(self, "copw");
    ASSERT_NE(copw, nullptr);
    BITMAP bm{};
    ASSERT_TRUE(GetObjectA(copw, sizeof bm, &bm));
    EXPECT_EQ(bm.bmWidth, 3);
    EXPECT_EQ(bm.bmHeight, 2);
    EXPECT_EQ(sim::bitmap_surface(copw)->at(0, 0), 0x808080u);
    EXPECT_EQ(LoadBitmapA(self, "MISSING"), nullptr);

    HICON h = LoadIconA(self, "ICON");
    ASSERT_NE(h, nullptr);
    Screen s(4, 4);
    ASSERT_TRUE(DrawIcon(s.dc, 1, 1, h));
    EXPECT_EQ(s.surface.at(1, 1), 0xFFFFFFu) << "masked out";
    EXPECT_EQ(s.surface.at(2, 1), 0xFF0000u);
    EXPECT_EQ(s.surface.at(1, 2), 0xFF0000u);
    EXPECT_TRUE(DestroyIcon(h));
    EXPECT_FALSE(DrawIcon(s.dc, 0, 0, h));
    DeleteObject(copw);
    sim::set_program_resources(embedded.data(), embedded.size(), nullptr);
}

fs::path temp_dir() {
    char tmpl[] = "/tmp/gdi-XXXXXX";
    EXPECT_NE(mkdtemp(tmpl), nullptr);
    return tmpl;
}

TEST(GdiPng, ScreenshotsRoundTripAndBadFilesAreRefused) {
    fs::path dir = temp_dir();
    sim::Surface s(7, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 7; ++x)
            s.set(x, y, static_cast<std::uint32_t>(x * 0x250000 + y * 0x4000 + x * y));
    std::string error;
    ASSERT_TRUE(sim::save_png(s, (dir / "a.png").string(), &error)) << error;
    sim::Surface back;
    ASSERT_TRUE(sim::load_png((dir / "a.png").string(), back, &error)) << error;
    EXPECT_EQ(back.width, 7);
    EXPECT_EQ(back.height, 3);
    EXPECT_EQ(back.pixels, s.pixels);

    std::string bytes;
    {
        std::ifstream in(dir / "a.png", std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::ofstream(dir / "cut.png", std::ios::binary) << bytes.substr(0, bytes.size() / 2);
    std::ofstream(dir / "junk.png", std::ios::binary) << "not a picture";
    EXPECT_FALSE(sim::load_png((dir / "cut.png").string(), back, &error));
    EXPECT_FALSE(sim::load_png((dir / "junk.png").string(), back, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(sim::save_png(s, (dir / "no" / "such" / "dir.png").string(), &error));
    EXPECT_FALSE(sim::save_png(sim::Surface(), (dir / "empty.png").string(), &error));
    fs::remove_all(dir);
}

// An interlaced grey-and-alpha PNG written with libpng directly: reading must undo the passes and
// the format.
void write_interlaced_gray_alpha(const std::string& path, int w, int h) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_init_io(png, f);
    png_set_IHDR(png, info, w, h, 8, PNG_COLOR_TYPE_GRAY_ALPHA, PNG_INTERLACE_ADAM7,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<std::vector<png_byte>> rows(h, std::vector<png_byte>(w * 2));
    std::vector<png_bytep> pointers;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            rows[y][x * 2] = static_cast<png_byte>(x * 16 + y);
            rows[y][x * 2 + 1] = 255;
        }
        pointers.push_back(rows[y].data());
    }
    png_write_image(png, pointers.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    std::fclose(f);
}

TEST(GdiPng, InterlacedAndGreyFilesReadAsRgb) {
    fs::path dir = temp_dir();
    write_interlaced_gray_alpha((dir / "i.png").string(), 9, 7);
    sim::Surface s;
    std::string error;
    ASSERT_TRUE(sim::load_png((dir / "i.png").string(), s, &error)) << error;
    ASSERT_EQ(s.width, 9);
    ASSERT_EQ(s.height, 7);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 9; ++x) {
            std::uint32_t g = static_cast<std::uint32_t>(x * 16 + y);
            ASSERT_EQ(s.at(x, y), (g << 16) | (g << 8) | g) << x << "," << y;
        }
    fs::remove_all(dir);
}

// The main window's gradient, a progress bar, a message with an icon, and every glyph of MS Sans Serif 8
// (Western, and Cyrillic from the added 1251 file) on a machine with its font files: written where
// GDI_SAMPLE_PNG says (docs/gdi-sample.png is made this way), else to a temporary file.
TEST(GdiPng, SamplePicture) {
    fs::path machine = temp_dir();
    std::string error;
    ASSERT_TRUE(sim::create_default_machine((machine / "m").string(), &error)) << error;
    ASSERT_TRUE(sim::attach((machine / "m").string(), "C:\\SAMPLE.EXE", "C:\\", &error)) << error;
    std::error_code ec;
    fs::copy_file("/usr/share/wine/fonts/sserifer.fon",
                  machine / "m" / "C" / "WINDOWS" / "FONTS" / "SSERIFER.FON", ec);
    AddFontResourceA("SSERIFER.FON");
    const int width = 640, height = 480;
    sim::Surface screen(width, height);
    HDC dc = sim::create_surface_dc(&screen, {0, 0}, {0, 0, width, height});
    int band = height / 48 + 1;
    for (int i = 0; i < 48; ++i) {
        HBRUSH b = CreateSolidBrush(RGB(0, 0, 255 - 5 * i));
        RECT r{0, i * band, width + 2, i * band + band};
        FillRect(dc, &r, b);
        DeleteObject(b);
    }
    RECT panel{40, 40, 600, 440};
    FillRect(dc, &panel, static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH)));
    SetBkColor(dc, RGB(192, 192, 192));
    Font bold(-13, FW_BOLD), dialog(-11), cyr(-11, FW_NORMAL, RUSSIAN_CHARSET);
    HGDIOBJ old = SelectObject(dc, bold.handle);
    TextOutA(dc, 60, 56, "File copying : TARNOFNT.FON", 27);
    SelectObject(dc, GetStockObject(BLACK_PEN));
    HBRUSH blue = CreateSolidBrush(PALETTERGB(0, 0, 255));
    Rectangle(dc, 60, 90, 400, 110);
    SelectObject(dc, blue);
    Rectangle(dc, 61, 91, 220, 109);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, PALETTERGB(255, 255, 255));
    TextOutA(dc, 180, 93, "45 %", 4);
    SetTextColor(dc, kBlack);
    SetBkMode(dc, OPAQUE);
    const char* ids[] = {IDI_HAND, IDI_QUESTION, IDI_EXCLAMATION, IDI_ASTERISK, IDI_APPLICATION};
    for (int i = 0; i < 5; ++i)
        DrawIcon(dc, 60 + i * 44, 130, LoadIconA(nullptr, ids[i]));
    RECT message{290, 126, 590, 212};
    DrawTextA(dc,
              "To have the ability to Uninstall you must select at least three installing components.\r\n"
              "Otherwise Uninstall will be disabled. &Continue?",
              -1, &message, DT_WORDBREAK);
    SelectObject(dc, dialog.handle);
    std::string ascii;
    for (int c = 0x20; c < 0x80; ++c)
        ascii += static_cast<char>(c);
    for (int line = 0; line < 3; ++line)
        TextOutA(dc, 60, 220 + line * 16, ascii.c_str() + line * 32, 32);
    std::string upper;
    for (int c = 0xA0; c < 0x100; ++c)
        upper += static_cast<char>(c);
    for (int line = 0; line < 3; ++line)
        TextOutA(dc, 60, 280 + line * 16, upper.c_str() + line * 32, 32);
    SelectObject(dc, cyr.handle);
    for (int line = 0; line < 3; ++line)
        TextOutA(dc, 60, 340 + line * 16, upper.c_str() + line * 32, 32);
    SelectObject(dc, GetStockObject(SYSTEM_FONT));
    TextOutA(dc, 60, 400, "System font: Setup requires Windows 95.", 39);
    SelectObject(dc, old);
    sim::release_surface_dc(dc);
    DeleteObject(blue);

    const char* target = std::getenv("GDI_SAMPLE_PNG");
    fs::path dir = target ? fs::path() : temp_dir();
    std::string path = target ? target : (dir / "sample.png").string();
    ASSERT_TRUE(sim::save_png(screen, path, &error)) << error;
    sim::Surface back;
    ASSERT_TRUE(sim::load_png(path, back, &error)) << error;
    EXPECT_EQ(back.pixels, screen.pixels);
    EXPECT_EQ(back.at(0, 0), 0x0000FFu);
    EXPECT_EQ(back.at(0, 479), RGB(0, 0, 0) | (255 - 5 * (479 / band)));
    if (!target) fs::remove_all(dir);
    sim::detach();
    fs::remove_all(machine);
}

} // namespace
