// Editing a program's resources in memory and laying the image out anew.
#include "resedit/resource_editor.h"

#include <algorithm>
#include <charconv>
#include <set>

#include "image/resource_merge.h"
#include "rccompiler/icon_files.h"
#include "resedit/string_block.h"
#include "resedit/version_tree.h"
#include "rules/ascii.h"
#include "rules/hex.h"
#include "rules/little_endian.h"
#include "rules/unicode.h"

namespace brevok {

namespace {

constexpr std::uint16_t kImageFileDll = 0x2000;
constexpr std::string_view kLevelElement = "requestedExecutionLevel";
constexpr std::string_view kLevels[] = {"asInvoker", "highestAvailable", "requireAdministrator"};

// What the loader needs of a manifest that only asks for an execution level.
constexpr std::string_view kManifestHead =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
    "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">\r\n";
constexpr std::string_view kManifestTail = "</assembly>\r\n";

bool IsAsciiSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string TrustInfo(std::string_view level)
{
    return "  <trustInfo xmlns=\"urn:schemas-microsoft-com:asm.v3\">\r\n"
           "    <security>\r\n"
           "      <requestedPrivileges>\r\n"
           "        <requestedExecutionLevel level=\"" +
           std::string(level) +
           "\" uiAccess=\"false\"/>\r\n"
           "      </requestedPrivileges>\r\n"
           "    </security>\r\n"
           "  </trustInfo>\r\n";
}

// Sets the level attribute of requestedExecutionLevel in the manifest's text, adding the
// element (in a trustInfo block) or the attribute where it is missing.
Parsed<std::string> WithExecutionLevel(std::string text, std::string_view level)
{
    const std::size_t element = text.find(kLevelElement);
    if (element == std::string::npos) {
        const std::size_t close = text.rfind("</assembly>");
        if (close != std::string::npos) {
            text.insert(close, TrustInfo(level));
            return Parsed<std::string>::Ok(std::move(text));
        }
        // An empty <assembly ... /> element is opened up to hold it.
        const std::size_t open = text.find("<assembly");
        const std::size_t end = open == std::string::npos ? open : text.find('>', open);
        if (end == std::string::npos || text[end - 1] != '/')
            return Parsed<std::string>::Fail("the manifest has no <assembly> element to add the execution level to");
        text.replace(end - 1, 2, ">\r\n" + TrustInfo(level) + "</assembly>");
        return Parsed<std::string>::Ok(std::move(text));
    }
    const std::size_t nameEnd = element + kLevelElement.size();
    const std::size_t tagEnd = std::min(text.find('>', nameEnd), text.size());
    for (std::size_t at = text.find("level", nameEnd); at < tagEnd; at = text.find("level", at + 1)) {
        if (!IsAsciiSpace(text[at - 1]))
            continue;
        std::size_t p = at + 5;
        while (p < tagEnd && IsAsciiSpace(text[p]))
            ++p;
        if (p >= tagEnd || text[p] != '=')
            continue;
        ++p;
        while (p < tagEnd && IsAsciiSpace(text[p]))
            ++p;
        if (p >= tagEnd || (text[p] != '"' && text[p] != '\''))
            continue;
        const std::size_t close = text.find(text[p], p + 1);
        if (close >= tagEnd)
            break;
        text.replace(p + 1, close - p - 1, level);
        return Parsed<std::string>::Ok(std::move(text));
    }
    text.insert(nameEnd, " level=\"" + std::string(level) + "\"");
    return Parsed<std::string>::Ok(std::move(text));
}

Parsed<std::uint16_t> ParseStringId(std::string_view text)
{
    unsigned value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || value > 0xFFFF)
        return Parsed<std::uint16_t>::Fail("string ID \"" + std::string(text) + "\" is not a number from 0 to 65535");
    return Parsed<std::uint16_t>::Ok(static_cast<std::uint16_t>(value));
}

// The (member type, id) pairs an icon or cursor group lists; none for any other resource.
std::vector<std::pair<std::uint16_t, std::uint16_t>> MembersOf(const ResourceLeaf& leaf)
{
    std::vector<std::pair<std::uint16_t, std::uint16_t>> out;
    if (!leaf.type.isOrdinal || (leaf.type.ordinal != kRtGroupIcon && leaf.type.ordinal != kRtGroupCursor))
        return out;
    const std::uint16_t memberType = leaf.type.ordinal == kRtGroupIcon ? kRtIcon : kRtCursor;
    for (std::uint16_t id : GroupMembers(leaf.data).value_or(std::vector<std::uint16_t>{}))
        out.push_back({memberType, id});
    return out;
}

bool SameKey(const ResourceLeaf& leaf, const ResId& type, const ResId& name)
{
    return CompareResIds(leaf.type, type) == 0 && CompareResIds(leaf.name, name) == 0;
}

bool InDirectoryOrder(const ResourceLeaf& a, const ResourceLeaf& b)
{
    if (int c = CompareResIds(a.type, b.type))
        return c < 0;
    if (int c = CompareResIds(a.name, b.name))
        return c < 0;
    return a.language < b.language;
}

std::string Label(const ResId& type, const ResId& name)
{
    return DescribeResType(type) + " " + DescribeResId(name);
}

}  // namespace

