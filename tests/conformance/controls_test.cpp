// The standard controls driven by their messages inside a dialog: results, states and the notifications
// that reach the dialog procedure.
#include "tests/conformance/dialog_builder.h"
#include "tests/conformance/fixture.h"

#include <string>
#include <vector>

namespace {

using dlgtest::Cls;
using dlgtest::Command;
using Commands = std::vector<Command>;

class Controls : public Conformance {
  protected:
    // Runs BODY in a dialog holding one control of each kind the tests use.
    void with_dialog(const std::function<void(HWND, dlgtest::DialogRun&)>& body) {
        dlgtest::DialogBuilder b(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 10, 10, 260, 180,
                                 "Controls");
        b.item(Cls::Button, BS_AUTOCHECKBOX | WS_TABSTOP, 10, "&Check", 5, 5, 60, 10)
            .item(Cls::Button, BS_AUTO3STATE | WS_TABSTOP, 11, "&Three", 5, 17, 60, 10)
            .item(Cls::Button, BS_CHECKBOX | WS_TABSTOP, 12, "Manual", 5, 29, 60, 10)
            .item(Cls::Button, BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 20, "One", 70, 5, 50, 10)
            .item(Cls::Button, BS_AUTORADIOBUTTON, 21, "Two", 70, 17, 50, 10)
            .item(Cls::Button, BS_AUTORADIOBUTTON, 22, "Three", 70, 29, 50, 10)
            .item(Cls::Button, BS_AUTORADIOBUTTON | WS_GROUP, 23, "Other group", 70, 41, 50, 10)
            .item(Cls::Edit, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL | WS_GROUP, 30, "", 5, 55, 100, 12)
            .item(Cls::Edit, WS_BORDER | ES_UPPERCASE | ES_AUTOHSCROLL, 31, "", 110, 55, 100, 12)
            .item(Cls::ListBox, WS_BORDER | LBS_SORT | LBS_NOTIFY | WS_VSCROLL, 40, "", 5, 70, 80, 50)
            .item(Cls::ListBox, WS_BORDER | LBS_MULTIPLESEL | LBS_NOTIFY, 41, "", 90, 70, 80, 50)
            .item(Cls::ListBox, WS_BORDER | LBS_NOTIFY, 42, "", 175, 70, 80, 50)
            .item(Cls::ListBox, WS_BORDER | LBS_NOINTEGRALHEIGHT, 43, "", 5, 140, 80, 30)
            .item(Cls::ComboBox, CBS_DROPDOWNLIST | CBS_SORT | WS_VSCROLL | WS_TABSTOP, 50, "", 5, 125, 80,
                  60)
            .item(Cls::ComboBox, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 51, "", 90, 125, 80, 60)
            .item(Cls::Static, SS_LEFT, 60, "Static", 175, 125, 60, 8)
            .item(Cls::Button, BS_DEFPUSHBUTTON | WS_TABSTOP, IDOK, "OK", 200, 160, 50, 14);
        dlgtest::DialogRun run;
        run.body = [&](HWND d) {
            run.commands.clear();
            body(d, run);
        };
        EXPECT_EQ(dlgtest::run_dialog(b, run), 77);
    }
};

LRESULT send(HWND d, int id, UINT msg, WPARAM w = 0, LPARAM l = 0) {
    return SendDlgItemMessageA(d, id, msg, w, l);
}
LRESULT send_text(HWND d, int id, UINT msg, WPARAM w, const char* text) {
    return SendDlgItemMessageA(d, id, msg, w, reinterpret_cast<LPARAM>(text));
}
std::string item_text(HWND d, int id, UINT msg, int index) {
    char buf[256] = "";
    send(d, id, msg, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buf));
    return buf;
}

