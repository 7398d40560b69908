// The LZ expansion library: compressed files read and copied expanded, plain files unchanged, the
// compressed-name fallback of LZOpenFile, and the error codes of damaged files and bad handles.
#include "tests/conformance/fixture.h"

#include <string>

namespace {

// 300 numbered lines, CRLF: longer than the 4096-byte window, so references wrap around it.
std::string sample_text() {
    std::string s;
    for (int i = 1; i <= 300; ++i)
        s += "Line " + std::to_string(i) + " of the sample file.\r\n";
    return s;
}

// sample_text() compressed, the name's missing character recorded as 'T'.
const char kSampleBytes[] =
    "\x53\x5a\x44\x44\x88\xf0\x27\x33\x41\x54\xbc\x22\x00\x00\xff\x4c\x69\x6e\x65\x20\x31\x20\x6f\xff"
    "\x66\x20\x74\x68\x65\x20\x73\x61\xff\x6d\x70\x6c\x65\x20\x66\x69\x6c\x2f\x65\x2e\x0d\x0a\xf0\xf2"
    "\x32\xf6\xff\x08\x06\x49\x33\x12\x0f\x24\x06\x34\x2e\x0f\x40\x06\x35\x4a\x0f\x92\x5c\x06\x36\x66"
    "\x0f\x78\x06\x37\x82\x0f\x94\x06\x38\x64\x9e\x0f\xb0\x06\x39\xba\x0f\xcc\x06\x31\x30\xd6\x0f\x00"
    "\xe8\x07\xf5\xff\x04\x18\x11\x0f\x21\x18\x2d\x0f\x3e\x18\x49\x0f\x00\x5b\x18\x65\x0f\x78\x18\x81"
    "\x0f\x95\x18\x9d\x0f\xb2\x18\xb9\x0f\x00\xcf\x18\xd5\x0f\x07\x08\xf2\x0f\x09\x28\x0f\x1f\x26\x28"
    "\x2c\x1f\x00\x43\x28\x49\x1f\x60\x28\x66\x1f\x7d\x28\x83\x1f\x9a\x28\xa0\x1f\x00\xb7\x28\xbd\x1f"
    "\xd4\x28\xda\x1f\xf1\x28\xf7\x1f\x23\x08\x14\x2f\x00\x2b\x38\x31\x2f\x48\x38\x4e\x2f\x65\x38\x6b"
    "\x2f\x82\x38\x88\x2f\x00\x9f\x38\xa5\x2f\xbc\x38\xc2\x2f\xd9\x38\xdf\x2f\xf6\x38\xfc\x2f\x00\x13"
    "\x48\x19\x3f\x3f\x08\x36\x3f\x4d\x48\x53\x3f\x6a\x48\x70\x3f\x00\x87\x48\x8d\x3f\xa4\x48\xaa\x3f"
    "\xc1\x48\xc7\x3f\xde\x48\xe4\x3f\x00\xfb\x48\x01\x4f\x18\x58\x1e\x4f\x35\x58\x3b\x4f\x5b\x08\x58"
    "\x4f\x00\x6f\x58\x75\x4f\x8c\x58\x92\x4f\xa9\x58\xaf\x4f\xc6\x58\xcc\x4f\x00\xe3\x58\xe9\x4f\x00"
    "\x68\x06\x5f\x1d\x68\x23\x5f\x3a\x68\x40\x5f\x00\x57\x68\x5d\x5f\x77\x08\x7a\x5f\x91\x68\x97\x5f"
    "\xae\x68\xb4\x5f\x00\xcb\x68\xd1\x5f\xe8\x68\xee\x5f\x05\x78\x0b\x6f\x22\x78\x28\x6f\x00\x3f\x78"
    "\x45\x6f\x5c\x78\x62\x6f\x79\x78\x7f\x6f\x93\x08\x9c\x6f\x00\xb3\x78\xb9\x6f\xd0\x78\xd6\x6f\xed"
    "\x78\xf3\x6f\x0a\x88\x10\x7f\x00\x27\x88\x2d\x7f\x44\x88\x4a\x7f\x61\x88\x67\x7f\x7e\x88\x84\x7f"
    "\x00\x9b\x88\xa1\x7f\xaf\x08\xbe\x7f\xd5\x88\xdb\x7f\xf2\x88\xf8\x7f\x00\x0f\x98\x15\x8f\x2c\x98"
    "\x32\x8f\x49\x98\x4f\x8f\x66\x98\x6c\x8f\x00\x83\x98\x89\x8f\xa0\x98\xa6\x8f\xbd\x98\xc3\x8f\xcb"
    "\x08\xe0\x8f\x00\xf7\x98\xfd\x8f\x14\xa8\x1a\x9f\x31\xa8\x37\x9f\x4e\xa8\x54\x9f\x00\x6b\xa8\x71"
    "\x9f\x88\xa8\x8e\x9f\xa5\xa8\xab\x9f\xc2\xa8\xc8\x9f\x00\xdf\xa8\xe5\x9f\xe7\x09\x02\xaf\x19\xb9"
    "\x1f\xaf\x37\xb9\x3c\xaf\x00\x55\xb9\x59\xaf\x73\xb9\x76\xaf\x91\xb9\x93\xaf\xaf\xb9\xb0\xaf\x00"
    "\xcd\xb9\xcd\xaf\xeb\xb9\xea\xaf\x09\xc9\x07\xbf\x04\x19\x25\xbf\x00\x45\xc9\x43\xbf\x63\xc9\x61"
    "\xbf\x81\xc9\x7f\xbf\x9f\xc9\x9d\xbf\x00\xbd\xc9\xbb\xbf\xdb\xc9\xd9\xbf\xf9\xc9\xf7\xbf\x17\xd9"
    "\x15\xcf\x00\x35\xd9\x33\xcf\x21\x19\x51\xcf\x71\xd9\x6f\xcf\x8f\xd9\x8d\xcf\x00\xad\xd9\xab\xcf"
    "\xcb\xd9\xc9\xcf\xe9\xd9\xe7\xcf\x07\xe9\x05\xdf\x00\x25\xe9\x23\xdf\x43\xe9\x41\xdf\x61\xe9\x5f"
    "\xdf\x3e\x19\x7d\xdf\x00\x9d\xe9\x9b\xdf\xbb\xe9\xb9\xdf\xd9\xe9\xd7\xdf\xf7\xe9\xf5\xdf\x00\x15"
    "\xf9\x13\xef\x33\xf9\x31\xef\x51\xf9\x4f\xef\x6f\xf9\x6d\xef\x00\x8d\xf9\x8b\xef\x5b\x19\xa9\xef"
    "\xc9\xf9\xc7\xef\xe7\xf9\xe5\xef\x00\x05\x09\x03\xff\x23\x09\x21\xff\x41\x09\x3f\xff\x5f\x09\x5d"
    "\xff\x00\x7d\x09\x7b\xff\x9b\x09\x99\xff\xb9\x09\xb7\xff\x78\x19\xd5\xff\x00\xf5\x09\xf3\xff\x13"
    "\x19\x11\x0f\x31\x19\x2f\x0f\x4f\x19\x4d\x0f\x00\x6d\x19\x6b\x0f\x8b\x19\x89\x0f\xa9\x19\xa7\x0f"
    "\xc7\x19\xc5\x0f\x00\xe5\x19\xe3\x0f\x03\x28\x9b\x6f\x20\x2a\x1f\x1f\x3f\x29\x3d\x1f\x00\x5d\x29"
    "\x5b\x1f\x7b\x29\x79\x1f\x99\x29\x97\x1f\xb7\x29\xb5\x1f\x00\xd5\x29\xd3\x1f\xf3\x29\xf1\x1f\x11"
    "\x39\x0f\x2f\x2f\x38\xbd\x7f\x00\x4c\x3a\x4b\x2f\x6b\x39\x69\x2f\x89\x39\x87\x2f\xa7\x39\xa5\x2f"
    "\x00\xc5\x39\xc3\x2f\xe3\x39\xe1\x2f\x01\x49\xff\x2f\x1f\x49\x1d\x3f\x00\x3d\x49\x3b\x3f\x5b\x48"
    "\xdf\x8f\x78\x4a\x77\x3f\x97\x49\x95\x3f\x00\xb5\x49\xb3\x3f\xd3\x49\xd1\x3f\xf1\x49\xef\x3f\x0f"
    "\x59\x0d\x4f\x00\x2d\x59\x2b\x4f\x4b\x59\x49\x4f\x69\x59\x67\x4f\x87\x58\x01\xaf\x00\xa4\x5a\xa3"
    "\x4f\xc3\x59\xc1\x4f\xe1\x59\xdf\x4f\xff\x59\xfd\x4f\x00\x1d\x69\x1b\x5f\x3b\x69\x39\x5f\x59\x69"
    "\x57\x5f\x77\x69\x75\x5f\x08\x95\x69\x93\x5f\xb3\x67\x32\x24\xbf\xd0\x6a\xcf\x5f\xef\x69\x00\xed"
    "\x5f\x0d\x79\x0b\x6f\x2b\x79\x29\x6f\x49\x79\x47\x6f\x67\x79\x00\x65\x6f\x85\x79\x83\x6f\xa3\x79"
    "\xa1\x6f\xc1\x79\xbf\x6f\xdf\x78\x00\x50\xcf\xfc\x7a\xfb\x6f\x1b\x89\x19\x7f\x39\x89\x37\x7f\x57"
    "\x89\x00\x55\x7f\x75\x89\x73\x7f\x93\x89\x91\x7f\xb1\x89\xaf\x7f\xcf\x89\x00\xcd\x7f\xed\x89\xeb"
    "\x7f\x0b\x98\x7c\xdf\x28\x9a\x27\x8f\x47\x99\x00\x45\x8f\x65\x99\x63\x8f\x83\x99\x81\x8f\xa1\x99"
    "\x9f\x8f\xbf\x99\x00\xbd\x8f\xdd\x99\xdb\x8f\xfb\x99\xf9\x8f\x19\xa9\x17\x9f\x37\xa8\x00\xa8\xef"
    "\x54\xaa\x53\x9f\x73\xa9\x71\x9f\x91\xa9\x8f\x9f\xaf\xa9\x00\xad\x9f\xcd\xa9\xcb\x9f\xeb\xa9\xe9"
    "\x9f\x09\xb9\x07\xaf\x27\xb9\x00\x25\xaf\x45\xb9\x43\xaf\x63\xb8\xd4\xff\x80\xba\x7f\xaf\x9f\xb9"
    "\x00\x9d\xaf\xbd\xb9\xbb\xaf\xdb\xb9\xd9\xaf\xf9\xb9\xf7\xaf\x17\xc9\x00\x15\xbf\x35\xc9\x33\xbf"
    "\x53\xc9\x51\xbf\x71\xc9\x6f\xbf\x8f\xc8\x00\x00\x1f\xac\xca\xab\xbf\xcb\xc9\xc9\xbf\xe9\xc9\xe7"
    "\xbf\x07\xd9\x00\x05\xcf\x25\xd9\x23\xcf\x43\xd9\x41\xcf\x61\xd9\x5f\xcf\x7f\xd9\x00\x7d\xcf\x9d"
    "\xd9\x9b\xcf\xbb\xd8\x2c\x2f\xd8\xda\xd7\xcf\xf7\xd9\x00\xf5\xcf\x15\xe9\x13\xdf\x33\xe9\x31\xdf"
    "\x51\xe9\x4f\xdf\x6f\xe9\x00\x6d\xdf\x8d\xe9\x8b\xdf\xab\xe9\xa9\xdf\xc9\xe9\xc7\xdf\xe7\xe8\x00"
    "\x58\x3f\x04\xfa\x03\xef\x23\xf9\x21\xef\x41\xf9\x3f\xef\x5f\xf9\x00\x5d\xef\x7d\xf9\x7b\xef\x9b"
    "\xf9\x99\xef\xb9\xf9\xb7\xef\xd7\xf9\x00\xd5\xef\xf5\xf9\xf3\xef\x13\x08\x84\x4f\x30\x0a\x2f\xff"
    "\x4f\x09\x00\x4d\xff\x6d\x09\x6b\xff\x8b\x09\x89\xff\xa9\x09\xa7\xff\xc7\x09\x00\xc5\xff\xe5\x09"
    "\xe3\xff\x03\x19\x01\x0f\x21\x19\x1f\x0f\x3f\x18\x00\xb0\x5f\x5c\x1a\x5b\x0f\x7b\x19\x79\x0f\x99"
    "\x19\x97\x0f\xb7\x19\x00\xb5\x0f\xd5\x19\xd3\x0f\xf3\x19\xf1\x0f\x11\x29\x0f\x1f\x2f\x29\x10\x2d"
    "\x1f\x4d\x29\x4b\x1f\x6b\x27\x33\xdc\x6f\x88\x23";
const std::string kSample(kSampleBytes, sizeof kSampleBytes - 1);

class Lz : public Conformance {
  protected:
    INT open(const std::string& name, WORD style) {
        std::string path = at(name);
        return LZOpenFileA(path.data(), &ofs_, style);
    }
    // Expands SOURCE into DEST through LZOpenFile and COPY; the copy's result.
    LONG copy(const std::string& source, const std::string& dest, LONG (*copy)(INT, INT) = LZCopy) {
        const INT from = open(source, OF_READ);
        if (from < 0) return from;
        const INT to = open(dest, OF_CREATE);
        EXPECT_GE(to, 0);
        const LONG r = copy(from, to);
        LZClose(from);
        LZClose(to);
        return r;
    }
    OFSTRUCT ofs_{};
};

} // namespace

