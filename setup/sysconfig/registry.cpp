// Registry access for the configuration update: whether a key exists, a write that tells the user when
// the key or the value cannot be written, and a read of one value as text.
#include "common/bounded.h"
#include "setup/core/state.h"
#include "setup/messages/messages.h"
#include "setup/sysconfig/sysconfig.h"

namespace {

constexpr int kReportCap = 256;
constexpr REGSAM kReadWrite = KEY_READ | KEY_WRITE; // 0x2001F
const char kNoPermission[] = ".\rYou may not have the permission for this action.";

void ReportRegistryProblem(const char* text) {
    SetupMessageBox(text, nullptr, szDialogFont, 0);
}

void ReportCannotCreateKey(const char* subKey, const char* valueName) {
    char text[kReportCap];
    CopyText(text, "Can not create registry key:\r  ");
    AppendText(text, subKey);
    AppendText(text, "\rfor WRITING value:\r  ");
    AppendText(text, valueName);
    AppendText(text, kNoPermission);
    ReportRegistryProblem(text);
}

void ReportCannotSetValue(const char* valueName) {
    char text[kReportCap];
    CopyText(text, "Can not set value:\r  ");
    AppendText(text, valueName);
    AppendText(text, kNoPermission);
    ReportRegistryProblem(text);
}

void ReportReadProblem(const char* text) {
    SetupMessageBox(text, nullptr, szDialogFont, MB_ICONSTOP);
}

// Data that filled the buffer to its last byte is text only when that byte ends it.
bool FitsAsText(const BYTE* buffer, DWORD got, DWORD size) {
    return got < size || (got == size && buffer[size - 1] == '\0');
}

} // namespace

BOOL RegKeyExists(HKEY root, const char* subKey) {
    HKEY key;
    if (RegOpenKeyA(root, subKey, &key) != ERROR_SUCCESS) return FALSE;
    RegCloseKey(key);
    return TRUE;
}

BOOL RegSetValueChecked(HKEY root, const char* subKey, const char* valueName, DWORD type, const BYTE* data,
                        DWORD size) {
    HKEY key;
    DWORD disposition;
    if (RegCreateKeyExA(root, subKey, 0, nullptr, REG_OPTION_NON_VOLATILE, kReadWrite, nullptr, &key,
                        &disposition) != ERROR_SUCCESS) {
        ReportCannotCreateKey(subKey, valueName);
        return FALSE;
    }
    LONG set = RegSetValueExA(key, valueName, 0, type, data, size);
    RegCloseKey(key);
    if (set != ERROR_SUCCESS) {
        ReportCannotSetValue(valueName);
        return FALSE;
    }
    return TRUE;
}

LONG GetRegKeyValueEx(HKEY root, const char* subKey, const char* valueName, DWORD* type, BYTE* buffer,
                      DWORD size) {
    if (!RegKeyExists(root, subKey)) return kRegBadKey;
    HKEY key;
    if (RegOpenKeyExA(root, subKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        ReportReadProblem("GetRegKeyValueEx: can not open registry key");
        return kRegBadKey;
    }
    DWORD got = size;
    LONG query = RegQueryValueExA(key, valueName, nullptr, type, buffer, &got);
    RegCloseKey(key);
    // Data that does not fit, or fits only without its end, is not handed on cut: the caller gets no text.
    if (query == ERROR_MORE_DATA || (query == ERROR_SUCCESS && !FitsAsText(buffer, got, size))) {
        if (size) buffer[0] = '\0';
        ReportReadProblem("GetRegKeyValueEx: buffer too small");
        return kRegMoreData;
    }
    if (query != ERROR_SUCCESS) {
        if (size) buffer[0] = '\0';
        return kRegBadKey;
    }
    if (got < size) buffer[got] = '\0';
    return kRegValueRead;
}
