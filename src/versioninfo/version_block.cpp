// The VS_VERSIONINFO walker: bounded node reading, key matching and UTF-16 text.
#include "versioninfo/version_block.h"
#include "rules/ascii.h"
#include "rules/little_endian.h"
#include "rules/unicode.h"

#include <algorithm>
#include <array>

namespace brevok {
namespace {

using Bytes = std::span<const std::uint8_t>;

constexpr std::size_t kHeaderBytes = 6;  // wLength, wValueLength, wType
constexpr std::uint16_t kTextType = 1;

std::uint16_t ReadWord(Bytes bytes, std::size_t at)
{
    return byteio::Get16(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), at);
}

std::size_t Align4(std::size_t offset)
{
    return (offset + 3) & ~std::size_t{3};
}

/// One node, every offset from the start of the block and inside [start, end).
struct Node {
    std::size_t start = 0;
    std::size_t end = 0;  // start + wLength, cut to the parent's end
    std::uint16_t valueLength = 0;
    std::uint16_t type = 0;
    std::size_t keyStart = 0;
    std::size_t keyEnd = 0;  // the key's terminator (or the node's end when it has none)
    std::size_t valueStart = 0;
};

/// Reads the node at `start`, which must fit its header before `limit`. A node whose
/// wLength cannot even hold its header ends the list it is in; one that claims more than
/// its parent holds is cut to the parent.
std::optional<Node> ReadNode(Bytes bytes, std::size_t start, std::size_t limit)
{
    if (start >= limit || limit - start < kHeaderBytes)
        return std::nullopt;
    const std::size_t length = ReadWord(bytes, start);
    if (length < kHeaderBytes)
        return std::nullopt;
    Node node;
    node.start = start;
    node.end = start + std::min(length, limit - start);
    node.valueLength = ReadWord(bytes, start + 2);
    node.type = ReadWord(bytes, start + 4);
    node.keyStart = start + kHeaderBytes;
    std::size_t at = node.keyStart;
    while (at + 2 <= node.end && ReadWord(bytes, at) != 0)
        at += 2;
    node.keyEnd = at;
    const std::size_t afterKey = std::min(at + 2, node.end);
    node.valueStart = std::min(Align4(afterKey), node.end);
    return node;
}

/// UTF-16LE in [from, to) up to its first zero unit, as UTF-8.
std::string TextAt(Bytes bytes, std::size_t from, std::size_t to)
{
    std::u16string units;
    for (std::size_t at = from; at + 2 <= to && ReadWord(bytes, at) != 0; at += 2)
        units += static_cast<char16_t>(ReadWord(bytes, at));
    return Utf16ToUtf8(units);
}

bool KeyMatches(Bytes bytes, const Node& node, std::string_view wanted)
{
    // A key cannot be shorter in UTF-16 units than a third of its UTF-8 bytes; this saves
    // converting keys that cannot match.
    const std::size_t units = (node.keyEnd - node.keyStart) / 2;
    if (units > wanted.size() || units * 3 < wanted.size())
        return false;
    return EqualIgnoringAsciiCase(TextAt(bytes, node.keyStart, node.keyEnd), wanted);
}

/// Where the children of `node` would start if its value took `valueBytes` bytes.
std::size_t ChildrenStart(const Node& node, std::size_t valueBytes)
{
    return Align4(node.valueStart + valueBytes);
}

/// The child of `parent` whose key is `key`. The children are looked for where the
/// header puts them; when the key is not found there, where the other reading of
/// wValueLength puts them.
std::optional<Node> FindChild(Bytes bytes, const Node& parent, std::string_view key)
{
    const std::size_t asStored = parent.valueLength * (parent.type == kTextType ? 2u : 1u);
    const std::size_t otherReading = parent.valueLength * (parent.type == kTextType ? 1u : 2u);
    const std::array<std::size_t, 2> starts{ChildrenStart(parent, asStored), ChildrenStart(parent, otherReading)};
    for (std::size_t i = 0; i < starts.size(); ++i) {
        if (i > 0 && starts[i] == starts[0])
            break;
        std::size_t at = starts[i];
        // Each step moves past a node of at least a header's length, so the walk ends.
        while (auto child = ReadNode(bytes, at, parent.end)) {
            if (KeyMatches(bytes, *child, key))
                return child;
            at = Align4(child->end);
        }
    }
    return std::nullopt;
}

/// What a value holds, by where it sits: the strings of a string table are text whatever
/// their wType says; the root's fixed file information and the VarFileInfo arrays are
/// binary; elsewhere wType decides.
bool IsTextValue(const Node& node, std::string_view firstComponent, int depth)
{
    if (depth == 0 || EqualIgnoringAsciiCase(firstComponent, "VarFileInfo"))
        return false;
    if (depth == 3 && EqualIgnoringAsciiCase(firstComponent, "StringFileInfo"))
        return true;
    return node.type == kTextType;
}

}  // namespace

std::size_t VersionBlockLength(std::span<const std::uint8_t> block)
{
    if (block.size() < kHeaderBytes || ReadWord(block, 0) < kHeaderBytes)
        return 0;
    return std::min<std::size_t>(ReadWord(block, 0), block.size());
}

std::optional<VersionValue> FindVersionValue(std::span<const std::uint8_t> block, std::string_view path)
{
    std::optional<Node> node = ReadNode(block, 0, block.size());
    if (!node)
        return std::nullopt;
    std::string_view firstComponent;
    int depth = 0;
    std::size_t at = 0;
    while (at < path.size()) {
        if (path[at] == '\\') {
            ++at;
            continue;
        }
        const std::size_t slash = std::min(path.find('\\', at), path.size());
        const std::string_view component = path.substr(at, slash - at);
        node = FindChild(block, *node, component);
        if (!node)
            return std::nullopt;
        if (depth == 0)
            firstComponent = component;
        ++depth;
        at = slash;
    }
    VersionValue value;
    value.offset = node->valueStart;
    value.isText = IsTextValue(*node, firstComponent, depth);
    const std::size_t room = node->end - node->valueStart;
    const std::size_t unit = value.isText ? 2 : 1;
    value.length = static_cast<std::uint32_t>(std::min<std::size_t>(node->valueLength, room / unit));
    value.size = value.length * unit;
    return value;
}

std::string ReadVersionText(std::span<const std::uint8_t> block, const VersionValue& value)
{
    const std::size_t from = std::min(value.offset, block.size());
    const std::size_t to = from + std::min(value.size, block.size() - from);
    return TextAt(block, from, to);
}

}  // namespace brevok