bool IsExecutionLevel(std::string_view level)
{
    return std::find(std::begin(kLevels), std::end(kLevels), level) != std::end(kLevels);
}

ResId ResIdFromText(std::string_view text, bool isType)
{
    unsigned value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (!text.empty() && ec == std::errc() && end == text.data() + text.size() && value <= 0xFFFF)
        return ResId::Ordinal(static_cast<std::uint16_t>(value));
    if (isType) {
        if (auto known = ResTypeOfKeyword(text))
            return ResId::Ordinal(*known);
    }
    return ResId::Name(Utf8ToUtf16(AsciiUpper(text)));
}

Parsed<std::unique_ptr<ResourceEditor>> ResourceEditor::Open(std::string bytes)
{
    using Result = Parsed<std::unique_ptr<ResourceEditor>>;
    std::unique_ptr<ResourceEditor> editor(new ResourceEditor);
    editor->bytes_ = std::move(bytes);
    const std::string_view exe = editor->bytes_;
    Parsed<PeHeaders> headers = ParsePeHeaders(exe, exe.size());
    if (!headers)
        return Result::Fail(headers.error);
    if (headers->directories.size() <= kDirResource)
        return Result::Fail("the image has no resource data directory entry (it has " +
                            std::to_string(headers->directories.size()) + " data directories)");
    editor->headers_ = std::move(*headers);
    Parsed<ResourceLocation> location = FindResources(editor->headers_);
    if (!location)
        return Result::Fail(location.error);
    editor->location_ = *location;
    Parsed<std::vector<ResourceLeaf>> leaves = ReadImageResources(exe, editor->headers_, editor->location_);
    if (!leaves)
        return Result::Fail(leaves.error);
    editor->leaves_ = std::move(*leaves);
    std::stable_sort(editor->leaves_.begin(), editor->leaves_.end(), InDirectoryOrder);
    return Result::Ok(std::move(editor));
}

bool ResourceEditor::IsDll() const
{
    return (headers_.characteristics & kImageFileDll) != 0;
}

const ResourceLeaf* ResourceEditor::Find(std::uint16_t type, const ResId* name) const
{
    for (const ResourceLeaf& leaf : leaves_)
        if (leaf.type == ResId::Ordinal(type) && (!name || CompareResIds(leaf.name, *name) == 0))
            return &leaf;
    return nullptr;
}

std::string_view ResourceEditor::Keep(std::string data)
{
    return store_.emplace_back(std::move(data));
}

void ResourceEditor::Put(ResourceLeaf leaf)
{
    for (ResourceLeaf& old : leaves_) {
        if (SameKey(old, leaf.type, leaf.name) && old.language == leaf.language) {
            old = std::move(leaf);
            return;
        }
    }
    leaves_.push_back(std::move(leaf));
    std::stable_sort(leaves_.begin(), leaves_.end(), InDirectoryOrder);
}

Status ResourceEditor::Merge(const std::vector<ResRecordView>& records)
{
    Parsed<MergedResources> merged = MergeResources(leaves_, records, keeper_);
    if (!merged)
        return Status::Fail(merged.error);
    leaves_ = std::move(merged->leaves);
    std::stable_sort(leaves_.begin(), leaves_.end(), InDirectoryOrder);
    warnings_.insert(warnings_.end(), merged->warnings.begin(), merged->warnings.end());
    return Status::Ok();
}

