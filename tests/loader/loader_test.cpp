// The loader's switches, compressed names and the command line it hands over.
#include "common/bounded.h"
#include "loader/loader.h"
#include "platform/sim/driver/agent.h"
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

// A Windows directory so long that the temporary directory, or a file in it, cannot be named whole: the
// copy fails as for a destination that cannot be created, rather than copy to a cut name and hand over
// a program that is not there.
TEST_F(Loader, APathThatDoesNotFitFailsTheCopyAndCutsNoName) {
    std::filesystem::create_directories(host("A"));
    ASSERT_TRUE(sim::write_host_file(host("A/setup1.inf"), "[x]\n"));
    ASSERT_TRUE(sim::write_host_file(host("A/tnsetup.exe"), "program"));
    CopyText(szLoaderSourceDir, "A:\\");
    sim::QueueAgent agent;
    sim::set_agent(&agent);
    // 247 characters leave no room for "TNSETUP.TMP\"; 240 leave room for it but not for "setup1.inf".
    for (std::size_t length : {247u, 240u}) {
        std::string dir = "C:\\" + std::string(120, 'D') + "\\" + std::string(length - 125, 'E') + "\\";
        std::string hostDir = host("C/" + std::string(120, 'D') + "/" + std::string(length - 125, 'E'));
        std::filesystem::create_directories(hostDir);
        ASSERT_TRUE(CopyText(szLoaderWindowsDir, dir.c_str()));
        agent.push(sim::click(IDOK));
        EXPECT_EQ(CopySetupFiles(), 1) << length;
        EXPECT_TRUE(agent.empty()) << "the failure is told";
        ASSERT_FALSE(agent.seen().empty());
        EXPECT_EQ(agent.seen().back().painted.front(), "Unable to initialize TARNO Setup.");
        for (const auto& entry : std::filesystem::recursive_directory_iterator(hostDir))
            EXPECT_TRUE(entry.is_directory() && entry.path().filename() == "TNSETUP.TMP") << entry.path();
    }
    sim::set_agent(nullptr);
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
