// Installation Options, Keyboard Layouts and Fonts: what they store, the rules of the remembered list
// entries, and every setup1.inf they cannot read.
#include "setup/core/lang_table.h"
#include "setup/dialogs/choices.h"
#include "tests/tnsetup/lang_table_records.h"
#include "tests/tnsetup/wizard_fixture.h"

#include <functional>

namespace {

using sim::click;

const char kInf[] = "[Country Key]\nRussia=RUS\nBulgaria=BUL\n"
                    "[default.setup]\nRUS=1251,866,1,x,1,Russian,US\nBUL=1251,855,1,x,1,Bulgarian\n"
                    "[country]\nRUS=Russia!7\nBUL=Bulgaria!359\n"
                    "[hotkey]\nLeft Ctrl=1\nAlt+Shift=4\n"
                    "[Keyboard Layouts]\nUS=US,,1,00000409,US\nRussian=R,r.dll,1,00000419,RU\n"
                    "Bulgarian=B,b.dll,1,00000402,BG\nCodeless=C,c.dll,1\n"
                    "[codepage.number]\nCyrillic=1251\nWestern=1252\n"
                    "[codepage.description]\n1251=Cyrillic\n1252=Western\n";

class OptionDialogs : public WizardDialogs {
  protected:
    void SetUp() override {
        WizardDialogs::SetUp();
        PutInf(kInf);
        CopyText(szCountryKey, "RUS");
        CopyText(szHotKey, "Left Ctrl");
    }
    void TearDown() override {
        if (hLang) GlobalFree(hLang);
        hLang = nullptr;
        WizardDialogs::TearDown();
    }
};

TEST_F(OptionDialogs, ARememberedEntryKeepsItsPlaceAsOthersLeaveAndFallsBackToTheFirst) {
    HWND combo = CreateWindowA("COMBOBOX", "", WS_POPUP | CBS_DROPDOWNLIST | CBS_SORT, 0, 0, 100, 100,
                               nullptr, nullptr, hInst, nullptr);
    for (const char* name : {"Gamma", "Alpha", "Delta", "Beta"})
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    RememberedChoice choice;
    choice.Attach(combo);
    choice.SelectName("Zeta"); // no such entry, and nothing shown: nothing remembered
    EXPECT_EQ(choice.Index(), -1);
    choice.SelectName("de"); // the beginning of a name, in any case
    EXPECT_EQ(choice.Index(), 2);
    auto remove = [&](int index) {
        SendMessageA(combo, CB_DELETESTRING, static_cast<WPARAM>(index), 0);
        choice.EntryDeleted(index);
        return std::make_pair(choice.Index(), static_cast<int>(SendMessageA(combo, CB_GETCURSEL, 0, 0)));
    };
    EXPECT_EQ(remove(0), std::make_pair(1, 1)); // before it: moves up, still shown
    EXPECT_EQ(remove(2), std::make_pair(1, 1)); // after it: nothing changes
    EXPECT_EQ(remove(1), std::make_pair(0, 0)); // itself: the first entry
    EXPECT_EQ(remove(0), std::make_pair(-1, -1));
    char text[8];
    EXPECT_FALSE(choice.Text(text, sizeof text));
    DestroyWindow(combo);
}

TEST_F(OptionDialogs, AddAllThenOkRebuildsTheTableInAlphabeticalOrderWithoutASpareRecord) {
    FillLangTable();
    Answer(
        {click("Add All"), click("OK"), click("OK")}); // the code-less layout is reported, the rest goes on
    EXPECT_EQ(RunLangLayoutDialog(), kDialogContinue);
    EXPECT_EQ(nLang, 4);
    EXPECT_EQ(LangTableRecords(),
              (std::vector<std::string>{"BG:Bulgarian", ":Codeless", "RU:Russian", "US:US"}));
    EXPECT_STREQ(szLayout1, "Russian");
    EXPECT_STREQ(szLayout2, "US");
    EXPECT_EQ(Messages().at(0).rfind("Can't search member number 5 in 'C,c.dll,1'", 0), 0u);
}

TEST_F(OptionDialogs, ATableThatCannotGrowStaysAsItWas) {
    FillLangTable();
    set("fail-alloc 1"); // every allocation from now on fails
    Answer({click("Add All"), click("OK"), click("OK")});
    EXPECT_EQ(RunLangLayoutDialog(), kDialogExit);
    EXPECT_EQ(Messages(), (std::vector<std::string>{"No Avalable Memory! 'ReAlloc hLang'"}));
    EXPECT_EQ(nLang, 2);
    EXPECT_EQ(LangTableRecords(), (std::vector<std::string>{"RU:Russian", "US:US", ":"}));
}

TEST_F(OptionDialogs, FontSizeFollowsTheScreenWhateverTheUserChose) {
    struct Case {
        const char* screen;
        int resolutionBefore;
        bool chooseLarge;
        const char* stored;
    };
    const Case cases[] = {{"640x480", IDS_FONTRES_HI4, false, "HI2"}, // Large shown but not offered
                          {"640x350", IDS_FONTRES_HI2, false, "HI1"},
                          {"800x600", IDS_FONTRES_HI2, true, "HI4"}};
    CopyText(szSystemFontsCodePage, "1251");
    for (const Case& c : cases) {
        set(std::string("screen ") + c.screen);
        SetFontResolution(c.resolutionBefore);
        if (c.chooseLarge) agent.push(sim::check(IDC_FONTS_LARGE, 1));
        Answer({click("OK")});
        EXPECT_EQ(RunFontsDialog(), kDialogContinue);
        EXPECT_STREQ(szFontRes, c.stored) << c.screen;
    }
}

TEST_F(OptionDialogs, PrinterFontsFollowThePrintersFoundAndTheCodePageItsDescription) {
    CopyText(szSystemFontsCodePage, "1251");
    f24PinPrinters = TRUE;
    Answer({sim::check(IDC_FONTS_PRINTER, 1), sim::select(IDC_FONTS_CODEPAGE, "Western"), click("OK")});
    EXPECT_EQ(RunFontsDialog(), kDialogContinue);
    EXPECT_EQ(SeenDialogs(), "FONTS FONTS FONTS"); // no question
    EXPECT_TRUE(f24PinPrinterFonts);
    EXPECT_FALSE(f9PinPrinterFonts);
    EXPECT_STREQ(szSystemFontsCodePage, "1252");
}

TEST_F(OptionDialogs, ContinueStoresTheComponentsTheCountrysDosCodePageAndTheSwitch) {
    fPrinterFonts = fSystemFonts = fScreenFonts = fTrueTypeFonts = fPlotterFonts = TRUE;
    Answer({click(IDC_OPT_FONTS), click(IDC_OPT_SAMPLE), sim::select(IDC_OPT_DOS_CODEPAGE, "Bulgaria"),
            sim::select(IDC_OPT_LAYOUT_SWITCH, "Alt+Shift"), click("Continue")});
    EXPECT_EQ(RunSetupOptionsDialog(), kDialogContinue);
    EXPECT_FALSE(fFonts || fPrinterFonts || fSystemFonts || fScreenFonts || fTrueTypeFonts || fPlotterFonts);
    EXPECT_TRUE(fDevelopersKitSample);
    EXPECT_STREQ(szDosCodePage, "855");
    EXPECT_STREQ(szLayoutSwitch, "Alt+Shift");

    Answer({click(IDC_OPT_APPLICATIONS), click("Back")}); // Back stores nothing
    EXPECT_EQ(RunSetupOptionsDialog(), kDialogBack);
    EXPECT_TRUE(fApplications);
}

// Each damaged setup1.inf gives its message and ends its dialog with 0.
TEST_F(OptionDialogs, WhatADialogCannotReadEndsItWithItsMessage) {
    struct Case {
        const char* inf;
        std::function<WORD()> run;
        std::vector<sim::Input> inputs;
        const char* message;
    };
    const std::string inf = kInf;
    const char kCantRead[] = "Can't read the file 'C:\\DIST\\SETUP1.INF'";
    const std::vector<sim::Input> ok = {click(IDOK), click(IDOK)};
    const std::vector<Case> cases = {
        {"[default.setup]\nRUS=1251\n", RunSetupDirDialog, ok,
         "Can't read section [nation] in file 'C:\\DIST\\SETUP1.INF'"},
        {"[Country Key]\nRussia=RUS\n", RunSetupDirDialog, ok,
         "Can't read string 'RUS' from section 'default.setup'"},
        {"[country]\nRUS=Russia\n", RunSetupOptionsDialog, {click(IDOK)}, kCantRead},
        {"[Country Key]\nRussia=RUS\n",
         RunSetupOptionsDialog,
         {click(IDOK)},
         "Can't read string 'RUS' from section 'country'"},
        {"[Country Key]\nRussia=RUS\n[country]\nRUS=Russia\n",
         RunSetupOptionsDialog,
         {click(IDOK)},
         kCantRead},
        {"[Country Key]\nRussia=RUS\n[country]\nRUS=Russia\n[hotkey]\nx=1\n[default.setup]\nRUS=1251\n",
         RunSetupOptionsDialog, ok, "Can't search member number 2 in '1251'"},
        {"[codepage.number]\nx=1\n", RunLangLayoutDialog, {click(IDOK)}, kCantRead},
        {"[Keyboard Layouts]\nUS=US\n", RunLangLayoutDialog, {click(IDOK)}, "No Lock Handle! 'hLang'"},
        {"[codepage.description]\n1251=Cyrillic\n", RunFontsDialog, {click(IDOK)}, kCantRead},
        {"[codepage.number]\nCyrillic=1251\n",
         RunFontsDialog,
         {click(IDOK)},
         "Can't read string '1251' from section 'codepage.description'"},
        {"[codepage.number]\nCyrillic=\n[codepage.description]\n1251=Cyrillic\n", RunFontsDialog, ok,
         "Can't read string 'Cyrillic' from section 'codepage.number'"},
        {"[Country Key]\nRussia=\n",
         [] { return static_cast<WORD>(SetDefaultCountryAndPath("Russia")); },
         {click(IDOK)},
         "Can't read section [nation] in file 'C:\\DIST\\SETUP1.INF'"}};
    CopyText(szSystemFontsCodePage, "1251");
    for (const Case& c : cases) {
        PutInf(c.inf);
        for (const sim::Input& input : c.inputs)
            agent.push(input);
        EXPECT_EQ(c.run(), kDialogExit) << c.inf;
        EXPECT_EQ(Messages().back(), c.message) << c.inf;
        EXPECT_TRUE(agent.empty()) << c.inf;
    }
}

} // namespace
