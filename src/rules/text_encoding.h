// The encodings a resource script comes in: UTF-16 (LE or BE) or UTF-8 with a byte order
// mark, or no mark and a code page (single-byte code pages, the double-byte code pages 932,
// 936, 949 and 950, and UTF-8, 65001).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace brevok {

/// The code page rc.exe assumes when neither `-c` nor a `#pragma code_page` names one.
constexpr int kDefaultCodePage = 1252;
/// UTF-8 as a code page number.
constexpr int kUtf8CodePage = 65001;

/// What a file's first bytes say about its encoding.
enum class ByteOrderMark { None, Utf8, Utf16Le, Utf16Be };

/// The mark `bytes` start with.
ByteOrderMark DetectByteOrderMark(std::string_view bytes);

/// True for the code pages this tool converts: 65001, the single-byte code pages it has
/// tables for (437, 850, 852, 866, 874, 1250-1258, 28591) and the double-byte code pages 932
/// (Shift-JIS), 936 (GBK), 949 (Unified Hangul) and 950 (Big5).
bool IsKnownCodePage(int codePage);

/// True for 932, 936, 949 and 950, where a lead byte and the trail byte after it are one
/// character; a trail byte may be an ASCII letter or sign (in 932, 936 and 950 also '\\'),
/// which is then no character of its own.
bool IsDoubleByteCodePage(int codePage);

/// Bytes the character at `text[i]` takes in `codePage`: 2 for a lead byte followed by one of
/// its trail bytes in a double-byte code page, else 1.
std::size_t CodePageCharacterLength(int codePage, std::string_view text, std::size_t i);

/// Text of a file read into UTF-8: the mark is dropped; UTF-16 is converted (an unpaired
/// surrogate or an odd last byte becomes U+FFFD). Text without a mark is returned as it is.
std::string DecodeMarkedText(std::string_view bytes, ByteOrderMark mark);

/// The character the byte `byte` stands for in the single-byte code page `codePage`, or on
/// its own in a double-byte one (a lead byte gives the code page's default character); the
/// byte's own value for an unknown code page.
char32_t CodePageCharacter(int codePage, unsigned char byte);

/// `text` in code page `from` converted into code page `to` (both known): through Unicode,
/// a character `to` cannot hold becomes '?', invalid UTF-8 becomes U+FFFD (or '?'); in a
/// double-byte code page a sequence with no mapping or a lead byte without its trail byte
/// becomes the code page's default character (U+30FB in 932, '?' in the others). The same
/// code page on both sides returns the text unchanged.
std::string ConvertCodePage(std::string_view text, int from, int to);

/// A file name read from text in `codePage`, in UTF-8 as the program holds every file name
/// (the platform layer opens files by UTF-8 names): from a single- or double-byte code page
/// it is converted as the code page's strings are (ConvertCodePage), which is how rc.exe
/// turns it into the UTF-16 name it opens; from UTF-8 text, or in a code page this tool
/// does not know, the bytes are the name.
std::string FileNameToUtf8(std::string_view name, int codePage);

/// The UTF-8 names to look for a file by that text in `codePage` names as `name`, in order:
/// FileNameToUtf8's, then the bytes as written when they differ from it and are well-formed
/// UTF-8. Scripts made where file names are UTF-8 name their files so without a #pragma
/// code_page, and the workbench writes the paths it is given that way; rc.exe would not find
/// such a file. The second name is looked for only when the first finds nothing, and a
/// message about a file that neither finds names the last one: well-formed UTF-8 bytes are
/// rarely meant as code page text, and read as what they are.
std::vector<std::string> FileNameLookups(std::string_view name, int codePage);

}  // namespace brevok
