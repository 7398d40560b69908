// Switches, install flags, the location of setup1.inf, the system probes and the uninstaller's command.
#include "setup/resources/ids.h"
#include "tests/tnsetup/tnsetup_fixture.h"

#include <cstring>

namespace {

using Startup = TnSetup;

TEST_F(Startup, SwitchesAreCaseInsensitiveTokensSplitAtBlanksAndSlashes) {
    EXPECT_TRUE(ParseCommandLine("/E/q  /o a /d /x"));
    EXPECT_TRUE(fExpressSetup && fOemSetup && fServerSetup && fDeleteSetupDir);
    EXPECT_FALSE(fWriteLog || fWorkstationSetup);
    EXPECT_STREQ(szStartPath, "");
    ResetSetupState();
    EXPECT_TRUE(ParseCommandLine("e q"));
    EXPECT_TRUE(fExpressSetup);
    EXPECT_FALSE(fWriteLog || fOemSetup);
}

// The loader refuses the pair; started directly with both, the run is a workstation's, which copies
// nothing, in every step.
TEST_F(Startup, TheWorkstationSwitchHoldsOverTheServerSwitch) {
    for (const char* line : {"/a /n", "/N/A"}) {
        ResetSetupState();
        EXPECT_TRUE(ParseCommandLine(line));
        EXPECT_TRUE(fWorkstationSetup) << line;
        EXPECT_FALSE(fServerSetup) << line;
    }
}

TEST_F(Startup, EveryTokenBeginningWithALowercaseSIsTheStartPath) {
    EXPECT_TRUE(ParseCommandLine("/sC:\\TMP"));
    EXPECT_STREQ(szStartPath, "C:\\TMP\\");
    EXPECT_TRUE(ParseCommandLine("/sA:\\ /e /sC:\\TMP\\"));
    EXPECT_STREQ(szStartPath, "C:\\TMP\\");
    EXPECT_TRUE(ParseCommandLine("setup"));
    EXPECT_STREQ(szStartPath, "etup\\");
    EXPECT_TRUE(ParseCommandLine("/SC:\\TMP /sC:\\MY DIR"));
    EXPECT_STREQ(szStartPath, "C:\\MY\\");
    EXPECT_TRUE(ParseCommandLine("/s"));
    EXPECT_STREQ(szStartPath, "");
    std::string tooLong = "/sC:\\" + std::string(kPathCap - 4, 'x'); // no room for the backslash
    EXPECT_TRUE(ParseCommandLine(tooLong.c_str()));
    EXPECT_STREQ(szStartPath, "");
}

TEST_F(Startup, HelpIsShownWhereItsTokenStandsAndEndsTheRun) {
    agent.push(sim::key_enter());
    EXPECT_FALSE(ParseCommandLine("/e /? /a"));
    EXPECT_TRUE(fExpressSetup);
    EXPECT_FALSE(fServerSetup);
    EXPECT_EQ(seenDialogs(), "MESSAGE");
    EXPECT_EQ(LastMessageLayout().iconSize, 32);
}

TEST_F(Startup, ACommandLineBeyond511CharactersIsCut) {
    std::string line(509, ' ');
    line += "/e /q";
    EXPECT_TRUE(ParseCommandLine(line.c_str()));
    EXPECT_TRUE(fExpressSetup); // characters 510 and 511 are "/e"
    EXPECT_TRUE(fWriteLog);
}

TEST_F(Startup, InstallFlagsComeFromTheCommonOrTheOemSection) {
    put("C:\\DIST\\SETUP1.INF", "[CommonInstallFlags]\nShowWelcomeDialog=0\nAskSetupOptions=7\n"
                                "DefaultHotKey=Alt+Shift\n"
                                "[OemInstallFlags]\nAskRestartOrReturn=0\nDefaultUserCountry=Ukraine\n");
    ReadInstallFlags("C:\\DIST\\SETUP1.INF");
    EXPECT_FALSE(fShowWelcomeDialog);
    EXPECT_TRUE(fAskCountryAndPath && fAskSetupOptions && fAskRestartOrReturn);
    EXPECT_STREQ(szHotKey, "Alt+Shift");
    EXPECT_STREQ(szDefaultUserCountry, "Russia");
    fOemSetup = TRUE;
    ReadInstallFlags("C:\\DIST\\SETUP1.INF");
    EXPECT_TRUE(fShowWelcomeDialog && fAskCountryAndPath && fAskSetupOptions);
    EXPECT_FALSE(fAskRestartOrReturn);
    EXPECT_STREQ(szHotKey, "Left Ctrl");
    EXPECT_STREQ(szDefaultUserCountry, "Ukraine");
}

TEST_F(Startup, WithoutTheFileEveryFlagTakesItsDefaultAndTheStartupGroupComesFromWindows) {
    put("C:\\WINDOWS\\SYSTEM\\SETUP.INF", "[progman.groups]\ngroup1=Autostart\n");
    fOemSetup = TRUE;
    ReadInstallFlags("C:\\NOWHERE\\SETUP1.INF");
    EXPECT_TRUE(fShowWelcomeDialog && fAskCountryAndPath && fAskSetupOptions && fAskRestartOrReturn);
    EXPECT_STREQ(szHotKey, "Left Ctrl");
    EXPECT_STREQ(szDefaultUserCountry, "Russia");
    EXPECT_STREQ(szStartupGroup, "Autostart");
    put("C:\\WINDOWS\\SYSTEM\\SETUP.INF", "[other]\n");
    ReadInstallFlags("C:\\NOWHERE\\SETUP1.INF");
    EXPECT_STREQ(szStartupGroup, "StartUp");
}

TEST_F(Startup, SetupInfBesideTheProgramIsTakenWithoutAsking) {
    put("C:\\SETUP1.INF", "[x]\n");
    EXPECT_TRUE(LocateSetupInf(nullptr));
    EXPECT_STRCASEEQ(szInfFile, "C:\\SETUP1.INF");
    EXPECT_TRUE(agent.seen().empty());
}

TEST_F(Startup, AMissingSetupInfIsAskedForUntilTheUserCancels) {
    put("C:\\DIST\\SETUP1.INF", "[x]\n");
    constexpr int kOpenFileName = 1152; // the Open dialog's file name field
    agent.push(sim::key_enter());
    agent.push(sim::type(kOpenFileName, "C:\\DIST\\SETUP1.INF"));
    agent.push(sim::key_enter());
    EXPECT_TRUE(LocateSetupInf(nullptr));
    EXPECT_STREQ(szInfFile, "C:\\DIST\\SETUP1.INF");
    agent.push(sim::key_enter());
    agent.push(sim::key_escape());
    EXPECT_FALSE(LocateSetupInf(nullptr));
}

TEST_F(Startup, TheDosCodePageIsTakenFromTheOemTableName) {
    EXPECT_EQ(GetCurrentDosCodePage(), 437);
    auto with = [&](const char* value) {
        WritePrivateProfileStringA("keyboard", "oemansi.bin", value, "C:\\WINDOWS\\SYSTEM.INI");
        return GetCurrentDosCodePage();
    };
    EXPECT_EQ(with("xlat866.bin"), 866);
    EXPECT_EQ(with("xlat86"), 86);
    EXPECT_EQ(with("xlat"), 0);
    EXPECT_EQ(with("xlatabc.bin"), 0);
}

TEST_F(Startup, TheSystemFontShowsCyrillicByItsSizeOrItsDirectory) {
    auto withFont = [&](const char* entry) {
        WritePrivateProfileStringA("boot", "fonts.fon", entry, "C:\\WINDOWS\\SYSTEM.INI");
        return SystemFontShowsCyrillic();
    };
    put("C:\\WINDOWS\\SYSTEM\\VGASYS.FON", std::string(7872, 'f'));
    put("C:\\WINDOWS\\SYSTEM\\EGASYS.FON", std::string(7872, 'f'));
    put("C:\\WINDOWS\\SYSTEM\\8514SYS.FON", std::string(10960, 'f'));
    EXPECT_TRUE(withFont("vgasys.fon"));
    EXPECT_FALSE(withFont("egasys.fon"));
    EXPECT_FALSE(withFont("VGASYS.FON")); // the first letter is compared as written
    EXPECT_TRUE(withFont("8514sys.fon"));
    EXPECT_FALSE(IsSmallSystemFont());
    EXPECT_TRUE(withFont("C:\\TARNO\\1251\\vgasys.fon"));
    EXPECT_FALSE(withFont("C:\\TARNO\\1252\\vgasys.fon"));
    EXPECT_TRUE(IsSmallSystemFont());
    EXPECT_FALSE(withFont("nosuch.fon"));
}

TEST_F(Startup, DotMatrixPrintersAreThoseSetupInfKnows) {
    CopyText(szInfFile, "C:\\SETUP1.INF");
    put("C:\\SETUP1.INF", "[printers]\nEpson FX=PR9, 9 pin\nEpson LQ=PR2\nLaser=PCL\n");
    auto withPrinters = [&](const char* devices) {
        put("C:\\WINDOWS\\WIN.INI", std::string("[devices]\n") + devices);
        return DetectDotMatrixPrinters();
    };
    EXPECT_EQ(withPrinters(""), 0);
    EXPECT_EQ(withPrinters("Laser=x\nUnknown=y\n"), 0);
    EXPECT_EQ(withPrinters("epson fx=x\n"), 9);
    EXPECT_EQ(withPrinters("Epson LQ=x\nLaser=y\n"), 24);
    EXPECT_EQ(withPrinters("Epson LQ=x\nEpson FX=y\n"), 33);
}

TEST_F(Startup, PathHelpers) {
    put("C:\\DATA.BIN", "12345");
    EXPECT_EQ(GetFileSizeByName("C:\\DATA.BIN"), 5u);
    EXPECT_EQ(GetFileSizeByName("C:\\NONE.BIN"), 0u);
    EXPECT_TRUE(FileExists("C:\\DATA.BIN"));
    EXPECT_FALSE(FileExists("C:\\NONE.BIN"));
    char dir[16] = "C:\\TARNO\\";
    StripBackslash(dir);
    EXPECT_STREQ(dir, "C:\\TARNO");
    char path[MAX_PATH];
    EXPECT_TRUE(GetProductIniPath(path, sizeof path));
    EXPECT_STREQ(path, "C:\\WINDOWS\\tarno.ini");
    std::string windows = "C:\\" + std::string(kPathCap - 8, 'W') + "\\"; // no room for "tarno.ini"
    CopyText(szWindowsDir, windows.c_str());
    EXPECT_FALSE(GetProductIniPath(path, sizeof path));
    EXPECT_STREQ(path, "");
    GetModuleDir(path, sizeof path);
    EXPECT_STREQ(path, "C:\\");
}

TEST_F(Startup, TheUninstallerGetsOneArgumentForTheExitChoice) {
    CopyText(szDestDir, "C:\\TARNO\\");
    char command[MAX_PATH];
    const char* expected[] = {"C:\\TARNO\\uninst.exe /w", "C:\\TARNO\\uninst.exe /d",
                              "C:\\TARNO\\uninst.exe /r", "C:\\TARNO\\uninst.exe /w"};
    for (int choice = 0; choice < 4; ++choice) {
        BuildUninstallerCommand(choice, command, sizeof command);
        EXPECT_STREQ(command, expected[choice]);
    }
}

TEST_F(Startup, ResetRestoresTheValuesAProcessStartsWith) {
    fWriteLog = FALSE;
    fProgramFiles = FALSE;
    chListDelimiter = '!';
    CopyText(szHotKey, "x");
    ResetSetupState();
    EXPECT_TRUE(fWriteLog && fProgramFiles && fUninstallEnabled && fReplaceOldFiles && fAskRestartOrReturn);
    EXPECT_FALSE(fPrinterFonts || fExpressSetup || fLatinTexts);
    EXPECT_EQ(chListDelimiter, ',');
    EXPECT_STREQ(szHotKey, "");
    SetRegistryLocations();
    EXPECT_EQ(regFonts.hRoot, HKEY_LOCAL_MACHINE);
    EXPECT_STREQ(regFontSubstitutes.szSubKey,
                 "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\FontSubstitutes");
    EXPECT_STREQ(regDisplayFonts.szSubKey, "Display\\Fonts");
}

TEST_F(Startup, AnEarlierInstallationIsTheFirstLocationInTheProductSettingsInAnyCase) {
    CopyText(szDestDir, "C:\\TARNO\\");
    EXPECT_FALSE(IsAlreadyInstalled()); // no tarno.ini
    put("C:\\WINDOWS\\TARNO.INI", "[Location]\n");
    EXPECT_FALSE(IsAlreadyInstalled());
    put("C:\\WINDOWS\\TARNO.INI", "[Location]\nc:\\tarno\\=\nD:\\TARNO\\=\n");
    EXPECT_TRUE(IsAlreadyInstalled());
    CopyText(szDestDir, "D:\\TARNO\\");
    EXPECT_FALSE(IsAlreadyInstalled()); // only the first key counts
    CopyText(szDestDir, "C:\\TARNO");
    EXPECT_FALSE(IsAlreadyInstalled());
}

TEST_F(Startup, AWorkstationReadsTheServerLocationAndCountryFromTheProductSettings) {
    EXPECT_FALSE(ReadWorkstationLocation());
    put("C:\\WINDOWS\\TARNO.INI", "[Location]\nF:\\TARNO\\=\n");
    EXPECT_FALSE(ReadWorkstationLocation()); // no country
    EXPECT_STREQ(szDestDir, "F:\\TARNO\\");
    put("C:\\WINDOWS\\TARNO.INI", "[Location]\nF:\\TARNO\\=\n[country]\nUKRAINE=\nRUS=\n");
    EXPECT_TRUE(ReadWorkstationLocation());
    EXPECT_STREQ(szCountryKey, "UKR"); // cut to the key's three characters
    std::string longPath = "[Location]\nF:\\" + std::string(300, 'x') + "\\=\n[country]\nRUS=\n";
    put("C:\\WINDOWS\\TARNO.INI", longPath);
    EXPECT_FALSE(ReadWorkstationLocation()) << "a location too long for the destination is no location";
    EXPECT_STREQ(szDestDir, "");
}

} // namespace
