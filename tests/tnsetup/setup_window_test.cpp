// The setup window: what it makes when it is created, the backdrop it paints, and the end of a run.
#include "setup/messages/messages.h"
#include "tests/unit/fnt_builder.h"
#include "tests/tnsetup/setup_screen.h"

#include <set>
#include <sstream>

namespace {

class SetupWindow : public SetupScreen {
  protected:
    void SetUp() override {
        SetupScreen::SetUp();
        sim::set_agent(&agent);
    }
    void TearDown() override {
        EXPECT_TRUE(agent.errors().empty()) << agent.errors().front();
        SetupScreen::TearDown();
    }

    // A new setup window on a screen of SIZE ("800x600"), as a new run of the program would make it.
    void Recreate(const char* size = nullptr) {
        if (size) set(std::string("screen ") + size);
        SetWindowLongPtrA(hwndSetup, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DefWindowProcA));
        DestroyWindow(hwndSetup);
        DeleteSharedObjects();
        ASSERT_TRUE(CreateSetupWindow(hInst));
        ASSERT_TRUE(HoldBackInstallation());
    }

    // Hands the window the end of the run as the installation driver does, answering the dialogs with
    // INPUTS; true when the program was told to quit.
    bool EndRun(BOOL completed, std::initializer_list<sim::Input> inputs = {}) {
        for (const sim::Input& input : inputs)
            agent.push(input);
        PostMessageA(hwndSetup, WM_DESTROY, completed, 0);
        return RunUntilQuit();
    }
    static bool RunUntilQuit() {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) return msg.wParam == 0;
            DispatchMessageA(&msg);
        }
        return false;
    }
    void PutMachineFile(const std::string& relative, const std::string& text) {
        std::filesystem::create_directories(std::filesystem::path(host(relative)).parent_path());
        ASSERT_TRUE(sim::write_host_file(host(relative), text));
    }
    std::string Messages() const {
        std::string texts;
        for (const auto& seen : agent.seen())
            texts += (texts.empty() ? "" : "|") + (seen.painted.empty() ? "" : seen.painted.front());
        return texts;
    }
    static COLORREF BrushColour(HBRUSH brush) {
        LOGBRUSH info{};
        GetObjectA(brush, sizeof info, &info);
        return info.lbColor;
    }
    static std::string ClassOf(HWND hwnd) {
        char name[64] = "";
        GetClassNameA(hwnd, name, sizeof name);
        return name;
    }
    static std::string TextOf(HWND hwnd) {
        char text[128] = "";
        GetWindowTextA(hwnd, text, sizeof text);
        return text;
    }

    sim::QueueAgent agent;
};

std::uint32_t Blue(int level) {
    return static_cast<std::uint32_t>(level);
}

TEST_F(SetupWindow, TheBackdropHas48BandsFromBlue255To20WhateverTheScreenHeight) {
    for (const char* size : {"640x480", "800x600", "640x350", "1024x768", "320x200"}) {
        Recreate(size);
        int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
        int band = height / 48 + 1;
        sim::Surface screen = Screen();
        std::set<std::uint32_t> colours;
        for (int y = 0; y < height; ++y) {
            std::uint32_t expected = Blue(255 - 5 * (y / band));
            ASSERT_EQ(screen.at(0, y), expected) << size << " row " << y;
            ASSERT_EQ(screen.at(width / 8, y), expected) << size << " row " << y; // left of the pictures
            colours.insert(expected);
        }
        // Bands that would start below the screen are not seen; the last one seen may be cut.
        EXPECT_EQ(colours.size(), static_cast<std::size_t>((height + band - 1) / band)) << size;
        EXPECT_LE((height + band - 1) / band, 48);
    }
}

