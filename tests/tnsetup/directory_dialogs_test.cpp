// Define Directory and Insert disk: the paths they offer, list and give back.
#include "setup/core/pictures.h"
#include "tests/tnsetup/wizard_fixture.h"

namespace {

using sim::click;
using sim::type;

// The dialog's picture, as the screen shows it, is the bitmap at its natural size from the frame's corner.
void ExpectPictureInFrame(HWND dialog, int frameId, HBITMAP picture) {
    HWND frame = GetDlgItem(dialog, frameId);
    ASSERT_NE(frame, nullptr);
    sim::Surface screen = sim::compose_screen();
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(memory, picture);
    POINT corner{0, 0};
    ClientToScreen(frame, &corner);
    // The frame draws its border over the picture's edge: every pixel inside it is compared.
    SIZE size = PictureSize(picture);
    int differing = 0;
    for (int y = 1; y < size.cy - 1; ++y)
        for (int x = 1; x < size.cx - 1; ++x) {
            COLORREF drawn = GetPixel(memory, x, y);
            std::uint32_t rgb = GetRValue(drawn) << 16 | GetGValue(drawn) << 8 | GetBValue(drawn);
            differing += (screen.at(corner.x + x, corner.y + y) & 0xFFFFFF) != rgb;
        }
    EXPECT_EQ(differing, 0);
    SelectObject(memory, old);
    DeleteDC(memory);
}

class DirectoryDialogs : public WizardDialogs {};

TEST_F(DirectoryDialogs, DefineDirectoryBrowsesFromItsStartAndGivesTheChoiceInUpperCase) {
    Put("C:\\APPS\\TOOLS\\");
    Put("C:\\APPS\\DATA\\");
    CopyText(szDialogPath, "C:\\APPS\\");
    Answer({sim::double_click(IDC_DRIVEDIR_DIRS, "[TOOLS]"), sim::double_click(IDC_DRIVEDIR_DIRS, "[..]"),
            click("OK")});
    EXPECT_EQ(RunDriveDirDialog(), kDialogContinue);
    EXPECT_STREQ(szDialogPath, "C:\\APPS\\");
    EXPECT_EQ(Seen(0, IDC_DRIVEDIR_PATH).text, "c:\\apps");
    EXPECT_EQ(Seen(0, IDC_DRIVEDIR_DIRS).entries, (std::vector<std::string>{"[..]", "[DATA]", "[TOOLS]"}));
    EXPECT_EQ(Seen(0, IDC_DRIVEDIR_DRIVES).text, "[-c-]");
    EXPECT_EQ(Seen(1, IDC_DRIVEDIR_PATH).text, "c:\\apps\\tools");

    // A root keeps its backslash; a typed path is listed without rewriting the field.
    CopyText(szDialogPath, "C:\\");
    Answer({type(IDC_DRIVEDIR_PATH, "c:\\apps\\t"), click("OK")});
    EXPECT_EQ(RunDriveDirDialog(), kDialogContinue);
    EXPECT_EQ(Seen(3, IDC_DRIVEDIR_DIRS).entries[0], "[APPS]");
    EXPECT_EQ(Seen(4, IDC_DRIVEDIR_PATH).text, "c:\\apps\\t");
    EXPECT_STREQ(szDialogPath, "C:\\APPS\\T\\");
}

TEST_F(DirectoryDialogs, DefineDirectoryReportsWhatCannotBeListedAndStaysUsable) {
    CopyText(szDialogPath, "C:\\NO\\WHERE\\");
    Answer({click("OK")});
    EXPECT_EQ(RunDriveDirDialog(), kDialogExit); // the start itself cannot be listed
    EXPECT_EQ(Messages(), (std::vector<std::string>{"Directory path not valid: 'C:\\NO\\WHERE'"}));

    // A floppy drive without a disk, and a path typed into a directory that is not there: each is
    // reported when it is met, and the dialog goes on.
    set("no-drive A:");
    set("drive A: removable NODISK");
    CopyText(szDialogPath, "C:\\WINDOWS\\");
    Answer({sim::select(IDC_DRIVEDIR_DRIVES, "[-a-]"), click("OK"), type(IDC_DRIVEDIR_PATH, "c:\\x\\"),
            click("OK"), type(IDC_DRIVEDIR_PATH, ""), type(IDC_DRIVEDIR_PATH, "c:\\windows\\system"),
            click("OK")});
    EXPECT_EQ(RunDriveDirDialog(), kDialogContinue);
    EXPECT_EQ(Messages()[1], "Directory path not valid: 'a:'");
    EXPECT_EQ(Messages()[2], "Directory path not valid: 'c:\\x\\'");
    EXPECT_EQ(Seen(6, IDC_DRIVEDIR_OK).enabled, false); // an empty path is no directory
    EXPECT_STREQ(szDialogPath, "C:\\WINDOWS\\SYSTEM\\");
}

TEST_F(DirectoryDialogs, TheCountryAndDiskPicturesStandAtTheirFramesCorners) {
    CheckingAgent country({click("Exit")},
                          [](HWND dialog) { ExpectPictureInFrame(dialog, IDC_SETUPDIR_PICTURE, hbmNation); });
    sim::set_agent(&country);
    RunSetupDirDialog();
    CheckingAgent disk({sim::key_alt_f4()},
                       [](HWND dialog) { ExpectPictureInFrame(dialog, IDC_DISK_PICTURE, hbmDirect); });
    sim::set_agent(&disk);
    RunInsertDiskDialog("Disk 2");
    sim::set_agent(&agent);
}

class InsertDisk : public WizardDialogs {
  protected:
    WORD Prompt() { return RunInsertDiskDialog("TARNO Setup Disk 2"); }
};

TEST_F(InsertDisk, OffersTheLastSourceElseTheSetupDiskSectionElseTheFloppy) {
    PutInf("[disks]\n1=Disk 1\n");
    Answer({click("OK")});
    EXPECT_EQ(Prompt(), kDialogContinue);
    EXPECT_EQ(Seen(0, IDC_DISK_PATH).text, "A:\\");
    EXPECT_EQ(Seen(0, IDC_DISK_LABEL).text, "TARNO Setup Disk 2");
    EXPECT_EQ(agent.seen()[0].caption, "TARNO Setup");

    PutInf("[SetupDisk]\nD:\\DIST\\=\nE:\\=\n");
    Answer({click("OK")});
    Prompt();
    EXPECT_EQ(Seen(1, IDC_DISK_PATH).text, "D:\\DIST\\");

    fSourcePathSet = TRUE;
    CopyText(szSourceDir, "C:\\DISKS\\TWO\\");
    Answer({click("OK")});
    Prompt();
    EXPECT_EQ(Seen(2, IDC_DISK_PATH).text, "C:\\DISKS\\TWO\\");
    EXPECT_STREQ(szDialogPath, "C:\\DISKS\\TWO\\");
}

TEST_F(InsertDisk, TheTypedPathEndsInOneBackslashAndAnEmptyFieldIsNoPath) {
    Answer({type(IDC_DISK_PATH, ""), type(IDC_DISK_PATH, "D:\\DISK1"), click("OK")});
    EXPECT_EQ(Prompt(), kDialogContinue);
    EXPECT_FALSE(Seen(1, IDC_DISK_OK).enabled);
    EXPECT_STREQ(szDialogPath, "D:\\DISK1\\");
    Answer({type(IDC_DISK_PATH, "D:\\DISK1\\"), click("OK")});
    EXPECT_EQ(Prompt(), kDialogContinue);
    EXPECT_STREQ(szDialogPath, "D:\\DISK1\\");

    // A path that leaves no room for its backslash is refused, not cut into another one.
    std::string deep = "C:\\" + std::string(115, 'D') + "X"; // 119 characters
    Answer({type(IDC_DISK_PATH, deep), click("OK"), click("OK"), type(IDC_DISK_PATH, deep.substr(0, 118)),
            click("OK")});
    EXPECT_EQ(Prompt(), kDialogContinue);
    EXPECT_EQ(Messages(), (std::vector<std::string>{"Directory path not valid: '" + deep + "'"}));
    EXPECT_STREQ(szDialogPath, (deep.substr(0, 118) + "\\").c_str());
}

TEST_F(InsertDisk, CancelAsksFirstAndBrowseCancelledChangesNothing) {
    CopyText(szDestDir, "C:\\WINDOWS\\");
    Answer({type(IDC_DISK_PATH, "D:\\TYPED"), click("Cancel"), click("Cancel"), click("Browse..."),
            click("Cancel"), click("Browse..."), sim::double_click(IDC_DRIVEDIR_DIRS, "[SYSTEM]"),
            click("OK"), click("Cancel"), click("OK")});
    EXPECT_EQ(Prompt(), kDialogExit);
    EXPECT_EQ(SeenDialogs(), "INSERTDISK INSERTDISK MESSAGE INSERTDISK DRIVEDIR INSERTDISK DRIVEDIR DRIVEDIR "
                             "INSERTDISK MESSAGE");
    EXPECT_EQ(Seen(3, IDC_DISK_PATH).text, "D:\\TYPED"); // still open after Cancel in the question
    EXPECT_EQ(Seen(4, IDC_DRIVEDIR_PATH).text, "c:\\windows");
    EXPECT_EQ(Seen(5, IDC_DISK_PATH).text, "D:\\TYPED");
    EXPECT_EQ(Seen(8, IDC_DISK_PATH).text, "C:\\WINDOWS\\SYSTEM\\");
    EXPECT_EQ(Messages()[0], "Do you want to exit from TARNO Setup?");
}

const char kCountries[] = "[Country Key]\nRussia=RUS\nUkraine=UKR\n"
                          "[default.setup]\nRUS=1251,866,1,x,1,Russian\nUKR=1252,855,1,x,1,Ukrainian\n";

class CountryAndDestination : public WizardDialogs {};

TEST_F(CountryAndDestination, TheDestinationIsTakenAsTypedWithItsBackslashAndTheCountryWithItsCodePage) {
    PutInf(kCountries);
    struct Case {
        const char* typed;
        const char* stored;
    };
    const Case cases[] = {{"c:\\my apps", "c:\\my apps\\"}, {"C:", "C:\\"}, {"D:\\TARNO\\", "D:\\TARNO\\"}};
    for (const Case& c : cases) {
        Answer({type(IDC_SETUPDIR_PATH, c.typed), sim::select(IDC_SETUPDIR_COUNTRY, "Ukraine"), click("OK")});
        EXPECT_EQ(RunSetupDirDialog(), kDialogContinue);
        EXPECT_STREQ(szDestDir, c.stored);
    }
    EXPECT_STREQ(szCountryKey, "UKR");
    EXPECT_STREQ(szSystemFontsCodePage, "1252");

    // Too long for the destination with its backslash: refused, never cut into another path.
    std::string deep = "C:\\" + std::string(256, 'D');
    Answer({type(IDC_SETUPDIR_PATH, deep), click("OK"), click("OK"), click("Exit")});
    EXPECT_EQ(RunSetupDirDialog(), kDialogExit);
    EXPECT_EQ(Messages().at(0).substr(0, 28), "Directory path not valid: 'C");
    EXPECT_STREQ(szDestDir, ""); // nothing taken
}

TEST_F(CountryAndDestination, BrowsingAddsTheProductFolderUnlessTheChosenDirectoryEndsInIt) {
    PutInf(kCountries);
    Answer({click("Browse..."), type(IDC_DRIVEDIR_PATH, "c:\\mytarno"), click("OK"), click("Browse..."),
            type(IDC_DRIVEDIR_PATH, "c:\\windows\\tarno"), click("OK"), click("Exit")});
    EXPECT_EQ(RunSetupDirDialog(), kDialogExit);
    EXPECT_EQ(Seen(3, IDC_SETUPDIR_PATH).text, "C:\\MYTARNO\\");
    EXPECT_EQ(Seen(6, IDC_SETUPDIR_PATH).text, "C:\\WINDOWS\\TARNO\\");
}

TEST_F(CountryAndDestination, ServerSetupTakesOnlyTheDestination) {
    PutInf(kCountries);
    fServerSetup = TRUE;
    CopyText(szCountryKey, "OLD");
    CopyText(szSystemFontsCodePage, "9999");
    Answer({click("OK")});
    EXPECT_EQ(RunSetupDirDialog(), kDialogContinue);
    EXPECT_FALSE(Seen(0, IDC_SETUPDIR_COUNTRY).enabled);
    EXPECT_TRUE(Seen(0, IDC_SETUPDIR_COUNTRY).entries.empty());
    EXPECT_STREQ(szDestDir, "C:\\WINDOWS\\TARNO\\");
    EXPECT_STREQ(szCountryKey, "OLD");
    EXPECT_STREQ(szSystemFontsCodePage, "9999");
}

} // namespace
