#include "tools/mkdist/mkdist.h"

#include "platform/sim/shell/internal.h"
#include "platform/sim/lz/szdd.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void write(const fs::path& p, const std::string& bytes) {
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << bytes;
}

std::string expand(const std::string& stored) {
    std::vector<std::uint8_t> out;
    std::span<const std::uint8_t> in(reinterpret_cast<const std::uint8_t*>(stored.data()), stored.size());
    EXPECT_EQ(sim::szdd::expand(in, out), sim::szdd::Result::Ok);
    return std::string(out.begin(), out.end());
}

class Mkdist : public ::testing::Test {
  protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() / ("mkdist-test-" + std::to_string(::getpid()) + "-" +
                                             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root_);
        fs::create_directories(root_ / "src");
    }
    void TearDown() override { fs::remove_all(root_); }

    // A small distribution: two disks, a few files of known sizes.
    void small_distribution(const std::string& extra_inf = "") {
        write(root_ / "src" / "setup1.inf", "[disks]\r\n1=Disk one\r\n2=Disk two\r\n"
                                            "[programfiles.tarno]\r\ntarno.exe=1\r\nreadme=2\r\n"
                                            "[volume]\r\nPROGFILES=0\r\n" +
                                                extra_inf);
        write(root_ / "src" / "files.txt", "SETUP.EXE stub:setup 1 plain\nsetup1.inf file:setup1.inf 1\n"
                                           "tarno.exe stub:none\nreadme generated:1000\n");
    }

    bool build(std::string& error) {
        return mkdist::build((root_ / "src").string(), (root_ / "out").string(), {}, error);
    }

    fs::path root_;
};

// Every file of the sample distribution lies on each disk that setup1.inf gives it, under its stored
// name, and expands to its source byte for byte.
TEST_F(Mkdist, SampleDistributionRoundTrips) {
    std::string error;
    const fs::path src = MKDIST_EXAMPLE;
    ASSERT_TRUE(mkdist::build(src.string(), (root_ / "out").string(), {}, error)) << error;
    EXPECT_TRUE(fs::exists(root_ / "out" / "disk1" / "Disk1"));
    EXPECT_TRUE(fs::exists(root_ / "out" / "disk2" / "Disk2"));
    EXPECT_EQ(read(root_ / "out" / "disk1" / "SETUP.EXE"), sim::program_stub("setup"));

    std::vector<mkdist::ManifestEntry> manifest;
    ASSERT_TRUE(mkdist::parse_manifest(read(src / "files.txt"), manifest, error)) << error;
    std::string inf_text = read(src / "setup1.inf");
    mkdist::Ini ini = mkdist::parse_ini(inf_text);
    int checked = 0;
    for (const auto& r : mkdist::referenced_files(ini)) {
        auto e =
            std::find_if(manifest.begin(), manifest.end(), [&](const auto& m) { return m.name == r.file; });
        ASSERT_NE(e, manifest.end()) << r.file;
        std::string source = e->source.rfind("stub:", 0) == 0 ? sim::program_stub(e->source.substr(5))
                             : e->source.rfind("generated:", 0) == 0
                                 ? mkdist::generated_bytes(e->name, std::stoull(e->source.substr(10)))
                             : e->source.rfind("font:", 0) == 0 ? read(e->source.substr(5))
                                                                : read(src / e->source.substr(5));
        fs::path stored =
            root_ / "out" / ("disk" + r.disk) / (e->plain ? r.file : mkdist::compressed_name(r.file));
        ASSERT_TRUE(fs::exists(stored)) << stored;
        EXPECT_EQ(e->plain ? read(stored) : expand(read(stored)), source) << r.file;
        EXPECT_EQ(read(root_ / "out" / "expanded" / r.file), source) << "the installed form of " << r.file;
        ++checked;
    }
    EXPECT_GT(checked, 60);

    // setup1.inf itself travels compressed, with its byte counts filled in and nothing else changed.
    std::string inf = expand(read(root_ / "out" / "disk1" / "setup1.in_"));
    EXPECT_EQ(read(root_ / "out" / "expanded" / "setup1.inf"), inf);
    mkdist::Ini built = mkdist::parse_ini(inf);
    EXPECT_NE(*built.value("volume", "TTF"), "0");
    EXPECT_EQ(*built.value("volume", "TTF"),
              std::to_string(fs::file_size("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf") +
                             fs::file_size("/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf") +
                             fs::file_size("/usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf") +
                             fs::file_size("/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf")));
    EXPECT_EQ(built.sections.size(), ini.sections.size());
    EXPECT_EQ(*built.value("country", "RUS"), *ini.value("country", "RUS"));
}

