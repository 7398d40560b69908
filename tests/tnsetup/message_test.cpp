// The Message dialog: its run-time layout, buttons, results and default buttons; the string table.
#include "platform/sim/gdi/internal.h"
#include "setup/resources/ids.h"
#include "tests/tnsetup/tnsetup_fixture.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <cstdint>
#include <vector>

namespace {

// Records the geometry of the Message dialog in front, then answers with the queued input.
class GeometryAgent : public sim::QueueAgent {
  public:
    struct Button {
        RECT rect; // client coordinates of the dialog
        std::string text;
        bool isDefault;
    };
    sim::Input next(const sim::DialogSnapshot& snapshot) override {
        HWND dialog = GetParent(GetFocus());
        GetClientRect(dialog, &client);
        buttons.clear();
        for (int id : {IDC_MSG_BUTTON1, IDC_MSG_BUTTON2, IDC_MSG_BUTTON3}) {
            HWND button = GetDlgItem(dialog, id);
            Button b{};
            GetWindowRect(button, &b.rect);
            MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&b.rect), 2);
            char text[32];
            GetWindowTextA(button, text, sizeof text);
            b.text = text;
            b.isDefault = snapshot.default_id == id;
            buttons.push_back(b);
        }
        char title[64];
        GetWindowTextA(dialog, title, sizeof title);
        caption = title;
        screen = sim::compose_screen();
        POINT origin{0, 0};
        MapWindowPoints(dialog, nullptr, &origin, 1);
        clientOrigin = origin;
        return QueueAgent::next(snapshot);
    }
    // Colour of a client point of the dialog as the screen shows it.
    std::uint32_t pixel(int x, int y) const {
        return screen.at(clientOrigin.x + x, clientOrigin.y + y) & 0xFFFFFF;
    }
    RECT client{};
    POINT clientOrigin{};
    sim::Surface screen;
    std::vector<Button> buttons;
    std::string caption;
};

class MessageDialog : public TnSetup {
  protected:
    void SetUp() override {
        TnSetup::SetUp();
        sim::set_agent(&geometry);
    }
    void TearDown() override {
        EXPECT_TRUE(geometry.errors().empty());
        TnSetup::TearDown();
    }
    int show(const char* text, UINT style, sim::Input answer = sim::key_enter()) {
        geometry.push(answer);
        return SetupMessageBox(text, "Caption", "MS Sans Serif", style);
    }
    static int width(const RECT& r) { return r.right - r.left; }
    GeometryAgent geometry;
};

TEST_F(MessageDialog, AOneLineTextIsCentredOnTheIconAndTheButtonSitsBelowIt) {
    EXPECT_EQ(show("Short text.", MB_ICONHAND), IDOK);
    const MessageLayout& layout = LastMessageLayout();
    EXPECT_EQ(layout.iconSize, 32);
    EXPECT_EQ(layout.text.left, 52);
    EXPECT_EQ(layout.text.top, 10 + 32 / 3);
    EXPECT_EQ(layout.text.bottom, 10 + 32 + 32 / 3);
    EXPECT_EQ(geometry.buttons[0].rect.top, layout.text.bottom + 10);
    EXPECT_EQ(geometry.client.right, layout.clientWidth);
    EXPECT_EQ(geometry.client.bottom, layout.clientHeight);
    EXPECT_EQ(geometry.caption, "Caption");
}

TEST_F(MessageDialog, TheIconAndTheTextArePaintedOnLightGrey) {
    show("WWWW", MB_ICONEXCLAMATION);
    ASSERT_GT(geometry.screen.width, 0);
    const MessageLayout& layout = LastMessageLayout();
    const std::uint32_t grey = 0xC0C0C0;
    EXPECT_EQ(geometry.pixel(layout.text.right + 5, layout.text.top), grey);
    auto inked = [&](int left, int top, int right, int bottom) {
        int count = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                count += geometry.pixel(x, y) != grey;
        return count;
    };
    EXPECT_GT(inked(layout.text.left, layout.text.top, layout.text.right, layout.text.bottom), 0);
    int iconTop = (layout.text.bottom - 32 - layout.text.top) / 2 + 10;
    EXPECT_GT(inked(10, iconTop, 42, iconTop + 32), 0);
    EXPECT_EQ(inked(0, 0, 8, layout.text.top), 0);
}

