// Rectangle helpers, and the screen DC that GetDC(NULL) gives.
#include "tests/conformance/fixture.h"

class Rects : public Conformance {
  protected:
    static bool is(const RECT& r, int left, int top, int right, int bottom) {
        RECT want{left, top, right, bottom};
        return EqualRect(&r, &want) != FALSE;
    }
};

TEST_F(Rects, HelpersFollowTheirEdgeRules) {
    RECT r, a, b;
    ASSERT_TRUE(SetRect(&r, 10, 20, 30, 40));
    ASSERT_TRUE(OffsetRect(&r, -5, 5));
    EXPECT_TRUE(is(r, 5, 25, 25, 45));
    ASSERT_TRUE(InflateRect(&r, 2, -3));
    EXPECT_TRUE(is(r, 3, 28, 27, 42));
    EXPECT_TRUE(PtInRect(&r, POINT{3, 28}));
    EXPECT_FALSE(PtInRect(&r, POINT{27, 30})); // right and bottom edges are outside
    SetRect(&a, 0, 0, 10, 10);
    SetRect(&b, 5, 5, 20, 20);
    EXPECT_TRUE(IntersectRect(&r, &a, &b));
    EXPECT_TRUE(is(r, 5, 5, 10, 10));
    SetRect(&b, 10, 0, 20, 10); // touching is not overlapping
    EXPECT_FALSE(IntersectRect(&r, &a, &b));
    EXPECT_TRUE(IsRectEmpty(&r));
}

TEST_F(Rects, TheScreenDcMeasuresText) {
    HDC dc = GetDC(nullptr);
    ASSERT_NE(dc, nullptr);
    SIZE size{};
    EXPECT_TRUE(GetTextExtentPoint32A(dc, "Setup", 5, &size));
    EXPECT_GT(size.cx, 0);
    EXPECT_GT(size.cy, 0);
    EXPECT_EQ(ReleaseDC(nullptr, dc), 1);
}