TEST_F(Controls, CheckBoxesClickAndSetTheirStates) {
    with_dialog([](HWND d, dlgtest::DialogRun& run) {
        send(d, 10, BM_CLICK);
        EXPECT_EQ(IsDlgButtonChecked(d, 10), static_cast<UINT>(BST_CHECKED));
        send(d, 10, BM_CLICK);
        EXPECT_EQ(IsDlgButtonChecked(d, 10), static_cast<UINT>(BST_UNCHECKED));
        // An automatic three-state box cycles unchecked, checked, grey, unchecked.
        std::vector<UINT> states;
        for (int i = 0; i < 3; ++i) {
            send(d, 11, BM_CLICK);
            states.push_back(IsDlgButtonChecked(d, 11));
        }
        EXPECT_EQ(states, (std::vector<UINT>{BST_CHECKED, BST_INDETERMINATE, BST_UNCHECKED}));
        // A plain check box only notifies; the grey state does not exceed checked on a two-state box.
        send(d, 12, BM_CLICK);
        EXPECT_EQ(IsDlgButtonChecked(d, 12), static_cast<UINT>(BST_UNCHECKED));
        CheckDlgButton(d, 12, BST_INDETERMINATE);
        EXPECT_EQ(IsDlgButtonChecked(d, 12), static_cast<UINT>(BST_CHECKED));
        CheckDlgButton(d, 11, BST_INDETERMINATE);
        EXPECT_EQ(IsDlgButtonChecked(d, 11), static_cast<UINT>(BST_INDETERMINATE));
        Commands clicks;
        for (const auto& c : run.commands)
            if (c.code == BN_CLICKED) clicks.push_back(c);
        EXPECT_EQ(clicks, (Commands{{10, 0}, {10, 0}, {11, 0}, {11, 0}, {11, 0}, {12, 0}}));
        EXPECT_EQ(IsDlgButtonChecked(d, 999), 0u);
    });
}

TEST_F(Controls, AutoRadioButtonsUncheckTheirGroupOnly) {
    with_dialog([](HWND d, dlgtest::DialogRun&) {
        CheckDlgButton(d, 23, BST_CHECKED);
        send(d, 20, BM_CLICK);
        send(d, 22, BM_CLICK);
        EXPECT_EQ(IsDlgButtonChecked(d, 20), 0u);
        EXPECT_EQ(IsDlgButtonChecked(d, 22), 1u);
        EXPECT_EQ(IsDlgButtonChecked(d, 23), 1u); // another group
        CheckRadioButton(d, 20, 22, 21);
        EXPECT_EQ(IsDlgButtonChecked(d, 21), 1u);
        EXPECT_EQ(IsDlgButtonChecked(d, 22), 0u);
    });
}

