// Drawing into memory DCs: what the product's painting relies on and that does not depend on the fonts
// of the system (rectangles, lines, pixels, block transfers, object selection and queries, colours, and
// the invariants of DrawTextA's measuring).
#include "tests/conformance/fixture.h"

#include <cstring>
#include <string>

namespace {

// The structures have the layout of 64-bit Windows on both platforms.
static_assert(sizeof(BITMAP) == 32);
static_assert(sizeof(BITMAPINFOHEADER) == 40);
static_assert(sizeof(RGBQUAD) == 4);
static_assert(sizeof(LOGFONTA) == 60);
static_assert(sizeof(TEXTMETRICA) == 56);
static_assert(sizeof(LOGBRUSH) == 16);
static_assert(sizeof(LOGPEN) == 16);

// A memory DC with a 32-bit colour bitmap selected, cleared to one colour.
class Canvas {
  public:
    Canvas(int width, int height, COLORREF fill = RGB(0, 128, 0)) {
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateBitmap(width, height, 1, 32, nullptr);
        previous_ = SelectObject(dc_, bitmap_);
        RECT all{0, 0, width, height};
        HBRUSH brush = CreateSolidBrush(fill);
        FillRect(dc_, &all, brush);
        DeleteObject(brush);
    }
    ~Canvas() {
        SelectObject(dc_, previous_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC dc() const { return dc_; }
    HBITMAP bitmap() const { return bitmap_; }
    COLORREF at(int x, int y) const { return GetPixel(dc_, x, y); }

  private:
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ previous_;
};

constexpr COLORREF kGreen = RGB(0, 128, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

class Gdi : public Conformance {};

TEST_F(Gdi, MemoryDcStartsWithAOnePixelMonochromeBitmapAndColourBitmapsReportTheirShape) {
    HDC dc = CreateCompatibleDC(nullptr);
    ASSERT_NE(dc, nullptr);
    BITMAP bm{};
    HGDIOBJ initial = GetCurrentObject(dc, OBJ_BITMAP);
    ASSERT_EQ(GetObjectA(initial, sizeof bm, &bm), static_cast<int>(sizeof bm));
    EXPECT_EQ(bm.bmWidth, 1);
    EXPECT_EQ(bm.bmHeight, 1);
    EXPECT_EQ(bm.bmBitsPixel, 1);

    // A bitmap compatible with that DC is monochrome too.
    HBITMAP mono = CreateCompatibleBitmap(dc, 10, 4);
    ASSERT_EQ(GetObjectA(mono, sizeof bm, &bm), static_cast<int>(sizeof bm));
    EXPECT_EQ(bm.bmBitsPixel, 1);
    EXPECT_EQ(bm.bmWidthBytes, 2);

    HBITMAP colour = CreateBitmap(13, 7, 1, 32, nullptr);
    ASSERT_EQ(GetObjectA(colour, sizeof bm, &bm), static_cast<int>(sizeof bm));
    EXPECT_EQ(bm.bmWidth, 13);
    EXPECT_EQ(bm.bmHeight, 7);
    EXPECT_EQ(bm.bmBitsPixel, 32);
    EXPECT_EQ(bm.bmWidthBytes, 52);
    EXPECT_EQ(bm.bmPlanes, 1);
    EXPECT_EQ(GetObjectA(colour, 0, nullptr), static_cast<int>(sizeof(BITMAP)));

    // Selecting returns the previous bitmap; selecting it back returns ours.
    EXPECT_EQ(SelectObject(dc, colour), initial);
    EXPECT_EQ(SelectObject(dc, initial), colour);
    EXPECT_TRUE(DeleteObject(colour));
    EXPECT_TRUE(DeleteObject(mono));
    EXPECT_TRUE(DeleteDC(dc));
}

TEST_F(Gdi, ABitmapGoesIntoOneMemoryDcAtATime) {
    HDC a = CreateCompatibleDC(nullptr);
    HDC b = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateBitmap(4, 4, 1, 32, nullptr);
    HGDIOBJ old_a = SelectObject(a, bitmap);
    ASSERT_NE(old_a, nullptr);
    EXPECT_EQ(SelectObject(b, bitmap), nullptr);
    SelectObject(a, old_a);
    HGDIOBJ old_b = SelectObject(b, bitmap);
    EXPECT_NE(old_b, nullptr);
    SelectObject(b, old_b);
    DeleteObject(bitmap);
    DeleteDC(a);
    DeleteDC(b);
}

TEST_F(Gdi, SelectObjectReturnsThePreviousObjectOfEachKind) {
    Canvas c(4, 4);
    HPEN pen = CreatePen(PS_SOLID, 1, kRed);
    HBRUSH brush = CreateSolidBrush(kBlue);
    HGDIOBJ old_pen = SelectObject(c.dc(), pen);
    HGDIOBJ old_brush = SelectObject(c.dc(), brush);
    EXPECT_EQ(old_pen, GetStockObject(BLACK_PEN));
    EXPECT_EQ(old_brush, GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(SelectObject(c.dc(), old_pen), pen);
    EXPECT_EQ(SelectObject(c.dc(), old_brush), brush);
    EXPECT_EQ(GetCurrentObject(c.dc(), OBJ_FONT), GetStockObject(SYSTEM_FONT));
    EXPECT_TRUE(DeleteObject(pen));
    EXPECT_TRUE(DeleteObject(brush));
}

TEST_F(Gdi, WrongOrStaleHandlesFailWithoutHarm) {
    Canvas c(4, 4);
    HBRUSH brush = CreateSolidBrush(kRed);
    ASSERT_TRUE(DeleteObject(brush));
    EXPECT_FALSE(DeleteObject(brush));
    EXPECT_EQ(SelectObject(c.dc(), brush), nullptr);
    EXPECT_EQ(SelectObject(c.dc(), nullptr), nullptr);
    EXPECT_EQ(GetObjectA(brush, sizeof(LOGBRUSH), nullptr), 0);
    // A DC is not an object to select, and a bitmap is not a DC.
    EXPECT_EQ(SelectObject(c.dc(), reinterpret_cast<HGDIOBJ>(c.dc())), nullptr);
    EXPECT_EQ(GetPixel(reinterpret_cast<HDC>(c.bitmap()), 0, 0), CLR_INVALID);
    EXPECT_FALSE(Rectangle(nullptr, 0, 0, 2, 2));
    // Stock objects survive deletion.
    HGDIOBJ white = GetStockObject(WHITE_BRUSH);
    EXPECT_TRUE(DeleteObject(white));
    RECT r{0, 0, 2, 2};
    EXPECT_TRUE(FillRect(c.dc(), &r, static_cast<HBRUSH>(white)));
    EXPECT_EQ(c.at(1, 1), kWhite);
}

TEST_F(Gdi, AnObjectStillSelectedKeepsDrawingWhenItsDeletionIsAsked) {
    Canvas c(4, 4);
    HBRUSH brush = CreateSolidBrush(kRed);
    HGDIOBJ old = SelectObject(c.dc(), brush);
    BOOL deleted = DeleteObject(brush);
    // Windows 95 refuses the deletion; Wine (like later Windows) defers it until the brush is deselected.
    if (on_simulator()) {
        EXPECT_FALSE(deleted);
    }
    EXPECT_TRUE(PatBlt(c.dc(), 0, 0, 4, 4, PATCOPY));
    EXPECT_EQ(c.at(2, 2), kRed);
    SelectObject(c.dc(), old);
    if (!deleted) {
        EXPECT_TRUE(DeleteObject(brush));
    }
}

TEST_F(Gdi, FillRectAndFrameRectCoverRightAndBottomExclusive) {
    Canvas c(10, 10);
    HBRUSH red = CreateSolidBrush(kRed);
    RECT r{2, 3, 6, 8};
    EXPECT_TRUE(FillRect(c.dc(), &r, red));
    EXPECT_EQ(c.at(2, 3), kRed);
    EXPECT_EQ(c.at(5, 7), kRed);
    EXPECT_EQ(c.at(6, 7), kGreen);
    EXPECT_EQ(c.at(5, 8), kGreen);
    EXPECT_EQ(c.at(1, 3), kGreen);

    HBRUSH blue = CreateSolidBrush(kBlue);
    RECT f{1, 1, 9, 9};
    EXPECT_TRUE(FrameRect(c.dc(), &f, blue));
    EXPECT_EQ(c.at(1, 1), kBlue);
    EXPECT_EQ(c.at(8, 8), kBlue);
    EXPECT_EQ(c.at(8, 4), kBlue);
    EXPECT_EQ(c.at(9, 9), kGreen);
    EXPECT_EQ(c.at(3, 4), kRed); // inside untouched

    // A system colour index + 1 stands for that colour's brush.
    RECT s{0, 0, 1, 1};
    EXPECT_TRUE(FillRect(c.dc(), &s, reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOWTEXT + 1))));
    EXPECT_EQ(c.at(0, 0), GetSysColor(COLOR_WINDOWTEXT));
    DeleteObject(red);
    DeleteObject(blue);
}

TEST_F(Gdi, RectangleOutlinesWithThePenAndFillsWithTheBrush) {
    Canvas c(12, 12);
    HPEN pen = CreatePen(PS_SOLID, 1, kBlack);
    HBRUSH brush = CreateSolidBrush(kRed);
    HGDIOBJ old_pen = SelectObject(c.dc(), pen);
    HGDIOBJ old_brush = SelectObject(c.dc(), brush);
    EXPECT_TRUE(Rectangle(c.dc(), 2, 2, 8, 6));
    EXPECT_EQ(c.at(2, 2), kBlack);
    EXPECT_EQ(c.at(7, 5), kBlack);
    EXPECT_EQ(c.at(7, 3), kBlack);
    EXPECT_EQ(c.at(4, 5), kBlack);
    EXPECT_EQ(c.at(3, 3), kRed);
    EXPECT_EQ(c.at(6, 4), kRed);
    EXPECT_EQ(c.at(8, 6), kGreen);
    EXPECT_EQ(c.at(8, 3), kGreen);

    // Without a pen the interior ends one pixel short of the right and bottom edges.
    SelectObject(c.dc(), GetStockObject(NULL_PEN));
    EXPECT_TRUE(Rectangle(c.dc(), 2, 8, 6, 11));
    EXPECT_EQ(c.at(2, 8), kRed);
    EXPECT_EQ(c.at(4, 9), kRed);
    EXPECT_EQ(c.at(5, 9), kGreen);
    EXPECT_EQ(c.at(4, 10), kGreen);

    // A hollow brush leaves the inside alone.
    SelectObject(c.dc(), pen);
    SelectObject(c.dc(), GetStockObject(NULL_BRUSH));
    EXPECT_TRUE(Rectangle(c.dc(), 0, 0, 12, 12));
    EXPECT_EQ(c.at(0, 11), kBlack);
    EXPECT_EQ(c.at(3, 3), kRed);

    SelectObject(c.dc(), old_pen);
    SelectObject(c.dc(), old_brush);
    DeleteObject(pen);
    DeleteObject(brush);
}

TEST_F(Gdi, AWidePenIsCentredOnTheOutlineUnlessItIsAnInsideFrame) {
    // Rows through the middle of Rectangle(3, 3, 12, 12) with a 3-pixel pen (the corners are left out:
    // their shape differs between implementations).
    struct Case {
        int style;
        const char* row;
        const char* column;
    } cases[] = {{PS_SOLID, "..###rrrrr###...", "..###rrrrr###..."},
                 {PS_INSIDEFRAME, "...###rrr###....", "...###rrr###...."}};
    for (const Case& k : cases) {
        Canvas c(16, 16);
        HPEN pen = CreatePen(k.style, 3, kBlack);
        HBRUSH brush = CreateSolidBrush(kRed);
        HGDIOBJ old_pen = SelectObject(c.dc(), pen);
        HGDIOBJ old_brush = SelectObject(c.dc(), brush);
        ASSERT_TRUE(Rectangle(c.dc(), 3, 3, 12, 12));
        std::string row, column;
        for (int i = 0; i < 16; ++i) {
            auto mark = [](COLORREF p) { return p == kBlack ? '#' : p == kRed ? 'r' : '.'; };
            row += mark(c.at(i, 7));
            column += mark(c.at(7, i));
        }
        EXPECT_EQ(row, k.row) << k.style;
        EXPECT_EQ(column, k.column) << k.style;
        SelectObject(c.dc(), old_pen);
        SelectObject(c.dc(), old_brush);
        DeleteObject(pen);
        DeleteObject(brush);
    }
}

TEST_F(Gdi, LineToDrawsUpToButNotIncludingItsEndAndMovesThePosition) {
    Canvas c(10, 10);
    HPEN pen = CreatePen(PS_SOLID, 1, kBlue);
    HGDIOBJ old = SelectObject(c.dc(), pen);
    POINT previous{-1, -1};
    EXPECT_TRUE(MoveToEx(c.dc(), 1, 2, &previous));
    EXPECT_EQ(previous.x, 0);
    EXPECT_EQ(previous.y, 0);
    EXPECT_TRUE(LineTo(c.dc(), 6, 2));
    EXPECT_EQ(c.at(1, 2), kBlue);
    EXPECT_EQ(c.at(5, 2), kBlue);
    EXPECT_EQ(c.at(6, 2), kGreen);
    EXPECT_TRUE(LineTo(c.dc(), 6, 7));
    EXPECT_EQ(c.at(6, 2), kBlue);
    EXPECT_EQ(c.at(6, 6), kBlue);
    EXPECT_EQ(c.at(6, 7), kGreen);
    // A diagonal passes through every step.
    MoveToEx(c.dc(), 0, 9, nullptr);
    LineTo(c.dc(), 4, 5);
    EXPECT_EQ(c.at(0, 9), kBlue);
    EXPECT_EQ(c.at(2, 7), kBlue);
    EXPECT_EQ(c.at(3, 6), kBlue);
    EXPECT_EQ(c.at(4, 5), kGreen);
    SelectObject(c.dc(), old);
    DeleteObject(pen);
}

TEST_F(Gdi, PixelsOutsideTheBitmapAreNeitherSetNorRead) {
    Canvas c(5, 5);
    EXPECT_EQ(SetPixel(c.dc(), 4, 4, kRed), kRed);
    EXPECT_EQ(c.at(4, 4), kRed);
    // Windows answers -1 for a point outside the clip; Wine answers the colour and sets nothing.
    if (on_simulator()) {
        EXPECT_EQ(SetPixel(c.dc(), 5, 0, kRed), CLR_INVALID);
        EXPECT_EQ(SetPixel(c.dc(), -1, 0, kRed), CLR_INVALID);
    }
    EXPECT_EQ(c.at(5, 0), CLR_INVALID);
    EXPECT_EQ(c.at(0, -1), CLR_INVALID);
    // Shapes partly outside are clipped at the edges.
    HBRUSH blue = CreateSolidBrush(kBlue);
    RECT r{-3, -3, 2, 2};
    EXPECT_TRUE(FillRect(c.dc(), &r, blue));
    EXPECT_EQ(c.at(0, 0), kBlue);
    EXPECT_EQ(c.at(1, 1), kBlue);
    EXPECT_EQ(c.at(2, 2), kGreen);
    DeleteObject(blue);
}

TEST_F(Gdi, PaletteRelativeColoursDrawTheirRgbPart) {
    Canvas c(4, 4);
    HBRUSH brush = CreateSolidBrush(PALETTERGB(0, 0, 255));
    RECT r{0, 0, 4, 4};
    FillRect(c.dc(), &r, brush);
    EXPECT_EQ(c.at(1, 1), kBlue);
    HPEN pen = CreatePen(PS_SOLID, 1, PALETTERGB(255, 0, 0));
    HGDIOBJ old = SelectObject(c.dc(), pen);
    MoveToEx(c.dc(), 0, 0, nullptr);
    LineTo(c.dc(), 4, 0);
    EXPECT_EQ(c.at(3, 0), kRed);
    SelectObject(c.dc(), old);
    DeleteObject(pen);
    DeleteObject(brush);
}

TEST_F(Gdi, BitBltCopiesClipsAndAppliesRasterOperations) {
    Canvas src(4, 4, kRed);
    SetPixel(src.dc(), 0, 0, kBlue);
    Canvas dest(8, 8);
    EXPECT_TRUE(BitBlt(dest.dc(), 2, 2, 4, 4, src.dc(), 0, 0, SRCCOPY));
    EXPECT_EQ(dest.at(2, 2), kBlue);
    EXPECT_EQ(dest.at(5, 5), kRed);
    EXPECT_EQ(dest.at(6, 6), kGreen);
    EXPECT_EQ(dest.at(1, 2), kGreen);

    // Partly off the destination: the visible part lands, nothing wraps around.
    EXPECT_TRUE(BitBlt(dest.dc(), -3, 6, 4, 4, src.dc(), 0, 0, SRCCOPY));
    EXPECT_EQ(dest.at(0, 6), kRed);
    EXPECT_EQ(dest.at(0, 7), kRed);
    EXPECT_EQ(dest.at(1, 7), kGreen);
    EXPECT_EQ(dest.at(7, 6), kGreen);

    EXPECT_TRUE(BitBlt(dest.dc(), 0, 0, 2, 2, nullptr, 0, 0, WHITENESS));
    EXPECT_EQ(dest.at(1, 1), kWhite);
    EXPECT_TRUE(BitBlt(dest.dc(), 0, 0, 1, 1, nullptr, 0, 0, BLACKNESS));
    EXPECT_EQ(dest.at(0, 0), kBlack);
    EXPECT_EQ(dest.at(1, 0), kWhite);
    EXPECT_TRUE(BitBlt(dest.dc(), 1, 1, 1, 1, nullptr, 0, 0, DSTINVERT));
    EXPECT_EQ(dest.at(1, 1), kBlack);

    HBRUSH brush = CreateSolidBrush(kBlue);
    HGDIOBJ old = SelectObject(dest.dc(), brush);
    EXPECT_TRUE(BitBlt(dest.dc(), 7, 0, 1, 2, nullptr, 0, 0, PATCOPY));
    EXPECT_EQ(dest.at(7, 1), kBlue);
    EXPECT_TRUE(PatBlt(dest.dc(), 6, 0, 1, 1, PATCOPY));
    EXPECT_EQ(dest.at(6, 0), kBlue);
    SelectObject(dest.dc(), old);
    DeleteObject(brush);

    // A source operation without a source fails.
    EXPECT_FALSE(BitBlt(dest.dc(), 0, 0, 2, 2, nullptr, 0, 0, SRCCOPY));
}

TEST_F(Gdi, BitBltWithinOneBitmapHandlesOverlap) {
    Canvas c(6, 1);
    for (int x = 0; x < 6; ++x)
        SetPixel(c.dc(), x, 0, RGB(x * 40, 0, 0));
    EXPECT_TRUE(BitBlt(c.dc(), 1, 0, 5, 1, c.dc(), 0, 0, SRCCOPY));
    for (int x = 1; x < 6; ++x)
        EXPECT_EQ(c.at(x, 0), RGB((x - 1) * 40, 0, 0)) << x;
}

TEST_F(Gdi, MonochromeSourceTakesTheDestinationTextAndBackgroundColours) {
    HDC mono_dc = CreateCompatibleDC(nullptr);
    HBITMAP mono = CreateBitmap(2, 1, 1, 1, nullptr);
    HGDIOBJ old = SelectObject(mono_dc, mono);
    SetPixel(mono_dc, 0, 0, kWhite);
    SetPixel(mono_dc, 1, 0, kBlack);
    Canvas dest(2, 1);
    SetTextColor(dest.dc(), kBlue);
    SetBkColor(dest.dc(), kRed);
    EXPECT_TRUE(BitBlt(dest.dc(), 0, 0, 2, 1, mono_dc, 0, 0, SRCCOPY));
    EXPECT_EQ(dest.at(0, 0), kRed);
    EXPECT_EQ(dest.at(1, 0), kBlue);
    SelectObject(mono_dc, old);
    DeleteObject(mono);
    DeleteDC(mono_dc);
}

TEST_F(Gdi, StretchBltScalesByWholePixels) {
    Canvas src(2, 1, kRed);
    SetPixel(src.dc(), 1, 0, kBlue);
    Canvas dest(4, 2);
    EXPECT_TRUE(StretchBlt(dest.dc(), 0, 0, 4, 2, src.dc(), 0, 0, 2, 1, SRCCOPY));
    EXPECT_EQ(dest.at(0, 0), kRed);
    EXPECT_EQ(dest.at(1, 1), kRed);
    EXPECT_EQ(dest.at(2, 0), kBlue);
    EXPECT_EQ(dest.at(3, 1), kBlue);
}

TEST_F(Gdi, AttributesReturnTheirPreviousValues) {
    Canvas c(2, 2);
    EXPECT_EQ(GetBkColor(c.dc()), kWhite);
    EXPECT_EQ(GetTextColor(c.dc()), kBlack);
    EXPECT_EQ(GetBkMode(c.dc()), OPAQUE);
    EXPECT_EQ(SetBkColor(c.dc(), RGB(192, 192, 192)), kWhite);
    EXPECT_EQ(SetTextColor(c.dc(), kRed), kBlack);
    EXPECT_EQ(SetBkMode(c.dc(), TRANSPARENT), OPAQUE);
    EXPECT_EQ(GetBkColor(c.dc()), RGB(192, 192, 192));
    EXPECT_EQ(GetTextColor(c.dc()), kRed);
    EXPECT_EQ(SetBkMode(c.dc(), OPAQUE), TRANSPARENT);
    EXPECT_EQ(SetTextAlign(c.dc(), TA_CENTER), static_cast<UINT>(TA_LEFT | TA_TOP));
    EXPECT_EQ(GetTextAlign(c.dc()), static_cast<UINT>(TA_CENTER));
    EXPECT_EQ(SetBkColor(nullptr, kRed), CLR_INVALID);
}

TEST_F(Gdi, DeviceCapsDescribeA96DpiDisplay) {
    HDC dc = CreateCompatibleDC(nullptr);
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSX), 96);
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSY), 96);
    EXPECT_GT(GetDeviceCaps(dc, HORZRES), 0);
    EXPECT_GT(GetDeviceCaps(dc, VERTRES), 0);
    EXPECT_GE(GetDeviceCaps(dc, BITSPIXEL), 8);
    if (on_simulator()) {
        EXPECT_EQ(GetDeviceCaps(dc, HORZRES), 640);
        EXPECT_EQ(GetDeviceCaps(dc, VERTRES), 480);
    }
    DeleteDC(dc);
}

