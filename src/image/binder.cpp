// Binding .res records into a PE image: merging the resource trees, placing the new resource
// section, and rewriting the headers so the image stays consistent (Microsoft PE format).
#include "image/binder.h"

#include <algorithm>
#include <map>
#include <set>

#include "rules/little_endian.h"
#include "rules/hex.h"
#include "image/pe_image.h"
#include "image/resource_section.h"
#include "platform/errors.h"
#include "platform/files.h"

namespace brevok {

using byteio::AlignUp;
using byteio::Fits;
using byteio::Get16;
using byteio::Put16;
using byteio::Put32;

namespace {

constexpr std::uint32_t kScnInitializedData = 0x00000040;
constexpr std::uint32_t kScnMemRead = 0x40000000;
constexpr std::size_t kGroupHeaderSize = 6;
constexpr std::size_t kGroupEntrySize = 14;
constexpr std::size_t kGroupEntryIdOffset = 12;

std::string TypeLabel(const ResId& type)
{
    static const std::map<std::uint16_t, const char*> names = {{kRtCursor, "CURSOR"},
                                                               {kRtBitmap, "BITMAP"},
                                                               {kRtIcon, "ICON"},
                                                               {kRtMenu, "MENU"},
                                                               {kRtDialog, "DIALOG"},
                                                               {kRtString, "STRINGTABLE"},
                                                               {kRtFontDir, "FONTDIR"},
                                                               {kRtFont, "FONT"},
                                                               {kRtAccelerator, "ACCELERATORS"},
                                                               {kRtRcData, "RCDATA"},
                                                               {kRtMessageTable, "MESSAGETABLE"},
                                                               {kRtGroupCursor, "GROUP_CURSOR"},
                                                               {kRtGroupIcon, "GROUP_ICON"},
                                                               {kRtVersion, "VERSIONINFO"},
                                                               {kRtManifest, "MANIFEST"}};
    if (type.isOrdinal) {
        if (auto it = names.find(type.ordinal); it != names.end())
            return it->second;
    }
    return DescribeResId(type);
}

std::string Describe(const ResId& type, const ResId& name)
{
    return TypeLabel(type) + " " + DescribeResId(name);
}

bool IsGroupType(const ResId& type)
{
    return type.isOrdinal && (type.ordinal == kRtGroupIcon || type.ordinal == kRtGroupCursor);
}

std::uint16_t MemberTypeOf(std::uint16_t groupType)
{
    return groupType == kRtGroupIcon ? kRtIcon : kRtCursor;
}

// The member ids of an icon or cursor group (GRPICONDIR / GRPCURSORDIR: a 6-byte header with
// the count at offset 4, then 14-byte entries ending in the member's 16-bit id).
std::optional<std::vector<std::uint16_t>> GroupMembers(std::string_view data)
{
    if (data.size() < kGroupHeaderSize)
        return std::nullopt;
    const std::size_t count = Get16(data, 4);
    if (!Fits(kGroupHeaderSize, kGroupEntrySize * count, data.size()))
        return std::nullopt;
    std::vector<std::uint16_t> ids;
    for (std::size_t i = 0; i < count; ++i)
        ids.push_back(Get16(data, kGroupHeaderSize + kGroupEntrySize * i + kGroupEntryIdOffset));
    return ids;
}

struct LeafKey {
    ResId type;
    ResId name;
    std::uint16_t language;
};

struct LeafKeyLess {
    bool operator()(const LeafKey& a, const LeafKey& b) const
    {
        if (int c = CompareResIds(a.type, b.type); c != 0)
            return c < 0;
        if (int c = CompareResIds(a.name, b.name); c != 0)
            return c < 0;
        return a.language < b.language;
    }
};

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

class Binder {
public:
    Binder(std::string_view exe, const std::vector<ResRecordView>& records) : exe_(exe), records_(records) { }

    Status Run(BoundImage& out)
    {
        if (auto e = ReadImage(); !e)
            return e;
        if (auto e = MergeRecords(out.image); !e)
            return e;
        return WriteImage(out);
    }