TEST_F(SetupWindow, TheLogoAndTheCopyrightStandInTheRightCorners) {
    Recreate("800x600");
    sim::Surface screen = Screen();
    struct Corner {
        LPCSTR name;
        bool top;
    };
    for (Corner corner : {Corner{BMP_LOGO, true}, Corner{BMP_COPYRIGHT, false}}) {
        HBITMAP picture = LoadBitmapA(hInst, corner.name);
        ASSERT_NE(picture, nullptr);
        BITMAP info{};
        GetObjectA(picture, sizeof info, &info);
        int left = 800 - info.bmWidth - 4;
        int top = corner.top ? 20 : 600 - info.bmHeight - 10;
        HDC memory = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(memory, picture);
        for (int y = 0; y < info.bmHeight; ++y)
            for (int x = 0; x < info.bmWidth; ++x)
                ASSERT_EQ(screen.at(left + x, top + y), sim::pixel_of(GetPixel(memory, x, y)))
                    << (corner.top ? "logo" : "copyright") << " at " << x << "," << y;
        SelectObject(memory, old);
        DeleteDC(memory);
        DeleteObject(picture);
    }
}

TEST_F(SetupWindow, CreationMakesTheSharedObjectsAndTwoHiddenChildren) {
    EXPECT_EQ(BrushColour(hbrDialogBack), RGB(192, 192, 192));
    EXPECT_EQ(BrushColour(hbrBlue), PALETTERGB(0, 0, 255));
    LOGPEN pen{};
    ASSERT_TRUE(GetObjectA(hpenBlue, sizeof pen, &pen));
    EXPECT_EQ(pen.lopnStyle, static_cast<UINT>(PS_SOLID));
    EXPECT_EQ(pen.lopnWidth.x, 1);
    EXPECT_EQ(pen.lopnColor, PALETTERGB(0, 0, 255));
    EXPECT_NE(hbmNation, nullptr);
    EXPECT_NE(hbmDirect, nullptr);
    for (HBITMAP advert : hbmAdvert)
        EXPECT_NE(advert, nullptr);
    EXPECT_EQ(nCurrentDosCodePage, GetCurrentDosCodePage());

    struct Child {
        HWND hwnd;
        const char* className;
        int id, x, y;
    };
    for (Child child :
         {Child{hwndAdvert, "SetupAdvert", 1, 20, 20}, Child{hwndInfor, "SetupInfor", 2, 120, 165}}) {
        EXPECT_EQ(ClassOf(child.hwnd), child.className);
        EXPECT_EQ(GetParent(child.hwnd), hwndSetup);
        EXPECT_EQ(GetDlgCtrlID(child.hwnd), child.id);
        EXPECT_FALSE(IsWindowVisible(child.hwnd));
        EXPECT_EQ(TextOf(child.hwnd), "TARNO Setup");
        RECT rect;
        GetWindowRect(child.hwnd, &rect);
        MapWindowPoints(nullptr, hwndSetup, reinterpret_cast<POINT*>(&rect), 2);
        EXPECT_EQ(rect.left, child.x);
        EXPECT_EQ(rect.top, child.y);
        EXPECT_EQ(rect.right - rect.left, 400);
        EXPECT_EQ(rect.bottom - rect.top, 150);
    }
    // Without the program's own font file the usual face serves.
    EXPECT_STREQ(szDialogFont, "MS Sans Serif");
    EXPECT_STREQ(szFontResource, "");
}

TEST_F(SetupWindow, TheProgramsFontIsLoadedFromTheSystemDirectoryAndRemovedAtTheEnd) {
    fnt::FontDef own;
    own.face = "Solvane Sans Serif";
    PutMachineFile("C/WINDOWS/SYSTEM/SVSERIFE.FNT", fnt::build_fnt(own));
    Recreate();
    EXPECT_STREQ(szDialogFont, "Solvane Sans Serif");
    EXPECT_STRCASEEQ(szFontResource, "C:\\WINDOWS\\SYSTEM\\svserife.fnt");
    EXPECT_NE(machine_file("fonts.txt").find("svserife.fnt"), std::string::npos) << machine_file("fonts.txt");
    EXPECT_TRUE(EndRun(FALSE, {sim::click(IDOK)}));
    EXPECT_EQ(machine_file("fonts.txt").find("svserife.fnt"), std::string::npos);
}

