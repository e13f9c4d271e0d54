// Writing a PE resource section (IMAGE_RESOURCE_DIRECTORY tree and data).
#include "image/resource_section.h"

#include "image/pe_image.h"

#include <algorithm>

#include "rules/ascii.h"
#include "rules/little_endian.h"

namespace brevok {

namespace {

constexpr std::uint32_t kDataAlignment = 8;

std::u16string UpperName(const std::u16string& name)
{
    std::u16string out = name;
    for (auto& c : out)
        c = AsciiUpper(c);
    return out;
}

// One directory table to be written: its entries' ids and what each points to (a table
// index, or a leaf index at the language level).
struct Table {
    std::vector<ResId> ids;
    std::vector<std::size_t> targets;
    bool leaves = false;
    std::uint32_t offset = 0;
};

}  // namespace

ResourceSectionLayout::ResourceSectionLayout(std::vector<ResourceLeaf> leaves) : leaves_(std::move(leaves))
{
    for (auto& leaf : leaves_) {
        if (!leaf.type.isOrdinal)
            leaf.type.name = UpperName(leaf.type.name);
        if (!leaf.name.isOrdinal)
            leaf.name.name = UpperName(leaf.name.name);
    }
    std::stable_sort(leaves_.begin(), leaves_.end(), [](const ResourceLeaf& a, const ResourceLeaf& b) {
        if (int c = CompareResIds(a.type, b.type); c != 0)
            return c < 0;
        if (int c = CompareResIds(a.name, b.name); c != 0)
            return c < 0;
        return a.language < b.language;
    });

    // Build the tables breadth first: root, then one per type, then one per (type, name).
    std::vector<Table> tables(1);
    std::vector<Table> nameTables;
    std::vector<Table> languageTables;
    for (std::size_t i = 0; i < leaves_.size(); ++i) {
        const ResourceLeaf& leaf = leaves_[i];
        const bool newType = i == 0 || CompareResIds(leaves_[i - 1].type, leaf.type) != 0;
        const bool newName = newType || CompareResIds(leaves_[i - 1].name, leaf.name) != 0;
        if (newType) {
            tables[0].ids.push_back(leaf.type);
            tables[0].targets.push_back(nameTables.size());
            nameTables.emplace_back();
        }
        if (newName) {
            nameTables.back().ids.push_back(leaf.name);
            nameTables.back().targets.push_back(languageTables.size());
            languageTables.emplace_back();
            languageTables.back().leaves = true;
        }
        languageTables.back().ids.push_back(ResId::Ordinal(leaf.language));
        languageTables.back().targets.push_back(i);
    }
    const std::size_t firstName = tables.size();
    tables.insert(tables.end(), nameTables.begin(), nameTables.end());
    const std::size_t firstLanguage = tables.size();
    tables.insert(tables.end(), languageTables.begin(), languageTables.end());

    std::uint32_t offset = 0;
    for (auto& t : tables) {
        t.offset = offset;
        offset += kResourceTableSize + kResourceEntrySize * static_cast<std::uint32_t>(t.ids.size());
    }
    const std::uint32_t dataEntries = offset;
    offset += kResourceDataEntrySize * static_cast<std::uint32_t>(leaves_.size());
    head_.assign(offset, '\0');

    // Strings follow the data entries; each written once per table entry that names it.
    for (std::size_t ti = 0; ti < tables.size(); ++ti) {
        Table& t = tables[ti];
        std::size_t named = 0;
        for (const auto& id : t.ids)
            named += id.isOrdinal ? 0 : 1;
        largestTable_ = std::max({largestTable_, static_cast<std::size_t>(named), t.ids.size() - named});
        Put16(head_, t.offset + 12, static_cast<std::uint16_t>(named));
        Put16(head_, t.offset + 14, static_cast<std::uint16_t>(t.ids.size() - named));
        for (std::size_t e = 0; e < t.ids.size(); ++e) {
            const std::uint32_t at = t.offset + kResourceTableSize + kResourceEntrySize * static_cast<std::uint32_t>(e);
            const ResId& id = t.ids[e];
            if (id.isOrdinal) {
                Put32(head_, at, id.ordinal);
            } else {
                Put32(head_, at, kResourceHighBit | static_cast<std::uint32_t>(head_.size()));
                byteio::Append16(head_, static_cast<std::uint16_t>(id.name.size()));
                for (char16_t c : id.name)
                    byteio::Append16(head_, c);
            }
            std::uint32_t target;
            if (t.leaves) {
                target = dataEntries + kResourceDataEntrySize * static_cast<std::uint32_t>(t.targets[e]);
            } else {
                const std::size_t base = ti == 0 ? firstName : firstLanguage;
                target = kResourceHighBit | tables[base + t.targets[e]].offset;
            }
            Put32(head_, at + 4, target);
        }
    }
    dataStart_ = AlignUp(head_.size(), kDataAlignment);
    std::uint64_t pos = dataStart_;
    for (std::size_t i = 0; i < leaves_.size(); ++i) {
        entryOffset_.push_back(dataEntries + kResourceDataEntrySize * static_cast<std::uint32_t>(i));
        dataOffset_.push_back(static_cast<std::uint32_t>(pos));
        Put32(head_, entryOffset_.back() + 4, static_cast<std::uint32_t>(leaves_[i].data.size()));
        Put32(head_, entryOffset_.back() + 8, leaves_[i].codePage);
        pos = AlignUp(pos + leaves_[i].data.size(), kDataAlignment);
    }
    size_ = pos;
}

void ResourceSectionLayout::Emit(std::uint32_t sectionRva, PieceBuffer& out) const
{
    std::string head = head_;
    for (std::size_t i = 0; i < leaves_.size(); ++i)
        Put32(head, entryOffset_[i], sectionRva + dataOffset_[i]);
    const std::uint64_t headSize = head.size();
    out.AppendOwned(std::move(head));
    std::uint64_t pos = headSize;
    for (std::size_t i = 0; i < leaves_.size(); ++i) {
        out.AppendZeros(dataOffset_[i] - pos);
        out.Append(leaves_[i].data);
        pos = dataOffset_[i] + leaves_[i].data.size();
    }
    out.AppendZeros(size_ - pos);
}

}  // namespace brevok
