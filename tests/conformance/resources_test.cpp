// The resource calls over the test executable's own resources (tests/resources/testres.rc).
#include "tests/conformance/fixture.h"
#include "tests/resources/testres.h"

#include <cstring>
#include <string>

namespace {

class Resources : public Conformance {
  protected:
    HINSTANCE self() const { return GetModuleHandleA(nullptr); }

    std::string bytes_of(HRSRC found) {
        HGLOBAL loaded = LoadResource(self(), found);
        const char* p = static_cast<const char*>(LockResource(loaded));
        return p ? std::string(p, SizeofResource(self(), found)) : std::string();
    }

    // LoadStringA into a buffer of SIZE pre-filled with '#', with the result.
    std::pair<int, std::string> load(UINT id, int size) {
        std::string buffer(static_cast<std::size_t>(size) + 1, '#');
        int n = LoadStringA(self(), id, buffer.data(), size);
        return {n, buffer};
    }
    std::string load_text(UINT id) {
        char buffer[512];
        int n = LoadStringA(self(), id, buffer, sizeof buffer);
        EXPECT_EQ(n, static_cast<int>(std::strlen(buffer)));
        return buffer;
    }
};

TEST_F(Resources, ModuleHandleOfTheProgramIsItsInstance) {
    HMODULE self = GetModuleHandleA(nullptr);
    ASSERT_NE(self, nullptr);
    EXPECT_EQ(GetModuleHandleA("NO_SUCH_MODULE.DLL"), nullptr);
}

TEST_F(Resources, FindsByOrdinalByNameWithoutRegardToCaseAndByHashNumber) {
    EXPECT_NE(FindResourceA(self(), MAKEINTRESOURCEA(IDD_CLASSIC), RT_DIALOG), nullptr);
    EXPECT_NE(FindResourceA(nullptr, MAKEINTRESOURCEA(IDD_EXTENDED), RT_DIALOG), nullptr);
    EXPECT_NE(FindResourceA(self(), "#100", RT_DIALOG), nullptr);
    EXPECT_NE(FindResourceA(self(), MAKEINTRESOURCEA(IDB_TEST), "#2"), nullptr);
    EXPECT_EQ(bytes_of(FindResourceA(self(), "NamedData", RT_RCDATA)), std::string("named\0", 6));
    EXPECT_EQ(bytes_of(FindResourceA(self(), "nameddata", RT_RCDATA)), std::string("named\0", 6));
    EXPECT_EQ(bytes_of(FindResourceA(self(), "SetupInfo", "tntype")), "custom type");

    EXPECT_EQ(FindResourceA(self(), MAKEINTRESOURCEA(IDD_CLASSIC), RT_BITMAP), nullptr);
    EXPECT_EQ(FindResourceA(self(), MAKEINTRESOURCEA(999), RT_DIALOG), nullptr);
    EXPECT_EQ(FindResourceA(self(), "NamedDat", RT_RCDATA), nullptr);
    EXPECT_EQ(FindResourceA(self(), "NamedData", RT_BITMAP), nullptr);
}

TEST_F(Resources, DataAndSizeAreTheCompiledBytes) {
    HRSRC raw = FindResourceA(self(), MAKEINTRESOURCEA(IDR_DATA), RT_RCDATA);
    ASSERT_NE(raw, nullptr);
    EXPECT_EQ(SizeofResource(self(), raw), 5u);
    EXPECT_EQ(bytes_of(raw), std::string("RAW\x01\x02", 5));

    // A bitmap resource is the file without its BITMAPFILEHEADER; an icon is one image of the file.
    HRSRC bitmap = FindResourceA(self(), MAKEINTRESOURCEA(IDB_TEST), RT_BITMAP);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(SizeofResource(self(), bitmap), 78u - 14u);
    EXPECT_EQ(bytes_of(bitmap).substr(0, 4), std::string("\x28\0\0\0", 4));
    HRSRC group = FindResourceA(self(), MAKEINTRESOURCEA(IDI_TEST), RT_GROUP_ICON);
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(SizeofResource(self(), group), 6u + 14u);
    EXPECT_NE(FindResourceA(self(), MAKEINTRESOURCEA(1), RT_ICON), nullptr);

    // Resources stay loaded; FreeResource has nothing to release.
    HGLOBAL loaded = LoadResource(self(), raw);
    EXPECT_EQ(LockResource(loaded), LockResource(LoadResource(self(), raw)));
    EXPECT_FALSE(FreeResource(loaded));
}

TEST_F(Resources, FindResourceExPicksTheLanguage) {
    HRSRC ru = FindResourceExA(self(), RT_RCDATA, MAKEINTRESOURCEA(IDR_LANG),
                               MAKELANGID(LANG_RUSSIAN, SUBLANG_DEFAULT));
    HRSRC en = FindResourceExA(self(), RT_RCDATA, MAKEINTRESOURCEA(IDR_LANG),
                               MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
    EXPECT_EQ(bytes_of(ru), "ru");
    EXPECT_EQ(bytes_of(en), "en");
    EXPECT_NE(FindResourceA(self(), MAKEINTRESOURCEA(IDR_LANG), RT_RCDATA), nullptr);
    // The primary language alone finds the sublanguage only through the neutral fallback, which this
    // resource lacks.
    EXPECT_EQ(FindResourceExA(self(), RT_RCDATA, MAKEINTRESOURCEA(IDR_LANG), MAKELANGID(LANG_RUSSIAN, 3)),
              nullptr);
}

TEST_F(Resources, LoadStringFindsIdsAcrossBlocks) {
    EXPECT_EQ(load_text(IDS_HELLO), "Hello, world");
    EXPECT_EQ(load_text(IDS_LAST_OF_FIRST_BLOCK), "Last of the first block");
    EXPECT_EQ(load_text(IDS_FIRST_OF_SECOND_BLOCK), "First of the second block");
    EXPECT_EQ(load_text(IDS_MAX), "Highest id");
    EXPECT_EQ(load_text(IDS_LONG).size(), 311u);
    EXPECT_EQ(load_text(IDS_LONG).back(), '!');
    // A null instance is the program, and only the low word of the id counts.
    char buffer[32];
    EXPECT_EQ(LoadStringA(nullptr, IDS_HELLO, buffer, sizeof buffer), 12);
    EXPECT_EQ(LoadStringA(self(), 0x10000 + IDS_HELLO, buffer, sizeof buffer), 12);
    EXPECT_STREQ(buffer, "Hello, world");
    // The string table block is RT_STRING number id / 16 + 1.
    EXPECT_NE(FindResourceA(self(), MAKEINTRESOURCEA(IDS_LONG / 16 + 1), RT_STRING), nullptr);
}

TEST_F(Resources, LoadStringOfAnEmptyOrMissingStringIsZero) {
    auto [n, text] = load(IDS_EMPTY, 10);
    EXPECT_EQ(n, 0);
    EXPECT_EQ(text[0], '\0');
    std::tie(n, text) = load(IDS_MISSING_IN_BLOCK, 10);
    EXPECT_EQ(n, 0);
    std::tie(n, text) = load(IDS_NO_BLOCK, 10);
    EXPECT_EQ(n, 0);
}

TEST_F(Resources, LoadStringCutsToTheBufferAndTerminates) {
    auto [n, text] = load(IDS_HELLO, 6);
    EXPECT_EQ(n, 5);
    EXPECT_EQ(text, std::string("Hello\0#", 7));
    std::tie(n, text) = load(IDS_HELLO, 13);
    EXPECT_EQ(n, 12);
    EXPECT_EQ(text, std::string("Hello, world\0#", 14));
    std::tie(n, text) = load(IDS_HELLO, 1);
    EXPECT_EQ(n, 0);
    EXPECT_EQ(text, std::string("\0#", 2));
}

TEST_F(Resources, LoadStringWithNoRoomWritesNothing) {
    auto [n, text] = load(IDS_HELLO, 0);
    EXPECT_EQ(n, -1);
    EXPECT_EQ(text, "#");
}

// The simulated machine's default code page is 1252, as is Wine's in an English locale; code page 1251
// is covered by the unit tests.
TEST_F(Resources, LoadStringConvertsToTheAnsiCodePage) {
    if (load_text(IDS_WESTERN) != "Caf\xE9 \x80") GTEST_SKIP() << "not code page 1252";
    EXPECT_EQ(load_text(IDS_CYRILLIC), "????????? ??");
    EXPECT_EQ(load_text(IDS_CYRILLIC_ESCAPED), "???????");
}

} // namespace
