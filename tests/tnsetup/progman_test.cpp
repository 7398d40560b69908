// The product's Program Manager group, its items and the start-up item, made through DDE.
#include "platform/sim/shell/progman.h"
#include "setup/progman/progman.h"
#include "tests/tnsetup/tnsetup_fixture.h"

namespace {

class ProgmanGroup : public TnSetup {
  protected:
    void SetUp() override {
        TnSetup::SetUp();
        CopyText(szInfFile, "C:\\SETUP1.INF");
        CopyText(szDestDir, "C:\\TARNO\\");
        CopyText(szStartupGroup, "StartUp");
        put("C:\\SETUP1.INF",
            "[TARNO.programfiles]\r\ntarno.exe,TARNO=\r\nnocomma.exe=\r\ntnkeyb.exe,Keyboard=\r\n"
            "[TARNO]\r\nuninst.exe,Uninstall TARNO=\r\n[TARNO.apl]\r\n,Editor=\r\n");
        put("C:\\TARNO\\TNSETUP.LOG", "");
        CopyText(szLogFile, "C:\\TARNO\\TNSETUP.LOG");
    }
    std::string items(const char* group) {
        sim::Progman pm;
        std::string error, names;
        EXPECT_TRUE(sim::load_progman(root, pm, &error)) << error;
        const sim::ProgmanGroup* g = sim::progman_group(pm, group);
        if (!g) return "<no group>";
        for (const auto& item : g->items)
            names += (names.empty() ? "" : "|") + item.name + "=" + item.command;
        return names;
    }
    std::string log() const { return machine_file("C/TARNO/TNSETUP.LOG"); }
};

TEST_F(ProgmanGroup, TheGroupHoldsEveryChosenItemOnceAndStartUpTheFirstProgram) {
    EXPECT_TRUE(CreateProgmanGroup());
    EXPECT_TRUE(CreateProgmanGroup()) << "a second installation replaces the items";
    EXPECT_EQ(items("TARNO"), "TARNO=C:\\TARNO\\tarno.exe|Keyboard=C:\\TARNO\\tnkeyb.exe|"
                              "Uninstall TARNO=C:\\TARNO\\uninst.exe|Editor=C:\\TARNO\\");
    EXPECT_EQ(items("StartUp"), "TARNO=C:\\TARNO\\tarno.exe");
    EXPECT_EQ(log().substr(0, log().size() / 2),
              "Initiating Progman...\r\nCreating Progman group...\r\nAdding icons in TARNO group...\r\n"
              "Creating icons: Program Files...\r\nCreating icons: Uninstall...\r\nCreating icons: "
              "Applications...\r\n"
              "Adding icon in start-up group...\r\nCreating or activating StartUp group...\r\n"
              "Creating Progman group and icons complete.\r\n");
    EXPECT_EQ(machine_file("progman.log").find("nocomma"), std::string::npos);
}

TEST_F(ProgmanGroup, ARefusedGroupStillGetsItsItemsButCountsAsAnError) {
    set("progman-refuse CreateGroup");
    fUninstallEnabled = fApplications = FALSE;
    EXPECT_FALSE(CreateProgmanGroup());
    EXPECT_EQ(log(), "Initiating Progman...\r\nCreating Progman group...\r\nCreating TARNO group failed.\r\n"
                     "Adding icons in TARNO group...\r\nCreating icons: Program Files...\r\n"
                     "Adding icon in start-up group...\r\nCreating or activating StartUp group...\r\n"
                     "Errors occured.\r\nCreating Progman group and icons complete.\r\n");
    EXPECT_NE(machine_file("progman.log").find("[AddItem(C:\\TARNO\\tnkeyb.exe,Keyboard)]"),
              std::string::npos);
}

TEST_F(ProgmanGroup, AMissingSectionIsReportedAndNothingChosenSendsNothing) {
    fProgramFiles = fUninstallEnabled = FALSE;
    fDevelopersKitSample = TRUE; // its section is missing
    agent.push(sim::key_enter());
    EXPECT_FALSE(CreateProgmanGroup());
    EXPECT_EQ(seenDialogs(), "MESSAGE");
    std::filesystem::remove(host("progman.log"));
    fApplications = fDevelopersKitSample = FALSE;
    EXPECT_TRUE(CreateProgmanGroup());
    EXPECT_EQ(machine_file("progman.log"), "");
}

TEST_F(ProgmanGroup, WithoutProgramManagerOnlyTheLogSaysSo) {
    set("progman off");
    EXPECT_FALSE(CreateProgmanGroup());
    EXPECT_EQ(log(), "Initiating Progman...\r\nConnection to Progman failed.\r\n");
    EXPECT_TRUE(agent.seen().empty());
}

} // namespace
