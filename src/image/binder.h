// Binding the records of a .res file into a PE image: merging them into the image's resource
// tree, placing the rebuilt resource section, and keeping everything else of the image.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "platform/parsed.h"
#include "image/res_file.h"

namespace brevok {

/// A file's bytes as a sequence of pieces: views into buffers that outlive it (the input
/// image, the .res data) and buffers it owns (rebuilt headers and directories). Lets a large
/// image be written without assembling it in memory first.
class PieceBuffer {
public:
    /// Appends a view; the viewed bytes must outlive this object.
    void Append(std::string_view bytes);
    /// Appends bytes that this object keeps.
    void AppendOwned(std::string bytes);
    /// Keeps `bytes` for the life of this object without appending them; returns a view of them.
    std::string_view Keep(std::string bytes);
    /// Appends `count` zero bytes.
    void AppendZeros(std::uint64_t count);

    std::uint64_t size() const { return size_; }
    const std::vector<std::string_view>& pieces() const { return pieces_; }
    /// Overwrites bytes at `offset` (which must lie in an owned piece).
    void Patch(std::uint64_t offset, std::string_view bytes);
    /// Reads bytes at `offset` wherever they lie.
    std::string Read(std::uint64_t offset, std::size_t count) const;
    /// The whole content as one string (for tests and small images).
    std::string Joined() const;

private:
    std::deque<std::string> owned_;
    std::vector<std::string_view> pieces_;
    std::vector<std::uint64_t> starts_;
    std::uint64_t size_ = 0;
};

/// The bound image and what the binder has to say about it.
struct BoundImage {
    PieceBuffer image;
    std::vector<std::string> warnings;  // one line each
};

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

/// Reads `resPath`, binds its records into `exePath` and replaces `exePath` atomically;
/// on any failure `exePath` is left byte-identical and lines hold one error line.
ToolOutcome BindResFile(const std::string& resPath, const std::string& exePath);

}  // namespace brevok
