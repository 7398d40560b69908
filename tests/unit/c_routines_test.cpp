// The C routines the Windows programs carry, compiled here under other names and held against the host's.
#define C_ROUTINE(name) crt_##name
#include "platform/windows/c_routines.cpp"

#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <string>

TEST(CRoutines, MemoryRoutinesHandleOverlapAndBytesAbove127) {
    char text[] = "abcdefgh";
    crt_memmove(text + 2, text, 5); // forwards over itself
    EXPECT_STREQ(text, "ababcdeh");
    crt_memmove(text, text + 3, 5); // backwards over itself
    EXPECT_STREQ(text, "bcdehdeh");
    char copy[9];
    EXPECT_EQ(crt_memcpy(copy, text, 9), copy);
    EXPECT_STREQ(copy, text);
    crt_memset(copy, 'x', 3);
    EXPECT_STREQ(copy, "xxxehdeh");
    EXPECT_LT(crt_memcmp("a\x7f", "a\x80", 2), 0); // bytes compare unsigned
    EXPECT_GT(crt_memcmp("b", "a", 1), 0);
    EXPECT_EQ(crt_memcmp("ab", "ac", 1), 0);
}

TEST(CRoutines, StringRoutinesAgreeWithTheHost) {
    const char* texts[] = {"", "C:\\WINDOWS\\", " /e /q", "abc"};
    for (const char* s : texts) {
        EXPECT_EQ(crt_strlen(s), std::strlen(s)) << s;
        EXPECT_EQ(crt_strnlen(s, 2), strnlen(s, 2)) << s;
        EXPECT_EQ(crt_strrchr(s, '\\'), std::strrchr(s, '\\')) << s;
        EXPECT_EQ(crt_strrchr(s, '\0'), std::strrchr(s, '\0')) << s;
        EXPECT_EQ(crt_strspn(s, " /"), std::strspn(s, " /")) << s;
        EXPECT_EQ(crt_strcspn(s, " /"), std::strcspn(s, " /")) << s;
    }
}

TEST(CRoutines, AtoiReadsBlanksASignAndDigits) {
    for (const char* s : {"866", "  -12x", "+5", "\t\n42", "x1", "", "-", "2147483647", "-2147483648"})
        EXPECT_EQ(crt_atoi(s), std::atoi(s)) << s;
    crt_atoi("99999999999999999999"); // wraps rather than overflows (UBSan would tell)
}