TEST_F(Gdi, StockObjectsAndFontsDescribeThemselves) {
    LOGBRUSH lb{};
    ASSERT_EQ(GetObjectA(GetStockObject(LTGRAY_BRUSH), sizeof lb, &lb), static_cast<int>(sizeof lb));
    EXPECT_EQ(lb.lbColor, RGB(192, 192, 192));
    ASSERT_EQ(GetObjectA(GetStockObject(NULL_BRUSH), sizeof lb, &lb), static_cast<int>(sizeof lb));
    EXPECT_EQ(lb.lbStyle, static_cast<UINT>(BS_NULL));
    LOGPEN lp{};
    ASSERT_EQ(GetObjectA(GetStockObject(WHITE_PEN), sizeof lp, &lp), static_cast<int>(sizeof lp));
    EXPECT_EQ(lp.lopnColor, kWhite);
    for (int index : {SYSTEM_FONT, ANSI_VAR_FONT, ANSI_FIXED_FONT, OEM_FIXED_FONT, DEFAULT_GUI_FONT})
        EXPECT_EQ(GetObjectType(GetStockObject(index)), static_cast<DWORD>(OBJ_FONT)) << index;

    LOGFONTA in{};
    in.lfHeight = -13;
    in.lfWeight = FW_BOLD;
    std::strcpy(in.lfFaceName, "MS Sans Serif");
    HFONT font = CreateFontIndirectA(&in);
    LOGFONTA out{};
    ASSERT_EQ(GetObjectA(font, sizeof out, &out), static_cast<int>(sizeof out));
    EXPECT_EQ(out.lfHeight, -13);
    EXPECT_EQ(out.lfWeight, FW_BOLD);
    EXPECT_STREQ(out.lfFaceName, "MS Sans Serif");
    DeleteObject(font);
}