TEST_F(MessageDialog, ALongTextWrapsWithinHalfTheScreen) {
    std::string text;
    for (int i = 0; i < 80; ++i)
        text += "word ";
    show(text.c_str(), MB_ICONASTERISK);
    const MessageLayout& layout = LastMessageLayout();
    int halfScreen = GetSystemMetrics(SM_CXSCREEN) / 2;
    EXPECT_LE(layout.clientWidth, halfScreen + 32 + 40);
    EXPECT_GT(layout.text.bottom - layout.text.top, 32);
    EXPECT_EQ(layout.text.top, 10);
}

TEST_F(MessageDialog, ThreeButtonsOnANarrowTextFillTheWidthWithTheGapClampedToOne) {
    EXPECT_EQ(show("x", MB_ABORTRETRYIGNORE | MB_DEFBUTTON2, sim::click(IDC_MSG_BUTTON3)), IDIGNORE);
    int w = width(geometry.buttons[0].rect);
    EXPECT_EQ(geometry.client.right, 3 * w);
    EXPECT_EQ(geometry.buttons[0].rect.left, 1);
    EXPECT_EQ(geometry.buttons[1].rect.left, w + 2);
    EXPECT_EQ(geometry.buttons[2].rect.left, 3 + 2 * w);
    EXPECT_EQ(geometry.buttons[0].text, "Abort");
    EXPECT_EQ(geometry.buttons[1].text, "Retry");
    EXPECT_TRUE(geometry.buttons[1].isDefault);
    EXPECT_EQ(LastMessageLayout().iconSize, 0);
}

TEST_F(MessageDialog, TypeZeroShowsOnlyOkTheOthersStandBelowTheDialog) {
    EXPECT_EQ(show("Only OK.", MB_OK | MB_DEFBUTTON3), IDOK);
    EXPECT_EQ(geometry.buttons[0].text, "OK");
    EXPECT_TRUE(geometry.buttons[0].isDefault);
    for (int i : {1, 2}) {
        EXPECT_EQ(geometry.buttons[i].rect.top, 3000);
        EXPECT_EQ(width(geometry.buttons[i].rect), 20);
    }
    EXPECT_EQ(LastMessageLayout().buttonCount, 1);
}

TEST_F(MessageDialog, ButtonsAnswerByType) {
    EXPECT_EQ(show("q", MB_YESNO, sim::click(IDC_MSG_BUTTON1)), IDYES);
    EXPECT_EQ(show("q", MB_YESNO, sim::click(IDC_MSG_BUTTON2)), IDNO);
    EXPECT_EQ(show("q", MB_OKCANCEL, sim::click(IDC_MSG_BUTTON2)), IDCANCEL);
    EXPECT_EQ(show("q", MB_ABORTRETRYIGNORE, sim::click(IDC_MSG_BUTTON1)), IDABORT);
    EXPECT_EQ(show("q", MB_YESYESTOALLNO, sim::click(IDC_MSG_BUTTON1)), IDYES);
    EXPECT_EQ(show("q", MB_YESYESTOALLNO, sim::click("Yes to All")), IDYESTOALL);
    EXPECT_EQ(show("q", MB_YESYESTOALLNO | MB_DEFBUTTON3, sim::click("No")), IDNO);
    // Yes to All stands in the middle; the third button from the left, No, is the default.
    EXPECT_EQ(geometry.buttons[2].text, "Yes to All");
    EXPECT_LT(geometry.buttons[2].rect.left, geometry.buttons[1].rect.left);
    EXPECT_TRUE(geometry.buttons[1].isDefault);
}

