// The raster fonts of the session (font_table.cpp), for font selection.
#pragma once

#include "platform/sim/gdi/fon.h"

#include <memory>
#include <string>
#include <vector>

namespace sim::gdi {

struct Face {
    std::shared_ptr<const FntFont> font;
    std::string file;      // full Windows path of its file
    bool at_start = false; // loaded by the machine at start-up, not by AddFontResourceA
};

// Every face of the session, in the order they were loaded. Empty when no machine is attached or the
// machine has no readable font file.
const std::vector<Face>& session_faces();

// The fonts that SYSTEM.INI [boot] names, as the program found them when it first needed a font; null
// when the entry is missing or its file gives no font.
enum class BootFont { System, Fixed, Oem };
std::shared_ptr<const FntFont> boot_font(BootFont which);

// The face name that FontSubstitutes (registry and WIN.INI) gives for FACE, or FACE itself.
std::string substitute_face(const std::string& face);

// Changes whenever the session's faces do, so that fonts resolved earlier are resolved again.
unsigned font_generation();

} // namespace sim::gdi
