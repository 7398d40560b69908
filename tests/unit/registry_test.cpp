// The registry's file: REGEDIT4 round trips, a second process on the same machine, the default
// machine's keys, refused changes and damaged files.
#include "platform/sim/machine/machine.h"
#include "platform/sim/advapi/regfile.h"
#include "platform/sim/sim.h"
#include "platform/sim/machine/textfile.h"
#include "platform/win32.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const char kFontsKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Fonts";

class RegistryFile : public ::testing::Test {
  protected:
    void SetUp() override {
        char tmpl[] = "/tmp/registry-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        root_ = tmpl;
        std::string error;
        ASSERT_TRUE(sim::create_default_machine(root_, &error)) << error;
        attach();
    }
    void TearDown() override {
        sim::detach();
        fs::remove_all(root_);
    }
    // A new process on the same machine.
    void attach() {
        sim::detach();
        std::string error;
        ASSERT_TRUE(sim::attach(root_, "C:\\TEST.EXE", "C:\\", &error)) << error;
    }
    std::string file() const { return root_ + "/registry.reg"; }
    std::string file_text() const {
        std::string text;
        sim::read_host_file(file(), text);
        return text;
    }

    HKEY create(HKEY root, const char* path) {
        HKEY key = nullptr;
        EXPECT_EQ(RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        return key;
    }
    LONG set(HKEY key, const std::string& name, DWORD type, const std::string& data) {
        return RegSetValueExA(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.data()),
                              static_cast<DWORD>(data.size()));
    }
    // Type and data of a value, or nothing when the query fails.
    std::pair<DWORD, std::string> get(HKEY root, const char* path, const std::string& name) {
        HKEY key;
        if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return {0, "<no key>"};
        DWORD type = 0, size = 0;
        std::string data;
        if (RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
            data.resize(size);
            RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
        } else {
            data = "<no value>";
        }
        RegCloseKey(key);
        return {type, data};
    }
    std::vector<std::string> value_names(HKEY root, const char* path) {
        std::vector<std::string> names;
        HKEY key;
        if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return names;
        char name[256];
        DWORD size = sizeof name;
        for (DWORD i = 0;
             RegEnumValueA(key, i, name, &size, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
             ++i, size = sizeof name)
            names.push_back(name);
        RegCloseKey(key);
        return names;
    }

    std::string root_;
};

std::string sz(const std::string& text) {
    return text + std::string(1, '\0');
}

TEST_F(RegistryFile, EveryTypeSurvivesTheFileAndASecondProcess) {
    std::string binary;
    for (int i = 0; i < 300; ++i)
        binary += static_cast<char>(i * 7);
    const std::string cyrillic_name = "\xd8\xf0\xe8\xf4\xf2 \"\xc0\"";                // Шрифт "А"
    const std::string cyrillic_data = sz("C:\\\xcf\xf0\xee\xe3\xf0\xe0\xec\xec\xfb"); // C:\Программы
    const std::vector<std::tuple<std::string, DWORD, std::string>> values = {
        {"", REG_SZ, sz("default")},
        {"quote\"and\\slash", REG_SZ, sz("say \"hi\" in C:\\WINDOWS\\")},
        {cyrillic_name, REG_SZ, cyrillic_data},
        {"number", REG_DWORD, std::string("\x2a\x00\x00\x80", 4)},
        {"short dword", REG_DWORD, std::string("\x01\x02", 2)},
        {"binary", REG_BINARY, binary},
        {"empty binary", REG_BINARY, ""},
        {"expand", REG_EXPAND_SZ, sz("%windir%\\x")},
        {"multi", REG_MULTI_SZ, std::string("a\0bc\0\0", 6)},
        {"none", REG_NONE, std::string("\x00\x01", 2)},
        {"zero inside", REG_SZ, std::string("ab\0cd\0", 6)},
        {"line break", REG_SZ, sz("one\r\ntwo")},
    };
    HKEY key = create(HKEY_CURRENT_CONFIG, "Display\\Fonts\\Test");
    for (const auto& [name, type, data] : values)
        ASSERT_EQ(set(key, name, type, data), ERROR_SUCCESS) << name;
    RegCloseKey(key);

    std::string text = file_text();
    EXPECT_EQ(text.rfind("REGEDIT4\r\n", 0), 0u);
    EXPECT_NE(text.find("[HKEY_CURRENT_CONFIG\\Display\\Fonts\\Test]\r\n@=\"default\"\r\n"
                        "\"quote\\\"and\\\\slash\"=\"say \\\"hi\\\" in C:\\\\WINDOWS\\\\\"\r\n"),
              std::string::npos);
    EXPECT_NE(text.find("\"\xd8\xf0\xe8\xf4\xf2 \\\"\xc0\\\"\"=\"C:\\\\\xcf\xf0"), std::string::npos);
    EXPECT_NE(text.find("\"number\"=dword:8000002a\r\n"), std::string::npos);
    EXPECT_NE(text.find("\"short dword\"=hex(4):01,02\r\n"), std::string::npos);
    EXPECT_NE(text.find("\"empty binary\"=hex:\r\n"), std::string::npos);
    EXPECT_NE(text.find("\"multi\"=hex(7):61,00,62,63,00,00\r\n"), std::string::npos);
    EXPECT_NE(text.find("\"zero inside\"=hex(1):61,62,00,63,64,00\r\n"), std::string::npos);
    // Long hex lists go on in indented lines ending in a backslash, none wider than 80 columns.
    EXPECT_NE(text.find(",\\\r\n  "), std::string::npos);
    for (std::size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        EXPECT_LE(end - start, 80u);

    attach();
    for (const auto& [name, type, data] : values) {
        auto [got_type, got] = get(HKEY_CURRENT_CONFIG, "Display\\Fonts\\Test", name);
        EXPECT_EQ(got_type, type) << name;
        EXPECT_EQ(got, data) << name;
    }
    std::vector<std::string> names;
    for (const auto& v : values)
        names.push_back(std::get<0>(v));
    EXPECT_EQ(value_names(HKEY_CURRENT_CONFIG, "Display\\Fonts\\Test"), names);
}

TEST_F(RegistryFile, AnotherProcessesChangesAreSeenAndDeletedKeysFailCleanly) {
    HKEY key = create(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tarno");
    ASSERT_EQ(set(key, "v", REG_SZ, sz("mine")), ERROR_SUCCESS);

    // Another program of the machine rewrites the file between two calls of this one.
    std::string text = file_text();
    std::size_t at = text.find("\"v\"=\"mine\"");
    ASSERT_NE(at, std::string::npos);
    ASSERT_TRUE(sim::write_host_file(file(), text.replace(at, 10, "\"v\"=\"his!\"")));
    EXPECT_EQ(get(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tarno", "v").second, sz("his!"));

    text = file_text();
    at = text.find("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Tarno]");
    ASSERT_NE(at, std::string::npos);
    ASSERT_TRUE(sim::write_host_file(file(), text.substr(0, at)));
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExA(key, "v", nullptr, nullptr, nullptr, &size), ERROR_KEY_DELETED);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);

    // Handles belong to a process.
    key = create(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tarno");
    attach();
    EXPECT_EQ(RegQueryValueExA(key, "v", nullptr, nullptr, nullptr, &size), ERROR_INVALID_HANDLE);
}

TEST_F(RegistryFile, DeletingAKeyTakesItsSubtreeAndItsHandles) {
    HKEY top = create(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tarno");
    HKEY deep = create(top, "a\\b");
    HKEY sibling = create(HKEY_LOCAL_MACHINE, "SOFTWARE\\TarnoX");
    ASSERT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, "software\\TARNO"), ERROR_SUCCESS);
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExA(top, "v", nullptr, nullptr, nullptr, &size), ERROR_KEY_DELETED);
    EXPECT_EQ(set(deep, "v", REG_SZ, sz("x")), ERROR_KEY_DELETED);
    EXPECT_EQ(set(sibling, "v", REG_SZ, sz("x")), ERROR_SUCCESS);
    // A key made again under the old name is a new key; the old handle stays dead.
    HKEY again = create(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tarno");
    EXPECT_EQ(set(top, "v", REG_SZ, sz("x")), ERROR_KEY_DELETED);
    EXPECT_EQ(set(again, "v", REG_SZ, sz("x")), ERROR_SUCCESS);
    EXPECT_EQ(file_text().find("Tarno\\a"), std::string::npos);
    EXPECT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, ""), ERROR_BADKEY);
    for (HKEY k : {top, deep, sibling, again})
        RegCloseKey(k);
}

TEST_F(RegistryFile, TheDefaultMachineHasTheFontAndDisplayKeys) {
    std::vector<std::string> fonts = value_names(HKEY_LOCAL_MACHINE, kFontsKey);
    ASSERT_EQ(fonts.size(), 6u);
    EXPECT_EQ(fonts.front(), "Arial (TrueType)");
    EXPECT_EQ(get(HKEY_LOCAL_MACHINE, kFontsKey, "small fonts (vga res)").second, sz("SMALLE.FON"));
    EXPECT_EQ(
        value_names(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\FontSubstitutes"),
        (std::vector<std::string>{"Helv", "Tms Rmn", "Times", "Helvetica", "MS Shell Dlg"}));
    EXPECT_EQ(get(HKEY_CURRENT_CONFIG, "Display\\Settings", "fonts.fon").second, sz("vgasys.fon"));
    EXPECT_EQ(get(HKEY_CURRENT_CONFIG, "Display\\Settings", "oemfonts.fon").second, sz("vgaoem.fon"));
    EXPECT_EQ(value_names(HKEY_CURRENT_CONFIG, "Display\\Fonts"),
              (std::vector<std::string>{"fonts.fon", "fixedfon.fon", "oemfonts.fon"}));
}

TEST_F(RegistryFile, CyrillicNamesIgnoreCaseOnACyrillicMachine) {
    sim::machine().settings.codepage = 1251;
    HKEY key = create(HKEY_LOCAL_MACHINE, "SOFTWARE\\\xd8\xf0\xe8\xf4\xf2\xfb"); // Шрифты
    ASSERT_EQ(set(key, "\xc0\xf0\xe8\xe0\xeb", REG_SZ, sz("1")), ERROR_SUCCESS); // Ариал
    EXPECT_EQ(get(HKEY_LOCAL_MACHINE, "software\\\xf8\xf0\xc8\xf4\xd2\xfb", "\xe0\xd0\xe8\xc0\xcb").second,
              sz("1"));
    RegCloseKey(key);
}

TEST_F(RegistryFile, DeniedKeysRefuseChangesButStillRead) {
    sim::machine().settings.deny_registry.push_back(
        "HKEY_LOCAL_MACHINE\\SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\FONTS");
    std::string before = file_text();
    HKEY key = nullptr, sub = nullptr;
    // Opening it to change it is refused, in either call.
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kFontsKey, 0, KEY_SET_VALUE, &key), ERROR_ACCESS_DENIED);
    EXPECT_EQ(
        RegCreateKeyExA(HKEY_LOCAL_MACHINE, kFontsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
        ERROR_ACCESS_DENIED);
    EXPECT_EQ(key, nullptr);
    // It opens for reading (the old call opens with what the key grants); changes through it are refused.
    ASSERT_EQ(RegOpenKeyA(HKEY_LOCAL_MACHINE, kFontsKey, &key), ERROR_SUCCESS);
    EXPECT_EQ(set(key, "Arial Cyr (TrueType)", REG_SZ, "ARIALCYR.TTF"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteValueA(key, "Small Fonts (VGA res)"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegCreateKeyExA(key, "Sub", 0, nullptr, 0, KEY_READ, nullptr, &sub, nullptr),
              ERROR_ACCESS_DENIED);
    EXPECT_EQ(sub, nullptr);
    EXPECT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, kFontsKey), ERROR_ACCESS_DENIED);
    EXPECT_EQ(get(HKEY_LOCAL_MACHINE, kFontsKey, "Small Fonts (VGA res)").second, sz("SMALLE.FON"));
    EXPECT_EQ(file_text(), before);
    RegCloseKey(key);

    // The prefix ends at a name: a longer name beside it is not covered.
    key = create(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\FontsX");
    EXPECT_EQ(set(key, "v", REG_SZ, "x"), ERROR_SUCCESS);
    RegCloseKey(key);
}

TEST_F(RegistryFile, ADamagedFileIsUsedAsFarAsItCanBeReadAndKept) {
    const std::string damaged =
        "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\A]\r\n\"good\"=\"1\"\r\n"
        "\"bad\"=dword:xyz\r\n\"after\"=\"2\"\r\n[HKEY_NOWHERE\\B]\r\n\"lost\"=\"3\"\r\n";
    ASSERT_TRUE(sim::write_host_file(file(), damaged));
    attach();
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(get(HKEY_LOCAL_MACHINE, "SOFTWARE\\A", "good").second, sz("1"));
    EXPECT_EQ(get(HKEY_LOCAL_MACHINE, "SOFTWARE\\A", "after").second, sz("2"));
    EXPECT_EQ(get(HKEY_LOCAL_MACHINE, "SOFTWARE\\A", "bad").second, "<no value>");
    std::string report = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(report.find("registry.reg line 5: dword:"), std::string::npos) << report;
    EXPECT_NE(report.find("2 line(s) skipped"), std::string::npos) << report;
    EXPECT_EQ(std::count(report.begin(), report.end(), '\n'), 1); // once, not at every call
    std::string kept;
    ASSERT_TRUE(sim::read_host_file(file() + ".bad", kept));
    EXPECT_EQ(kept, damaged);

    HKEY key = create(HKEY_LOCAL_MACHINE, "SOFTWARE\\A");
    ASSERT_EQ(set(key, "new", REG_SZ, "3"), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(file_text().find("dword:xyz"), std::string::npos);
}

TEST_F(RegistryFile, AMissingFileIsAnEmptyRegistry) {
    fs::remove(file());
    attach();
    EXPECT_EQ(get(HKEY_LOCAL_MACHINE, kFontsKey, "Small Fonts").second, "<no key>");
    HKEY key = create(HKEY_LOCAL_MACHINE, "SOFTWARE\\New");
    RegCloseKey(key);
    EXPECT_EQ(
        file_text(),
        "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE]\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\New]\r\n");
}

TEST_F(RegistryFile, AnUnreadableFileIsNeverWrittenOver) {
    fs::remove(file());
    fs::create_directory(file()); // something that cannot be read as a file
    attach();
    ::testing::internal::CaptureStderr();
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\New", &key), ERROR_CANTWRITE);
    EXPECT_EQ(get(HKEY_LOCAL_MACHINE, "SOFTWARE\\New", "").second, "<no key>");
    std::string report = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(report.begin(), report.end(), '\n'), 1) << report;
    EXPECT_TRUE(fs::is_directory(file()));
}

TEST_F(RegistryFile, NamesTheFileCannotHoldAreRefused) {
    HKEY key = create(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tarno");
    HKEY bad = nullptr;
    EXPECT_EQ(set(key, "two\nlines", REG_SZ, "x"), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegCreateKeyA(key, "two\r\nlines", &bad), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegCreateKeyA(key, "a\\\\b", &bad), ERROR_BAD_PATHNAME);
    RegCloseKey(key);
}

// The reader on its own: each kind of damage is reported with its line and skipped.
TEST(RegeditReader, ReportsEachBadLineAndKeepsTheRest) {
    const char* text = "[HKEY_USERS\\Early]\n"             // 1: no header
                       "\"value\"=\"before a key\"\n"      // 2: fine, the key above was read
                       "[HKEY_LOCAL_MACHINE\\A\n"          // 3: no closing bracket
                       "\"x\"=\"in no key\"\n"             // 4: skipped silently
                       "[HKEY_LOCAL_MACHINE\\A]\n"         // 5
                       "\"unterminated\n"                  // 6
                       "\"s\"=\"open\n"                    // 7
                       "\"d\"=dword:123456789\n"           // 8: nine digits
                       "\"h\"=hex:0g\n"                    // 9
                       "\"t\"=hex(zz):00\n"                // 10
                       "\"w\"=what\n"                      // 11
                       "garbage\n"                         // 12
                       "\"ok\"=hex(2):41,\\\n"             // 13: goes on
                       "  42,00\n"                         // 14
                       "[HKEY_LOCAL_MACHINE\\A\\\\B]\n"    // 15: empty name
                       "@=\"x\"\n"                         // 16: skipped with its key
                       "[HKEY_LOCAL_MACHINE\\Gone\\Sub]\n" // 17
                       "\"v\"=\"1\"\n"                     // 18
                       "\"v\"=-\n"                         // 19: deletes the value
                       "[-HKEY_LOCAL_MACHINE\\Gone]\n";    // 20: deletes the key
    sim::RegHive hive;
    std::vector<sim::RegFileError> errors;
    sim::parse_regedit(text, hive, errors);
    std::vector<int> lines;
    for (const auto& e : errors)
        lines.push_back(e.line);
    EXPECT_EQ(lines, (std::vector<int>{1, 3, 6, 7, 8, 9, 10, 11, 12, 15}));

    sim::RegKey* a = hive.find_key(2, {"a"});
    ASSERT_NE(a, nullptr);
    ASSERT_EQ(a->values.size(), 1u);
    EXPECT_EQ(a->values[0].name, "ok");
    EXPECT_EQ(a->values[0].data, std::string("AB\0", 3));
    EXPECT_NE(hive.find_key(3, {"early"}), nullptr);
    EXPECT_EQ(hive.find_key(2, {"Gone"}), nullptr);
    EXPECT_EQ(hive.find_key(2, {"A", "B"}), nullptr);
}

} // namespace
