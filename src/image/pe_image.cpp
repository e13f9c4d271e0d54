// Reading PE32/PE32+ headers and the section table (Microsoft PE/COFF format), RVA mapping
// and the image checksum.
#include "image/pe_image.h"

#include <algorithm>

#include "rules/little_endian.h"
#include "rules/hex.h"

namespace brevok {

namespace {

constexpr std::uint16_t kMagicPe32 = 0x10B;
constexpr std::uint16_t kMagicPe32Plus = 0x20B;
constexpr unsigned kMaxDirectories = 16;

// Checks that [offset, offset + size) lies in the file and in the bytes at hand; the
// error names `what` and says which of the two limits it crossed.
Status CheckSpan(const std::string& what, std::uint64_t offset, std::uint64_t size, std::uint64_t have,
                      std::uint64_t fileSize)
{
    if (!Fits(offset, size, fileSize))
        return Status::Fail(what + " runs past the end of the file (offset " + Hex(offset) + ", size " + Hex(size) + ", file size " +
            Hex(fileSize) + ")");
    if (!Fits(offset, size, have))
        return Status::Fail(what + " runs past the bytes read (offset " + Hex(offset) + ", size " + Hex(size) + ", read " +
            Hex(have) + ")");
    return Status::Ok();
}

SectionHeader ReadSectionHeader(std::string_view b, std::uint64_t at)
{
    SectionHeader s;
    std::copy_n(b.data() + at, 8, s.name);
    s.virtualSize = Get32(b, at + 8);
    s.virtualAddress = Get32(b, at + 12);
    s.sizeOfRawData = Get32(b, at + 16);
    s.pointerToRawData = Get32(b, at + 20);
    s.pointerToRelocations = Get32(b, at + 24);
    s.pointerToLinenumbers = Get32(b, at + 28);
    s.numberOfRelocations = Get16(b, at + 32);
    s.numberOfLinenumbers = Get16(b, at + 34);
    s.characteristics = Get32(b, at + 36);
    return s;
}

std::string SectionLabel(std::size_t index)
{
    return "section " + std::to_string(index + 1);
}

Status ReadOptionalHeader(std::string_view b, PeHeaders& h)
{
    const std::uint32_t at = h.optionalHeaderOffset;
    if (h.sizeOfOptionalHeader < 2)
        return Status::Fail("the optional header is missing (size " + Hex(h.sizeOfOptionalHeader) + ")");
    const std::uint16_t magic = Get16(b, at);
    if (magic != kMagicPe32 && magic != kMagicPe32Plus)
        return Status::Fail("the optional header has an unknown magic " + Hex(magic) + " at offset " + Hex(at));
    h.kind = magic == kMagicPe32 ? PeKind::Pe32 : PeKind::Pe32Plus;
    const std::uint32_t fixed = h.kind == PeKind::Pe32 ? 96 : 112;
    if (h.sizeOfOptionalHeader < fixed)
        return Status::Fail("the optional header is too small (size " + Hex(h.sizeOfOptionalHeader) + ", at least " + Hex(fixed) +
            ")");
    h.sizeOfCode = Get32(b, at + 4);
    h.sizeOfInitializedData = Get32(b, at + 8);
    h.imageBase = h.kind == PeKind::Pe32 ? Get32(b, at + 28) : Get64(b, at + 24);
    h.sectionAlignment = Get32(b, at + 32);
    h.fileAlignment = Get32(b, at + 36);
    h.sizeOfImage = Get32(b, at + 56);
    h.sizeOfHeaders = Get32(b, at + 60);
    h.checkSum = Get32(b, at + 64);
    h.numberOfRvaAndSizes = Get32(b, at + fixed - 4);
    const unsigned count = std::min<std::uint32_t>(h.numberOfRvaAndSizes, kMaxDirectories);
    if (fixed + 8ull * count > h.sizeOfOptionalHeader)
        return Status::Fail("the optional header's " + std::to_string(count) + " data directories run past its size " +
            Hex(h.sizeOfOptionalHeader));
    for (unsigned i = 0; i < count; ++i)
        h.directories.push_back({Get32(b, at + fixed + 8 * i), Get32(b, at + fixed + 8 * i + 4)});
    if (h.fileAlignment == 0 || h.sectionAlignment == 0)
        return Status::Fail("the optional header has a zero alignment (file " + Hex(h.fileAlignment) + ", section " +
            Hex(h.sectionAlignment) + ")");
    return Status::Ok();
}

Status CheckSections(const PeHeaders& h)
{
    for (std::size_t i = 0; i < h.sections.size(); ++i) {
        const SectionHeader& s = h.sections[i];
        if (s.sizeOfRawData != 0 && !Fits(s.pointerToRawData, s.sizeOfRawData, h.fileSize))
            return Status::Fail(SectionLabel(i) + " raw data runs past the end of the file (offset " + Hex(s.pointerToRawData) +
                ", size " + Hex(s.sizeOfRawData) + ")");
        if (static_cast<std::uint64_t>(s.virtualAddress) + s.VirtualExtent() > 0xFFFFFFFFull)
            return Status::Fail(SectionLabel(i) + " reaches past the 4 GB address space (RVA " + Hex(s.virtualAddress) + ", size " +
                Hex(s.VirtualExtent()) + ")");
    }
    return Status::Ok();
}

}  // namespace

std::string SectionHeader::Name() const
{
    return std::string(name, std::find(name, name + 8, '\0'));
}

std::uint32_t SectionHeader::VirtualExtent() const
{
    return std::max(virtualSize, sizeOfRawData);
}

std::uint32_t PeHeaders::CheckSumOffset() const
{
    return optionalHeaderOffset + 64;
}

std::uint32_t PeHeaders::DirectoryOffset(unsigned index) const
{
    return optionalHeaderOffset + (kind == PeKind::Pe32 ? 96 : 112) + 8 * index;
}

std::uint32_t PeHeaders::SectionTableEnd() const
{
    return sectionTableOffset + kSectionHeaderSize * numberOfSections;
}

DataDirectory PeHeaders::Directory(unsigned index) const
{
    return index < directories.size() ? directories[index] : DataDirectory{};
}

int PeHeaders::SectionOfRva(std::uint32_t rva, std::uint32_t size) const
{
    for (std::size_t i = 0; i < sections.size(); ++i) {
        const SectionHeader& s = sections[i];
        if (rva >= s.virtualAddress && Fits(rva - s.virtualAddress, size, s.VirtualExtent()))
            return static_cast<int>(i);
    }
    return -1;
}

Parsed<PeHeaders> ParsePeHeaders(std::string_view head, std::uint64_t fileSize)
{
    using Result = Parsed<PeHeaders>;
    const std::uint64_t have = std::min<std::uint64_t>(head.size(), fileSize);
    if (const Status e = CheckSpan("the DOS header", 0, 64, have, fileSize); !e)
        return Result::Fail(e.error);
    if (head[0] != 'M' || head[1] != 'Z')
        return Result::Fail("not a PE image: the DOS signature \"MZ\" is missing");
    PeHeaders h;
    h.fileSize = fileSize;
    h.peOffset = Get32(head, 0x3C);
    if (const Status e = CheckSpan("the PE header", h.peOffset, 24, have, fileSize); !e)
        return Result::Fail(e.error);
    if (head.substr(h.peOffset, 4) != std::string_view("PE\0\0", 4))
        return Result::Fail("not a PE image: the signature \"PE\" is missing at offset " + Hex(h.peOffset));
    const std::uint32_t coff = h.peOffset + 4;
    h.machine = Get16(head, coff);
    h.numberOfSections = Get16(head, coff + 2);
    h.timeDateStamp = Get32(head, coff + 4);
    h.pointerToSymbolTable = Get32(head, coff + 8);
    h.numberOfSymbols = Get32(head, coff + 12);
    h.sizeOfOptionalHeader = Get16(head, coff + 16);
    h.characteristics = Get16(head, coff + 18);
    h.optionalHeaderOffset = coff + 20;
    if (const Status e = CheckSpan("the optional header", h.optionalHeaderOffset, h.sizeOfOptionalHeader, have, fileSize);
        !e)
        return Result::Fail(e.error);
    if (const Status e = ReadOptionalHeader(head, h); !e)
        return Result::Fail(e.error);
    h.sectionTableOffset = h.optionalHeaderOffset + h.sizeOfOptionalHeader;
    if (const Status e = CheckSpan("the section table", h.sectionTableOffset,
                           std::uint64_t{kSectionHeaderSize} * h.numberOfSections, have, fileSize);
        !e)
        return Result::Fail(e.error);
    for (unsigned i = 0; i < h.numberOfSections; ++i)
        h.sections.push_back(ReadSectionHeader(head, h.sectionTableOffset + std::uint64_t{kSectionHeaderSize} * i));
    if (const Status e = CheckSections(h); !e)
        return Result::Fail(e.error);
    return Result::Ok(std::move(h));
}

Parsed<FileSpan> RvaToFileSpan(const PeHeaders& h, std::uint32_t rva, std::uint32_t size)
{
    using Result = Parsed<FileSpan>;
    if (Fits(rva, size, std::min<std::uint64_t>(h.sizeOfHeaders, h.fileSize)))
        return Result::Ok({rva, size});
    const int index = h.SectionOfRva(rva, size);
    if (index < 0)
        return Result::Fail("RVA " + Hex(rva) + " (size " + Hex(size) + ") lies in no section");
    const SectionHeader& s = h.sections[index];
    if (!Fits(rva - s.virtualAddress, size, s.sizeOfRawData))
        return Result::Fail("RVA " + Hex(rva) + " (size " + Hex(size) + ") lies beyond " + SectionLabel(index) +
                            "'s raw data (size " + Hex(s.sizeOfRawData) + ")");
    return Result::Ok({std::uint64_t{s.pointerToRawData} + (rva - s.virtualAddress), size});
}

Parsed<ResourceLocation> FindResources(const PeHeaders& h)
{
    using Result = Parsed<ResourceLocation>;
    ResourceLocation loc;
    loc.directory = h.Directory(kDirResource);
    if (loc.directory.rva == 0 || loc.directory.size == 0)
        return Result::Ok(loc);
    const std::string what =
        "the resource directory (RVA " + Hex(loc.directory.rva) + ", size " + Hex(loc.directory.size) + ")";
    const int index = h.SectionOfRva(loc.directory.rva);
    if (index < 0)
        return Result::Fail(what + " lies in no section");
    const SectionHeader& s = h.sections[index];
    if (!Fits(loc.directory.rva - s.virtualAddress, loc.directory.size, s.VirtualExtent()))
        return Result::Fail(what + " runs past the end of " + SectionLabel(index));
    if (s.sizeOfRawData == 0)
        return Result::Fail(what + " lies in " + SectionLabel(index) + ", which has no raw data");
    loc.sectionIndex = index;
    loc.sectionRva = s.virtualAddress;
    loc.section = {s.pointerToRawData, s.sizeOfRawData};
    return Result::Ok(loc);
}

Parsed<PeImage> ParsePeImage(std::string bytes)
{
    auto headers = ParsePeHeaders(bytes, bytes.size());
    if (!headers)
        return Parsed<PeImage>::Fail(headers.error);
    return Parsed<PeImage>::Ok(PeImage{std::move(bytes), std::move(*headers)});
}

std::uint32_t ComputePeChecksum(std::string_view image, std::uint32_t checkSumOffset)
{
    std::uint64_t sum = 0;
    const std::size_t n = image.size();
    for (std::size_t i = 0; i < n; i += 2) {
        if (i >= checkSumOffset && i < std::uint64_t{checkSumOffset} + 4)
            continue;
        std::uint32_t word = static_cast<unsigned char>(image[i]);
        if (i + 1 < n)
            word |= static_cast<std::uint32_t>(static_cast<unsigned char>(image[i + 1])) << 8;
        sum += word;
        sum = (sum & 0xFFFF) + (sum >> 16);
    }
    sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<std::uint32_t>(sum + n);
}

}  // namespace brevok
