// Switches of the loader.
#include "common/bounded.h"
#include "loader/loader.h"
#include "loader/loader_ids.h"

namespace {

bool IsSeparator(char c) {
    return c == ' ' || c == '/' || c == '-';
}

// Sets the flag of a one-letter switch word; other words are ignored.
void ApplySwitchWord(const char* word) {
    if (lstrcmpiA(word, "a") == 0)
        fSwitchA = TRUE;
    else if (lstrcmpiA(word, "n") == 0)
        fSwitchN = TRUE;
    else if (lstrcmpiA(word, "e") == 0)
        fSwitchE = TRUE;
    else if (lstrcmpiA(word, "q") == 0)
        fSwitchQ = TRUE;
    else if (lstrcmpiA(word, "o") == 0)
        fSwitchO = TRUE;
}

void ShowSwitchHelp() {
    char help[256];
    CopyText(help, "\r/e - express setup (skip not important dialogs),\r"
                   "/q - disable writing messages to log-file during setup,\r"
                   "/o - OEM setup.\r");
    LoaderMessage(nullptr, MB_OK | MB_ICONINFORMATION, IDS_LOADER_SWITCHES_HELP, help);
}

} // namespace

SwitchOutcome ParseLoaderSwitches(const char* commandLine) {
    char line[kLoaderCommandLineMax + 1];
    CopyText(line, commandLine ? commandLine : "");
    char* p = line;
    while (*p) {
        while (*p && IsSeparator(*p))
            ++p;
        if (!*p) break;
        char* word = p;
        while (*p && !IsSeparator(*p))
            ++p;
        char saved = *p;
        *p = '\0';
        if (lstrcmpA(word, "?") == 0) return SwitchOutcome::Help;
        ApplySwitchWord(word);
        *p = saved;
    }
    return IncompatibleSwitchesMessage() ? SwitchOutcome::Conflict : SwitchOutcome::Go;
}

const char* IncompatibleSwitchesMessage() {
    if (fSwitchA && fSwitchN) return "Incompatible command line switches: /a and /n.";
    if (fSwitchE && fSwitchA) return "Incompatible command line switches: /e and /a.";
    if (fSwitchE && fSwitchN) return "Incompatible command line switches: /e and /n.";
    return nullptr;
}

BOOL HandleLoaderSwitches(const char* commandLine) {
    switch (ParseLoaderSwitches(commandLine)) {
    case SwitchOutcome::Help:
        ShowSwitchHelp();
        return FALSE;
    case SwitchOutcome::Conflict:
        MessageBoxA(nullptr, IncompatibleSwitchesMessage(), "Setup", MB_OK | MB_ICONERROR);
        return FALSE;
    default:
        return TRUE;
    }
}
