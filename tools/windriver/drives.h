// Wine's drives as a scenario sets them: a letter mapped to a host folder, of the kind GetDriveTypeA
// reports, changed at once through Wine's mount manager (the way Wine's own configuration tool does).
#pragma once

#include <windows.h>

#include <string>

namespace wine_drives {

// The drive's kind (DRIVE_FIXED, DRIVE_REMOTE, ...) and its host folder as a Unix path; false when there
// is no such drive.
bool query(char letter, UINT& kind, std::string& unix_folder);
// Maps the letter to the Unix folder as a drive of that kind (the folder need not exist: then the drive
// has no disk in it); false with the reason.
bool define(char letter, UINT kind, const std::string& unix_folder, std::string* error);
bool remove(char letter);
// The Unix path of a Windows path of this machine ("" when Wine cannot tell).
std::string unix_path(const std::string& windows_path);

} // namespace wine_drives
