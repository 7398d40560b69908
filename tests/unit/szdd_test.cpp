#include "platform/sim/lz/szdd.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <unistd.h>

using Bytes = std::vector<std::uint8_t>;
using sim::szdd::Result;

namespace {

Bytes bytes_of(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

Bytes random_bytes(std::size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    Bytes out(n);
    for (auto& b : out)
        b = static_cast<std::uint8_t>(rng());
    return out;
}

Bytes text(std::size_t n) {
    static const char* words[] = {"install", "the", "keyboard", "layout", "font",
                                  "window",  "  ",  "setup",    "\r\n"};
    std::mt19937 rng(7);
    std::string s;
    while (s.size() < n)
        s += std::string(words[rng() % 9]) + " ";
    s.resize(n);
    return bytes_of(s);
}

// A source handing out at most STEP bytes a call, as a slow device would.
sim::szdd::Source trickle(const Bytes& data, std::size_t step, std::size_t start = sim::szdd::kHeaderSize) {
    auto pos = std::make_shared<std::size_t>(start);
    return [&data, step, pos](std::uint8_t* buf, std::size_t size) -> long {
        const std::size_t n = std::min({size, step, data.size() - *pos});
        std::copy_n(data.begin() + static_cast<long>(*pos), n, buf);
        *pos += n;
        return static_cast<long>(n);
    };
}

Result expand_streaming(const Bytes& file, std::size_t step, std::size_t chunk, Bytes& out) {
    sim::szdd::Header header;
    if (Result r = sim::szdd::parse_header(file, header); r != Result::Ok) return r;
    sim::szdd::Expander expander(header.length, chunk);
    auto source = trickle(file, step);
    out.clear();
    std::uint8_t buf[777];
    while (!expander.at_end()) {
        const std::size_t n = expander.read(source, buf, sizeof buf);
        out.insert(out.end(), buf, buf + n);
        if (expander.status() != Result::Ok) return expander.status();
    }
    return Result::Ok;
}

std::vector<std::pair<std::string, Bytes>> samples() {
    std::vector<std::pair<std::string, Bytes>> s = {
        {"empty", {}},
        {"one byte", {0x41}},
        {"blank", {' '}},
        {"leading blanks", bytes_of(std::string(40, ' ') + "text after blanks" + std::string(30, ' '))},
        {"zeros", Bytes(100000, 0)},
        {"period 3", {}},
        {"random", random_bytes(200000, 1)},
        {"text", text(300000)},
    };
    for (std::size_t n : {4077u, 4078u, 4079u, 4095u, 4096u, 4097u, 4113u, 8192u, 8193u})
        s.push_back({"text " + std::to_string(n), text(n)});
    for (int k = 0; k < 30000; ++k)
        s[5].second.push_back(static_cast<std::uint8_t>("abc"[k % 3]));
    return s;
}

} // namespace

TEST(Szdd, RoundTripsInMemoryAndStreaming) {
    for (const auto& [name, data] : samples()) {
        const Bytes packed = sim::szdd::compress(data, 'e');
        Bytes back;
        ASSERT_EQ(sim::szdd::expand(packed, back), Result::Ok) << name;
        EXPECT_EQ(back, data) << name;
        for (auto [step, chunk] : {std::pair<std::size_t, std::size_t>{1, 1}, {3, 5}, {1 << 20, 4096}}) {
            ASSERT_EQ(expand_streaming(packed, step, chunk, back), Result::Ok) << name << " step " << step;
            EXPECT_EQ(back, data) << name << " step " << step;
        }
    }
}

TEST(Szdd, CompressesRunsAndTextWell) {
    EXPECT_LT(sim::szdd::compress(Bytes(100000, 0)).size(), 100000u / 18 * 17 / 8 + 64);
    EXPECT_LT(sim::szdd::compress(text(100000)).size(), 40000u);
    // Incompressible data grows by one flag byte in eight.
    EXPECT_LE(sim::szdd::compress(random_bytes(80000, 2)).size(), 14u + 90000u);
}

TEST(Szdd, HeaderCarriesLengthAndMissingCharacter) {
    const Bytes packed = sim::szdd::compress(text(1234), 'x');
    sim::szdd::Header h;
    ASSERT_EQ(sim::szdd::parse_header(packed, h), Result::Ok);
    EXPECT_EQ(h.length, 1234u);
    EXPECT_EQ(h.missing, 'x');
    EXPECT_EQ(Bytes(packed.begin(), packed.begin() + 10),
              (Bytes{'S', 'Z', 'D', 'D', 0x88, 0xF0, 0x27, 0x33, 'A', 'x'}));
}

// Streams written by hand: the first byte lies at window position 4080, the window starts as blanks,
// and a reference to the position being written reaches 4096 bytes back.
TEST(Szdd, DecodesReferencesIntoTheInitialWindow) {
    auto file = [](std::uint32_t length, Bytes body) {
        Bytes f{'S', 'Z', 'D', 'D', 0x88, 0xF0, 0x27, 0x33, 'A', 0};
        for (int k = 0; k < 4; ++k)
            f.push_back(static_cast<std::uint8_t>(length >> (8 * k)));
        f.insert(f.end(), body.begin(), body.end());
        return f;
    };
    Bytes out;
    // "hello " then a reference to position 4080, 11 bytes, then "\n".
    ASSERT_EQ(sim::szdd::expand(file(18, {0xBF, 'h', 'e', 'l', 'l', 'o', ' ', 0xF0, 0xF8, '\n'}), out),
              Result::Ok);
    EXPECT_EQ(std::string(out.begin(), out.end()), "hello hello hello\n");
    // A reference to position 0, never written yet: blanks.
    ASSERT_EQ(sim::szdd::expand(file(5, {0x00, 0x00, 0x02}), out), Result::Ok);
    EXPECT_EQ(std::string(out.begin(), out.end()), "     ");
    // "A" at 4080, then a reference to 4081 from 4081 (4096 back: a blank), then to 4080.
    ASSERT_EQ(sim::szdd::expand(file(7, {0x01, 'A', 0xF1, 0xF0, 0xF0, 0xF0}), out), Result::Ok);
    EXPECT_EQ(std::string(out.begin(), out.end()), "A   A  ");
}

TEST(Szdd, PlainAndUnknownFilesAreRecognised) {
    Bytes out;
    EXPECT_EQ(sim::szdd::expand(bytes_of("just a plain text file"), out), Result::NotCompressed);
    EXPECT_EQ(sim::szdd::expand(bytes_of("SZDD"), out), Result::NotCompressed);
    Bytes other = sim::szdd::compress(text(100));
    other[8] = 'B';
    EXPECT_EQ(sim::szdd::expand(other, out), Result::UnknownAlgorithm);
}

TEST(Szdd, EveryTruncationIsAnError) {
    const Bytes data = text(5000);
    const Bytes packed = sim::szdd::compress(data);
    for (std::size_t cut = sim::szdd::kHeaderSize; cut < packed.size(); ++cut) {
        const Bytes part(packed.begin(), packed.begin() + static_cast<long>(cut));
        Bytes out;
        ASSERT_EQ(sim::szdd::expand(part, out), Result::Truncated) << cut;
        EXPECT_TRUE(out.empty());
        ASSERT_EQ(expand_streaming(part, 7, 100, out), Result::Truncated) << cut;
        EXPECT_LT(out.size(), data.size());
    }
}

TEST(Szdd, HugeClaimedLengthAllocatesOnlyWhatTheDataCanYield) {
    Bytes packed = sim::szdd::compress(text(1000));
    for (int k = 10; k < 14; ++k)
        packed[k] = 0xFF;
    Bytes out;
    EXPECT_EQ(sim::szdd::expand(packed, out), Result::Truncated);
    EXPECT_LT(out.capacity(), 1u << 20);
    // A body of pure longest references may legitimately expand 144 to 17.
    Bytes bomb = sim::szdd::compress(Bytes(1 << 20, 'z'));
    ASSERT_EQ(sim::szdd::expand(bomb, out), Result::Ok);
    EXPECT_EQ(out.size(), 1u << 20);
    // Streaming keeps a fixed window whatever the claim.
    EXPECT_EQ(expand_streaming(packed, 1 << 20, 4096, out), Result::Truncated);
    EXPECT_GE(out.size(), 1000u);
}

TEST(Szdd, DataBeyondTheLengthIsIgnored) {
    const Bytes data = text(3000);
    Bytes packed = sim::szdd::compress(data);
    packed[10] = static_cast<std::uint8_t>(2000 & 0xFF);
    packed[11] = static_cast<std::uint8_t>(2000 >> 8);
    Bytes out;
    ASSERT_EQ(sim::szdd::expand(packed, out), Result::Ok);
    EXPECT_EQ(out, Bytes(data.begin(), data.begin() + 2000));
}

TEST(Szdd, SourceAndSinkFailuresAreReported) {
    const Bytes packed = sim::szdd::compress(text(200000));
    std::size_t served = 0;
    auto failing = [&](std::uint8_t* buf, std::size_t size) -> long {
        if (served >= 1000) return -1;
        const std::size_t n = std::min<std::size_t>(size, 100);
        std::copy_n(packed.begin() + static_cast<long>(served), n, buf);
        served += n;
        return static_cast<long>(n);
    };
    EXPECT_EQ(sim::szdd::expand_stream(failing, [](const std::uint8_t*, std::size_t) { return true; }),
              Result::ReadError);
    std::size_t pos = 0;
    auto whole = [&](std::uint8_t* buf, std::size_t size) -> long {
        const std::size_t n = std::min(size, packed.size() - pos);
        std::copy_n(packed.begin() + static_cast<long>(pos), n, buf);
        pos += n;
        return static_cast<long>(n);
    };
    EXPECT_EQ(sim::szdd::expand_stream(whole, [](const std::uint8_t*, std::size_t) { return false; }),
              Result::WriteError);
}

TEST(Szdd, ExpanderRestartsAndSkips) {
    const Bytes data = text(20000);
    const Bytes packed = sim::szdd::compress(data);
    sim::szdd::Expander expander(static_cast<std::uint32_t>(data.size()), 1000);
    auto source = trickle(packed, 64);
    ASSERT_TRUE(expander.skip(source, 12345));
    std::uint8_t buf[100];
    ASSERT_EQ(expander.read(source, buf, 100), 100u);
    EXPECT_TRUE(std::equal(buf, buf + 100, data.begin() + 12345));
    expander.restart();
    source = trickle(packed, 64);
    ASSERT_EQ(expander.read(source, buf, 100), 100u);
    EXPECT_TRUE(std::equal(buf, buf + 100, data.begin()));
    EXPECT_FALSE(expander.skip(source, data.size()));
}

// --- Interoperation with the mscompress package's tools ---

namespace {

namespace fs = std::filesystem;

bool have_tools() {
    return std::system("command -v mscompress >/dev/null 2>&1 && command -v msexpand >/dev/null 2>&1") == 0;
}

void write_file(const fs::path& p, const Bytes& b) {
    std::ofstream(p, std::ios::binary)
        .write(reinterpret_cast<const char*>(b.data()), static_cast<long>(b.size()));
}

Bytes read_file(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class SzddTools : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!have_tools()) GTEST_SKIP() << "mscompress/msexpand not installed";
        char tmpl[] = "/tmp/szdd-test-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
    }
    void TearDown() override {
        std::error_code ec;
        if (!dir_.empty()) fs::remove_all(dir_, ec);
    }
    fs::path dir_;
};

} // namespace

