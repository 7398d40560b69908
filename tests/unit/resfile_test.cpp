// The .res index and the resource calls over it: the compiled test resources, crafted files, and
// damaged copies of the test resources.
#include "platform/sim/kernel/resfile.h"
#include "platform/sim/win/windows.h"
#include "tests/resources/testres.h"
#include "tests/unit/sim_fixture.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

void put16(Bytes& b, unsigned v) {
    b.push_back(static_cast<unsigned char>(v));
    b.push_back(static_cast<unsigned char>(v >> 8));
}
void put32(Bytes& b, std::uint32_t v) {
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}
void pad4(Bytes& b) {
    while (b.size() % 4)
        b.push_back(0);
}
void put_id(Bytes& b, const sim::ResId& id) {
    if (id.is_ordinal) {
        put16(b, 0xFFFF);
        put16(b, id.ordinal);
        return;
    }
    for (char16_t c : id.name)
        put16(b, c);
    put16(b, 0);
}

sim::ResId named(const char* s) {
    return sim::ResId{false, 0, std::u16string(s, s + std::strlen(s))};
}

// Writes .res files the way the resource compiler does.
struct ResWriter {
    Bytes bytes;
    ResWriter() { add(sim::ResId::of(0), sim::ResId::of(0), {}, 0); }
    ResWriter& add(const sim::ResId& type, const sim::ResId& name, const Bytes& data,
                   std::uint16_t language = 0x409) {
        Bytes header;
        put_id(header, type);
        put_id(header, name);
        pad4(header);
        put32(header, 0);
        put16(header, 0x1030);
        put16(header, language);
        put32(header, 0);
        put32(header, 0);
        put32(bytes, static_cast<std::uint32_t>(data.size()));
        put32(bytes, static_cast<std::uint32_t>(header.size() + 8));
        bytes.insert(bytes.end(), header.begin(), header.end());
        bytes.insert(bytes.end(), data.begin(), data.end());
        pad4(bytes);
        return *this;
    }
};

Bytes string_block(const std::vector<std::u16string>& strings) {
    Bytes b;
    for (std::size_t i = 0; i < 16; ++i) {
        const std::u16string s = i < strings.size() ? strings[i] : u"";
        put16(b, static_cast<unsigned>(s.size()));
        for (char16_t c : s)
            put16(b, c);
    }
    return b;
}

Bytes program_image() {
    auto image = sim::program_resource_image();
    return Bytes(image.begin(), image.end());
}

// Swaps the program's resources for the test's own and puts the compiled test resources back after.
class ProgramResources : public SimMachine {
  protected:
    void TearDown() override {
        ASSERT_TRUE(sim::set_program_resources(original_.data(), original_.size(), nullptr));
        SimMachine::TearDown();
    }
    void use(const Bytes& bytes) {
        replacement_ = bytes;
        std::string error;
        ASSERT_TRUE(sim::set_program_resources(replacement_.data(), replacement_.size(), &error)) << error;
    }
    std::string load(UINT id, int size = 256) {
        std::string buffer(static_cast<std::size_t>(std::max(size, 1)), '#');
        int n = LoadStringA(nullptr, id, buffer.data(), size);
        return n < 0 ? "<" + std::to_string(n) + ">" : buffer.substr(0, static_cast<std::size_t>(n));
    }

  private:
    std::span<const unsigned char> original_ = sim::program_resource_image(); // the embedded bytes
    Bytes replacement_;
};

TEST(ResFile, IndexesTheCompiledTestResources) {
    const sim::ResFile& res = sim::program_resources();
    ASSERT_TRUE(sim::registration_error().empty()) << sim::registration_error();
    ASSERT_FALSE(res.entries().empty());

    const sim::ResEntry* dialog = res.find_default(sim::ResId::of(5), sim::ResId::of(IDD_CLASSIC), 1252);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->language, 0x409);
    EXPECT_EQ(dialog->memory_flags, 0x1030);
    EXPECT_EQ(dialog->data_version, 0u);
    EXPECT_EQ(dialog->version, 0u);
    EXPECT_EQ(dialog->characteristics, 0u);

    // Names of both kinds, type and name, as the compiler wrote them (upper case).
    const sim::ResEntry* custom = res.find_default(named("TNTYPE"), named("setupinfo"), 1252);
    ASSERT_NE(custom, nullptr);
    EXPECT_FALSE(custom->type.is_ordinal);
    EXPECT_EQ(custom->name.name, u"SETUPINFO");
    EXPECT_EQ(std::string(custom->data.begin(), custom->data.end()), "custom type");

    const sim::ResEntry* ru = res.find(sim::ResId::of(10), sim::ResId::of(IDR_LANG), 0x419, 1252);
    ASSERT_NE(ru, nullptr);
    EXPECT_EQ(std::string(ru->data.begin(), ru->data.end()), "ru");
    EXPECT_EQ(res.find(sim::ResId::of(10), sim::ResId::of(IDR_LANG), 0x407, 1252), nullptr);
}

