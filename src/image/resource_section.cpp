// Writing a PE resource tree (IMAGE_RESOURCE_DIRECTORY tables, data entries and name strings)
// and placing the data after it.
#include "image/resource_section.h"

#include "image/pe_image.h"

#include <algorithm>
#include <numeric>
#include <tuple>

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

// One directory table to be written: its entries' ids, what each points to (a table index,
// or a given slot index at the language level), and the first given slot below each entry.
struct Table {
    std::vector<ResId> ids;
    std::vector<std::size_t> targets;
    std::vector<std::size_t> firstGiven;
    bool leaves = false;
    int level = 0;
    std::uint64_t offset = 0;
};

// A name string to be written, at the entry `entry` of table `table`, and where it goes
// among the strings.
struct NameString {
    std::size_t table;
    std::size_t entry;
    std::tuple<std::size_t, std::size_t> key;
};

}  // namespace

ResourceDirectory::ResourceDirectory(std::vector<ResourceSlot> slots, Order order)
{
    for (auto& slot : slots) {
        if (!slot.type.isOrdinal)
            slot.type.name = UpperName(slot.type.name);
        if (!slot.name.isOrdinal)
            slot.name.name = UpperName(slot.name.name);
        longestName_ = std::max({longestName_, slot.type.name.size(), slot.name.name.size()});
    }
    std::vector<std::size_t> sorted(slots.size());
    std::iota(sorted.begin(), sorted.end(), std::size_t{0});
    std::stable_sort(sorted.begin(), sorted.end(), [&](std::size_t x, std::size_t y) {
        const ResourceSlot& a = slots[x];
        const ResourceSlot& b = slots[y];
        if (int c = CompareResIds(a.type, b.type); c != 0)
            return c < 0;
        if (int c = CompareResIds(a.name, b.name); c != 0)
            return c < 0;
        return a.language < b.language;
    });

    // The tables breadth first: root, then one per type, then one per (type, name).
    std::vector<Table> tables(1);
    std::vector<Table> nameTables;
    std::vector<Table> languageTables;
    for (std::size_t k = 0; k < sorted.size(); ++k) {
        const std::size_t i = sorted[k];
        const ResourceSlot& slot = slots[i];
        const bool newType = k == 0 || CompareResIds(slots[sorted[k - 1]].type, slot.type) != 0;
        const bool newName = newType || CompareResIds(slots[sorted[k - 1]].name, slot.name) != 0;
        if (newType) {
            tables[0].ids.push_back(slot.type);
            tables[0].targets.push_back(nameTables.size());
            tables[0].firstGiven.push_back(i);
            nameTables.emplace_back();
            nameTables.back().level = 1;
        }
        if (newName) {
            nameTables.back().ids.push_back(slot.name);
            nameTables.back().targets.push_back(languageTables.size());
            nameTables.back().firstGiven.push_back(i);
            languageTables.emplace_back();
            languageTables.back().leaves = true;
            languageTables.back().level = 2;
        }
        tables[0].firstGiven.back() = std::min(tables[0].firstGiven.back(), i);
        nameTables.back().firstGiven.back() = std::min(nameTables.back().firstGiven.back(), i);
        languageTables.back().ids.push_back(ResId::Ordinal(slot.language));
        languageTables.back().targets.push_back(i);
        languageTables.back().firstGiven.push_back(i);
    }
    const std::size_t firstName = tables.size();
    tables.insert(tables.end(), nameTables.begin(), nameTables.end());
    const std::size_t firstLanguage = tables.size();
    tables.insert(tables.end(), languageTables.begin(), languageTables.end());

    std::uint64_t offset = 0;
    for (auto& t : tables) {
        t.offset = offset;
        offset += kResourceTableSize + std::uint64_t{kResourceEntrySize} * t.ids.size();
    }
    const std::uint64_t dataEntries = offset;
    offset += std::uint64_t{kResourceDataEntrySize} * slots.size();
    tree_.assign(offset, '\0');

    // The name strings follow the data entries, each written once per table entry that names it.
    std::vector<NameString> strings;
    for (std::size_t ti = 0; ti < tables.size(); ++ti) {
        for (std::size_t e = 0; e < tables[ti].ids.size(); ++e) {
            if (tables[ti].ids[e].isOrdinal)
                continue;
            const auto key = order == Order::Tree ? std::tuple{ti, e}
                                                  : std::tuple{tables[ti].firstGiven[e], std::size_t(tables[ti].level)};
            strings.push_back({ti, e, key});
        }
    }
    std::stable_sort(strings.begin(), strings.end(),
                     [](const NameString& a, const NameString& b) { return a.key < b.key; });
    std::vector<std::vector<std::uint64_t>> stringAt(tables.size());
    for (std::size_t ti = 0; ti < tables.size(); ++ti)
        stringAt[ti].resize(tables[ti].ids.size());
    for (const NameString& s : strings) {
        stringAt[s.table][s.entry] = tree_.size();
        const std::u16string& name = tables[s.table].ids[s.entry].name;
        byteio::Append16(tree_, static_cast<std::uint16_t>(name.size()));
        for (char16_t c : name)
            byteio::Append16(tree_, c);
    }

    entryOffset_.resize(slots.size());
    for (std::size_t k = 0; k < sorted.size(); ++k)
        entryOffset_[sorted[k]] = static_cast<std::uint32_t>(dataEntries + std::uint64_t{kResourceDataEntrySize} * k);
    for (std::size_t ti = 0; ti < tables.size(); ++ti) {
        const Table& t = tables[ti];
        std::size_t named = 0;
        for (const auto& id : t.ids)
            named += id.isOrdinal ? 0 : 1;
        largestTable_ = std::max({largestTable_, named, t.ids.size() - named});
        Put16(tree_, t.offset + 12, static_cast<std::uint16_t>(named));
        Put16(tree_, t.offset + 14, static_cast<std::uint16_t>(t.ids.size() - named));
        for (std::size_t e = 0; e < t.ids.size(); ++e) {
            const std::uint64_t at = t.offset + kResourceTableSize + std::uint64_t{kResourceEntrySize} * e;
            const ResId& id = t.ids[e];
            Put32(tree_, at, id.isOrdinal ? id.ordinal : kResourceHighBit | static_cast<std::uint32_t>(stringAt[ti][e]));
            std::uint32_t target;
            if (t.leaves) {
                target = entryOffset_[t.targets[e]];
            } else {
                const std::size_t base = ti == 0 ? firstName : firstLanguage;
                target = kResourceHighBit | static_cast<std::uint32_t>(tables[base + t.targets[e]].offset);
            }
            Put32(tree_, at + 4, target);
        }
    }

    if (order == Order::Tree) {
        dataOrder_ = std::move(sorted);
    } else {
        dataOrder_.resize(slots.size());
        std::iota(dataOrder_.begin(), dataOrder_.end(), std::size_t{0});
    }
    dataOffset_.resize(slots.size());
    for (std::size_t i : dataOrder_) {
        dataOffset_[i] = dataSize_;
        dataSize_ = AlignUp(dataSize_ + slots[i].size, kDataAlignment);
        Put32(tree_, entryOffset_[i] + 4, static_cast<std::uint32_t>(slots[i].size));
        Put32(tree_, entryOffset_[i] + 8, slots[i].codePage);
    }
}

