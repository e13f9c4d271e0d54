// Writing a PE resource tree and its data as the contents of a resource section.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "image/piece_buffer.h"
#include "image/res_file.h"

namespace brevok {

/// One resource to be written: its place in the tree and its data (a view that must outlive
/// the layout and the PieceBuffer it is emitted into).
struct ResourceLeaf {
    ResId type;
    ResId name;
    std::uint16_t language = 0;
    std::uint32_t codePage = 0;
    std::string_view data;
};

/// The layout of a resource section (Microsoft PE format, .rsrc): directory tables breadth
/// first (type, name, language; named entries first, then ids ascending), the data entries,
/// the name strings (upper-case, as the loader looks names up upper-cased), then each
/// resource's data aligned to 8 bytes.
class ResourceSectionLayout {
public:
    /// Takes leaves whose (type, name, language) are unique.
    explicit ResourceSectionLayout(std::vector<ResourceLeaf> leaves);

    /// The section's size in bytes (directory and data).
    std::uint64_t size() const { return size_; }
    /// The most entries of one kind (named or numbered) in one directory table; a table
    /// counts each kind in 16 bits.
    std::size_t largestTable() const { return largestTable_; }
    /// The size of the tree alone (what the data directory entry records).
    std::uint32_t treeSize() const { return static_cast<std::uint32_t>(dataStart_); }

    /// Appends exactly size() bytes to `out`, data entries holding RVAs based at `sectionRva`.
    void Emit(std::uint32_t sectionRva, PieceBuffer& out) const;

private:
    std::vector<ResourceLeaf> leaves_;
    std::string head_;                        // tables, data entries and strings, RVAs relative to 0
    std::vector<std::uint32_t> dataOffset_;   // per leaf, from the section start
    std::vector<std::uint32_t> entryOffset_;  // per leaf, its data entry in head_
    std::uint64_t dataStart_ = 0;
    std::uint64_t size_ = 0;
    std::size_t largestTable_ = 0;
};

}  // namespace brevok
