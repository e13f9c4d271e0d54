// Writing a PE resource tree and its data: as the contents of an image's resource section,
// or as the tree and data sections of an object file (res_object.h).
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

/// A resource's place in the tree and the size of its data, the data themselves elsewhere.
struct ResourceSlot {
    ResId type;
    ResId name;
    std::uint16_t language = 0;
    std::uint32_t codePage = 0;
    std::uint64_t size = 0;
};

/// The resource directory of a set of resources (Microsoft PE format): directory tables
/// breadth first (type, name, language; named entries first, then ids ascending), the data
/// entries, then the name strings (upper-case, as the loader looks names up upper-cased).
/// Each data entry's RVA field is left 0 for the writer to fill in or relocate; the data
/// themselves go after the tree, each aligned to 8 bytes, in one of two orders:
/// - Order::Tree: the order of the data entries (what an image's resource section holds);
/// - Order::Given: the order the slots were given in, and the name strings in the order their
///   tables first met them in the given slots (what llvm-cvtres writes into an object).
/// The slots' (type, name, language) must be unique. Nothing is checked against a field's
/// width: the caller holds largestTable(), longestName() and the sizes against its limits
/// before it uses any offset.
class ResourceDirectory {
public:
    enum class Order { Tree, Given };

    ResourceDirectory(std::vector<ResourceSlot> slots, Order order);

    /// Tables, data entries and strings, offsets relative to the root table.
    const std::string& tree() const { return tree_; }
    /// The bytes of all data, each resource's aligned to 8 (the last one's too).
    std::uint64_t dataSize() const { return dataSize_; }
    std::size_t count() const { return entryOffset_.size(); }
    /// Of the slot given at `index`: its data entry's offset in tree(), its data's offset
    /// from the start of the data.
    std::uint32_t entryOffset(std::size_t index) const { return entryOffset_[index]; }
    std::uint64_t dataOffset(std::size_t index) const { return dataOffset_[index]; }
    /// The given indices in the order their data follow one another.
    const std::vector<std::size_t>& dataOrder() const { return dataOrder_; }
    /// The most entries of one kind (named or numbered) in one directory table; a table
    /// counts each kind in 16 bits.
    std::size_t largestTable() const { return largestTable_; }
    /// The longest type or resource name in UTF-16 units; the tree counts it in 16 bits.
    std::size_t longestName() const { return longestName_; }

private:
    std::string tree_;
    std::vector<std::uint32_t> entryOffset_;
    std::vector<std::uint64_t> dataOffset_;
    std::vector<std::size_t> dataOrder_;
    std::uint64_t dataSize_ = 0;
    std::size_t largestTable_ = 0;
    std::size_t longestName_ = 0;
};

/// The layout of a resource section (.rsrc): the directory (ResourceDirectory, Order::Tree),
/// padded to 8 bytes, then each resource's data aligned to 8 bytes.
class ResourceSectionLayout {
public:
    /// Takes leaves whose (type, name, language) are unique.
    explicit ResourceSectionLayout(std::vector<ResourceLeaf> leaves);

    /// The section's size in bytes (directory and data).
    std::uint64_t size() const { return dataStart_ + directory_.dataSize(); }
    /// As ResourceDirectory::largestTable.
    std::size_t largestTable() const { return directory_.largestTable(); }
    /// The size of the tree alone (what the data directory entry records).
    std::uint32_t treeSize() const { return static_cast<std::uint32_t>(dataStart_); }

    /// Appends exactly size() bytes to `out`, data entries holding RVAs based at `sectionRva`.
    void Emit(std::uint32_t sectionRva, PieceBuffer& out) const;

private:
    static std::vector<ResourceSlot> Slots(const std::vector<ResourceLeaf>& leaves);

    std::vector<ResourceLeaf> leaves_;
    ResourceDirectory directory_;
    std::uint64_t dataStart_ = 0;
};

}  // namespace brevok
