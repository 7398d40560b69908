// Bitmap font files and the session's fonts: the reader (both FNT versions, .FON files with and without a
// FONTDIR, damaged files), the fonts a machine loads at start-up, AddFontResourceA and RemoveFontResourceA,
// and how a LOGFONT is matched to a face: size, emboldening, character set, the built-in fallback.
#include "platform/sim/gdi/fon.h"
#include "platform/sim/gdi/internal.h"
#include "tests/unit/fnt_builder.h"
#include "tests/unit/sim_fixture.h"

#include <cstdlib>
#include <cstring>

namespace {

std::span<const std::uint8_t> bytes(const std::string& s) {
    return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

fnt::FontDef font_def(int height, const char* face = "Test Sans", int charset = 0) {
    fnt::FontDef s;
    s.face = face;
    s.height = height;
    s.ascent = height - 2;
    s.internal_leading = height / 10;
    s.charset = charset;
    return s;
}

TEST(FontFile, ReadsBothVersionsAndTheFontsOfAFonFile) {
    fnt::FontDef v2 = font_def(10);
    v2.version = 0x200;
    fnt::FontDef v3 = font_def(20);
    std::vector<sim::gdi::FntFont> fonts;
    std::string error;
    ASSERT_TRUE(sim::gdi::parse_font_file(bytes(fnt::build_fon({fnt::build_fnt(v2), fnt::build_fnt(v3)})),
                                          fonts, &error))
        << error;
    ASSERT_EQ(fonts.size(), 2u);
    EXPECT_EQ(fonts[0].version, 0x200);
    EXPECT_EQ(fonts[1].version, 0x300);
    EXPECT_EQ(fonts[0].face, "Test Sans");
    EXPECT_EQ(fonts[1].pix_height, 20);
    EXPECT_EQ(fonts[1].ascent, 18);
    EXPECT_EQ(fonts[0].default_char, '?');
    EXPECT_EQ(fonts[0].break_char, ' ');
    // 'A' (65) is 3 + 65 % 3 = 5 wide; an "L": first column and baseline row inked.
    const auto& a = fonts[0].glyph('A');
    EXPECT_EQ(a.width, 5);
    const std::uint8_t* rows = fonts[0].rows(a);
    EXPECT_EQ(std::string(rows, rows + 5), std::string("\1\0\0\0\0", 5));
    EXPECT_EQ(std::string(rows + 7 * 5, rows + 8 * 5), std::string(5, '\1'));
    // Characters outside the font take the default one.
    EXPECT_EQ(&fonts[0].glyph(200), &fonts[0].glyph('?'));

    // Without a FONTDIR the FONT resources still count; a bare FNT is one font.
    ASSERT_TRUE(sim::gdi::parse_font_file(bytes(fnt::build_fon({fnt::build_fnt(v3)}, false)), fonts, &error));
    EXPECT_EQ(fonts.size(), 1u);
    ASSERT_TRUE(sim::gdi::parse_font_file(bytes(fnt::build_fnt(v2)), fonts, &error));
    EXPECT_EQ(fonts.size(), 1u);
}

TEST(FontFile, DamagedFilesAreRefusedNeverReadOutside) {
    std::string good = fnt::build_fon({fnt::build_fnt(font_def(10)), fnt::build_fnt(font_def(13))});
    std::vector<sim::gdi::FntFont> fonts;
    // Every cut-short copy either reads or is refused (the sanitizers watch every byte read).
    for (std::size_t n = 0; n < good.size(); ++n)
        sim::gdi::parse_font_file(bytes(good.substr(0, n)), fonts, nullptr);
    // Every byte of the headers set to its extremes.
    for (std::size_t at = 0; at < 0x120 && at < good.size(); ++at)
        for (char v : {'\0', '\xFF', '\x7F'}) {
            std::string bad = good;
            bad[at] = v;
            sim::gdi::parse_font_file(bytes(bad), fonts, nullptr);
        }
    struct Case {
        int offset;
        unsigned value;
        const char* reason;
    };
    for (const Case& c :
         {Case{0, 0x100, "version"}, Case{66, 1, "vector"}, Case{88, 0, "height"},
          Case{95, 200, "first character"}, Case{148, 600, "width"}, Case{150, 0xFFFF, "outside"}}) {
        std::string fnt = fnt::build_fnt(font_def(10));
        fnt::put16(fnt, static_cast<std::size_t>(c.offset), c.value);
        if (c.offset == 95) fnt[95] = static_cast<char>(c.value);
        std::string error;
        EXPECT_FALSE(sim::gdi::parse_font_file(bytes(fnt), fonts, &error)) << c.reason;
        EXPECT_NE(error.find(c.reason), std::string::npos) << error;
    }
    EXPECT_FALSE(sim::gdi::parse_font_file(bytes("MZ not a module"), fonts, nullptr));
}

class MachineFonts : public SimMachine {
  protected:
    // Writes a font file into the machine; NAME is a path under the machine folder.
    void put(const std::string& relative, const std::string& data) {
        ASSERT_TRUE(sim::write_host_file(host(relative), data));
    }
    void restart() {
        std::string error;
        sim::detach();
        ASSERT_TRUE(sim::attach(root, "C:\\SETUP.EXE", "C:\\", &error)) << error;
    }
    static TEXTMETRICA metrics(HFONT font, std::string* face = nullptr) {
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, font);
        TEXTMETRICA tm{};
        GetTextMetricsA(dc, &tm);
        char name[LF_FACESIZE] = "";
        GetTextFaceA(dc, sizeof name, name);
        if (face) *face = name;
        SelectObject(dc, old);
        DeleteDC(dc);
        return tm;
    }
    static HFONT font(int height, int weight = FW_NORMAL, int charset = DEFAULT_CHARSET,
                      const char* face = "Test Sans") {
        return CreateFontA(height, 0, 0, 0, weight, 0, 0, 0, static_cast<DWORD>(charset), 0, 0, 0, 0, face);
    }
};

TEST_F(MachineFonts, SizesEmboldeningAndCharacterSetsAreChosenAsWindowsDoes) {
    put("C/WINDOWS/TEST.FON", fnt::build_fon({fnt::build_fnt(font_def(10)), fnt::build_fnt(font_def(20))}));
    put("C/WINDOWS/CYR.FON", fnt::build_fon({fnt::build_fnt(font_def(12, "Other", RUSSIAN_CHARSET))}));
    ASSERT_EQ(AddFontResourceA("C:\\WINDOWS\\TEST.FON"), 2);
    ASSERT_EQ(AddFontResourceA("C:\\WINDOWS\\CYR.FON"), 1);
    struct Case {
        int height, cell;
    };
    // The largest face not taller than asked (cell height when positive, character height when
    // negative), else the smallest; a face far too small is enlarged by a whole factor (19: the
    // 10-pixel face doubled).
    for (const Case& c : {Case{0, 10}, Case{-9, 10}, Case{10, 10}, Case{19, 20}, Case{-18, 20}, Case{5, 10},
                          Case{-30, 20}, Case{-40, 40}, Case{100, 100}}) {
        HFONT f = font(c.height);
        EXPECT_EQ(metrics(f).tmHeight, c.cell) << c.height;
        DeleteObject(f);
    }
    // No bold face: one pixel wider, each character drawn twice.
    HFONT bold = font(10, FW_BOLD);
    TEXTMETRICA tm = metrics(bold);
    EXPECT_EQ(tm.tmWeight, FW_BOLD);
    EXPECT_EQ(tm.tmOverhang, 1);
    sim::Surface surface(40, 12, 0xFFFFFF);
    HDC dc = sim::create_surface_dc(&surface, {0, 0}, {0, 0, 40, 12});
    HGDIOBJ old = SelectObject(dc, bold);
    SIZE size;
    GetTextExtentPoint32A(dc, "AB", 2, &size);
    EXPECT_EQ(size.cx, 5 + 3 + 2); // 'A' 5, 'B' 3, one more each
    TextOutA(dc, 0, 0, "A", 1);
    EXPECT_EQ(surface.at(0, 0), 0u);
    EXPECT_EQ(surface.at(1, 0), 0u);
    EXPECT_EQ(surface.at(2, 0), 0xFFFFFFu);
    EXPECT_EQ(surface.at(5, 7), 0u); // the baseline row reaches the emboldened last column
    SelectObject(dc, old);
    sim::release_surface_dc(dc);
    DeleteObject(bold);

    // A character set weighs more than the name; any set will do for DEFAULT_CHARSET on a machine
    // whose own set no face of that name has.
    std::string face;
    HFONT cyrillic = font(10, FW_NORMAL, RUSSIAN_CHARSET);
    EXPECT_EQ(metrics(cyrillic, &face).tmCharSet, RUSSIAN_CHARSET);
    EXPECT_EQ(face, "Other");
    DeleteObject(cyrillic);
    use_codepage(1251);
    HFONT deflt = font(10, FW_NORMAL, DEFAULT_CHARSET, "Test Sans");
    EXPECT_EQ(metrics(deflt, &face).tmCharSet, ANSI_CHARSET);
    EXPECT_EQ(face, "Test Sans");
    DeleteObject(deflt);
    // An unknown face becomes MS Sans Serif; a substitute is followed.
    HFONT unknown = font(-11, FW_NORMAL, ANSI_CHARSET, "No Such Face");
    HFONT helv = font(-11, FW_NORMAL, ANSI_CHARSET, "Helv");
    EXPECT_EQ(metrics(unknown, &face).tmHeight, 13);
    EXPECT_EQ(face, "MS Sans Serif");
    metrics(helv, &face);
    EXPECT_EQ(face, "MS Sans Serif");
    DeleteObject(unknown);
    DeleteObject(helv);
}

TEST_F(MachineFonts, AddedFontsStayForTheSessionUntilRemoved) {
    put("C/WINDOWS/SYSTEM/TEST.FNT", fnt::build_fnt(font_def(10)));
    put("C/WINDOWS/SYSTEM/BROKEN.FON", "MZ, but no font in it");
    EXPECT_EQ(AddFontResourceA("BROKEN.FON"), 0);
    EXPECT_EQ(AddFontResourceA("TEST.FNT"), 1);
    HFONT f = font(10);
    std::string face;
    metrics(f, &face);
    EXPECT_EQ(face, "Test Sans");
    restart(); // another program of the same session
    metrics(f, &face);
    EXPECT_EQ(face, "Test Sans");
    EXPECT_TRUE(RemoveFontResourceA("TEST.FNT"));
    metrics(f, &face);
    EXPECT_EQ(face, "MS Sans Serif");
    DeleteObject(f);
}

// The display settings of the current configuration name the start-up fonts; SYSTEM.INI [boot] serves where
// they name none.
TEST_F(MachineFonts, TheSystemFontIsTheBootFileOfWhenTheProgramStarted) {
    HFONT system = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
    EXPECT_EQ(sim::font_metrics(system).height, 16);
    EXPECT_EQ(sim::dialog_base_units(nullptr).cx, 8);
    put("C/WINDOWS/SYSTEM/BIGSYS.FON", fnt::build_fon({fnt::build_fnt(font_def(20, "System"))}));
    put("C/WINDOWS/SYSTEM/MIDSYS.FON", fnt::build_fon({fnt::build_fnt(font_def(18, "System"))}));
    WritePrivateProfileStringA("boot", "fonts.fon", "bigsys.fon", "C:\\WINDOWS\\SYSTEM.INI");
    auto setDisplayFont = [](const char* file) {
        HKEY display;
        ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_CONFIG, "Display\\Settings", 0, KEY_ALL_ACCESS, &display),
                  ERROR_SUCCESS);
        if (file)
            RegSetValueExA(display, "fonts.fon", 0, REG_SZ, reinterpret_cast<const BYTE*>(file),
                           static_cast<DWORD>(std::strlen(file) + 1));
        else
            RegDeleteValueA(display, "fonts.fon");
        RegCloseKey(display);
    };
    setDisplayFont("midsys.fon");
    EXPECT_EQ(sim::font_metrics(system).height, 16);
    restart();
    EXPECT_EQ(sim::font_metrics(system).height, 18);
    EXPECT_EQ(sim::font_metrics(nullptr).height, 18);
    setDisplayFont(nullptr);
    restart();
    EXPECT_EQ(sim::font_metrics(system).height, 20);
}

