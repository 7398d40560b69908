// The conventions every wizard dialog follows, seen through the Welcome dialog.
#include "setup/dialogs/wizard.h"
#include "tests/tnsetup/setup_screen.h"

#include <functional>
#include <vector>

namespace {

// The dialog being shown, caught as it opens, so that a test can act on it as the user or the system would.
HWND shownDialog = nullptr;

INT_PTR CALLBACK WatchedWelcome(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) shownDialog = dialog;
    return WelcomeDlgProc(dialog, msg, wParam, lParam);
}

// Answers each wait with the next step; a step may act on the dialog before giving its input.
class StepAgent : public sim::Agent {
  public:
    explicit StepAgent(std::vector<std::function<sim::Input()>> steps) : steps_(std::move(steps)) {}
    sim::Input next(const sim::DialogSnapshot& snapshot) override {
        seen.push_back(snapshot);
        if (step_ >= steps_.size()) {
            sim::Input fail;
            fail.kind = sim::InputKind::Fail;
            fail.reason = "no more steps";
            return fail;
        }
        return steps_[step_++]();
    }
    void rejected(const sim::Input&, const std::string& reason, const sim::DialogSnapshot&) override {
        rejections.push_back(reason);
    }
    std::vector<sim::DialogSnapshot> seen;
    std::vector<std::string> rejections;

  private:
    std::vector<std::function<sim::Input()>> steps_;
    std::size_t step_ = 0;
};

class Wizard : public SetupScreen {
  protected:
    WORD Welcome(std::vector<std::function<sim::Input()>> steps) {
        agent = std::make_unique<StepAgent>(std::move(steps));
        sim::set_agent(agent.get());
        shownDialog = nullptr;
        return RunWizardDialog(DLG_WELCOME, WatchedWelcome);
    }
    static std::function<sim::Input()> Give(sim::Input input) {
        return [input] { return input; };
    }
    std::unique_ptr<StepAgent> agent;
};

TEST_F(Wizard, WelcomeContinuesOrLeavesWithoutAsking) {
    nDialogResult = 2; // left over from an earlier dialog: must not leak into this one
    EXPECT_EQ(Welcome({Give(sim::click("Continue"))}), kDialogContinue);
    EXPECT_EQ(Welcome({Give(sim::key_enter())}), kDialogContinue); // the default button
    EXPECT_EQ(Welcome({Give(sim::click("Exit"))}), kDialogExit);
    EXPECT_EQ(agent->seen.size(), 1u); // no confirmation came up
    EXPECT_EQ(Welcome({Give(sim::key_alt_f4())}), kDialogExit);
    EXPECT_EQ(agent->seen.size(), 1u);
}

TEST_F(Wizard, WelcomeShowsItsTemplateOverTheSetupWindow) {
    HWND owner = nullptr;
    bool focusInDialog = false;
    Welcome({[&] {
        owner = GetWindow(shownDialog, GW_OWNER);
        focusInDialog = GetFocus() == shownDialog || IsChild(shownDialog, GetFocus());
        return sim::click(IDC_WELCOME_CONTINUE);
    }});
    EXPECT_EQ(owner, hwndSetup);
    EXPECT_TRUE(focusInDialog);
    ASSERT_EQ(agent->seen.size(), 1u);
    const sim::DialogSnapshot& seen = agent->seen[0];
    EXPECT_EQ(seen.template_name, "WELCOME");
    EXPECT_EQ(seen.caption, "Welcome");
    EXPECT_EQ(seen.default_id, IDC_WELCOME_CONTINUE);
    EXPECT_FALSE(IsWindow(shownDialog)); // gone once the result is known
}

// A dialog whose Exit button would ask before leaving, as the options dialog does.
bool exitButtonPressed = false;
INT_PTR CALLBACK AskingDialog(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    static const WizardTraits traits = {IDS_CAPTION_OPTIONS, WizardColours::AllControls};
    INT_PTR result = FALSE;
    if (HandleWizardMessage(dialog, msg, wParam, lParam, traits, &result)) return result;
    if (msg == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
        exitButtonPressed = true;
        if (ConfirmExitSetup(dialog)) EndWizardDialog(dialog, kDialogExit);
        return TRUE;
    }
    if (msg == WM_COMMAND && LOWORD(wParam) == IDOK) EndWizardDialog(dialog, kDialogContinue);
    return msg == WM_COMMAND;
}

TEST_F(Wizard, ClosingEndsWithExitEvenWhereExitWouldAsk) {
    exitButtonPressed = false;
    sim::QueueAgent queue({sim::key_alt_f4()});
    sim::set_agent(&queue);
    EXPECT_EQ(RunWizardDialog(DLG_WELCOME, AskingDialog), kDialogExit);
    EXPECT_FALSE(exitButtonPressed);
    EXPECT_TRUE(queue.errors().empty());
    EXPECT_EQ(queue.seen().at(0).caption, "Welcome"); // fLatinTexts is clear: the template's caption
}

