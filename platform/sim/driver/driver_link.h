// A simulated program's link to win95sim when win95sim drives it: the environment variable
// WIN95SIM_AGENT names a socket; the program says hello, asks the driver for every input it waits for,
// reports the programs it starts and its end.
#pragma once

#include <string>

namespace sim {

// Connects and installs the remote agent when WIN95SIM_AGENT is set; true when not set.
bool connect_driver(std::string* error);
bool driver_connected();
void driver_notify_spawned(long pid);
void driver_notify_exit(int code);

} // namespace sim
