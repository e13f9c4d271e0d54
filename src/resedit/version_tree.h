// A version resource (VS_VERSIONINFO) as a tree of nodes that can be changed and written
// back: the fixed file information, StringFileInfo's tables of strings and VarFileInfo.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "rules/parsed.h"

namespace brevok {

/// One node of a version resource (Microsoft's VS_VERSIONINFO layout: WORD wLength,
/// WORD wValueLength, WORD wType, the key as zero-terminated UTF-16 padded to 4 bytes, the
/// value padded to 4 bytes, then the children).
struct VersionNode {
    std::u16string key;
    std::uint16_t type = 0;         // 1 text, 0 binary
    std::uint16_t valueLength = 0;  // as stored: characters for text, bytes for binary
    std::string value;              // the value's bytes
    std::vector<VersionNode> children;

    VersionNode* Child(std::u16string_view name);
    const VersionNode* Child(std::u16string_view name) const;
};

/// Four 16-bit parts of a version, most significant first.
using VersionParts = std::array<std::uint16_t, 4>;

/// Reads "1", "1.2", "1.2.3" or "1.2.3.4" (each number 0 to 65535; the missing ones are 0).
Parsed<VersionParts> ParseVersionParts(std::string_view text);

/// A version resource read into nodes. The file's bytes are untrusted: every node is bounded
/// by its parent, and only the nodes that have children by the format (the root,
/// StringFileInfo, its tables, VarFileInfo) are read as having them.
class VersionTree {
public:
    static Parsed<VersionTree> Parse(std::string_view bytes);
    /// A new resource: fixed information for an application (`isDll` false) or a DLL, an
    /// empty string table and the translation for `language` in Unicode (code page 1200).
    static VersionTree Create(std::uint16_t language, bool isDll);

    /// The value of `key` in the first string table, as UTF-8 up to its first zero character.
    std::optional<std::string> String(std::string_view key) const;
    /// Sets `key` in the first string table (made for `language` when there is none).
    void SetString(std::string_view key, std::string_view value, std::uint16_t language);
    /// Sets the fixed file version (dwFileVersionMS/LS) or product version.
    Status SetFixedVersion(bool product, const VersionParts& parts);

    /// The resource's bytes; fails when a node outgrows its 16-bit length.
    Parsed<std::string> Write() const;
    const VersionNode& Root() const { return root_; }

private:
    VersionNode root_;
};

}  // namespace brevok