TEST_F(SzddTools, TheirExpanderReadsOurFiles) {
    // Their expander reads a byte at a time: the larger samples would only slow the test.
    for (const auto& [name, data] : samples()) {
        if (data.size() > 100000) continue;
        write_file(dir_ / "ours.bi_", sim::szdd::compress(data, 'n'));
        const std::string cmd =
            "msexpand < " + (dir_ / "ours.bi_").string() + " > " + (dir_ / "out").string();
        ASSERT_EQ(std::system(cmd.c_str()), 0) << name;
        EXPECT_EQ(read_file(dir_ / "out"), data) << name;
    }
}

// Their compressor mangles very small files, so only sizeable ones are compared.
TEST_F(SzddTools, WeReadTheirFilesAndAreNoLarger) {
    Bytes mixed = text(50000);
    const Bytes noise = random_bytes(20000, 3);
    mixed.insert(mixed.end(), noise.begin(), noise.end());
    mixed.insert(mixed.end(), 30000, 0);
    for (const Bytes& data : {text(100000), random_bytes(50000, 4), mixed}) {
        write_file(dir_ / "in", data);
        ASSERT_EQ(std::system(("mscompress " + (dir_ / "in").string()).c_str()), 0);
        const Bytes theirs = read_file(dir_ / "in_");
        Bytes back;
        ASSERT_EQ(sim::szdd::expand(theirs, back), Result::Ok);
        EXPECT_EQ(back, data);
        EXPECT_LE(sim::szdd::compress(data).size(), theirs.size());
        fs::remove(dir_ / "in_");
    }
}