TEST_F(Controls, EditTypingStopsAtTheLimitButSetTextDoesNot) {
    with_dialog([](HWND d, dlgtest::DialogRun& run) {
        HWND e = GetDlgItem(d, 30);
        send(d, 30, EM_LIMITTEXT, 4);
        EXPECT_EQ(send(d, 30, EM_GETLIMITTEXT), 4);
        for (char c : std::string("abcdef"))
            SendMessageA(e, WM_CHAR, static_cast<WPARAM>(c), 0);
        char buf[32];
        GetWindowTextA(e, buf, sizeof buf);
        EXPECT_STREQ(buf, "abcd");
        int changes = 0, maxtext = 0;
        for (const auto& c : run.commands) {
            changes += c.id == 30 && c.code == EN_CHANGE;
            maxtext += c.id == 30 && c.code == EN_MAXTEXT;
        }
        EXPECT_EQ(changes, 6); // every key press notifies, also those the limit refused
        EXPECT_EQ(maxtext, 2);
        run.commands.clear();
        SetWindowTextA(e, "longer than four");
        GetWindowTextA(e, buf, sizeof buf);
        EXPECT_STREQ(buf, "longer than four");
        EXPECT_EQ(run.commands, (Commands{{30, EN_UPDATE}, {30, EN_CHANGE}}));
        // Backspace and a replaced selection.
        send(d, 30, EM_SETSEL, 0, 6);
        SendMessageA(e, WM_CHAR, VK_BACK, 0);
        GetWindowTextA(e, buf, sizeof buf);
        EXPECT_STREQ(buf, " than four");
        DWORD start = 9, end = 9;
        send(d, 30, EM_SETSEL, 1, -1);
        send(d, 30, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        EXPECT_EQ(start, 1u);
        EXPECT_EQ(end, 10u);
    });
}

TEST_F(Controls, UppercaseEditConvertsTypedText) {
    with_dialog([](HWND d, dlgtest::DialogRun&) {
        HWND e = GetDlgItem(d, 31);
        for (char c : std::string("c:\\tarno"))
            SendMessageA(e, WM_CHAR, static_cast<WPARAM>(c), 0);
        char buf[32];
        GetWindowTextA(e, buf, sizeof buf);
        EXPECT_STREQ(buf, "C:\\TARNO");
        SetWindowTextA(e, "d:\\set");
        GetWindowTextA(e, buf, sizeof buf);
        EXPECT_STREQ(buf, "D:\\SET");
    });
}

TEST_F(Controls, SortedListBoxOrdersWithoutRegardToCase) {
    with_dialog([](HWND d, dlgtest::DialogRun& run) {
        for (const char* s : {"beta", "Alpha", "gamma", "ALPHA2", "alpha"})
            send_text(d, 40, LB_ADDSTRING, 0, s);
        std::vector<std::string> got;
        for (int i = 0; i < send(d, 40, LB_GETCOUNT); ++i)
            got.push_back(item_text(d, 40, LB_GETTEXT, i));
        ASSERT_EQ(got.size(), 5u);
        EXPECT_EQ(got[0].size(), 5u); // "Alpha" and "alpha" in either order
        EXPECT_EQ(got[2], "ALPHA2");
        EXPECT_EQ(got[3], "beta");
        EXPECT_EQ(got[4], "gamma");
        EXPECT_EQ(send_text(d, 40, LB_FINDSTRING, static_cast<WPARAM>(-1), "GA"), 4);
        EXPECT_EQ(send_text(d, 40, LB_FINDSTRING, 3, "alpha"),
                  0); // searches on from the entry after 3, wrapping
        EXPECT_EQ(send_text(d, 40, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), "Alpha2"), 2);
        EXPECT_EQ(send_text(d, 40, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), "alp"), LB_ERR);
        EXPECT_EQ(send_text(d, 40, LB_INSERTSTRING, 1, "zzz"), 1); // inserting does not sort
        EXPECT_EQ(item_text(d, 40, LB_GETTEXT, 1), "zzz");
        EXPECT_EQ(send_text(d, 40, LB_INSERTSTRING, 99, "x"), LB_ERR);
        EXPECT_EQ(send(d, 40, LB_GETTEXTLEN, 1), 3);
        EXPECT_EQ(send(d, 40, LB_GETTEXTLEN, 6), LB_ERR);
        EXPECT_EQ(send(d, 40, LB_DELETESTRING, 1), 5);
        EXPECT_EQ(send(d, 40, LB_DELETESTRING, 5), LB_ERR);
        EXPECT_TRUE(run.commands.empty()); // messages from the program notify nothing
    });
}

TEST_F(Controls, SingleSelectionListBox) {
    with_dialog([](HWND d, dlgtest::DialogRun& run) {
        for (const char* s : {"one", "two", "three"})
            send_text(d, 42, LB_ADDSTRING, 0, s);
        EXPECT_EQ(send(d, 42, LB_GETCURSEL), LB_ERR);
        EXPECT_EQ(send(d, 42, LB_SETCURSEL, 1), 1);
        EXPECT_EQ(send(d, 42, LB_GETCURSEL), 1);
        EXPECT_GT(send(d, 42, LB_GETSEL, 1), 0);
        EXPECT_EQ(send(d, 42, LB_GETSEL, 0), 0);
        EXPECT_EQ(send(d, 42, LB_SETCURSEL, static_cast<WPARAM>(-1)), LB_ERR);
        EXPECT_EQ(send(d, 42, LB_GETCURSEL), LB_ERR);
        EXPECT_EQ(send_text(d, 42, LB_SELECTSTRING, static_cast<WPARAM>(-1), "TH"), 2);
        EXPECT_EQ(send(d, 42, LB_GETCURSEL), 2);
        EXPECT_EQ(send(d, 42, LB_GETSELCOUNT), LB_ERR);
        EXPECT_TRUE(send(d, 42, LB_SETITEMDATA, 2, 0x5151));
        EXPECT_EQ(send(d, 42, LB_GETITEMDATA, 2), 0x5151);
        EXPECT_EQ(send(d, 42, LB_GETITEMDATA, 7), LB_ERR);
        // Deleting entries before the selection moves it with its entry.
        send(d, 42, LB_DELETESTRING, 0);
        EXPECT_EQ(send(d, 42, LB_GETCURSEL), 1);
        send(d, 42, LB_RESETCONTENT);
        EXPECT_EQ(send(d, 42, LB_GETCOUNT), 0);
        EXPECT_EQ(send(d, 42, LB_GETCURSEL), LB_ERR);
        EXPECT_TRUE(run.commands.empty());
    });
}