// A refused distribution leaves the output folder as it was and no temporary folder behind.
TEST_F(Mkdist, RefusesWithoutTouchingTheOutput) {
    write(root_ / "out" / "old.txt", "from an earlier build");
    struct Case {
        const char* inf_extra;
        const char* manifest_extra;
        const char* message;
    } cases[] = {
        {"[tdk]\r\nmissing.c=2\r\n", "", "[tdk] names missing.c, which files.txt does not list"},
        {"[tdk]\r\nsample.c=3\r\n", "sample.c generated:10\n", "disk '3', which has no entry in [disks]"},
        {"[oemansi]\r\n866=xlat866.bin,7\r\n", "xlat866.bin generated:10\n", "disk '7'"},
        {"[TTF.1251]\r\nSans (TrueType)=sans.ttf,2\r\n", "sans.ttf font:/nonexistent/sans.ttf\n",
         "cannot read /nonexistent/sans.ttf"},
        {"", "extra.txt generated:10\n", "setup1.inf places extra.txt on no disk"},
        {"", "other.txt generated:10 9\n", "disk 9 has no entry in [disks]"},
        {"", "odd.txt generated:-5 1\n", "generated:BYTES"},
        {"", "folder.ttf font:/usr/share 2\n", "cannot read /usr/share"},
        {"", "../escape generated:5 1\n", "'../escape' is not a plain file name"},
        {"[tdk]\r\ntarno.exx=1\r\n", "tarno.exx generated:5\n", "both stored as tarno.ex_ on disk 1"},
        {"", "TARNO.EXE generated:5 1\n", "TARNO.EXE is listed twice"},
    };
    for (const auto& c : cases) {
        small_distribution(c.inf_extra);
        std::ofstream(root_ / "src" / "files.txt", std::ios::app) << c.manifest_extra;
        std::string error;
        EXPECT_FALSE(build(error)) << c.message;
        EXPECT_NE(error.find(c.message), std::string::npos) << error;
        EXPECT_EQ(read(root_ / "out" / "old.txt"), "from an earlier build");
        EXPECT_FALSE(fs::exists(root_ / "out" / "disk1"));
    }
    for (const auto& e : fs::directory_iterator(root_))
        EXPECT_TRUE(e.path().filename() == "src" || e.path().filename() == "out") << e.path();
}

TEST_F(Mkdist, PlacesFilesOnTheirDisksAndReplacesAnEarlierBuild) {
    small_distribution();
    write(root_ / "out" / "stale" / "file", "x");
    std::string error;
    ASSERT_TRUE(build(error)) << error;
    EXPECT_FALSE(fs::exists(root_ / "out" / "stale"));
    EXPECT_TRUE(fs::exists(root_ / "out" / "disk1" / "tarno.ex_"));
    EXPECT_TRUE(fs::exists(root_ / "out" / "disk2" / "readme._"));
    EXPECT_FALSE(fs::exists(root_ / "out" / "disk1" / "readme._"));
    // The stored name records the character it replaced, so the LZ library can restore the name.
    std::string stored = read(root_ / "out" / "disk1" / "tarno.ex_");
    ASSERT_GT(stored.size(), 10u);
    EXPECT_EQ(stored[9], 'e');
    mkdist::Ini built = mkdist::parse_ini(expand(read(root_ / "out" / "disk1" / "setup1.in_")));
    EXPECT_EQ(*built.value("volume", "PROGFILES"), std::to_string(1000 + sim::program_stub("none").size()));
}