TEST_F(SetupWindow, ACancelledRunSaysSoFreesTheMemoryLogsAndQuits) {
    PutMachineFile("C/TARNO/README", "");
    CreateSetupLog("C:\\TARNO\\");
    hLang = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 68);
    hMem = GlobalAlloc(GMEM_FIXED, 100); // a fixed block never reports itself unlocked
    HGLOBAL lang = hLang, mem = hMem;
    GlobalLock(hLang);
    GlobalLock(hLang); // a reader that forgot to unlock
    GlobalLock(hMem);

    EXPECT_TRUE(EndRun(FALSE, {sim::click(IDOK)}));
    EXPECT_EQ(Messages(),
              "Setup cancelled. TARNO may not properly installed now. You may run setup program again "
              "at later time to complete the installation of TARNO.");
    EXPECT_EQ(hLang, nullptr);
    EXPECT_EQ(hMem, nullptr);
    EXPECT_EQ(GlobalFlags(lang), static_cast<UINT>(GMEM_INVALID_HANDLE));
    EXPECT_EQ(GlobalFlags(mem), static_cast<UINT>(GMEM_INVALID_HANDLE));
    EXPECT_EQ(hbrDialogBack, nullptr);
    EXPECT_EQ(hbrBlue, nullptr);
    EXPECT_EQ(hpenBlue, nullptr);
    std::string log = machine_file("C/TARNO/TNSETUP.LOG");
    EXPECT_NE(log.find("Setup failed.\r\nReleasing allocated memory...\r\nExiting Setup...\r\n"),
              std::string::npos)
        << log;
    EXPECT_EQ(machine_file("power.log"), "");
    EXPECT_EQ(machine_file("exec.log"), "");
}

TEST_F(SetupWindow, TheRealDestructionAfterThePostedOneDoesNotEndTheRunTwice) {
    EXPECT_TRUE(EndRun(FALSE, {sim::click(IDOK)}));
    SetupScreen::DeliverPendingPaints();
    HWND window = hwndSetup;
    hwndSetup = nullptr; // as the fixture would, but through the window's own procedure
    DestroyWindow(window);
    EXPECT_EQ(agent.seen().size(), 1u);
}

TEST_F(SetupWindow, ACloseRequestEndsTheRunAsCancelled) {
    agent.push(sim::click(IDOK));
    PostMessageA(hwndSetup, WM_CLOSE, 0, 0);
    EXPECT_TRUE(RunUntilQuit());
    EXPECT_EQ(agent.seen().size(), 1u);
    EXPECT_FALSE(IsWindow(hwndSetup));
    hwndSetup = nullptr;
}

TEST_F(SetupWindow, TheUninstallerGetsTheExitChoiceWhenTheRunEndsInTheTemporaryDirectory) {
    PutMachineFile("C/TARNO/UNINST.EXE", "WIN95SIM PROGRAM none\n");
    CopyText(szDestDir, "C:\\TARNO\\");
    fDeleteSetupDir = TRUE;
    EXPECT_TRUE(EndRun(FALSE, {sim::click(IDOK)}));
    Recreate();
    fAskRestartOrReturn = FALSE; // restart without asking
    EXPECT_TRUE(EndRun(TRUE));
    std::istringstream exec(machine_file("exec.log"));
    std::string first, second;
    std::getline(exec, first);
    std::getline(exec, second);
    EXPECT_EQ(first.substr(0, first.find('\t')), "C:\\TARNO\\uninst.exe /w");
    EXPECT_EQ(second.substr(0, second.find('\t')), "C:\\TARNO\\uninst.exe /r");
    EXPECT_EQ(machine_file("power.log"), ""); // the uninstaller restarts, not this program
}

// Before a destination is known there is no uninstaller of this product to start; a bare name would
// start whatever uninst.exe Windows finds along its path.
TEST_F(SetupWindow, ARunCancelledBeforeADestinationStartsNoUninstaller) {
    PutMachineFile("C/WINDOWS/UNINST.EXE", "WIN95SIM PROGRAM none\n");
    fDeleteSetupDir = TRUE;
    EXPECT_TRUE(EndRun(FALSE, {sim::click(IDOK)}));
    EXPECT_EQ(machine_file("exec.log"), "");
    EXPECT_EQ(machine_file("power.log"), "");
}

TEST_F(SetupWindow, WithoutTheUninstallerACompletedRunRestartsWindowsItself) {
    fAskRestartOrReturn = FALSE;
    EXPECT_TRUE(EndRun(TRUE));
    EXPECT_NE(machine_file("power.log").find("reboot"), std::string::npos) << machine_file("power.log");
    EXPECT_TRUE(agent.seen().empty());
    EXPECT_EQ(machine_file("exec.log"), "");
}

