// Laying a PE image out anew around its rebuilt resource section: where the section goes,
// the headers rewritten, section data and the trailer kept, the checksum recomputed
// (Microsoft PE format).
#include "image/image_layout.h"

#include <algorithm>
#include <map>

#include "rules/hex.h"
#include "rules/little_endian.h"

namespace brevok {

namespace {

constexpr std::uint32_t kScnInitializedData = 0x00000040;
constexpr std::uint32_t kScnMemRead = 0x40000000;

// Where the parts of the output image come from, and how the headers change.
struct Plan {
    std::vector<SectionHeader> sections;
    std::uint32_t resourceRva = 0;
    std::uint64_t bodyEnd = 0;          // old offset where the trailer (bytes after the last section) starts
    std::uint64_t newTrailerStart = 0;  // its new offset
    std::int64_t initializedDelta = 0;
    std::int64_t relocationShift = 0;  // RVA shift of the base relocation directory
    std::uint64_t headerShift = 0;     // bytes inserted after the headers to make room for a section entry
    std::uint32_t newHeaderSize = 0;   // SizeOfHeaders when they grew
};

/// One layout: the input image, where its resources were, and the plan's inputs.
class ImageLayout {
public:
    ImageLayout(std::string_view exe, const PeHeaders& headers, const ResourceLocation& location,
                std::vector<ResourceLeaf> leaves)
        : exe_(exe), headers_(headers), location_(location), leaves_(std::move(leaves))
    { }

    Status Run(BoundImage& out);

private:
    /// Where the new resource section goes, of three ways: in place, the last section grown,
    /// or a new section.
    Status PlanPlacement(std::uint64_t newSize, Plan& plan);
    bool ResourceSectionReusable() const;
    bool FitsInPlace(std::uint64_t newSize) const;
    Status PlaceInPlace(std::uint64_t newSize, Plan& plan) const;
    int MovingRelocations() const;
    bool ResourcesEndTheImage(int relocations) const;
    Status GrowLastSection(std::uint64_t newSize, int relocations, Plan& plan) const;
    Status AddSection(std::uint64_t newSize, Plan& plan);
    Status MakeHeaderRoom(Plan& plan);
    Status BuildHeaders(const Plan& plan, std::uint32_t resourceSize, std::string& prefix);
    std::uint64_t MapOffset(const Plan& plan, std::uint64_t old) const;
    void PatchDebugDirectory(const Plan& plan);
    void AppendOriginal(PieceBuffer& out, std::uint64_t begin, std::uint64_t end);

