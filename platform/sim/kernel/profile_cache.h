// The parsed INI files of the process, one per host file, for the profile functions. An entry is
// trusted while the file keeps its size and modification time; a file whose time is too close to when
// it was read (a later write in the same clock tick would not change it) is read again and compared.
#pragma once

#include "platform/sim/kernel/ini.h"

#include <memory>
#include <string>

namespace sim {

// The document of a full Windows path: null when the file is missing or unreadable (or made so by
// fault injection).
std::shared_ptr<const IniDocument> load_profile(const std::string& full);
// Writes the new text of a profile file at once; false with the file unchanged when the file is
// read-only, fails by injection, the disk is full or the host write fails.
bool store_profile(const std::string& full, const std::string& text);
// Forgets every parsed file (tests, and machines attached one after another).
void clear_profile_cache();
// How many times a file was parsed since the last clear, for tests of the cache.
unsigned long profile_parse_count();

} // namespace sim
