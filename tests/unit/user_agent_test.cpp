// The user agent at work: inputs applied to dialogs, message boxes and the Open dialog as Windows applies
// mouse and keyboard input, and what the agent is told when Windows would ignore an input.
#include "platform/sim/driver/agent.h"
#include "platform/sim/sim.h"
#include "platform/win32.h"
#include "platform/sim/user/internal.h"
#include "tests/conformance/dialog_builder.h"
#include "tests/unit/sim_fixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;
using dlgtest::Cls;
using dlgtest::Command;

namespace {

class Agent : public ::testing::Test {
  protected:
    void SetUp() override {
        char tmpl[] = "/tmp/agent-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        root_ = tmpl;
        std::string error;
        ASSERT_TRUE(sim::create_default_machine((root_ / "m").string(), &error)) << error;
        ASSERT_TRUE(sim::attach((root_ / "m").string(), "C:\\TEST.EXE", "C:\\", &error)) << error;
        sim::set_agent(&queue_);
    }
    void TearDown() override {
        sim::set_agent(nullptr);
        sim::detach();
        fs::remove_all(root_);
    }

    // A dialog whose procedure records WM_COMMAND and ends on the buttons 1 to 8.
    INT_PTR run(dlgtest::DialogBuilder& b) {
        run_ = dlgtest::DialogRun{};
        run_.init = [](HWND) { return TRUE; };
        return DialogBoxIndirectParamA(nullptr, b.get(), nullptr, proc, reinterpret_cast<LPARAM>(this));
    }

    static INT_PTR CALLBACK proc(HWND d, UINT msg, WPARAM wparam, LPARAM lparam) {
        if (msg == WM_INITDIALOG) {
            SetWindowLongPtrA(d, DWLP_USER, lparam);
            return TRUE;
        }
        auto* self = reinterpret_cast<Agent*>(GetWindowLongPtrA(d, DWLP_USER));
        if (msg == WM_COMMAND && self) {
            self->run_.commands.push_back(Command{LOWORD(wparam), HIWORD(wparam)});
            if (self->on_command) self->on_command(d, LOWORD(wparam));
            bool button = LOWORD(wparam) >= IDOK && LOWORD(wparam) <= 8 && LOWORD(wparam) != IDCANCEL;
            if (button && HIWORD(wparam) == BN_CLICKED) {
                self->last_checks.clear();
                for (int id : {10, 11, 12})
                    self->last_checks.push_back(IsDlgButtonChecked(d, id));
                char buf[64];
                GetDlgItemTextA(d, 30, buf, sizeof buf);
                self->last_text = buf;
                EndDialog(d, LOWORD(wparam));
            }
            return TRUE;
        }
        return FALSE;
    }

    static dlgtest::DialogBuilder form() {
        dlgtest::DialogBuilder b(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 10, 10, 200, 150,
                                 "Form");
        b.item(Cls::Button, BS_AUTOCHECKBOX | WS_TABSTOP, 10, "&Fonts", 5, 5, 60, 10)
            .item(Cls::Button, BS_AUTO3STATE | WS_TABSTOP, 11, "&Printer fonts", 5, 17, 60, 10)
            .item(Cls::Button, BS_AUTOCHECKBOX | WS_TABSTOP | WS_DISABLED, 12, "&Locked", 5, 29, 60, 10)
            .item(Cls::Edit, WS_BORDER | WS_TABSTOP | ES_UPPERCASE, 30, "C:\\OLD", 5, 45, 100, 12)
            .item(Cls::ListBox, WS_BORDER | LBS_NOTIFY | LBS_MULTIPLESEL, 40, "", 5, 60, 80, 40)
            .item(Cls::ComboBox, CBS_DROPDOWNLIST | WS_TABSTOP, 50, "", 100, 60, 80, 50)
            .item(Cls::Button, BS_DEFPUSHBUTTON | WS_TABSTOP, IDOK, "&Continue", 100, 120, 45, 14)
            .item(Cls::Button, BS_PUSHBUTTON | WS_TABSTOP, 3, "E&xit", 150, 120, 45, 14);
        return b;
    }