TEST(Szdd, MissingCharacterFollowsTheCompressedName) {
    using sim::szdd::missing_character;
    EXPECT_EQ(missing_character("dist/setup.exe", "out/SETUP.EX_"), 'e');
    EXPECT_EQ(missing_character("C:\\SETUP1.INF", "A:\\SETUP1.IN_"), 'F');
    EXPECT_EQ(missing_character("readme", "readme._"), 0);     // nothing was replaced
    EXPECT_EQ(missing_character("text.txt", "text.txt_"), 0);  // a character was added
    EXPECT_EQ(missing_character("other.exe", "setup.ex_"), 0); // not the same name
    EXPECT_EQ(missing_character("setup.exe", "setup.exe"), 0);
}

// The szdd tool, found beside this test program in the build tree.
TEST_F(SzddTools, ToolCompressesAndExpands) {
    const fs::path tool = fs::read_symlink("/proc/self/exe").parent_path().parent_path() / "tools/szdd/szdd";
    if (!fs::exists(tool)) GTEST_SKIP() << "szdd tool not built";
    auto run = [&](const std::string& args) {
        return std::system((tool.string() + " " + args + " 2>/dev/null").c_str());
    };
    const Bytes data = text(30000);
    write_file(dir_ / "SETUP.EXE", data);
    ASSERT_EQ(run("compress " + (dir_ / "SETUP.EXE").string() + " " + (dir_ / "SETUP.EX_").string()), 0);
    const Bytes packed = read_file(dir_ / "SETUP.EX_");
    sim::szdd::Header h;
    ASSERT_EQ(sim::szdd::parse_header(packed, h), Result::Ok);
    EXPECT_EQ(h.missing, 'E');
    ASSERT_EQ(
        std::system(
            ("msexpand < " + (dir_ / "SETUP.EX_").string() + " > " + (dir_ / "theirs").string()).c_str()),
        0);
    EXPECT_EQ(read_file(dir_ / "theirs"), data);
    ASSERT_EQ(run("-x " + (dir_ / "SETUP.EX_").string() + " " + (dir_ / "ours").string()), 0);
    EXPECT_EQ(read_file(dir_ / "ours"), data);

    write_file(dir_ / "HALF.EX_",
               Bytes(packed.begin(), packed.begin() + static_cast<long>(packed.size() / 2)));
    EXPECT_NE(run("expand " + (dir_ / "HALF.EX_").string() + " " + (dir_ / "half").string()), 0);
    EXPECT_FALSE(fs::exists(dir_ / "half"));
    EXPECT_NE(run("expand " + (dir_ / "SETUP.EXE").string() + " " + (dir_ / "plain").string()), 0);
    EXPECT_NE(run("expand " + (dir_ / "MISSING").string() + " " + (dir_ / "x").string()), 0);
    EXPECT_NE(run("bogus a b"), 0);
}