TEST(ResFile, ApiNamesAreOrdinalsHashNumbersOrStrings) {
    auto ordinal = sim::res_id_from_api(MAKEINTRESOURCEA(7), 1252);
    ASSERT_TRUE(ordinal && ordinal->is_ordinal);
    EXPECT_EQ(ordinal->ordinal, 7);
    auto hash = sim::res_id_from_api("#65535", 1252);
    ASSERT_TRUE(hash && hash->is_ordinal);
    EXPECT_EQ(hash->ordinal, 65535);
    for (const char* bad : {"", "#", "#65536", "#12a", "#-1"})
        EXPECT_FALSE(sim::res_id_from_api(bad, 1252)) << bad;

    auto cyrillic = sim::res_id_from_api("\xE4\xE8\xE0\xEB\xEE\xE3", 1251); // lower case
    ASSERT_TRUE(cyrillic);
    EXPECT_TRUE(
        sim::res_id_matches(sim::ResId{false, 0, u"\u0414\u0418\u0410\u041B\u041E\u0413"}, *cyrillic, 1251));
    EXPECT_FALSE(sim::res_id_matches(sim::ResId::of(1), named("1"), 1252));
}

TEST(ResFile, TruncatedCopiesFailWithAReasonOrStopAtAnEntry) {
    const Bytes image = program_image();
    const std::size_t all = sim::program_resources().entries().size();
    for (std::size_t n = 0; n < image.size(); ++n) {
        Bytes cut(image.begin(), image.begin() + static_cast<std::ptrdiff_t>(n));
        sim::ResFile res;
        std::string error;
        if (res.parse(cut.data(), cut.size(), &error)) {
            EXPECT_LT(res.entries().size(), all) << n;
            for (const auto& e : res.entries())
                EXPECT_LE(e.data.data() + e.data.size(), cut.data() + cut.size());
        } else {
            EXPECT_FALSE(error.empty()) << n;
            EXPECT_TRUE(res.entries().empty()) << n;
        }
    }
}

TEST(ResFile, DamagedCopiesNeverReadOutside) {
    const Bytes image = program_image();
    for (std::size_t i = 0; i < image.size(); ++i) {
        for (unsigned char flip : {0x01, 0x80, 0xFF}) {
            Bytes damaged = image;
            damaged[i] ^= flip;
            sim::ResFile res;
            std::string error;
            if (!res.parse(damaged.data(), damaged.size(), &error)) continue;
            for (const auto& e : res.entries()) {
                ASSERT_GE(e.data.data(), damaged.data());
                ASSERT_LE(e.data.data() + e.data.size(), damaged.data() + damaged.size());
            }
        }
    }
}

TEST(ResFile, RefusesMalformedFiles) {
    auto refused = [](const Bytes& bytes) {
        sim::ResFile res;
        std::string error;
        return !res.parse(bytes.data(), bytes.size(), &error) && !error.empty();
    };
    EXPECT_TRUE(refused({}));

    ResWriter no_marker;
    no_marker.bytes.erase(no_marker.bytes.begin(), no_marker.bytes.begin() + 32);
    no_marker.add(sim::ResId::of(10), sim::ResId::of(1), {1, 2, 3});
    EXPECT_TRUE(refused(no_marker.bytes)) << "a file without the leading empty entry (16-bit format)";

    ResWriter huge_data;
    huge_data.add(sim::ResId::of(10), sim::ResId::of(1), {1, 2, 3});
    huge_data.bytes[32] = 0xFF;
    huge_data.bytes[35] = 0x7F;
    EXPECT_TRUE(refused(huge_data.bytes));

    ResWriter huge_header;
    huge_header.add(sim::ResId::of(10), sim::ResId::of(1), {});
    huge_header.bytes[36 + 3] = 0xFF;
    EXPECT_TRUE(refused(huge_header.bytes));

    ResWriter small_header;
    small_header.add(sim::ResId::of(10), sim::ResId::of(1), {1, 2, 3, 4});
    small_header.bytes[36] = 16;
    EXPECT_TRUE(refused(small_header.bytes));

    // A name that runs past its header.
    ResWriter unterminated;
    unterminated.add(sim::ResId::of(10), named("ABCDEFGHIJKLMNOPQRSTUVWXYZ"), {});
    unterminated.bytes[36] = 32;
    EXPECT_TRUE(refused(unterminated.bytes));
}

