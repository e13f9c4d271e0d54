// Merging the records of a .res file into the resources an image already has: replacing
// the same type, name and language, adding the others, and keeping icon and cursor groups
// whole (their member images released or renumbered).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "image/pe_image.h"
#include "image/piece_buffer.h"
#include "image/res_file.h"
#include "image/resource_section.h"
#include "rules/parsed.h"

namespace brevok {

/// The resources of the image `exe` (whose headers and resource location are given), read
/// from its resource tree: none when it has no resource section. Data that the tree places
/// outside the section are looked up in the whole image.
Parsed<std::vector<ResourceLeaf>> ReadImageResources(std::string_view exe, const PeHeaders& headers,
                                                     const ResourceLocation& location);

/// The group directories of icons and cursors (GRPICONDIR / GRPCURSORDIR): a 6-byte header
/// with the count at offset 4, then 14-byte entries ending in the member's 16-bit id.
inline constexpr std::size_t kGroupHeaderSize = 6;
inline constexpr std::size_t kGroupEntrySize = 14;
inline constexpr std::size_t kGroupEntryIdOffset = 12;

/// The member ids an icon or cursor group directory (GRPICONDIR / GRPCURSORDIR) lists;
/// none when the directory is malformed.
std::optional<std::vector<std::uint16_t>> GroupMembers(std::string_view data);

/// The resources after a merge, and what the merge has to say (one line each).
struct MergedResources {
    std::vector<ResourceLeaf> leaves;
    std::vector<std::string> warnings;
};

/// Merges `records` into `leaves`: an entry with the same type, name and language is
/// replaced, all others are added (a warning when the type and name are there in another
/// language); a replaced icon or cursor group drops its old member images that no other group
/// uses, and new members whose ids are taken are renumbered (the rewritten group directories
/// are kept in `keeper`). Fails on a name or type too long for a directory string, a
/// malformed group directory, or no free member id.
Parsed<MergedResources> MergeResources(std::vector<ResourceLeaf> leaves, const std::vector<ResRecordView>& records,
                                       PieceBuffer& keeper);

}  // namespace brevok