    std::vector<std::string> warnings;

private:
    Status ReadImage();
    Status MergeRecords(PieceBuffer& keeper);
    Status ReplaceGroups(std::map<std::pair<std::uint16_t, std::uint16_t>, std::uint16_t>& renumbered);
    void AddLeaf(ResourceLeaf leaf);
    Status WriteImage(BoundImage& out);
    Status PlanPlacement(std::uint64_t newSize, Plan& plan);
    bool ResourceSectionReusable() const;
    Status BuildHeaders(const Plan& plan, std::uint32_t resourceSize, std::string& prefix);
    Status MakeHeaderRoom(Plan& plan);
    std::uint64_t MapOffset(const Plan& plan, std::uint64_t old) const;
    void PatchDebugDirectory(const Plan& plan);
    void AppendOriginal(PieceBuffer& out, std::uint64_t begin, std::uint64_t end);
    std::map<std::uint64_t, std::string> patches_;  // replaced bytes of the input, by offset

    std::string_view exe_;
    const std::vector<ResRecordView>& records_;
    PeHeaders headers_;
    ResourceLocation location_;
    std::vector<ResourceLeaf> leaves_;
    std::vector<bool> removed_;
    std::uint64_t firstRaw_ = 0;
    std::uint64_t lastRawEnd_ = 0;
    DataDirectory certificate_;
    bool removeCertificate_ = false;
};

Status Binder::ReadImage()
{
    auto headers = ParsePeHeaders(exe_, exe_.size());
    if (!headers)
        return Status::Fail(headers.error);
    headers_ = std::move(*headers);
    if (headers_.directories.size() <= kDirResource)
        return Status::Fail("the image has no resource data directory entry (it has " +
                            std::to_string(headers_.directories.size()) + " data directories)");
    auto location = FindResources(headers_);
    if (!location)
        return Status::Fail(location.error);
    location_ = *location;
    if (location_.sectionIndex < 0)
        return Status::Ok();
    const std::string_view section = exe_.substr(location_.section.offset, location_.section.size);
    auto entries = ReadResourceTree(section, location_.sectionRva, location_.directory.rva);
    if (!entries)
        return Status::Fail(entries.error);
    for (const ResourceEntry& e : *entries) {
        std::string_view data;
        if (auto inside = ResourceData(section, location_.sectionRva, e)) {
            data = *inside;
        } else {
            auto span = RvaToFileSpan(headers_, e.dataRva, e.size);
            if (!span)
                return Status::Fail("the data of resource " + Describe(e.type, e.name) + ": " + span.error);
            data = exe_.substr(span->offset, span->size);
        }
        leaves_.push_back({e.type, e.name, e.language, e.codePage, data});
    }
    removed_.assign(leaves_.size(), false);
    return Status::Ok();
}

void Binder::AddLeaf(ResourceLeaf leaf)
{
    const LeafKey key{leaf.type, leaf.name, leaf.language};
    bool otherLanguage = false;
    std::uint16_t otherLanguageId = 0;
    for (std::size_t i = 0; i < leaves_.size(); ++i) {
        if (removed_[i])
            continue;
        ResourceLeaf& old = leaves_[i];
        if (CompareResIds(old.type, key.type) != 0 || CompareResIds(old.name, key.name) != 0)
            continue;
        if (old.language == key.language) {
            old = std::move(leaf);
            return;
        }
        otherLanguage = true;
        otherLanguageId = old.language;
    }
    if (otherLanguage)
        warnings.push_back("resource " + Describe(leaf.type, leaf.name) + " language " + Hex(leaf.language) +
                           " added beside language " + Hex(otherLanguageId) + " already in the image");
    leaves_.push_back(std::move(leaf));
    removed_.push_back(false);
}

// Handles icon and cursor groups before the records are merged: an old group that a new one
// replaces gives up its member images unless another group still uses them, and the new
// groups' members whose ids are taken get free ids (recorded in `renumbered`).
Status Binder::ReplaceGroups(std::map<std::pair<std::uint16_t, std::uint16_t>, std::uint16_t>& renumbered)
{
    std::set<std::pair<std::uint16_t, std::uint16_t>> released;  // (member type, id)
    std::set<std::pair<std::uint16_t, std::uint16_t>> newMembers;
    for (const ResRecordView& r : records_) {
        if (!IsGroupType(r.type))
            continue;
        const std::uint16_t memberType = MemberTypeOf(r.type.ordinal);
        auto members = GroupMembers(r.data);
        if (!members)
            return Status::Fail("the resource file's " + Describe(r.type, r.name) +
                                " has a malformed directory (size " + Hex(r.data.size()) + ")");
        for (auto id : *members)
            newMembers.insert({memberType, id});
        for (std::size_t i = 0; i < leaves_.size(); ++i) {
            const ResourceLeaf& old = leaves_[i];
            if (removed_[i] || CompareResIds(old.type, r.type) != 0 || CompareResIds(old.name, r.name) != 0 ||
                old.language != r.language)
                continue;
            removed_[i] = true;
            if (auto oldMembers = GroupMembers(old.data))
                for (auto id : *oldMembers)
                    released.insert({memberType, id});
        }
    }
    // Members still used by a group that stays are kept.
    for (std::size_t i = 0; i < leaves_.size(); ++i) {
        if (removed_[i] || !IsGroupType(leaves_[i].type))
            continue;
        if (auto members = GroupMembers(leaves_[i].data))
            for (auto id : *members)
                released.erase({MemberTypeOf(leaves_[i].type.ordinal), id});
    }
    std::set<std::pair<std::uint16_t, std::uint16_t>> used;
    for (std::size_t i = 0; i < leaves_.size(); ++i) {
        const ResourceLeaf& leaf = leaves_[i];
        if (removed_[i] || !leaf.type.isOrdinal || !leaf.name.isOrdinal)
            continue;
        const std::pair<std::uint16_t, std::uint16_t> key{leaf.type.ordinal, leaf.name.ordinal};
        if (released.count(key))
            removed_[i] = true;
        else
            used.insert(key);
    }
    // New members that collide with ids in use move to the lowest free ids.
    std::set<std::pair<std::uint16_t, std::uint16_t>> taken = used;
    taken.insert(newMembers.begin(), newMembers.end());
    for (const auto& member : newMembers) {
        if (!used.count(member))
            continue;
        std::uint32_t id = 1;
        while (id <= 0xFFFF && taken.count({member.first, static_cast<std::uint16_t>(id)}))
            ++id;
        if (id > 0xFFFF)
            return Status::Fail("no free id is left for the member images of the icon and cursor groups");
        taken.insert({member.first, static_cast<std::uint16_t>(id)});
        renumbered[member] = static_cast<std::uint16_t>(id);
    }
    return Status::Ok();
}

Status Binder::MergeRecords(PieceBuffer& keeper)
{
    // A directory string counts its characters in 16 bits; a longer name cannot be written.
    for (const ResRecordView& r : records_) {
        for (const ResId* id : {&r.type, &r.name}) {
            if (!id->isOrdinal && id->name.size() > 0xFFFF)
                return Status::Fail("the resource file's record at offset " + Hex(r.offset) + " has a " +
                                    (id == &r.type ? "type" : "name") + " of " + std::to_string(id->name.size()) +
                                    " characters, more than a resource directory can hold (65535)");
        }
    }
    std::map<std::pair<std::uint16_t, std::uint16_t>, std::uint16_t> renumbered;
    if (auto e = ReplaceGroups(renumbered); !e)
        return e;
    for (const ResRecordView& r : records_) {
        ResourceLeaf leaf{r.type, r.name, r.language, 0, r.data};
        if (IsGroupType(r.type) && !renumbered.empty()) {
            std::string data(r.data);
            const std::uint16_t memberType = MemberTypeOf(r.type.ordinal);
            const std::size_t count = Get16(data, 4);
            for (std::size_t i = 0; i < count; ++i) {
                const std::size_t at = kGroupHeaderSize + kGroupEntrySize * i + kGroupEntryIdOffset;
                auto it = renumbered.find({memberType, Get16(data, at)});
                if (it != renumbered.end())
                    Put16(data, at, it->second);
            }
            leaf.data = keeper.Keep(std::move(data));
        } else if (r.type.isOrdinal && r.name.isOrdinal) {
            auto it = renumbered.find({r.type.ordinal, r.name.ordinal});
            if (it != renumbered.end())
                leaf.name = ResId::Ordinal(it->second);
        }
        AddLeaf(std::move(leaf));
    }
    std::vector<ResourceLeaf> kept;
    for (std::size_t i = 0; i < leaves_.size(); ++i)
        if (!removed_[i])
            kept.push_back(std::move(leaves_[i]));
    leaves_ = std::move(kept);
    removed_.assign(leaves_.size(), false);
    return Status::Ok();
}

// The resource section can be rewritten only when the tree starts it and no other data
// directory points into it.
bool Binder::ResourceSectionReusable() const
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

Status Binder::PlanPlacement(std::uint64_t newSize, Plan& plan)
{
    plan.sections = headers_.sections;
    plan.bodyEnd = lastRawEnd_;
    const std::uint32_t fileAlign = headers_.fileAlignment;
    const std::uint32_t sectionAlign = headers_.sectionAlignment;
    const std::uint64_t newRaw = AlignUp(newSize, fileAlign);
    const int r = location_.sectionIndex;
    const std::size_t count = plan.sections.size();

    auto nextVirtual = [&](int index) {
        std::uint64_t next = UINT64_MAX;
        for (const auto& s : headers_.sections)
            if (s.virtualAddress > headers_.sections[index].virtualAddress)
                next = std::min<std::uint64_t>(next, s.virtualAddress);
        return next;
    };
    if (ResourceSectionReusable()) {
        SectionHeader& s = plan.sections[r];
        // In place: the new tree fits the old raw data and the room before the next section.
        if (newSize <= s.sizeOfRawData && s.virtualAddress + newSize <= nextVirtual(r)) {
            s.virtualSize = static_cast<std::uint32_t>(newSize);
            plan.resourceRva = s.virtualAddress;
            plan.newTrailerStart = lastRawEnd_;
            return Status::Ok();
        }
        // Last section, or followed only by the base relocations: grow it and move them.
        const DataDirectory relocDir = headers_.Directory(kDirBaseReloc);
        const int relocIndex = relocDir.size != 0 ? headers_.SectionOfRva(relocDir.rva) : -1;
        bool last = true;
        for (std::size_t i = 0; i < count; ++i) {
            const SectionHeader& o = headers_.sections[i];
            if (static_cast<int>(i) == r || static_cast<int>(i) == relocIndex)
                continue;
            if (o.virtualAddress > s.virtualAddress ||
                (o.sizeOfRawData != 0 && o.pointerToRawData > s.pointerToRawData))
                last = false;
        }
        const SectionHeader* reloc = nullptr;
        if (relocIndex >= 0 && relocIndex != r) {
            const SectionHeader& m = headers_.sections[relocIndex];
            // Relocations wholly before the resources (a resource section added after them)
            // stay where they are, like any other section.
            const bool before = m.virtualAddress < s.virtualAddress &&
                (m.sizeOfRawData == 0 || std::uint64_t{m.pointerToRawData} + m.sizeOfRawData <= s.pointerToRawData);
            if (!before) {
                reloc = &m;
                if (m.virtualAddress < s.virtualAddress ||
                    (m.sizeOfRawData != 0 && m.pointerToRawData < s.pointerToRawData + std::uint64_t{s.sizeOfRawData}))
                    last = false;
            }
        }
        if (last) {
            if (s.virtualAddress + AlignUp(std::max(newSize, newRaw), sectionAlign) > 0xFFFFFFFFull)
                return Status::Fail("the resources do not fit the 4 GB address space");
            const std::uint32_t oldRaw = s.sizeOfRawData;
            s.virtualSize = static_cast<std::uint32_t>(newSize);
            s.sizeOfRawData = static_cast<std::uint32_t>(newRaw);
            plan.resourceRva = s.virtualAddress;
            if (s.characteristics & kScnInitializedData)
                plan.initializedDelta = static_cast<std::int64_t>(newRaw) - oldRaw;
            std::uint64_t end = s.pointerToRawData + newRaw;
            if (reloc) {
                SectionHeader& m = plan.sections[relocIndex];
                const std::uint64_t va =
                    AlignUp(s.virtualAddress + std::max<std::uint64_t>(newSize, newRaw), sectionAlign);
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
    }
    // Otherwise a new section after the last one, making room for its entry in the headers.
    if (count >= 0xFFFF)
        return Status::Fail("the image has " + std::to_string(count) +
                            " sections, the most a COFF header can count (65535)");
    if (auto e = MakeHeaderRoom(plan); !e)
        return e;
    if (ResourceSectionReusable()) {
        // The old section now holds nothing anyone points to; its name says so, so that
        // tools which look for resources by section name find the live ones.
        std::copy_n(".oldrsrc", 8, plan.sections[r].name);
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
Status Binder::MakeHeaderRoom(Plan& plan)
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
std::uint64_t Binder::MapOffset(const Plan& plan, std::uint64_t old) const
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
void Binder::PatchDebugDirectory(const Plan& plan)
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

void Binder::AppendOriginal(PieceBuffer& out, std::uint64_t begin, std::uint64_t end)
{
    for (auto it = patches_.lower_bound(begin); it != patches_.end() && it->first < end; ++it) {
        out.Append(exe_.substr(begin, it->first - begin));
        out.AppendOwned(it->second);
        begin = it->first + it->second.size();
    }
    if (end > begin)
        out.Append(exe_.substr(begin, end - begin));
}

Status Binder::BuildHeaders(const Plan& plan, std::uint32_t resourceSize, std::string& prefix)
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

Status Binder::WriteImage(BoundImage& out)
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
        warnings.push_back("the image's digital signature is no longer valid and has been removed");
    }

    ResourceSectionLayout layout(leaves_);
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

Parsed<BoundImage> BindResources(std::string_view exe, const std::vector<ResRecordView>& records)
{
    BoundImage out;
    Binder binder(exe, records);
    if (auto e = binder.Run(out); !e)
        return Parsed<BoundImage>::Fail(e.error);
    out.warnings = std::move(binder.warnings);
    return Parsed<BoundImage>::Ok(std::move(out));
}

ToolOutcome BindResFile(const std::string& resPath, const std::string& exePath)
{
    ToolOutcome outcome;
    auto fail = [&](const std::string& path, const std::string& text) {
        outcome.lines.push_back("Error " + path + ": " + text);
        return outcome;
    };
    std::string res;
    std::string exe;
    try {
        res = ReadFileBytes(resPath);
        exe = ReadFileBytes(exePath);
    } catch (const Error& e) {
        outcome.lines.push_back(std::string("Error ") + e.what());
        return outcome;
    }
    auto records = ParseResFileViews(res);
    if (!records)
        return fail(resPath, records.error);
    Parsed<BoundImage> bound;
    try {
        bound = BindResources(exe, *records);
    } catch (const std::exception& e) {
        // Every size is checked before use; should a check still be missing, the tool reports
        // it and leaves the executable alone rather than ending abruptly.
        return fail(exePath, std::string("internal error: ") + e.what());
    }
    if (!bound)
        return fail(exePath, bound.error);
    try {
        AtomicFileWriter writer(exePath);
        for (std::string_view piece : bound->image.pieces())
            writer.Write(piece);
        writer.Commit();
    } catch (const Error& e) {
        outcome.lines.push_back(std::string("Error ") + e.what());
        return outcome;
    }
    for (const auto& w : bound->warnings)
        outcome.lines.push_back("Warning " + exePath + ": " + w);
    outcome.ok = true;
    return outcome;
}

}  // namespace brevok