TEST_F(ProgramResources, LoadStringConvertsToCodePage1251) {
    use_codepage(1251);
    EXPECT_EQ(load(IDS_CYRILLIC), "\xD3\xF1\xF2\xE0\xED\xEE\xE2\xEA\xE0 \xA8\xB8");
    EXPECT_EQ(load(IDS_CYRILLIC_ESCAPED), "\xD0\xF3\xF1\xF1\xEA\xE8\xE9");
    EXPECT_EQ(load(IDS_WESTERN), "Caf? \x88");
    EXPECT_EQ(load(IDS_CYRILLIC, 4), "\xD3\xF1\xF2");
}

TEST_F(ProgramResources, LoadStringWithNoRoomReportsOnlyFoundBlocks) {
    EXPECT_EQ(load(IDS_HELLO, 0), "<-1>");
    EXPECT_EQ(load(IDS_HELLO, -5), "<-1>");
    EXPECT_EQ(load(IDS_NO_BLOCK, 0), "");
    EXPECT_EQ(LoadStringA(nullptr, IDS_HELLO, nullptr, 10), 0);
}

TEST_F(ProgramResources, LoadStringStopsAtAShortBlock) {
    Bytes block = string_block({u"", u"one", u"two"});
    block.resize(2 + 2 + 6 + 2 + 2); // "two" is cut after one character
    use(ResWriter().add(sim::ResId::of(6), sim::ResId::of(1), block).bytes);
    EXPECT_EQ(load(1), "one");
    EXPECT_EQ(load(2), "");
    EXPECT_EQ(load(3), "");
    EXPECT_EQ(load(2, 0), "") << "no block entry for the string: nothing found";
}

TEST_F(ProgramResources, HandlesOutsideTheProgramAreRefused) {
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(IDR_DATA), RT_RCDATA);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(SizeofResource(nullptr, found), 5u);
    HMODULE other = reinterpret_cast<HMODULE>(std::uintptr_t{0x10000000});
    EXPECT_EQ(FindResourceA(other, MAKEINTRESOURCEA(IDR_DATA), RT_RCDATA), nullptr);
    EXPECT_EQ(LoadResource(other, found), nullptr);
    EXPECT_EQ(LoadStringA(other, IDS_HELLO, nullptr, 0), 0);

    HRSRC forged = reinterpret_cast<HRSRC>(reinterpret_cast<std::uintptr_t>(found) + 100000);
    EXPECT_EQ(LoadResource(nullptr, forged), nullptr);
    EXPECT_EQ(SizeofResource(nullptr, forged), 0u);
    EXPECT_EQ(LoadResource(nullptr, nullptr), nullptr);
    EXPECT_EQ(FindResourceA(nullptr, nullptr, RT_RCDATA), nullptr);
}

TEST_F(ProgramResources, BytesLookupServesTheBitmapAndIconLoaders) {
    auto bitmap = sim::find_resource_bytes(RT_BITMAP, MAKEINTRESOURCEA(IDB_TEST));
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->size(), 64u);
    EXPECT_EQ((*bitmap)[0], 40) << "a BITMAPINFOHEADER first";
    auto group = sim::find_resource_bytes(RT_GROUP_ICON, MAKEINTRESOURCEA(IDI_TEST));
    ASSERT_TRUE(group);
    ASSERT_EQ(group->size(), 20u);
    const unsigned icon_id = (*group)[18] | (*group)[19] << 8;
    EXPECT_TRUE(sim::find_resource_bytes(RT_ICON, MAKEINTRESOURCEA(icon_id)));
    EXPECT_FALSE(sim::find_resource_bytes(RT_BITMAP, "#999"));
}

TEST_F(ProgramResources, FindResourcePrefersTheLanguageOfTheMachine) {
    auto data_of = [] {
        auto bytes = sim::find_resource_bytes(RT_RCDATA, MAKEINTRESOURCEA(IDR_LANG));
        return bytes ? std::string(bytes->begin(), bytes->end()) : std::string();
    };
    use_codepage(1251);
    EXPECT_EQ(data_of(), "ru");
    use_codepage(1252);
    EXPECT_EQ(data_of(), "en");
}

} // namespace
