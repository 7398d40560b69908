#include "common/bounded.h"
#include "setup/core/setup.h"
#include "setup/messages/messages.h"
#include "setup/resources/ids.h"

#include <cstring>

namespace {

constexpr char kLogName[] = "TNSETUP.LOG";

void LogFormatted(const char* format, int value) {
    char line[kLogTextMax + 1];
    wsprintfA(line, format, value);
    LogLine(line);
}

void LogText(const char* format, const char* value) {
    char line[kLogTextMax + 1];
    // The values are short state buffers; cut them so the line fits whatever they hold.
    char cut[kLogTextMax - 32];
    CopyText(cut, value);
    wsprintfA(line, format, cut);
    LogLine(line);
}

int Bit(BOOL flag) {
    return flag ? 1 : 0;
}

} // namespace

BOOL WriteLogLine(const char* logPath, const char* text) {
    if (!logPath || !text || !text[0]) return FALSE;
    char line[kLogTextMax + 3];
    CopyText(line, "");
    AppendTextN(line, kLogTextMax + 1, text); // a longer text is cut
    AppendText(line, "\r\n");
    OFSTRUCT of;
    HFILE file = OpenFile(logPath, &of, OF_WRITE);
    if (file == HFILE_ERROR) return FALSE;
    if (_llseek(file, 0, FILE_END) == HFILE_ERROR) {
        _lclose(file);
        return FALSE;
    }
    UINT length = static_cast<UINT>(std::strlen(line));
    UINT written = _lwrite(file, line, length);
    _lclose(file);
    return written == length;
}

void LogLine(const char* text) {
    if (fWriteLog) WriteLogLine(szLogFile, text);
}

void CreateSetupLog(const char* directory) {
    // A name that does not fit is a log that cannot be created: a cut one would be another file.
    bool named =
        JoinPath(szLogFile, directory) && AddBackslash(szLogFile) && JoinPath(szLogFile, szLogFile, kLogName);
    OFSTRUCT of;
    HFILE file = named ? OpenFile(szLogFile, &of, OF_CREATE) : HFILE_ERROR;
    if (file == HFILE_ERROR) {
        ShowSetupMessage(hwndSetup, MB_ICONASTERISK, IDS_CANT_CREATE_LOG, named ? szLogFile : directory);
        fWriteLog = FALSE;
        szLogFile[0] = '\0';
        return;
    }
    _lclose(file);
    LogLine("Log file created.");
}

void WriteLogHeader() {
    DWORD version = GetVersion();
    char line[64];
    wsprintfA(line, " Windows version=%i.%i", static_cast<int>(LOBYTE(LOWORD(version))),
              static_cast<int>(HIBYTE(LOWORD(version))));
    LogLine("Installing components and flags:");
    LogLine(line);
    LogText(" Country key=%s", szCountryKey);
    LogText(" System Fonts Code Page=%s", szSystemFontsCodePage);
    LogText(" DOS Code Page=%s", szDosCodePage);
    LogText(" Hot Key=%s", szHotKey);
    LogFormatted(" Program Files=%i", Bit(fProgramFiles));
    LogFormatted(" Layouts=%i", Bit(fLayouts));
    LogFormatted(" Fonts=%i", Bit(fFonts));
    LogFormatted(" Applications=%i", Bit(fApplications));
    LogFormatted(" TrueType Fonts=%i", Bit(fTrueTypeFonts));
    LogFormatted(" Screen Fonts=%i", Bit(fScreenFonts));
    LogFormatted(" Developers Kit Sample=%i", Bit(fDevelopersKitSample));
    LogFormatted(" 24-pin Printers Present=%i", Bit(f24PinPrinters));
    LogFormatted("  9-pin Printers Present=%i", Bit(f9PinPrinters));
    LogFormatted(" Printer Drivers to Update=%i", nPrinterDriversToUpdate);
    LogFormatted(" Printer Fonts=%i", Bit(fPrinterFonts));
    LogFormatted(" 24-pin Printer Fonts=%i", Bit(f24PinPrinterFonts));
    LogFormatted("  9-pin Printer Fonts=%i", Bit(f9PinPrinterFonts));
    LogFormatted(" TARNO Already Installed=%i", Bit(fAlreadyInstalled));
    LogFormatted(" Uninstall Enabled=%i", Bit(fUninstallEnabled));
    LogFormatted(" Replace Old Files=%i", Bit(fReplaceOldFiles));
}
