// The blocks of a string table (RT_STRING): sixteen strings each, string ID lives in block
// ID / 16 + 1 at place ID % 16, each string a WORD count of UTF-16 units and the units.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace brevok {

/// The sixteen strings of one block, as UTF-16.
using StringBlock = std::array<std::u16string, 16>;

/// The block and the place of string `id`.
inline std::uint16_t StringBlockName(std::uint16_t id) { return static_cast<std::uint16_t>(id / 16 + 1); }
inline std::size_t StringBlockPlace(std::uint16_t id) { return id % 16; }

/// Reads a block; what is missing or cut off at the end reads as empty or shortened strings.
StringBlock ReadStringBlock(std::string_view bytes);

/// Writes a block: sixteen counts, each followed by its string's units.
std::string WriteStringBlock(const StringBlock& block);

}  // namespace brevok
