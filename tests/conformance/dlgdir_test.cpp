// Directory listings in list and combo boxes: what DlgDirList puts in the list, what it leaves in the
// caller's path pattern and the path static, and what DlgDirSelectEx gives back.
#include "tests/conformance/dialog_builder.h"
#include "tests/conformance/fixture.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

namespace {

using dlgtest::Cls;

enum { kList = 40, kCombo = 50, kPath = 60 };

std::string lower(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::vector<std::string> entries(HWND d, int id, bool combo) {
    std::vector<std::string> out;
    LRESULT n = SendDlgItemMessageA(d, id, combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < n; ++i) {
        char buf[MAX_PATH] = "";
        SendDlgItemMessageA(d, id, combo ? CB_GETLBTEXT : LB_GETTEXT, static_cast<WPARAM>(i),
                            reinterpret_cast<LPARAM>(buf));
        out.push_back(buf);
    }
    return out;
}

int position(const std::vector<std::string>& v, const std::string& s) {
    auto it = std::find(v.begin(), v.end(), s);
    return it == v.end() ? -1 : static_cast<int>(it - v.begin());
}

class DlgDir : public Conformance {
  protected:
    void SetUp() override {
        Conformance::SetUp();
        put("b.txt", "b");
        put("a.txt", "a");
        put("c.dat", "c");
        make_dir("sub");
    }
    void in_dialog(const std::function<void(HWND)>& body) {
        dlgtest::DialogBuilder b(WS_POPUP | WS_CAPTION, 10, 10, 200, 120, "Directories");
        b.item(Cls::ListBox, WS_BORDER | LBS_NOTIFY | WS_VSCROLL, kList, "", 5, 5, 90, 80)
            .item(Cls::ComboBox, CBS_DROPDOWNLIST | WS_VSCROLL, kCombo, "", 100, 5, 90, 80)
            .item(Cls::Static, SS_LEFT, kPath, "", 5, 95, 190, 8);
        dlgtest::DialogRun run;
        run.body = [&](HWND d) {
            body(d);
            // Leave the scratch folder so that it can be removed.
            char root[] = "C:\\";
            DlgDirListA(d, root, 0, 0, 0);
        };
        dlgtest::run_dialog(b, run);
    }
    std::string scratch_shown() const { return lower(scratch().substr(0, scratch().size() - 1)); }
};

TEST_F(DlgDir, FilesThenDirectoriesThenDrivesAndThePatternLeftInTheSpec) {
    in_dialog([&](HWND d) {
        std::string pattern_path = scratch() + "*.txt";
        std::vector<char> buf(pattern_path.begin(), pattern_path.end());
        buf.push_back(0);
        ASSERT_TRUE(DlgDirListA(d, buf.data(), kList, kPath, DDL_DIRECTORY | DDL_DRIVES));
        EXPECT_STREQ(buf.data(), "*.TXT");
        char path[MAX_PATH];
        GetDlgItemTextA(d, kPath, path, sizeof path);
        EXPECT_EQ(std::string(path), scratch_shown());
        auto e = entries(d, kList, false);
        int a = position(e, "a.txt"), b = position(e, "b.txt"), up = position(e, "[..]"),
            sub = position(e, "[sub]"), c = position(e, "[-c-]");
        EXPECT_EQ(position(e, "c.dat"), -1);
        EXPECT_EQ(a, 0);
        EXPECT_EQ(b, 1);
        EXPECT_LT(b, up);
        EXPECT_LT(up, sub);
        EXPECT_LT(sub, c);
    });
}

TEST_F(DlgDir, ExclusiveListingsAndTheComboBox) {
    in_dialog([&](HWND d) {
        std::string pattern_path = scratch();
        std::vector<char> buf(pattern_path.begin(), pattern_path.end());
        buf.push_back(0);
        ASSERT_TRUE(DlgDirListA(d, buf.data(), kList, 0, DDL_DIRECTORY | DDL_EXCLUSIVE));
        EXPECT_EQ(entries(d, kList, false), (std::vector<std::string>{"[..]", "[sub]"}));
        char drives[] = "*.*";
        ASSERT_TRUE(DlgDirListComboBoxA(d, drives, kCombo, kPath, DDL_DRIVES | DDL_EXCLUSIVE));
        auto e = entries(d, kCombo, true);
        EXPECT_GE(position(e, "[-c-]"), 0);
        for (const auto& s : e)
            EXPECT_EQ(s.substr(0, 2), "[-");
        // The list held by the combo box is still the directory we were in.
        char path[MAX_PATH];
        GetDlgItemTextA(d, kPath, path, sizeof path);
        EXPECT_EQ(std::string(path), scratch_shown());
    });
}

TEST_F(DlgDir, SelectionGivesDirectoriesWithABackslashAndDrivesWithAColon) {
    in_dialog([&](HWND d) {
        std::string pattern_path = scratch() + "*.*";
        std::vector<char> buf(pattern_path.begin(), pattern_path.end());
        buf.push_back(0);
        ASSERT_TRUE(DlgDirListA(d, buf.data(), kList, 0, DDL_DIRECTORY | DDL_DRIVES));
        auto e = entries(d, kList, false);
        char out[MAX_PATH];
        SendDlgItemMessageA(d, kList, LB_SETCURSEL, static_cast<WPARAM>(position(e, "[sub]")), 0);
        EXPECT_TRUE(DlgDirSelectExA(d, out, sizeof out, kList));
        EXPECT_STREQ(out, "sub\\");
        SendDlgItemMessageA(d, kList, LB_SETCURSEL, static_cast<WPARAM>(position(e, "[-c-]")), 0);
        EXPECT_TRUE(DlgDirSelectExA(d, out, sizeof out, kList));
        EXPECT_STREQ(out, "c:");
        SendDlgItemMessageA(d, kList, LB_SETCURSEL, static_cast<WPARAM>(position(e, "c.dat")), 0);
        EXPECT_FALSE(DlgDirSelectExA(d, out, sizeof out, kList));
        EXPECT_STREQ(out, "c.dat");
        char small[3];
        EXPECT_FALSE(DlgDirSelectExA(d, small, sizeof small, kList));
        EXPECT_STREQ(small, "c.");
    });
}

TEST_F(DlgDir, AMissingDirectoryFailsAndLeavesTheListAlone) {
    in_dialog([&](HWND d) {
        SendDlgItemMessageA(d, kList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("keep"));
        std::string pattern_path = scratch() + "nothere\\*.*";
        std::vector<char> buf(pattern_path.begin(), pattern_path.end());
        buf.push_back(0);
        EXPECT_FALSE(DlgDirListA(d, buf.data(), kList, kPath, DDL_DIRECTORY));
        EXPECT_EQ(entries(d, kList, false), (std::vector<std::string>{"keep"}));
    });
}

} // namespace