std::vector<ResourceSlot> ResourceSectionLayout::Slots(const std::vector<ResourceLeaf>& leaves)
{
    std::vector<ResourceSlot> slots;
    slots.reserve(leaves.size());
    for (const ResourceLeaf& leaf : leaves)
        slots.push_back({leaf.type, leaf.name, leaf.language, leaf.codePage, leaf.data.size()});
    return slots;
}

ResourceSectionLayout::ResourceSectionLayout(std::vector<ResourceLeaf> leaves)
    : leaves_(std::move(leaves)),
      directory_(Slots(leaves_), ResourceDirectory::Order::Tree),
      dataStart_(AlignUp(directory_.tree().size(), kDataAlignment))
{ }

void ResourceSectionLayout::Emit(std::uint32_t sectionRva, PieceBuffer& out) const
{
    std::string head = directory_.tree();
    for (std::size_t i = 0; i < leaves_.size(); ++i)
        Put32(head, directory_.entryOffset(i), static_cast<std::uint32_t>(sectionRva + dataStart_ + directory_.dataOffset(i)));
    head.resize(dataStart_, '\0');
    out.AppendOwned(std::move(head));
    std::uint64_t pos = 0;
    for (std::size_t i : directory_.dataOrder()) {
        out.AppendZeros(directory_.dataOffset(i) - pos);
        out.Append(leaves_[i].data);
        pos = directory_.dataOffset(i) + leaves_[i].data.size();
    }
    out.AppendZeros(directory_.dataSize() - pos);
}

}  // namespace brevok
