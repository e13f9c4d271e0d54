// Laying a PE image out anew around a rebuilt resource section.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "image/pe_image.h"
#include "image/piece_buffer.h"
#include "image/resource_section.h"
#include "rules/parsed.h"

namespace brevok {

/// The bound image and what the binder has to say about it.
struct BoundImage {
    PieceBuffer image;
    std::vector<std::string> warnings;  // one line each
};

/// Appends to `out.image` the image `exe` (with `headers`, its resources at `location`) with
/// `leaves` as its resources:
/// - the resource section is rewritten in place when it fits or is the last section (then
///   only relocations may follow it, and they are moved), otherwise a new section is added;
/// - bytes after the last section (symbol table, overlay) are kept; a certificate table is
///   removed with a warning; a set checksum is recomputed.
/// `exe` and the leaves' data must outlive `out`.
Status LayOutImage(std::string_view exe, const PeHeaders& headers, const ResourceLocation& location,
                   std::vector<ResourceLeaf> leaves, BoundImage& out);

}  // namespace brevok
