// Fonts: the code page of the system fonts, which font groups to install, their size, and the screen
// fonts for dot-matrix printers.
#include "common/bounded.h"
#include "setup/core/lang_table.h"
#include "setup/core/setup.h"
#include "setup/dialogs/choices.h"
#include "setup/dialogs/wizard.h"
#include "setup/inf/inf.h"
#include "setup/messages/messages.h"
#include "setup/resources/ids.h"

namespace {

constexpr UINT kPrinterFontsQuestionStyle = MB_YESNO | MB_DEFBUTTON2 | MB_ICONQUESTION;
constexpr int kLargeFontsLeastHeight = 481; // a screen of 480 lines or fewer has no room for large fonts

RememberedChoice codePage;

void ShowFontSize(HWND dialog) {
    CheckRadioButton(dialog, IDC_FONTS_SMALL, IDC_FONTS_LARGE,
                     nFontRes == IDS_FONTRES_HI4 ? IDC_FONTS_LARGE : IDC_FONTS_SMALL);
    BOOL roomForLarge = GetSystemMetrics(SM_CYSCREEN) >= kLargeFontsLeastHeight;
    EnableWindow(GetDlgItem(dialog, IDC_FONTS_LARGE), roomForLarge);
}

// The code pages of "codepage.number", the one of the system fonts chosen by its description.
BOOL FillCodePages(HWND dialog) {
    if (!codePage.Fill(dialog, IDC_FONTS_CODEPAGE, IDS_SEC_CODEPAGE_NUMBER)) return FALSE;
    char description[kEntryCap];
    if (!ReadRequiredInfString(IDS_SEC_CODEPAGE_DESC, szSystemFontsCodePage, description, sizeof description))
        return FALSE;
    codePage.SelectName(description);
    return TRUE;
}

// Each opening starts from the stored choices; the printer fonts are chosen again from the printer-font
// flags of the last OK.
INT_PTR OnInitDialog(HWND dialog, LPARAM) {
    ShowFlag(dialog, IDC_FONTS_SYSTEM, fSystemFonts);
    ShowFlag(dialog, IDC_FONTS_SCREEN, fScreenFonts);
    ShowFlag(dialog, IDC_FONTS_PLOTTER, fPlotterFonts);
    ShowFontSize(dialog);
    if (!FillCodePages(dialog)) {
        EndWizardDialog(dialog, kDialogExit);
        return TRUE;
    }
    ShowFlag(dialog, IDC_FONTS_TRUETYPE, fTrueTypeFonts);
    fPrinterFonts = f24PinPrinterFonts || f9PinPrinterFonts;
    ShowFlag(dialog, IDC_FONTS_PRINTER, fPrinterFonts);
    EnableWindow(GetDlgItem(dialog, IDC_FONTS_PRINTER), TRUE);
    SetFocus(dialog);
    return FALSE;
}

// The printer fonts of the printers found; without any, both kinds when the user insists.
void ChoosePrinterFonts(HWND dialog) {
    f24PinPrinterFonts = f9PinPrinterFonts = FALSE;
    if (!fPrinterFonts) return;
    if (!f9PinPrinters && !f24PinPrinters &&
        ShowSetupMessage(dialog, kPrinterFontsQuestionStyle, IDS_NO_DOT_MATRIX_PRINTERS) == IDYES)
        f9PinPrinterFonts = f24PinPrinterFonts = TRUE;
    if (f9PinPrinters) f9PinPrinterFonts = TRUE;
    if (f24PinPrinters) f24PinPrinterFonts = TRUE;
}

// The number of the chosen code page's description; false after message 50 when it has none.
BOOL StoreSystemFontsCodePage() {
    char description[kEntryCap];
    codePage.Text(description, sizeof description);
    char number[kSystemFontsCodePageCap];
    if (!ReadRequiredInfString(IDS_SEC_CODEPAGE_NUMBER, description, number, sizeof number)) return FALSE;
    CopyText(szSystemFontsCodePage, number);
    return TRUE;
}

void OnOk(HWND dialog) {
    fTrueTypeFonts = BoxState(dialog, IDC_FONTS_TRUETYPE);
    fPrinterFonts = BoxState(dialog, IDC_FONTS_PRINTER);
    ChoosePrinterFonts(dialog);
    fScreenFonts = BoxState(dialog, IDC_FONTS_SCREEN);
    fPlotterFonts = BoxState(dialog, IDC_FONTS_PLOTTER);
    fSystemFonts = BoxState(dialog, IDC_FONTS_SYSTEM);
    SetFontResolution(ChooseFontResolution(BoxState(dialog, IDC_FONTS_LARGE)));
    EndWizardDialog(dialog, StoreSystemFontsCodePage() ? kDialogContinue : kDialogExit);
}

INT_PTR OnCommand(HWND dialog, int id, int code) {
    switch (id) {
    case IDC_FONTS_OK:
        OnOk(dialog);
        return TRUE;
    case IDC_FONTS_CANCEL:
        EndWizardDialog(dialog, kDialogExit);
        return TRUE;
    case IDC_FONTS_EXIT:
        EndWhenExitConfirmed(dialog, kDialogBack);
        return TRUE;
    case IDC_FONTS_CODEPAGE:
        if (code == CBN_SELENDOK) codePage.Confirm();
        return TRUE;
    default:
        return FALSE;
    }
}

const WizardTraits kFontsTraits = {IDS_CAPTION_FONTS, WizardColours::AllControls, OnInitDialog, OnCommand};

} // namespace

INT_PTR CALLBACK FontsDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    return WizardDialogProc(dialog, msg, wParam, lParam, kFontsTraits);
}

WORD RunFontsDialog() {
    return RunWizardDialog(DLG_FONTS, FontsDlgProc);
}
