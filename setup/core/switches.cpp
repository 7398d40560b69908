#include "setup/core/setup.h"
#include "setup/messages/messages.h"
#include "setup/resources/ids.h"

#include <cstring>

namespace {

constexpr char kDelimiters[] = " /";

void ShowSwitchList() {
    static const char kSwitches[] = "\r/e - express setup (skip not important dialogs),\r"
                                    "/q - disable writing messages to log-file during setup,\r"
                                    "/o - OEM setup.\r";
    ShowSetupMessage(nullptr, MB_ICONASTERISK, IDS_SWITCHES_HELP, kSwitches);
}

// The flag a one-letter switch sets, or null.
BOOL* FlagOf(const char* token) {
    struct Switch {
        const char* name;
        BOOL* flag;
    };
    static const Switch switches[] = {{"a", &fServerSetup},
                                      {"n", &fWorkstationSetup},
                                      {"e", &fExpressSetup},
                                      {"o", &fOemSetup},
                                      {"d", &fDeleteSetupDir}};
    for (const Switch& s : switches)
        if (lstrcmpiA(token, s.name) == 0) return s.flag;
    return nullptr;
}

void SetStartPath(const char* path) {
    // "/s" alone names no path: a lone backslash would point at the root of the current drive. A path
    // too long for the buffer is no start path either: cut, it would name another directory.
    if (!*path || !JoinPath(szStartPath, path) || !AddBackslash(szStartPath)) szStartPath[0] = '\0';
}

} // namespace

BOOL ParseCommandLine(const char* commandLine) {
    szStartPath[0] = '\0';
    char line[kCommandLineCap];
    CopyText(line, commandLine ? commandLine : "");
    char* rest = line;
    while (*rest) {
        rest += std::strspn(rest, kDelimiters);
        if (!*rest) break;
        char* token = rest;
        rest += std::strcspn(rest, kDelimiters);
        if (*rest) *rest++ = '\0';
        if (lstrcmpiA(token, "?") == 0) {
            ShowSwitchList();
            return FALSE;
        }
        if (BOOL* flag = FlagOf(token))
            *flag = TRUE;
        else if (lstrcmpiA(token, "q") == 0)
            fWriteLog = FALSE;
        else if (token[0] == 's')
            SetStartPath(token + 1);
    }
    // Given both, the workstation installation holds: it copies nothing, where a server installation
    // would copy the disks. Every step then takes the run as a workstation's.
    if (fWorkstationSetup) fServerSetup = FALSE;
    return TRUE;
}