TEST_F(Gdi, SystemColoursOfTheDefaultScheme) {
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), kWhite);
    EXPECT_EQ(GetSysColor(COLOR_WINDOWTEXT), kBlack);
    EXPECT_EQ(GetSysColor(COLOR_BTNTEXT), kBlack);
    EXPECT_EQ(GetSysColor(COLOR_BTNHIGHLIGHT), kWhite);
    LOGBRUSH lb{};
    ASSERT_TRUE(GetObjectA(GetSysColorBrush(COLOR_BTNFACE), sizeof lb, &lb));
    EXPECT_EQ(lb.lbColor, GetSysColor(COLOR_BTNFACE));
    // Wine's default colour scheme is not that of Windows 95 (grey faces and a teal desktop).
    if (!on_simulator()) GTEST_SKIP() << "Wine's default colour scheme differs from Windows 95's";
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGB(192, 192, 192));
    EXPECT_EQ(GetSysColor(COLOR_BTNSHADOW), RGB(128, 128, 128));
    EXPECT_EQ(GetSysColor(COLOR_APPWORKSPACE), RGB(128, 128, 128));
    EXPECT_EQ(GetSysColor(COLOR_ACTIVECAPTION), RGB(0, 0, 128));
    EXPECT_EQ(GetSysColor(COLOR_BACKGROUND), RGB(0, 128, 128));
}

