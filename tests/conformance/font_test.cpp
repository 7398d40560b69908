// Text in the screen fonts, which every dialog's layout rests on: the metrics and text extents of
// "MS Sans Serif" 8 (regular and emboldened) and of the system font, in English and, with the Cyrillic
// font files added for the test, in Cyrillic; the wrapping of a message; the dialog base units of a
// template with FONT 8, "MS Sans Serif"; AddFontResourceA and RemoveFontResourceA of a font file.
#include "tests/conformance/dialog_builder.h"
#include "tests/conformance/fixture.h"

#include <string>
#include <vector>

namespace {

// What a test measures: a string and its width.
struct Extent {
    const char* text;
    int width;
};

struct Metrics {
    int height, ascent, descent, internal_leading, avg_width, max_width, weight, overhang;
    int first, last, default_char, pitch_and_family, charset;
};

class Fonts : public Conformance {
  protected:
    void SetUp() override {
        Conformance::SetUp();
        dc_ = CreateCompatibleDC(nullptr);
    }
    void TearDown() override {
        DeleteDC(dc_);
        Conformance::TearDown();
    }

    static HFONT sans(int weight, BYTE charset) {
        return CreateFontA(-11, 0, 0, 0, weight, 0, 0, 0, charset, 0, 0, 0, 0, "MS Sans Serif");
    }

    void expect_metrics(HFONT font, const char* face, const Metrics& m) {
        HGDIOBJ old = SelectObject(dc_, font);
        TEXTMETRICA tm{};
        ASSERT_TRUE(GetTextMetricsA(dc_, &tm));
        char name[LF_FACESIZE] = "";
        GetTextFaceA(dc_, sizeof name, name);
        SelectObject(dc_, old);
        EXPECT_STREQ(name, face);
        Metrics got{tm.tmHeight,       tm.tmAscent,       tm.tmDescent,     tm.tmInternalLeading,
                    tm.tmAveCharWidth, tm.tmMaxCharWidth, tm.tmWeight,      tm.tmOverhang,
                    tm.tmFirstChar,    tm.tmLastChar,     tm.tmDefaultChar, tm.tmPitchAndFamily,
                    tm.tmCharSet};
        EXPECT_EQ(std::vector<int>(&got.height, &got.charset + 1),
                  std::vector<int>(&m.height, &m.charset + 1))
            << face
            << ": height, ascent, descent, internal leading, average and widest character, weight, "
               "overhang, first, last and default character, pitch and family, character set";
        EXPECT_EQ(tm.tmExternalLeading, 0);
        EXPECT_EQ(tm.tmDigitizedAspectX, 96);
        EXPECT_EQ(tm.tmDigitizedAspectY, 96);
    }

    void expect_extents(HFONT font, const std::vector<Extent>& extents) {
        HGDIOBJ old = SelectObject(dc_, font);
        TEXTMETRICA tm{};
        GetTextMetricsA(dc_, &tm);
        for (const Extent& e : extents) {
            SIZE size{};
            ASSERT_TRUE(GetTextExtentPoint32A(dc_, e.text, lstrlenA(e.text), &size));
            EXPECT_EQ(size.cx, e.width) << e.text;
            EXPECT_EQ(size.cy, tm.tmHeight) << e.text;
        }
        SelectObject(dc_, old);
    }

