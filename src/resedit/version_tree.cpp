// Reading a version resource into nodes, changing them and writing them back.
#include "resedit/version_tree.h"

#include <charconv>

#include "rules/hex.h"
#include "rules/little_endian.h"
#include "rules/unicode.h"

namespace brevok {

using byteio::AlignUp;
using byteio::Append16;
using byteio::Append32;
using byteio::Get16;
using byteio::Get32;
using byteio::Put16;
using byteio::Put32;

namespace {

constexpr std::size_t kNodeHeaderSize = 6;
// VS_FIXEDFILEINFO: 13 DWORDs, opened by its signature.
constexpr std::size_t kFixedInfoSize = 52;
constexpr std::uint32_t kFixedSignature = 0xFEEF04BD;
constexpr std::size_t kFileVersionOffset = 8;
constexpr std::size_t kProductVersionOffset = 16;
constexpr std::uint16_t kUnicodeCodePage = 1200;

bool HasChildren(std::u16string_view key, int depth)
{
    // The root, StringFileInfo and VarFileInfo below it, and the tables of StringFileInfo.
    return depth == 0 || key == u"StringFileInfo" || key == u"VarFileInfo" || depth == 2;
}

struct NodeReader {
    std::string_view bytes;

    // Reads the node at `at`, which must end by `limit`.
    Parsed<VersionNode> Read(std::size_t at, std::size_t limit, int depth, std::u16string_view parentKey) const
    {
        using Result = Parsed<VersionNode>;
        if (limit - at < kNodeHeaderSize)
            return Result::Fail("version node at offset " + Hex(at) + " is shorter than its header");
        const std::size_t length = Get16(bytes, at);
        if (length < kNodeHeaderSize || length > limit - at)
            return Result::Fail("version node at offset " + Hex(at) + " has length " + Hex(length) +
                                " outside its parent (which ends at " + Hex(limit) + ")");
        const std::size_t end = at + length;
        VersionNode node;
        node.valueLength = Get16(bytes, at + 2);
        node.type = Get16(bytes, at + 4);
        std::size_t p = at + kNodeHeaderSize;
        for (;;) {
            if (end - p < 2)
                return Result::Fail("version node at offset " + Hex(at) + " has a key without its end");
            const char16_t c = Get16(bytes, p);
            p += 2;
            if (c == 0)
                break;
            node.key.push_back(c);
        }
        p = std::min<std::size_t>(AlignUp(p, 4), end);
        // A string's value is text whatever its wType says; its length may count bytes.
        const bool isString = depth == 3 && parentKey != u"VarFileInfo";
        std::size_t valueSize = (node.type == 1 || isString) ? std::size_t{node.valueLength} * 2 : node.valueLength;
        valueSize = std::min(valueSize, end - p);
        node.value.assign(bytes.substr(p, valueSize));
        if (!HasChildren(node.key, depth) || depth >= 3)
            return Result::Ok(std::move(node));
        p = AlignUp(p + valueSize, 4);
        while (p < end && end - p >= kNodeHeaderSize) {
            if (Get16(bytes, p) == 0)
                break;  // padding some writers leave at the end
            Parsed<VersionNode> child = Read(p, end, depth + 1, node.key);
            if (!child)
                return child;
            p = AlignUp(p + Get16(bytes, p), 4);
            node.children.push_back(std::move(*child));
        }
        return Result::Ok(std::move(node));
    }
};

void Pad4(std::string& out)
{
    out.append(AlignUp(out.size(), 4) - out.size(), '\0');
}

// Returns false when the node (or one inside it) is longer than its 16-bit wLength can say.
bool WriteNode(const VersionNode& node, std::string& out)
{
    Pad4(out);
    const std::size_t start = out.size();
    Append16(out, 0);
    Append16(out, node.valueLength);
    Append16(out, node.type);
    for (char16_t c : node.key)
        Append16(out, c);
    Append16(out, 0);
    Pad4(out);
    out += node.value;
    for (const VersionNode& child : node.children)
        if (!WriteNode(child, out))
            return false;
    if (out.size() - start > 0xFFFF)
        return false;
    Put16(out, start, static_cast<std::uint16_t>(out.size() - start));
    return true;
}

std::string Utf16Bytes(std::u16string_view text)
{
    std::string out;
    for (char16_t c : text)
        Append16(out, c);
    return out;
}

VersionNode TextNode(std::u16string key, std::u16string_view text)
{
    std::u16string withEnd(text);
    withEnd.push_back(0);
    return VersionNode{std::move(key), 1, static_cast<std::uint16_t>(withEnd.size()), Utf16Bytes(withEnd), {}};
}

std::u16string TableKey(std::uint16_t language)
{
    const std::string hex = HexDigits(language, HexLetters::Upper, 4) + HexDigits(kUnicodeCodePage, HexLetters::Upper, 4);
    return std::u16string(hex.begin(), hex.end());
}

}  // namespace

VersionNode* VersionNode::Child(std::u16string_view name)
{
    for (VersionNode& c : children)
        if (c.key == name)
            return &c;
    return nullptr;
}

const VersionNode* VersionNode::Child(std::u16string_view name) const
{
    return const_cast<VersionNode*>(this)->Child(name);
}

Parsed<VersionParts> ParseVersionParts(std::string_view text)
{
    VersionParts parts{};
    std::size_t count = 0;
    std::size_t p = 0;
    for (;;) {
        std::size_t dot = text.find('.', p);
        std::string_view part = text.substr(p, dot == std::string_view::npos ? std::string_view::npos : dot - p);
        unsigned value = 0;
        auto [end, ec] = std::from_chars(part.data(), part.data() + part.size(), value);
        if (part.empty() || ec != std::errc() || end != part.data() + part.size() || value > 0xFFFF || count == 4)
            return Parsed<VersionParts>::Fail("version \"" + std::string(text) +
                                              "\" is not 1 to 4 numbers from 0 to 65535 separated by dots");
        parts[count++] = static_cast<std::uint16_t>(value);
        if (dot == std::string_view::npos)
            break;
        p = dot + 1;
    }
    return Parsed<VersionParts>::Ok(parts);
}

Parsed<VersionTree> VersionTree::Parse(std::string_view bytes)
{
    Parsed<VersionNode> root = NodeReader{bytes}.Read(0, bytes.size(), 0, {});
    if (!root)
        return Parsed<VersionTree>::Fail("the version resource is damaged: " + root.error);
    VersionTree tree;
    tree.root_ = std::move(*root);
    return Parsed<VersionTree>::Ok(std::move(tree));
}

VersionTree VersionTree::Create(std::uint16_t language, bool isDll)
{
    std::string fixed;
    for (std::uint32_t field : {kFixedSignature, 0x00010000u, 0u, 0u, 0u, 0u, 0x3Fu, 0u, 0x40004u,
                                isDll ? 2u : 1u, 0u, 0u, 0u})
        Append32(fixed, field);
    VersionTree tree;
    tree.root_ = VersionNode{u"VS_VERSION_INFO", 0, static_cast<std::uint16_t>(kFixedInfoSize), fixed, {}};
    tree.root_.children.push_back(
        VersionNode{u"StringFileInfo", 1, 0, {}, {VersionNode{TableKey(language), 1, 0, {}, {}}}});
    std::string translation;
    Append16(translation, language);
    Append16(translation, kUnicodeCodePage);
    tree.root_.children.push_back(
        VersionNode{u"VarFileInfo", 1, 0, {}, {VersionNode{u"Translation", 0, 4, translation, {}}}});
    return tree;
}

std::optional<std::string> VersionTree::String(std::string_view key) const
{
    const VersionNode* info = root_.Child(u"StringFileInfo");
    if (!info || info->children.empty())
        return std::nullopt;
    const VersionNode* node = info->children.front().Child(Utf8ToUtf16(key));
    if (!node)
        return std::nullopt;
    std::u16string text;
    for (std::size_t i = 0; i + 1 < node->value.size(); i += 2) {
        const char16_t c = Get16(node->value, i);
        if (c == 0)
            break;
        text.push_back(c);
    }
    return Utf16ToUtf8(text);
}

void VersionTree::SetString(std::string_view key, std::string_view value, std::uint16_t language)
{
    VersionNode* info = root_.Child(u"StringFileInfo");
    if (!info) {
        // StringFileInfo goes before VarFileInfo, where the loader's readers expect it.
        root_.children.insert(root_.children.begin(), VersionNode{u"StringFileInfo", 1, 0, {}, {}});
        info = &root_.children.front();
    }
    if (info->children.empty())
        info->children.push_back(VersionNode{TableKey(language), 1, 0, {}, {}});
    VersionNode& table = info->children.front();
    const std::u16string name = Utf8ToUtf16(key);
    VersionNode node = TextNode(name, Utf8ToUtf16(value));
    if (VersionNode* old = table.Child(name))
        *old = std::move(node);
    else
        table.children.push_back(std::move(node));
}

Status VersionTree::SetFixedVersion(bool product, const VersionParts& parts)
{
    if (root_.value.size() < kFixedInfoSize || Get32(root_.value, 0) != kFixedSignature)
        return Status::Fail("the version resource has no fixed file information to set the " +
                            std::string(product ? "product" : "file") + " version in");
    const std::size_t at = product ? kProductVersionOffset : kFileVersionOffset;
    Put32(root_.value, at, (std::uint32_t{parts[0]} << 16) | parts[1]);
    Put32(root_.value, at + 4, (std::uint32_t{parts[2]} << 16) | parts[3]);
    return Status::Ok();
}

Parsed<std::string> VersionTree::Write() const
{
    std::string out;
    if (!WriteNode(root_, out))
        return Parsed<std::string>::Fail("the version resource would outgrow the 65535 bytes its lengths can say");
    return Parsed<std::string>::Ok(std::move(out));
}

}  // namespace brevok
