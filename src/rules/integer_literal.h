// The integer literal of resource scripts, read one way by the tokenizer, the parser and the
// file-statement reader.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace brevok {

/// A number of a script and whether an L suffix made it a 32-bit one.
struct IntegerLiteral {
    std::uint32_t value = 0;
    bool isLong = false;
};

/// Reads `text` as llvm-rc reads an integer token (LLVM's getAsInteger with radix 0):
/// decimal, 0x hexadecimal, 0b binary, 0o or 0-led octal, one trailing L (either case), at
/// most 32 bits. Nothing for anything else: no digits, a digit outside the base, a value
/// past 0xFFFFFFFF.
std::optional<IntegerLiteral> ReadIntegerLiteral(std::string_view text);

}  // namespace brevok