TEST_F(Lz, CompressedFilesCopyExpanded) {
    put("SAMPLE.TX_", kSample);
    LZStart();
    EXPECT_EQ(copy("SAMPLE.TX_", "SAMPLE.TXT"), static_cast<LONG>(sample_text().size()));
    EXPECT_EQ(get("SAMPLE.TXT"), sample_text());
    EXPECT_EQ(copy("SAMPLE.TX_", "OTHER.TXT", CopyLZFile), static_cast<LONG>(sample_text().size()));
    EXPECT_EQ(get("OTHER.TXT"), sample_text());
    LZDone();
}

// Streams written by hand: the first byte lies at window position 4080, the window starts as blanks,
// and a reference to the position about to be written reaches 4096 bytes back.
TEST_F(Lz, WindowStartsAsBlanks) {
    auto file = [](char length, const std::string& body) {
        return std::string("SZDD\x88\xF0\x27\x33"
                           "A",
                           9) +
               std::string(1, '\0') + std::string(1, length) + std::string(3, '\0') + body;
    };
    put("HELLO.TX_", file(18, "\xBFhello \xF0\xF8\n"));
    put("BLANKS.TX_", file(5, std::string("\0\0\x02", 3)));
    put("WRAP.TX_", file(7, "\x01"
                            "A\xF1\xF0\xF0\xF0"));
    EXPECT_EQ(copy("HELLO.TX_", "HELLO.TXT"), 18);
    EXPECT_EQ(get("HELLO.TXT"), "hello hello hello\n");
    EXPECT_EQ(copy("BLANKS.TX_", "BLANKS.TXT"), 5);
    EXPECT_EQ(get("BLANKS.TXT"), "     ");
    EXPECT_EQ(copy("WRAP.TX_", "WRAP.TXT"), 7);
    EXPECT_EQ(get("WRAP.TXT"), "A   A  ");
}

