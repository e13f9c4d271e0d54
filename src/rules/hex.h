// Hexadecimal digits, read and written.
#pragma once

#include <cstdint>
#include <string>

namespace brevok {

/// The value of the hexadecimal digit `c`; -1 for any other character.
int HexDigit(char c);

enum class HexLetters { Upper, Lower };

/// `value` in hexadecimal digits, no prefix, padded with zeros to `width` digits: "1A2B"
/// (or "1a2b"; "0409" for width 4).
std::string HexDigits(std::uint64_t value, HexLetters letters, std::size_t width = 1);

/// `value` as messages about offsets and sizes of a binary file give it: "0x1A2B".
std::string Hex(std::uint64_t value);

}  // namespace brevok
