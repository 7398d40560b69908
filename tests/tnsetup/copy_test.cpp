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
    // Cancel in Insert disk, and leaving Setup confirmed.
    void giveUpPrompt() {
        agent.push(sim::click("Cancel"));
        agent.push(sim::click(IDOK));
    }
    int copy(const char* name) { return CopySetupFile("1", szSourceDir, szDestDir, name); }
    std::string log() const { return machine_file("C/TARNO/TNSETUP.LOG"); }
    bool logged(const std::string& line) const { return log().find(line + "\r\n") != std::string::npos; }
    bool exists(const char* path) const { return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }
    // Whether the last message the user was shown says TEXT (blanks and line breaks left out).
    static bool said(const sim::DialogSnapshot& message, std::string text) {
        std::string shown;
        for (const std::string& line : message.painted)
            shown += line;
        std::erase(shown, ' ');
        std::erase(text, ' ');
        return shown.find(text) != std::string::npos;
    }
    bool said(const std::string& text) const { return said(agent.seen().back(), text); }
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

TEST_F(Copy, AnEmptySourceIsCopiedAndCountsAsCopied) {
    put("A:\\EMPTY.DAT", "");
    EXPECT_EQ(copy("EMPTY.DAT"), 1);
    EXPECT_TRUE(exists("C:\\TARNO\\EMPTY.DAT"));
    EXPECT_TRUE(logged("C:\\TARNO\\EMPTY.DAT 0"));
    EXPECT_TRUE(agent.seen().empty()) << "no prompt for the disk";
}

TEST_F(Copy, AFailedExpansionLeavesNoDestinationBehind) {
    putPacked("A:\\BAD.DL_", std::string(3000, 'x') + "a tail that is lost");
    std::string packed = machine_file("A/BAD.DL_");
    put("A:\\BAD.DL_", packed.substr(0, packed.size() - 4));
    agent.push(sim::click("Yes"));
    EXPECT_EQ(copy("BAD.DLL"), 1);
    EXPECT_TRUE(said("Source file A:\\BAD.DL_ has bad compression format")) << log();
    EXPECT_FALSE(exists("C:\\TARNO\\BAD.DLL"));
    EXPECT_TRUE(logged("A:\\BAD.DL_ - read error, possible reason: bad compress format."));
    EXPECT_TRUE(logged("User skipped copying file."));

    // The destination on a drive that fills up; the log stays on C:.
    set("drive D: fixed D");
    std::filesystem::create_directories(host("D/OUT"));
    set("disk-full D: 1000");
    put("A:\\BIG.DAT", std::string(4096, 'x'));
    agent.push(sim::key_alt_f4()); // counts as No, the default
    EXPECT_EQ(CopySetupFile("1", szSourceDir, "D:\\OUT\\", "BIG.DAT"), 0);
    EXPECT_TRUE(said("Can not write destination file: D:\\OUT\\BIG.DAT"));
    EXPECT_FALSE(exists("D:\\OUT\\BIG.DAT"));
    EXPECT_TRUE(logged("D:\\OUT\\BIG.DAT - write error, possible reason: out of disk space."));
    EXPECT_TRUE(logged("Copying stopped by user."));
}

TEST_F(Copy, NamesThatLeaveTheDestinationAreRefusedAndYesToAllSkipsTheRest) {
    put("C:\\WIN.INI", "keep");
    put("A:\\WIN.INI", "overwritten");
    agent.push(sim::click("Yes to All"));
    EXPECT_EQ(copy("..\\WIN.INI"), 1);
    EXPECT_TRUE(said("Can not copy to destination file: C:\\TARNO\\..\\WIN.INI"));
    EXPECT_TRUE(fIgnoreCreateErrors);
    EXPECT_TRUE(logged("Set ignore all errors on creating destination files."));
    EXPECT_EQ(copy("C:WIN.INI"), 1); // no question now
    EXPECT_TRUE(logged("C:\\TARNO\\C:WIN.INI - can not create destination file, skipped."));
    EXPECT_EQ(machine_file("C/WIN.INI"), "keep");
    EXPECT_EQ(agent.seen().size(), 1u);
}

