// The machine: settings round-trip, `set` lines, path resolution and fault matching.
#include "platform/sim/machine/machine.h"
#include "platform/sim/sim.h"
#include "platform/win32.h"
#include "tests/unit/sim_fixture.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Started in C:\WINDOWS, as the main setup program is.
class MachineTest : public SimMachine {
  protected:
    void SetUp() override {
        SimMachine::SetUp();
        std::string error;
        sim::detach();
        ASSERT_TRUE(sim::attach(root, "C:\\WINDOWS\\TNSETUP.TMP\\tnsetup.exe", "C:\\WINDOWS", &error))
            << error;
    }
};

TEST_F(MachineTest, FullPathsResolveAgainstTheCurrentDirectory) {
    EXPECT_EQ(sim::full_path("win.ini"), "C:\\WINDOWS\\win.ini");
    EXPECT_EQ(sim::full_path("..\\AUTOEXEC.BAT"), "C:\\AUTOEXEC.BAT");
    EXPECT_EQ(sim::full_path("\\x\\.\\y\\..\\z"), "C:\\x\\z");
    EXPECT_EQ(sim::full_path("a:/setup.exe"), "A:\\setup.exe");
    EXPECT_EQ(sim::full_path("A:setup.exe"), "A:\\setup.exe");
    EXPECT_EQ(sim::full_path("C:system"), "C:\\WINDOWS\\system");
    EXPECT_EQ(sim::full_path("C:\\..\\.."), "C:\\");
    EXPECT_EQ(sim::full_path("Q:\\x"), "");
    EXPECT_EQ(sim::full_path("\\\\server\\share"), "");
    EXPECT_EQ(sim::full_path(""), "");
}

TEST_F(MachineTest, HostPathsMatchExistingNamesWithoutRegardToCase) {
    EXPECT_EQ(sim::host_path("C:\\windows\\win.ini"), (fs::path(root) / "C/WINDOWS/WIN.INI").string());
    EXPECT_EQ(sim::host_path("C:\\Windows\\New\\File.Txt"),
              (fs::path(root) / "C/WINDOWS/New/File.Txt").string());
    EXPECT_EQ(sim::windows_path_of((fs::path(root) / "C/WINDOWS/SYSTEM").string()), "C:\\WINDOWS\\SYSTEM");
    EXPECT_EQ(sim::machine().module_path, "C:\\WINDOWS\\TNSETUP.TMP\\tnsetup.exe");
}

TEST_F(MachineTest, SettingsRoundTripThroughMachineIni) {
    sim::Settings s = sim::machine().settings;
    std::string e;
    for (const char* line : {"windows nt4", "screen 800x600", "codepage 1251", "progman off", "fail-alloc 7",
                             "drive D: cdrom cd", "free C: 1000000", "cluster C: 2048", "disk-full C: 5000",
                             "readonly a:", "fail-write c:/windows/win.ini", "fail-read C:\\X",
                             "deny-registry HKEY_LOCAL_MACHINE\\SOFTWARE", "running \"TARNO\" 'TNKeybClass'"})
        ASSERT_TRUE(sim::apply_setting(s, line, root, &e)) << line << ": " << e;
    ASSERT_TRUE(sim::save_settings(root, s, &e)) << e;
    sim::Settings back;
    ASSERT_TRUE(sim::load_settings(root, back, &e)) << e;
    EXPECT_EQ(sim::describe_settings(back), sim::describe_settings(s));
    EXPECT_EQ(back.version, sim::WinVersion::NT4);
    EXPECT_EQ(back.screen_width, 800);
    EXPECT_EQ(back.drives.at('D').kind, sim::DriveKind::CdRom);
    EXPECT_TRUE(back.drives.at('A').readonly);
    EXPECT_EQ(back.fail_write.at(0), "C:\\WINDOWS\\WIN.INI");
    EXPECT_EQ(back.running.at(0).window_class, "TNKeybClass");
}

TEST_F(MachineTest, BadSettingsAreRefusedWithAReason) {
    sim::Settings s = sim::machine().settings;
    std::string e;
    for (const char* line :
         {"windows 98", "screen 10x10", "screen wide", "codepage 866", "free Q: 10", "free C: lots",
          "cluster C: 1000", "cluster C: 256", "drive D: floppy", "fail-write WIN.INI", "running \"x\"",
          "unknown thing", "running \"unterminated"}) {
        e.clear();
        EXPECT_FALSE(sim::apply_setting(s, line, root, &e)) << line;
        EXPECT_FALSE(e.empty()) << line;
    }
}

TEST_F(MachineTest, FaultsMatchAFileOrEverythingBelowAFolder) {
    std::string e;
    auto& s = sim::machine().settings;
    ASSERT_TRUE(sim::apply_setting(s, "fail-write C:\\WINDOWS\\TNSETUP.TMP", root, &e));
    ASSERT_TRUE(sim::apply_setting(s, "disk-full C: 100", root, &e));
    EXPECT_TRUE(sim::fails_write("c:\\windows\\tnsetup.tmp\\x.exe"));
    EXPECT_TRUE(sim::fails_write("C:\\WINDOWS\\TNSETUP.TMP"));
    EXPECT_FALSE(sim::fails_write("C:\\WINDOWS\\TNSETUP.TMPX"));
    EXPECT_TRUE(sim::account_write("C:\\a", 60));
    EXPECT_FALSE(sim::account_write("C:\\a", 60));
    EXPECT_FALSE(sim::is_readonly("C:\\a"));
}

// A setting changed in machine.ini while the program runs (a scenario's `set` while a dialog waits) is seen
// by the next call; what the process wrote to the drive still counts, and a damaged file changes nothing.
TEST_F(MachineTest, ARunningProgramSeesMachineIniAsItIsNow) {
    auto change = [&](const std::string& line) {
        sim::Settings s;
        std::string e;
        ASSERT_TRUE(sim::load_settings(root, s, &e) && sim::apply_setting(s, line, root, &e) &&
                    sim::save_settings(root, s, &e))
            << e;
        sim::recheck_settings();
    };
    auto free_bytes = [] {
        DWORD spc = 0, bps = 0, free = 0, total = 0;
        EXPECT_TRUE(GetDiskFreeSpaceA("C:\\", &spc, &bps, &free, &total));
        return static_cast<unsigned long long>(spc) * bps * free;
    };
    change("free C: 10000000");
    EXPECT_EQ(free_bytes(), 9994240u); // whole 32 KB clusters
    ASSERT_TRUE(sim::account_write("C:\\a", 1000000));
    change("free C: 20000000");
    EXPECT_EQ(free_bytes(), 18972672u);
    sim::write_host_file(host("machine.ini"), "[machine]\nnonsense=1\n");
    sim::recheck_settings();
    EXPECT_EQ(free_bytes(), 18972672u);
}

TEST(MachineFile, MalformedMachineIniNamesTheLine) {
    char tmpl[] = "/tmp/machine-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    std::string e;
    ASSERT_TRUE(sim::create_default_machine(tmpl, &e)) << e;
    std::FILE* f = std::fopen((std::string(tmpl) + "/machine.ini").c_str(), "a");
    std::fputs("[machine]\nscreen=big\n", f);
    std::fclose(f);
    sim::Settings s;
    EXPECT_FALSE(sim::load_settings(tmpl, s, &e));
    EXPECT_NE(e.find("line"), std::string::npos) << e;
    EXPECT_NE(e.find("big"), std::string::npos) << e;
    fs::remove_all(tmpl);
}

} // namespace
