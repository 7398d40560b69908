// The information and advertising windows as the user sees them during a copy.
#include "tests/tnsetup/setup_screen.h"

#include <climits>
#include <string>
#include <vector>

namespace {

const std::uint32_t kBlue = 0x0000FF;
const std::uint32_t kGrey = 0xC0C0C0;
const std::uint32_t kWhite = 0xFFFFFF;
const int kBarLength = 2 * (179 - 4); // the simulator's sizing frame is 4 pixels wide

class Progress : public SetupScreen {
  protected:
    // Copy step: DONE of TOTAL, one file named.
    void CopyStep(int done, int total, const char* file = "KEYB.DRV",
                  const char* text = "C:\\TARNO\\KEYB.DRV") {
        nProgressTotal = total;
        nProgressDone = done;
        ShowProgressTexts(file, text);
    }
    // Blue pixels of the bar's lowest inner row, from its left end.
    int BarWidthOnScreen(const sim::Surface& screen) {
        int width = 0;
        while (width < kBarLength + 4 && Pixel(screen, hwndInfor, 21 + width, 107) == kBlue)
            ++width;
        return width;
    }
    // Leftmost and rightmost columns in the rectangle that have COLOUR; -1 when none.
    std::pair<int, int> InkSpan(const sim::Surface& screen, HWND hwnd, RECT area, std::uint32_t colour) {
        int left = -1, right = -1;
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x)
                if (Pixel(screen, hwnd, x, y) == colour) {
                    if (left < 0 || x < left) left = x;
                    if (x > right) right = x;
                }
        return {left, right};
    }
    // Width of TEXT in the information window's bold font.
    int TextWidth(const char* text) {
        HDC dc = GetDC(hwndInfor);
        HFONT font = CreateFontA(-11, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, szDialogFont);
        HGDIOBJ old = SelectObject(dc, font);
        SIZE size{};
        GetTextExtentPoint32A(dc, text, lstrlenA(text), &size);
        SelectObject(dc, old);
        DeleteObject(font);
        ReleaseDC(hwndInfor, dc);
        return size.cx;
    }
    int PictureWidth(int advert) {
        BITMAP info{};
        GetObjectA(hbmAdvert[advert], sizeof info, &info);
        return info.bmWidth;
    }
    // The picture's middle pixel as the advertising window shows it, and as the bitmap holds it.
    std::pair<std::uint32_t, std::uint32_t> PictureMiddle(const sim::Surface& screen, int advert) {
        BITMAP info{};
        GetObjectA(hbmAdvert[advert], sizeof info, &info);
        HDC memory = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(memory, hbmAdvert[advert]);
        COLORREF want = GetPixel(memory, info.bmWidth / 2, info.bmHeight / 2);
        SelectObject(memory, old);
        DeleteDC(memory);
        std::uint32_t rgb = (GetRValue(want) << 16) | (GetGValue(want) << 8) | GetBValue(want);
        return {Pixel(screen, hwndAdvert, 10 + info.bmWidth / 2, 10 + info.bmHeight / 2), rgb};
    }
};

TEST_F(Progress, PercentAndBarStayInRangeForAnyAmounts) {
    nProgressTotal = 0;
    nProgressDone = 1; // nothing to count: complete at once
    EXPECT_EQ(ProgressPercent(), 100);
    EXPECT_EQ(ProgressBarWidth(kBarLength), kBarLength);
    nProgressTotal = 2000000000; // 100 x done and length x done exceed 32 bits
    nProgressDone = 1500000000;
    EXPECT_EQ(ProgressPercent(), 74);
    EXPECT_EQ(ProgressBarWidth(kBarLength), kBarLength * 3 / 4);
    nProgressTotal = INT_MAX; // total + 1 must not wrap
    nProgressDone = INT_MAX;
    EXPECT_EQ(ProgressPercent(), 99);
    nProgressTotal = 100;
    nProgressDone = -5; // a count gone below zero shows as complete, never as a negative bar
    EXPECT_EQ(ProgressPercent(), 100);
    EXPECT_EQ(ProgressBarWidth(kBarLength), kBarLength);
    nProgressDone = 101 + 65536; // past the end: complete, not wrapped back to a small figure
    EXPECT_EQ(ProgressPercent(), 100);
}

TEST_F(Progress, BarAndPercentageAtEachQuarter) {
    const int total = 99; // done x 100 / (total + 1) is the percentage itself
    for (int percent : {0, 25, 50, 75, 100}) {
        CopyStep(percent == 100 ? total + 1 : percent, total);
        sim::Surface screen = Screen();
        int expected = kBarLength * percent / 100;
        EXPECT_EQ(BarWidthOnScreen(screen), expected) << percent << " %";
        // The frame around the bar is black on both ends.
        EXPECT_EQ(Pixel(screen, hwndInfor, 20, 100), 0u);
        EXPECT_EQ(Pixel(screen, hwndInfor, kBarLength + 21, 100), 0u);
        std::string text = std::to_string(percent) + " %";
        auto [left, right] = InkSpan(screen, hwndInfor, RECT{185, 91, 260, 109}, kWhite);
        ASSERT_GE(left, 190) << text;
        EXPECT_LE(right, 190 + TextWidth(text.c_str())) << text;
        EXPECT_GE(right, 190 + TextWidth(text.c_str()) - 4) << text;
    }
}