TEST_F(Copy, EscapeOnTheDestinationQuestionStops) {
    put("A:\\X.DLL", "x");
    set("readonly C:\\TARNO");
    agent.push(sim::key_escape());
    EXPECT_EQ(copy("X.DLL"), 0);
    EXPECT_FALSE(fIgnoreCreateErrors);
}

TEST_F(Copy, AReadOnlyDestinationStaysAndCountsWithItsSize) {
    put("A:\\KEYB.DRV", "new");
    put("C:\\TARNO\\KEYB.DRV", "old one");
    set("readonly C:\\TARNO\\KEYB.DRV");
    EXPECT_EQ(copy("KEYB.DRV"), 7);
    EXPECT_EQ(machine_file("C/TARNO/KEYB.DRV"), "old one");
    EXPECT_TRUE(logged("C:\\TARNO\\KEYB.DRV - file exist, can not be overwritten."));
}

TEST_F(Copy, ASourceThatIsThereButCannotBeOpenedIsAskedAboutNotPromptedFor) {
    CreateDirectoryA("A:\\FONT.TTF", nullptr);
    agent.push(sim::key_enter()); // Yes, the default
    EXPECT_EQ(copy("FONT.TTF"), 1);
    EXPECT_TRUE(said("Can not copy source file: A:\\FONT.TTF"));
}

TEST_F(Copy, AMissingFileOrTheDestinationAsSourceLeadsToThePrompt) {
    giveUpPrompt();
    EXPECT_EQ(copy("MISSING.DLL"), 0);
    EXPECT_EQ(agent.seen().front().template_name, "INSERTDISK");
    EXPECT_TRUE(logged("A:\\MISSING.DLL - can not open source file."));
    EXPECT_TRUE(logged("Prompt: Insert disk or type path to file MISSING.DLL"));
    EXPECT_TRUE(logged("Prompt dialog cancelled."));

    CopyText(szSourceDir, "c:\\tarno\\");
    agent.push(sim::click(IDOK));
    giveUpPrompt();
    EXPECT_EQ(copy("X.DLL"), 0);
    EXPECT_TRUE(
        said(agent.seen()[agent.seen().size() - 3], "Destination and source directories are the same."));
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
    void addDriveD() {
        set("drive D: fixed D");
        set("cluster D: 1024");
        std::filesystem::create_directories(host("D"));
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

// Retry reads the figures again: space freed meanwhile lets the copy go on.
class FreeingAgent : public sim::QueueAgent {
  public:
    std::string freeLine;
    std::string root;
    sim::Input next(const sim::DialogSnapshot& snapshot) override {
        sim::Input input = QueueAgent::next(snapshot);
        std::string error;
        sim::apply_setting(sim::machine().settings, freeLine, root, &error);
        return input;
    }
};

TEST_F(Space, TwoDrivesAreShownApartAndRetryLooksAgain) {
    addDriveD();
    CopyText(szDestDir, "d:\\tarno\\");
    freeKb("C:", 7000);
    freeKb("D:", 100);
    FreeingAgent freeing;
    freeing.freeLine = "free D: 20000000";
    freeing.root = root;
    freeing.push(sim::click("Retry"));
    sim::set_agent(&freeing);
    EXPECT_TRUE(CheckDiskSpace());
    ASSERT_EQ(freeing.seen().size(), 1u);
    EXPECT_TRUE(said(freeing.seen().back(), "Windows drive [C:]      Free: 7000KB   Need: 6600KB"));
    EXPECT_TRUE(said(freeing.seen().back(), "Destination drive [D:]  Free: 100KB   Need: 11008KB"));
    sim::set_agent(&agent);
}

TEST_F(Space, ADestinationWithoutADriveIsCheckedOnTheDriveItLandsOn) {
    addDriveD();
    freeKb("C:", 100);
    freeKb("D:", 50000);
    SetCurrentDirectoryA("D:\\");
    CopyText(szDestDir, "\\TARNO\\");
    agent.push(sim::click("Ignore"));
    EXPECT_TRUE(CheckDiskSpace());
    EXPECT_TRUE(said("Destination drive [D:]  Free: 50000KB"));
}

} // namespace

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
