// Dialog templates: every field of the compiled DIALOG and DIALOGEX test templates, and damaged or
// hostile copies of them.
#include "platform/sim/user/dialog_template.h"
#include "platform/sim/kernel/resfile.h"
#include "platform/sim/win/windows.h"
#include "tests/resources/testres.h"
#include "tests/unit/sim_fixture.h"

#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

struct ExpectedItem {
    const char* class_name;
    const char* text;
    int text_ordinal;
    std::uint32_t id, style, ex_style;
    short x, y, cx, cy;
};

// WS_CHILD | WS_VISIBLE, and WS_TABSTOP
constexpr std::uint32_t kChild = 0x50000000, kTab = 0x00010000;

const ExpectedItem kClassicItems[] = {
    {"BUTTON", "Push", -1, IDC_PUSH, kChild | kTab, 0, 5, 5, 50, 14},
    {"BUTTON", "Default", -1, IDC_DEFPUSH, kChild | kTab | 0x08000000 | 1, 0, 60, 5, 50, 14},
    {"BUTTON", "Check", -1, IDC_CHECK, kChild | kTab | 2, 0, 5, 25, 60, 10},
    {"BUTTON", "Three", -1, IDC_AUTO3STATE, kChild | kTab | 6, 0, 70, 25, 60, 10},
    {"BUTTON", "Radio", -1, IDC_RADIO, kChild | kTab | 4, 0, 5, 40, 60, 10},
    {"BUTTON", "Group", -1, IDC_GROUP, kChild | 7, 0, 70, 40, 100, 30},
    {"EDIT", "", -1, IDC_EDIT, kChild | kTab | 0x00800000 | 0x80, 0x200, 5, 55, 60, 12},
    {"STATIC", "Text", -1, IDC_TEXT, kChild | 0x00020000, 0, 5, 75, 60, 8},
    {"STATIC", "", IDI_TEST, IDC_ICON_STATIC, kChild | 3, 0, 70, 75, 0, 0},
    {"LISTBOX", "", -1, IDC_LIST, kChild | 0x00800000 | 0x00200000 | 3, 0, 5, 90, 60, 40},
    {"SCROLLBAR", "", -1, IDC_SCROLL, kChild, 0, 70, 100, 60, 10},
    {"COMBOBOX", "", -1, IDC_COMBO, kChild | 0x100 | 3, 0, 140, 100, 50, 60},
    {"TNCUSTOM", "Custom", -1, IDC_CUSTOM, kChild | kTab, 0, 5, 135, 100, 10},
};

void expect_items(const std::vector<sim::DialogItem>& items, const std::string& text_item_text) {
    ASSERT_GE(items.size(), std::size(kClassicItems));
    for (std::size_t i = 0; i < std::size(kClassicItems); ++i) {
        const ExpectedItem& want = kClassicItems[i];
        const sim::DialogItem& got = items[i];
        SCOPED_TRACE(want.id);
        EXPECT_EQ(got.class_name, want.class_name);
        EXPECT_EQ(got.text, want.id == IDC_TEXT ? text_item_text : want.text);
        EXPECT_EQ(got.text_ordinal, want.text_ordinal);
        EXPECT_EQ(got.id, want.id);
        EXPECT_EQ(got.style, want.style);
        EXPECT_EQ(got.ex_style, want.ex_style);
        EXPECT_EQ(got.x, want.x);
        EXPECT_EQ(got.y, want.y);
        EXPECT_EQ(got.cx, want.cx);
        EXPECT_EQ(got.cy, want.cy);
        EXPECT_TRUE(got.creation_data.empty());
    }
}

Bytes template_bytes(int id) {
    auto bytes = sim::find_resource_bytes(RT_DIALOG, MAKEINTRESOURCEA(id));
    return bytes ? Bytes(bytes->begin(), bytes->end()) : Bytes();
}

class DialogTemplate : public SimMachine {};

TEST_F(DialogTemplate, ClassicFormEveryField) {
    use_codepage(1251);
    sim::DialogTemplate t;
    std::string error;
    ASSERT_TRUE(sim::load_dialog_template(MAKEINTRESOURCEA(IDD_CLASSIC), t, &error)) << error;
    EXPECT_FALSE(t.extended);
    EXPECT_EQ(t.help_id, 0u);
    EXPECT_EQ(t.style, 0x80C800C0u); // DS_MODALFRAME | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU
    EXPECT_EQ(t.ex_style, 0u);
    EXPECT_EQ(t.x, 10);
    EXPECT_EQ(t.y, 20);
    EXPECT_EQ(t.cx, 200);
    EXPECT_EQ(t.cy, 150);
    EXPECT_EQ(t.menu, "#200");
    EXPECT_EQ(t.class_name, "");
    EXPECT_EQ(t.caption, "Classic \xC4\xE8\xE0\xEB\xEE\xE3");
    EXPECT_TRUE(t.has_font);
    EXPECT_EQ(t.point_size, 8);
    EXPECT_EQ(t.weight, 0);
    EXPECT_FALSE(t.italic);
    EXPECT_EQ(t.charset, 0);
    EXPECT_EQ(t.face, "MS Sans Serif");
    ASSERT_EQ(t.items.size(), 13u);
    expect_items(t.items, "Text");
}

