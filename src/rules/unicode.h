// UTF-8 and UTF-16: the one encoder and decoder of each, with the replacement character
// U+FFFD for what is not well formed (an unpaired surrogate, a malformed UTF-8 sequence).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace brevok {

inline constexpr char32_t kReplacementCharacter = 0xFFFD;

/// Appends the code point `c` (at most U+10FFFF) to `out` as UTF-8.
void AppendUtf8(std::string& out, char32_t c);

/// The next code point of UTF-8 `text` at `i` (moved past it; `i` < text.size()); U+FFFD,
/// with `i` moved by one byte, for a byte that does not start a well-formed sequence
/// (overlong forms, surrogates and values past U+10FFFF included).
char32_t NextUtf8(std::string_view text, std::size_t& i);

/// True when every sequence of `text` is well formed (as NextUtf8 reads them).
bool IsWellFormedUtf8(std::string_view text);

/// The characters of UTF-8 `text`: each code point counts one however many bytes it takes,
/// and so does each byte that NextUtf8 reads as U+FFFD.
std::size_t Utf8CharacterCount(std::string_view text);

/// Appends the code point `c` to `out` as UTF-16 (a surrogate pair above U+FFFF).
void AppendUtf16(std::u16string& out, char32_t c);

/// UTF-8 into UTF-16, each malformed byte U+FFFD.
std::u16string Utf8ToUtf16(std::string_view text);

/// UTF-16 into UTF-8; an unpaired surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);

}  // namespace brevok
