// The integer literal of resource scripts.
#include "rules/integer_literal.h"

#include "rules/ascii.h"

namespace brevok {

namespace {

/// The value of the digit `c` in any base up to 16; 16 for any other character.
unsigned DigitValue(char c)
{
    if (IsAsciiDigit(c))
        return static_cast<unsigned>(c - '0');
    const char lower = AsciiLower(c);
    if (lower >= 'a' && lower <= 'f')
        return static_cast<unsigned>(lower - 'a' + 10);
    return 16;
}

}  // namespace

IntegerLiteral ReadIntegerLiteral(std::string_view text)
{
    IntegerLiteral literal;
    unsigned radix = 10;
    std::size_t i = 0;
    if (text.size() > 1 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X' || text[1] == 'o')) {
        radix = text[1] == 'o' ? 8 : 16;
        i = 2;
    }
    const std::size_t digits = i;
    std::uint64_t value = 0;
    for (; i < text.size(); ++i) {
        const unsigned digit = DigitValue(text[i]);
        if (digit >= radix)
            break;
        value = value * radix + digit;
        if (value > 0xFFFFFFFFu) {
            literal.wrapped = true;
            value &= 0xFFFFFFFFu;
        }
    }
    literal.leadingZero = radix == 10 && i - digits > 1 && text[digits] == '0';
    if (i < text.size() && AsciiUpper(text[i]) == 'L') {
        literal.isLong = true;
        ++i;
    }
    literal.value = static_cast<std::uint32_t>(value);
    literal.ignored = text.substr(i);
    return literal;
}

std::optional<std::string> IntegerLiteralWarning(std::string_view text, const IntegerLiteral& literal)
{
    const std::string number(text);
    if (literal.wrapped)
        return number + " does not fit in 32 bits; rc.exe wraps it to " + std::to_string(literal.value);
    if (!literal.ignored.empty())
        return number + " is read as " + std::to_string(literal.value) + ", as rc.exe reads it: it ignores \"" +
            std::string(literal.ignored) + "\"";
    if (literal.leadingZero) {
        std::uint32_t octal = 0;
        for (char c : text.substr(0, text.size() - (literal.isLong ? 1 : 0))) {
            if (c > '7')
                return std::nullopt;  // no octal reading to confuse it with
            octal = octal * 8 + static_cast<std::uint32_t>(c - '0');
        }
        if (octal != literal.value)
            return number + " is decimal " + std::to_string(literal.value) + " to rc.exe, not octal " +
                std::to_string(octal) + " as in C";
    }
    return std::nullopt;
}

std::optional<NameOrdinal> ReadNameOrdinal(std::string_view text)
{
    const bool hex = text.size() > 1 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const std::string_view digits = text.substr(hex ? 2 : 0);
    if (digits.empty())
        return std::nullopt;
    NameOrdinal ordinal;
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        const unsigned digit = DigitValue(digits[i]);
        if (digit >= (hex ? 16u : 10u))
            return std::nullopt;
        if (hex && i >= 4)
            continue;
        value = (value * (hex ? 16 : 10) + digit) & 0xFFFF;
    }
    if (value == 0)
        return std::nullopt;
    ordinal.value = static_cast<std::uint16_t>(value);
    const std::string number(text);
    if (hex && digits.size() > 4)
        ordinal.lost = "the name " + number + " keeps only its first four hexadecimal digits in rc.exe: " +
            std::to_string(value);
    else if (!hex) {
        const IntegerLiteral literal = ReadIntegerLiteral(text);
        if (literal.wrapped || literal.value != value)
            ordinal.lost = "the name " + number + " does not fit in 16 bits; rc.exe keeps its low bits: " +
                std::to_string(value);
        else if (std::optional<std::string> warning = IntegerLiteralWarning(text, literal))
            ordinal.lost = *warning;
    }
    return ordinal;
}

}  // namespace brevok
