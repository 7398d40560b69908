// The copy of one file and its error policy, the compressed-name rule and the disk-space arithmetic, on a
// small disk in drive A:. Whole installations are the copy scenarios' business.
#include "platform/sim/lz/szdd.h"
#include "setup/copy/copy.h"
#include "tests/tnsetup/setup_screen.h"
#include "tests/tnsetup/tnsetup_fixture.h"

#include <cstdlib>

#include <filesystem>
#include <string>

namespace {

TEST(CompressedName, LastCharacterOfTheExtensionOrADotUnderscore) {
    const char* const cases[][2] = {{"SETUP.EXE", "SETUP.EX_"},
                                    {"README", "README._"},
                                    {"NAME.", "NAME._"},
                                    {"A:\\X.Y", "A:\\X._"},
                                    {"C:\\DIR.EXT\\README", "C:\\DIR.EXT\\README._"}};
    for (const auto& c : cases) {
        char out[64];
        EXPECT_TRUE(GetCompressedName(c[0], out, sizeof out));
        EXPECT_STREQ(out, c[1]);
    }
    char small[8];
    EXPECT_FALSE(GetCompressedName("README", small, sizeof small)) << "a cut name would be another file";
    EXPECT_STREQ(small, "");
}

TEST(FileNames, OnlyBareNamesNameAFileInTheirDirectory) {
    for (const char* bad : {"..", "...", " . ", "..\\WIN.INI", "SUB/X", "C:X", "\\X", ""})
        EXPECT_FALSE(IsPlainFileName(bad)) << bad;
    for (const char* good : {"tnkbd.drv", "README", ".hidden", "a..b"})
        EXPECT_TRUE(IsPlainFileName(good)) << good;
    char path[12];
    EXPECT_FALSE(BuildFilePath(path, sizeof path, "C:\\TARNO\\", "LONG.DLL"));
    EXPECT_STREQ(path, "");
}

TEST(DiskSpace, TheNeedCountsATenthMoreRoundedDown) {
    EXPECT_EQ(NeedKilobytes(10240000 + 8192), 11008u);
    EXPECT_EQ(NeedKilobytes(8192), 8u); // only the log
    EXPECT_EQ(NeedKilobytes(0), 0u);
}

class Copy : public TnSetup {
  protected:
    void SetUp() override {
        TnSetup::SetUp();
        CopyText(szInfFile, "C:\\SETUP1.INF");
        CopyText(szDestDir, "C:\\TARNO\\");
        CopyText(szSourceDir, "A:\\");
        put("C:\\SETUP1.INF", "[disks]\r\n1=Disk One\r\n");
        CreateDirectoryA("C:\\TARNO", nullptr);
        CreateSetupLog(szDestDir);
    }
    int copy(const char* name) { return CopySetupFile("1", szSourceDir, szDestDir, name); }
    std::string log() const { return machine_file("C/TARNO/TNSETUP.LOG"); }
    bool logged(const std::string& line) const { return log().find(line + "\r\n") != std::string::npos; }
    // Whether the last message the user was shown says TEXT (blanks and line breaks left out).
    bool said(std::string text) const {
        std::string shown;
        for (const std::string& line : agent.seen().back().painted)
            shown += line;
        std::erase(shown, ' ');
        std::erase(text, ' ');
        return shown.find(text) != std::string::npos;
    }
    void putPacked(const std::string& path, const std::string& text) {
        auto packed = sim::szdd::compress({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
        put(path, std::string(packed.begin(), packed.end()));
    }
};

TEST_F(Copy, ACompressedSourceIsInstalledExpandedUnderItsOwnName) {
    putPacked("A:\\SETUP.EX_", "the program");
    putPacked("A:\\README._", "read me");
    EXPECT_EQ(copy("SETUP.EXE"), 11);
    EXPECT_EQ(copy("README"), 7);
    EXPECT_EQ(machine_file("C/TARNO/SETUP.EXE"), "the program");
    EXPECT_EQ(machine_file("C/TARNO/README"), "read me");
    EXPECT_TRUE(logged("C:\\TARNO\\SETUP.EXE 11"));
    EXPECT_EQ(nProgressDone, 18);
    EXPECT_TRUE(agent.seen().empty());
}

TEST_F(Copy, EscapeOnTheDestinationQuestionStops) {
    put("A:\\X.DLL", "x");
    set("readonly C:\\TARNO");
    agent.push(sim::key_escape());
    EXPECT_EQ(copy("X.DLL"), 0);
    EXPECT_FALSE(fIgnoreCreateErrors);
}

class Space : public Copy {
  protected:
    void SetUp() override {
        Copy::SetUp();
        put("C:\\SETUP1.INF", "[volume]\r\nPROGFILES=10240000\r\nWINSPACE=0\r\nWINOTHER=6144000\r\n");
        fUninstallEnabled = fApplications = fTrueTypeFonts = fFonts = FALSE;
        set("cluster C: 1024");
    }
    // KB kilobytes free; the half kilobyte more leaves room for what the log has written.
    void freeKb(const char* drive, int kb) {
        set(std::string("free ") + drive + " " + std::to_string(kb * 1024 + 512));
    }
};

// The destination needs 11 008 KB, Windows 6 600 KB.
TEST_F(Space, OneDriveNeedsBothAndEqualFreeSpaceIsTooLittle) {
    freeKb("C:", 11008 + 6600 + 1);
    EXPECT_TRUE(CheckDiskSpace());
    EXPECT_TRUE(agent.seen().empty());
    freeKb("C:", 11008 + 6600);
    agent.push(sim::click("Abort"));
    EXPECT_FALSE(CheckDiskSpace());
    EXPECT_TRUE(said("Destination drive [C:]  Free: 17608KB   Need: 17608KB"));
    EXPECT_FALSE(said("Windows drive"));
}

TEST_F(Space, ADestinationWithoutADriveIsCheckedOnTheDriveItLandsOn) {
    set("drive D: fixed D");
    set("cluster D: 1024");
    std::filesystem::create_directories(host("D"));
    freeKb("C:", 100);
    freeKb("D:", 50000);
    SetCurrentDirectoryA("D:\\");
    CopyText(szDestDir, "\\TARNO\\");
    agent.push(sim::click("Ignore"));
    EXPECT_TRUE(CheckDiskSpace());
    EXPECT_TRUE(said("Destination drive [D:]  Free: 50000KB"));
}

// ---- The information window during a copy ---------------------------------------------------------------

class CopyProgress : public SetupScreen {
  protected:
    // Blue pixels of the bar's lowest inner row.
    int BarOnScreen() {
        sim::Surface screen = Screen();
        int width = 0;
        while (width < 400 && Pixel(screen, hwndInfor, 21 + width, 107) == 0x0000FF)
            ++width;
        return width;
    }
};

// docs/copy-progress.png: COPY_PROGRESS_PNG=$PWD/docs/copy-progress.png build/linux/tests/tnsetup_tests
// --gtest_filter=CopyProgress.*
TEST_F(CopyProgress, TheBarMovesWithEveryFile) {
    CopyText(szDestDir, "C:\\TARNO\\");
    CopyText(szSourceDir, "A:\\");
    CreateDirectoryA("C:\\TARNO", nullptr);
    nProgressTotal = 4 * 3000 - 1;
    int last = BarOnScreen();
    for (const char* name : {"TNKBD.DRV", "TNLANG.CPL", "TNHOOK.DLL", "TNRUS.DLL"}) {
        std::string path = std::string("A/") + name;
        ASSERT_TRUE(sim::write_host_file(host(path), std::string(3000, 'x')));
        EXPECT_EQ(CopySetupFile("1", szSourceDir, szDestDir, name), 3000);
        EXPECT_STREQ(szProgressFile, name);
        int bar = BarOnScreen();
        EXPECT_GT(bar, last) << name;
        last = bar;
        if (const char* png = std::getenv("COPY_PROGRESS_PNG"); png && nProgressDone == 6000) {
            std::string error;
            EXPECT_TRUE(sim::save_screenshot(png, &error)) << error;
        }
    }
    EXPECT_STREQ(szProgressText, "C:\\TARNO\\TNRUS.DLL");
}

} // namespace
