// The ANSI code pages of the machine (1252 Western, 1251 Cyrillic): conversion to and from UTF-16 and
// the case mapping that CharUpperA, CharLowerA and the case-insensitive comparisons use.
#pragma once

#include <string>

namespace sim {

char16_t ansi_to_unicode(unsigned char c, unsigned codepage);
// '?' when the character has no byte in the code page.
bool unicode_to_ansi(char16_t u, unsigned codepage, unsigned char& out);
unsigned char ansi_upper(unsigned char c, unsigned codepage);
unsigned char ansi_lower(unsigned char c, unsigned codepage);

std::string utf16_to_ansi(const std::u16string& text, unsigned codepage);
std::u16string ansi_to_utf16(const std::string& text, unsigned codepage);
// UTF-8 for the terminal and logs of the tools.
std::string ansi_to_utf8(const std::string& text, unsigned codepage);

} // namespace sim