// A font of the kind the message dialog measures with: bold, 13-pixel characters.
class Measured : public Gdi {
  protected:
    void SetUp() override {
        Gdi::SetUp();
        dc_ = CreateCompatibleDC(nullptr);
        // Without smoothing, as on Windows 95, every pixel of text is either ink or background.
        font_ = CreateFontA(-13, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, NONANTIALIASED_QUALITY, 0,
                            "MS Sans Serif");
        old_ = SelectObject(dc_, font_);
        GetTextMetricsA(dc_, &tm_);
    }
    void TearDown() override {
        SelectObject(dc_, old_);
        DeleteObject(font_);
        DeleteDC(dc_);
        Gdi::TearDown();
    }
    RECT calc(const std::string& text, int width, UINT format = DT_WORDBREAK) {
        RECT r{0, 0, width, 10};
        int h = DrawTextA(dc_, text.c_str(), -1, &r, format | DT_CALCRECT);
        EXPECT_EQ(h, r.bottom) << text;
        return r;
    }

    HDC dc_ = nullptr;
    HFONT font_ = nullptr;
    HGDIOBJ old_ = nullptr;
    TEXTMETRICA tm_{};
};

TEST_F(Measured, CalcRectHeightIsWholeLinesAndLongerTextWrapsToMore) {
    ASSERT_GT(tm_.tmHeight, 0);
    RECT one = calc("Setup", 320);
    EXPECT_EQ(one.bottom, tm_.tmHeight);
    SIZE extent{};
    GetTextExtentPoint32A(dc_, "Setup", 5, &extent);
    EXPECT_EQ(one.right, extent.cx);

    std::string sentence = "To have the ability to remove the package you must select at least three of its "
                           "components, otherwise removing it later will not be possible.";
    RECT wrapped = calc(sentence, 200);
    EXPECT_EQ(wrapped.bottom % tm_.tmHeight, 0);
    EXPECT_GE(wrapped.bottom / tm_.tmHeight, 2);
    EXPECT_LE(wrapped.right, 200);
    RECT wider = calc(sentence, 400);
    EXPECT_LT(wider.bottom, wrapped.bottom);
    EXPECT_GT(calc(sentence + " " + sentence, 200).bottom, wrapped.bottom);

    // Line breaks count without word breaking too; a single line ignores them.
    EXPECT_EQ(calc("one\r\ntwo\nthree", 400, 0).bottom, 3 * tm_.tmHeight);
    EXPECT_EQ(calc("one\r\ntwo", 400, DT_SINGLELINE).bottom, tm_.tmHeight);
}