Status ResourceEditor::SetIcon(std::string_view ico)
{
    Parsed<IconDirectory> icons = ReadIconDirectory(ico, IconFileType::Icon);
    if (!icons)
        return Status::Fail("the icon file: " + icons.error);
    const ResourceLeaf* main = Find(kRtGroupIcon);
    const ResId groupName = main ? main->name : ResId::Ordinal(1);
    const std::uint16_t language = main ? main->language : kDefaultEditLanguage;
    // The group numbers its images from 1; the merge moves those whose ids are taken.
    std::string group = icons->header.substr(0, 4);
    byteio::Append16(group, static_cast<std::uint16_t>(icons->images.size()));
    std::vector<ResRecordView> records;
    for (std::size_t i = 0; i < icons->images.size(); ++i) {
        const IconImage& image = icons->images[i];
        const auto id = static_cast<std::uint16_t>(i + 1);
        group += image.groupEntry;
        byteio::Append16(group, id);
        ResRecordView member;
        member.type = ResId::Ordinal(kRtIcon);
        member.name = ResId::Ordinal(id);
        member.language = language;
        member.data = Keep(std::string(ico.substr(image.offset, image.size)));
        records.push_back(std::move(member));
    }
    ResRecordView groupRecord;
    groupRecord.type = ResId::Ordinal(kRtGroupIcon);
    groupRecord.name = groupName;
    groupRecord.language = language;
    groupRecord.data = Keep(std::move(group));
    records.push_back(std::move(groupRecord));
    return Merge(records);
}

namespace {

// The version resource an edit changes: the one named 1, or the first.
const ResourceLeaf* VersionLeaf(const std::vector<ResourceLeaf>& leaves)
{
    const ResourceLeaf* first = nullptr;
    for (const ResourceLeaf& leaf : leaves) {
        if (leaf.type != ResId::Ordinal(kRtVersion))
            continue;
        if (leaf.name == ResId::Ordinal(1))
            return &leaf;
        if (!first)
            first = &leaf;
    }
    return first;
}

}  // namespace

Status ResourceEditor::SetVersionString(std::string_view key, std::string_view value)
{
    const ResourceLeaf* old = VersionLeaf(leaves_);
    const std::uint16_t language = old ? old->language : kDefaultEditLanguage;
    Parsed<VersionTree> tree = old ? VersionTree::Parse(old->data)
                                   : Parsed<VersionTree>::Ok(VersionTree::Create(language, IsDll()));
    if (!tree)
        return Status::Fail(tree.error);
    tree->SetString(key, value, language);
    Parsed<std::string> written = tree->Write();
    if (!written)
        return Status::Fail(written.error);
    Put({ResId::Ordinal(kRtVersion), old ? old->name : ResId::Ordinal(1), language, old ? old->codePage : 0,
         Keep(std::move(*written))});
    return Status::Ok();
}

Status ResourceEditor::SetVersionNumber(bool product, std::string_view version)
{
    Parsed<VersionParts> parts = ParseVersionParts(version);
    if (!parts)
        return Status::Fail(parts.error);
    if (Status set = SetVersionString(product ? "ProductVersion" : "FileVersion", version); !set)
        return set;
    const ResourceLeaf* leaf = VersionLeaf(leaves_);
    Parsed<VersionTree> tree = VersionTree::Parse(leaf->data);
    if (!tree)
        return Status::Fail(tree.error);
    if (Status set = tree->SetFixedVersion(product, *parts); !set)
        return set;
    Parsed<std::string> written = tree->Write();
    if (!written)
        return Status::Fail(written.error);
    ResourceLeaf changed = *leaf;
    changed.data = Keep(std::move(*written));
    Put(std::move(changed));
    return Status::Ok();
}

std::uint16_t ResourceEditor::ManifestId() const
{
    return IsDll() ? 2 : 1;
}

Status ResourceEditor::SetManifest(std::string_view manifest)
{
    const ResId name = ResId::Ordinal(ManifestId());
    const ResourceLeaf* old = Find(kRtManifest, &name);
    Put({ResId::Ordinal(kRtManifest), name, old ? old->language : kDefaultEditLanguage, old ? old->codePage : 0,
         Keep(std::string(manifest))});
    return Status::Ok();
}

Status ResourceEditor::SetExecutionLevel(std::string_view level)
{
    if (!IsExecutionLevel(level))
        return Status::Fail("execution level \"" + std::string(level) +
                            "\" is not asInvoker, highestAvailable or requireAdministrator");
    const ResId name = ResId::Ordinal(ManifestId());
    const ResourceLeaf* old = Find(kRtManifest, &name);
    std::string text = old ? std::string(old->data) : std::string(kManifestHead) + std::string(kManifestTail);
    Parsed<std::string> changed = WithExecutionLevel(std::move(text), level);
    if (!changed)
        return Status::Fail(changed.error);
    return SetManifest(*changed);
}

