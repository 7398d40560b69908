// Registry calls: keys, values, sizes, error codes, case and order. Each test works in a key of its own
// below HKEY_LOCAL_MACHINE\SOFTWARE\TarnoConformance and removes it at the end.
#include "tests/conformance/fixture.h"

#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

const char kBase[] = "SOFTWARE\\TarnoConformance";

// Removes a key bottom-up, which works whether or not the system deletes non-empty keys.
void delete_tree(HKEY parent, const std::string& name) {
    HKEY key;
    if (RegOpenKeyExA(parent, name.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
    char sub[256];
    while (RegEnumKeyA(key, 0, sub, sizeof sub) == ERROR_SUCCESS)
        delete_tree(key, sub);
    RegCloseKey(key);
    RegDeleteKeyA(parent, name.c_str());
}

class Registry : public Conformance {
  protected:
    void SetUp() override {
        Conformance::SetUp();
        std::random_device rd;
        path_ = std::string(kBase) + "\\T" + std::to_string(rd()) + std::to_string(rd() % 100000);
        DWORD disposition = 0;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, path_.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                  KEY_READ | KEY_WRITE, nullptr, &key_, &disposition),
                  ERROR_SUCCESS);
        EXPECT_EQ(disposition, static_cast<DWORD>(REG_CREATED_NEW_KEY));
    }
    void TearDown() override {
        RegCloseKey(key_);
        delete_tree(HKEY_LOCAL_MACHINE, path_);
        HKEY base;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kBase, 0, KEY_READ, &base) == ERROR_SUCCESS) {
            char sub[256];
            bool empty = RegEnumKeyA(base, 0, sub, sizeof sub) == ERROR_NO_MORE_ITEMS;
            RegCloseKey(base);
            if (empty) RegDeleteKeyA(HKEY_LOCAL_MACHINE, kBase);
        }
        Conformance::TearDown();
    }

    LONG set_sz(HKEY key, const char* name, const char* text, DWORD size) {
        return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), size);
    }
    LONG set_sz(const char* name, const char* text) {
        return set_sz(key_, name, text, static_cast<DWORD>(std::strlen(text) + 1));
    }
    std::vector<std::string> value_names() {
        std::vector<std::string> names;
        char name[256];
        for (DWORD i = 0;; ++i) {
            DWORD size = sizeof name;
            if (RegEnumValueA(key_, i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
                break;
            names.push_back(name);
        }
        return names;
    }

    std::string path_;
    HKEY key_ = nullptr;
};

TEST_F(Registry, CreateMakesTheWholePathAndOpenFindsIt) {
    HKEY deep, again, other;
    DWORD disposition = 0;
    ASSERT_EQ(
        RegCreateKeyExA(key_, "a\\b\\c", 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &deep, &disposition),
        ERROR_SUCCESS);
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_CREATED_NEW_KEY));
    ASSERT_EQ(RegCreateKeyExA(key_, "A\\B\\C", 0, nullptr, 0, KEY_READ, nullptr, &again, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_OPENED_EXISTING_KEY));
    EXPECT_NE(deep, again); // every open is its own handle
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, (path_ + "\\a\\B").c_str(), 0, KEY_READ, &other),
              ERROR_SUCCESS);
    EXPECT_NE(other, deep);
    EXPECT_EQ(RegCloseKey(other), ERROR_SUCCESS);

    // Closing one handle leaves the others working.
    EXPECT_EQ(RegCloseKey(deep), ERROR_SUCCESS);
    EXPECT_EQ(set_sz(again, "v", "x", 2), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(again), ERROR_SUCCESS);

    HKEY missing = reinterpret_cast<HKEY>(1);
    EXPECT_EQ(RegOpenKeyExA(key_, "a\\nothing", 0, KEY_READ, &missing), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegOpenKeyA(key_, "nothing", &missing), ERROR_FILE_NOT_FOUND);
    HKEY same;
    ASSERT_EQ(RegOpenKeyA(key_, "", &same), ERROR_SUCCESS);
    EXPECT_EQ(same, key_);
    HKEY created;
    ASSERT_EQ(RegCreateKeyA(key_, "d", &created), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(created), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(HKEY_LOCAL_MACHINE), ERROR_SUCCESS);
}

