// Character helpers the readers of text formats share: hex digits and UTF-8 encoding.
#pragma once

#include <string>

namespace brevok {

/// The value of the hexadecimal digit `c`; -1 for any other character.
int HexDigit(char c);

/// Appends the code point `c` (at most U+10FFFF) to `out` as UTF-8.
void AppendUtf8(std::string& out, char32_t c);

}  // namespace brevok
