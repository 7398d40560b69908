// The copy of an ordinary installation: in one fixed order, every section and item of setup1.inf that the
// user's choices select, from the distribution disks into the destination, Windows, system and font
// directories. A step that stops ends the copy at once; the font steps that go on pass over what fails.
#include "common/bounded.h"
#include "setup/copy/copy.h"
#include "setup/copy/copy_common.h"
#include "setup/core/lang_table.h"
#include "setup/core/progress.h"
#include "setup/core/setup.h"
#include "setup/inf/inf.h"
#include "setup/messages/messages.h"
#include "setup/resources/ids.h"

namespace {

constexpr int kSectionNameCap = 128;
constexpr int kFileListCap = 700;
constexpr int kDiskCap = 8;
constexpr int kItemValueCap = 1024;
constexpr int kDosFontsEntryCap = 256;
constexpr int kFontSectionCap = 30;

// A section, key or file name of the string table.
using Name = TableText<kSectionNameCap>;

// ---- Sections and items -------------------------------------------------------------------------------

// Field N of VALUE with the error report of a missing field.
bool ItemField(const char* value, int n, char* field, std::size_t cap) {
    return GetListField(value, n, field, cap, chListDelimiter, TRUE) != FALSE;
}

BOOL CopyItem(const char* section, const char* key, int field, const char* destDir) {
    char value[kItemValueCap];
    ReadInfEntry(section, key, value, sizeof value);
    char fileName[kPathCap], disk[kDiskCap];
    if (!ItemField(value, field, fileName, sizeof fileName)) return FALSE;
    if (!fileName[0]) return TRUE;
    if (!ItemField(value, field + 1, disk, sizeof disk)) return FALSE;
    return CopyUnlessKept(disk, destDir, fileName);
}

// The sections whose name carries the system-fonts code page: "sysfonts.1251", "fixedfonts.1251".
bool HasCodePageSuffix(UINT sectionId) {
    return sectionId == IDS_SEC_SYSFONTS || sectionId == IDS_SEC_FIXEDFONTS;
}

// ---- The steps ----------------------------------------------------------------------------------------

bool UseSource(const char* path) {
    CopyText(szSourceDir, path);
    return true;
}

bool AskForFirstDisk() {
    char path[kPathCap];
    return PromptForDisk("", "1", path, sizeof path) && UseSource(path);
}

// The start path given by the loader, or a prompt for the first disk; never the destination itself.
bool ChooseSourceDirectory() {
    if (!szStartPath[0]) {
        LogLine("Set source directory to default.");
        CopyText(szSourceDir, "A:\\");
        if (!AskForFirstDisk()) return false;
    } else {
        LogJoined("Setup.exe start directory: ", szStartPath);
        CopyText(szSourceDir, szStartPath);
        fSourcePathSet = TRUE;
    }
    LogJoined("Source directory: ", szSourceDir);
    while (lstrcmpiA(szSourceDir, szDestDir) == 0)
        if (!AskForFirstDisk()) return false;
    return true;
}

// tarno.ini of an earlier installation of the same place stays as it is.
bool CopyProductSettingsFile() {
    Name file(IDS_FILE_TARNO_INI);
    char path[kPathCap];
    if (fAlreadyInstalled && BuildFilePath(path, sizeof path, szWindowsDir, file.text) && FileExists(path))
        return true;
    return CopySetupFile("1", szSourceDir, szWindowsDir, file.text) != 0;
}

bool CopyProgramFiles() {
    return CopySection(IDS_SEC_PROGRAMFILES, szDestDir) &&
           CopySection(IDS_SEC_PROGRAMFILES_SYS, szSystemDir) &&
           CopySection(IDS_SEC_PROGRAMFILES_WIN, szWindowsDir) &&
           CopySectionItem(IDS_SEC_OEMANSI, szDosCodePage, 1, szSystemDir) &&
           CopySectionItem(IDS_SEC_DEFAULT_SETUP, szCountryKey, 4, szSystemDir);
}

void RecordProductLocation() {
    Name file(IDS_FILE_TARNO_INI);
    char iniPath[kPathCap];
    JoinPath(iniPath, szWindowsDir, file.text);
    WriteLocationSection(iniPath, szDestDir);
    if (fAlreadyInstalled) return;
    Name country(IDS_SEC_COUNTRY);
    WriteEntryOrReport(iniPath, country.text, nullptr, nullptr);
    WriteEntryOrReport(iniPath, country.text, szCountryKey, " ");
}

// Each layout's keyboard library, and the layout recorded for the uninstaller.
bool CopyLayouts() {
    if (!LockLangTable()) {
        ShowSetupMessage(hwndSetup, MB_ICONHAND, IDS_NO_LOCK, "hLang");
        return false;
    }
    Name installed(IDS_SEC_LANGUAGES_INST);
    bool copied = true;
    for (int i = 0; i < nLang && copied; ++i) {
        const LangEntry& entry = lpLang[i];
        copied = CopySectionItem(IDS_SEC_KEYBOARD_LAYOUTS, entry.szLayout, 2, szSystemDir);
        if (copied) WriteEntryOrReport(szUninstInf, installed.text, entry.szLayout, entry.szCode);
    }
    UnlockLangTable();
    return copied;
}

// The entry of "VGA.GR3" for the DOS code page: the code-page part of the DOS-window font names and their
// disk. False when there is none.
bool ReadDosFontsEntry(char* entry, std::size_t cap) {
    Name section(IDS_SEC_VGA_GR3);
    return ReadInfEntry(section, szDosCodePage, entry, static_cast<DWORD>(cap)) > 0;
}

// The four DOS-window fonts (EGA80, EGA40, CGA80, CGA40 + code page + ".fon") into the system directory.
bool CopyDosWindowFonts(const char* entry) {
    char codePage[kPathCap], disk[kDiskCap];
    if (!ItemField(entry, 1, codePage, sizeof codePage) || !ItemField(entry, 2, disk, sizeof disk))
        return true; // told; the copy goes on with the next step
    static const UINT kStems[] = {IDS_KEY_EGA80WOA, IDS_KEY_EGA40WOA, IDS_KEY_CGA80WOA, IDS_KEY_CGA40WOA};
    for (UINT id : kStems) {
        char fileName[kPathCap];
        LoadText(id, fileName, 6); // the first five characters
        AppendText(fileName, codePage);
        AppendText(fileName, ".fon");
        if (!CopyUnlessKept(disk, szSystemDir, fileName)) return false;
    }
    return true;
}

// The application font ("app" + code page + ".fon") into the destination directory.
bool CopyApplicationFont(const char* entry) {
    char codePage[kPathCap], disk[kDiskCap];
    if (!ItemField(entry, 1, codePage, sizeof codePage) || !ItemField(entry, 2, disk, sizeof disk))
        return true;
    char fileName[kPathCap];
    CopyText(fileName, "app");
    AppendText(fileName, codePage);
    AppendText(fileName, ".fon");
    return CopyUnlessKept(disk, szDestDir, fileName);
}

// The OEM fonts: "oemfonts" names, for the DOS code page, the section that holds them.
bool CopyOemFonts() {
    Name oemFonts(IDS_SEC_OEMFONTS);
    char section[kFontSectionCap];
    if (ReadInfEntry(oemFonts, szDosCodePage, section, sizeof section) == 0) return true;
    return CopySectionItem(section, szFontRes, 1, szFontsDir);
}

const UINT kScreenFontSections[] = {IDS_SEC_HELV_1251, IDS_SEC_TMSR_1251, IDS_SEC_SMALL_1251,
                                    IDS_SEC_COUR_1251};
const UINT kPrintableFontSections[] = {IDS_SEC_HELV_1251, IDS_SEC_COUR_1251, IDS_SEC_TMSR_1251};

// Items KEY of the font SECTIONS into DEST_DIR; what fails is passed over.
template <std::size_t N>
void CopyFontItems(const UINT (&sections)[N], const char* key, const char* destDir) {
    for (UINT section : sections)
        CopySectionItem(section, key, 1, destDir);
}

bool CopyFonts() {
    char entry[kDosFontsEntryCap];
    if (ReadDosFontsEntry(entry, sizeof entry) && (!CopyDosWindowFonts(entry) || !CopyApplicationFont(entry)))
        return false;
    if (!CopyOemFonts()) return false;
    if (fSystemFonts && (!CopySectionItem(IDS_SEC_SYSFONTS, szFontRes, 1, szFontsDir) ||
                         !CopySectionItem(IDS_SEC_FIXEDFONTS, szFontRes, 1, szFontsDir)))
        return false;
    if (fScreenFonts) CopyFontItems(kScreenFontSections, szFontRes, szFontsDir);
    if (fPlotterFonts) CopyFontItems(kPrintableFontSections, Name(IDS_VOL_ALL), szDestDir);
    if (fTrueTypeFonts && !CopyTrueTypeFonts(IDS_SEC_TTF_1251, 1, szDestDir)) return false;
    if (fPrinterFonts && f24PinPrinterFonts)
        CopyFontItems(kPrintableFontSections, Name(IDS_VOL_PR2), szDestDir);
    if (fPrinterFonts && f9PinPrinterFonts)
        CopyFontItems(kPrintableFontSections, Name(IDS_VOL_PR9), szDestDir);
    return true;
}

// Everything from disk 1 on, in the fixed order; false as soon as a step that stops fails.
bool CopyComponents() {
    if (!CopyProductSettingsFile()) return false;
    if (!CopySection(IDS_SEC_WINDOWS_SYSTEM, szSystemDir) || !CopySection(IDS_SEC_WINDOWS, szWindowsDir))
        return false;
    if (fUninstallEnabled && !CopySection(IDS_SEC_UNINSTALL, szDestDir)) return false;
    if (fProgramFiles && !CopyProgramFiles()) return false;
    RecordProductLocation();
    if (fApplications &&
        (!CopySection(IDS_SEC_APPLICATION, szDestDir) || !CopySection(IDS_SEC_APPLICATIONS_SYS, szSystemDir)))
        return false;
    if (fDevelopersKitSample && !CopySection(IDS_SEC_TDK, szDestDir)) return false;
    if (fLayouts && !CopyLayouts()) return false;
    return !fFonts || CopyFonts();
}

void ShowCopyFinished() {
    char text[kProgressTextCap];
    LoadText(IDS_UPDATE_SYSTEM, text, sizeof text);
    ShowProgressTexts("", text);
}

// The wait cursor for the time of the copy.
struct WaitCursor {
    WaitCursor() { SetCursor(LoadCursorA(nullptr, IDC_WAIT)); }
    ~WaitCursor() { SetCursor(LoadCursorA(nullptr, IDC_ARROW)); }
};

} // namespace

