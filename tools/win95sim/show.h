#pragma once

#include <string>

int show_machine(const std::string& dir);