TEST_F(DialogTemplate, ExtendedFormEveryField) {
    use_codepage(1251);
    sim::DialogTemplate t;
    std::string error;
    ASSERT_TRUE(sim::load_dialog_template("#101", t, &error)) << error;
    EXPECT_TRUE(t.extended);
    EXPECT_EQ(t.help_id, 4242u);
    EXPECT_EQ(t.style, 0x80C00040u); // DS_SETFONT | WS_POPUP | WS_CAPTION
    EXPECT_EQ(t.ex_style, 0x80u);    // WS_EX_TOOLWINDOW
    EXPECT_EQ(t.x, -1);
    EXPECT_EQ(t.y, 2);
    EXPECT_EQ(t.cx, 300);
    EXPECT_EQ(t.cy, 200);
    EXPECT_EQ(t.menu, "");
    EXPECT_EQ(t.class_name, "TNDLGCLASS");
    EXPECT_EQ(t.caption, "Extended");
    EXPECT_TRUE(t.has_font);
    EXPECT_EQ(t.point_size, 9);
    EXPECT_EQ(t.weight, 700);
    EXPECT_TRUE(t.italic);
    EXPECT_EQ(t.charset, 204);
    EXPECT_EQ(t.face, "Arial");
    ASSERT_EQ(t.items.size(), 14u);
    expect_items(t.items, "\xD2\xE5\xEA\xF1\xF2");
    EXPECT_EQ(t.items[0].help_id, 11u);
    EXPECT_EQ(t.items[1].help_id, 0u);

    const sim::DialogItem& data = t.items[13];
    EXPECT_EQ(data.class_name, "TNCUSTOM");
    EXPECT_EQ(data.text, "Data");
    EXPECT_EQ(data.id, static_cast<std::uint32_t>(IDC_WITH_DATA));
    EXPECT_EQ(data.style, kChild | kTab);
    EXPECT_EQ(data.ex_style, 0x20000u); // WS_EX_STATICEDGE
    EXPECT_EQ(data.help_id, 77u);
    EXPECT_EQ(data.creation_data, (Bytes{1, 2, 3, 4, 5, 6}));
}

TEST_F(DialogTemplate, TextsFollowTheMachineCodePage) {
    use_codepage(1252);
    sim::DialogTemplate t;
    ASSERT_TRUE(sim::load_dialog_template(MAKEINTRESOURCEA(IDD_CLASSIC), t, nullptr));
    EXPECT_EQ(t.caption, "Classic ??????");
}

TEST_F(DialogTemplate, UnknownNamesAreReported) {
    sim::DialogTemplate t;
    std::string error;
    EXPECT_FALSE(sim::load_dialog_template(MAKEINTRESOURCEA(999), t, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(sim::load_dialog_template(nullptr, t, &error));
    EXPECT_FALSE(sim::load_dialog_template("", t, &error));
}

TEST_F(DialogTemplate, EveryTruncationIsRefused) {
    for (int id : {IDD_CLASSIC, IDD_EXTENDED}) {
        Bytes full = template_bytes(id);
        ASSERT_FALSE(full.empty());
        for (std::size_t n = 0; n < full.size(); ++n) {
            Bytes cut(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(n));
            sim::DialogTemplate t;
            std::string error;
            EXPECT_FALSE(sim::parse_dialog_template(cut.data(), cut.size(), 1252, t, &error))
                << id << " " << n;
            EXPECT_FALSE(error.empty());
        }
    }
}

TEST_F(DialogTemplate, DamagedCopiesParseOrFailSafely) {
    for (int id : {IDD_CLASSIC, IDD_EXTENDED}) {
        const Bytes full = template_bytes(id);
        for (std::size_t i = 0; i < full.size(); ++i) {
            for (unsigned char flip : {0x01, 0x80, 0xFF}) {
                Bytes damaged = full;
                damaged[i] ^= flip;
                sim::DialogTemplate t;
                if (sim::parse_dialog_template(damaged.data(), damaged.size(), 1252, t, nullptr)) {
                    EXPECT_LE(t.items.size(), damaged.size() / 18 + 1);
                }
            }
        }
    }
}

TEST_F(DialogTemplate, AnItemCountBeyondTheDataIsRefusedUpFront) {
    Bytes t = {0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 1, 0, 2, 0, 3, 0, 4, 0, 0, 0, 0, 0, 0, 0};
    sim::DialogTemplate out;
    std::string error;
    EXPECT_FALSE(sim::parse_dialog_template(t.data(), t.size(), 1252, out, &error));
    EXPECT_NE(error.find("items"), std::string::npos) << error;
    EXPECT_FALSE(sim::parse_dialog_template(nullptr, 100, 1252, out, &error));
}

} // namespace