// A kernel handle of a compressed file given to LZCopy is expanded too, and closed with the state the
// copy made for it.
TEST_F(Lz, CopyFromAKernelHandleExpandsAndClosesIt) {
    put("SAMPLE.TX_", kSample);
    OFSTRUCT a{}, b{};
    const HFILE from = OpenFile(at("SAMPLE.TX_").c_str(), &a, OF_READ);
    const HFILE to = OpenFile(at("SAMPLE.TXT").c_str(), &b, OF_CREATE);
    ASSERT_NE(from, HFILE_ERROR);
    ASSERT_NE(to, HFILE_ERROR);
    EXPECT_EQ(LZCopy(from, to), static_cast<LONG>(sample_text().size()));
    EXPECT_EQ(_llseek(from, 0, FILE_BEGIN), HFILE_ERROR);
    EXPECT_EQ(_lclose(to), 0);
    EXPECT_EQ(get("SAMPLE.TXT"), sample_text());
}

TEST_F(Lz, PlainFilesCopyUnchanged) {
    const std::string plain = std::string("SZD\0\x88 not quite a header", 24) + std::string(5000, '\xF0');
    put("PLAIN.BIN", plain);
    put("EMPTY.TXT", "");
    EXPECT_EQ(copy("PLAIN.BIN", "COPY.BIN"), static_cast<LONG>(plain.size()));
    EXPECT_EQ(get("COPY.BIN"), plain);
    EXPECT_EQ(copy("EMPTY.TXT", "COPY.TXT"), 0);
    EXPECT_EQ(get("COPY.TXT"), "");
}

