// The LZ library on a simulated machine with injected faults: the machine's failing reads and writes,
// a full disk and read-only files reach LZCopy through the kernel's file calls.
#include "platform/sim/kernel/global_memory.h"
#include "platform/sim/machine/machine.h"
#include "platform/sim/sim.h"
#include "platform/sim/lz/szdd.h"
#include "platform/win32.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

namespace fs = std::filesystem;

namespace {

class LzFaults : public ::testing::Test {
  protected:
    void SetUp() override {
        char tmpl[] = "/tmp/lz-faults-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        root_ = tmpl;
        std::string error;
        ASSERT_TRUE(sim::create_default_machine((root_ / "m").string(), &error)) << error;
        ASSERT_TRUE(sim::attach((root_ / "m").string(), "C:\\TEST.EXE", "C:\\", &error)) << error;
    }
    void TearDown() override {
        sim::detach();
        std::error_code ec;
        fs::remove_all(root_, ec);
    }

    void put(const std::string& name, const std::vector<std::uint8_t>& bytes) {
        std::ofstream(root_ / "m" / "C" / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
    }
    void set(const std::string& line) {
        std::string error;
        ASSERT_TRUE(sim::apply_setting(sim::machine().settings, line, root_.string(), &error)) << error;
    }
    LONG copy(const char* from, const char* to) {
        OFSTRUCT a{}, b{};
        const INT src = LZOpenFileA(const_cast<LPSTR>(from), &a, OF_READ);
        if (src < 0) return src;
        const INT dst = LZOpenFileA(const_cast<LPSTR>(to), &b, OF_CREATE);
        if (dst < 0) {
            LZClose(src);
            return dst;
        }
        const LONG r = LZCopy(src, dst);
        LZClose(src);
        LZClose(dst);
        return r;
    }

    fs::path root_;
};

std::vector<std::uint8_t> content(std::size_t n) {
    std::mt19937 rng(11);
    std::vector<std::uint8_t> out(n);
    for (std::size_t k = 0; k < n; ++k)
        out[k] = k % 3000 < 1500 ? static_cast<std::uint8_t>('a' + k % 7) : rng() & 0xFF;
    return out;
}

} // namespace

TEST_F(LzFaults, LargeFilesStreamThroughLZCopy) {
    const auto data = content(3 << 20);
    put("BIG.DA_", sim::szdd::compress(data));
    EXPECT_EQ(copy("C:\\BIG.DA_", "C:\\BIG.DAT"), static_cast<LONG>(data.size()));
    EXPECT_EQ(sim::global_blocks_in_use(), 0u); // the library's memory went with its files
    std::ifstream in(root_ / "m" / "C" / "BIG.DAT", std::ios::binary);
    EXPECT_TRUE(std::equal(data.begin(), data.end(), std::istreambuf_iterator<char>(in),
                           [](std::uint8_t a, char b) { return a == static_cast<std::uint8_t>(b); }));
}

TEST_F(LzFaults, FailedWritesGiveWriteError) {
    put("A.TX_", sim::szdd::compress(content(100000)));
    put("PLAIN.TXT", content(100000));
    set("fail-write C:\\OUT.TXT");
    EXPECT_EQ(copy("C:\\A.TX_", "C:\\OUT.TXT"), LZERROR_WRITE);
    EXPECT_EQ(copy("C:\\PLAIN.TXT", "C:\\OUT.TXT"), LZERROR_WRITE);
    set("disk-full C: 50000");
    EXPECT_EQ(copy("C:\\A.TX_", "C:\\OTHER.TXT"), LZERROR_WRITE);
}

TEST_F(LzFaults, FailedReadsGiveReadError) {
    put("A.TX_", sim::szdd::compress(content(100000)));
    put("PLAIN.TXT", content(100000));
    set("fail-read C:\\A.TX_");
    set("fail-read C:\\PLAIN.TXT");
    EXPECT_EQ(copy("C:\\A.TX_", "C:\\OUT.TXT"), LZERROR_READ);
    EXPECT_EQ(copy("C:\\PLAIN.TXT", "C:\\OUT.TXT"), LZERROR_READ);
}

TEST_F(LzFaults, ReadOnlyDestinationCannotBeCreated) {
    put("A.TX_", sim::szdd::compress(content(1000)));
    put("OUT.TXT", {});
    set("readonly C:\\OUT.TXT");
    EXPECT_EQ(copy("C:\\A.TX_", "C:\\OUT.TXT"), LZERROR_BADINHANDLE);
}

TEST_F(LzFaults, FailedAllocationsGiveGlobAllocError) {
    put("A.TX_", sim::szdd::compress(content(1000)));
    put("PLAIN.TXT", content(1000));
    set("fail-alloc 1");
    EXPECT_EQ(copy("C:\\A.TX_", "C:\\OUT.TXT"), LZERROR_GLOBALLOC);
    EXPECT_EQ(copy("C:\\PLAIN.TXT", "C:\\OUT.TXT"), LZERROR_GLOBALLOC);
    OFSTRUCT ofs{};
    const HFILE file = OpenFile("C:\\A.TX_", &ofs, OF_READ);
    EXPECT_EQ(LZInit(file), LZERROR_GLOBALLOC);
    _lclose(file);
}

TEST_F(LzFaults, AtMostSixteenExpandingFilesAreOpen) {
    put("A.TX_", sim::szdd::compress(content(1000)));
    std::vector<INT> handles;
    OFSTRUCT ofs{};
    for (int k = 0; k < 16; ++k) {
        const INT h = LZOpenFileA(const_cast<LPSTR>("C:\\A.TX_"), &ofs, OF_READ);
        ASSERT_GT(h, 0);
        handles.push_back(h);
    }
    const HFILE extra = OpenFile("C:\\A.TX_", &ofs, OF_READ);
    EXPECT_EQ(LZInit(extra), LZERROR_GLOBALLOC);
    LZClose(handles.back());
    handles.pop_back();
    const INT h = LZInit(extra);
    EXPECT_GT(h, 0);
    EXPECT_NE(h, static_cast<INT>(extra));
    handles.push_back(h);
    for (INT x : handles)
        LZClose(x);
}
