// The product's group and icons in Program Manager, made through a DDE conversation with the shell. Every
// command is sent without waiting for its outcome: what the shell makes of it never reaches this program,
// and only the creation of the product's group is checked for being accepted at all.
#include "common/bounded.h"
#include "setup/core/setup.h"
#include "setup/inf/inf.h"
#include "setup/messages/messages.h"
#include "setup/progman/progman.h"
#include "setup/resources/ids.h"

#include <cstring>

namespace {

constexpr int kCommandCap = 264;
constexpr DWORD kClientOnly = APPCMD_CLIENTONLY | CBF_SKIP_ALLNOTIFICATIONS; // 0x3C0010
const char kProgman[] = "Progman";

DWORD ddeInstance;
HCONV progmanConversation;

// The icon sections in the order their items are added, each with the component that brings it.
struct IconSection {
    UINT sectionId;
    const BOOL* component;
    const char* logLine;
};
const IconSection kIconSections[] = {
    {IDS_SEC_ICONS_PROGRAMFILES, &fProgramFiles, "Creating icons: Program Files..."},
    {IDS_GROUP_NAME, &fUninstallEnabled, "Creating icons: Uninstall..."},
    {IDS_SEC_ICONS_APPLICATIONS, &fApplications, "Creating icons: Applications..."},
    {IDS_SEC_ICONS_SAMPLE, &fDevelopersKitSample, "Creating icons: Sample..."},
};

// Sends "[NAME(PREFIX ARGUMENT)]". A command that does not fit its buffer is not sent: cut short, it
// would name another program or item.
BOOL SendNamedCommand(const char* name, const char* prefix, const char* argument) {
    char command[kCommandCap];
    CopyText(command, "[");
    AppendText(command, name);
    AppendText(command, "(");
    AppendText(command, prefix);
    AppendText(command, argument);
    if (!AppendText(command, ")]")) return FALSE;
    return SendProgmanCommand(command);
}

BOOL CreateGroup(const char* group) {
    return SendNamedCommand("CreateGroup", "", group);
}

// The replace command takes out an item of the same name, so a repeated installation does not double it.
void AddIconItem(const char* iconKey) {
    const char* itemName = ItemNameOf(iconKey);
    if (!itemName) return; // not an item definition
    SendNamedCommand("ReplaceItem", "", itemName);
    SendNamedCommand("AddItem", szDestDir, iconKey);
}

bool AnyGroupItemChosen() {
    return fProgramFiles || fUninstallEnabled || fApplications || fDevelopersKitSample;
}

// The product's group with its items; the number of errors.
int CreateProductGroup() {
    int errors = 0;
    LogLine("Creating Progman group...");
    if (!CreateGroup(TableText<>(IDS_GROUP_NAME))) {
        errors = 1;
        LogLine("Creating TARNO group failed.");
    }
    LogLine("Adding icons in TARNO group...");
    if (!CreateProgmanItems()) ++errors;
    return errors;
}

// The first program of the product starts with Windows; the number of errors.
int AddStartupItem() {
    LogLine("Adding icon in start-up group...");
    LogLine("Creating or activating StartUp group...");
    CreateGroup(szStartupGroup); // an existing group is only activated
    char keys[kKeyListCap];
    if (!ReadSectionKeys(IDS_SEC_ICONS_PROGRAMFILES, keys, sizeof keys)) return 1;
    AddIconItem(keys);
    return 0;
}

} // namespace

HDDEDATA CALLBACK ProgmanDdeCallback(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) {
    return nullptr;
}

BOOL ConnectProgman() {
    if (!ddeInstance && DdeInitializeA(&ddeInstance, ProgmanDdeCallback, kClientOnly, 0) != DMLERR_NO_ERROR) {
        ddeInstance = 0;
        return FALSE;
    }
    if (!progmanConversation) {
        // The handle lives until the instance is uninitialised, which frees it.
        HSZ progman = DdeCreateStringHandleA(ddeInstance, kProgman, 0);
        progmanConversation = DdeConnect(ddeInstance, progman, progman, nullptr);
    }
    return progmanConversation != nullptr;
}

BOOL DisconnectProgman() {
    if (!ddeInstance) return TRUE;
    if (progmanConversation) {
        DdeDisconnect(progmanConversation);
        progmanConversation = nullptr;
    }
    DdeUninitialize(ddeInstance);
    ddeInstance = 0;
    return TRUE;
}

BOOL SendProgmanCommand(const char* command) {
    if (!ddeInstance || !progmanConversation) return FALSE;
    DWORD transaction = 0;
    HDDEDATA accepted = DdeClientTransaction(
        reinterpret_cast<LPBYTE>(const_cast<char*>(command)), static_cast<DWORD>(std::strlen(command) + 1),
        progmanConversation, nullptr, 0, XTYP_EXECUTE, TIMEOUT_ASYNC, &transaction);
    return accepted != nullptr;
}

BOOL ReadSectionKeys(UINT sectionId, char* keys, std::size_t cap) {
    return ReadInfKeys(TableText<>(sectionId), keys, static_cast<DWORD>(cap), TRUE);
}

const char* ItemNameOf(const char* iconKey) {
    const char* comma = std::strchr(iconKey, ',');
    return comma ? comma + 1 : nullptr;
}

BOOL AddItemsFromSection(UINT sectionId) {
    char keys[kKeyListCap];
    if (!ReadSectionKeys(sectionId, keys, sizeof keys)) return FALSE;
    for (const char* key = keys; *key; key += std::strlen(key) + 1)
        AddIconItem(key);
    return TRUE;
}

BOOL CreateProgmanItems() {
    int errors = 0;
    for (const IconSection& section : kIconSections) {
        if (!*section.component) continue;
        LogLine(section.logLine);
        if (!AddItemsFromSection(section.sectionId)) ++errors;
    }
    return errors == 0;
}

BOOL CreateProgmanGroup() {
    LogLine("Initiating Progman...");
    if (!ConnectProgman()) {
        LogLine("Connection to Progman failed.");
        DisconnectProgman();
        return FALSE;
    }
    int errors = 0;
    if (AnyGroupItemChosen()) errors += CreateProductGroup();
    if (fProgramFiles) errors += AddStartupItem();
    if (errors > 0) LogLine("Errors occured.");
    LogLine("Creating Progman group and icons complete.");
    DisconnectProgman();
    return errors == 0;
}
