// Merging .res records into the resources of an image.
#include "image/resource_merge.h"

#include <map>
#include <set>

#include "rules/hex.h"
#include "rules/little_endian.h"

namespace brevok {

namespace {

std::string Describe(const ResId& type, const ResId& name)
{
    return DescribeResType(type) + " " + DescribeResId(name);
}

bool IsGroupType(const ResId& type)
{
    return type.isOrdinal && (type.ordinal == kRtGroupIcon || type.ordinal == kRtGroupCursor);
}

std::uint16_t MemberTypeOf(std::uint16_t groupType)
{
    return groupType == kRtGroupIcon ? kRtIcon : kRtCursor;
}

struct LeafKey {
    ResId type;
    ResId name;
    std::uint16_t language;
};

/// One merge: the leaves, which of them the merge removes, and its warnings.
class ResourceMerger {
public:
    ResourceMerger(std::vector<ResourceLeaf> leaves, const std::vector<ResRecordView>& records)
        : records_(records), leaves_(std::move(leaves)), removed_(leaves_.size(), false)
    { }

    Status MergeRecords(PieceBuffer& keeper);
    MergedResources Take() { return {std::move(leaves_), std::move(warnings_)}; }

private:
    Status ReplaceGroups(std::map<std::pair<std::uint16_t, std::uint16_t>, std::uint16_t>& renumbered);
    void AddLeaf(ResourceLeaf leaf);

    const std::vector<ResRecordView>& records_;
    std::vector<ResourceLeaf> leaves_;
    std::vector<bool> removed_;
    std::vector<std::string> warnings_;
};

void ResourceMerger::AddLeaf(ResourceLeaf leaf)
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
        warnings_.push_back("resource " + Describe(leaf.type, leaf.name) + " language " + Hex(leaf.language) +
                           " added beside language " + Hex(otherLanguageId) + " already in the image");
    leaves_.push_back(std::move(leaf));
    removed_.push_back(false);
}

// Handles icon and cursor groups before the records are merged: an old group that a new one
// replaces gives up its member images unless another group still uses them, and the new
// groups' members whose ids are taken get free ids (recorded in `renumbered`).
Status ResourceMerger::ReplaceGroups(std::map<std::pair<std::uint16_t, std::uint16_t>, std::uint16_t>& renumbered)
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

Status ResourceMerger::MergeRecords(PieceBuffer& keeper)
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

}  // namespace

// A 6-byte header with the count at offset 4, then 14-byte entries ending in the member's 16-bit id.
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

Parsed<std::vector<ResourceLeaf>> ReadImageResources(std::string_view exe, const PeHeaders& headers,
                                                     const ResourceLocation& location)
{
    using Result = Parsed<std::vector<ResourceLeaf>>;
    std::vector<ResourceLeaf> leaves;
    if (location.sectionIndex < 0)
        return Result::Ok(std::move(leaves));
    const std::string_view section = exe.substr(location.section.offset, location.section.size);
    auto entries = ReadResourceTree(section, location.sectionRva, location.directory.rva);
    if (!entries)
        return Result::Fail(entries.error);
    for (const ResourceEntry& e : *entries) {
        std::string_view data;
        if (auto inside = ResourceData(section, location.sectionRva, e)) {
            data = *inside;
        } else {
            auto span = RvaToFileSpan(headers, e.dataRva, e.size);
            if (!span)
                return Result::Fail("the data of resource " + Describe(e.type, e.name) + ": " + span.error);
            data = exe.substr(span->offset, span->size);
        }
        leaves.push_back({e.type, e.name, e.language, e.codePage, data});
    }
    return Result::Ok(std::move(leaves));
}

Parsed<MergedResources> MergeResources(std::vector<ResourceLeaf> leaves, const std::vector<ResRecordView>& records,
                                       PieceBuffer& keeper)
{
    ResourceMerger merger(std::move(leaves), records);
    if (const Status merged = merger.MergeRecords(keeper); !merged)
        return Parsed<MergedResources>::Fail(merged.error);
    return Parsed<MergedResources>::Ok(merger.Take());
}

}  // namespace brevok
