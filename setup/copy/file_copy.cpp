// The copy of one file: found under its own or its compressed name, expanded into the destination, with
// the question that each kind of failure asks and the prompt for the disk when the file is not there.
#include "common/bounded.h"
#include "setup/copy/copy.h"
#include "setup/copy/copy_common.h"
#include "setup/core/progress.h"
#include "setup/core/setup.h"
#include "setup/messages/messages.h"
#include "setup/resources/ids.h"

#include <cstring>

namespace {

constexpr UINT kQuestion = MB_YESNO | MB_ICONEXCLAMATION;
constexpr UINT kQuestionNoFirst = MB_YESNO | MB_DEFBUTTON2 | MB_ICONEXCLAMATION;

// How the copy reports one kind of failure: the log line's ending and the question.
struct CopyErrorKind {
    int code;
    const char* logSuffix;
    UINT question;
    UINT style;
};

const CopyErrorKind kCopyErrors[] = {
    {LZERROR_WRITE, " - write error, possible reason: out of disk space.", IDS_CANT_WRITE_DEST,
     kQuestionNoFirst},
    {LZERROR_READ, " - read error, possible reason: bad compress format.", IDS_BAD_COMPRESSION,
     kQuestionNoFirst},
    {LZERROR_BADOUTHANDLE, " - can not open destination file.", IDS_CANT_COPY_TO_DEST,
     MB_YESYESTOALLNO | MB_ICONEXCLAMATION},
    {LZERROR_BADINHANDLE, " - can not open source file.", IDS_CANT_COPY_SOURCE, kQuestion},
};
const CopyErrorKind kGenericError = {0, " - generic error, possible reason: out of memory.",
                                     IDS_COPY_GENERAL_ERROR, kQuestionNoFirst};

const CopyErrorKind& KindOf(int code) {
    for (const CopyErrorKind& kind : kCopyErrors)
        if (kind.code == code) return kind;
    return kGenericError;
}

// A path for messages and log lines: the two parts joined, cut if need be (it is only shown).
struct ShownPath {
    char text[kPathCap];
    ShownPath(const char* dir, const char* name) {
        CopyText(text, dir);
        AppendText(text, name);
    }
};

// Opens PATH for reading, expanded; OPENED receives the file the system opened (the library may have found
// it under its compressed name).
INT OpenSource(char* path, char* opened, std::size_t cap) {
    OFSTRUCT of{};
    INT handle = LZOpenFileA(path, &of, OF_READ);
    if (handle >= 0) CopyTextN(opened, cap, of.szPathName[0] ? of.szPathName : path);
    return handle;
}

// True when something of that name is there, although it could not be opened.
bool IsPresent(const char* path) {
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

// Opens the source under its own name or its compressed name; the handle, or the attempt's answer (<= 0
// here only as kSourceNotFound, kAttemptSkip or kAttemptStop). OPENED receives the path that opened.
int OpenEitherSource(const char* sourceDir, const char* fileName, char* opened, std::size_t cap) {
    char source[kPathCap], compressed[kPathCap];
    if (!BuildFilePath(source, sizeof source, sourceDir, fileName))
        return ReportCopyError(LZERROR_BADINHANDLE, ShownPath(sourceDir, fileName).text);
    INT handle = OpenSource(source, opened, cap);
    if (handle >= 0) return handle;
    if (handle != LZERROR_BADINHANDLE) return ReportCopyError(handle, source);
    if (GetCompressedName(source, compressed, sizeof compressed)) {
        handle = OpenSource(compressed, opened, cap);
        if (handle >= 0) return handle;
        if (handle != LZERROR_BADINHANDLE) return ReportCopyError(handle, source);
    }
    // A file that is there but cannot be opened is not a missing disk: asking for the disk would not help.
    if (IsPresent(source) || (compressed[0] && IsPresent(compressed)))
        return ReportCopyError(LZERROR_BADINHANDLE, source);
    LogJoined(source, " - can not open source file.");
    return kSourceNotFound;
}

// The destination could not be created: one that is there stays and counts as copied.
int KeepOrRefuse(const char* dest, INT code) {
    if (FileExists(dest)) {
        LogJoined(dest, " - file exist, can not be overwritten.");
        return static_cast<int>(GetFileSizeByName(dest));
    }
    // The library's cannot-open code stands for a destination that cannot be created.
    return RefuseDestination(dest, code == LZERROR_BADINHANDLE ? LZERROR_BADOUTHANDLE : code);
}

// Expands SOURCE into the new file DEST. A failed copy leaves no destination behind: a part of a file
// must never pass for the file.
int CopyExpanded(INT source, INT target, const char* sourcePath, const char* dest) {
    LONG copied = LZCopy(source, target);
    LZClose(source);
    LZClose(target);
    if (copied >= 0) return static_cast<int>(copied);
    DeleteFileA(dest);
    // A read failure is the source's, so the question names the source.
    bool sourceFault = copied == LZERROR_READ || copied == LZERROR_BADINHANDLE;
    return ReportCopyError(copied, sourceFault ? sourcePath : dest);
}

// Asks for the disk (or a path) that holds FILE_NAME; the path given becomes SOURCE_DIR.
bool AskForSource(const char* disk, char* sourceDir, const char* fileName) {
    char path[kPathCap];
    if (!PromptForDisk(fileName, disk, path, sizeof path)) return false;
    CopyTextN(sourceDir, kPathCap, path);
    return true;
}

// Reading the source from the directory it is written to would destroy it: the user must name another.
bool SourceDiffersFromDestination(const char* disk, char* sourceDir, const char* destDir,
                                  const char* fileName) {
    while (lstrcmpiA(sourceDir, destDir) == 0) {
        ShowSetupMessage(hwndSetup, MB_OK | MB_ICONEXCLAMATION, IDS_SAME_DIRECTORIES);
        if (!AskForSource(disk, sourceDir, fileName)) return false;
    }
    return true;
}

void LogCopied(const char* destDir, const char* fileName, int bytes) {
    if (!fWriteLog) return;
    char line[kLogTextMax + 1];
    CopyText(line, destDir);
    AddBackslash(line);
    AppendText(line, fileName);
    char count[16];
    wsprintfA(count, " %lu", static_cast<DWORD>(bytes));
    AppendText(line, count);
    LogLine(line);
}

} // namespace

BOOL IsPlainFileName(const char* name) {
    if (!name || !name[0]) return FALSE;
    bool onlyDots = true;
    for (const char* p = name; *p; ++p) {
        if (*p == '\\' || *p == '/' || *p == ':') return FALSE;
        if (*p != '.' && *p != ' ') onlyDots = false;
    }
    return !onlyDots;
}

BOOL BuildFilePath(char* out, std::size_t cap, const char* dir, const char* name) {
    if (IsPlainFileName(name) && JoinPathN(out, cap, {dir, name})) return TRUE;
    if (cap) out[0] = '\0';
    return FALSE;
}

BOOL GetCompressedName(const char* path, char* out, std::size_t cap) {
    if (!CopyTextN(out, cap, path)) {
        if (cap) out[0] = '\0';
        return FALSE;
    }
    std::size_t length = std::strlen(out);
    std::size_t base = length;
    while (base > 0 && out[base - 1] != '\\' && out[base - 1] != '/' && out[base - 1] != ':')
        --base;
    const char* dot = std::strrchr(out + base, '.');
    std::size_t extension = dot ? static_cast<std::size_t>(out + length - dot) : 0;
    if (extension >= 2) {
        out[length - 1] = '_';
        return TRUE;
    }
    if (dot) out[length - 1] = '\0'; // a lone dot is no extension
    if (AppendTextN(out, cap, "._")) return TRUE;
    out[0] = '\0';
    return FALSE;
}

void ShowCopyProgress(const char* destDir, const char* fileName) {
    ShowProgressTexts(fileName, ShownPath(destDir, fileName).text);
}

int ReportCopyError(int code, const char* path) {
    const CopyErrorKind& kind = KindOf(code);
    LogJoined(path, kind.logSuffix);
    int answer = ShowSetupMessage(hwndSetup, kind.style, kind.question, path);
    if (answer == IDYES) {
        LogLine("User skipped copying file.");
        return kAttemptSkip;
    }
    if (answer == IDYESTOALL) {
        fIgnoreCreateErrors = TRUE;
        LogLine("Set ignore all errors on creating destination files.");
        return kAttemptSkip;
    }
    LogLine("Copying stopped by user.");
    return kAttemptStop;
}

int ExpandFile(const char* sourceDir, const char* destDir, const char* fileName) {
    char dest[kPathCap];
    if (!BuildFilePath(dest, sizeof dest, destDir, fileName))
        return RefuseDestination(ShownPath(destDir, fileName).text);
    char sourcePath[kPathCap];
    int source = OpenEitherSource(sourceDir, fileName, sourcePath, sizeof sourcePath);
    if (source < 0) return source;
    OFSTRUCT of;
    INT target = LZOpenFileA(dest, &of, OF_CREATE);
    if (target < 0) {
        LZClose(source);
        return KeepOrRefuse(dest, target);
    }
    return CopyExpanded(source, target, sourcePath, dest);
}

int CopySetupFile(const char* disk, char* sourceDir, const char* destDir, const char* fileName) {
    ShowCopyProgress(destDir, fileName);
    int result = 0;
    for (;;) {
        if (!SourceDiffersFromDestination(disk, sourceDir, destDir, fileName)) return 0;
        int attempt = ExpandFile(sourceDir, destDir, fileName);
        if (attempt == kSourceNotFound) {
            if (!AskForSource(disk, sourceDir, fileName)) return 0;
            continue;
        }
        if (attempt == kAttemptSkip) {
            result = 1;
        } else if (attempt != kAttemptStop) {
            LogCopied(destDir, fileName, attempt);
            result = attempt > 1 ? attempt : 1; // an empty file is copied too, and the copy goes on
        }
        break;
    }
    nProgressDone += result;
    ShowCopyProgress(szDestDir, fileName);
    return result;
}
