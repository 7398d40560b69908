// List fields of setup1.inf values and the key lists that fill combo boxes.
#include "setup/inf/inf.h"
#include "tests/tnsetup/tnsetup_fixture.h"

namespace {

class ListField : public TnSetup {
  protected:
    // Field N of LIST, or "<none>" when there is none.
    std::string field(const char* list, int n, char delimiter = ',') {
        char out[kListFieldWorkCap];
        return GetListField(list, n, out, sizeof out, delimiter, FALSE) ? out : "<none>";
    }
};

TEST_F(ListField, BlanksBeforeADelimiterStayAndBlanksAfterItGo) {
    const char* list = "1251,866,1, RUS ,x";
    EXPECT_EQ(field(list, 1), "1251");
    EXPECT_EQ(field(list, 3), "1");
    EXPECT_EQ(field(list, 4), "RUS ");
    EXPECT_EQ(field(list, 5), "x");
    EXPECT_EQ(field(list, 6), "<none>");
    EXPECT_EQ(field("1251 , 866", 1), "1251 ");
    EXPECT_EQ(field("1251 , 866", 2), "866");
}

TEST_F(ListField, EmptyFieldsCountAndAnEmptyListHasOneEmptyField) {
    EXPECT_EQ(field("", 1), "");
    EXPECT_EQ(field("", 2), "<none>");
    EXPECT_EQ(field("a,,c", 2), "");
    EXPECT_EQ(field("a,,c", 3), "c");
    EXPECT_EQ(field("a,", 2), "");
    EXPECT_EQ(field("a", 0), "<none>");
    EXPECT_EQ(field("Line one!Line two", 2, '!'), "Line two");
    EXPECT_TRUE(agent.seen().empty());
}

TEST_F(ListField, AMissingFieldIsReportedOnlyWhenAsked) {
    agent.push(sim::key_enter());
    char out[16];
    EXPECT_FALSE(GetListField("PR2", 2, out, sizeof out, ',', TRUE));
    EXPECT_EQ(seenDialogs(), "MESSAGE");
    EXPECT_STREQ(out, "");
}

TEST_F(ListField, LongFieldsAndListsAreCutNeverOverflowed) {
    std::string huge(2000, 'x');
    huge[10] = ',';
    char small[8];
    EXPECT_TRUE(GetListField(huge.c_str(), 1, small, sizeof small, ',', FALSE));
    EXPECT_STREQ(small, "xxxxxxx");
    char out[kListFieldWorkCap];
    EXPECT_TRUE(GetListField(huge.c_str(), 2, out, sizeof out, ',', FALSE));
    EXPECT_EQ(std::string(out).size(), static_cast<size_t>(kListFieldWorkCap - 1 - 11));
}

class ComboFill : public TnSetup {
  protected:
    void SetUp() override {
        TnSetup::SetUp();
        combo = CreateWindowExA(0, "COMBOBOX", "", WS_POPUP | CBS_DROPDOWNLIST, 0, 0, 100, 100, nullptr,
                                nullptr, nullptr, nullptr);
        ASSERT_NE(combo, nullptr);
    }
    void TearDown() override {
        DestroyWindow(combo);
        TnSetup::TearDown();
    }
    std::string entries() {
        std::string all;
        LRESULT count = SendMessageA(combo, CB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            char text[64];
            SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
            all += (all.empty() ? "" : "|") + std::string(text);
        }
        return all;
    }
    HWND combo = nullptr;
};

TEST_F(ComboFill, KeysInFileOrderFirstSelectedSectionMatchedInAnyCase) {
    put("C:\\SETUP1.INF", "[country key]\nRussia=RUS\nBelarus=BEL\nAlpha=ALP\n");
    EXPECT_TRUE(FillComboFromSection(combo, "Country Key", "Not found", "C:\\SETUP1.INF"));
    EXPECT_EQ(entries(), "Russia|Belarus|Alpha");
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 0);
}

TEST_F(ComboFill, AMissingSectionOffersTheDefaultTextAndNothingAtAllIsReported) {
    put("C:\\SETUP1.INF", "[other]\na=1\n");
    EXPECT_TRUE(FillComboFromSection(combo, "Country Key", "Not found", "C:\\SETUP1.INF"));
    EXPECT_EQ(entries(), "Not found");
    agent.push(sim::key_enter());
    EXPECT_FALSE(FillComboFromSection(combo, "Country Key", "", "C:\\SETUP1.INF"));
    EXPECT_EQ(seenDialogs(), "MESSAGE");
}

TEST_F(ComboFill, ASectionBeyondTheBufferIsReadCut) {
    std::string inf = "[Country Key]\n";
    for (int i = 100; i < 200; ++i)
        inf += "Country" + std::to_string(i) + "=X\n"; // 11 bytes a name: 1100 in all
    put("C:\\SETUP1.INF", inf);
    EXPECT_TRUE(FillComboFromSection(combo, "Country Key", "Not found", "C:\\SETUP1.INF"));
    LRESULT count = SendMessageA(combo, CB_GETCOUNT, 0, 0);
    EXPECT_GE(count, 92);
    EXPECT_LE(count, 94); // the names past 1022 bytes are not seen
    EXPECT_EQ(entries().substr(0, 21), "Country100|Country101");
}

} // namespace
