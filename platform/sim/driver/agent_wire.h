// Snapshots and inputs as text, for the agent that sits in another process (win95sim drives the
// programs of a machine over a socket). One record a line; strings are percent-escaped tokens.
#pragma once

#include "platform/sim/driver/agent.h"

#include <string>

namespace sim {

std::string encode_snapshot(const DialogSnapshot& snapshot); // several lines, each ending in '\n'
bool decode_snapshot(const std::string& text, DialogSnapshot& out);
std::string encode_input(const Input& input); // one line without '\n'
bool decode_input(const std::string& line, Input& out);

std::string escape_token(const std::string& s);
bool unescape_token(const std::string& token, std::string& out);

} // namespace sim