TEST_F(Progress, TheFileAndItsDestinationOrAStatusTextAlone) {
    CopyStep(10, 99, "KEYB.DRV", "C:\\TARNO\\KEYB.DRV");
    EXPECT_TRUE(IsWindowVisible(hwndInfor));
    sim::Surface screen = Screen();
    EXPECT_GE(InkSpan(screen, hwndInfor, RECT{0, 18, 380, 34}, 0).first, 20);
    int copying = TextWidth("File copying : KEYB.DRV");
    EXPECT_LE(InkSpan(screen, hwndInfor, RECT{0, 18, 380, 34}, 0).second, 20 + copying);
    int toFile = TextWidth("To file:C:\\TARNO\\KEYB.DRV");
    EXPECT_GE(InkSpan(screen, hwndInfor, RECT{0, 38, 380, 54}, 0).second, 20 + toFile - 4);

    // After the copy: the status text alone on the second line, and the bar full.
    char status[64];
    LoadStringA(hInst, IDS_UPDATE_SYSTEM, status, sizeof status);
    CopyStep(100, 99, "", status);
    screen = Screen();
    EXPECT_EQ(InkSpan(screen, hwndInfor, RECT{0, 18, 380, 34}, 0).first, -1);
    auto [left, right] = InkSpan(screen, hwndInfor, RECT{0, 38, 380, 54}, 0);
    EXPECT_GE(left, 20);
    EXPECT_LE(right, 20 + TextWidth(status));
    EXPECT_GE(right, 20 + TextWidth(status) - 4);
    EXPECT_EQ(BarWidthOnScreen(screen), kBarLength);
}

TEST_F(Progress, OverlongNamesAreCutNotOverflowed) {
    std::string name(1000, 'N');
    CopyStep(1, 99, name.c_str(), name.c_str());
    EXPECT_EQ(lstrlenA(szProgressFile), kProgressFileCap - 1);
    EXPECT_EQ(lstrlenA(szProgressText), kProgressTextCap - 1);
    Screen(); // paints the long lines without overrunning the window's line buffers
}

TEST_F(Progress, TheFirstPaintShowsTheFirstAdvertisement) {
    EXPECT_FALSE(IsWindowVisible(hwndAdvert));
    CopyStep(0, 99);
    EXPECT_TRUE(IsWindowVisible(hwndAdvert));
    EXPECT_EQ(nAdvertIndex, 1);
    sim::Surface screen = Screen();
    auto [shown, picture] = PictureMiddle(screen, 0);
    EXPECT_EQ(shown, picture);
    // The text of string 271 beside the picture: its first line keeps its leading blanks, the next lines
    // start at the text's left edge because blanks after "!" are skipped.
    int textLeft = PictureWidth(0) + 20;
    int first = InkSpan(screen, hwndAdvert, RECT{textLeft, 20, 370, 34}, 0).first;
    int second = InkSpan(screen, hwndAdvert, RECT{textLeft, 40, 370, 54}, 0).first;
    ASSERT_GE(first, 0);
    ASSERT_GE(second, 0);
    EXPECT_LE(second - textLeft, 2);
    EXPECT_GE(first - textLeft, 6);
    EXPECT_GE(InkSpan(screen, hwndAdvert, RECT{textLeft, 60, 370, 74}, 0).first, 0); // the third line
}

TEST_F(Progress, EachAdvertisementOnceInTurnOverACopy) {
    std::vector<int> shown;
    for (int done = 0; done <= 100; ++done) {
        int before = nAdvertIndex;
        CopyStep(done, 99);
        DeliverPendingPaints();
        for (int i = before; i < nAdvertIndex; ++i)
            shown.push_back(i);
        if (nAdvertIndex > before) {
            EXPECT_EQ(nAdvertShown, nAdvertIndex - 1);
            EXPECT_EQ(done, (nAdvertIndex - 1) * 25)
                << "advertisement " << nAdvertIndex << " came early or late";
        }
    }
    EXPECT_EQ(shown, (std::vector<int>{0, 1, 2, 3, 4}));
}

TEST_F(Progress, AJumpOverAQuarterShowsOneAdvertisementPerPaint) {
    CopyStep(0, 99);
    DeliverPendingPaints();
    CopyStep(24, 99);
    DeliverPendingPaints();
    EXPECT_EQ(nAdvertIndex, 1);
    CopyStep(51, 99);
    EXPECT_EQ(nAdvertShown, 1); // this paint: only the next one
    EXPECT_EQ(nAdvertIndex, 2);
    DeliverPendingPaints();
    CopyStep(52, 99); // the next paint of the information window brings the one after it
    EXPECT_EQ(nAdvertShown, 2);
    EXPECT_EQ(nAdvertIndex, 3);
}

TEST_F(Progress, ARepaintAfterTheFifthShowsTheLastAdvertisement) {
    for (int done : {0, 25, 50, 75, 100}) {
        CopyStep(done, 99);
        DeliverPendingPaints();
    }
    EXPECT_EQ(nAdvertIndex, 5);
    // A dialog covered the window: it paints again, with no sixth picture to take.
    InvalidateRect(hwndAdvert, nullptr, TRUE);
    UpdateWindow(hwndAdvert);
    DeliverPendingPaints();
    EXPECT_EQ(nAdvertIndex, 5);
    sim::Surface screen = Screen();
    auto [shown, picture] = PictureMiddle(screen, 4);
    EXPECT_EQ(shown, picture);
}

TEST_F(Progress, ScreenshotOverTheBackdrop) {
    for (int done : {0, 25, 50}) {
        CopyStep(done, 99);
        DeliverPendingPaints();
    }
    std::string error;
    EXPECT_TRUE(sim::save_screenshot(::testing::TempDir() + "tnsetup-progress.png", &error)) << error;
}

} // namespace