TEST_F(Controls, MultipleSelectionListBox) {
    with_dialog([](HWND d, dlgtest::DialogRun&) {
        for (const char* s : {"Courier", "Arial", "Times", "Symbol"})
            send_text(d, 41, LB_ADDSTRING, 0, s);
        EXPECT_EQ(send(d, 41, LB_SETSEL, TRUE, 1), 0);
        EXPECT_EQ(send(d, 41, LB_SETSEL, TRUE, 3), 0);
        EXPECT_EQ(send(d, 41, LB_SETSEL, TRUE, 9), LB_ERR);
        EXPECT_EQ(send(d, 41, LB_GETSELCOUNT), 2);
        int items[4] = {-1, -1, -1, -1};
        EXPECT_EQ(send(d, 41, LB_GETSELITEMS, 4, reinterpret_cast<LPARAM>(items)), 2);
        EXPECT_EQ(items[0], 1);
        EXPECT_EQ(items[1], 3);
        EXPECT_EQ(send(d, 41, LB_GETSELITEMS, 1, reinterpret_cast<LPARAM>(items)), 1);
        EXPECT_EQ(send(d, 41, LB_SETCURSEL, 0), LB_ERR); // not for multiple selection
        send(d, 41, LB_SETSEL, FALSE, static_cast<LPARAM>(-1));
        EXPECT_EQ(send(d, 41, LB_GETSELCOUNT), 0);
        send(d, 41, LB_SETSEL, TRUE, static_cast<LPARAM>(-1));
        EXPECT_EQ(send(d, 41, LB_GETSELCOUNT), 4);
    });
}

int height_of(HWND d, int id, bool client) {
    RECT r;
    if (client) {
        GetClientRect(GetDlgItem(d, id), &r);
        return r.bottom;
    }
    GetWindowRect(GetDlgItem(d, id), &r);
    return r.bottom - r.top;
}

// Sizing a list box cuts its height to a whole number of entries, unless LBS_NOINTEGRALHEIGHT keeps the
// height it is given.
TEST_F(Controls, ListBoxIsAWholeNumberOfEntriesHigh) {
    with_dialog([](HWND d, dlgtest::DialogRun&) {
        int entry = static_cast<int>(send(d, 42, LB_GETITEMHEIGHT));
        ASSERT_GT(entry, 0);
        int border = height_of(d, 42, false) - height_of(d, 42, true);
        SetWindowPos(GetDlgItem(d, 42), nullptr, 0, 0, 50, 4 * entry + border + entry / 2,
                     SWP_NOMOVE | SWP_NOZORDER);
        EXPECT_EQ(height_of(d, 42, true), 4 * entry);

        RECT kept{0, 0, 80, 30};
        MapDialogRect(d, &kept);
        EXPECT_EQ(height_of(d, 43, false), kept.bottom);
        SetWindowPos(GetDlgItem(d, 43), nullptr, 0, 0, 50, 4 * entry + border + entry / 2,
                     SWP_NOMOVE | SWP_NOZORDER);
        EXPECT_EQ(height_of(d, 43, true), 4 * entry + entry / 2);
    });
}

