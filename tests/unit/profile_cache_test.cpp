// The profile functions' file handling: fault injection leaves files untouched, and the parse cache sees
// both our own writes and changes made behind its back.
#include "platform/sim/kernel/ini.h"
#include "platform/sim/machine/machine.h"
#include "platform/sim/kernel/profile_cache.h"
#include "platform/sim/sim.h"
#include "platform/win32.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const char kIni[] = "C:\\T.INI";

class ProfileFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        char tmpl[] = "/tmp/profile-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        root = tmpl;
        std::string error;
        ASSERT_TRUE(sim::create_default_machine(root, &error)) << error;
        ASSERT_TRUE(sim::attach(root, "C:\\TEST.EXE", "C:\\", &error)) << error;
        sim::clear_profile_cache();
    }
    void TearDown() override {
        sim::detach();
        fs::remove_all(root);
    }
    fs::path host() const { return fs::path(root) / "C" / "T.INI"; }
    void put(const std::string& text) { std::ofstream(host(), std::ios::binary | std::ios::trunc) << text; }
    std::string file() const {
        std::ifstream in(host(), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    // Moves the file's time back so the cache may trust it.
    void age() {
        auto t = fs::last_write_time(host());
        fs::last_write_time(host(), t - std::chrono::seconds(10));
    }
    std::string value(const char* key) {
        char buf[64];
        GetPrivateProfileStringA("s", key, "<none>", buf, sizeof buf, kIni);
        return buf;
    }
    std::string root;
};

TEST_F(ProfileFiles, FailedWritesLeaveTheFileAsItWas) {
    const std::string before = "; keep\r\n[s]\r\nk=1\r\n";
    put(before);
    sim::machine().settings.fail_write.push_back("C:\\T.INI");
    EXPECT_FALSE(WritePrivateProfileStringA("s", "k", "2", kIni));
    EXPECT_FALSE(WritePrivateProfileStringA("s", nullptr, nullptr, kIni));
    EXPECT_FALSE(WritePrivateProfileSectionA("s", "a=1\0", kIni));
    sim::machine().settings.fail_write.clear();
    sim::machine().settings.readonly_paths.push_back("C:\\");
    EXPECT_FALSE(WritePrivateProfileStringA("s", "k", "2", kIni));
    sim::machine().settings.readonly_paths.clear();
    sim::machine().settings.drives['C'].full_after = 4;
    EXPECT_FALSE(WritePrivateProfileStringA("s", "k", "2", kIni));
    EXPECT_EQ(file(), before);
    EXPECT_EQ(value("k"), "1");
    EXPECT_FALSE(fs::exists(host().string() + ".tmp~"));
}

TEST_F(ProfileFiles, AFileThatFailsToReadIsMissing) {
    put("[s]\r\nk=1\r\n");
    sim::machine().settings.fail_read.push_back("C:\\T.INI");
    EXPECT_EQ(value("k"), "<none>");
    EXPECT_EQ(GetPrivateProfileIntA("s", "k", 9, kIni), 9u);
    sim::machine().settings.fail_read.clear();
    EXPECT_EQ(value("k"), "1");
}

TEST_F(ProfileFiles, ChangesBehindTheCacheAreSeen) {
    put("[s]\r\nk=1\r\n");
    age();
    EXPECT_EQ(value("k"), "1");
    unsigned long parses = sim::profile_parse_count();
    for (int i = 0; i < 100; ++i)
        value("k");
    EXPECT_EQ(sim::profile_parse_count(), parses) << "a trusted file is not parsed again";
    put("[s]\r\nk=2\r\n"); // same size, and perhaps the same clock tick as the read
    EXPECT_EQ(value("k"), "2");
    put("[s]\r\nk=3\r\n");
    age();
    EXPECT_EQ(value("k"), "3") << "a different time";
    fs::remove(host());
    EXPECT_EQ(value("k"), "<none>");
}

TEST_F(ProfileFiles, OwnWritesAreSeenAtOnce) {
    put("[s]\r\nk=1\r\n");
    age();
    EXPECT_EQ(value("k"), "1");
    for (int i = 0; i < 20; ++i) {
        std::string v = std::to_string(i);
        ASSERT_TRUE(WritePrivateProfileStringA("s", "k", v.c_str(), kIni));
        ASSERT_EQ(value("k"), v);
    }
}

TEST_F(ProfileFiles, CyrillicNamesMatchInAnyCaseOnA1251Machine) {
    sim::machine().settings.codepage = 1251;
    put("[\xd1\xe5\xea\xf6\xe8\xff]\r\n\xca\xeb\xfe\xf7=1\r\n"); // [Секция] Ключ=1
    char buf[8];
    GetPrivateProfileStringA("\xf1\xc5\xca\xd6\xc8\xdf", "\xea\xcb\xde\xd7", "", buf, sizeof buf, kIni);
    EXPECT_STREQ(buf, "1");
    sim::machine().settings.codepage = 1252; // the same bytes are different letters there
    GetPrivateProfileStringA("\xf1\xc5\xca\xd6\xc8\xdf", "\xea\xcb\xde\xd7", "", buf, sizeof buf, kIni);
    EXPECT_STREQ(buf, "");
}

TEST(IniDocument, OddBytesAreHarmless) {
    std::string text = std::string("[s]\r\nk=a\0b", 10) + "\r\n[\r\n]\r\n=v\r\n[t\r\n\xff\xfe=\x1a";
    sim::IniDocument doc(text, 1252);
    ASSERT_NE(doc.value("s", "k"), nullptr);
    EXPECT_EQ(*doc.value("s", "k"), std::string_view("a\0b", 3));
    EXPECT_EQ(doc.value("s", ""), nullptr);
    std::vector<std::string_view> keys;
    EXPECT_TRUE(doc.key_names("s", keys));
    EXPECT_EQ(keys.size(), 2u) << "k and \\xff\\xfe: '[t' opens no section";
    EXPECT_NE(doc.with_value("s", "n", "v").find("n=v\r\n"), std::string::npos);
}

} // namespace
