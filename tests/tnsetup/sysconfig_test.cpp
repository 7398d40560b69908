// The configuration update's parts: registry access, the saving of previous values, the file edits, the
// font registry and the product settings file, on a fresh machine.
#include "setup/core/lang_table.h"
#include "setup/sysconfig/sysconfig.h"
#include "tests/tnsetup/tnsetup_fixture.h"

#include <cstring>

namespace {

const char kFontsKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Fonts";

class Config : public TnSetup {
  protected:
    void SetUp() override {
        TnSetup::SetUp();
        SetRegistryLocations();
        SetConfigFileIds();
        CopyText(szInfFile, "C:\\SETUP1.INF");
        CopyText(szDestDir, "C:\\TARNO\\");
        CopyText(szUninstInf, "C:\\TARNO\\uninst.inf");
        CopyText(szCountryKey, "RUS");
        CopyText(szDosCodePage, "866");
        CopyText(szSystemFontsCodePage, "1251");
        CopyText(szFontRes, "HI2");
        put("C:\\TARNO\\TNSETUP.LOG", "");
        CopyText(szLogFile, "C:\\TARNO\\TNSETUP.LOG");
    }
    void TearDown() override {
        if (hLang) GlobalFree(hLang);
        TnSetup::TearDown();
    }
    // The value of an INI entry, or "<missing>".
    static std::string ini(const char* file, const char* section, const char* key) {
        char value[1100];
        GetPrivateProfileStringA(section, key, "<missing>", value, sizeof value, file);
        return value;
    }
    static std::string reg(HKEY root, const char* key, const char* name) {
        HKEY h;
        if (RegOpenKeyExA(root, key, 0, KEY_READ, &h) != ERROR_SUCCESS) return "<no key>";
        char data[1100] = "";
        DWORD size = sizeof data - 1;
        LONG got = RegQueryValueExA(h, name, nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size);
        RegCloseKey(h);
        return got == ERROR_SUCCESS ? data : "<missing>";
    }
    static void setReg(HKEY root, const char* key, const char* name, DWORD type, const void* data,
                       DWORD size) {
        HKEY h;
        ASSERT_EQ(RegCreateKeyA(root, key, &h), ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExA(h, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
        RegCloseKey(h);
    }
    std::string messages() const {
        std::string texts;
        for (const auto& seen : agent.seen())
            texts += (texts.empty() ? "" : "|") + (seen.painted.empty() ? "" : seen.painted.front());
        return texts;
    }
    std::string log() const { return machine_file("C/TARNO/TNSETUP.LOG"); }
    void answer(int messageCount) {
        for (int i = 0; i < messageCount; ++i)
            agent.push(sim::key_enter());
    }
    // A layout table of LAYOUTS, each "name:code".
    void table(std::initializer_list<std::pair<const char*, const char*>> layouts) {
        hLang = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(LangEntry) * (layouts.size() + 1));
        LangEntry* entries = LockLangTable();
        for (const auto& [name, code] : layouts) {
            CopyText(entries[nLang].szLayout, name);
            CopyText(entries[nLang++].szCode, code);
        }
        UnlockLangTable();
    }
};

// ---- Registry access -------------------------------------------------------------------------------------

TEST_F(Config, ReadingAValueGivesTheWindowsCodesAndAlwaysText) {
    BYTE buffer[16];
    std::memset(buffer, 'x', sizeof buffer);
    DWORD type = REG_SZ;
    answer(2);
    EXPECT_EQ(GetRegKeyValueEx(HKEY_CURRENT_CONFIG, "Display\\Nothing", "fonts.fon", &type, buffer, 8), 1010);
    EXPECT_EQ(buffer[0], 'x') << "a missing key leaves the buffer alone";
    EXPECT_EQ(GetRegKeyValueEx(HKEY_CURRENT_CONFIG, "Display\\Settings", "none", &type, buffer, 8), 1010);
    EXPECT_EQ(buffer[0], 0);
    EXPECT_EQ(GetRegKeyValueEx(HKEY_CURRENT_CONFIG, "Display\\Settings", "fonts.fon", &type, buffer, 8), 234);
    EXPECT_EQ(buffer[0], 0) << "vgasys.fon with its end needs 11 bytes";
    setReg(HKEY_CURRENT_CONFIG, "Display\\Settings", "exact", REG_BINARY, "12345678", 8);
    EXPECT_EQ(GetRegKeyValueEx(HKEY_CURRENT_CONFIG, "Display\\Settings", "exact", &type, buffer, 8), 234);
    EXPECT_EQ(GetRegKeyValueEx(HKEY_CURRENT_CONFIG, "Display\\Settings", "fonts.fon", &type, buffer, 11), 0);
    EXPECT_STREQ(reinterpret_cast<char*>(buffer), "vgasys.fon");
    setReg(HKEY_CURRENT_CONFIG, "Display\\Settings", "short", REG_BINARY, "ab", 2);
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(GetRegKeyValueEx(HKEY_CURRENT_CONFIG, "Display\\Settings", "short", &type, buffer, 8), 0);
    EXPECT_STREQ(reinterpret_cast<char*>(buffer), "ab");
    EXPECT_EQ(messages(), "GetRegKeyValueEx: buffer too small|GetRegKeyValueEx: buffer too small");
}

TEST_F(Config, AWriteCreatesTheWholePathOrSaysWhyItCannot) {
    const BYTE data[] = "x.fon";
    EXPECT_TRUE(RegSetValueChecked(HKEY_LOCAL_MACHINE, "SOFTWARE\\A\\B\\C", "v", REG_SZ, data, 5));
    EXPECT_EQ(reg(HKEY_LOCAL_MACHINE, "SOFTWARE\\A\\B\\C", "v"), "x.fon");

    answer(2);
    // A name the registry cannot hold: the key opens, the value is refused.
    EXPECT_FALSE(RegSetValueChecked(HKEY_LOCAL_MACHINE, "SOFTWARE\\A\\B\\C", "two\nlines", REG_SZ, data, 5));
    set(std::string("deny-registry HKEY_LOCAL_MACHINE\\") + kFontsKey);
    EXPECT_FALSE(RegSetValueChecked(HKEY_LOCAL_MACHINE, kFontsKey, "TN Sans", REG_SZ, data, 5));
    EXPECT_EQ(messages(),
              "Can not set value:\r  two\nlines.\rYou may not have the permission for this action.|"
              "Can not create registry key:\r  SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Fonts"
              "\rfor WRITING value:\r  TN Sans.\rYou may not have the permission for this action.");
}

TEST_F(Config, AKeyIsSavedAsTextUpToTheFirstZeroUntilAValueTooLongToRead) {
    const DWORD one = 1;
    setReg(HKEY_LOCAL_MACHINE, "SOFTWARE\\T", "number", REG_DWORD, &one, 4);
    setReg(HKEY_LOCAL_MACHINE, "SOFTWARE\\T", "text", REG_SZ, "a b", 4);
    std::string longData(1100, 'd');
    setReg(HKEY_LOCAL_MACHINE, "SOFTWARE\\T", "long", REG_SZ, longData.c_str(), 1101);
    setReg(HKEY_LOCAL_MACHINE, "SOFTWARE\\T", "after", REG_SZ, "z", 2);
    EXPECT_TRUE(SaveRegistryKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\T", "t.svd", szUninstInf));
    EXPECT_EQ(ini(szUninstInf, "t.svd", "number"), "\x01");
    EXPECT_EQ(ini(szUninstInf, "t.svd", "text"), "a b");
    EXPECT_EQ(ini(szUninstInf, "t.svd", "long"), "<missing>");
    EXPECT_EQ(ini(szUninstInf, "t.svd", "after"), "<missing>");
    EXPECT_FALSE(SaveRegistryKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\None", "n.svd", szUninstInf));
    EXPECT_EQ(ini(szUninstInf, "n.svd", nullptr), "<missing>");
}

TEST_F(Config, AnEntryIsSavedBeforeItIsWrittenAndAMissingOneIsSavedEmpty) {
    EXPECT_TRUE(SaveEntry("system.ini", "boot", "wincodepage", "boot.svd", "1251"));
    EXPECT_TRUE(SaveEntry("system.ini", "boot.description", "codepage", "Lang.svd", "866"));
    EXPECT_EQ(ini(szUninstInf, "boot.svd", "wincodepage"), "");
    EXPECT_EQ(ini(szUninstInf, "Lang.svd", "codepage"), "1252");
    EXPECT_EQ(ini("system.ini", "boot", "wincodepage"), "1251");
    EXPECT_EQ(log(),
              " Saving entry wincodepage section [boot.svd]\r\nWriting entry wincodepage section [boot]\r\n"
              " Saving entry codepage section [Lang.svd]\r\nWriting entry codepage section "
              "[boot.description]\r\n");

    fUninstallEnabled = FALSE;
    EXPECT_TRUE(SaveEntry("system.ini", "keyboard", "oemansi.bin", "keyboard.svd", "xlat866.bin"));
    EXPECT_EQ(ini(szUninstInf, "keyboard.svd", "oemansi.bin"), "<missing>");
    EXPECT_EQ(ini("system.ini", "keyboard", "oemansi.bin"), "xlat866.bin");
}

TEST_F(Config, ASettingWhosePreviousValueCannotBeKeptStaysAsItWas) {
    put("C:\\SETUP1.INF", "[country]\r\nRUS=Russia!7\r\n[FontSubstitutes]\r\nHelv=TN Sans\r\n"
                          "[sysfonts.1251]\r\nHI2=8514sysr.fon,2\r\n[VGA.GR3]\r\n866=866,2\r\n");
    set("fail-write C:\\TARNO\\uninst.inf");
    answer(35); // one message 30 for each value that could not be kept
    EXPECT_FALSE(SaveEntry("system.ini", "boot.description", "codepage", "Lang.svd", "866"));
    EXPECT_FALSE(WriteInternationalSettings());
    EXPECT_TRUE(WriteDosWindowFonts());
    EXPECT_FALSE(WriteDisplaySetting("fonts.fon", "sysfonts.1251", "HI2"));
    EXPECT_FALSE(WriteFontSubstitutes());
    EXPECT_EQ(ini("system.ini", "boot.description", "codepage"), "1252");
    EXPECT_EQ(ini("win.ini", "intl", "sLanguage"), "enu");
    EXPECT_EQ(ini("system.ini", "386Enh", "woafont"), "dosapp.fon");
    EXPECT_EQ(reg(HKEY_CURRENT_CONFIG, "Display\\Settings", "fonts.fon"), "vgasys.fon");
    EXPECT_EQ(
        reg(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\FontSubstitutes", "Helv"),
        "MS Sans Serif");
    EXPECT_NE(messages().find("Can't write 'codepage' =  '1252' in section 'Lang.svd'"), std::string::npos);
    EXPECT_EQ(log().find("Writing"), std::string::npos) << log();

    CopyText(szUninstInf, "C:\\TARNO\\kept.inf");
    std::string longName(300, 'f');
    setReg(HKEY_CURRENT_CONFIG, "Display\\Settings", "fonts.fon", REG_SZ, longName.c_str(), 301);
    answer(1);
    EXPECT_FALSE(WriteDisplaySetting("fonts.fon", "sysfonts.1251", "HI2")) << "too long to be kept";
    EXPECT_EQ(reg(HKEY_CURRENT_CONFIG, "Display\\Settings", "fonts.fon"), longName);
}

TEST_F(Config, AFailedBackupOfControlInfLeavesNoPartialCopyAndFailsTheEdit) {
    set("fail-write C:\\WINDOWS\\SYSTEM\\CONTROL.OLD");
    answer(1);
    EXPECT_FALSE(EditControlInf());
    EXPECT_EQ(messages(),
              "Can't copy 'C:\\WINDOWS\\SYSTEM\\control.inf' to 'C:\\WINDOWS\\SYSTEM\\control.old'. The "
              "Control Panel's country list is left unchanged.");
    EXPECT_EQ(machine_file("C/WINDOWS/SYSTEM/control.old"), "");
    EXPECT_FALSE(std::filesystem::exists(host("C/WINDOWS/SYSTEM/control.old")));

    std::filesystem::remove(host("C/WINDOWS/SYSTEM/CONTROL.INF"));
    answer(1);
    EXPECT_FALSE(EditControlInf());
    fUninstallEnabled = FALSE; // no copy to make
    EXPECT_TRUE(EditControlInf());
}

// ---- Configuration files ---------------------------------------------------------------------------------

TEST_F(Config, NationalSettingsAreWrittenFieldByFieldUntilTheFirstMissingOne) {
    put("C:\\SETUP1.INF", "[country]\r\nRUS=Russia!7!1! 1\r\n");
    answer(1);
    EXPECT_FALSE(WriteInternationalSettings());
    EXPECT_EQ(messages(), "Can't search member number 5 in 'Russia!7!1! 1'");
    EXPECT_EQ(ini("win.ini", "intl", "sLanguage"), "rus");
    EXPECT_EQ(ini("win.ini", "intl", "sCountry"), "Russia");
    EXPECT_EQ(ini("win.ini", "intl", "iCurrency"), "1");
    EXPECT_EQ(ini("win.ini", "intl", "iDigits"), "2") << "not reached: as it was";
    EXPECT_EQ(ini(szUninstInf, "intl.svd", "sLanguage"), "enu");
    EXPECT_EQ(ini(szUninstInf, "intl.svd", "sLongDate"), "dddd, MMMM dd, yyyy");
    EXPECT_EQ(
        log().find("Saving all entries in section [intl]\r\nWriting entry sLanguage section [intl]\r\n"), 0u);
}

TEST_F(Config, TheControlPanelGetsOnlyTheProductsLayoutsKeyedByTheirSettings) {
    put("C:\\SETUP1.INF", "[Layouts.TARNO]\r\nRussian=\r\nUkrainian=\r\n"
                          "[country]\r\nRU=Russia!7!1\r\nUS=United States!1!0\r\nUA=Ukraine\r\n");
    table({{"Russian", "RU"}, {"US", "US"}, {"Ukrainian", "UA"}});
    EXPECT_TRUE(EditControlInf());
    std::string control = machine_file("C/WINDOWS/SYSTEM/CONTROL.INF");
    EXPECT_NE(control.find("\r\n\"Russia\", \"7!1!RUS\"= \r\n"), std::string::npos) << control;
    EXPECT_EQ(control.find("United States!"), std::string::npos) << "not a layout of the product";
    EXPECT_EQ(control.find("Ukraine"), std::string::npos) << "no settings after its name";
    EXPECT_EQ(machine_file("C/WINDOWS/SYSTEM/control.old").find("Russia"), std::string::npos);
    EXPECT_NE(machine_file("C/WINDOWS/SYSTEM/control.old").find("United Kingdom"), std::string::npos);
}

TEST_F(Config, DosWindowFontsAreAFullPathForTheApplicationFontAndBareNamesElse) {
    put("C:\\SETUP1.INF",
        "[VGA.GR3]\r\n866=866,2\r\n[codepage.oem.description]\r\n866=Cyrillic (DOS 866)\r\n");
    EXPECT_TRUE(WriteDosWindowFonts());
    EXPECT_EQ(ini("system.ini", "386Enh", "woafont"), "C:\\TARNO\\app866.fon");
    EXPECT_EQ(ini("system.ini", "386Enh", "EGA80WOA.FON"), "EGA80866.fon");
    EXPECT_EQ(ini("system.ini", "386Enh", "CGA40WOA.FON"), "CGA40866.fon");
    EXPECT_EQ(ini("system.ini", "boot.description", "woafont.fon"), "Cyrillic (DOS 866)");
    EXPECT_EQ(ini(szUninstInf, "Grab.Svd", "woafont"), "dosapp.fon");
    EXPECT_EQ(ini(szUninstInf, "Lang.svd", "woafont.fon"), "");

    CopyText(szDosCodePage, "855"); // no fonts for it: saved, not changed
    EXPECT_TRUE(WriteDosWindowFonts());
    EXPECT_EQ(ini("system.ini", "386Enh", "EGA80WOA.FON"), "EGA80866.fon");
}

// ---- Font registry ---------------------------------------------------------------------------------------

TEST_F(Config, ScreenFontsGoToTheDisplayAndDeviceFontsToFontsWithTheirNamesAsWritten) {
    put("C:\\SETUP1.INF",
        "[helv.1251]\r\nHI2=sseriffr.fon,2, TN Sans 8,10\r\nALL=helvplt.fon,2,TN Plotter\r\n"
        "PR9=helv9.fon\r\n");
    EXPECT_TRUE(RegisterFontFromSection("helv.1251", "HI2", nullptr));
    EXPECT_TRUE(RegisterFontFromSection("helv.1251", "all", "C:\\TARNO"));
    EXPECT_EQ(reg(HKEY_CURRENT_CONFIG, "Display\\Fonts", " TN Sans 8,10"), "sseriffr.fon");
    EXPECT_EQ(reg(HKEY_LOCAL_MACHINE, kFontsKey, "TN Plotter"), "C:\\TARNO\\helvplt.fon");
    answer(2);
    EXPECT_FALSE(RegisterFontFromSection("helv.1251", "PR9", "C:\\TARNO\\"));
    EXPECT_FALSE(RegisterFontFromSection("helv.1251", "PR2", "C:\\TARNO\\"));
    EXPECT_EQ(messages(), "Can't search member number 3 in 'helv9.fon'|Can't search member number 3 in ''");
}

TEST_F(Config, TheSystemFontsAreSavedThenSetFromTheirCodePagesSections) {
    put("C:\\SETUP1.INF", "[sysfonts.1251]\r\nHI2=8514sysr.fon,2\r\n[oemfonts.866]\r\nHI2=8514866.fon,2\r\n");
    EXPECT_TRUE(WriteSystemFontSettings());
    EXPECT_EQ(reg(HKEY_CURRENT_CONFIG, "Display\\Settings", "fonts.fon"), "8514sysr.fon");
    EXPECT_EQ(reg(HKEY_CURRENT_CONFIG, "Display\\Settings", "fixedfon.fon"), "");
    EXPECT_EQ(reg(HKEY_CURRENT_CONFIG, "Display\\Settings", "oemfonts.fon"), "8514866.fon");
    EXPECT_EQ(ini(szUninstInf, "SystemFonts", "fixedfon.fon"), "vgafix.fon");
    EXPECT_NE(log().find(" Saving entry fonts.fon section [Display\\Settings]\r\nWriting entry fonts.fon "
                         "section [boot]\r\n"),
              std::string::npos)
        << log();
}

// ---- The update as a whole -------------------------------------------------------------------------------

TEST_F(Config, TheSwitchKeyNoticeGoesOnlyToTheProductsOwnDriverAndOnlyControlInfDecides) {
    put("C:\\SETUP1.INF", "[country]\r\nRUS=Russia!7!1!1!2!1!1!0!2!5!1!!!r!.!,!.!:!;!dd.MM.yy!d MMMM yyyy\r\n"
                          "[hotkey]\r\nCtrl+Shift=3 keys\r\n[boot]\r\nkeyboard.drv=tnkbd.drv\r\n"
                          "[oemansi]\r\n866=xlat866.bin,1\r\n");
    CopyText(szLayoutSwitch, "Ctrl+Shift");
    fProgramFiles = fFonts = FALSE;
    fWorkstationSetup = TRUE;
    auto notices = [&] { return machine_file("keyboard.log"); };
    EXPECT_TRUE(UpdateSystemConfiguration());
    fAlreadyInstalled = TRUE;
    EXPECT_TRUE(UpdateSystemConfiguration());
    EXPECT_EQ(notices(), "") << "keyboard.drv is Windows' own driver";
    WritePrivateProfileStringA("boot", "keyboard.drv", "TNKBD.DRV", "system.ini");
    EXPECT_TRUE(UpdateSystemConfiguration());
    EXPECT_EQ(notices(), "ToAscii\t139\t770\t0\r\n");
    // Driver lines alike in their first 119 characters only are different drivers.
    std::string longDriver = std::string(119, 'd') + ".drv";
    WritePrivateProfileStringA("boot", "keyboard.drv", longDriver.c_str(), szInfFile);
    WritePrivateProfileStringA("boot", "keyboard.drv", (longDriver + "2").c_str(), "system.ini");
    EXPECT_TRUE(UpdateSystemConfiguration());
    EXPECT_EQ(notices(), "ToAscii\t139\t770\t0\r\n");
    EXPECT_EQ(ini("system.ini", "keyboard", "hotkey"), "3 keys");
    EXPECT_EQ(ini("system.ini", "keyboard", "oemansi.bin"), "xlat866.bin");
    EXPECT_EQ(ini("win.ini", "intl", "sLongDate"), "d MMMM yyyy");
    EXPECT_FALSE(std::filesystem::exists(host("C/WINDOWS/SYSTEM/control.old")))
        << "a workstation's is shared";

    fWorkstationSetup = FALSE;
    set("fail-read C:\\WINDOWS\\SYSTEM\\CONTROL.INF");
    answer(1);
    EXPECT_FALSE(UpdateSystemConfiguration());
    EXPECT_NE(log().find("Editing CONTROL.INF not complete."), std::string::npos);
}

// ---- Product settings ------------------------------------------------------------------------------------

TEST_F(Config, TheInstalledLayoutsReplaceTheListInUpperCaseLatinLetters) {
    put("C:\\SETUP1.INF", "[Keyboard Layouts]\r\nRussian=russian,tnkbdru.dll,1,00000419,ru\xe0\r\n");
    put("C:\\WINDOWS\\TARNO.INI", "[TNNLS]\r\nRemoved=X\r\n[Location]\r\nC:\\TARNO\\=\r\n");
    table({{"Russian", "RU"}, {"US", "US"}});
    WriteProductSettingsFile();
    EXPECT_EQ(ini("tarno.ini", "TNNLS", "Removed"), "<missing>");
    EXPECT_EQ(ini("tarno.ini", "TNNLS", "Russian"), "RUSSIAN,TNKBDRU.DLL,1,00000419,RU\xe0");
    EXPECT_EQ(ini("tarno.ini", "TNNLS", "US"), "");
    EXPECT_EQ(ini("tarno.ini", "Location", "C:\\TARNO\\"), "");
}

} // namespace