    std::string_view exe_;
    const PeHeaders& headers_;
    const ResourceLocation& location_;
    std::vector<ResourceLeaf> leaves_;
    std::map<std::uint64_t, std::string> patches_;  // replaced bytes of the input, by offset
    std::uint64_t firstRaw_ = 0;
    std::uint64_t lastRawEnd_ = 0;
    DataDirectory certificate_;
    bool removeCertificate_ = false;
};

// The resource section can be rewritten only when the tree starts it and no other data
// directory points into it.
bool ImageLayout::ResourceSectionReusable() const
{
    if (location_.sectionIndex < 0 || location_.directory.rva != location_.sectionRva)
        return false;
    const SectionHeader& s = headers_.sections[location_.sectionIndex];
    if (s.sizeOfRawData == 0)
        return false;
    for (unsigned i = 0; i < headers_.directories.size(); ++i) {
        const DataDirectory d = headers_.directories[i];
        if (i == kDirResource || i == kDirSecurity || d.size == 0)
            continue;
        if (headers_.SectionOfRva(d.rva) == location_.sectionIndex)
            return false;
    }
    return true;
}

Status ImageLayout::PlanPlacement(std::uint64_t newSize, Plan& plan)
{
    plan.sections = headers_.sections;
    plan.bodyEnd = lastRawEnd_;
    if (ResourceSectionReusable()) {
        if (FitsInPlace(newSize))
            return PlaceInPlace(newSize, plan);
        if (const int relocations = MovingRelocations(); ResourcesEndTheImage(relocations))
            return GrowLastSection(newSize, relocations, plan);
    }
    return AddSection(newSize, plan);
}

// In place: the new tree fits the old raw data and the room before the next section.
bool ImageLayout::FitsInPlace(std::uint64_t newSize) const
{
    const SectionHeader& s = headers_.sections[location_.sectionIndex];
    std::uint64_t next = UINT64_MAX;
    for (const auto& o : headers_.sections)
        if (o.virtualAddress > s.virtualAddress)
            next = std::min<std::uint64_t>(next, o.virtualAddress);
    return newSize <= s.sizeOfRawData && s.virtualAddress + newSize <= next;
}

Status ImageLayout::PlaceInPlace(std::uint64_t newSize, Plan& plan) const
{
    SectionHeader& s = plan.sections[location_.sectionIndex];
    s.virtualSize = static_cast<std::uint32_t>(newSize);
    plan.resourceRva = s.virtualAddress;
    plan.newTrailerStart = lastRawEnd_;
    return Status::Ok();
}

// The section of the base relocations when it follows the resource section, so that it
// moves when the resources grow; -1 when there is none or it stays. Relocations wholly before
// the resources (a resource section added after them) stay where they are, like any other
// section.
int ImageLayout::MovingRelocations() const
{
    const int r = location_.sectionIndex;
    const DataDirectory relocDir = headers_.Directory(kDirBaseReloc);
    const int relocIndex = relocDir.size != 0 ? headers_.SectionOfRva(relocDir.rva) : -1;
    if (relocIndex < 0 || relocIndex == r)
        return -1;
    const SectionHeader& s = headers_.sections[r];
    const SectionHeader& m = headers_.sections[relocIndex];
    const bool before = m.virtualAddress < s.virtualAddress &&
        (m.sizeOfRawData == 0 || std::uint64_t{m.pointerToRawData} + m.sizeOfRawData <= s.pointerToRawData);
    return before ? -1 : relocIndex;
}

// True when the resource section is the last section in memory and in the file, followed at
// most by the moving relocations.
bool ImageLayout::ResourcesEndTheImage(int relocations) const
{
    const int r = location_.sectionIndex;
    const SectionHeader& s = headers_.sections[r];
    for (std::size_t i = 0; i < headers_.sections.size(); ++i) {
        const SectionHeader& o = headers_.sections[i];
        if (static_cast<int>(i) == r || static_cast<int>(i) == relocations)
            continue;
        if (o.virtualAddress > s.virtualAddress || (o.sizeOfRawData != 0 && o.pointerToRawData > s.pointerToRawData))
            return false;
    }
    if (relocations < 0)
        return true;
    const SectionHeader& m = headers_.sections[relocations];
    return !(m.virtualAddress < s.virtualAddress ||
             (m.sizeOfRawData != 0 && m.pointerToRawData < s.pointerToRawData + std::uint64_t{s.sizeOfRawData}));
}

// The last section grows; the relocations after it move behind it.
Status ImageLayout::GrowLastSection(std::uint64_t newSize, int relocations, Plan& plan) const
{
    const std::uint32_t sectionAlign = headers_.sectionAlignment;
    const std::uint64_t newRaw = AlignUp(newSize, headers_.fileAlignment);
    SectionHeader& s = plan.sections[location_.sectionIndex];
    if (s.virtualAddress + AlignUp(std::max(newSize, newRaw), sectionAlign) > 0xFFFFFFFFull)
        return Status::Fail("the resources do not fit the 4 GB address space");
    const std::uint32_t oldRaw = s.sizeOfRawData;
    s.virtualSize = static_cast<std::uint32_t>(newSize);
    s.sizeOfRawData = static_cast<std::uint32_t>(newRaw);
    plan.resourceRva = s.virtualAddress;
    if (s.characteristics & kScnInitializedData)
        plan.initializedDelta = static_cast<std::int64_t>(newRaw) - oldRaw;
    std::uint64_t end = s.pointerToRawData + newRaw;
    if (relocations >= 0) {
        SectionHeader& m = plan.sections[relocations];
        const std::uint64_t va = AlignUp(s.virtualAddress + std::max<std::uint64_t>(newSize, newRaw), sectionAlign);
        if (va + AlignUp(m.VirtualExtent(), sectionAlign) > 0xFFFFFFFFull)
            return Status::Fail("the resources do not fit the 4 GB address space");
        plan.relocationShift = static_cast<std::int64_t>(va) - m.virtualAddress;
        m.virtualAddress = static_cast<std::uint32_t>(va);
        if (m.sizeOfRawData != 0) {
            m.pointerToRawData = static_cast<std::uint32_t>(end);
            end += m.sizeOfRawData;
        }
    }
    plan.newTrailerStart = end;
    if (plan.newTrailerStart > 0xFFFFFFFFull)
        return Status::Fail("the image would grow past 4 GB");
    return Status::Ok();
}

// Otherwise a new section after the last one, making room for its entry in the headers.
Status ImageLayout::AddSection(std::uint64_t newSize, Plan& plan)
{
    const std::uint32_t fileAlign = headers_.fileAlignment;
    const std::uint32_t sectionAlign = headers_.sectionAlignment;
    const std::uint64_t newRaw = AlignUp(newSize, fileAlign);
    const std::size_t count = plan.sections.size();
    if (count >= 0xFFFF)
        return Status::Fail("the image has " + std::to_string(count) +
                            " sections, the most a COFF header can count (65535)");
    if (auto e = MakeHeaderRoom(plan); !e)
        return e;
    if (ResourceSectionReusable()) {
        // The old section now holds nothing anyone points to; its name says so, so that
        // tools which look for resources by section name find the live ones.
        std::copy_n(".oldrsrc", 8, plan.sections[location_.sectionIndex].name);
    }
    std::uint64_t va = 0;
    for (const auto& s : headers_.sections)
        va = std::max<std::uint64_t>(va, s.virtualAddress + AlignUp(s.VirtualExtent(), sectionAlign));
    va = AlignUp(std::max<std::uint64_t>(va, headers_.sizeOfHeaders), sectionAlign);
    if (va + AlignUp(std::max(newSize, newRaw), sectionAlign) > 0xFFFFFFFFull)
        return Status::Fail("the resources do not fit the 4 GB address space");
    SectionHeader added;
    std::copy_n(".rsrc\0\0\0", 8, added.name);
    added.virtualSize = static_cast<std::uint32_t>(newSize);
    added.virtualAddress = static_cast<std::uint32_t>(va);
    added.sizeOfRawData = static_cast<std::uint32_t>(newRaw);
    added.pointerToRawData = static_cast<std::uint32_t>(AlignUp(lastRawEnd_ + plan.headerShift, fileAlign));
    added.characteristics = kScnInitializedData | kScnMemRead;
    plan.sections.push_back(added);
    plan.resourceRva = added.virtualAddress;
    plan.initializedDelta = static_cast<std::int64_t>(newRaw);
    plan.newTrailerStart = std::uint64_t{added.pointerToRawData} + newRaw;
    if (plan.newTrailerStart > 0xFFFFFFFFull)
        return Status::Fail("the image would grow past 4 GB");
    return Status::Ok();
}

// A new section entry needs 40 bytes after the section table. When the headers are full
// (linkers leave them tight), they grow by whole file-alignment units as long as they stay
// below the first section in memory; all section data then move down by that much.
Status ImageLayout::MakeHeaderRoom(Plan& plan)
{
    const std::uint64_t tableEnd = headers_.SectionTableEnd();
    const std::uint64_t room = std::min<std::uint64_t>(headers_.sizeOfHeaders, firstRaw_);
    const std::uint64_t needed = tableEnd + kSectionHeaderSize;
    // The new entry overwrites whatever follows the table; in the headers an RVA is the file
    // offset, and linkers that bind imports put the bound import table right there.
    for (unsigned i = 0; i < headers_.directories.size(); ++i) {
        const DataDirectory d = headers_.directories[i];
        if (i != kDirSecurity && d.size != 0 && d.rva < needed && tableEnd < std::uint64_t{d.rva} + d.size)
            return Status::Fail("there is no room in the headers for another section (data directory " +
                                std::to_string(i) + " at RVA " + Hex(d.rva) + ", size " + Hex(d.size) +
                                ", follows the section table, which ends at " + Hex(tableEnd) + ")");
    }
    if (needed <= room)
        return Status::Ok();
    std::uint64_t firstVa = UINT64_MAX;
    for (const auto& s : headers_.sections)
        firstVa = std::min<std::uint64_t>(firstVa, s.virtualAddress);
    const std::uint64_t newHeaders = AlignUp(needed, headers_.fileAlignment);
    if (newHeaders > firstVa)
        return Status::Fail("there is no room in the headers for another section (the section table ends at " +
                            Hex(tableEnd) + ", the headers end at " + Hex(room) + ")");
    plan.headerShift = AlignUp(needed - room, headers_.fileAlignment);
    plan.newHeaderSize = static_cast<std::uint32_t>(std::max<std::uint64_t>(newHeaders, headers_.sizeOfHeaders));
    for (auto& s : plan.sections)
        if (s.sizeOfRawData != 0)
            s.pointerToRawData += static_cast<std::uint32_t>(plan.headerShift);
    return Status::Ok();
}

// Where a byte of the input file lands in the output: headers stay, section data move by the
// header growth, the trailer follows the last section (less a removed signature before it).
std::uint64_t ImageLayout::MapOffset(const Plan& plan, std::uint64_t old) const
{
    if (old < firstRaw_)
        return old;
    if (old < lastRawEnd_)
        return old + plan.headerShift;
    std::uint64_t moved = old - lastRawEnd_ + plan.newTrailerStart;
    if (removeCertificate_ && certificate_.rva < old)
        moved -= certificate_.size;
    return moved;
}

// Debug directory entries (IMAGE_DEBUG_DIRECTORY, 28 bytes) hold file offsets of their data.
void ImageLayout::PatchDebugDirectory(const Plan& plan)
{
    const DataDirectory debug = headers_.Directory(kDirDebug);
    if (debug.size == 0)
        return;
    auto span = RvaToFileSpan(headers_, debug.rva, debug.size);
    if (!span)
        return;
    for (std::uint64_t at = span->offset; at + 28 <= span->offset + span->size; at += 28) {
        const std::uint32_t pointer = byteio::Get32(exe_, at + 24);
        const std::uint64_t moved = pointer == 0 ? 0 : MapOffset(plan, pointer);
        if (moved != pointer) {
            std::string bytes(4, '\0');
            Put32(bytes, 0, static_cast<std::uint32_t>(moved));
            patches_[at + 24] = bytes;
        }
    }
}

void ImageLayout::AppendOriginal(PieceBuffer& out, std::uint64_t begin, std::uint64_t end)
{
    for (auto it = patches_.lower_bound(begin); it != patches_.end() && it->first < end; ++it) {
        out.Append(exe_.substr(begin, it->first - begin));
        out.AppendOwned(it->second);
        begin = it->first + it->second.size();
    }
    if (end > begin)
        out.Append(exe_.substr(begin, end - begin));
}

Status ImageLayout::BuildHeaders(const Plan& plan, std::uint32_t resourceSize, std::string& prefix)
{
    const PeHeaders& h = headers_;
    prefix = std::string(exe_.substr(0, firstRaw_));
    prefix.append(plan.headerShift, '\0');
    const std::uint32_t coff = h.peOffset + 4;
    Put16(prefix, coff + 2, static_cast<std::uint16_t>(plan.sections.size()));
    // The COFF symbol table (MinGW images) follows the sections; it moves with the trailer.
    if (h.pointerToSymbolTable != 0)
        Put32(prefix, coff + 8, static_cast<std::uint32_t>(MapOffset(plan, h.pointerToSymbolTable)));
    const std::uint32_t opt = h.optionalHeaderOffset;
    const std::int64_t initialized = static_cast<std::int64_t>(h.sizeOfInitializedData) + plan.initializedDelta;
    Put32(prefix, opt + 8, static_cast<std::uint32_t>(std::max<std::int64_t>(0, initialized)));
    std::uint64_t imageEnd = AlignUp(h.sizeOfHeaders, h.sectionAlignment);
    for (const auto& s : plan.sections)
        imageEnd = std::max<std::uint64_t>(imageEnd, s.virtualAddress + AlignUp(s.VirtualExtent(), h.sectionAlignment));
    Put32(prefix, opt + 56, static_cast<std::uint32_t>(imageEnd));
    Put32(prefix, h.CheckSumOffset(), 0);
    if (plan.newHeaderSize != 0)
        Put32(prefix, opt + 60, plan.newHeaderSize);
    Put32(prefix, h.DirectoryOffset(kDirResource), plan.resourceRva);
    Put32(prefix, h.DirectoryOffset(kDirResource) + 4, resourceSize);
    if (h.directories.size() > kDirSecurity && h.Directory(kDirSecurity).size != 0) {
        Put32(prefix, h.DirectoryOffset(kDirSecurity), 0);
        Put32(prefix, h.DirectoryOffset(kDirSecurity) + 4, 0);
    }
    if (plan.relocationShift != 0) {
        const DataDirectory reloc = h.Directory(kDirBaseReloc);
        Put32(prefix, h.DirectoryOffset(kDirBaseReloc), static_cast<std::uint32_t>(reloc.rva + plan.relocationShift));
    }
    for (std::size_t i = 0; i < plan.sections.size(); ++i) {
        const SectionHeader& s = plan.sections[i];
        const std::uint64_t at = h.sectionTableOffset + std::uint64_t{kSectionHeaderSize} * i;
        std::copy_n(s.name, 8, prefix.begin() + static_cast<std::ptrdiff_t>(at));
        Put32(prefix, at + 8, s.virtualSize);
        Put32(prefix, at + 12, s.virtualAddress);
        Put32(prefix, at + 16, s.sizeOfRawData);
        Put32(prefix, at + 20, s.pointerToRawData);
        Put32(prefix, at + 24, s.pointerToRelocations);
        Put32(prefix, at + 28, s.pointerToLinenumbers);
        Put16(prefix, at + 32, s.numberOfRelocations);
        Put16(prefix, at + 34, s.numberOfLinenumbers);
        Put32(prefix, at + 36, s.characteristics);
    }
    return Status::Ok();
}

// The PE checksum over the pieces: 16-bit little-endian words summed with end-around carry,
// plus the file length (the CheckSum field itself is zero while this runs).
std::uint32_t ChecksumOf(const PieceBuffer& image)
{
    std::uint64_t sum = 0;
    bool odd = false;
    for (std::string_view piece : image.pieces()) {
        const auto* p = reinterpret_cast<const unsigned char*>(piece.data());
        std::size_t i = 0;
        const std::size_t n = piece.size();
        if (odd && n > 0) {
            sum += std::uint64_t{p[0]} << 8;
            i = 1;
            odd = false;
        }
        for (; i + 1 < n; i += 2)
            sum += p[i] | (std::uint32_t{p[i + 1]} << 8);
        if (i < n) {
            sum += p[i];
            odd = true;
        }
    }
    while (sum >> 16)
        sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<std::uint32_t>(sum + image.size());
}

Status ImageLayout::Run(BoundImage& out)
{
    const PeHeaders& h = headers_;
    firstRaw_ = UINT64_MAX;
    lastRawEnd_ = std::max<std::uint64_t>(h.sizeOfHeaders, h.SectionTableEnd());
    for (const auto& s : h.sections) {
        if (s.sizeOfRawData == 0)
            continue;
        firstRaw_ = std::min<std::uint64_t>(firstRaw_, s.pointerToRawData);
        lastRawEnd_ = std::max<std::uint64_t>(lastRawEnd_, std::uint64_t{s.pointerToRawData} + s.sizeOfRawData);
    }
    if (firstRaw_ == UINT64_MAX)
        firstRaw_ = std::min<std::uint64_t>(h.sizeOfHeaders, exe_.size());
    lastRawEnd_ = std::min<std::uint64_t>(lastRawEnd_, exe_.size());
    // The loader's own limits; they also bound the padding a bind may add.
    const auto powerOfTwo = [](std::uint32_t v) { return v != 0 && (v & (v - 1)) == 0; };
    if (!powerOfTwo(h.fileAlignment) || h.fileAlignment > 0x10000)
        return Status::Fail("the file alignment " + Hex(h.fileAlignment) + " is not a power of two up to 0x10000");
    if (!powerOfTwo(h.sectionAlignment) || h.sectionAlignment < h.fileAlignment)
        return Status::Fail("the section alignment " + Hex(h.sectionAlignment) +
                            " is not a power of two at least the file alignment " + Hex(h.fileAlignment));
    if (firstRaw_ < h.SectionTableEnd())
        return Status::Fail("section data starts at " + Hex(firstRaw_) + ", inside the section table (which ends at " +
                            Hex(h.SectionTableEnd()) + ")");

    certificate_ = h.Directory(kDirSecurity);
    if (certificate_.size != 0) {
        removeCertificate_ = certificate_.rva >= lastRawEnd_ && Fits(certificate_.rva, certificate_.size, exe_.size());
        out.warnings.push_back("the image's digital signature is no longer valid and has been removed");
    }

    ResourceSectionLayout layout(std::move(leaves_));
    if (layout.largestTable() > 0xFFFF)
        return Status::Fail("a resource directory would hold " + std::to_string(layout.largestTable()) +
                            " entries of one kind, more than its 16-bit count can say");
    if (layout.size() > 0x7FFFFFFF)
        return Status::Fail("the resources take " + Hex(layout.size()) + " bytes, more than an image can hold");
    Plan plan;
    if (auto e = PlanPlacement(layout.size(), plan); !e)
        return e;
    std::string prefix;
    if (auto e = BuildHeaders(plan, static_cast<std::uint32_t>(layout.size()), prefix); !e)
        return e;

    PatchDebugDirectory(plan);
    PieceBuffer& image = out.image;
    image.AppendOwned(std::move(prefix));
    // Section data in the old file order, the resource section replaced and the moved
    // sections at their new offsets; gaps between sections are kept as they were.
    const int r = location_.sectionIndex;
    const bool inPlace = plan.sections.size() == h.sections.size();
    std::uint64_t cursor = firstRaw_;
    if (inPlace) {
        const SectionHeader& oldR = h.sections[r];
        const SectionHeader& newR = plan.sections[r];
        AppendOriginal(image, cursor, oldR.pointerToRawData);
        layout.Emit(newR.virtualAddress, image);
        image.AppendZeros(newR.sizeOfRawData - layout.size());
        cursor = std::uint64_t{oldR.pointerToRawData} + oldR.sizeOfRawData;
        // Moved base relocations come next when the section grew.
        for (std::size_t i = 0; i < h.sections.size(); ++i) {
            if (static_cast<int>(i) == r ||
                (plan.sections[i].virtualAddress == h.sections[i].virtualAddress &&
                 plan.sections[i].pointerToRawData == h.sections[i].pointerToRawData))
                continue;
            const SectionHeader& m = h.sections[i];
            AppendOriginal(image, m.pointerToRawData, std::uint64_t{m.pointerToRawData} + m.sizeOfRawData);
            cursor = std::uint64_t{m.pointerToRawData} + m.sizeOfRawData;
        }
        if (newR.sizeOfRawData == oldR.sizeOfRawData)
            AppendOriginal(image, cursor, lastRawEnd_);
    } else {
        const SectionHeader& added = plan.sections.back();
        AppendOriginal(image, cursor, lastRawEnd_);
        image.AppendZeros(added.pointerToRawData - image.size());
        layout.Emit(added.virtualAddress, image);
        image.AppendZeros(added.sizeOfRawData - layout.size());
    }
    if (image.size() != plan.newTrailerStart)
        return Status::Fail("internal error: the section data end at " + Hex(image.size()) + " instead of " +
                            Hex(plan.newTrailerStart));
    // Everything after the last section stays byte for byte, except a removed signature.
    if (removeCertificate_) {
        AppendOriginal(image, lastRawEnd_, certificate_.rva);
        AppendOriginal(image, std::uint64_t{certificate_.rva} + certificate_.size, exe_.size());
    } else {
        AppendOriginal(image, lastRawEnd_, exe_.size());
    }
    if (h.checkSum != 0) {
        std::string sum(4, '\0');
        Put32(sum, 0, ChecksumOf(image));
        image.Patch(h.CheckSumOffset(), sum);
    }
    return Status::Ok();
}

}  // namespace

Status LayOutImage(std::string_view exe, const PeHeaders& headers, const ResourceLocation& location,
                   std::vector<ResourceLeaf> leaves, BoundImage& out)
{
    return ImageLayout(exe, headers, location, std::move(leaves)).Run(out);
}

}  // namespace brevok