BOOL CopySection(UINT sectionId, const char* destDir) {
    Name section(sectionId);
    char keys[kFileListCap];
    DWORD length = 0;
    if (!ReadKeyList(section, keys, sizeof keys, &length)) return FALSE;
    LogJoined("Copying section [", section.text, "]");
    if (length <= 1) return TRUE; // missing, empty, or a lone one-character name
    for (const char* key = keys; *key; key += lstrlenA(key) + 1) {
        char disk[kDiskCap];
        ReadInfEntry(section, key, disk, sizeof disk, "3");
        if (!CopyUnlessKept(disk, destDir, key)) return FALSE;
    }
    return TRUE;
}

BOOL CopySectionItem(UINT sectionId, const char* key, int field, const char* destDir) {
    Name section(sectionId);
    if (HasCodePageSuffix(sectionId)) {
        AppendText(section.text, ".");
        AppendText(section.text, szSystemFontsCodePage);
    }
    if (fWriteLog) {
        char line[kLogTextMax + 1];
        CopyText(line, "Copying section [");
        AppendText(line, section.text);
        AppendText(line, "] item ");
        AppendText(line, key);
        LogLine(line);
    }
    return CopyItem(section.text, key, field, destDir);
}

BOOL CopySectionItem(const char* section, const char* key, int field, const char* destDir) {
    return CopyItem(section, key, field, destDir);
}

BOOL WriteLocationSection(const char* iniPath, const char* destDir) {
    Name location(IDS_SEC_LOCATION);
    WriteEntryOrReport(iniPath, location.text, nullptr, nullptr);
    WriteEntryOrReport(iniPath, location.text, destDir, " ");
    return TRUE;
}

BOOL CopyFiles() {
    WaitCursor cursor;
    nProgressTotal = GetTotalCopySize();
    if (!ChooseSourceDirectory()) return FALSE;
    LZStart();
    if (!CopyComponents()) return FALSE;
    LZDone();
    nProgressDone = nProgressTotal + 1;
    RecordUninstallState(fAlreadyInstalled);
    ShowCopyFinished();
    return TRUE;
}
