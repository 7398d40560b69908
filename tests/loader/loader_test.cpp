// The loader's switches, compressed names and the command line it hands over.
#include "common/bounded.h"
#include "loader/loader.h"
#include "tests/unit/sim_fixture.h"

namespace {

class Loader : public SimMachine {
  protected:
    void SetUp() override {
        SimMachine::SetUp();
        ResetLoaderState();
    }
    std::string compressed(const char* name) {
        char out[MAX_PATH];
        MakeCompressedName(name, out, sizeof out);
        return out;
    }
};

TEST_F(Loader, SwitchesAreWordsSplitAtBlanksSlashesAndDashes) {
    EXPECT_EQ(ParseLoaderSwitches("/e -Q o /x eq"), SwitchOutcome::Go);
    EXPECT_TRUE(fSwitchE && fSwitchQ && fSwitchO);
    EXPECT_FALSE(fSwitchA || fSwitchN);
}

TEST_F(Loader, IncompatiblePairsAreReportedInTheirOrder) {
    EXPECT_EQ(ParseLoaderSwitches("/a /n /e"), SwitchOutcome::Conflict);
    EXPECT_STREQ(IncompatibleSwitchesMessage(), "Incompatible command line switches: /a and /n.");
    ResetLoaderState();
    EXPECT_EQ(ParseLoaderSwitches("-E -A"), SwitchOutcome::Conflict);
    EXPECT_STREQ(IncompatibleSwitchesMessage(), "Incompatible command line switches: /e and /a.");
    ResetLoaderState();
    EXPECT_EQ(ParseLoaderSwitches("/n/e"), SwitchOutcome::Conflict);
    EXPECT_STREQ(IncompatibleSwitchesMessage(), "Incompatible command line switches: /e and /n.");
}

TEST_F(Loader, HelpWinsAndStopsReadingTheWords) {
    EXPECT_EQ(ParseLoaderSwitches("/e /? /a /n"), SwitchOutcome::Help);
    EXPECT_TRUE(fSwitchE);
    EXPECT_FALSE(fSwitchA);
}

TEST_F(Loader, AnOverlongCommandLineIsReadToItsLimit) {
    std::string line(kLoaderCommandLineMax - 2, ' ');
    line += "/e /a";
    EXPECT_EQ(ParseLoaderSwitches(line.c_str()), SwitchOutcome::Go);
    EXPECT_TRUE(fSwitchE);
    EXPECT_FALSE(fSwitchA);
}

TEST_F(Loader, CompressedNamesReplaceTheLastCharacterOfTheExtension) {
    EXPECT_EQ(compressed("A:\\setup1.inf"), "A:\\setup1.in_");
    EXPECT_EQ(compressed("tnsetup.exe"), "tnsetup.ex_");
    EXPECT_EQ(compressed("A:\\DIR.X\\README"), "A:\\DIR.X\\README._");
    EXPECT_EQ(compressed("NAME."), "NAME._");
    EXPECT_EQ(compressed("A.B"), "A._");
}

TEST_F(Loader, TheHandOverCommandLineCarriesTheSwitchesInTheirOrder) {
    ParseLoaderSwitches("/o /q /e");
    CopyText(szLoaderSourceDir, "A:\\");
    BuildLoaderCommand("C:\\WINDOWS\\TNSETUP.TMP\\tnsetup.exe");
    EXPECT_STREQ(szLoaderCommand, "C:\\WINDOWS\\TNSETUP.TMP\\tnsetup.exe /e /q /o /d /sA:\\");
    ResetLoaderState();
    CopyText(szLoaderSourceDir, "D:\\MY DISK\\");
    BuildLoaderCommand("C:\\WINDOWS\\TNSETUP.TMP\\tnsetup.exe");
    EXPECT_STREQ(szLoaderCommand, "C:\\WINDOWS\\TNSETUP.TMP\\tnsetup.exe /d /sD:\\MY DISK\\");
}

// On a floppy's 512-byte clusters the free space can stand at any kilobyte: the remainder of a
// kilobyte is dropped, and a drive that cannot be asked has no free space at all.
TEST_F(Loader, FreeSpaceCountsWholeKilobytes) {
    set("drive D: removable " + host("D"));
    std::filesystem::create_directories(host("D"));
    set("free D: 256000");
    EXPECT_EQ(WindowsDriveFreeKB('D'), 250u);
    set("free D: 257023");
    EXPECT_EQ(WindowsDriveFreeKB('D'), 250u);
    set("free D: 257024");
    EXPECT_EQ(WindowsDriveFreeKB('D'), 251u);
    EXPECT_EQ(WindowsDriveFreeKB('Q'), 0u);
}

} // namespace
