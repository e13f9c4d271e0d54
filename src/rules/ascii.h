// ASCII letter case, the one case rule of the formats we read: resource names and types,
// version keys, keywords and file names compare and fold only A-Z and a-z.
#pragma once

#include <string>
#include <string_view>

namespace brevok {

/// The ASCII character classes: 0-9; A-Z and a-z; either.
constexpr bool IsAsciiDigit(char c)
{
    return c >= '0' && c <= '9';
}
constexpr bool IsAsciiLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
constexpr bool IsAsciiAlnum(char c)
{
    return IsAsciiDigit(c) || IsAsciiLetter(c);
}

/// `c` with a-z made A-Z; any other unit unchanged (also for UTF-16 units).
constexpr char AsciiUpper(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}
constexpr char16_t AsciiUpper(char16_t c)
{
    return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c;
}

/// `c` with A-Z made a-z; any other character unchanged.
constexpr char AsciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

/// `text` with a-z made A-Z; other bytes (UTF-8 included) unchanged.
std::string AsciiUpper(std::string_view text);

/// True when every byte of `text` is ASCII (below 0x80).
bool IsPlainAscii(std::string_view text);

/// True when `a` and `b` differ at most in the letter case of ASCII letters.
bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b);

}  // namespace brevok