    fs::path root_;
    sim::QueueAgent queue_;
    dlgtest::DialogRun run_;
    std::function<void(HWND, int)> on_command;
    std::vector<UINT> last_checks;
    std::string last_text;
};

TEST_F(Agent, ClicksChecksAndTypingReachTheDialogAsOnWindows) {
    auto b = form();
    queue_.push(sim::click("&Fonts"));
    queue_.push(sim::check(11, 2)); // two clicks: checked, then grey
    queue_.push(sim::type(30, "d:\\tarno"));
    queue_.push(sim::click("Continue")); // the text with or without "&"
    EXPECT_EQ(run(b), IDOK);
    EXPECT_EQ(last_checks, (std::vector<UINT>{1, 2, 0}));
    EXPECT_EQ(last_text, "D:\\TARNO");
    EXPECT_TRUE(queue_.errors().empty());
    int changes = 0;
    for (const auto& c : run_.commands)
        changes += c.id == 30 && c.code == EN_CHANGE;
    EXPECT_EQ(changes, 8); // one per key, the first replacing the selected old text
    ASSERT_FALSE(queue_.seen().empty());
    const auto& snap = queue_.seen().front();
    EXPECT_EQ(snap.caption, "Form");
    EXPECT_EQ(snap.default_id, IDOK);
    ASSERT_EQ(snap.controls.size(), 8u);
    EXPECT_FALSE(snap.controls[2].enabled);
    EXPECT_EQ(snap.controls[0].checked, 0);
    EXPECT_EQ(snap.controls[3].text, "C:\\OLD");
}

TEST_F(Agent, InputsWindowsWouldIgnoreAreReportedAndHaveNoEffect) {
    auto b = form();
    queue_.push(sim::click(12));              // disabled
    queue_.push(sim::check(10, 2));           // a two-state box has no grey state
    queue_.push(sim::select(50, "Nowhere"));  // not an entry
    queue_.push(sim::click(77));              // no such control
    queue_.push(sim::select_many(50, {"x"})); // not a multiple-selection list
    queue_.push(sim::click("E&xit"));
    EXPECT_EQ(run(b), 3);
    EXPECT_EQ(queue_.errors().size(), 5u);
    EXPECT_EQ(last_checks[2], 0u);
    EXPECT_NE(queue_.errors()[0].find("disabled"), std::string::npos);
}

TEST_F(Agent, EnterPressesOnlyAnEnabledDefaultButton) {
    auto b = form();
    on_command = [](HWND d, int id) {
        if (id == 10) EnableWindow(GetDlgItem(d, IDOK), IsDlgButtonChecked(d, 10) == BST_CHECKED);
    };
    queue_.push(sim::click(10)); // enables Continue
    queue_.push(sim::click(10)); // disables it again
    queue_.push(sim::key_enter());
    queue_.push(sim::check(10, 1));
    queue_.push(sim::key_enter());
    EXPECT_EQ(run(b), IDOK);
    ASSERT_EQ(queue_.errors().size(), 1u);
    EXPECT_NE(queue_.errors()[0].find("default button is disabled"), std::string::npos);
}

TEST_F(Agent, EscapeAndAltF4GiveCancelWithoutACancelButton) {
    for (auto key : {sim::key_escape(), sim::key_alt_f4()}) {
        auto b = form();
        on_command = [](HWND d, int id) {
            if (id == IDCANCEL) EndDialog(d, 99);
        };
        queue_.push(key);
        EXPECT_EQ(run(b), 99);
        ASSERT_FALSE(run_.commands.empty());
        EXPECT_EQ(run_.commands.back().id, IDCANCEL);
    }
}

TEST_F(Agent, ListAndComboSelectionsNotifyInWindowsOrder) {
    auto b = form();
    std::function<void(HWND)> fill = [](HWND d) {
        for (const char* s : {"Arial", "Courier", "Times"}) {
            SendDlgItemMessageA(d, 40, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
            SendDlgItemMessageA(d, 50, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
        }
    };
    bool filled = false;
    on_command = [&](HWND d, int) {
        if (!filled) fill(d);
        filled = true;
    };
    queue_.push(sim::click(10)); // only to fill the lists from the procedure
    queue_.push(sim::select(50, "courier"));
    queue_.push(sim::select_many(40, {"Arial", "Times"}));
    queue_.push(sim::key_enter());
    run(b);
    EXPECT_TRUE(queue_.errors().empty());
    std::vector<int> combo, list;
    for (const auto& c : run_.commands) {
        if (c.id == 50) combo.push_back(c.code);
        if (c.id == 40) list.push_back(c.code);
    }
    EXPECT_EQ(combo, (std::vector<int>{CBN_SETFOCUS, CBN_DROPDOWN, CBN_SELENDOK, CBN_CLOSEUP, CBN_SELCHANGE,
                                       CBN_KILLFOCUS}));
    EXPECT_EQ(list, (std::vector<int>{LBN_SETFOCUS, LBN_SELCHANGE, LBN_SELCHANGE}));
    const auto& last = queue_.seen().back();
    EXPECT_EQ(last.controls[4].selected, (std::vector<int>{0, 2}));
    EXPECT_EQ(last.controls[5].text, "Courier");
}

TEST_F(Agent, DefaultsAgentPressesTheDefaultButtonOfDialogsAndMessageBoxes) {
    sim::DefaultsAgent defaults;
    sim::set_agent(&defaults);
    auto b = form();
    EXPECT_EQ(run(b), IDOK);
    EXPECT_EQ(MessageBoxA(nullptr, "Replace the file?", "Setup", MB_YESNO | MB_DEFBUTTON2 | MB_ICONQUESTION),
              IDNO);
    EXPECT_EQ(MessageBoxA(nullptr, "Disk full", nullptr, MB_ABORTRETRYIGNORE | MB_DEFBUTTON2), IDRETRY);
}

TEST_F(Agent, MessageBoxButtonsAndTheirAnswersToEscape) {
    queue_.push(sim::key_escape()); // MB_OK: Escape answers OK
    EXPECT_EQ(MessageBoxA(nullptr, "Done", "Setup", MB_OK), IDOK);
    queue_.push(sim::key_escape()); // no Cancel button: Escape does nothing
    queue_.push(sim::key_alt_f4());
    queue_.push(sim::click("&No"));
    EXPECT_EQ(MessageBoxA(nullptr, "Continue?", "Setup", MB_YESNO), IDNO);
    queue_.push(sim::key_alt_f4());
    EXPECT_EQ(MessageBoxA(nullptr, "Continue?", "Setup", MB_YESNOCANCEL), IDCANCEL);
    queue_.push(sim::click("Retry"));
    EXPECT_EQ(MessageBoxA(nullptr, "Again?", "Setup", MB_RETRYCANCEL), IDRETRY);
    const auto& snap = queue_.seen().back();
    EXPECT_EQ(snap.kind, "message");
    bool text_shown = false;
    for (const auto& c : snap.controls)
        text_shown = text_shown || c.text == "Again?";
    EXPECT_TRUE(text_shown);
}

TEST_F(Agent, AnAgentOutOfInputsEndsTheProgramNamingTheDialog) {
    EXPECT_EXIT(
        {
            auto b = form();
            run(b);
        },
        ::testing::ExitedWithCode(3), "no input left for \"Form\"");
}

TEST_F(Agent, OpenDialogReturnsThePathTheAgentTypes) {
    fs::create_directories(root_ / "m" / "C" / "DATA");
    std::ofstream(root_ / "m" / "C" / "DATA" / "LAYOUT.INF") << "x";
    char file[64] = "";
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.lpstrFilter = "Setup files\0*.INF\0All files\0*.*\0";
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof file;
    ofn.lpstrInitialDir = "C:\\DATA";
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    queue_.push(sim::type(1152, "missing.inf"));
    queue_.push(sim::key_enter());
    queue_.push(sim::key_enter()); // the "file not found" message box
    queue_.push(sim::type(1152, "layout.inf"));
    queue_.push(sim::key_enter());
    ASSERT_TRUE(GetOpenFileNameA(&ofn));
    EXPECT_STREQ(file, "C:\\DATA\\layout.inf"); // the name as typed
    EXPECT_EQ(ofn.nFileOffset, 8);
    EXPECT_EQ(ofn.nFileExtension, 15);
    EXPECT_EQ(queue_.seen()[0].kind, "open");
    EXPECT_EQ(queue_.seen()[2].kind, "message");
    bool listed = false;
    for (const auto& c : queue_.seen()[0].controls)
        for (const auto& e : c.entries)
            listed = listed || e == "LAYOUT.INF";
    EXPECT_TRUE(listed);

    char tiny[8] = "";
    ofn.lpstrFile = tiny;
    ofn.nMaxFile = sizeof tiny;
    queue_.push(sim::type(1152, "C:\\DATA\\LAYOUT.INF"));
    queue_.push(sim::key_enter());
    EXPECT_FALSE(GetOpenFileNameA(&ofn));
    EXPECT_EQ(CommDlgExtendedError(), static_cast<DWORD>(FNERR_BUFFERTOOSMALL));
    queue_.push(sim::click("Cancel"));
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof file;
    EXPECT_FALSE(GetOpenFileNameA(&ofn));
    EXPECT_EQ(CommDlgExtendedError(), 0u);
}

} // namespace

namespace {

class BadDialogs : public SimMachine {};

TEST_F(BadDialogs, AnUnknownControlClassFailsTheDialogWithAReason) {
    sim::DialogTemplate t;
    t.style = WS_POPUP | WS_CAPTION | DS_MODALFRAME;
    t.cx = 100;
    t.cy = 50;
    sim::DialogItem item;
    item.class_name = "NOSUCHCLASS";
    item.id = 42;
    item.style = WS_CHILD | WS_VISIBLE;
    item.cx = 20;
    item.cy = 10;
    t.items.push_back(item);
    testing::internal::CaptureStderr();
    EXPECT_EQ(sim::user::create_dialog(nullptr, t, nullptr, nullptr, 0), nullptr);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("control 42 has the unknown class \"NOSUCHCLASS\""),
              std::string::npos);
}

TEST_F(BadDialogs, AMissingTemplateIsNamed) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(DialogBoxParamA(nullptr, "NOSUCHDIALOG", nullptr, nullptr, 0), -1);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("dialog template NOSUCHDIALOG"), std::string::npos);
}

} // namespace

namespace {

// A message's line breaks stay visible, and on one line, where the dialog is shown as text.
TEST(AgentText, LineBreaksOfTextsAreWrittenOut) {
    sim::DialogSnapshot message;
    message.kind = "message";
    message.painted = {"Layouts and Fonts.\rOtherwise\r\n"};
    message.controls.push_back({});
    message.controls.back().text = "a\nb";
    std::string shown = sim::describe(message);
    EXPECT_NE(shown.find("text \"Layouts and Fonts.\\rOtherwise\\r\\n\""), std::string::npos) << shown;
    EXPECT_NE(shown.find("\"a\\nb\""), std::string::npos) << shown;
}

} // namespace
