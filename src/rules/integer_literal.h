// The integer literal of resource scripts, read one way by the tokenizer, the parser and the
// file-statement reader.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace brevok {

/// A number of a script, whether an L suffix made it a 32-bit one, and what rc.exe's reading
/// of it silently did that a C reader would not.
struct IntegerLiteral {
    std::uint32_t value = 0;
    bool isLong = false;
    /// Characters after the digits (and the L) that rc.exe ignores: ".0" of "8019.0".
    std::string_view ignored;
    /// The value went past 32 bits and wrapped.
    bool wrapped = false;
    /// A leading 0 that C would read as octal ("010" is 10, not 8).
    bool leadingZero = false;
};

/// Reads `text`, a token that starts with a digit, as rc.exe reads a number: "0x" or "0X"
/// and hexadecimal digits, "0o" and octal digits, or decimal digits (a leading 0 does not
/// make it octal); an L (either case) right after the digits makes it 32-bit; whatever
/// follows is ignored ("1.5" is 1, "0x1g" is 1); the value wraps at 32 bits.
IntegerLiteral ReadIntegerLiteral(std::string_view text);

/// The warning rc.exe's reading of `literal` (from `text`) deserves, or nothing: a value that
/// wrapped, ignored characters, or a leading zero where C would have read octal.
std::optional<std::string> IntegerLiteralWarning(std::string_view text, const IntegerLiteral& literal);

/// A number token that names a resource or its type, read as rc.exe reads it: decimal digits
/// wrap at 16 bits ("70000" is 4464), a "0x" number keeps only its first four hexadecimal
/// digits ("0x12345" is 0x1234). Nothing when rc.exe takes the token as a name instead: one
/// with anything else in it ("1L", "1.5", "1a", "0o17") or whose value is 0.
struct NameOrdinal {
    std::uint16_t value = 0;
    /// What was lost on the way, for a warning; empty when nothing was.
    std::string lost;
};
std::optional<NameOrdinal> ReadNameOrdinal(std::string_view text);

}  // namespace brevok
