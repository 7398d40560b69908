// The installation driver: every dialog, the disk-space check, the copy, the system update, the product
// settings file and the Program Manager group, one after another. The user may go back from the options to
// the country, and a short disk or a declined uninstall warning leads back to the options.
#include "common/bounded.h"
#include "setup/copy/copy.h"
#include "setup/core/lang_table.h"
#include "setup/core/setup.h"
#include "setup/dialogs/wizard.h"
#include "setup/inf/inf.h"
#include "setup/messages/messages.h"
#include "setup/progman/progman.h"
#include "setup/resources/ids.h"
#include "setup/sysconfig/sysconfig.h"

#include <cstdlib>

namespace {

constexpr UINT kUninstallWarningStyle = MB_YESNO | MB_DEFBUTTON2 | MB_ICONINFORMATION; // 0x144
constexpr UINT kReplaceQuestionStyle = MB_YESNO | MB_ICONQUESTION;                     // 0x24

// Where the choice of components goes next.
enum class Step { Country, Options, Check, Chosen, Cancel };

// Express setup skips the dialogs that only ask for confirmation, whatever setup1.inf asks for.
void ApplyExpressSetup() {
    if (!fExpressSetup) return;
    fAskSetupOptions = FALSE;
    fShowWelcomeDialog = FALSE;
}

void PostClose(HWND window) {
    if (window) PostMessageA(window, WM_CLOSE, 0, 0);
}

// The product's own programs hold files that are about to be replaced.
void CloseRunningProductParts() {
    PostClose(FindWindowA(nullptr, "TARNO"));
    PostClose(FindWindowA("TARNO", nullptr));
    PostClose(FindWindowA("TARNOIndicatorClass", nullptr));
    PostClose(FindWindowA("TNKeybClass", nullptr));
}

// A server or workstation installation needs Windows on a network drive.
bool IsRightDriveForMode() {
    if (!fServerSetup && !fWorkstationSetup) return true;
    char root[4];
    CopyText(root, szWindowsDir);
    return GetDriveTypeA(root) == DRIVE_REMOTE;
}

bool RunCountryStep() {
    if (fWorkstationSetup) return ReadWorkstationLocation();
    if (fAskCountryAndPath) return RunSetupDirDialog() != kDialogExit;
    return SetDefaultCountryAndPath(szDefaultUserCountry);
}

// What the country decides: the printers to care for, the layouts and defaults, an earlier installation.
void TakeCountryDefaults() {
    int pins = DetectDotMatrixPrinters();
    if (pins == 9 || pins == 33) f9PinPrinters = TRUE;
    if (pins == 24 || pins == 33) f24PinPrinters = TRUE;
    FillLangTable(); // its failures have shown their messages; the user may still choose
    fAlreadyInstalled = IsAlreadyInstalled();
}

Step CountryStep() {
    if (!RunCountryStep()) return Step::Cancel;
    TakeCountryDefaults();
    return fServerSetup ? Step::Check : Step::Options;
}

Step OptionsStep() {
    if (!fAskSetupOptions) return Step::Check;
    switch (RunSetupOptionsDialog()) {
    case kDialogExit:
        return Step::Cancel;
    case kDialogBack:
        fAskCountryAndPath = TRUE; // the country dialog is shown on the way back
        return Step::Country;
    default:
        return Step::Check;
    }
}

// The uninstaller can only undo an installation of program files, layouts and fonts together.
bool AcceptsUninstallState() {
    fUninstallEnabled = !fAlreadyInstalled && fProgramFiles && fLayouts && fFonts;
    if (fAlreadyInstalled || fUninstallEnabled) return true;
    int answer = ShowSetupMessage(hwndSetup, kUninstallWarningStyle, IDS_UNINSTALL_WARNING);
    return LOWORD(answer) != IDNO;
}

Step CheckStep() {
    if (!AcceptsUninstallState()) return Step::Options;
    char name[32];
    LoadText(IDS_FILE_UNINST_INF, name, sizeof name);
    if (!JoinPath(szUninstInf, szDestDir, name)) {
        // The uninstall information could not be named in this destination.
        ShowSetupMessage(hwndSetup, MB_ICONHAND, IDS_DIR_NOT_VALID, szDestDir);
        return Step::Cancel;
    }
    if (CheckDiskSpace()) return Step::Chosen;
    fAskSetupOptions = TRUE; // so that the user can choose fewer components
    return Step::Options;
}

// Country, options and checks, as often as the user goes back; false when the installation is cancelled.
bool ChooseComponents() {
    Step step = Step::Country;
    for (;;) {
        switch (step) {
        case Step::Country:
            step = CountryStep();
            break;
        case Step::Options:
            step = OptionsStep();
            break;
        case Step::Check:
            step = CheckStep();
            break;
        case Step::Chosen:
            return true;
        case Step::Cancel:
            return false;
        }
    }
}

void PrepareDestination() {
    char dir[kPathCap];
    CopyText(dir, szDestDir);
    int length = lstrlenA(dir);
    if (length > 0) dir[length - 1] = '\0'; // the trailing backslash
    CreateDirectoryA(dir, nullptr);         // it may exist already
    if (!fWriteLog) return;
    CreateSetupLog(szDestDir);
    if (fWriteLog) WriteLogHeader();
}

void AskReplaceOldFiles() {
    if (!fAlreadyInstalled) return;
    int answer = ShowSetupMessage(hwndSetup, kReplaceQuestionStyle, IDS_ALREADY_INSTALLED);
    fReplaceOldFiles = LOWORD(answer) == IDYES;
}

bool CopyServerInstallation() {
    if (!CopyServerDisk("1", TRUE)) return false;
    CopyServerDisk("2", FALSE);
    CreateServerFontFiles(szDestDir);
    return true;
}

bool CopyProductFiles() {
    if (!CopyFiles()) {
        LogLine("Copying not complete.");
        return false;
    }
    LogLine("Copying complete.");
    return true;
}

bool UpdateSystem() {
    if (!UpdateSystemConfiguration()) {
        LogLine("Updating system information not complete.");
        return false;
    }
    LogLine("Updating system information complete.");
    LogLine("Editing TARNO.INI...");
    WriteProductSettingsFile();
    LogLine("Editing TARNO.INI complete.");
    return true;
}

void HideProgressWindows(HWND hwnd) {
    ShowWindow(hwndInfor, SW_HIDE);
    ShowWindow(hwndAdvert, SW_HIDE);
    UpdateWindow(hwnd);
}

// "Return to Windows" is offered only when nothing installed needs Windows to start again.
void ChooseExitDialog() {
    bool restartNeeded = fScreenFonts || fPrinterFonts || fProgramFiles || (fLayouts && fReplaceOldFiles) ||
                         std::atoi(szDosCodePage) != nCurrentDosCodePage;
    nExitDialog = restartNeeded ? 2 : 3;
}

// The whole installation after the window is shown; true when it completed.
bool Install(HWND hwnd) {
    if (!LocateSetupInf(hwnd)) return false;
    ReadInstallFlags(szInfFile);
    ApplyExpressSetup();
    if (fShowWelcomeDialog && RunWelcomeDialog() == kDialogExit) return false;
    CloseRunningProductParts();
    if (!IsRightDriveForMode()) return false;
    if (!ChooseComponents()) return false;
    PrepareDestination();
    AskReplaceOldFiles();
    LogLine("Begin copying...");
    if (fServerSetup) return CopyServerInstallation();
    if (!fWorkstationSetup && !CopyProductFiles()) return false;
    if (!UpdateSystem()) return false;
    HideProgressWindows(hwnd);
    ChooseExitDialog();
    if (!CreateProgmanGroup()) LogLine("Creating Progman group not complete.");
    return true;
}

// The first key name of SECTION_ID in tarno.ini into KEY, cut to CAP bytes unless it must be WHOLE;
// false when the section has none, or a key that must be whole does not fit.
bool ReadFirstProductKey(UINT sectionId, char* key, std::size_t cap, bool whole) {
    char iniPath[kPathCap];
    if (!GetProductIniPath(iniPath, sizeof iniPath)) return false;
    char section[32];
    LoadText(sectionId, section, sizeof section);
    char keys[kKeyListCap];
    if (GetPrivateProfileStringA(section, nullptr, "", keys, sizeof keys, iniPath) == 0 || !keys[0])
        return false;
    if (whole) return JoinPathN(key, cap, {keys});
    CopyTextN(key, cap, keys);
    return true;
}

} // namespace

void RunInstallation(HWND hwnd) {
    UpdateWindow(hwnd);
    BOOL completed = Install(hwnd) ? 1 : 0;
    PostMessageA(hwnd, WM_DESTROY, completed, 0);
}

BOOL IsAlreadyInstalled() {
    char iniPath[kPathCap];
    if (!GetProductIniPath(iniPath, sizeof iniPath) || !FileExists(iniPath)) return FALSE;
    char location[kKeyListCap];
    if (!ReadFirstProductKey(IDS_SEC_LOCATION, location, sizeof location, true)) return FALSE;
    return lstrcmpiA(location, szDestDir) == 0;
}

BOOL ReadWorkstationLocation() {
    // The destination is a path, and a cut one would be another directory; the country key is cut to
    // its three characters.
    if (!ReadFirstProductKey(IDS_SEC_LOCATION, szDestDir, sizeof szDestDir, true)) return FALSE;
    return ReadFirstProductKey(IDS_SEC_COUNTRY, szCountryKey, sizeof szCountryKey, false);
}
