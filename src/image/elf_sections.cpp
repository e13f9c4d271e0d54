// ELF section lookup (System V ABI, "ELF header" and "Sections" chapters).
#include "image/elf_sections.h"

#include "rules/little_endian.h"
#include "rules/hex.h"

namespace brevok {
namespace {

constexpr std::size_t kIdentBytes = 16;
constexpr unsigned char kClass32 = 1, kClass64 = 2;
constexpr unsigned char kLittleEndian = 1, kBigEndian = 2;
constexpr std::uint32_t kNoBits = 8;              // SHT_NOBITS
constexpr std::uint32_t kExtendedIndex = 0xFFFF;  // SHN_XINDEX
// A section header table or a name table beyond these sizes is not one a linker wrote.
constexpr std::uint64_t kMaxSections = 1u << 20;
constexpr std::uint64_t kMaxNameTableBytes = 64u << 20;

/// Field access in the file's byte order.
class Fields {
public:
    Fields(std::string_view bytes, bool bigEndian) : bytes_(bytes), big_(bigEndian) { }

    std::uint64_t Get(std::size_t offset, std::size_t width) const
    {
        std::uint64_t v = 0;
        for (std::size_t i = 0; i < width; ++i) {
            const std::size_t at = big_ ? offset + i : offset + width - 1 - i;
            v = (v << 8) | static_cast<unsigned char>(bytes_[at]);
        }
        return v;
    }

private:
    std::string_view bytes_;
    bool big_;
};

/// The layout of one ELF class: header and section header field offsets and widths.
struct Layout {
    std::size_t headerBytes, addressBytes;
    std::size_t shoff, shentsize, shnum, shstrndx;
    std::size_t sectionBytes, shName, shType, shOffset, shSize, shLink;
};

constexpr Layout kLayout32{52, 4, 32, 46, 48, 50, 40, 0, 4, 16, 20, 24};
constexpr Layout kLayout64{64, 8, 40, 58, 60, 62, 64, 0, 4, 24, 32, 40};

struct SectionHeader {
    std::uint32_t name = 0;
    std::uint32_t type = 0;
    std::uint64_t offset = 0;
    std::uint64_t size = 0;
    std::uint32_t link = 0;
};

SectionHeader ReadSectionHeader(const Fields& f, const Layout& l, std::size_t at)
{
    SectionHeader h;
    h.name = static_cast<std::uint32_t>(f.Get(at + l.shName, 4));
    h.type = static_cast<std::uint32_t>(f.Get(at + l.shType, 4));
    h.offset = f.Get(at + l.shOffset, l.addressBytes);
    h.size = f.Get(at + l.shSize, l.addressBytes);
    h.link = static_cast<std::uint32_t>(f.Get(at + l.shLink, 4));
    return h;
}

std::string At(std::uint64_t offset, std::uint64_t size)
{
    return "(offset " + Hex(offset) + ", size " + Hex(size) + ")";
}

}  // namespace

bool IsElfImage(std::string_view head)
{
    return head.size() >= 4 &&
        head.substr(0, 4) ==
        "\x7F"
        "ELF";
}

Parsed<ElfSection> FindElfSection(const ReadAtFunction& readAt, std::uint64_t fileSize, std::string_view name)
{
    using Result = Parsed<ElfSection>;
    const auto ident = readAt(0, kIdentBytes);
    if (!ident || !IsElfImage(*ident))
        return Result::Fail("not an ELF file");
    const unsigned char elfClass = static_cast<unsigned char>((*ident)[4]);
    const unsigned char data = static_cast<unsigned char>((*ident)[5]);
    if ((elfClass != kClass32 && elfClass != kClass64) || (data != kLittleEndian && data != kBigEndian))
        return Result::Fail("unknown ELF class " + std::to_string(elfClass) + " or byte order " + std::to_string(data));
    const Layout& l = elfClass == kClass64 ? kLayout64 : kLayout32;
    const auto header = readAt(0, l.headerBytes);
    if (!header)
        return Result::Fail("ELF header runs past the end of the file (size " + Hex(fileSize) + ")");
    const Fields hf(*header, data == kBigEndian);
    const std::uint64_t shoff = hf.Get(l.shoff, l.addressBytes);
    const std::uint64_t entrySize = hf.Get(l.shentsize, 2);
    std::uint64_t count = hf.Get(l.shnum, 2);
    std::uint64_t nameIndex = hf.Get(l.shstrndx, 2);
    if (shoff == 0)
        return Result::Ok({});  // no section header table
    if (entrySize < l.sectionBytes)
        return Result::Fail("section header size " + Hex(entrySize) + " is below " +
                            Hex(l.sectionBytes));

    // Section 0 carries the real count and name-table index when they do not fit the header.
    const bool bigEndian = data == kBigEndian;
    if (count == 0 || nameIndex == kExtendedIndex) {
        const auto first = readAt(shoff, l.sectionBytes);
        if (!first)
            return Result::Fail("section header 0 runs past the end of the file " + At(shoff, l.sectionBytes));
        const SectionHeader zero = ReadSectionHeader(Fields(*first, bigEndian), l, 0);
        if (count == 0)
            count = zero.size;
        if (nameIndex == kExtendedIndex)
            nameIndex = zero.link;
    }
    if (count > kMaxSections)
        return Result::Fail("section count " + Hex(count) + " is above the limit " + Hex(kMaxSections));
    if (!byteio::Fits(shoff, count * entrySize, fileSize))
        return Result::Fail("section header table runs past the end of the file " + At(shoff, count * entrySize));
    if (nameIndex >= count)
        return Result::Fail("section name table index " + std::to_string(nameIndex) +
                            " is not below the section count " + std::to_string(count));
    const auto table = readAt(shoff, static_cast<std::size_t>(count * entrySize));
    if (!table)
        return Result::Fail("cannot read the section header table " + At(shoff, count * entrySize));
    const Fields tf(*table, bigEndian);

    const SectionHeader names = ReadSectionHeader(tf, l, static_cast<std::size_t>(nameIndex * entrySize));
    if (names.size > kMaxNameTableBytes || !byteio::Fits(names.offset, names.size, fileSize))
        return Result::Fail("section name table runs past the end of the file " + At(names.offset, names.size));
    const auto nameTable = readAt(names.offset, static_cast<std::size_t>(names.size));
    if (!nameTable)
        return Result::Fail("cannot read the section name table " + At(names.offset, names.size));

    for (std::uint64_t i = 0; i < count; ++i) {
        const SectionHeader s = ReadSectionHeader(tf, l, static_cast<std::size_t>(i * entrySize));
        if (s.type == kNoBits || s.name >= nameTable->size())
            continue;
        const std::string_view rest = std::string_view(*nameTable).substr(s.name);
        const std::size_t length = rest.find('\0');
        if (length == std::string_view::npos || rest.substr(0, length) != name)
            continue;
        if (!byteio::Fits(s.offset, s.size, fileSize))
            return Result::Fail("section " + std::string(name) + " runs past the end of the file " +
                                At(s.offset, s.size));
        return Result::Ok({true, s.offset, s.size});
    }
    return Result::Ok({});
}

}  // namespace brevok
