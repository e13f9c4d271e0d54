// Hexadecimal digits.
#include "rules/hex.h"

namespace brevok {

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::string HexDigits(std::uint64_t value, HexLetters letters, std::size_t width)
{
    const char* digits = letters == HexLetters::Upper ? "0123456789ABCDEF" : "0123456789abcdef";
    std::string out;
    do {
        out.insert(out.begin(), digits[value & 0xF]);
        value >>= 4;
    } while (value != 0 || out.size() < width);
    return out;
}

std::string Hex(std::uint64_t value)
{
    return "0x" + HexDigits(value, HexLetters::Upper);
}

}  // namespace brevok