Status ResourceEditor::SetResourceString(std::string_view id, std::string_view value)
{
    Parsed<std::uint16_t> number = ParseStringId(id);
    if (!number)
        return Status::Fail(number.error);
    std::u16string text = Utf8ToUtf16(value);
    if (text.size() > 0xFFFF)
        return Status::Fail("string " + std::string(id) + " has " + std::to_string(text.size()) +
                            " characters, more than a string table holds (65535)");
    const ResId block = ResId::Ordinal(StringBlockName(*number));
    const ResourceLeaf* old = Find(kRtString, &block);
    StringBlock strings = old ? ReadStringBlock(old->data) : StringBlock{};
    strings[StringBlockPlace(*number)] = std::move(text);
    // A new block joins the string table in the language of its other blocks.
    const ResourceLeaf* table = old ? old : Find(kRtString);
    Put({ResId::Ordinal(kRtString), block, table ? table->language : kDefaultEditLanguage, old ? old->codePage : 0,
         Keep(WriteStringBlock(strings))});
    return Status::Ok();
}

Status ResourceEditor::SetResource(const ResId& type, const ResId& name, std::string_view data,
                                   std::optional<std::uint16_t> language)
{
    if (!language) {
        for (const ResourceLeaf& leaf : leaves_)
            if (SameKey(leaf, type, name)) {
                language = leaf.language;
                break;
            }
    }
    ResRecordView record;
    record.type = type;
    record.name = name;
    record.language = language.value_or(kDefaultEditLanguage);
    record.data = Keep(std::string(data));
    return Merge({record});
}

Status ResourceEditor::RemoveResource(const ResId& type, const ResId& name, std::optional<std::uint16_t> language)
{
    auto matches = [&](const ResourceLeaf& leaf) {
        return SameKey(leaf, type, name) && (!language || leaf.language == *language);
    };
    std::set<std::pair<std::uint16_t, std::uint16_t>> released;  // (member type, id)
    std::size_t removed = 0;
    for (const ResourceLeaf& leaf : leaves_) {
        if (!matches(leaf))
            continue;
        ++removed;
        for (const auto& member : MembersOf(leaf))
            released.insert(member);
    }
    if (removed == 0)
        return Status::Fail("the program has no resource " + Label(type, name) +
                            (language ? " in language " + Hex(*language) : std::string()));
    std::erase_if(leaves_, matches);
    // Images another group still lists stay.
    for (const ResourceLeaf& leaf : leaves_) {
        for (const auto& member : MembersOf(leaf))
            released.erase(member);
    }
    std::erase_if(leaves_, [&](const ResourceLeaf& leaf) {
        return leaf.type.isOrdinal && leaf.name.isOrdinal && released.count({leaf.type.ordinal, leaf.name.ordinal});
    });
    return Status::Ok();
}

Parsed<std::string> ResourceEditor::VersionString(std::string_view key) const
{
    const ResourceLeaf* leaf = VersionLeaf(leaves_);
    if (!leaf)
        return Parsed<std::string>::Fail("the program has no version resource");
    Parsed<VersionTree> tree = VersionTree::Parse(leaf->data);
    if (!tree)
        return Parsed<std::string>::Fail(tree.error);
    std::optional<std::string> value = tree->String(key);
    if (!value)
        return Parsed<std::string>::Fail("the version resource has no string \"" + std::string(key) + "\"");
    return Parsed<std::string>::Ok(*value);
}

Parsed<std::string> ResourceEditor::ResourceString(std::string_view id) const
{
    Parsed<std::uint16_t> number = ParseStringId(id);
    if (!number)
        return Parsed<std::string>::Fail(number.error);
    const ResId block = ResId::Ordinal(StringBlockName(*number));
    const ResourceLeaf* leaf = Find(kRtString, &block);
    const std::u16string text = leaf ? ReadStringBlock(leaf->data)[StringBlockPlace(*number)] : std::u16string();
    if (text.empty())
        return Parsed<std::string>::Fail("the program has no string " + std::to_string(*number));
    return Parsed<std::string>::Ok(Utf16ToUtf8(text));
}

Parsed<BoundImage> ResourceEditor::Build()
{
    BoundImage out;
    out.warnings = warnings_;
    if (const Status laidOut = LayOutImage(bytes_, headers_, location_, leaves_, out); !laidOut)
        return Parsed<BoundImage>::Fail(laidOut.error);
    return Parsed<BoundImage>::Ok(std::move(out));
}

}  // namespace brevok
