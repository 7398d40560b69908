#pragma once

#include <string>

// Runs a program with a person at the terminal: each dialog is drawn as text and the person answers in
// the scenario language.
int run_interactive(const std::string& machine_dir, const std::string& command_line);