// Escape presses the dialog's Cancel control: on the question with Yes to All that must be No.
TEST_F(MessageDialog, EscapeAndAltF4NeverAnswerYesToAll) {
    EXPECT_EQ(show("q", MB_YESYESTOALLNO, sim::key_escape()), IDNO);
    EXPECT_EQ(show("q", MB_YESYESTOALLNO | MB_DEFBUTTON2, sim::key_alt_f4()), IDNO);
    EXPECT_EQ(show("q", MB_YESNO, sim::key_escape()), IDNO);
}

TEST_F(MessageDialog, AltF4AnswersWithTheDefaultButtonWhereThereIsAChoice) {
    EXPECT_EQ(show("q", MB_YESNO | MB_DEFBUTTON2, sim::key_alt_f4()), IDNO);
    EXPECT_EQ(show("q", MB_YESNO, sim::key_alt_f4()), IDYES);
    EXPECT_EQ(show("q", MB_ABORTRETRYIGNORE | MB_DEFBUTTON2, sim::key_alt_f4()), IDRETRY);
    EXPECT_EQ(show("q", MB_ABORTRETRYIGNORE | MB_DEFBUTTON3, sim::key_alt_f4()), IDABORT);
    EXPECT_EQ(show("q", MB_OKCANCEL | MB_DEFBUTTON2, sim::key_alt_f4()), IDCANCEL);
    EXPECT_EQ(show("q", MB_OK, sim::key_alt_f4()), IDOK);
}

TEST_F(MessageDialog, MessagesByIdBearTheLatinCaptionWhenTheSystemFontNeedsIt) {
    geometry.push(sim::key_enter());
    ShowSetupMessage(nullptr, MB_ICONHAND, IDS_NO_WINDOWS_DIR);
    char caption[64];
    LoadStringA(GetModuleHandleA(nullptr), IDS_CAPTION, caption, sizeof caption);
    EXPECT_EQ(geometry.caption, caption);
    fLatinTexts = TRUE;
    geometry.push(sim::key_enter());
    ShowSetupMessage(nullptr, MB_ICONHAND, IDS_NO_WINDOWS_DIR);
    LoadStringA(GetModuleHandleA(nullptr), IDS_CAPTION_LATIN, caption, sizeof caption);
    EXPECT_EQ(geometry.caption, caption);
}

// Every string id named in the program's sources, looked up by the value ids.h gives it.
TEST_F(MessageDialog, EveryStringTheCodeUsesIsInTheTable) {
    namespace fs = std::filesystem;
    const fs::path setup = fs::path(TARNO_SOURCE_DIR) / "setup";
    std::map<std::string, UINT> values;
    std::ifstream header(setup / "resources" / "ids.h");
    const std::regex define(R"(#define\s+(IDS_\w+)\s+(\d+))");
    for (std::string line; std::getline(header, line);)
        if (std::smatch m; std::regex_search(line, m, define)) values[m[1]] = std::stoul(m[2]);
    ASSERT_GT(values.size(), 100u);

    std::set<std::string> used;
    const std::regex name(R"(\bIDS_\w+)");
    for (const auto& entry : fs::recursive_directory_iterator(setup)) {
        if (entry.path().extension() != ".cpp") continue;
        std::ifstream source(entry.path());
        std::string text((std::istreambuf_iterator<char>(source)), std::istreambuf_iterator<char>());
        for (std::sregex_iterator it(text.begin(), text.end(), name), end; it != end; ++it)
            used.insert(it->str());
    }
    ASSERT_GT(used.size(), 40u);
    for (const std::string& id : used) {
        ASSERT_TRUE(values.count(id)) << id << " is not defined with a number in ids.h";
        char text[512];
        EXPECT_GT(LoadStringA(GetModuleHandleA(nullptr), values[id], text, sizeof text), 0) << id;
    }
}

} // namespace