TEST_F(Lz, ReadAndSeekTheExpandedContent) {
    put("SAMPLE.TX_", kSample);
    const std::string text = sample_text();
    const INT h = open("SAMPLE.TX_", OF_READ);
    ASSERT_GT(h, 0);
    char buf[5000];
    ASSERT_EQ(LZRead(h, buf, 5000), 5000);
    EXPECT_EQ(std::string(buf, 5000), text.substr(0, 5000));
    EXPECT_EQ(LZSeek(h, 0, 2), static_cast<LONG>(text.size()));
    EXPECT_EQ(LZRead(h, buf, 10), 0);
    EXPECT_EQ(LZSeek(h, 100, 0), 100);
    ASSERT_EQ(LZRead(h, buf, 30), 30);
    EXPECT_EQ(std::string(buf, 30), text.substr(100, 30));
    EXPECT_EQ(LZSeek(h, 4000, 1), 4130);
    ASSERT_EQ(LZRead(h, buf, 5000), static_cast<INT>(text.size() - 4130));
    EXPECT_EQ(std::string(buf, text.size() - 4130), text.substr(4130));
    // From the end, a positive offset moves back into the file.
    EXPECT_EQ(LZSeek(h, 10, 2), static_cast<LONG>(text.size() - 10));
    ASSERT_EQ(LZRead(h, buf, 100), 10);
    EXPECT_EQ(std::string(buf, 10), text.substr(text.size() - 10));
    EXPECT_EQ(LZSeek(h, -1, 2), LZERROR_BADVALUE);
    EXPECT_EQ(LZSeek(h, -1, 0), LZERROR_BADVALUE);
    EXPECT_EQ(LZSeek(h, 1, 1), LZERROR_BADVALUE);
    EXPECT_EQ(LZSeek(h, 0, 1), static_cast<LONG>(text.size()));
    LZClose(h);
}

