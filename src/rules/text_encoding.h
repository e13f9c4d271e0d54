// The encodings a resource script comes in: UTF-16 (LE or BE) or UTF-8 with a byte order
// mark, or no mark and a code page (single-byte code pages and UTF-8, 65001).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>


namespace brevok {

/// The code page rc.exe assumes when neither `-c` nor a `#pragma code_page` names one.
constexpr int kDefaultCodePage = 1252;
/// UTF-8 as a code page number.
constexpr int kUtf8CodePage = 65001;

/// What a file's first bytes say about its encoding.
enum class ByteOrderMark { None, Utf8, Utf16Le, Utf16Be };

/// The mark `bytes` start with.
ByteOrderMark DetectByteOrderMark(std::string_view bytes);

/// True for the code pages this tool converts: 65001 and the single-byte code pages it has
/// tables for (437, 850, 852, 866, 874, 1250-1258, 28591).
bool IsKnownCodePage(int codePage);

/// Text of a file read into UTF-8: the mark is dropped; UTF-16 is converted (an unpaired
/// surrogate or an odd last byte becomes U+FFFD). Text without a mark is returned as it is.
std::string DecodeMarkedText(std::string_view bytes, ByteOrderMark mark);

/// The character the byte `byte` stands for in the single-byte code page `codePage`; the
/// byte's own value for an unknown code page.
char32_t CodePageCharacter(int codePage, unsigned char byte);

/// `text` in code page `from` converted into code page `to` (both known): through Unicode,
/// a character `to` cannot hold becomes '?', invalid UTF-8 becomes U+FFFD (or '?'). The same
/// code page on both sides returns the text unchanged.
std::string ConvertCodePage(std::string_view text, int from, int to);

}  // namespace brevok
