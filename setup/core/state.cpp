#include "setup/core/state.h"

#include "common/bounded.h"
#include "setup/resources/ids.h"

BOOL fServerSetup, fWorkstationSetup, fExpressSetup, fWriteLog, fOemSetup, fDeleteSetupDir;
BOOL fShowWelcomeDialog, fAskCountryAndPath, fAskSetupOptions, fAskRestartOrReturn, fLatinTexts;

BOOL fProgramFiles, fLayouts, fFonts, fApplications, fTrueTypeFonts, fSystemFonts, fScreenFonts,
    fPlotterFonts;
BOOL fPrinterFonts, fDevelopersKitSample, f9PinPrinters, f24PinPrinters, f9PinPrinterFonts,
    f24PinPrinterFonts;
int nPrinterDriversToUpdate;
BOOL fAlreadyInstalled, fUninstallEnabled, fReplaceOldFiles;

HINSTANCE hInst;
HWND hwndSetup, hwndAdvert, hwndInfor;
char chListDelimiter;
HGLOBAL hLang, hMem;
int nProgressTotal, nProgressDone, nExitDialog, nCurrentDosCodePage;
HBRUSH hbrDialogBack;
int nLang;
LangEntry* lpLang;
char szLayout1[kLayoutNameCap];
char szLayout2[kLayoutNameCap];
char szLayoutSwitch[kLayoutSwitchCap];
int nFontRes;
char szFontRes[kFontResCap];

char szInfFile[kInfFileCap];
char szStartPath[kPathCap];
char szWindowsDir[kPathCap];
char szSystemDir[kPathCap];
char szFontsDir[kPathCap];
char szDestDir[kPathCap];
char szCountryKey[kCountryKeyCap];
char szSystemFontsCodePage[kSystemFontsCodePageCap];
char szDosCodePage[kDosCodePageCap];
char szHotKey[kHotKeyCap];
char szDefaultUserCountry[kDefaultUserCountryCap];
char szStartupGroup[kStartupGroupCap];
char szLogFile[kPathCap];
char szUninstInf[kUninstInfCap];
char szDialogFont[kDialogFontCap];
char szFontResource[kFontResourceCap];

RegLocation regDisplaySettings, regDisplayFonts, regFonts, regFontSubstitutes;
UINT idWinIni, idSystemIni, idSetupInf, idControlInf;

namespace {

void ResetModeFlags() {
    fServerSetup = fWorkstationSetup = fExpressSetup = fOemSetup = fDeleteSetupDir = FALSE;
    fWriteLog = TRUE;
    fShowWelcomeDialog = fAskCountryAndPath = fAskSetupOptions = fAskRestartOrReturn = TRUE;
    fLatinTexts = FALSE;
}

void ResetComponentFlags() {
    fProgramFiles = fLayouts = fFonts = fApplications = TRUE;
    fTrueTypeFonts = fSystemFonts = fScreenFonts = fPlotterFonts = TRUE;
    fPrinterFonts = fDevelopersKitSample = FALSE;
    f9PinPrinters = f24PinPrinters = f9PinPrinterFonts = f24PinPrinterFonts = FALSE;
    nPrinterDriversToUpdate = 0;
    fAlreadyInstalled = FALSE;
    fUninstallEnabled = fReplaceOldFiles = TRUE;
}

void ResetHandles() {
    hInst = nullptr;
    hwndSetup = hwndAdvert = hwndInfor = nullptr;
    chListDelimiter = ',';
    hLang = hMem = nullptr;
    nLang = 0;
    lpLang = nullptr;
    nFontRes = 0;
    nProgressTotal = nProgressDone = nExitDialog = nCurrentDosCodePage = 0;
    hbrDialogBack = nullptr;
}

void ResetTexts() {
    char* texts[] = {szInfFile,     szStartPath, szWindowsDir,         szSystemDir,
                     szFontsDir,    szDestDir,   szCountryKey,         szSystemFontsCodePage,
                     szDosCodePage, szHotKey,    szDefaultUserCountry, szStartupGroup,
                     szLogFile,     szUninstInf, szDialogFont,         szFontResource,
                     szLayout1,     szLayout2,   szLayoutSwitch,       szFontRes};
    for (char* text : texts)
        text[0] = '\0';
}

void SetLocation(RegLocation& location, HKEY root, const char* subKey) {
    location.hRoot = root;
    CopyText(location.szSubKey, subKey);
}

} // namespace

void SetRegistryLocations() {
    static const char kCurrentVersion[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\";
    SetLocation(regDisplaySettings, HKEY_CURRENT_CONFIG, "Display\\Settings");
    SetLocation(regDisplayFonts, HKEY_CURRENT_CONFIG, "Display\\Fonts");
    SetLocation(regFonts, HKEY_LOCAL_MACHINE, kCurrentVersion);
    AppendText(regFonts.szSubKey, "Fonts");
    SetLocation(regFontSubstitutes, HKEY_LOCAL_MACHINE, kCurrentVersion);
    AppendText(regFontSubstitutes.szSubKey, "FontSubstitutes");
}

void SetConfigFileIds() {
    idWinIni = IDS_FILE_WIN_INI;
    idSystemIni = IDS_FILE_SYSTEM_INI;
    idSetupInf = IDS_FILE_SETUP_INF;
    idControlInf = IDS_FILE_CONTROL_INF;
}

void ResetSetupState() {
    ResetModeFlags();
    ResetComponentFlags();
    ResetHandles();
    ResetTexts();
    ResetCopyState();
    regDisplaySettings = regDisplayFonts = regFonts = regFontSubstitutes = RegLocation{};
    idWinIni = idSystemIni = idSetupInf = idControlInf = 0;
}

// ---- Progress, advertisements and dialog results
// ------------------------------------------------------------
char szProgressFile[kProgressFileCap];
char szProgressText[kProgressTextCap];
WORD nDialogResult;
HBRUSH hbrBlue;
HPEN hpenBlue;
HBITMAP hbmNation, hbmDirect;
HBITMAP hbmAdvert[5];

void ResetProgressState() {
    szProgressFile[0] = szProgressText[0] = '\0';
    nDialogResult = 0;
    hbrBlue = nullptr;
    hpenBlue = nullptr;
    hbmNation = hbmDirect = nullptr;
    for (HBITMAP& picture : hbmAdvert)
        picture = nullptr;
}

// ---- Source of the copy and the path the directory dialogs hand over
// ----------------------------------------------------------------
char szSourceDir[kPathCap];
BOOL fSourcePathSet;
BOOL fIgnoreCreateErrors;
char szDialogPath[kDialogPathCap];

void ResetCopyState() {
    szSourceDir[0] = szDialogPath[0] = '\0';
    fSourcePathSet = fIgnoreCreateErrors = FALSE;
}
