// String functions: wsprintf formats, the lstr* family, character classes and case, code page
// conversion. Texts with letters beyond ASCII use the machine's code page, 1252 on a default machine.
#include "tests/conformance/fixture.h"

#include <cstring>
#include <string>

namespace {

class Strings : public Conformance {};

std::string format(const char* fmt, ...) {
    char buf[1100];
    std::memset(buf, 'x', sizeof buf);
    va_list args;
    va_start(args, fmt);
    int n = wvsprintfA(buf, fmt, args);
    va_end(args);
    EXPECT_EQ(n, static_cast<int>(std::strlen(buf)));
    return buf;
}

TEST_F(Strings, WsprintfFormatsNumbers) {
    EXPECT_EQ(format("%d|%i|%u|%x|%X", -42, 7, 3000000000u, 0xBEEFu, 0xBEEFu), "-42|7|3000000000|beef|BEEF");
    EXPECT_EQ(format("%ld|%li|%lu|%lx", static_cast<LONG>(-5), static_cast<LONG>(6),
                     static_cast<DWORD>(4294967295u), static_cast<DWORD>(255)),
              "-5|6|4294967295|ff");
    EXPECT_EQ(format("%u", -1), "4294967295");
    EXPECT_EQ(format("[%5d][%-5d][%05d][%05d]", 42, 42, 42, -42), "[   42][42   ][00042][-0042]");
    // The 0x of '#' stands outside the width.
    EXPECT_EQ(format("[%#x][%#X][%#06x][%-#6x][%#6x]", 255, 255, 255, 255, 255),
              "[0xff][0XFF][0x0000ff][0xff    ][    0xff]");
    EXPECT_EQ(format("[%.3d][%5.3d][%.0d]", 7, 7, 0), "[007][  007][0]");
    EXPECT_EQ(format("%d%%", 50), "50%");
}

TEST_F(Strings, WsprintfFormatsTextAndCharacters) {
    EXPECT_EQ(format("[%s][%8s][%-8s][%.3s][%5.2s]", "abc", "abc", "abc", "abcdef", "abcdef"),
              "[abc][     abc][abc     ][abc][   ab]");
    EXPECT_EQ(format("%c%c%-3c|", 'O', 'K', '!'), "OK!  |");
    EXPECT_EQ(format("Can't write '%s' =  '%s' in section '%s'", "k", "v", "s"),
              "Can't write 'k' =  'v' in section 's'");
    EXPECT_EQ(format("%s", "\xc0\xff"), "\xc0\xff");
    EXPECT_EQ(format("no args"), "no args");
}

TEST_F(Strings, WsprintfStopsAt1024Bytes) {
    std::string big(2000, 'a');
    char buf[1100];
    std::memset(buf, 'x', sizeof buf);
    int n = wsprintfA(buf, "%s", big.c_str());
    EXPECT_GE(n, 1023);
    EXPECT_LE(n, 1024);
    EXPECT_EQ(buf[1022], 'a');
    EXPECT_EQ(buf[1025], 'x') << "nothing written beyond 1024 bytes";
    n = wsprintfA(buf, "%s%d", std::string(1020, 'b').c_str(), 123456);
    EXPECT_GE(n, 1023);
    EXPECT_EQ(buf[1025], 'x');
}

TEST_F(Strings, LstrFunctions) {
    EXPECT_EQ(lstrlenA(nullptr), 0);
    EXPECT_EQ(lstrlenA("abc"), 3);
    char buf[8] = "zzzzzzz";
    EXPECT_EQ(lstrcpynA(buf, "abcdef", 4), buf);
    EXPECT_STREQ(buf, "abc") << "the count includes the NUL";
    lstrcpynA(buf, "ab", 8);
    EXPECT_STREQ(buf, "ab");
    lstrcpynA(buf, "xyz", 1);
    EXPECT_STREQ(buf, "");
    EXPECT_EQ(lstrcpyA(buf, "ab"), buf);
    EXPECT_EQ(lstrcatA(buf, "cd"), buf);
    EXPECT_STREQ(buf, "abcd");
}

TEST_F(Strings, Comparisons) {
    EXPECT_EQ(lstrcmpiA("Windows", "WINDOWS"), 0);
    EXPECT_LT(lstrcmpiA("apple", "Banana"), 0);
    EXPECT_GT(lstrcmpiA("b", "A"), 0);
    EXPECT_LT(lstrcmpiA("ab", "abc"), 0);
    EXPECT_LT(lstrcmpiA("1", "a"), 0) << "digits before letters";
    EXPECT_LT(lstrcmpiA(" ", "1"), 0);
    EXPECT_EQ(lstrcmpiA("\xe9t\xe9", "\xc9T\xc9"), 0) << "accented letters by case too";
    EXPECT_LT(lstrcmpiA("\xe9", "f"), 0) << "an accented letter sorts with its letter";
    EXPECT_EQ(lstrcmpA("abc", "abc"), 0);
    EXPECT_LT(lstrcmpA("a", "B"), 0) << "by alphabet first, not by byte";
    EXPECT_LT(lstrcmpA("a", "A"), 0) << "lower case before upper case";
    EXPECT_LT(lstrcmpA("abc", "ABD"), 0);
    EXPECT_GT(lstrcmpA("co-op", "coop"), 0);
    EXPECT_LT(lstrcmpA("coop", "cop"), 0) << "the hyphen is not a letter";
    EXPECT_LT(lstrcmpA("co-op", "cop"), 0);
}

TEST_F(Strings, CaseAndCharacterClasses) {
    char s[] = "Hello, \xe9t\xe9 1";
    EXPECT_EQ(CharUpperA(s), s);
    EXPECT_STREQ(s, "HELLO, \xc9T\xc9 1");
    CharLowerA(s);
    EXPECT_STREQ(s, "hello, \xe9t\xe9 1");
    EXPECT_EQ(reinterpret_cast<UINT_PTR>(CharUpperA(reinterpret_cast<LPSTR>(static_cast<UINT_PTR>('q')))),
              static_cast<UINT_PTR>('Q'));
    EXPECT_EQ(reinterpret_cast<UINT_PTR>(CharLowerA(reinterpret_cast<LPSTR>(static_cast<UINT_PTR>(0xC9)))),
              0xE9u);
    char buf[] = {'a', '\0', 'b', 'c'};
    EXPECT_EQ(CharUpperBuffA(buf, 3), 3u);
    EXPECT_EQ(std::string(buf, 4), std::string("A\0Bc", 4));
    const char* t = "ab";
    EXPECT_EQ(CharNextA(t), t + 1);
    EXPECT_EQ(CharNextA(t + 2), t + 2);
    EXPECT_EQ(CharPrevA(t, t + 2), t + 1);
    EXPECT_EQ(CharPrevA(t, t), t);
    EXPECT_TRUE(IsCharAlphaA('x'));
    EXPECT_TRUE(IsCharAlphaA('\xe9'));
    EXPECT_FALSE(IsCharAlphaA('5'));
    EXPECT_FALSE(IsCharAlphaA('\xd7')) << "the multiplication sign";
    EXPECT_TRUE(IsCharAlphaNumericA('5'));
    EXPECT_FALSE(IsCharAlphaNumericA('-'));
    EXPECT_TRUE(IsCharUpperA('\xc9'));
    EXPECT_FALSE(IsCharUpperA('\xe9'));
    EXPECT_TRUE(IsCharLowerA('\xe9'));
    EXPECT_FALSE(IsCharLowerA('1'));
}

TEST_F(Strings, CodePageConversion) {
    // Cyrillic 1251 both ways, whatever the machine's own page.
    const char cyr[] = "\xcf\xf0\xe8\xe2\xe5\xf2 \xa8\xb8"; // "Привет Ёё"
    WCHAR w[16];
    EXPECT_EQ(MultiByteToWideChar(1251, 0, cyr, -1, nullptr, 0), 10);
    ASSERT_EQ(MultiByteToWideChar(1251, 0, cyr, -1, w, 16), 10);
    EXPECT_EQ(w[0], 0x041F);
    EXPECT_EQ(w[7], 0x0401);
    EXPECT_EQ(w[8], 0x0451);
    EXPECT_EQ(w[9], 0);
    EXPECT_EQ(MultiByteToWideChar(1251, 0, cyr, 3, w, 16), 3) << "no NUL when the length is given";
    EXPECT_EQ(MultiByteToWideChar(1251, 0, cyr, -1, w, 5), 0) << "too small";
    char back[16];
    BOOL used = TRUE;
    EXPECT_EQ(WideCharToMultiByte(1251, 0, w, -1, nullptr, 0, nullptr, nullptr), 10);
    MultiByteToWideChar(1251, 0, cyr, -1, w, 16);
    ASSERT_EQ(WideCharToMultiByte(1251, 0, w, -1, back, sizeof back, nullptr, &used), 10);
    EXPECT_STREQ(back, cyr);
    EXPECT_FALSE(used);
    EXPECT_EQ(WideCharToMultiByte(1251, 0, w, -1, back, 4, nullptr, nullptr), 0) << "too small";
    // A character the page lacks becomes the default character.
    const WCHAR mixed[] = {L'a', 0x4E00, L'b', 0};
    ASSERT_EQ(WideCharToMultiByte(1252, 0, mixed, -1, back, sizeof back, nullptr, &used), 4);
    EXPECT_STREQ(back, "a?b");
    EXPECT_TRUE(used);
    ASSERT_EQ(WideCharToMultiByte(1251, 0, mixed, -1, back, sizeof back, "#", &used), 4);
    EXPECT_STREQ(back, "a#b");
    // 1252 and the machine's own page.
    const WCHAR euro[] = {0x20AC, 0x00E9, 0};
    ASSERT_EQ(WideCharToMultiByte(1252, 0, euro, -1, back, sizeof back, nullptr, nullptr), 3);
    EXPECT_STREQ(back, "\x80\xe9");
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "hi", -1, w, 16), 3);
    EXPECT_EQ(w[1], L'i');
}

TEST_F(Strings, CodePagesOfTheMachine) {
    UINT acp = GetACP();
    EXPECT_TRUE(acp == 1252 || acp == 1251) << acp;
    if (acp == 1251)
        EXPECT_EQ(GetOEMCP(), 866u);
    else
        EXPECT_TRUE(GetOEMCP() == 437 || GetOEMCP() == 850) << GetOEMCP();
}

} // namespace
