// Profile (INI) functions as programs observe them: values, defaults, key and section lists with their
// truncation, integers, and the writes.
#include "tests/conformance/fixture.h"

#include <cstring>
#include <string>

namespace {

class Profile : public Conformance {
  protected:
    // GetPrivateProfileStringA into a buffer of SIZE bytes pre-filled with 'x'; returns the whole buffer.
    std::string read(LPCSTR section, LPCSTR key, LPCSTR def, DWORD size, DWORD* result,
                     const std::string& file = "t.ini") {
        std::string buf(size + 1, 'x');
        *result = GetPrivateProfileStringA(section, key, def, buf.data(), size, at(file).c_str());
        return buf.substr(0, size);
    }
    std::string value(LPCSTR section, LPCSTR key, LPCSTR def = "<none>", const std::string& file = "t.ini") {
        char buf[256];
        DWORD n = GetPrivateProfileStringA(section, key, def, buf, sizeof buf, at(file).c_str());
        EXPECT_EQ(n, std::strlen(buf));
        return buf;
    }
    UINT number(LPCSTR key, INT def = 77) {
        return GetPrivateProfileIntA("n", key, def, at("t.ini").c_str());
    }
    BOOL write(LPCSTR section, LPCSTR key, LPCSTR value) {
        return WritePrivateProfileStringA(section, key, value, at("t.ini").c_str());
    }
};

const char kSample[] = "; setup file\r\n"
                       "[Disks]\r\n"
                       "  1 =  Disk one  \r\n"
                       "2=\"Disk two\"\r\n"
                       "3='quoted'\r\n"
                       "4=\"half\r\n"
                       "; 5=commented\r\n"
                       "loose line\r\n"
                       "1=second one\r\n"
                       "empty=\r\n"
                       "\r\n"
                       "[default.setup]\r\n"
                       "RUS=1251 , 866 ,1\r\n"
                       "[disks]\r\n"
                       "9=from the repeated section\r\n"
                       "[ Spaced ]\r\n"
                       "k=in brackets\r\n";

TEST_F(Profile, ValuesMatchNamesInAnyCaseWithoutTheirBlanks) {
    put("t.ini", kSample);
    EXPECT_EQ(value("Disks", "1"), "Disk one");
    EXPECT_EQ(value("DISKS", " 1 "), "Disk one") << "first of two equal keys; blanks around names ignored";
    EXPECT_EQ(value("dIsKs", "2"), "Disk two");
    EXPECT_EQ(value("Disks", "3"), "quoted");
    EXPECT_EQ(value("Disks", "4"), "\"half") << "unmatched quote stays";
    EXPECT_EQ(value("Disks", "empty"), "");
    EXPECT_EQ(value("Default.Setup", "rus"), "1251 , 866 ,1") << "inner blanks stay";
    EXPECT_EQ(value("Disks", "loose line"), "<none>") << "a line without '=' is no key";
    EXPECT_EQ(value("Disks", "9"), "<none>") << "only the first section of a name counts";
    EXPECT_EQ(value("spaced", "k"), "in brackets") << "blanks inside the brackets are not part of the name";
    // Wine finds a key named by a comment line; no name the programs look up starts with ';'.
    if (!on_simulator()) GTEST_SKIP() << "Wine looks up comment lines";
    EXPECT_EQ(value("Disks", "; 5"), "<none>") << "comments are not keys";
}

TEST_F(Profile, AnyLineEndSeparatesLines) {
    put("t.ini", "[a]\rk=cr\r[b]\nk=lf\n[c]\r\nk=crlf");
    EXPECT_EQ(value("a", "k"), "cr");
    EXPECT_EQ(value("b", "k"), "lf");
    EXPECT_EQ(value("c", "k"), "crlf");
}

TEST_F(Profile, AnsiBytesPassThroughUnchanged) {
    const char cyr[] = "\xD0\xF3\xF1\xF1\xEA\xE8\xE9 \xFF\xE7\xFB\xEA"; // CP1251 text
    put("t.ini", std::string("[Country]\r\n\xD0\xEE\xF1\xF1\xE8\xFF=") + cyr + "\r\n");
    EXPECT_EQ(value("Country", "\xD0\xEE\xF1\xF1\xE8\xFF"), cyr);
    ASSERT_TRUE(write("Country", "k", cyr));
    EXPECT_EQ(value("Country", "k"), cyr);
}

TEST_F(Profile, DefaultsForMissingFileSectionKeyAndEmptyNames) {
    put("t.ini", "[s]\r\nk=v\r\n");
    EXPECT_EQ(value("s", "k", "d", "missing.ini"), "d");
    EXPECT_EQ(value("nosection", "k", "d"), "d");
    EXPECT_EQ(value("s", "nokey", "d"), "d");
    EXPECT_EQ(value("", "k", "d"), "d");
    EXPECT_EQ(value("s", "", "d"), "d");
    EXPECT_EQ(value("s", "nokey", "one two  "), "one two") << "trailing blanks of the default go";
    EXPECT_EQ(value("s", "nokey", "  lead"), "  lead");
    EXPECT_EQ(value("s", "nokey", nullptr), "");
    char buf[16] = "kumquat";
    EXPECT_EQ(GetPrivateProfileStringA("s", "k", "d", buf, sizeof buf, nullptr), 1u);
    EXPECT_STREQ(buf, "d") << "no file name: the default";
}

TEST_F(Profile, ValuesAreCutToTheBuffer) {
    put("t.ini", "[s]\r\nk=val1\r\nq=\"quoted\"\r\n");
    DWORD n = 99;
    EXPECT_EQ(read("s", "k", "d", 4, &n), std::string("val\0", 4));
    EXPECT_EQ(n, 3u);
    EXPECT_EQ(read("s", "k", "d", 5, &n), std::string("val1\0", 5));
    EXPECT_EQ(n, 4u);
    EXPECT_EQ(read("s", "k", "d", 1, &n), std::string("\0", 1));
    EXPECT_EQ(n, 0u);
    EXPECT_EQ(read("s", "k", "d", 0, &n), "");
    EXPECT_EQ(n, 0u);
    char untouched[4] = "abc";
    EXPECT_EQ(GetPrivateProfileStringA("s", "k", "d", untouched, 0, at("t.ini").c_str()), 0u);
    EXPECT_STREQ(untouched, "abc");
    EXPECT_EQ(read("s", "nokey", "default", 4, &n), std::string("def\0", 4));
    EXPECT_EQ(n, 3u);
}

TEST_F(Profile, KeyListsHoldKeysInFileOrder) {
    put("t.ini",
        "[s]\r\nname1=val1\r\n name2 =\r\nname3\r\n;name=x\r\nname4=a\r\nname1=again\r\n[empty]\r\n");
    DWORD n = 0;
    EXPECT_EQ(read("S", nullptr, "d", 40, &n).substr(0, 26),
              std::string("name1\0name2\0name4\0name1\0\0", 25) + "x");
    EXPECT_EQ(n, 24u);
    // Cut: the list's first size-2 bytes and a NUL, an exact fit counting as cut. The simulator also
    // puts the second NUL into the last byte (as documented); Wine leaves that byte alone.
    EXPECT_EQ(read("s", nullptr, "d", 16, &n).substr(0, 15), std::string("name1\0name2\0na\0", 15));
    EXPECT_EQ(n, 14u);
    EXPECT_EQ(read("s", nullptr, "d", 25, &n).substr(0, 24), std::string("name1\0name2\0name4\0name1\0", 24));
    EXPECT_EQ(n, 23u);
    EXPECT_EQ(read("s", nullptr, "d", 26, &n).substr(0, 25),
              std::string("name1\0name2\0name4\0name1\0\0", 25));
    EXPECT_EQ(n, 24u);
    // A missing or empty section gives the default as a plain string.
    EXPECT_EQ(read("empty", nullptr, "dflt", 10, &n).substr(0, 5), std::string("dflt\0", 5));
    EXPECT_EQ(n, 4u);
    EXPECT_EQ(read("none", nullptr, "", 10, &n).substr(0, 1), std::string("\0", 1));
    EXPECT_EQ(n, 0u);
}

TEST_F(Profile, LongKeyListIsCutAtTheBuffer) {
    // 100 names of 11 characters and a NUL each: 1200 bytes, more than a 1024-byte buffer holds.
    std::string ini = "[Keyboard Layouts]\r\n";
    for (int i = 0; i < 100; ++i)
        ini += "Layout_" + std::to_string(1000 + i) + "=x\r\n";
    put("t.ini", ini);
    char buf[1024];
    DWORD n = GetPrivateProfileStringA("keyboard layouts", nullptr, "", buf, sizeof buf, at("t.ini").c_str());
    EXPECT_EQ(n, 1022u);
    EXPECT_EQ(buf[1022], '\0');
    EXPECT_EQ(buf[1023], '\0');
    EXPECT_STREQ(buf + 84 * 12, "Layout_1084");
    EXPECT_STREQ(buf + 85 * 12, "La") << "the last name is cut";
}

TEST_F(Profile, SectionListsHoldSectionsInFileOrder) {
    put("t.ini", "[section1]\r\n[section2]\r\nk=v\r\n[section3]\r\n");
    DWORD n = 0;
    EXPECT_EQ(read(nullptr, "ignored", "d", 40, &n).substr(0, 28),
              std::string("section1\0section2\0section3\0\0", 28));
    EXPECT_EQ(n, 27u);
    char buf[40];
    EXPECT_EQ(GetPrivateProfileSectionNamesA(buf, 29, at("t.ini").c_str()), 27u);
    EXPECT_EQ(GetPrivateProfileSectionNamesA(buf, 28, at("t.ini").c_str()), 26u);
    EXPECT_EQ(std::string(buf, 28), std::string("section1\0section2\0section3\0\0", 28));
    EXPECT_EQ(GetPrivateProfileSectionNamesA(buf, 27, at("t.ini").c_str()), 25u);
    EXPECT_EQ(std::string(buf, 27), std::string("section1\0section2\0section\0\0", 27));
    std::memset(buf, 'x', sizeof buf);
    EXPECT_EQ(GetPrivateProfileSectionNamesA(buf, 10, at("missing.ini").c_str()), 0u);
    EXPECT_EQ(buf[0], '\0');
    EXPECT_EQ(buf[1], 'x');
}

TEST_F(Profile, IntegersAreTheDecimalNumberAtTheStart) {
    put("t.ini", "[n]\r\na=17\r\nb= -1 \r\nc=42A94967297\r\nd=B42\r\ne=4294967297\r\nf=-4294967297\r\n"
                 "g=0x10\r\nh=\"12\"\r\ni=+1\r\nj=\r\n");
    EXPECT_EQ(number("a"), 17u);
    EXPECT_EQ(number("b"), 4294967295u);
    EXPECT_EQ(number("c"), 42u);
    EXPECT_EQ(number("d"), 0u);
    EXPECT_EQ(number("e"), 1u) << "wraps at 32 bits";
    EXPECT_EQ(number("f"), 4294967295u);
    EXPECT_EQ(number("h"), 12u);
    EXPECT_EQ(number("missing", -5), static_cast<UINT>(-5));
    EXPECT_EQ(GetPrivateProfileIntA("n", "a", 3, at("missing.ini").c_str()), 3u);
    // Windows NT (and Wine, which follows it) reads "+1" as 1, "0x10" as 16, an empty value and a missing
    // name as the default; the decimal reader of Windows 95 gives 0 to all of them.
    if (!on_simulator()) GTEST_SKIP() << "Windows 95 behaviour that Wine does not share";
    EXPECT_EQ(number("g"), 0u);
    EXPECT_EQ(number("i"), 0u);
    EXPECT_EQ(number("j"), 0u);
    EXPECT_EQ(GetPrivateProfileIntA(nullptr, "a", 3, at("t.ini").c_str()), 0u);
    EXPECT_EQ(GetPrivateProfileIntA("n", nullptr, 3, at("t.ini").c_str()), 0u);
}

TEST_F(Profile, WritesCreateFileSectionAndKey) {
    ASSERT_TRUE(write("Tarno", "Version", "1.0"));
    EXPECT_EQ(get("t.ini"), "[Tarno]\r\nVersion=1.0\r\n");
    ASSERT_TRUE(write("Tarno", "Dir", "C:\\TARNO"));
    ASSERT_TRUE(write("tarno", "version", "2.0"));
    ASSERT_TRUE(write("Other", "k", "v"));
    EXPECT_EQ(value("Tarno", "Version"), "2.0");
    EXPECT_EQ(value("TARNO", "Dir"), "C:\\TARNO");
    EXPECT_EQ(value("Other", "k"), "v");
    DWORD n = 0;
    EXPECT_EQ(read("Tarno", nullptr, "", 20, &n).substr(0, 13), std::string("Version\0Dir\0\0", 13));
    EXPECT_FALSE(WritePrivateProfileStringA("s", "k", "v", at("nodir\\t.ini").c_str()));
}

TEST_F(Profile, WritesDeleteKeysAndSections) {
    put("t.ini", "[a]\r\nk1=1\r\nk2=2\r\n[b]\r\nk=3\r\n");
    ASSERT_TRUE(write("a", "k1", nullptr));
    EXPECT_EQ(value("a", "k1"), "<none>");
    EXPECT_EQ(value("a", "k2"), "2");
    ASSERT_TRUE(write("a", nullptr, nullptr));
    EXPECT_EQ(value("a", "k2"), "<none>");
    EXPECT_EQ(value("b", "k"), "3");
    EXPECT_TRUE(write("a", "nokey", nullptr)) << "deleting what is not there succeeds";
    EXPECT_FALSE(WritePrivateProfileStringA(nullptr, nullptr, nullptr, at("t.ini").c_str()))
        << "only flushes";
    EXPECT_EQ(value("b", "k"), "3");
}

TEST_F(Profile, EditsKeepTheRestOfTheFileByteForByte) {
    // Windows 95 edits the lines concerned; Wine writes the file anew from what it parsed, losing blanks
    // and blank lines.
    if (!on_simulator()) GTEST_SKIP() << "Wine rewrites the whole file";
    put("t.ini", "; head\r\n[a]\r\n  k1 = old ; not a comment\r\nodd line\r\n\r\n[b]\r\nx=1");
    ASSERT_TRUE(write("A", "K1", "new"));
    EXPECT_EQ(get("t.ini"), "; head\r\n[a]\r\nk1=new\r\nodd line\r\n\r\n[b]\r\nx=1");
    ASSERT_TRUE(write("a", "k2", "two"));
    EXPECT_EQ(get("t.ini"), "; head\r\n[a]\r\nk1=new\r\nodd line\r\nk2=two\r\n\r\n[b]\r\nx=1");
    ASSERT_TRUE(write("b", "y", "2"));
    EXPECT_EQ(get("t.ini"), "; head\r\n[a]\r\nk1=new\r\nodd line\r\nk2=two\r\n\r\n[b]\r\nx=1\r\ny=2\r\n");
    ASSERT_TRUE(write("c", "z", "3"));
    EXPECT_EQ(get("t.ini"),
              "; head\r\n[a]\r\nk1=new\r\nodd line\r\nk2=two\r\n\r\n[b]\r\nx=1\r\ny=2\r\n\r\n[c]\r\nz=3\r\n");
    ASSERT_TRUE(write("a", nullptr, nullptr));
    EXPECT_EQ(get("t.ini"), "; head\r\n[b]\r\nx=1\r\ny=2\r\n\r\n[c]\r\nz=3\r\n");
    ASSERT_TRUE(write("b", "x", nullptr));
    EXPECT_EQ(get("t.ini"), "; head\r\n[b]\r\ny=2\r\n\r\n[c]\r\nz=3\r\n");
}

TEST_F(Profile, SectionsReadAndWriteAsAWhole) {
    put("t.ini", "[s1]\r\nname1 = val1\r\nname2=\r\nname3\r\n;c\r\nname4=\"q\"\r\n[s2]\r\n");
    char buf[100];
    DWORD n = GetPrivateProfileSectionA("s1", buf, sizeof buf, at("t.ini").c_str());
    EXPECT_EQ(std::string(buf, n + 1), std::string("name1=val1\0name2=\0name3\0name4=\"q\"\0\0", 35));
    EXPECT_EQ(GetPrivateProfileSectionA("none", buf, sizeof buf, at("t.ini").c_str()), 0u);
    ASSERT_TRUE(WritePrivateProfileSectionA("s1", "a=1\0b=2\0", at("t.ini").c_str()));
    EXPECT_EQ(value("s1", "a"), "1");
    EXPECT_EQ(value("s1", "name1"), "<none>");
    ASSERT_TRUE(WritePrivateProfileSectionA("s3", "c=3\0", at("t.ini").c_str()));
    EXPECT_EQ(value("s3", "c"), "3");
    DWORD len = 0;
    EXPECT_EQ(read(nullptr, nullptr, "", 20, &len).substr(0, 10), std::string("s1\0s2\0s3\0\0", 10));
}

TEST_F(Profile, BareNamesLiveInTheWindowsDirectory) {
    ASSERT_TRUE(WritePrivateProfileStringA("TarnoTest", "k", "bare", "TNPRTEST.INI"));
    char buf[32];
    GetPrivateProfileStringA("TarnoTest", "k", "", buf, sizeof buf, "TNPRTEST.INI");
    EXPECT_STREQ(buf, "bare");
    if (on_simulator()) {
        GetPrivateProfileStringA("TarnoTest", "k", "", buf, sizeof buf, "C:\\WINDOWS\\TNPRTEST.INI");
        EXPECT_STREQ(buf, "bare");
    }
    GetPrivateProfileStringA("TarnoTest", "k", "none", buf, sizeof buf, ".\\TNPRTEST.INI");
    EXPECT_STREQ(buf, "none") << "a path with a separator is relative to the current directory";
    EXPECT_TRUE(WritePrivateProfileStringA("TarnoTest", nullptr, nullptr, "TNPRTEST.INI"));
}

TEST_F(Profile, WinIniThroughTheProfileForms) {
    ASSERT_TRUE(WriteProfileStringA("TarnoConformance", "Key", "  42 "));
    char buf[16];
    EXPECT_EQ(GetProfileStringA("tarnoconformance", "key", "", buf, sizeof buf), 2u);
    EXPECT_STREQ(buf, "42");
    EXPECT_EQ(GetProfileIntA("TarnoConformance", "Key", 0), 42u);
    ASSERT_TRUE(WriteProfileStringA("TarnoConformance", nullptr, nullptr));
    EXPECT_EQ(GetProfileIntA("TarnoConformance", "Key", 7), 7u);
}

} // namespace
