#include "platform/sim/kernel/codepage.h"

#include <gtest/gtest.h>

TEST(CodePage, EveryByteRoundTripsThroughUnicode) {
    for (unsigned cp : {1251u, 1252u}) {
        for (unsigned b = 0; b < 256; ++b) {
            unsigned char back = 0;
            ASSERT_TRUE(
                sim::unicode_to_ansi(sim::ansi_to_unicode(static_cast<unsigned char>(b), cp), cp, back))
                << cp << " " << b;
            EXPECT_EQ(back, b) << cp;
        }
    }
}

TEST(CodePage, CaseFollowsTheCodePage) {
    EXPECT_EQ(sim::ansi_upper(0xE0, 1251), 0xC0); // а → А
    EXPECT_EQ(sim::ansi_upper(0xB8, 1251), 0xA8); // ё → Ё
    EXPECT_EQ(sim::ansi_upper(0xB3, 1251), 0xB2); // і → І
    EXPECT_EQ(sim::ansi_upper(0xE0, 1252), 0xC0); // à → À
    EXPECT_EQ(sim::ansi_upper(0xF7, 1252), 0xF7); // ÷ has no case
    EXPECT_EQ(sim::ansi_upper(0xFF, 1252), 0x9F); // ÿ → Ÿ
    EXPECT_EQ(sim::ansi_lower('Q', 1251), 'q');
    EXPECT_EQ(sim::ansi_lower(0xDF, 1251), 0xFF); // Я → я
    EXPECT_EQ(sim::ansi_lower(0xDF, 1252), 0xDF); // ß stays
}

TEST(CodePage, UnmappedCharactersBecomeQuestionMarks) {
    EXPECT_EQ(sim::utf16_to_ansi(u"A\u0416\u00E9", 1252), "A?\xE9");
    EXPECT_EQ(sim::utf16_to_ansi(u"A\u0416\u00E9", 1251), "A\xC6?");
    EXPECT_EQ(sim::ansi_to_utf8("\xC0\xE9", 1251), "\xD0\x90\xD0\xB9");
}
