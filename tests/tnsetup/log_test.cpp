// The setup log: creation, the header block, the line limit and the /q switch.
#include "tests/tnsetup/tnsetup_fixture.h"

#include <sstream>
#include <vector>

namespace {

class SetupLog : public TnSetup {
  protected:
    void SetUp() override {
        TnSetup::SetUp();
        CreateDirectoryA("C:\\TARNO", nullptr);
    }
    std::string log() { return machine_file("C/TARNO/TNSETUP.LOG"); }
    std::vector<std::string> lines() {
        std::vector<std::string> all;
        std::string text = log();
        for (std::size_t at = 0, end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2)
            all.push_back(text.substr(at, end - at));
        return all;
    }
};

TEST_F(SetupLog, CreatingEmptiesAnOldLogAndWritesTheFirstLine) {
    put("C:\\TARNO\\TNSETUP.LOG", "old installation\r\n");
    CreateSetupLog("C:\\TARNO");
    EXPECT_STREQ(szLogFile, "C:\\TARNO\\TNSETUP.LOG");
    EXPECT_EQ(log(), "Log file created.\r\n");
}

TEST_F(SetupLog, HeaderShowsTheVersionAndEveryFlagAsZeroOrOne) {
    CreateSetupLog("C:\\TARNO\\");
    CopyText(szCountryKey, "RUS");
    CopyText(szHotKey, "Left Ctrl");
    f9PinPrinters = 9; // any non-zero flag is logged as 1
    WriteLogHeader();
    std::vector<std::string> all = lines();
    ASSERT_EQ(all.size(), 23u);
    EXPECT_EQ(all[1], "Installing components and flags:");
    EXPECT_EQ(all[2], " Windows version=4.0");
    EXPECT_EQ(all[3], " Country key=RUS");
    EXPECT_EQ(all[4], " System Fonts Code Page=");
    EXPECT_EQ(all[6], " Hot Key=Left Ctrl");
    EXPECT_EQ(all[7], " Program Files=1");
    EXPECT_EQ(all[13], " Developers Kit Sample=0");
    EXPECT_EQ(all[15], "  9-pin Printers Present=1");
    EXPECT_EQ(all[16], " Printer Drivers to Update=0");
    EXPECT_EQ(all[19], "  9-pin Printer Fonts=0");
    EXPECT_EQ(all[22], " Replace Old Files=1");
}

TEST_F(SetupLog, ALineHoldsAt253CharactersAndALongerTextIsCut) {
    CreateSetupLog("C:\\TARNO");
    std::string fits(253, 'a'), longer(400, 'b');
    EXPECT_TRUE(WriteLogLine(szLogFile, fits.c_str()));
    EXPECT_TRUE(WriteLogLine(szLogFile, longer.c_str()));
    std::vector<std::string> all = lines();
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[1], fits);
    EXPECT_EQ(all[2], std::string(253, 'b'));
}

TEST_F(SetupLog, NothingIsWrittenWithoutAPathATextOrAFile) {
    EXPECT_FALSE(WriteLogLine(nullptr, "x"));
    EXPECT_FALSE(WriteLogLine("C:\\TARNO\\TNSETUP.LOG", ""));
    EXPECT_FALSE(WriteLogLine("", "x"));
    EXPECT_FALSE(WriteLogLine("C:\\TARNO\\TNSETUP.LOG", "x")); // never created
}

TEST_F(SetupLog, TheQuietSwitchKeepsEveryLineOut) {
    ASSERT_TRUE(ParseCommandLine("/q"));
    CreateSetupLog("C:\\TARNO");
    WriteLogHeader();
    LogLine("Setup failed.");
    EXPECT_EQ(log(), "");
}

TEST_F(SetupLog, ALogThatCannotBeCreatedIsReportedAndLoggingStops) {
    set("readonly C:\\TARNO");
    agent.push(sim::key_enter());
    CreateSetupLog("C:\\TARNO");
    EXPECT_EQ(seenDialogs(), "MESSAGE");
    EXPECT_FALSE(fWriteLog);
    EXPECT_STREQ(szLogFile, "");
}

} // namespace
