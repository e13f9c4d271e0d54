// Walking a version resource block (VS_VERSIONINFO) and answering path queries on it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace brevok {

/// The node a path query found, located in the block it was asked of.
///
/// Every node of a 32-bit version resource (VS_VERSIONINFO, StringFileInfo, StringTable,
/// String, VarFileInfo, Var) has the same layout: WORD wLength, WORD wValueLength,
/// WORD wType (1 text, 0 binary), the key as zero-terminated UTF-16, padding to 4 bytes,
/// the value, padding to 4 bytes, the children. Padding counts from the start of the block.
struct VersionValue {
    std::size_t offset = 0;    ///< where the value starts, from the start of the block
    std::size_t size = 0;      ///< bytes the value takes: `length` characters or bytes
    std::uint32_t length = 0;  ///< the length to report: wValueLength, at most what the node holds
    bool isText = false;       ///< UTF-16 text (StringFileInfo values, or wType 1 elsewhere)
};

/// Finds the node named by `path` in `block` and returns its value. The path is split on
/// "\" (empty components, such as the leading one, are skipped; "\" alone names the root's
/// fixed file information); each component is matched against the keys of the children of
/// the node found so far, ASCII letters compared case-insensitively.
///
/// The block is untrusted: every node is bounded by its parent and by the block, a node
/// shorter than its own header ends its parent's list of children, and nothing outside
/// `block` is read. Some writers store text lengths in bytes or put a wrong wType on a
/// node; where the children of a node do not follow its value at the place its header
/// says, the other reading of wValueLength (bytes rather than characters, or the reverse)
/// is tried as well.
///
/// The reported length is wValueLength as stored (characters for text, bytes for the
/// fixed file information and the translation array), cut down to what the node holds
/// so that a caller trusting it never reads past the node.
std::optional<VersionValue> FindVersionValue(std::span<const std::uint8_t> block, std::string_view path);

/// The text of a text value up to its first zero character (or the end of its `length`
/// characters), converted from UTF-16 to UTF-8; unpaired surrogates become U+FFFD.
std::string ReadVersionText(std::span<const std::uint8_t> block, const VersionValue& value);

/// How many bytes ReadVersionText's result takes at most for a value of `utf16Bytes` bytes.
inline constexpr std::size_t MaxUtf8Bytes(std::size_t utf16Bytes)
{
    return utf16Bytes / 2 * 3;
}

/// The block's own length (its first WORD, wLength), limited to `block`'s size; 0 when
/// the block or its wLength is shorter than a node header.
std::size_t VersionBlockLength(std::span<const std::uint8_t> block);

}  // namespace brevok
