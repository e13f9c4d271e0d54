// Locating the version resource in PE and ELF files with positioned reads.
#include "versioninfo/version_resource.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "image/elf_sections.h"
#include "image/pe_image.h"
#include "image/res_file.h"
#include "platform/read_only_file.h"

namespace brevok {
namespace {

constexpr std::uint16_t kVersionName = 1;  // VS_VERSION_INFO
constexpr std::uint16_t kEnglishUs = 0x0409;
constexpr std::uint16_t kNeutral = 0;

/// Picks the version resource among `items` (anything with type, name and language), as
/// the version library of Windows does: name 1, else the first name; then English (US),
/// neutral, the first language.
template <class Item>
const Item* ChooseVersionResource(const std::vector<Item>& items)
{
    std::vector<const Item*> versions;
    for (const Item& item : items)
        if (item.type == ResId::Ordinal(kRtVersion))
            versions.push_back(&item);
    if (versions.empty())
        return nullptr;
    auto hasName1 = [](const Item* item) { return item->name == ResId::Ordinal(kVersionName); };
    const ResId name =
        std::any_of(versions.begin(), versions.end(), hasName1) ? ResId::Ordinal(kVersionName) : versions.front()->name;
    std::erase_if(versions, [&](const Item* item) { return !(item->name == name); });
    for (std::uint16_t language : {kEnglishUs, kNeutral}) {
        auto it = std::find_if(versions.begin(), versions.end(),
                               [&](const Item* item) { return item->language == language; });
        if (it != versions.end())
            return *it;
    }
    return versions.front();
}

Parsed<std::string> ReadFromPe(const ReadOnlyFile& file, std::string_view head)
{
    using Result = Parsed<std::string>;
    const auto headers = ParsePeHeaders(head, file.size());
    if (!headers)
        return Result::Fail(headers.error);
    const auto location = FindResources(*headers);
    if (!location)
        return Result::Fail(location.error);
    if (location->sectionIndex < 0)
        return Result::Fail("no resources");
    const auto section = file.ReadAt(location->section.offset, location->section.size);
    if (!section)
        return Result::Fail("cannot read the resource section");
    const auto tree = ReadResourceTree(*section, location->sectionRva, location->directory.rva);
    if (!tree)
        return Result::Fail(tree.error);
    const ResourceEntry* entry = ChooseVersionResource(*tree);
    if (!entry)
        return Result::Fail("no version resource");
    if (const auto data = ResourceData(*section, location->sectionRva, *entry))
        return Result::Ok(std::string(*data));
    // The data may lie in another section than the directory.
    const auto span = RvaToFileSpan(*headers, entry->dataRva, entry->size);
    if (!span)
        return Result::Fail(span.error);
    auto data = file.ReadAt(span->offset, span->size);
    if (!data)
        return Result::Fail("cannot read the version resource");
    return Result::Ok(std::move(*data));
}

Parsed<std::string> ReadFromElf(const ReadOnlyFile& file)
{
    using Result = Parsed<std::string>;
    const auto readAt = [&file](std::uint64_t offset, std::size_t count) { return file.ReadAt(offset, count); };
    const auto section = FindElfSection(readAt, file.size(), kElfResourceSection);
    if (!section)
        return Result::Fail(section.error);
    if (!section->found)
        return Result::Fail("no resources");
    const auto image = file.ReadAt(section->offset, static_cast<std::size_t>(section->size));
    if (!image)
        return Result::Fail("cannot read the resource section");
    const auto records = ParseResFileViews(*image);
    if (!records)
        return Result::Fail(records.error);
    const ResRecordView* record = ChooseVersionResource(*records);
    if (!record)
        return Result::Fail("no version resource");
    return Result::Ok(std::string(record->data));
}

}  // namespace

Parsed<std::string> ReadVersionResource(const std::string& path)
{
    using Result = Parsed<std::string>;
    const ReadOnlyFile file(path);
    if (!file.isOpen())
        return Result::Fail("cannot open the file");
    const auto head = file.ReadAt(0, static_cast<std::size_t>(std::min<std::uint64_t>(file.size(), kPeHeadBytes)));
    if (!head)
        return Result::Fail("cannot read the file");
    if (head->size() >= 2 && head->substr(0, 2) == "MZ")
        return ReadFromPe(file, *head);
    if (IsElfImage(*head))
        return ReadFromElf(file);
    return Result::Fail("neither a PE nor an ELF file");
}

}  // namespace brevok
