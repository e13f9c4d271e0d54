// Double-byte code pages over the embedded tables; the way back into a code page is built
// from its table on first use.
#include "rules/double_byte_code_page.h"

#include <algorithm>
#include <array>
#include <memory>
#include <mutex>
#include <stdexcept>

namespace brevok {

namespace code_page_tables {
// Written at configure time (cmake/BrevokCodePages.cmake).
extern const unsigned char kCp932[];
extern const std::size_t kCp932Size;
extern const unsigned char kCp936[];
extern const std::size_t kCp936Size;
extern const unsigned char kCp949[];
extern const std::size_t kCp949Size;
extern const unsigned char kCp950[];
extern const std::size_t kCp950Size;
}  // namespace code_page_tables

namespace {

constexpr std::uint16_t kNoMapping = 0xFFFF;
constexpr unsigned kTrailFirst = 0x40;
constexpr unsigned kTrailLast = 0xFE;
constexpr std::size_t kRowLength = kTrailLast - kTrailFirst + 1;

}  // namespace

DoubleByteCodePage::DoubleByteCodePage(int number, const unsigned char* table, std::size_t size)
    : number_(number), table_(table), leads_(table), trails_(table + 32)
{
    default_ = At(64);
    singles_ = 66;
    readOnlyCount_ = At(singles_ + 512);
    readOnly_ = singles_ + 514;
    rows_ = readOnly_ + 2 * readOnlyCount_;
    int row = 0;
    for (unsigned byte = 0; byte < 256; ++byte)
        rowOf_[byte] = IsLeadByte(static_cast<unsigned char>(byte)) ? row++ : -1;
    if (rows_ + static_cast<std::size_t>(row) * kRowLength * 2 != size)
        throw std::logic_error("the table of code page " + std::to_string(number) + " is damaged");
}

const DoubleByteCodePage* DoubleByteCodePage::Find(int number)
{
    using namespace code_page_tables;
    // Parsed once each, on first use.
    static const DoubleByteCodePage k932(932, kCp932, kCp932Size);
    static const DoubleByteCodePage k936(936, kCp936, kCp936Size);
    static const DoubleByteCodePage k949(949, kCp949, kCp949Size);
    static const DoubleByteCodePage k950(950, kCp950, kCp950Size);
    switch (number) {
    case 932: return &k932;
    case 936: return &k936;
    case 949: return &k949;
    case 950: return &k950;
    default: return nullptr;
    }
}

std::size_t DoubleByteCodePage::Length(std::string_view text, std::size_t i) const
{
    return IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() &&
            IsTrailByte(static_cast<unsigned char>(text[i + 1]))
        ? 2
        : 1;
}

char16_t DoubleByteCodePage::Next(std::string_view text, std::size_t& i) const
{
    const auto byte = static_cast<unsigned char>(text[i]);
    std::uint16_t value;
    if (Length(text, i) == 2) {
        const auto trail = static_cast<unsigned char>(text[i + 1]);
        value = At(rows_ + (static_cast<std::size_t>(rowOf_[byte]) * kRowLength + trail - kTrailFirst) * 2);
        i += 2;
    } else {
        value = At(singles_ + 2 * byte);
        ++i;
    }
    return value == kNoMapping ? default_ : static_cast<char16_t>(value);
}

const std::uint16_t* DoubleByteCodePage::Reverse() const
{
    // Four code pages at most: one table of 64 Ki entries each, built when first asked for.
    static std::unique_ptr<std::uint16_t[]> tables[4];
    static std::once_flag built[4];
    const int slot = number_ == 932 ? 0 : number_ == 936 ? 1 : number_ == 949 ? 2 : 3;
    std::call_once(built[slot], [&] {
        auto reverse = std::make_unique<std::uint16_t[]>(0x10000);
        std::fill_n(reverse.get(), 0x10000, kNoMapping);
        for (unsigned byte = 0; byte < 256; ++byte) {
            const std::uint16_t c = At(singles_ + 2 * byte);
            if (c != kNoMapping && reverse[c] == kNoMapping)
                reverse[c] = static_cast<std::uint16_t>(byte);
        }
        // The list is in ascending order.
        const auto readOnly = [&](std::uint16_t sequence) {
            std::size_t low = 0;
            std::size_t high = readOnlyCount_;
            while (low < high) {
                const std::size_t middle = (low + high) / 2;
                const std::uint16_t at = At(readOnly_ + 2 * middle);
                if (at == sequence)
                    return true;
                (at < sequence ? low : high) = at < sequence ? middle + 1 : middle;
            }
            return false;
        };
        for (unsigned lead = 0; lead < 256; ++lead) {
            if (rowOf_[lead] < 0)
                continue;
            for (unsigned trail = kTrailFirst; trail <= kTrailLast; ++trail) {
                const std::uint16_t c =
                    At(rows_ + (static_cast<std::size_t>(rowOf_[lead]) * kRowLength + trail - kTrailFirst) * 2);
                const auto sequence = static_cast<std::uint16_t>((lead << 8) | trail);
                if (c != kNoMapping && reverse[c] == kNoMapping && !readOnly(sequence))
                    reverse[c] = sequence;
            }
        }
        tables[slot] = std::move(reverse);
    });
    return tables[slot].get();
}

bool DoubleByteCodePage::Append(std::string& out, char32_t c) const
{
    if (c > 0xFFFF)
        return false;
    const std::uint16_t sequence = Reverse()[c];
    if (sequence == kNoMapping)
        return false;
    if (sequence > 0xFF)
        out += static_cast<char>(sequence >> 8);
    out += static_cast<char>(sequence & 0xFF);
    return true;
}

}  // namespace brevok
