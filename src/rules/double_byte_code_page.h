// The double-byte code pages Windows knows as 932 (Shift-JIS), 936 (GBK), 949 (Unified Hangul)
// and 950 (Big5), read from the tables the build embeds (resources/codepages).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace brevok {

class DoubleByteCodePage {
public:
    /// The code page `number`; null for one that is not double-byte.
    static const DoubleByteCodePage* Find(int number);

    bool IsLeadByte(unsigned char byte) const { return Bit(leads_, byte); }
    bool IsTrailByte(unsigned char byte) const { return Bit(trails_, byte); }

    /// Bytes the character at `text[i]` takes: 2 for a lead byte followed by one of its trail
    /// bytes, else 1.
    std::size_t Length(std::string_view text, std::size_t i) const;

    /// The character at `text[i]`, moving `i` past it, as MultiByteToWideChar reads it: a
    /// sequence with no mapping, a lead byte without its trail byte (the next byte is then
    /// read on its own) and a byte with no mapping read as the code page's default character.
    char16_t Next(std::string_view text, std::size_t& i) const;

    /// Appends `c` in this code page to `out`; false (and nothing appended) when it has no
    /// sequence for `c`.
    bool Append(std::string& out, char32_t c) const;

private:
    DoubleByteCodePage(int number, const unsigned char* table, std::size_t size);
    static bool Bit(const unsigned char* bits, unsigned char byte) { return (bits[byte >> 3] >> (byte & 7)) & 1; }
    std::uint16_t At(std::size_t offset) const { return static_cast<std::uint16_t>(table_[offset] | (table_[offset + 1] << 8)); }
    const std::uint16_t* Reverse() const;

    int number_;
    const unsigned char* table_;
    const unsigned char* leads_;
    const unsigned char* trails_;
    char16_t default_;
    std::size_t singles_;
    std::size_t readOnlyCount_;
    std::size_t readOnly_;
    std::size_t rows_;
    int rowOf_[256];
};

}  // namespace brevok