TEST_F(SetupWindow, TheExitChoiceIsCarriedOutAndClosingTheDialogReturnsToWindows) {
    struct Case {
        BOOL server;
        int kind;
        sim::Input answer;
        const char* dialog;
        const char* power;
    };
    const Case cases[] = {
        {FALSE, 3, sim::click(IDC_EXIT_RETURN_WINDOWS), "EXITSETUP3", ""},
        {FALSE, 2, sim::key_alt_f4(), "EXITSETUP", ""},
        {FALSE, 2, sim::click(IDC_EXIT_SHUTDOWN), "EXITSETUP", "shutdown\r\n"},
        {FALSE, 3, sim::key_enter(), "EXITSETUP3", "reboot\r\n"},
        {TRUE, 2, sim::click(IDC_EXIT_RESTART_WINDOWS), "EXITSETUPSERVER", "reboot\r\n"},
        {TRUE, 2, sim::click(IDC_EXIT_RETURN_DOS), "EXITSETUPSERVER", "shutdown\r\n"},
    };
    for (const Case& c : cases) {
        Recreate();
        std::filesystem::remove(host("power.log"));
        fServerSetup = c.server;
        nExitDialog = c.kind;
        std::size_t seen = agent.seen().size();
        EXPECT_TRUE(EndRun(TRUE, {c.answer}));
        ASSERT_EQ(agent.seen().size(), seen + 1);
        EXPECT_EQ(agent.seen().back().template_name, c.dialog);
        EXPECT_EQ(machine_file("power.log"), c.power) << c.dialog << " " << sim::describe(c.answer);
    }
}

// ---- The installation the window runs ------------------------------------------------------------------

const char kSetupInf[] =
    "[CommonInstallFlags]\nShowWelcomeDialog=1\n"
    "[default.setup]\nRUS=1251,866,1,tnrus.dll,1,Russian,US\n"
    "[Keyboard Layouts]\nRussian=Russian,tnkbdru.dll,1,00000419,RU\nUS=US,,1,00000409,US\n";

class Installation : public SetupWindow {
  protected:
    void SetUp() override {
        SetupWindow::SetUp();
        PutMachineFile("C/SETUP1.INF", kSetupInf); // beside the program
        PutMachineFile("C/WINDOWS/TARNO.INI", "[Location]\r\nc:\\tarno\\=\r\n[country]\r\nRUS=\r\n");
        set("running \"TARNO\" \"TNKeybClass\"");
    }
    // Runs the installation as the window's command does, and then the end of the run, cancelled.
    void Install() {
        fExpressSetup = TRUE;
        RunInstallation(hwndSetup);
        agent.push(sim::click(IDOK));
        EXPECT_TRUE(RunUntilQuit());
    }
};

TEST_F(Installation, AWorkstationTakesItsLocationFromTheProductSettingsOfARemoteWindows) {
    set("drive C: remote C");
    fWorkstationSetup = TRUE;
    // The run goes on to the end: the defaults answer what the short setup1.inf makes the update report.
    sim::DefaultsAgent defaults;
    sim::set_agent(&defaults);
    fExpressSetup = TRUE;
    RunInstallation(hwndSetup);
    EXPECT_TRUE(RunUntilQuit());
    sim::set_agent(&agent);
    EXPECT_STREQ(szDestDir, "c:\\tarno\\");
    EXPECT_STREQ(szCountryKey, "RUS");
    EXPECT_EQ(nLang, 2);
    EXPECT_STREQ(szLayout2, "US");
    EXPECT_TRUE(fAlreadyInstalled); // the location is the destination
    EXPECT_FALSE(fShowWelcomeDialog) << "express setup overrides the install flags";
    EXPECT_NE(machine_file("posts.log").find("TNKeybClass\t16"), std::string::npos)
        << machine_file("posts.log");
}

TEST_F(Installation, AServerOrWorkstationInstallationNeedsWindowsOnANetworkDrive) {
    fServerSetup = TRUE;
    Install();
    EXPECT_STREQ(szDestDir, "");
    EXPECT_EQ(nLang, 0);
    EXPECT_NE(machine_file("posts.log").find("TNKeybClass"), std::string::npos) << "closed before the check";
    EXPECT_EQ(agent.seen().size(), 1u);
}

} // namespace
