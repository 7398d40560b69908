#pragma once

#include <string>

int show_machine(const std::string& dir);
// The changes since the machine was made, in short: files by folder, entries, registry values, items.
int summarise_machine(const std::string& dir);