TEST(MachineFontFiles, ACyrillicMachineHasTheCyrillicFontsAndOneWithoutFilesTheBuiltInFont) {
    char tmpl[] = "/tmp/fonts-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    std::string root = tmpl, error;
    ASSERT_TRUE(sim::create_default_machine(root + "/ru", &error, 1251)) << error;
    ASSERT_TRUE(sim::attach(root + "/ru", "C:\\SETUP.EXE", "C:\\", &error)) << error;
    char boot[32];
    GetPrivateProfileStringA("boot", "fonts.fon", "", boot, sizeof boot, "C:\\WINDOWS\\SYSTEM.INI");
    EXPECT_STREQ(boot, "vgasysr.fon");
    HDC dc = CreateCompatibleDC(nullptr);
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    EXPECT_EQ(tm.tmCharSet, RUSSIAN_CHARSET) << "the system font";
    HFONT sans = CreateFontA(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "MS Sans Serif");
    SelectObject(dc, sans);
    GetTextMetricsA(dc, &tm);
    EXPECT_EQ(tm.tmCharSet, RUSSIAN_CHARSET);
    EXPECT_EQ(tm.tmHeight, 13);
    SelectObject(dc, GetStockObject(SYSTEM_FONT));
    DeleteObject(sans);
    DeleteDC(dc);
    sim::detach();

    setenv("WIN95SIM_FONTS", (root + "/none").c_str(), 1);
    bool made = sim::create_default_machine(root + "/bare", &error);
    unsetenv("WIN95SIM_FONTS");
    ASSERT_TRUE(made) << error;
    ASSERT_TRUE(sim::attach(root + "/bare", "C:\\SETUP.EXE", "C:\\", &error)) << error;
    HFONT dialog = CreateFontA(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "MS Sans Serif");
    EXPECT_EQ(sim::font_metrics(dialog).avg_char_width, 6) << "the built-in font's rule";
    EXPECT_EQ(sim::text_width(dialog, "iiii"), 24);
    DeleteObject(dialog);
    sim::detach();
    std::filesystem::remove_all(root);
}

} // namespace