// CR LF, a lone CR and a lone LF each end a line, with or without word breaking; a break at the very end
// adds no line. (Messages of the product break their lines with a lone CR.)
TEST_F(Measured, LinesBreakAtCrLfCrOrLf) {
    struct Case {
        const char* text;
        int lines;
    };
    for (UINT format : {0u, static_cast<UINT>(DT_WORDBREAK)})
        for (const Case& c : {Case{"one\rtwo", 2}, Case{"one\ntwo", 2}, Case{"one\r\ntwo", 2},
                              Case{"one\r\rtwo", 3}, Case{"one\n\ntwo", 3}, Case{"one\r\n\r\ntwo", 3},
                              Case{"\rone", 2}, Case{"one\r", 1}, Case{"one\r\n", 1}}) {
            RECT r = calc(c.text, 400, format);
            EXPECT_EQ(r.bottom, c.lines * tm_.tmHeight) << c.text << " with format " << format;
            SIZE one{};
            GetTextExtentPoint32A(dc_, "one", 3, &one);
            EXPECT_EQ(r.right, one.cx) << c.text; // the break itself takes no room
        }
}

TEST_F(Measured, EmptyTextAndEdgesOfMeasuring) {
    // An empty text of unknown length collapses the rectangle and still answers one line's height; a
    // length of 0 does nothing at all.
    RECT r{5, 5, 100, 50};
    EXPECT_EQ(DrawTextA(dc_, "", -1, &r, DT_CALCRECT | DT_WORDBREAK), tm_.tmHeight);
    EXPECT_EQ(r.right, 5);
    EXPECT_EQ(r.bottom, 5);
    RECT s{5, 5, 100, 50};
    EXPECT_EQ(DrawTextA(dc_, "", 0, &s, DT_CALCRECT | DT_SINGLELINE), 0);
    EXPECT_EQ(s.right, 100);
    EXPECT_EQ(s.bottom, 50);

    // Vertically centred: the result is the offset of the text's bottom from the rectangle's top.
    RECT v{0, 0, 100, 41};
    EXPECT_EQ(DrawTextA(dc_, "x", 1, &v, DT_SINGLELINE | DT_VCENTER), (41 - tm_.tmHeight) / 2 + tm_.tmHeight);

    // Trailing blanks and a lone ampersand at the end are measured like any other character.
    SIZE e{};
    GetTextExtentPoint32A(dc_, "ab  ", 4, &e);
    EXPECT_EQ(calc("ab  ", 400).right, e.cx);
    GetTextExtentPoint32A(dc_, "ab&", 3, &e);
    EXPECT_EQ(calc("ab&", 400, DT_SINGLELINE).right, e.cx);
}