    HDC dc_ = nullptr;
};

const std::vector<Extent> kEnglishSans = {
    {"Welcome", 45},
    {"Install TARNO on your hard disk or server; or", 211},
    {"Continue", 42},
    {"Exit", 17},
    {"Browse...", 44},
    {"iiiii lllll", 23},
    {"WWWWW MMMMM", 103},
    {"0123456789", 60},
    {"The quick brown fox jumps over the lazy dog.", 214},
    {"\xC0\xE9\xF1\xFC\xD6", 33}, // Western accented letters
};

TEST_F(Fonts, MsSansSerif8) {
    HFONT font = sans(FW_NORMAL, DEFAULT_CHARSET);
    expect_metrics(font, "MS Sans Serif", {13, 11, 2, 2, 5, 11, 400, 0, 32, 255, 129, 0x21, ANSI_CHARSET});
    expect_extents(font, kEnglishSans);
    DeleteObject(font);
}

// The file has no bold face: every character is drawn twice, one pixel apart, and one pixel wider.
TEST_F(Fonts, MsSansSerif8Emboldened) {
    HFONT font = sans(FW_BOLD, ANSI_CHARSET);
    expect_metrics(font, "MS Sans Serif", {13, 11, 2, 2, 6, 12, 700, 1, 32, 255, 129, 0x21, ANSI_CHARSET});
    std::vector<Extent> bold;
    for (const Extent& e : kEnglishSans)
        bold.push_back({e.text, e.width + lstrlenA(e.text)});
    expect_extents(font, bold);
    DeleteObject(font);
}

TEST_F(Fonts, SystemFont) {
    HFONT font = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
    expect_metrics(font, "System", {16, 13, 3, 3, 7, 15, 700, 0, 32, 255, 128, 0x21, ANSI_CHARSET});
    expect_extents(font, {{"Welcome", 61},
                          {"Install TARNO on your hard disk or server; or", 291},
                          {"iiiii lllll", 44},
                          {"WWWWW MMMMM", 134},
                          {"0123456789", 80},
                          {"The quick brown fox jumps over the lazy dog.", 294}});
}

// The message dialog sizes itself so: bold 13-pixel characters, broken into lines within 320 pixels.
TEST_F(Fonts, AMessageWrapsAtTheSamePlaces) {
    HFONT font = CreateFontA(-13, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "MS Sans Serif");
    HGDIOBJ old = SelectObject(dc_, font);
    const char text[] =
        "To have the ability to Uninstall TARNO you must select at least three installing "
        "components: Program Files, Layouts and Fonts.\rOtherwise Uninstall will be disabled. "
        "Continue?";
    RECT r{0, 0, 320, 10};
    EXPECT_EQ(DrawTextA(dc_, text, -1, &r, DT_CALCRECT | DT_WORDBREAK), 6 * 16);
    EXPECT_EQ(r.right, 299); // the blank after "you" counts
    SelectObject(dc_, old);
    DeleteObject(font);
}

// Lines break before the word that does not fit; a blank that fits stays on the line, one blank at the
// break goes, further ones begin the next line; a word too wide stands alone. ("a" is 6 pixels wide, a
// blank 3.)
TEST_F(Fonts, WordBreaksAtBlanks) {
    HFONT font = sans(FW_NORMAL, ANSI_CHARSET);
    HGDIOBJ old = SelectObject(dc_, font);
    struct Case {
        const char* text;
        int width, right, lines;
    };
    for (const Case& c :
         {Case{"aaaa bbbb", 25, 24, 2}, Case{"aaaa   bbbb", 25, 24, 3}, Case{"aaaa   bbbb", 30, 30, 2},
          Case{"aaaa bbbb", 20, 24, 2}, Case{"aaaa bbbb cc", 45, 39, 2}, Case{"  aaaa bbbb", 20, 24, 3},
          Case{"aaaa\tbbbb", 20, 51, 1}, Case{"aaaa bbbb   ", 100, 60, 1}, Case{"aaaa     ", 10, 24, 2}}) {
        RECT r{0, 0, c.width, 10};
        EXPECT_EQ(DrawTextA(dc_, c.text, -1, &r, DT_CALCRECT | DT_WORDBREAK), 13 * c.lines)
            << c.text << " in " << c.width;
        EXPECT_EQ(r.right, c.right) << c.text << " in " << c.width;
    }
    SelectObject(dc_, old);
    DeleteObject(font);
}

TEST_F(Fonts, DialogBaseUnitsOfMsSansSerif8) {
    dlgtest::DialogBuilder b(WS_POPUP | WS_CAPTION, 0, 0, 100, 50, "Units");
    dlgtest::DialogRun run;
    run.body = [](HWND d) {
        RECT units{0, 0, 4, 8};
        ASSERT_TRUE(MapDialogRect(d, &units));
        EXPECT_EQ(units.right, 6);
        EXPECT_EQ(units.bottom, 13);
    };
    EXPECT_EQ(dlgtest::run_dialog(b, run), 77);
    // Without a template's font the system font's units serve.
    LONG system = GetDialogBaseUnits();
    EXPECT_EQ(LOWORD(system), 8);
    EXPECT_EQ(HIWORD(system), 16);
}

// Cyrillic text, in the 1251 versions of both fonts, added for the session and taken away again.
TEST_F(Fonts, CyrillicMsSansSerif8AndSystemFont) {
    std::string sans_file = font_file("sserifer.fon"), system_file = font_file("vgasysr.fon");
    if (sans_file.empty() || system_file.empty()) GTEST_SKIP() << "the Cyrillic font files are not here";
    ASSERT_EQ(AddFontResourceA(sans_file.c_str()), 3);
    ASSERT_EQ(AddFontResourceA(system_file.c_str()), 1);
    const char welcome[] =
        "\xC4\xEE\xE1\xF0\xEE \xEF\xEE\xE6\xE0\xEB\xEE\xE2\xE0\xF2\xFC"; // Добро пожаловать
    const char setup[] = "\xD3\xF1\xF2\xE0\xED\xEE\xE2\xEA\xE0 \xD2\xC0\xD0\xCD\xCE"; // Установка ТАРНО
    const char capitals[] = "\xC0\xC1\xC2\xC3\xC4\xC5\xA8\xC6\xC7\xC8\xC9\xCA\xCB\xCC\xCD\xCE\xCF\xD0\xD1\xD2"
                            "\xD3\xD4\xD5\xD6\xD7\xD8\xD9\xDA\xDB\xDC\xDD\xDE\xDF";
    const char small[] = "\xE0\xE1\xE2\xE3\xE4\xE5\xB8\xE6\xE7\xE8\xE9\xEA\xEB\xEC\xED\xEE\xEF\xF0\xF1\xF2"
                         "\xF3\xF4\xF5\xF6\xF7\xF8\xF9\xFA\xFB\xFC\xFD\xFE\xFF";
    const char ukrainian[] = "\xAA\xBA \xAF\xBF \xB2\xB3 \xA5\xB4"; // Єє Її Іі Ґґ

    HFONT font = sans(FW_NORMAL, RUSSIAN_CHARSET);
    expect_metrics(font, "MS Sans Serif", {13, 11, 2, 2, 5, 13, 400, 0, 32, 255, 127, 0x21, RUSSIAN_CHARSET});
    expect_extents(font, {{welcome, 97}, {setup, 95}, {capitals, 263}, {small, 209}, {ukrainian, 43}});
    DeleteObject(font);

    HFONT system = CreateFontA(16, 0, 0, 0, FW_BOLD, 0, 0, 0, RUSSIAN_CHARSET, 0, 0, 0, 0, "System");
    expect_metrics(system, "System", {16, 13, 3, 3, 7, 16, 700, 0, 32, 255, 128, 0x21, RUSSIAN_CHARSET});
    expect_extents(system, {{welcome, 127}, {setup, 118}, {capitals, 332}, {small, 277}, {ukrainian, 58}});
    DeleteObject(system);

    EXPECT_TRUE(RemoveFontResourceA(sans_file.c_str()));
    EXPECT_TRUE(RemoveFontResourceA(system_file.c_str()));
    // Another size than before: Wine departs from Windows in still handing out a font made before the
    // removal.
    font = CreateFontA(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, RUSSIAN_CHARSET, 0, 0, 0, 0, "MS Sans Serif");
    SelectObject(dc_, font);
    TEXTMETRICA tm{};
    GetTextMetricsA(dc_, &tm);
    char name[LF_FACESIZE] = "";
    GetTextFaceA(dc_, sizeof name, name);
    SelectObject(dc_, GetStockObject(SYSTEM_FONT));
    DeleteObject(font);
    EXPECT_FALSE(tm.tmCharSet == RUSSIAN_CHARSET && lstrcmpA(name, "MS Sans Serif") == 0)
        << "the Cyrillic MS Sans Serif is gone once its file is removed";
}

} // namespace