TEST_F(Controls, SortedDropDownList) {
    with_dialog([](HWND d, dlgtest::DialogRun& run) {
        for (const char* s : {"United States", "Belarus", "russia", "Ukraine"})
            send_text(d, 50, CB_ADDSTRING, 0, s);
        EXPECT_EQ(item_text(d, 50, CB_GETLBTEXT, 0), "Belarus");
        EXPECT_EQ(item_text(d, 50, CB_GETLBTEXT, 1), "russia");
        EXPECT_EQ(item_text(d, 50, CB_GETLBTEXT, 3), "United States");
        EXPECT_EQ(send(d, 50, CB_GETCURSEL), CB_ERR);
        EXPECT_EQ(send_text(d, 50, CB_SELECTSTRING, static_cast<WPARAM>(-1), "RUS"), 1);
        char buf[32];
        GetDlgItemTextA(d, 50, buf, sizeof buf);
        EXPECT_STREQ(buf, "russia");
        EXPECT_EQ(send_text(d, 50, CB_SELECTSTRING, static_cast<WPARAM>(-1), "France"), CB_ERR);
        EXPECT_EQ(send(d, 50, CB_GETCURSEL), 1);               // a failed search keeps the selection
        EXPECT_EQ(send_text(d, 50, CB_FINDSTRING, 1, "u"), 2); // from the entry after 1
        EXPECT_EQ(send_text(d, 50, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), "UKRAINE"), 2);
        EXPECT_EQ(send_text(d, 50, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), "Ukr"), CB_ERR);
        EXPECT_EQ(send(d, 50, CB_GETLBTEXTLEN, 3), 13);
        EXPECT_EQ(send(d, 50, CB_GETLBTEXTLEN, 4), CB_ERR);
        EXPECT_EQ(send(d, 50, CB_SETCURSEL, 9), CB_ERR);
        // An index out of range clears the selection (Wine keeps it, unlike the documented behaviour).
        if (on_simulator()) {
            EXPECT_EQ(send(d, 50, CB_GETCURSEL), CB_ERR);
        }
        EXPECT_EQ(send(d, 50, CB_SETCURSEL, 2), 2);
        EXPECT_NE(send(d, 50, CB_SETITEMDATA, 2, 1251), CB_ERR);
        EXPECT_EQ(send(d, 50, CB_GETITEMDATA, 2), 1251);
        EXPECT_EQ(send(d, 50, CB_DELETESTRING, 0), 3);
        EXPECT_EQ(send(d, 50, CB_GETCURSEL), 1);
        EXPECT_EQ(send(d, 50, CB_DELETESTRING, 7), CB_ERR);
        send(d, 50, CB_RESETCONTENT);
        EXPECT_EQ(send(d, 50, CB_GETCOUNT), 0);
        EXPECT_EQ(GetDlgItemTextA(d, 50, buf, sizeof buf), 0u);
        Commands notifications;
        for (const auto& c : run.commands)
            if (c.id == 50 && (c.code == CBN_SELCHANGE || c.code == CBN_SELENDOK)) notifications.push_back(c);
        EXPECT_TRUE(notifications.empty());
    });
}

TEST_F(Controls, UnsortedDropDownListKeepsInsertionOrder) {
    with_dialog([](HWND d, dlgtest::DialogRun&) {
        for (const char* s : {"c", "a", "b"})
            send_text(d, 51, CB_ADDSTRING, 0, s);
        EXPECT_EQ(send_text(d, 51, CB_INSERTSTRING, 0, "first"), 0);
        EXPECT_EQ(send_text(d, 51, CB_INSERTSTRING, static_cast<WPARAM>(-1), "last"), 4);
        EXPECT_EQ(item_text(d, 51, CB_GETLBTEXT, 1), "c");
        EXPECT_EQ(item_text(d, 51, CB_GETLBTEXT, 4), "last");
    });
}

TEST_F(Controls, PushButtonStyleGivesTheDialogCode) {
    with_dialog([](HWND d, dlgtest::DialogRun&) {
        EXPECT_EQ(send(d, IDOK, WM_GETDLGCODE) & DLGC_DEFPUSHBUTTON, DLGC_DEFPUSHBUTTON);
        send(d, IDOK, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
        EXPECT_EQ(send(d, IDOK, WM_GETDLGCODE) & DLGC_UNDEFPUSHBUTTON, DLGC_UNDEFPUSHBUTTON);
    });
}

} // namespace
