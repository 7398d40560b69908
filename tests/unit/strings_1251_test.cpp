// The string functions on a Cyrillic (1251) machine: case, classes, order and the code pages.
#include "platform/sim/machine/machine.h"
#include "platform/sim/sim.h"
#include "platform/win32.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

class Cyrillic : public ::testing::Test {
  protected:
    void SetUp() override {
        char tmpl[] = "/tmp/strings-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        root = tmpl;
        std::string error;
        ASSERT_TRUE(sim::create_default_machine(root, &error)) << error;
        ASSERT_TRUE(sim::attach(root, "C:\\TEST.EXE", "C:\\", &error)) << error;
        sim::machine().settings.codepage = 1251;
    }
    void TearDown() override {
        sim::detach();
        std::filesystem::remove_all(root);
    }
    std::string root;
};

TEST_F(Cyrillic, CaseAndClassesFollowTheCodePage) {
    char s[] = "\xeb\xe5\xf2\xee \xb8\xeb\xea\xe0 \xa2"; // "лето ёлка ў"
    CharUpperA(s);
    EXPECT_STREQ(s, "\xcb\xc5\xd2\xce \xa8\xcb\xca\xc0 \xa1");
    CharLowerA(s);
    EXPECT_STREQ(s, "\xeb\xe5\xf2\xee \xb8\xeb\xea\xe0 \xa2");
    EXPECT_TRUE(IsCharAlphaA('\xe6'));
    EXPECT_TRUE(IsCharUpperA('\xa8'));
    EXPECT_TRUE(IsCharLowerA('\xff'));
    EXPECT_FALSE(IsCharAlphaA('\xb9')) << "the numero sign";
    EXPECT_EQ(GetACP(), 1251u);
    EXPECT_EQ(GetOEMCP(), 866u);
    WCHAR w[4];
    ASSERT_EQ(MultiByteToWideChar(CP_ACP, 0, "\xc0\xff", -1, w, 4), 3);
    EXPECT_EQ(w[0], 0x0410);
    EXPECT_EQ(w[1], 0x044F);
}

TEST_F(Cyrillic, OrderIsAlphabetical) {
    EXPECT_EQ(lstrcmpiA("\xb8\xeb\xea\xe0", "\xa8\xcb\xca\xc0"), 0);                 // ёлка, ЁЛКА
    EXPECT_LT(lstrcmpiA("\xe5\xe6", "\xb8"), 0) << "Е before Ё";                     // еж, ё
    EXPECT_LT(lstrcmpiA("\xb8", "\xe6"), 0) << "Ё before Ж";                         // ё, ж
    EXPECT_LT(lstrcmpiA("zebra", "\xe0\xe8\xf1\xf2"), 0) << "Latin before Cyrillic"; // аист
    EXPECT_LT(lstrcmpA("\xe0", "\xc0"), 0) << "lower case first";                    // а, А
    EXPECT_LT(lstrcmpA("\xc0", "\xe1"), 0);                                          // А, б
}

} // namespace