TEST_F(Measured, AWordWiderThanTheRectangleStandsAloneAndWidensIt) {
    RECT r = calc("a Supercalifragilisticexpialidocious b", 40);
    EXPECT_GT(r.right, 40);
    EXPECT_EQ(r.bottom, 3 * tm_.tmHeight);
}

TEST_F(Measured, APrefixAmpersandTakesNoRoomUnlessNoPrefixIsAsked) {
    RECT with = calc("&Ignore", 400, DT_SINGLELINE);
    RECT plain = calc("Ignore", 400, DT_SINGLELINE);
    RECT literal = calc("&Ignore", 400, DT_SINGLELINE | DT_NOPREFIX);
    EXPECT_EQ(with.right, plain.right);
    EXPECT_GT(literal.right, plain.right);
    SIZE amp{};
    GetTextExtentPoint32A(dc_, "&&", 2, &amp);
    EXPECT_EQ(calc("A&&B", 400, DT_SINGLELINE).right, calc("A&B", 400, DT_SINGLELINE | DT_NOPREFIX).right);
}

TEST_F(Measured, TextOutPaintsOnlyTextAndBackgroundColoursInItsCell) {
    Canvas c(60, 30);
    HGDIOBJ old = SelectObject(c.dc(), font_);
    SetTextColor(c.dc(), kBlue);
    SetBkColor(c.dc(), kRed);
    ASSERT_TRUE(TextOutA(c.dc(), 2, 2, "Wg", 2));
    SIZE cell{};
    GetTextExtentPoint32A(c.dc(), "Wg", 2, &cell);
    int blue = 0, other = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 60; ++x) {
            COLORREF p = c.at(x, y);
            bool in_cell = x >= 2 && y >= 2 && x < 2 + cell.cx && y < 2 + cell.cy;
            if (p == kBlue) ++blue;
            if (in_cell ? (p != kBlue && p != kRed) : p != kGreen) ++other;
        }
    EXPECT_GT(blue, 0);
    EXPECT_EQ(other, 0);

    // Transparent text leaves the background as it was.
    Canvas t(60, 30);
    SelectObject(t.dc(), font_);
    SetTextColor(t.dc(), kBlue);
    SetBkMode(t.dc(), TRANSPARENT);
    TextOutA(t.dc(), 2, 2, "Wg", 2);
    int red = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 60; ++x)
            red += t.at(x, y) == kRed;
    EXPECT_EQ(red, 0);
    EXPECT_NE(t.at(0, 0), kBlue);
    SelectObject(t.dc(), GetStockObject(SYSTEM_FONT));
    SelectObject(c.dc(), old);
}

TEST_F(Gdi, StockIconsDrawAndCursorsLoad) {
    Canvas c(40, 40);
    for (LPCSTR id : {IDI_APPLICATION, IDI_HAND, IDI_QUESTION, IDI_EXCLAMATION, IDI_ASTERISK}) {
        HICON icon = LoadIconA(nullptr, id);
        ASSERT_NE(icon, nullptr);
        EXPECT_TRUE(DrawIcon(c.dc(), 4, 4, icon));
    }
    // The icon left some mark inside its 32 x 32 square and none outside.
    int changed = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) {
            bool inside = x >= 4 && y >= 4 && x < 36 && y < 36;
            if (c.at(x, y) != kGreen) {
                EXPECT_TRUE(inside) << x << "," << y;
                ++changed;
            }
        }
    EXPECT_GT(changed, 0);
    HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    HCURSOR wait = LoadCursorA(nullptr, IDC_WAIT);
    EXPECT_NE(arrow, nullptr);
    EXPECT_NE(wait, nullptr);
    EXPECT_NE(arrow, wait);
    SetCursor(wait);
    EXPECT_EQ(SetCursor(arrow), wait);
}

} // namespace