TEST_F(Registry, QueryReportsTypeAndSizeAndRefusesSmallBuffers) {
    ASSERT_EQ(set_sz("Text", "vgasys.fon"), ERROR_SUCCESS);
    DWORD type = 0, size = 0;
    ASSERT_EQ(RegQueryValueExA(key_, "Text", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(size, 11u); // the terminating zero counts

    char buf[32];
    std::memset(buf, '#', sizeof buf);
    size = 5;
    EXPECT_EQ(RegQueryValueExA(key_, "Text", nullptr, &type, reinterpret_cast<BYTE*>(buf), &size),
              ERROR_MORE_DATA);
    EXPECT_EQ(size, 11u);
    size = 11;
    ASSERT_EQ(RegQueryValueExA(key_, "Text", nullptr, &type, reinterpret_cast<BYTE*>(buf), &size),
              ERROR_SUCCESS);
    EXPECT_STREQ(buf, "vgasys.fon");
    EXPECT_EQ(size, 11u);

    DWORD number = 0x12345678, out = 0;
    ASSERT_EQ(RegSetValueExA(key_, "Number", 0, REG_DWORD, reinterpret_cast<BYTE*>(&number), 4),
              ERROR_SUCCESS);
    size = sizeof out;
    ASSERT_EQ(RegQueryValueExA(key_, "Number", nullptr, &type, reinterpret_cast<BYTE*>(&out), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(out, number);

    const BYTE bytes[] = {0, 1, 0, 0xFF};
    ASSERT_EQ(RegSetValueExA(key_, "Bytes", 0, REG_BINARY, bytes, sizeof bytes), ERROR_SUCCESS);
    BYTE back[8] = {};
    size = sizeof back;
    ASSERT_EQ(RegQueryValueExA(key_, "Bytes", nullptr, &type, back, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
    ASSERT_EQ(size, sizeof bytes);
    EXPECT_EQ(std::memcmp(back, bytes, sizeof bytes), 0);

    // The default value answers to both a null and an empty name.
    ASSERT_EQ(set_sz(nullptr, "default"), ERROR_SUCCESS);
    size = sizeof buf;
    ASSERT_EQ(RegQueryValueExA(key_, "", nullptr, nullptr, reinterpret_cast<BYTE*>(buf), &size),
              ERROR_SUCCESS);
    EXPECT_STREQ(buf, "default");

    size = sizeof buf;
    EXPECT_EQ(RegQueryValueExA(key_, "Missing", nullptr, &type, reinterpret_cast<BYTE*>(buf), &size),
              ERROR_FILE_NOT_FOUND);
}

TEST_F(Registry, StringSetWithoutItsZeroReadsBackTerminated) {
    // The font entries are written with the length of the text alone.
    ASSERT_EQ(set_sz(key_, "Short", "abc", 3), ERROR_SUCCESS);
    char buf[8];
    std::memset(buf, '#', sizeof buf);
    DWORD size = sizeof buf, type = 0;
    ASSERT_EQ(RegQueryValueExA(key_, "Short", nullptr, &type, reinterpret_cast<BYTE*>(buf), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(size, 4u);
    EXPECT_STREQ(buf, "abc");

    if (!on_simulator())
        GTEST_SKIP() << "Wine adds the zero only when the caller's memory holds one right behind the data";
    const char unterminated[4] = {'x', 'y', 'z', '!'};
    ASSERT_EQ(set_sz(key_, "Cut", unterminated, 3), ERROR_SUCCESS);
    size = sizeof buf;
    ASSERT_EQ(RegQueryValueExA(key_, "Cut", nullptr, &type, reinterpret_cast<BYTE*>(buf), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(size, 4u);
    EXPECT_STREQ(buf, "xyz");
}

TEST_F(Registry, NamesIgnoreCaseAndKeepTheirFirstSpelling) {
    ASSERT_EQ(set_sz("FontName", "one"), ERROR_SUCCESS);
    ASSERT_EQ(set_sz("FONTNAME", "two"), ERROR_SUCCESS);
    EXPECT_EQ(value_names(), std::vector<std::string>{"FontName"});
    char buf[8];
    DWORD size = sizeof buf;
    ASSERT_EQ(RegQueryValueExA(key_, "fontname", nullptr, nullptr, reinterpret_cast<BYTE*>(buf), &size),
              ERROR_SUCCESS);
    EXPECT_STREQ(buf, "two");

    HKEY sub, upper;
    ASSERT_EQ(RegCreateKeyA(key_, "Display", &sub), ERROR_SUCCESS);
    ASSERT_EQ(RegOpenKeyExA(key_, "DISPLAY", 0, KEY_READ, &upper), ERROR_SUCCESS);
    char name[16];
    ASSERT_EQ(RegEnumKeyA(key_, 0, name, sizeof name), ERROR_SUCCESS);
    EXPECT_STREQ(name, "Display");
    RegCloseKey(sub);
    RegCloseKey(upper);
}

TEST_F(Registry, ValuesEnumerateInTheOrderTheyWereAdded) {
    for (const char* n : {"zeta", "alpha", "mu"})
        ASSERT_EQ(set_sz(n, n), ERROR_SUCCESS);
    ASSERT_EQ(set_sz("alpha", "changed"), ERROR_SUCCESS); // a new value keeps its place
    std::vector<std::string> names = value_names();
    ASSERT_EQ(names.size(), 3u);
    if (!on_simulator()) GTEST_SKIP() << "Wine keeps values sorted by name; Windows keeps them as added";
    EXPECT_EQ(names, (std::vector<std::string>{"zeta", "alpha", "mu"}));
}

TEST_F(Registry, EnumValueBufferRules) {
    ASSERT_EQ(set_sz("LongerName", "0123456789"), ERROR_SUCCESS);
    char name[32], data[32];
    DWORD name_size = 5, data_size = sizeof data, type = 0;
    EXPECT_EQ(
        RegEnumValueA(key_, 0, name, &name_size, nullptr, &type, reinterpret_cast<BYTE*>(data), &data_size),
        ERROR_MORE_DATA);

    // The exact room for a name is its length plus the zero; the size comes back without the zero.
    name_size = 11;
    data_size = sizeof data;
    ASSERT_EQ(
        RegEnumValueA(key_, 0, name, &name_size, nullptr, &type, reinterpret_cast<BYTE*>(data), &data_size),
        ERROR_SUCCESS);
    EXPECT_STREQ(name, "LongerName");
    EXPECT_EQ(name_size, 10u);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(data_size, 11u);
    EXPECT_STREQ(data, "0123456789");

    name_size = sizeof name;
    data_size = 4;
    EXPECT_EQ(
        RegEnumValueA(key_, 0, name, &name_size, nullptr, &type, reinterpret_cast<BYTE*>(data), &data_size),
        ERROR_MORE_DATA);
    EXPECT_EQ(data_size, 11u);

    name_size = sizeof name;
    data_size = 0;
    ASSERT_EQ(RegEnumValueA(key_, 0, name, &name_size, nullptr, &type, nullptr, &data_size), ERROR_SUCCESS);
    EXPECT_EQ(data_size, 11u);

    name_size = sizeof name;
    EXPECT_EQ(RegEnumValueA(key_, 1, name, &name_size, nullptr, nullptr, nullptr, nullptr),
              ERROR_NO_MORE_ITEMS);
}

TEST_F(Registry, EnumKeysAndKeyInfo) {
    for (const char* n : {"Fonts", "Settings"}) {
        HKEY sub;
        ASSERT_EQ(RegCreateKeyA(key_, n, &sub), ERROR_SUCCESS);
        RegCloseKey(sub);
    }
    ASSERT_EQ(set_sz("v", "12345"), ERROR_SUCCESS);
    char name[16];
    EXPECT_EQ(RegEnumKeyA(key_, 0, name, 3), ERROR_MORE_DATA);
    ASSERT_EQ(RegEnumKeyA(key_, 1, name, sizeof name), ERROR_SUCCESS);
    EXPECT_STREQ(name, "Settings");
    EXPECT_EQ(RegEnumKeyA(key_, 2, name, sizeof name), ERROR_NO_MORE_ITEMS);
    DWORD size = sizeof name;
    ASSERT_EQ(RegEnumKeyExA(key_, 0, name, &size, nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_STREQ(name, "Fonts");
    EXPECT_EQ(size, 5u);

    DWORD subkeys = 0, max_sub = 0, values = 0, max_name = 0, max_data = 0;
    ASSERT_EQ(RegQueryInfoKeyA(key_, nullptr, nullptr, nullptr, &subkeys, &max_sub, nullptr, &values,
                               &max_name, &max_data, nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(subkeys, 2u);
    EXPECT_EQ(max_sub, 8u);
    EXPECT_EQ(values, 1u);
    EXPECT_EQ(max_name, 1u);
    if (!on_simulator())
        GTEST_SKIP() << "Wine gives the longest data in UTF-16 bytes; Windows 95 in ANSI bytes";
    EXPECT_EQ(max_data, 6u);
}

TEST_F(Registry, DeletingValuesAndKeys) {
    ASSERT_EQ(set_sz("gone", "x"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteValueA(key_, "GONE"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteValueA(key_, "gone"), ERROR_FILE_NOT_FOUND);
    EXPECT_TRUE(value_names().empty());

    HKEY leaf;
    ASSERT_EQ(RegCreateKeyA(key_, "leaf", &leaf), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKeyA(key_, "LEAF"), ERROR_SUCCESS);
    // A handle to a deleted key fails cleanly and can still be closed.
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExA(leaf, "x", nullptr, nullptr, nullptr, &size), ERROR_KEY_DELETED);
    EXPECT_EQ(RegSetValueExA(leaf, "x", 0, REG_SZ, reinterpret_cast<const BYTE*>("y"), 2), ERROR_KEY_DELETED);
    EXPECT_EQ(RegCloseKey(leaf), ERROR_SUCCESS);
    HKEY probe;
    EXPECT_EQ(RegOpenKeyExA(key_, "leaf", 0, KEY_READ, &probe), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteKeyA(key_, "leaf"), ERROR_FILE_NOT_FOUND);

    HKEY tree;
    ASSERT_EQ(RegCreateKeyA(key_, "tree\\branch\\twig", &tree), ERROR_SUCCESS);
    RegCloseKey(tree);
    // Windows 95 deletes the whole tree (Windows NT would refuse; Wine follows the reported version).
    EXPECT_EQ(RegDeleteKeyA(key_, "tree"), ERROR_SUCCESS);
    EXPECT_EQ(RegOpenKeyExA(key_, "tree\\branch", 0, KEY_READ, &probe), ERROR_FILE_NOT_FOUND);
}

TEST_F(Registry, BadHandlesAreRefused) {
    HKEY bogus = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x7654320));
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExA(bogus, "x", nullptr, nullptr, nullptr, &size), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCloseKey(bogus), ERROR_INVALID_HANDLE);
}

TEST_F(Registry, DisplaySettingsKeyExists) {
    if (!on_simulator())
        GTEST_SKIP() << "a Wine prefix has no HKEY_CURRENT_CONFIG\\Display; Windows 95 always has it";
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_CONFIG, "Display\\Settings", 0, KEY_READ, &key), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

} // namespace
