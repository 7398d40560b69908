// What the shell part of the simulator shares with the window manager: the windows of programs that the
// machine lists as running (they live outside this process: messages to them are recorded).
#pragma once

#include "platform/sim/win/types.h"

#include <string>

namespace sim {

bool is_foreign_window(HWND hwnd);
// Records a message posted to a running program's window in the machine's posts.log.
BOOL post_to_foreign_window(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);

// Starts a program of the machine as WinExec does: the result is WinExec's (above 31 on success) and
// PID the host process (0 for a program that runs nothing). RECORD adds the start to exec.log.
unsigned start_program(const std::string& command_line, long* pid, bool record);

// The stub of a simulated program file: its first line names the host program that runs it.
std::string program_stub(const std::string& host_program);
// The host program named by a stub, or "" when BYTES is not a stub.
std::string stub_program(const std::string& bytes);

} // namespace sim