TEST_F(Wizard, ExitAsksFirstAndCancelGoesBackToTheDialog) {
    sim::QueueAgent queue({sim::click("Exit"), sim::click("Cancel"), sim::click("Exit"), sim::click("OK")});
    sim::set_agent(&queue);
    EXPECT_EQ(RunWizardDialog(DLG_WELCOME, AskingDialog), kDialogExit);
    EXPECT_TRUE(queue.errors().empty());
    ASSERT_EQ(queue.seen().size(), 4u);
    EXPECT_EQ(queue.seen()[1].template_name, "MESSAGE");
    EXPECT_EQ(queue.seen()[2].template_name, "WELCOME"); // Cancel: back, nothing changed
    EXPECT_EQ(queue.seen()[3].template_name, "MESSAGE");

    sim::QueueAgent again({sim::click("Exit"), sim::click("Cancel"), sim::key_enter()});
    sim::set_agent(&again);
    EXPECT_EQ(RunWizardDialog(DLG_WELCOME, AskingDialog), kDialogContinue);
}

TEST_F(Wizard, ACommandFromADisabledButtonIsIgnored) {
    WORD result =
        Welcome({[] {
                     EnableWindow(GetDlgItem(shownDialog, IDC_WELCOME_CONTINUE), FALSE);
                     // What Enter sends for a default button, whatever its state.
                     SendMessageA(shownDialog, WM_COMMAND, MAKEWPARAM(IDC_WELCOME_CONTINUE, BN_CLICKED), 0);
                     return sim::key_enter();
                 },
                 Give(sim::click("Exit"))});
    EXPECT_EQ(result, kDialogExit);
    EXPECT_EQ(agent->seen.size(), 2u); // still open after the refused command and the refused Enter
}

TEST_F(Wizard, CaptionsComeFromTheStringTableOnlyForLatinTexts) {
    HWND window =
        CreateWindowA("STATIC", "Template caption", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, hInst, nullptr);
    char caption[64];
    SetWizardCaption(window, IDS_CAPTION_DRIVEDIR);
    GetWindowTextA(window, caption, sizeof caption);
    EXPECT_STREQ(caption, "Template caption");
    fLatinTexts = TRUE;
    SetWizardCaption(window, IDS_CAPTION_DRIVEDIR);
    GetWindowTextA(window, caption, sizeof caption);
    EXPECT_STREQ(caption, "Define Directory");
    DestroyWindow(window);
    // The Welcome dialog under both settings.
    for (BOOL latin : {FALSE, TRUE}) {
        fLatinTexts = latin;
        Welcome({Give(sim::click("Continue"))});
        EXPECT_EQ(agent->seen.at(0).caption, "Welcome");
    }
}

TEST_F(Wizard, WelcomePaintsItsBackgroundAndTextsGreyAndLeavesButtonsAlone) {
    INT_PTR dialogBrush = 0, staticBrush = 0, buttonBrush = 0;
    COLORREF textBack = 0;
    Welcome({[&] {
        HDC dc = GetDC(shownDialog);
        SetBkColor(dc, RGB(255, 255, 255));
        dialogBrush = SendMessageA(shownDialog, WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(dc),
                                   reinterpret_cast<LPARAM>(shownDialog));
        staticBrush = SendMessageA(shownDialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), 0);
        textBack = GetBkColor(dc);
        buttonBrush = SendMessageA(shownDialog, WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(dc),
                                   reinterpret_cast<LPARAM>(GetDlgItem(shownDialog, IDC_WELCOME_EXIT)));
        ReleaseDC(shownDialog, dc);
        return sim::click("Continue");
    }});
    EXPECT_EQ(dialogBrush, reinterpret_cast<INT_PTR>(hbrDialogBack));
    EXPECT_EQ(staticBrush, reinterpret_cast<INT_PTR>(hbrDialogBack));
    EXPECT_EQ(textBack, RGB(192, 192, 192));
    EXPECT_NE(buttonBrush, reinterpret_cast<INT_PTR>(hbrDialogBack));
}

TEST_F(Wizard, TheSetupWindowIsRepaintedWhenADialogEnds) {
    Welcome({[] {
        // What the dialog covers must come back once it is gone, not wait for a later paint.
        ValidateRect(hwndSetup, nullptr);
        return sim::click("Continue");
    }});
    RECT pending{};
    EXPECT_FALSE(GetUpdateRect(hwndSetup, &pending, FALSE));
}

} // namespace
