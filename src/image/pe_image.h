// Reading PE32 and PE32+ images (Microsoft PE/COFF format): the DOS stub's e_lfanew, the
// COFF file header, the optional header with its data directories, the section table, and
// mapping relative virtual addresses (RVAs) to file offsets. Every offset and size is
// checked against the bytes at hand and against the whole file's size.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "rules/parsed.h"
#include "image/res_file.h"

namespace brevok {

enum class PeKind { Pe32, Pe32Plus };

/// Indices into the optional header's data directories.
enum DataDirectoryIndex : unsigned {
    kDirExport = 0,
    kDirImport = 1,
    kDirResource = 2,
    kDirException = 3,
    kDirSecurity = 4,
    kDirBaseReloc = 5,
    kDirDebug = 6,
};

struct DataDirectory {
    std::uint32_t rva = 0;  // a file offset, not an RVA, for kDirSecurity
    std::uint32_t size = 0;
};

/// IMAGE_SECTION_HEADER.
struct SectionHeader {
    char name[8] = {};
    std::uint32_t virtualSize = 0;
    std::uint32_t virtualAddress = 0;
    std::uint32_t sizeOfRawData = 0;
    std::uint32_t pointerToRawData = 0;
    std::uint32_t pointerToRelocations = 0;
    std::uint32_t pointerToLinenumbers = 0;
    std::uint16_t numberOfRelocations = 0;
    std::uint16_t numberOfLinenumbers = 0;
    std::uint32_t characteristics = 0;

    /// The name up to its first NUL ("/4" style long names are left as they are).
    std::string Name() const;
    /// The larger of the virtual and the raw size: how far the section reaches in memory.
    std::uint32_t VirtualExtent() const;
};

/// The headers of a PE image, with where each lies in the file.
struct PeHeaders {
    std::uint64_t fileSize = 0;
    std::uint32_t peOffset = 0;  // e_lfanew: the "PE\0\0" signature
    std::uint32_t optionalHeaderOffset = 0;
    std::uint32_t sectionTableOffset = 0;

    // COFF file header
    std::uint16_t machine = 0;
    std::uint16_t numberOfSections = 0;
    std::uint32_t timeDateStamp = 0;
    std::uint32_t pointerToSymbolTable = 0;
    std::uint32_t numberOfSymbols = 0;
    std::uint16_t sizeOfOptionalHeader = 0;
    std::uint16_t characteristics = 0;

    // optional header
    PeKind kind = PeKind::Pe32;
    std::uint32_t sizeOfCode = 0;
    std::uint32_t sizeOfInitializedData = 0;
    std::uint64_t imageBase = 0;
    std::uint32_t sectionAlignment = 0;
    std::uint32_t fileAlignment = 0;
    std::uint32_t sizeOfImage = 0;
    std::uint32_t sizeOfHeaders = 0;
    std::uint32_t checkSum = 0;
    std::uint32_t numberOfRvaAndSizes = 0;
    std::vector<DataDirectory> directories;  // numberOfRvaAndSizes entries (at most 16)
    std::vector<SectionHeader> sections;

    /// Offset of the CheckSum field, of data directory `index`, and the end of the section table.
    std::uint32_t CheckSumOffset() const;
    std::uint32_t DirectoryOffset(unsigned index) const;
    std::uint32_t SectionTableEnd() const;

    /// Directory `index`, or an empty one when the image has fewer directories.
    DataDirectory Directory(unsigned index) const;

    /// Index of the section whose virtual range holds [rva, rva + size), or -1.
    int SectionOfRva(std::uint32_t rva, std::uint32_t size = 1) const;
};

/// The size of one IMAGE_SECTION_HEADER of the section table.
inline constexpr std::uint32_t kSectionHeaderSize = 40;

/// The resource directory's structures: an IMAGE_RESOURCE_DIRECTORY table, one of its
/// entries, an IMAGE_RESOURCE_DATA_ENTRY (sizes in bytes), and the bit of an entry that marks
/// a name (in its first field) or a subdirectory (in its second).
inline constexpr std::uint32_t kResourceTableSize = 16;
inline constexpr std::uint32_t kResourceEntrySize = 8;
inline constexpr std::uint32_t kResourceDataEntrySize = 16;
inline constexpr std::uint32_t kResourceHighBit = 0x80000000u;

/// How many leading bytes of a file ParsePeHeaders needs at most for ordinary images;
/// a reader that has only the head of a large file reads this much first.
inline constexpr std::size_t kPeHeadBytes = 64 * 1024;

/// Parses the headers and section table from `head`, the first bytes of a file whose whole
/// size is `fileSize` (pass head.size() for a whole image in memory). Section raw data
/// and other file offsets are checked against `fileSize`. When the headers reach beyond
/// `head`, the error says so ("headers run past the bytes read ...").
Parsed<PeHeaders> ParsePeHeaders(std::string_view head, std::uint64_t fileSize);

/// A span of the file: where [rva, rva + size) lies in it.
struct FileSpan {
    std::uint64_t offset = 0;
    std::uint32_t size = 0;
};

/// Maps [rva, rva + size) to file offsets; it must lie inside one section's raw data.
Parsed<FileSpan> RvaToFileSpan(const PeHeaders& headers, std::uint32_t rva, std::uint32_t size);

/// The resource directory: the data directory entry and the section that holds it.
struct ResourceLocation {
    DataDirectory directory;       // RVA and size of the resource tree
    int sectionIndex = -1;         // the section holding directory.rva
    std::uint32_t sectionRva = 0;  // that section's virtual address
    FileSpan section;              // that section's raw data in the file
};

/// Finds the resource section through the data directory (never by name). value has
/// sectionIndex -1 when the image has no resources; an error when the entry points
/// outside every section or the section's raw data lies outside the file.
Parsed<ResourceLocation> FindResources(const PeHeaders& headers);

/// One leaf of a resource tree: type -> name -> language -> data entry.
struct ResourceEntry {
    ResId type;
    ResId name;
    std::uint16_t language = 0;
    std::uint32_t dataRva = 0;
    std::uint32_t size = 0;
    std::uint32_t codePage = 0;
};

/// Reads the resource tree whose root lies at `rootRva`, from `bytes`, which hold the image's
/// contents from `bytesRva` on (usually a whole section, `rootRva` its data directory RVA;
/// by default the root is at the start of `bytes`). Offsets in the tree are checked against
/// `bytes`; loops, depth beyond three and string names that run past the end are errors.
/// Data RVAs are not checked here (they may lie in another section); use ResourceData.
Parsed<std::vector<ResourceEntry>> ReadResourceTree(std::string_view bytes, std::uint32_t bytesRva,
                                                    std::uint32_t rootRva);
Parsed<std::vector<ResourceEntry>> ReadResourceTree(std::string_view bytes, std::uint32_t bytesRva);

/// The data of `entry`, when it lies inside `bytes` (the image's contents from `bytesRva` on).
Parsed<std::string_view> ResourceData(std::string_view bytes, std::uint32_t bytesRva, const ResourceEntry& entry);

/// A whole image in memory, parsed.
struct PeImage {
    std::string bytes;
    PeHeaders headers;
};

/// Parses a whole image held in memory.
Parsed<PeImage> ParsePeImage(std::string bytes);

/// The PE checksum of `image` (with its CheckSum field at `checkSumOffset` counted as zero):
/// the 16-bit one's-complement sum of its words plus the file length.
std::uint32_t ComputePeChecksum(std::string_view image, std::uint32_t checkSumOffset);

}  // namespace brevok
