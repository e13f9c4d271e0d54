// The shared text and byte rules, one table per rule: integer literals, letter case, hex,
// UTF-8 and UTF-16 (well formed and not), code pages and byte order marks, little-endian fields.
#include "rules/ascii.h"
#include "rules/hex.h"
#include "rules/integer_literal.h"
#include "rules/little_endian.h"
#include "rules/text_encoding.h"
#include "rules/unicode.h"

#include <gtest/gtest.h>

#include <limits>

namespace brevok {
namespace {

constexpr std::uint64_t kNone = std::numeric_limits<std::uint64_t>::max();

TEST(IntegerLiteral, EveryBaseTheSuffixAndTheLimits)
{
    // rc.exe's reading: no octal, the digits count and the rest is ignored, 32 bits wrap.
    const struct {
        const char* text;
        std::uint32_t value;
        bool isLong;
        const char* ignored;
        bool wrapped;
    } cases[] = {
        {"0", 0, false, "", false},           {"65535", 65535, false, "", false},
        {"0x1F", 31, false, "", false},       {"0X1f", 31, false, "", false},
        {"010", 10, false, "", false},        {"08", 8, false, "", false},
        {"0o17", 15, false, "", false},       {"0O17", 0, false, "O17", false},
        {"0b101", 0, false, "b101", false},   {"12L", 12, true, "", false},
        {"12ul", 12, false, "ul", false},     {"1lu", 1, true, "u", false},
        {"8019.0", 8019, false, ".0", false}, {"0x1g", 1, false, "g", false},
        {"0x", 0, false, "", false},          {"4294967295", 0xFFFFFFFF, false, "", false},
        {"4294967296", 0, false, "", true},   {"0x1FFFFFFFFL", 0xFFFFFFFF, true, "", true},
    };
    for (const auto& c : cases) {
        const IntegerLiteral read = ReadIntegerLiteral(c.text);
        EXPECT_EQ(read.value, c.value) << c.text;
        EXPECT_EQ(read.isLong, c.isLong) << c.text;
        EXPECT_EQ(read.ignored, c.ignored) << c.text;
        EXPECT_EQ(read.wrapped, c.wrapped) << c.text;
    }
    // A name: an ordinal as rc.exe cuts it, or no number at all.
    const std::pair<const char*, int> names[] = {
        {"7", 7},       {"010", 10}, {"70000", 4464}, {"0x12345", 0x1234}, {"0x00010", 1},
        {"0", -1},      {"65536", -1}, {"1L", -1},    {"1.5", -1},         {"0o17", -1}, {"0x", -1},
    };
    for (const auto& [text, value] : names) {
        const std::optional<NameOrdinal> ordinal = ReadNameOrdinal(text);
        EXPECT_EQ(ordinal ? ordinal->value : -1, value) << text;
    }
}

TEST(Ascii, OnlyAToZChangeCase)
{
    EXPECT_EQ(AsciiUpper("logo.Bmp"), "LOGO.BMP");
    EXPECT_EQ(AsciiUpper("\xc3\xa9t\xc3\xa9"), "\xc3\xa9T\xc3\xa9");
    EXPECT_EQ(AsciiUpper(u'z'), u'Z');
    EXPECT_EQ(AsciiUpper(u'\u00e9'), u'\u00e9');
    EXPECT_TRUE(EqualIgnoringAsciiCase("StringFileInfo", "STRINGfileinfo"));
    EXPECT_FALSE(EqualIgnoringAsciiCase("\xc3\xa9", "\xc3\x89"));
    EXPECT_FALSE(EqualIgnoringAsciiCase("ab", "abc"));
}

TEST(Hex, DigitsReadAndWritten)
{
    EXPECT_EQ(Hex(0), "0x0");
    EXPECT_EQ(Hex(0x1A2B), "0x1A2B");
    EXPECT_EQ(HexDigits(0x409, HexLetters::Lower), "409");
    EXPECT_EQ(HexDigits(0x409, HexLetters::Upper, 4), "0409");
    EXPECT_EQ(HexDigits(0xab, HexLetters::Lower, 2), "ab");
    EXPECT_EQ(HexDigits(0xFFFFFFFFFFFFFFFFull, HexLetters::Upper), "FFFFFFFFFFFFFFFF");
    const std::pair<char, int> digits[] = {{'0', 0}, {'9', 9}, {'a', 10}, {'F', 15}, {'g', -1}, {'x', -1}, {' ', -1}};
    for (const auto& [c, value] : digits)
        EXPECT_EQ(HexDigit(c), value) << c;
}

TEST(Unicode, WellFormedTextRoundTripsAndEachMalformedUnitIsReplaced)
{
    // Well formed: both ways.
    const std::pair<std::string, std::u16string> both[] = {
        {"aZ", u"aZ"}, {"caf\xC3\xA9", u"caf\u00e9"}, {"\xE2\x82\xAC", u"\u20ac"}, {"\xF0\x9F\x98\x80", u"\U0001F600"}};
    for (const auto& [utf8, utf16] : both) {
        EXPECT_EQ(Utf8ToUtf16(utf8), utf16) << utf8;
        EXPECT_EQ(Utf16ToUtf8(utf16), utf8) << utf8;
    }
    const struct {
        const char* name;
        std::string utf8;
        std::u16string utf16;
    } malformed8[] = {
        {"overlong", "\xC0\x80", u"\uFFFD\uFFFD"},
        {"overlong three", "\xE0\x80\x80", u"\uFFFD\uFFFD\uFFFD"},
        {"surrogate", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
        {"past U+10FFFF", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"no lead byte", "\xF5\x80\x80", u"\uFFFD\uFFFD\uFFFD"},
        {"cut off", "a\xE2\x82", u"a\uFFFD\uFFFD"},
        {"lone continuation", "\x80x", u"\uFFFDx"},
    };
    for (const auto& c : malformed8)
        EXPECT_EQ(Utf8ToUtf16(c.utf8), c.utf16) << c.name;
    const struct {
        const char* name;
        std::u16string utf16;
        std::string utf8;
    } malformed16[] = {
        {"lone high", std::u16string(1, char16_t{0xD83D}), "\xEF\xBF\xBD"},
        {"high then a letter", std::u16string{char16_t{0xD83D}, u'a'}, "\xEF\xBF\xBD" "a"},
        {"lone low", std::u16string{char16_t{0xDE00}, u'b'}, "\xEF\xBF\xBD" "b"},
    };
    for (const auto& c : malformed16)
        EXPECT_EQ(Utf16ToUtf8(c.utf16), c.utf8) << c.name;
}

TEST(Unicode, CharactersAreCountedNotBytes)
{
    const std::pair<std::string, std::size_t> counts[] = {
        {"", 0},
        {"C:\\W\\A.RC", 9},
        {"\xD0\xBF\xD1\x80\xD0\xBE\xD0\xB5\xD0\xBA\xD1\x82", 6},  // проект
        {"hdr_\xE6\x95\xB0\xE6\x8D\xAE.h", 8},                       // hdr_数据.h
        {"\xF0\x9F\x98\x80!", 2},                                     // U+1F600 and '!'
        {"d\xE4t\xE4", 4},                                             // Latin-1 bytes: one each
        {"a\xE2\x82", 3},                                              // cut off: each byte one
    };
    for (const auto& [text, count] : counts)
        EXPECT_EQ(Utf8CharacterCount(text), count) << text;
}

// The expected characters and bytes are Python's codecs' (cp932, gbk, cp949, cp950), or
// glibc iconv's where those leave a sequence undefined or write a character otherwise, as
// Windows does (932 writes U+7E8A as the IBM extension FA5C; 950 reads C6A1 as U+F6B1). A
// sequence with no mapping reads as the code page's default character, U+30FB in 932.
TEST(TextEncoding, DoubleByteCodePages)
{
    const struct {
        const char* name;
        std::string text;
        int from;
        int to;
        std::string converted;
    } conversions[] = {
        {"932: a trail byte 0x5C is part of its character", "\x83\x5C\x95\x5C", 932, 65001,
         "\xE3\x82\xBD\xE8\xA1\xA8"},
        {"932: written back", "\xE3\x82\xBD\xE8\xA1\xA8", 65001, 932, "\x83\x5C\x95\x5C"},
        {"932: half-width katakana and ASCII are single bytes", "\xB1\\a", 932, 65001, "\xEF\xBD\xB1\\a"},
        {"932: the NEC-selected copy is read", "\xED\x40", 932, 65001, "\xE7\xBA\x8A"},
        {"932: the IBM extension is written", "\xE7\xBA\x8A", 65001, 932, "\xFA\x5C"},
        {"932: a lead byte before a byte that is no trail byte", "\x81\x20\"", 932, 65001, "\xE3\x83\xBB \""},
        {"932: a lead byte at the end", "a\x81", 932, 65001, "a\xE3\x83\xBB"},
        {"932: a pair with no mapping", "\x85\x40", 932, 65001, "\xE3\x83\xBB"},
        {"932: what it cannot hold", "\xC3\xA9\xF0\x9F\x98\x80", 65001, 932, "??"},
        {"936: a round trip through UTF-8", "\xE4\xB8\xAD\xE6\x96\x87\xE4\xB9\x97\xE2\x82\xAC", 65001, 936,
         "\xD6\xD0\xCE\xC4\x81\x5C\x80"},
        {"936: read", "\xD6\xD0\xCE\xC4\x81\x5C\x80", 936, 65001,
         "\xE4\xB8\xAD\xE6\x96\x87\xE4\xB9\x97\xE2\x82\xAC"},
        {"936: a byte with no mapping", "\xFF", 936, 65001, "?"},
        {"949: a round trip", "\xED\x95\x9C\xEA\xB5\xAD", 65001, 949, "\xC7\xD1\xB1\xB9"},
        {"949: 0x5C is no trail byte", "\xB0\x5C", 949, 65001, "?\\"},
        {"950: a trail byte 0x5C", "\xB3\x5C\x5C", 950, 65001, "\xE8\xA8\xB1\\"},
        {"950: the ETEN area is private use", "\xC6\xA1", 950, 65001, "\xEF\x9A\xB1"},
        {"950: a lead byte at the end", "\xA4", 950, 65001, "?"},
        {"936 into 950", "\xD6\xD0", 936, 950, "\xA4\xA4"},
        {"932 into 1252", "a\x83\x5C", 932, 1252, "a?"},
    };
    for (const auto& c : conversions)
        EXPECT_EQ(ConvertCodePage(c.text, c.from, c.to), c.converted) << c.name;

    for (int codePage : {932, 936, 949, 950}) {
        EXPECT_TRUE(IsKnownCodePage(codePage)) << codePage;
        EXPECT_TRUE(IsDoubleByteCodePage(codePage)) << codePage;
    }
    EXPECT_FALSE(IsDoubleByteCodePage(1252));
    EXPECT_EQ(CodePageCharacter(932, 0xB1), U'\uFF71');
    EXPECT_EQ(CodePageCharacter(936, 0x80), U'\u20AC');
    const struct {
        int codePage;
        std::string text;
        std::size_t at;
        std::size_t length;
    } lengths[] = {
        {932, "\x83\x5C", 0, 2}, {932, "\x83\x5C", 1, 1}, {932, "\x83", 0, 1}, {932, "\x83\"", 0, 1},
        {949, "\xB0\x5C", 0, 1}, {949, "\xB0\xA1", 0, 2}, {950, "\xB3\x5C", 0, 2}, {1252, "\x83\x5C", 0, 1},
    };
    for (const auto& c : lengths)
        EXPECT_EQ(CodePageCharacterLength(c.codePage, c.text, c.at), c.length) << c.codePage << " " << c.text;
}

TEST(TextEncoding, CodePagesAndMarkedText)
{
    const struct {
        const char* name;
        std::string text;
        int from;
        int to;
        std::string converted;
    } conversions[] = {
        {"1252 into UTF-8", "caf\xE9\x80\x81", 1252, 65001, "caf\xC3\xA9\xE2\x82\xAC\xC2\x81"},
        {"UTF-8 into 1252", "\xE2\x82\xAC\xC2\x81", 65001, 1252, "\x80\x81"},
        {"what 437 cannot hold", "\xE2\x82\xAC", 65001, 437, "?"},
        {"866 into UTF-8", "\x80", 866, 65001, "\xD0\x90"},
        {"malformed UTF-8", "\xC0", 65001, 1252, "?"},
        {"the same code page", "\xC0\xFF", 1251, 1251, "\xC0\xFF"},
    };
    for (const auto& c : conversions)
        EXPECT_EQ(ConvertCodePage(c.text, c.from, c.to), c.converted) << c.name;
    EXPECT_EQ(CodePageCharacter(1252, 0x80), U'\u20ac');
    EXPECT_EQ(CodePageCharacter(1252, 0x81), U'\u0081');
    EXPECT_EQ(CodePageCharacter(1251, 0xC0), U'\u0410');
    EXPECT_TRUE(IsKnownCodePage(65001));
    EXPECT_FALSE(IsKnownCodePage(951));

    const struct {
        const char* name;
        std::string bytes;
        ByteOrderMark mark;
        std::string text;
    } marked[] = {
        {"UTF-8", "\xEF\xBB\xBFx", ByteOrderMark::Utf8, "x"},
        {"UTF-16 LE", std::string("\xFF\xFE" "a\0", 4), ByteOrderMark::Utf16Le, "a"},
        {"UTF-16 BE", std::string("\xFE\xFF\0b", 4), ByteOrderMark::Utf16Be, "b"},
        {"pair and a lone surrogate", std::string("\xFF\xFE\x3D\xD8\x00\xDE\x00\xD8", 8), ByteOrderMark::Utf16Le,
         "\xF0\x9F\x98\x80\xEF\xBF\xBD"},
        {"odd last byte", std::string("\xFF\xFE" "a\0b", 5), ByteOrderMark::Utf16Le, "a\xEF\xBF\xBD"},
        {"no mark", "plain", ByteOrderMark::None, "plain"},
    };
    for (const auto& c : marked) {
        EXPECT_EQ(DetectByteOrderMark(c.bytes), c.mark) << c.name;
        EXPECT_EQ(DecodeMarkedText(c.bytes, c.mark), c.text) << c.name;
    }
}

TEST(TextEncoding, FileNamesAreLookedForByTheirUtf8Names)
{
    const struct {
        const char* name;
        std::string written;
        int codePage;
        std::vector<std::string> lookups;
    } cases[] = {
        {"1252", "d\xE4t\xE4", 1252, {"d\xC3\xA4t\xC3\xA4"}},
        {"932", "\x93\xFA\x96\x7B\\x", 932, {"\xE6\x97\xA5\xE6\x9C\xAC\\x"}},
        {"932: a lead byte at the end, as a string reads it", "a\x81", 932, {"a\xE3\x83\xBB"}},
        {"65001: the bytes, malformed or not", "d\xE4", 65001, {"d\xE4"}},
        {"an unknown code page: the bytes", "d\xE4", 951, {"d\xE4"}},
        {"UTF-8 in 1252: rc.exe's name, then the bytes", "d\xC3\xA4", 1252, {"d\xC3\x83\xC2\xA4", "d\xC3\xA4"}},
        {"U+FFFD itself is well formed", "\xEF\xBF\xBD", 1252, {"\xC3\xAF\xC2\xBF\xC2\xBD", "\xEF\xBF\xBD"}},
        {"ASCII: one name", "a/B.bin", 932, {"a/B.bin"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FileNameLookups(c.written, c.codePage), c.lookups) << c.name;
        EXPECT_EQ(FileNameToUtf8(c.written, c.codePage), c.lookups.front()) << c.name;
    }
}

TEST(LittleEndian, FieldsReadWrittenAndBoundsThatCannotOverflow)
{
    std::string bytes;
    byteio::Append16(bytes, 0x1234);
    byteio::Append32(bytes, 0x89ABCDEF);
    EXPECT_EQ(bytes, std::string("\x34\x12\xEF\xCD\xAB\x89", 6));
    EXPECT_EQ(byteio::Get16(bytes, 0), 0x1234);
    EXPECT_EQ(byteio::Get32(bytes, 2), 0x89ABCDEFu);
    byteio::Put16(bytes, 0, 0xBEEF);
    byteio::Put32(bytes, 2, 1);
    EXPECT_EQ(bytes, std::string("\xEF\xBE\x01\0\0\0", 6));
    bytes += std::string(2, '\xFF');
    EXPECT_EQ(byteio::Get64(bytes, 0), 0xFFFF00000001BEEFull);

    EXPECT_TRUE(byteio::Fits(2, 4, 6));
    EXPECT_FALSE(byteio::Fits(3, 4, 6));
    EXPECT_FALSE(byteio::Fits(7, 0, 6));
    EXPECT_FALSE(byteio::Fits(1, std::numeric_limits<std::uint64_t>::max(), 6));
    EXPECT_EQ(byteio::AlignUp(5, 4), 8u);
    EXPECT_EQ(byteio::AlignUp(8, 4), 8u);
    EXPECT_EQ(byteio::AlignUp(5, 0), 5u);
}

}  // namespace
}  // namespace brevok
