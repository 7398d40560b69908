// The simulator's own interface, for its tools and tests (not part of the Win32 surface). A process is
// attached to one machine, a host folder holding machine.ini and one folder per drive; every Win32 call
// of the simulator then acts on that machine.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace sim {

// Creates a machine that looks like a plain Windows 95 installation in DIR (which may exist, empty), with
// the ANSI code page CODEPAGE (1252 or 1251) and that code page's screen fonts. The font files come from
// the folder that WIN95SIM_FONTS names, by default that of the fonts-wine package; a machine made
// without them draws text with the simulator's built-in font.
bool create_default_machine(const std::string& dir, std::string* error, unsigned codepage = 1252);
// The text files of a default machine: path relative to the machine folder, and content.
std::vector<std::pair<std::string, std::string>> default_machine_files(unsigned codepage = 1252);

// Attaches this process to the machine in DIR. MODULE is the Windows path of the running program (what
// GetModuleFileNameA returns), CWD the process's current directory (empty: the root of drive C:).
bool attach(const std::string& dir, const std::string& module, const std::string& cwd, std::string* error);
void detach();
bool attached();

// Forgets every window, window class and queued message (a process attaching to a machine starts
// without windows).
void reset_window_manager();

// The host folder of the attached machine.
const std::string& machine_dir();

// Resources of the running program (compiled .res data); called from the code that embedres generates.
bool register_resources(const unsigned char* data, std::size_t size);

} // namespace sim
