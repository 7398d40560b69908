// Installation Options: the components to install, the DOS code page (chosen by naming the country whose
// defaults carry it) and the layout switch; Keyboard Layouts and Fonts refine two of the components.
#include "common/bounded.h"
#include "setup/core/setup.h"
#include "setup/dialogs/choices.h"
#include "setup/dialogs/wizard.h"
#include "setup/inf/inf.h"
#include "setup/resources/ids.h"

namespace {

constexpr char kCountryLineDelimiter = '!';
constexpr int kCountryNameField = 1;
constexpr int kDosCodePageField = 2;

RememberedChoice dosCodePage;
RememberedChoice layoutSwitch;

// A component whose details a sub-dialog refines: its three-state box and the button that opens it.
struct Component {
    int box;
    int button;
    BOOL* flag;
    WORD (*refine)();
};

const Component kLayouts = {IDC_OPT_LAYOUTS, IDC_OPT_LAYOUTS_BUTTON, &fLayouts, RunLangLayoutDialog};
const Component kFonts = {IDC_OPT_FONTS, IDC_OPT_FONTS_BUTTON, &fFonts, RunFontsDialog};

// The box shows the stored flag (the third state: the sub-dialog's choice stands); its button opens the
// sub-dialog while the component is chosen at all.
void ShowComponent(HWND dialog, const Component& component) {
    ShowFlag(dialog, component.box, *component.flag);
    EnableWindow(GetDlgItem(dialog, component.button), *component.flag != 0);
}

// A click never leaves the third state: only a sub-dialog's OK sets it.
void OnComponentClicked(HWND dialog, const Component& component) {
    if (IsDlgButtonChecked(dialog, component.box) == BST_INDETERMINATE)
        CheckDlgButton(dialog, component.box, BST_UNCHECKED);
    BOOL chosen = IsDlgButtonChecked(dialog, component.box) == BST_CHECKED;
    EnableWindow(GetDlgItem(dialog, component.button), chosen);
}

void OnRefine(HWND dialog, const Component& component) {
    switch (component.refine()) {
    case kDialogContinue:
        *component.flag = 2;
        break;
    case kDialogBack: // leaving Setup was confirmed in the sub-dialog
        EndWizardDialog(dialog, kDialogExit);
        return;
    default:
        break;
    }
    ShowComponent(dialog, component);
    SetFocus(dialog);
}

// The countries of "Country Key", the current country chosen by the name its "country" line gives.
BOOL FillDosCodePages(HWND dialog) {
    if (!dosCodePage.Fill(dialog, IDC_OPT_DOS_CODEPAGE, IDS_SEC_COUNTRY_KEY)) return FALSE;
    // A server installation chooses no country: the list keeps its first entry.
    if (!szCountryKey[0]) {
        dosCodePage.Confirm();
        return TRUE;
    }
    char line[kKeyListCap];
    char name[kKeyListCap];
    if (!ReadRequiredInfString(IDS_SEC_COUNTRY, szCountryKey, line, sizeof line) ||
        !GetListField(line, kCountryNameField, name, sizeof name, kCountryLineDelimiter, TRUE))
        return FALSE;
    dosCodePage.SelectName(name);
    return TRUE;
}

// The hot keys of "hotkey" in file order, the default one chosen.
BOOL FillLayoutSwitches(HWND dialog) {
    if (!layoutSwitch.Fill(dialog, IDC_OPT_LAYOUT_SWITCH, IDS_SEC_HOTKEY)) return FALSE;
    layoutSwitch.SelectName(szHotKey);
    return TRUE;
}

// Each opening starts from the stored flags, the country and the default hot key.
INT_PTR OnInitDialog(HWND dialog, LPARAM) {
    ShowComponent(dialog, kLayouts);
    ShowComponent(dialog, kFonts);
    ShowFlag(dialog, IDC_OPT_APPLICATIONS, fApplications);
    ShowFlag(dialog, IDC_OPT_SAMPLE, fDevelopersKitSample);
    ShowFlag(dialog, IDC_OPT_PROGRAM_FILES, fProgramFiles);
    if (!FillDosCodePages(dialog) || !FillLayoutSwitches(dialog)) {
        EndWizardDialog(dialog, kDialogExit);
        return TRUE;
    }
    SetFocus(dialog);
    return FALSE;
}

void StoreComponents(HWND dialog) {
    fLayouts = BoxState(dialog, IDC_OPT_LAYOUTS);
    fFonts = BoxState(dialog, IDC_OPT_FONTS);
    if (!fFonts) fSystemFonts = fScreenFonts = fTrueTypeFonts = fPlotterFonts = fPrinterFonts = FALSE;
    fApplications = BoxState(dialog, IDC_OPT_APPLICATIONS);
    fDevelopersKitSample = BoxState(dialog, IDC_OPT_SAMPLE);
    fProgramFiles = BoxState(dialog, IDC_OPT_PROGRAM_FILES);
}

// The DOS code page of the chosen country's defaults.
BOOL StoreDosCodePage() {
    char name[kKeyListCap];
    dosCodePage.Text(name, sizeof name);
    char countryKey[kCountryKeyCap];
    if (!ReadRequiredInfString(IDS_SEC_COUNTRY_KEY, name, countryKey, sizeof countryKey)) return FALSE;
    return ReadCountryDefault(countryKey, kDosCodePageField, szDosCodePage, sizeof szDosCodePage);
}

void OnContinue(HWND dialog) {
    StoreComponents(dialog);
    if (!StoreDosCodePage()) {
        EndWizardDialog(dialog, kDialogExit);
        return;
    }
    layoutSwitch.Text(szLayoutSwitch, sizeof szLayoutSwitch);
    EndWizardDialog(dialog, kDialogContinue);
}

INT_PTR OnCommand(HWND dialog, int id, int code) {
    switch (id) {
    case IDC_OPT_CONTINUE:
        OnContinue(dialog);
        return TRUE;
    case IDC_OPT_BACK:
        EndWizardDialog(dialog, kDialogBack);
        return TRUE;
    case IDC_OPT_EXIT:
        EndWhenExitConfirmed(dialog, kDialogExit);
        return TRUE;
    case IDC_OPT_LAYOUTS:
        OnComponentClicked(dialog, kLayouts);
        return TRUE;
    case IDC_OPT_FONTS:
        OnComponentClicked(dialog, kFonts);
        return TRUE;
    case IDC_OPT_LAYOUTS_BUTTON:
        OnRefine(dialog, kLayouts);
        return TRUE;
    case IDC_OPT_FONTS_BUTTON:
        OnRefine(dialog, kFonts);
        return TRUE;
    case IDC_OPT_DOS_CODEPAGE:
        if (code == CBN_SELENDOK) dosCodePage.Confirm();
        return TRUE;
    case IDC_OPT_LAYOUT_SWITCH:
        if (code == CBN_SELENDOK) layoutSwitch.Confirm();
        return TRUE;
    default:
        return FALSE;
    }
}

const WizardTraits kOptionsTraits = {IDS_CAPTION_OPTIONS, WizardColours::AllControls, OnInitDialog,
                                     OnCommand};

} // namespace

INT_PTR CALLBACK SetupOptionsDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    return WizardDialogProc(dialog, msg, wParam, lParam, kOptionsTraits);
}

WORD RunSetupOptionsDialog() {
    return RunWizardDialog(DLG_SETUPOPTIONS, SetupOptionsDlgProc);
}
