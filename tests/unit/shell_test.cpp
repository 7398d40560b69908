// Program starts, power requests, windows of running programs, the font table, and Program Manager
// through DDE as the product talks to it.
#include "platform/sim/shell/progman.h"
#include "platform/sim/shell/internal.h"
#include "platform/win32.h"
#include "tests/unit/sim_fixture.h"

#include <fstream>

namespace {

class Shell : public SimMachine {
  protected:
    void put_program(const std::string& relative, const std::string& host_program) {
        std::ofstream(host(relative), std::ios::binary) << sim::program_stub(host_program);
    }
};

TEST_F(Shell, WinExecStartsProgramFilesAndRecordsTheStart) {
    put_program("C/WINDOWS/UNINST.EXE", "none");
    EXPECT_GT(WinExec("C:\\WINDOWS\\uninst.exe /w", SW_SHOWNORMAL), 31u);
    EXPECT_GT(WinExec("uninst /r", SW_SHOWNORMAL), 31u); // found in the Windows directory, ".EXE" added
    EXPECT_EQ(machine_file("exec.log"), "C:\\WINDOWS\\uninst.exe /w\tC:\\\r\nuninst /r\tC:\\\r\n");
}

TEST_F(Shell, WinExecFailuresGiveTheWindowsResults) {
    std::ofstream(host("C/WINDOWS/README.TXT")) << "not a program";
    put_program("C/WINDOWS/GHOST.EXE", "no-such-host-program");
    EXPECT_EQ(WinExec("C:\\NOWHERE\\X.EXE", SW_SHOWNORMAL), static_cast<UINT>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(WinExec("C:\\WINDOWS\\README.TXT", SW_SHOWNORMAL), static_cast<UINT>(ERROR_BAD_FORMAT));
    EXPECT_EQ(WinExec("C:\\WINDOWS\\GHOST.EXE", SW_SHOWNORMAL), static_cast<UINT>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(WinExec("", SW_SHOWNORMAL), static_cast<UINT>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(machine_file("exec.log"), "");
}

TEST_F(Shell, PowerRequestsAndKeyboardNoticesAreRecorded) {
    EXPECT_TRUE(ExitWindowsEx(EWX_REBOOT, 0));
    EXPECT_TRUE(ExitWindowsEx(EWX_SHUTDOWN, 0));
    BYTE keys[256] = {};
    WORD ch = 7;
    EXPECT_EQ(ToAscii(0x8B, 3 * 256 + 2, keys, &ch, 0), 0);
    EXPECT_EQ(machine_file("power.log"), "reboot\r\nshutdown\r\n");
    EXPECT_EQ(machine_file("keyboard.log"), "ToAscii\t139\t770\t0\r\n");
}

TEST_F(Shell, RunningProgramsAreFoundByClassOrTitleAndReceivePosts) {
    set("running \"TARNO\" \"TARNO\"");
    set("running \"\" \"TNKeybClass\"");
    HWND main = FindWindowA(nullptr, "tarno");
    HWND keyb = FindWindowA("TNKeybClass", nullptr);
    ASSERT_NE(main, nullptr);
    ASSERT_NE(keyb, nullptr);
    EXPECT_NE(main, keyb);
    EXPECT_EQ(FindWindowA("TARNOIndicatorClass", nullptr), nullptr);
    EXPECT_TRUE(PostMessageA(keyb, WM_CLOSE, 0, 0));
    EXPECT_EQ(machine_file("posts.log"), "\tTNKeybClass\t16\t0\t0\r\n");
}

TEST_F(Shell, ThisProgramsOwnWindowsAreFoundAfterTheRunningPrograms) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "SetupClass";
    ASSERT_TRUE(RegisterClassA(&wc));
    HWND mine = CreateWindowA("SetupClass", "TARNO Setup", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                              nullptr);
    ASSERT_NE(mine, nullptr);
    EXPECT_EQ(FindWindowA("setupclass", nullptr), mine);
    EXPECT_EQ(FindWindowA(nullptr, "TARNO Setup"), mine);
    EXPECT_EQ(FindWindowA("SetupClass", "Other"), nullptr);
    DestroyWindow(mine);
    EXPECT_EQ(FindWindowA("SetupClass", nullptr), nullptr);
}

TEST_F(Shell, FontResourcesAreAddedOnlyForExistingFontFiles) {
    EXPECT_EQ(AddFontResourceA("VGASYS.FON"), 1);
    EXPECT_EQ(AddFontResourceA("C:\\WINDOWS\\WIN.INI"), 0);
    EXPECT_EQ(AddFontResourceA("MISSING.TTF"), 0);
    EXPECT_TRUE(
        CreateScalableFontResourceA(0, "C:\\WINDOWS\\FONTS\\ARIAL.FOT", "ARIAL.TTF", "C:\\WINDOWS\\FONTS"));
    EXPECT_FALSE(
        CreateScalableFontResourceA(0, "C:\\WINDOWS\\FONTS\\ARIAL.FOT", "ARIAL.TTF", "C:\\WINDOWS\\FONTS"));
    EXPECT_FALSE(
        CreateScalableFontResourceA(0, "C:\\WINDOWS\\FONTS\\NONE.FOT", "NONE.TTF", "C:\\WINDOWS\\FONTS"));
    EXPECT_EQ(AddFontResourceA("C:\\WINDOWS\\FONTS\\ARIAL.FOT"), 1);
    EXPECT_EQ(machine_file("fonts.txt"),
              "C:\\WINDOWS\\FONTS\\VGASYS.FON\r\nC:\\WINDOWS\\FONTS\\ARIAL.FOT\r\n");
    EXPECT_TRUE(RemoveFontResourceA("vgasys.fon"));
    EXPECT_FALSE(RemoveFontResourceA("vgasys.fon"));
}

TEST(ProgmanCommands, GroupsAndItemsFollowTheShellRules) {
    sim::Progman pm = sim::default_progman();
    std::string e;
    ASSERT_TRUE(sim::progman_execute(pm, "[CreateGroup(TARNO)][AddItem(C:\\TARNO\\TNKEYB.EXE,Keyboard)]", &e))
        << e;
    ASSERT_TRUE(sim::progman_execute(pm, "[AddItem(C:\\TARNO\\UNINST.EXE)]", &e)) << e;
    ASSERT_TRUE(sim::progman_execute(pm, "[AddItem(\"C:\\TARNO\\A B.EXE\",\"Name, with comma\",,0)]", &e))
        << e;
    const sim::ProgmanGroup* g = sim::progman_group(pm, "tarno");
    ASSERT_NE(g, nullptr);
    ASSERT_EQ(g->items.size(), 3u);
    EXPECT_EQ(g->items[1].name, "UNINST"); // derived from the command when no name is given
    EXPECT_EQ(g->items[2].name, "Name, with comma");

    // A repeated installation replaces items in place instead of doubling them.
    ASSERT_TRUE(
        sim::progman_execute(pm, "[ReplaceItem(Keyboard)][AddItem(C:\\NEW\\TNKEYB.EXE,Keyboard)]", &e))
        << e;
    ASSERT_EQ(g->items.size(), 3u);
    EXPECT_EQ(g->items[0].command, "C:\\NEW\\TNKEYB.EXE");

    // CreateGroup of an existing group activates it.
    ASSERT_TRUE(
        sim::progman_execute(pm, "[CreateGroup(StartUp)][AddItem(C:\\TARNO\\TNKEYB.EXE,Keyboard)]", &e));
    EXPECT_EQ(sim::progman_group(pm, "StartUp")->items.size(), 1u);
    EXPECT_EQ(sim::progman_group(pm, "TARNO")->items.size(), 3u);
}

TEST(ProgmanCommands, MalformedOrFailingCommandsAreRefusedWithAReason) {
    sim::Progman pm = sim::default_progman();
    for (const char* bad : {"", "CreateGroup(X)", "[CreateGroup(X)", "[Frobnicate(X)]", "[AddItem(\"x)]",
                            "[ReplaceItem(Nothing)]", "[ShowGroup(Nowhere,1)]", "[CreateGroup()]"}) {
        std::string e;
        EXPECT_FALSE(sim::progman_execute(pm, bad, &e)) << bad;
        EXPECT_FALSE(e.empty()) << bad;
    }
}

// The conversation exactly as the installer holds it: asynchronous executes, never waited for.
class ProgmanDde : public SimMachine {
  protected:
    static HDDEDATA CALLBACK callback(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) {
        return nullptr;
    }
    bool connect() {
        if (DdeInitializeA(&inst, callback, APPCMD_CLIENTONLY | CBF_SKIP_ALLNOTIFICATIONS, 0) !=
            DMLERR_NO_ERROR)
            return false;
        HSZ progman = DdeCreateStringHandleA(inst, "Progman", 0);
        conv = DdeConnect(inst, progman, progman, nullptr);
        return conv != nullptr;
    }
    bool send(const char* command) {
        DWORD result = 0;
        return DdeClientTransaction(reinterpret_cast<LPBYTE>(const_cast<char*>(command)),
                                    static_cast<DWORD>(strlen(command) + 1), conv, nullptr, 0, XTYP_EXECUTE,
                                    TIMEOUT_ASYNC, &result) != nullptr;
    }
    void disconnect() {
        EXPECT_TRUE(DdeDisconnect(conv));
        EXPECT_TRUE(DdeUninitialize(inst));
    }
    sim::Progman groups() {
        sim::Progman pm;
        std::string e;
        EXPECT_TRUE(sim::load_progman(root, pm, &e)) << e;
        return pm;
    }
    DWORD inst = 0;
    HCONV conv = nullptr;
};

TEST_F(ProgmanDde, CommandsChangeTheMachinesGroups) {
    ASSERT_TRUE(connect());
    EXPECT_TRUE(send("[CreateGroup(TARNO)]"));
    EXPECT_TRUE(send("[ReplaceItem(Keyboard)]")); // accepted although the shell finds no such item
    EXPECT_TRUE(send("[AddItem(C:\\TARNO\\tnkeyb.exe,Keyboard)]"));
    disconnect();
    sim::Progman pm = groups();
    const sim::ProgmanGroup* g = sim::progman_group(pm, "TARNO");
    ASSERT_NE(g, nullptr);
    ASSERT_EQ(g->items.size(), 1u);
    EXPECT_EQ(g->items[0].command, "C:\\TARNO\\tnkeyb.exe");
    EXPECT_NE(machine_file("progman.log").find("failed\t[ReplaceItem(Keyboard)]"), std::string::npos);
}

TEST_F(ProgmanDde, WithoutProgramManagerTheConnectionFails) {
    set("progman off");
    EXPECT_FALSE(connect());
    EXPECT_EQ(DdeGetLastError(inst), static_cast<UINT>(DMLERR_NO_CONV_ESTABLISHED));
    EXPECT_TRUE(DdeUninitialize(inst));
}

TEST_F(ProgmanDde, ARefusedTransactionIsNotAccepted) {
    set("progman-refuse CreateGroup");
    ASSERT_TRUE(connect());
    EXPECT_FALSE(send("[CreateGroup(TARNO)]"));
    EXPECT_EQ(DdeGetLastError(inst), static_cast<UINT>(DMLERR_NOTPROCESSED));
    disconnect();
    EXPECT_EQ(sim::progman_group(groups(), "TARNO"), nullptr);
}

TEST_F(ProgmanDde, HandlesOfAnotherKindOrAfterTheEndAreRejected) {
    ASSERT_TRUE(connect());
    disconnect();
    EXPECT_FALSE(send("[CreateGroup(X)]"));
    EXPECT_FALSE(DdeDisconnect(conv));
    EXPECT_EQ(DdeCreateStringHandleA(inst, "x", 0), nullptr);
    EXPECT_EQ(DdeGetLastError(inst), static_cast<UINT>(DMLERR_DLL_NOT_INITIALIZED));
}

} // namespace
