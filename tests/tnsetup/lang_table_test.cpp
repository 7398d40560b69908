// The language and layout table and the country defaults that come with it.
#include "setup/core/lang_table.h"
#include "setup/resources/ids.h"
#include "tests/tnsetup/lang_table_records.h"
#include "tests/tnsetup/tnsetup_fixture.h"

#include <vector>

namespace {

using Records = std::vector<std::string>;

const char kInf[] = "[default.setup]\n"
                    "RUS=1251,866,1,tnrus.dll,1,Russian,Russian (Typewriter),US\n"
                    "BUL=1251,855,0,tnbul.dll,2,Bulgarian\n"
                    "NOL=1251,866,1,tnrus.dll,1\n"
                    "BAD=1251,866,1,tnrus.dll,1,Russian,Martian\n"
                    "NOC=1251,866,1,tnrus.dll,1,Codeless\n"
                    "LNG=1251,866,1,x,1,Longcode,A layout name much longer than its field\n"
                    "[Keyboard Layouts]\n"
                    "Russian=Russian,tnkbdru.dll,1,00000419,RU\n"
                    "Russian (Typewriter)=Russian Typewriter,tnkbdrt.dll,1,00010419,RT\n"
                    "US=US,,1,00000409,US\n"
                    "Bulgarian=Bulgarian,tnkbdbg.dll,1,00000402,BG\n"
                    "Codeless=Codeless,x.dll,1\n"
                    "Longcode=x,x,1,1,LONGCODE\n"
                    "A layout name much longer than its field=x,x,1,1,LN\n";

class LangTable : public TnSetup {
  protected:
    void SetUp() override {
        TnSetup::SetUp();
        hInst = GetModuleHandleA(nullptr);
        put("C:\\DIST\\SETUP1.INF", kInf);
        CopyText(szInfFile, "C:\\DIST\\SETUP1.INF");
        CopyText(szHotKey, "Left Ctrl");
    }
    void TearDown() override {
        if (hLang) GlobalFree(hLang);
        TnSetup::TearDown();
    }
    int Fill(const char* country) {
        CopyText(szCountryKey, country);
        return FillLangTable();
    }
    static std::vector<std::string> Table() { return LangTableRecords(); }
    // The text of the message the agent answered last.
    std::string LastMessage() const {
        if (agent.seen().empty() || agent.seen().back().painted.empty()) return "";
        return agent.seen().back().painted.front(); // the buttons' texts follow it
    }
    static UINT LockCount() { return GlobalFlags(hLang) & GMEM_LOCKCOUNT; }
};

TEST_F(LangTable, ACountrysLayoutsWithTheirCodesAndOneRecordOfZerosAfterThem) {
    EXPECT_EQ(Fill("RUS"), 3); // the length of "HI2"
    EXPECT_EQ(nLang, 3);
    EXPECT_EQ(Table(), (Records{"RU:Russian", "RT:Russian (Typewriter)", "US:US", ":"}));
    EXPECT_STREQ(szLayout1, "Russian");
    EXPECT_STREQ(szLayout2, "Russian (Typewriter)");
    EXPECT_EQ(LockCount(), 0u);
    EXPECT_EQ(GlobalFlags(hLang) & GMEM_DISCARDED, 0u);
}

TEST_F(LangTable, OneLayoutLeavesTheSecondEmptyAndTheCountrysDefaultsAreTaken) {
    fScreenFonts = fPlotterFonts = fPrinterFonts = f9PinPrinterFonts = f24PinPrinterFonts = TRUE;
    fSystemFonts = FALSE;
    CopyText(szHotKey, "Alt+Shift");
    Fill("BUL");
    EXPECT_EQ(nLang, 1);
    EXPECT_EQ(Table(), (Records{"BG:Bulgarian", ":"}));
    EXPECT_STREQ(szLayout2, "");
    EXPECT_STREQ(szSystemFontsCodePage, "1251");
    EXPECT_STREQ(szDosCodePage, "855");
    EXPECT_FALSE(fScreenFonts || fPlotterFonts); // field 3 is 0
    EXPECT_FALSE(fPrinterFonts || f9PinPrinterFonts || f24PinPrinterFonts);
    EXPECT_TRUE(fSystemFonts);
    EXPECT_STREQ(szLayoutSwitch, "Alt+Shift");
}

TEST_F(LangTable, AnotherCountryRebuildsTheTableInTheSameBlockFromTheStart) {
    Fill("RUS");
    HGLOBAL block = hLang;
    Fill("BUL");
    EXPECT_EQ(hLang, block);
    EXPECT_EQ(nLang, 1);
    // The block keeps the room the first country needed; what follows the zero record is not read.
    Records records = Table();
    ASSERT_GE(records.size(), 2u);
    EXPECT_EQ(records[0], "BG:Bulgarian");
    EXPECT_EQ(records[1], ":");
    EXPECT_TRUE(fScreenFonts == FALSE);
}

TEST_F(LangTable, FontResolutionFollowsTheScreenAndTheSystemFont) {
    struct Case {
        const char* screen;
        const char* bootFonts; // [boot] fonts.fon
        const char* expected;
    };
    const Case cases[] = {{"640x480", "8514sys.fon", "HI2"},
                          {"640x350", "8514sys.fon", "HI1"},
                          {"1024x768", "8514sys.fon", "HI4"},
                          {"1024x768", "vgasys.fon", "HI2"},
                          {"800x600", "8514sys.fon", "HI4"}};
    for (const Case& c : cases) {
        set(std::string("screen ") + c.screen);
        WritePrivateProfileStringA("boot", "fonts.fon", c.bootFonts, "system.ini");
        Fill("RUS");
        EXPECT_STREQ(szFontRes, c.expected) << c.screen << " " << c.bootFonts;
        EXPECT_EQ(lstrcmpA(szFontRes, "HI1") == 0, nFontRes == IDS_FONTRES_HI1);
    }
}

TEST_F(LangTable, AnUnknownCountryOrOneWithoutLayoutsIsReportedAndLeavesTheTableUnlocked) {
    agent.push(sim::click(IDOK));
    EXPECT_EQ(Fill("XYZ"), 0);
    EXPECT_EQ(LastMessage(), "Can't read all section 'XYZ'");
    EXPECT_EQ(LockCount(), 0u);

    agent.push(sim::click(IDOK));
    EXPECT_EQ(Fill("NOL"), 0);
    EXPECT_EQ(LastMessage(), "Can't read all section 'default.setup'");
    EXPECT_EQ(nLang, 0);
    EXPECT_EQ(LockCount(), 0u);
}

TEST_F(LangTable, ALayoutSetupInfDoesNotKnowOrWithoutACodeStopsTheFillWithWhatWasRead) {
    agent.push(sim::click(IDOK));
    EXPECT_EQ(Fill("BAD"), 0);
    EXPECT_EQ(LastMessage(), "Error in file setup1.inf. Not layout for this nation 'Martian'");
    EXPECT_EQ(nLang, 2);
    EXPECT_EQ(Table()[0], "RU:Russian");
    EXPECT_EQ(LockCount(), 0u);

    agent.push(sim::click(IDOK));
    EXPECT_EQ(Fill("NOC"), 0);
    EXPECT_EQ(LastMessage().rfind("Can't search member number 5 in ", 0), 0u) << LastMessage();
    EXPECT_EQ(LockCount(), 0u);
}

TEST_F(LangTable, OverlongNamesAndCodesAreCutToTheirFields) {
    // The cut name is no longer a key of "Keyboard Layouts": setup1.inf is expected to keep names short.
    agent.push(sim::click(IDOK));
    EXPECT_EQ(Fill("LNG"), 0);
    EXPECT_EQ(LastMessage(),
              "Error in file setup1.inf. Not layout for this nation 'A layout name much longer tha'");
    EXPECT_EQ(Table()[0], "LON:Longcode");
    EXPECT_EQ(Table()[1], ":A layout name much longer tha"); // 29 characters and the NUL
}

TEST_F(LangTable, OutOfMemoryIsReportedWithTheBlocksName) {
    set("fail-alloc 1");
    agent.push(sim::click(IDOK));
    EXPECT_EQ(Fill("RUS"), 0);
    EXPECT_EQ(LastMessage(), "No Avalable Memory! 'Alloc hLang'");
    EXPECT_EQ(hLang, nullptr);

    set("fail-alloc 3"); // the block is made, its first growth fails
    agent.push(sim::click(IDOK));
    EXPECT_EQ(Fill("RUS"), 0);
    EXPECT_EQ(LastMessage(), "No Avalable Memory! 'ReAlloc hLang'");
    ASSERT_NE(hLang, nullptr);
    EXPECT_EQ(nLang, 1); // one name was read; its code was not
    EXPECT_EQ(LockCount(), 0u);
}

TEST_F(LangTable, TheKeyboardLayoutsListRewritesTheTableWithoutASpareRecord) {
    Fill("RUS");
    HWND list = CreateWindowA("LISTBOX", "", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, hInst, nullptr);
    ASSERT_NE(list, nullptr);
    for (const char* name : {"US", "Bulgarian"})
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    EXPECT_TRUE(RewriteLangTable(list));
    EXPECT_EQ(nLang, 2);
    EXPECT_EQ(Table(), (Records{"US:US", "BG:Bulgarian"}));
    EXPECT_EQ(LockCount(), 0u);

    // A chosen layout that the section lacks has no field 5, and that is the message.
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Martian"));
    agent.push(sim::click(IDOK));
    EXPECT_TRUE(RewriteLangTable(list));
    EXPECT_EQ(LastMessage(), "Can't search member number 5 in ''");
    EXPECT_EQ(Table(), (Records{"US:US", "BG:Bulgarian", ":Martian"}));
    DestroyWindow(list);
}

TEST_F(LangTable, ADamagedSetupInfGivesMessagesNeverAnOverflow) {
    std::string many;
    for (int i = 0; i < 400; ++i)
        many += ",US";
    std::string inf = "[default.setup]\nMNY=1251,866,1,x,1" + many + "\n" +
                      "BIN=\x01\xff\xfe,\x80\x81,\x7f,,,\xcc\xcd\n" + "no equals sign here\n" +
                      "EMP=\n[Keyboard Layouts]\nUS=US,,1,00000409,US\n";
    put("C:\\DIST\\SETUP1.INF", inf);
    EXPECT_NE(Fill("MNY"), 0);
    EXPECT_GT(nLang, 100); // the list is cut where the working buffer ends
    EXPECT_EQ(Table()[static_cast<std::size_t>(nLang)], ":");
    agent.push(sim::click(IDOK));
    EXPECT_EQ(Fill("BIN"), 0); // field 6 names a layout that does not exist
    agent.push(sim::click(IDOK));
    EXPECT_EQ(Fill("EMP"), 0);
    EXPECT_EQ(LastMessage(), "Can't read all section 'EMP'");
    EXPECT_EQ(LockCount(), 0u);
}

} // namespace
