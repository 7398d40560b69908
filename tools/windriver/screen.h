// The screen of the desktop: a pixel, and the whole screen saved as a PNG file.
#pragma once

#include <string>

// The colour at X, Y as 0xRRGGBB.
unsigned screen_pixel(int x, int y);
bool save_screen(const std::string& path, std::string* error);
