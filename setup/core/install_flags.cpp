#include "setup/core/setup.h"
#include "setup/messages/messages.h"
#include "setup/resources/ids.h"

namespace {

constexpr int kNameCap = 64;

BOOL ReadFlag(const char* section, UINT keyId, const char* file) {
    char key[kNameCap];
    LoadText(keyId, key, sizeof key);
    return GetPrivateProfileIntA(section, key, 1, file) != 0 ? TRUE : FALSE;
}

void ReadText(const char* section, UINT keyId, UINT defaultId, char* out, std::size_t cap, const char* file) {
    char key[kNameCap], fallback[kNameCap];
    LoadText(keyId, key, sizeof key);
    LoadText(defaultId, fallback, sizeof fallback);
    GetPrivateProfileStringA(section, key, fallback, out, static_cast<DWORD>(cap), file);
}

void ReadStartupGroup() {
    char setupInf[kPathCap + 16], section[kNameCap], key[kNameCap], name[kNameCap], fallback[kNameCap];
    CopyText(setupInf, szSystemDir);
    LoadText(idSetupInf ? idSetupInf : IDS_FILE_SETUP_INF, name, sizeof name);
    AppendText(setupInf, name);
    LoadText(IDS_SEC_PROGMAN_GROUPS, section, sizeof section);
    LoadText(IDS_KEY_GROUP1, key, sizeof key);
    LoadText(IDS_DEFAULT_STARTUP, fallback, sizeof fallback);
    GetPrivateProfileStringA(section, key, fallback, szStartupGroup, sizeof szStartupGroup, setupInf);
}

bool ChosenFileExists(const char* path) {
    OFSTRUCT of;
    return OpenFile(path, &of, OF_EXIST) != HFILE_ERROR;
}

// Asks for setup1.inf with the Open dialog; false when the user cancels.
BOOL AskForSetupInf(HWND owner) {
    static const char kFilter[] = "Inf Files (*.inf)\0*.inf\0All Files (*.*)\0*.*\0";
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = kFilter;
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = szInfFile;
    ofn.nMaxFile = kPathCap;
    ofn.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
    return GetOpenFileNameA(&ofn);
}

} // namespace

void ReadInstallFlags(const char* infPath) {
    char section[kNameCap];
    LoadText(fOemSetup ? IDS_SEC_OEM_FLAGS : IDS_SEC_COMMON_FLAGS, section, sizeof section);
    fShowWelcomeDialog = ReadFlag(section, IDS_KEY_SHOW_WELCOME, infPath);
    fAskCountryAndPath = ReadFlag(section, IDS_KEY_ASK_COUNTRY, infPath);
    fAskSetupOptions = ReadFlag(section, IDS_KEY_ASK_OPTIONS, infPath);
    fAskRestartOrReturn = ReadFlag(section, IDS_KEY_ASK_RESTART, infPath);
    ReadText(section, IDS_KEY_DEFAULT_COUNTRY, IDS_DEFAULT_COUNTRY, szDefaultUserCountry,
             sizeof szDefaultUserCountry, infPath);
    ReadText(section, IDS_KEY_DEFAULT_HOTKEY, IDS_DEFAULT_HOTKEY, szHotKey, sizeof szHotKey, infPath);
    ReadStartupGroup();
}

BOOL LocateSetupInf(HWND owner) {
    char name[kNameCap];
    LoadText(IDS_FILE_SETUP1_INF, name, sizeof name);
    GetModuleDir(szInfFile, sizeof szInfFile);
    AppendText(szInfFile, name);
    OFSTRUCT of;
    if (OpenFile(szInfFile, &of, OF_EXIST) != HFILE_ERROR) {
        CopyText(szInfFile, of.szPathName);
        return TRUE;
    }
    for (;;) {
        CopyText(szInfFile, name);
        ShowSetupMessage(owner, MB_ICONEXCLAMATION, IDS_INF_NOT_FOUND, szInfFile);
        if (!AskForSetupInf(hwndSetup)) return FALSE;
        if (ChosenFileExists(szInfFile)) return TRUE;
    }
}