// Each key of [volume] counts what its component installs; alternatives count by the largest.
TEST(MkdistVolume, CountsEachComponent) {
    mkdist::Ini ini =
        mkdist::parse_ini("[uninstall.tarno]\nu=1\n[programfiles.tarno]\np=1\n"
                          "[programfiles.system]\nps=1\n[programfiles.windows]\npw=1\n"
                          "[application]\na=2\n[applications.system]\nas=2\n[tdk]\nt=2\n"
                          "[windows.system]\nws=1\n[windows]\nw=1\n"
                          "[oemansi]\n866=o866,1\n855=o855,1\n"
                          "[default.setup]\nRUS=1251,866,1,lr,1,Russian\nBUL=1251,855,1,lb,1,Bulgarian\n"
                          "[Keyboard Layouts]\nRussian=R,kr,1,419,RU\nUS=US,,1,409,US\n"
                          "[helv.1251]\nHI1=h1,2,Name 8,10\nALL=hp,2,P\nPR2=h24,2,X\nPR9=h9,2,Y\n"
                          "[cour.1251]\nHI1=c1,2,C\nPR9=c9,2,Z\n"
                          "[sysfonts.1251]\nHI1=s1,2\nHI2=s2,2\n[sysfonts.1252]\nHI1=s1w,2\n"
                          "[fixedfonts.1251]\nHI1=f1,2\n"
                          "[oemfonts]\n866=oemfonts.866\n[oemfonts.866]\nHI1=v866,2\n"
                          "[VGA.GR3]\n866=866,2\n"
                          "[TTF.1251]\nA=a.ttf,2\nB=b.ttf,2\n");
    std::map<std::string, std::uint64_t> sizes;
    auto set = [&](const char* name, std::uint64_t n) { sizes[name] = n; };
    set("U", 1);
    set("P", 2);
    set("PS", 4);
    set("PW", 8);
    set("A", 16);
    set("AS", 32);
    set("T", 64);
    set("WS", 128);
    set("W", 256);
    set("O866", 512);
    set("O855", 1024);
    set("LR", 3000);
    set("LB", 2000);
    set("KR", 10000);
    set("H1", 1);
    set("HP", 2);
    set("H24", 4);
    set("H9", 8);
    set("C1", 16);
    set("C9", 32);
    set("S1", 100);
    set("S2", 200);
    set("S1W", 300);
    set("F1", 1000);
    set("V866", 5000);
    set("EGA80866.FON", 1);
    set("EGA40866.FON", 2);
    set("CGA80866.FON", 4);
    set("CGA40866.FON", 8);
    set("APP866.FON", 16);
    set("A.TTF", 70000);
    set("B.TTF", 80000);
    set("TARNO.INI", 7);
    auto v = mkdist::volume_sizes(ini, sizes, 123456);
    EXPECT_EQ(v["UNINSTFILES"], 1u);
    EXPECT_EQ(v["PROGFILES"], 2u);
    EXPECT_EQ(v["WINSPACE"], 4u + 8 + 1024 + 3000);
    EXPECT_EQ(v["APPLIC"], 48u);
    EXPECT_EQ(v["TDK"], 64u);
    EXPECT_EQ(v["ALL"], 2u);
    EXPECT_EQ(v["PR2"], 4u);
    EXPECT_EQ(v["PR9"], 40u);
    EXPECT_EQ(v["TTF"], 150000u);
    EXPECT_EQ(v["HI1"], 300u + 1000 + 5000 + 1 + 16);
    EXPECT_EQ(v["HI2"], 200u);
    EXPECT_EQ(v["HI4"], 0u);
    EXPECT_EQ(v["OEM"], 31u);
    EXPECT_EQ(v["WINOTHER"], 128u + 256 + 7 + 10000);
    EXPECT_EQ(v["NET"], 123456u);
}

TEST(MkdistVolume, RewritesOnlyTheVolumeSection) {
    std::string text =
        "; head\r\n[a]\r\nPR2=keep\r\n[Volume]\r\n; counts\r\nPR2 = 5\r\nPR2=6\r\n\r\n[b]\r\nx=1";
    std::string out = mkdist::with_volume(text, {{"PR2", 40}, {"TTF", 7}});
    EXPECT_EQ(
        out,
        "; head\r\n[a]\r\nPR2=keep\r\n[Volume]\r\n; counts\r\nPR2=40\r\nPR2=6\r\n\r\nTTF=7\r\n[b]\r\nx=1\n");
    EXPECT_EQ(mkdist::with_volume("[a]\nk=v\n", {{"NET", 1}}), "[a]\nk=v\n\r\n[volume]\r\nNET=1\r\n");
}

TEST(MkdistInf, NamesAndFields) {
    EXPECT_EQ(mkdist::compressed_name("setup1.inf"), "setup1.in_");
    EXPECT_EQ(mkdist::compressed_name("README"), "README._");
    EXPECT_EQ(mkdist::compressed_name("odd."), "odd._");
    EXPECT_EQ(mkdist::compressed_name("a.b"), "a._");
    EXPECT_EQ(mkdist::compressed_name("dir.x\\file"), "dir.x\\file._");
    std::string f;
    ASSERT_TRUE(mkdist::list_field("1251 , 866,, RUS ,x", 1, f));
    EXPECT_EQ(f, "1251 ");
    ASSERT_TRUE(mkdist::list_field("1251 , 866,, RUS ,x", 2, f));
    EXPECT_EQ(f, "866");
    ASSERT_TRUE(mkdist::list_field("1251 , 866,, RUS ,x", 3, f));
    EXPECT_EQ(f, "");
    ASSERT_TRUE(mkdist::list_field("1251 , 866,, RUS ,x", 4, f));
    EXPECT_EQ(f, "RUS ");
    EXPECT_FALSE(mkdist::list_field("1251 , 866,, RUS ,x", 6, f));
    ASSERT_TRUE(mkdist::list_field("", 1, f));
    EXPECT_EQ(f, "");
    // Sections and keys match in any case; the first of a doubled key counts.
    mkdist::Ini ini = mkdist::parse_ini("[Keyboard Layouts]\nRu=1\nRU=2\n[keyboard layouts]\nx=3\n");
    EXPECT_EQ(ini.sections.size(), 1u);
    EXPECT_EQ(*ini.value("KEYBOARD LAYOUTS", "ru"), "1");
    EXPECT_EQ(*ini.value("keyboard layouts", "X"), "3");
}

} // namespace
