// The country and the destination directory: the dialog, and the same choice made from the defaults
// without one. The country decides which line of "default.setup" the installation follows.
#include "common/bounded.h"
#include "setup/core/setup.h"
#include "setup/dialogs/choices.h"
#include "setup/dialogs/wizard.h"
#include "setup/inf/inf.h"
#include "setup/messages/messages.h"
#include "setup/resources/ids.h"

namespace {

const char kProductFolder[] = "TARNO\\";
constexpr int kSystemFontsCodePageField = 1;

RememberedChoice country;

// The Windows directory + "TARNO\"; empty, so that nothing is taken, when that path does not fit.
void SetDefaultDestination() {
    JoinPath(szDestDir, szWindowsDir, kProductFolder);
}

// True when PATH (with its trailing backslash) ends in the product's folder name, in any case: both
// D:\APPS\TARNO\ and D:\MYTARNO\ are taken as they are.
bool EndsInProductFolder(const char* path) {
    int length = lstrlenA(path);
    int folder = lstrlenA(kProductFolder);
    return length >= folder && lstrcmpiA(path + length - folder, kProductFolder) == 0;
}

// The country key of COUNTRY_KEY_TEXT and the code page of its system fonts.
BOOL TakeCountryKey(const char* countryKeyText) {
    CopyText(szCountryKey, countryKeyText);
    return ReadCountryDefault(szCountryKey, kSystemFontsCodePageField, szSystemFontsCodePage,
                              sizeof szSystemFontsCodePage);
}

void ReportNoCountryKey() {
    ShowSetupMessage(hwndSetup, MB_ICONHAND, IDS_CANT_READ_NATION, szInfFile);
}

// The countries of "Country Key", the default one chosen; false after message 13 when there are none.
BOOL FillCountries(HWND dialog) {
    if (!country.Fill(dialog, IDC_SETUPDIR_COUNTRY, IDS_SEC_COUNTRY_KEY, TableText<>(IDS_NOT_FOUND)))
        return FALSE;
    country.SelectName(szDefaultUserCountry);
    return TRUE;
}

void OnPathTyped(HWND dialog) {
    GetDlgItemTextA(dialog, IDC_SETUPDIR_PATH, szDestDir, sizeof szDestDir);
    EnableWhilePathTyped(dialog, IDC_SETUPDIR_OK, IDC_SETUPDIR_PATH);
}

// Every opening starts from the defaults, also after Back in the options.
INT_PTR OnInitDialog(HWND dialog, LPARAM) {
    if (fServerSetup) {
        EnableWindow(GetDlgItem(dialog, IDC_SETUPDIR_COUNTRY), FALSE);
    } else if (!FillCountries(dialog)) {
        EndWizardDialog(dialog, kDialogExit);
        return TRUE;
    }
    SetDefaultDestination();
    SetDlgItemTextA(dialog, IDC_SETUPDIR_PATH, szDestDir);
    OnPathTyped(dialog);
    SetFocus(dialog);
    return FALSE;
}

// Browsing starts in the Windows directory, whatever the field holds; the chosen directory gets the
// product's own folder unless it is that folder already.
void OnBrowse(HWND dialog) {
    if (BrowseForDirectory(szWindowsDir))
        JoinPath(szDestDir, szDialogPath, EndsInProductFolder(szDialogPath) ? "" : kProductFolder);
    SetDlgItemTextA(dialog, IDC_SETUPDIR_PATH, szDestDir);
    SetFocus(dialog);
}

BOOL TakeChosenCountry() {
    char name[kKeyListCap];
    country.Text(name, sizeof name);
    char key[kCountryKeyCap];
    if (ReadInfString(IDS_SEC_COUNTRY_KEY, name, key, sizeof key) == 0) {
        ReportNoCountryKey();
        return FALSE;
    }
    return TakeCountryKey(key);
}

// The destination is taken as typed, with the backslash every directory path ends in; the driver makes
// the directory later. A server installation has no country to take.
void OnOk(HWND dialog) {
    if (!TakePathField(dialog, IDC_SETUPDIR_PATH, szDestDir, sizeof szDestDir)) return;
    BOOL taken = fServerSetup || TakeChosenCountry();
    EndWizardDialog(dialog, taken ? kDialogContinue : kDialogExit);
}

INT_PTR OnCommand(HWND dialog, int id, int code) {
    switch (id) {
    case IDC_SETUPDIR_OK:
        OnOk(dialog);
        return TRUE;
    case IDC_SETUPDIR_EXIT:
        EndWizardDialog(dialog, kDialogExit);
        return TRUE;
    case IDC_SETUPDIR_BROWSE:
        OnBrowse(dialog);
        return TRUE;
    case IDC_SETUPDIR_PATH:
        if (code == EN_CHANGE) OnPathTyped(dialog);
        return TRUE;
    case IDC_SETUPDIR_COUNTRY:
        if (code == CBN_SELENDOK) country.Confirm();
        return TRUE;
    default:
        return FALSE;
    }
}

const WizardTraits kSetupDirTraits = {IDS_CAPTION_LATIN, WizardColours::AllControls, OnInitDialog,
                                      OnCommand,         IDC_SETUPDIR_PICTURE,       &hbmNation};

} // namespace

INT_PTR CALLBACK SetupDirDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    return WizardDialogProc(dialog, msg, wParam, lParam, kSetupDirTraits);
}

WORD RunSetupDirDialog() {
    return RunWizardDialog(DLG_SETUPDIR, SetupDirDlgProc);
}

BOOL SetDefaultCountryAndPath(const char* defaultCountry) {
    SetDefaultDestination();
    // A country that "Country Key" does not name falls back to the first country of the product.
    char fallback[kCountryKeyCap];
    char section[kSectionNameCap];
    char key[kCountryKeyCap];
    LoadText(IDS_DEFAULT_COUNTRY_KEY, fallback, sizeof fallback);
    LoadText(IDS_SEC_COUNTRY_KEY, section, sizeof section);
    if (GetPrivateProfileStringA(section, defaultCountry, fallback, key, sizeof key, szInfFile) == 0) {
        ReportNoCountryKey();
        return FALSE;
    }
    return TakeCountryKey(key);
}