TEST_F(Lz, OpenFallsBackToTheCompressedName) {
    put("SAMPLE.TX_", kSample);
    put("README._", kSample);
    put("A.BC_", kSample);
    for (const char* name : {"SAMPLE.TXT", "README", "A.BC"}) {
        const INT h = open(name, OF_READ);
        ASSERT_GT(h, 0) << name;
        char buf[20];
        EXPECT_EQ(LZRead(h, buf, 20), 20) << name;
        EXPECT_EQ(std::string(buf, 20), sample_text().substr(0, 20)) << name;
        LZClose(h);
        EXPECT_GE(open(name, OF_EXIST), 0) << name;
    }
    // The plain file wins when both are there.
    put("SAMPLE.TXT", "plain");
    EXPECT_EQ(copy("SAMPLE.TXT", "OUT.TXT"), 5);
    EXPECT_EQ(get("OUT.TXT"), "plain");
    EXPECT_EQ(open("MISSING.TXT", OF_READ), LZERROR_BADINHANDLE);
    EXPECT_EQ(open("MISSING.TXT", OF_EXIST), LZERROR_BADINHANDLE);
}

TEST_F(Lz, DamagedCompressedFilesFailToRead) {
    if (!on_simulator()) GTEST_SKIP() << "Wine ends a truncated file's expansion early and reports success";
    put("HALF.TX_", kSample.substr(0, kSample.size() / 2));
    EXPECT_EQ(copy("HALF.TX_", "HALF.TXT"), LZERROR_READ);
    put("HEADER.TX_", kSample.substr(0, 14));
    EXPECT_EQ(copy("HEADER.TX_", "HEADER.TXT"), LZERROR_READ);
    const INT h = open("HALF.TX_", OF_READ);
    char buf[9000];
    EXPECT_GT(LZRead(h, buf, 9000), 0); // what the intact part holds
    EXPECT_EQ(LZRead(h, buf, 9000), LZERROR_READ);
    LZClose(h);
}

