// The integer literal of resource scripts.
#include "rules/integer_literal.h"

#include "rules/ascii.h"

namespace brevok {

namespace {

/// The value of the digit `c` in any base up to 36; 36 for any other character.
unsigned DigitValue(char c)
{
    if (IsAsciiDigit(c))
        return static_cast<unsigned>(c - '0');
    const char lower = AsciiLower(c);
    if (lower >= 'a' && lower <= 'z')
        return static_cast<unsigned>(lower - 'a' + 10);
    return 36;
}

}  // namespace

std::optional<IntegerLiteral> ReadIntegerLiteral(std::string_view text)
{
    IntegerLiteral literal;
    if (!text.empty() && AsciiUpper(text.back()) == 'L') {
        literal.isLong = true;
        text.remove_suffix(1);
    }
    unsigned radix = 10;
    if (text.size() > 1 && text[0] == '0') {
        const char prefix = AsciiLower(text[1]);
        // "0o" only in lower case, as LLVM reads it.
        if (prefix == 'x' || prefix == 'b' || text[1] == 'o') {
            radix = prefix == 'x' ? 16 : prefix == 'b' ? 2 : 8;
            text.remove_prefix(2);
        } else if (IsAsciiDigit(text[1])) {
            radix = 8;
            text.remove_prefix(1);
        }
    }
    if (text.empty())
        return std::nullopt;
    std::uint64_t value = 0;
    for (char c : text) {
        const unsigned digit = DigitValue(c);
        if (digit >= radix)
            return std::nullopt;
        value = value * radix + digit;
        if (value > 0xFFFFFFFFu)
            return std::nullopt;
    }
    literal.value = static_cast<std::uint32_t>(value);
    return literal;
}

}  // namespace brevok
