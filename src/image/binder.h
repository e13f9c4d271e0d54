// Binding the records of a .res file into a PE image: merging them into the image's resource
// tree, placing the rebuilt resource section, and keeping everything else of the image.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "image/image_layout.h"
#include "image/res_file.h"
#include "rules/parsed.h"

namespace brevok {

/// Merges `records` into the resources of `exe` and lays the image out anew:
/// - an entry with the same type, name and language is replaced, all others are added, the
///   image's other resources stay; a replaced icon or cursor group drops its old member
///   images that no other group uses, and new members whose ids are taken are renumbered;
/// - the resource section is rewritten in place when it fits or is the last section (then
///   only relocations may follow it, and they are moved), otherwise a new section is added;
/// - bytes after the last section (symbol table, overlay) are kept; a certificate table is
///   removed with a warning; a set checksum is recomputed.
/// Both `exe` and the records' data must outlive the result.
Parsed<BoundImage> BindResources(std::string_view exe, const std::vector<ResRecordView>& records);

/// Writes `bound` over `exePath` atomically (a temporary file beside it, renamed into place);
/// throws Error with the user's text when it cannot, and `exePath` is then as it was.
void WriteBoundImage(const std::string& exePath, const BoundImage& bound);

/// Reads `resPath`, binds its records into `exePath` and replaces `exePath` atomically;
/// on any failure `exePath` is left byte-identical and lines hold one error line.
ToolOutcome BindResFile(const std::string& resPath, const std::string& exePath);

}  // namespace brevok