TEST_F(Lz, UnknownMethodIsReported) {
    if (!on_simulator()) GTEST_SKIP() << "Wine's LZCopy reports an unknown method as an empty success";
    std::string other = kSample;
    other[8] = 'B';
    put("OTHER.TX_", other);
    EXPECT_EQ(copy("OTHER.TX_", "OTHER.TXT"), LZERROR_UNKNOWNALG);
}

TEST_F(Lz, BadHandlesAreReported) {
    put("SAMPLE.TX_", kSample);
    const INT from = open("SAMPLE.TX_", OF_READ);
    put("DEST.TXT", "");
    const INT readonly = open("DEST.TXT", OF_READ);
    EXPECT_EQ(LZCopy(from, readonly), LZERROR_WRITE);
    LZClose(readonly);
    LZClose(from);
    // Wine reports a bad source handle as an empty success and a bad destination as a write error.
    if (!on_simulator()) return;
    EXPECT_EQ(LZCopy(0x7FFF0, 0x7FFF4), LZERROR_BADINHANDLE);
    const INT again = open("SAMPLE.TX_", OF_READ);
    EXPECT_EQ(LZCopy(again, 0x7FFF4), LZERROR_BADOUTHANDLE);
    LZClose(again);
}

TEST_F(Lz, ExpandedNameComesFromTheHeader) {
    put("SAMPLE.TX_", kSample);
    put("lower.tx_", kSample);
    put("PLAIN.TX_", "plain");
    char name[MAX_PATH];
    std::string path = at("SAMPLE.TX_");
    ASSERT_EQ(GetExpandedNameA(path.data(), name), 1);
    EXPECT_EQ(std::string(name), at("SAMPLE.TXT"));
    path = at("lower.tx_");
    ASSERT_EQ(GetExpandedNameA(path.data(), name), 1);
    EXPECT_EQ(std::string(name), at("lower.txt"));
    path = at("PLAIN.TX_");
    ASSERT_EQ(GetExpandedNameA(path.data(), name), 1);
    EXPECT_EQ(std::string(name), path);
    path = at("MISSING.TX_");
    EXPECT_EQ(GetExpandedNameA(path.data(), name), LZERROR_BADINHANDLE);
}
