// Reading and writing 32-bit Microsoft resource files (.res): a sequence of records, each a
// RESOURCEHEADER (DataSize, HeaderSize, TYPE, NAME, DataVersion, MemoryFlags, LanguageId,
// Version, Characteristics) followed by its data, every record aligned to 4 bytes, and the
// file opened by one empty record (DataSize 0, type and name ordinal 0).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "rules/parsed.h"

namespace brevok {

class ReadOnlyFile;

/// A resource type or name: an ordinal (16-bit number) or a UTF-16 string.
struct ResId {
    bool isOrdinal = true;
    std::uint16_t ordinal = 0;
    std::u16string name;  // when !isOrdinal

    static ResId Ordinal(std::uint16_t id) { return ResId{true, id, {}}; }
    static ResId Name(std::u16string text) { return ResId{false, 0, std::move(text)}; }
    friend bool operator==(const ResId&, const ResId&) = default;
};

/// Orders ids as a resource directory stores them: names first (ASCII letters compared
/// upper-case, then by UTF-16 code unit), then ordinals ascending. Returns <0, 0, >0.
int CompareResIds(const ResId& a, const ResId& b);

/// "#14" for an ordinal, the name as UTF-8 otherwise (for messages).
std::string DescribeResId(const ResId& id);

/// Well-known resource type ordinals.
enum ResType : std::uint16_t {
    kRtCursor = 1,
    kRtBitmap = 2,
    kRtIcon = 3,
    kRtMenu = 4,
    kRtDialog = 5,
    kRtString = 6,
    kRtFontDir = 7,
    kRtFont = 8,
    kRtAccelerator = 9,
    kRtRcData = 10,
    kRtMessageTable = 11,
    kRtGroupCursor = 12,
    kRtGroupIcon = 14,
    kRtVersion = 16,
    kRtManifest = 24,
};

/// The keyword of a well-known type ("VERSIONINFO", "GROUP_ICON"), DescribeResId otherwise.
std::string DescribeResType(const ResId& type);

/// The ordinal of a well-known type's keyword (ASCII letters in either case), if it is one.
std::optional<std::uint16_t> ResTypeOfKeyword(std::string_view keyword);

/// The bits of a record header's memory flags.
inline constexpr std::uint16_t kMemoryMoveable = 0x10;
inline constexpr std::uint16_t kMemoryPure = 0x20;
inline constexpr std::uint16_t kMemoryPreload = 0x40;
inline constexpr std::uint16_t kMemoryDiscardable = 0x1000;
/// The flags of a record no statement gives others: MOVEABLE | PURE | DISCARDABLE (0x1030).
inline constexpr std::uint16_t kDefaultMemoryFlags = kMemoryMoveable | kMemoryPure | kMemoryDiscardable;

/// One record of a .res file (never the empty opening record).
struct ResRecord {
    ResId type;
    ResId name;
    std::uint32_t dataVersion = 0;
    std::uint16_t memoryFlags = kDefaultMemoryFlags;
    std::uint16_t language = 0;
    std::uint32_t version = 0;
    std::uint32_t characteristics = 0;
    std::string data;
};

/// The same record with its data left in the parsed buffer (no copy); valid while that
/// buffer lives. The binder uses this form to bind large files without copying them.
struct ResRecordView {
    ResId type;
    ResId name;
    std::uint32_t dataVersion = 0;
    std::uint16_t memoryFlags = 0;
    std::uint16_t language = 0;
    std::uint32_t version = 0;
    std::uint32_t characteristics = 0;
    std::string_view data;
    std::uint64_t offset = 0;  // where the record's header starts in the file
};

/// Parses a whole .res image. The empty opening record is required and skipped; every size
/// is checked against the file. Errors name the record and the offset, e.g.
/// "resource record 2 at offset 0x40: data size 0x1000 runs past the end of the file (size 0x80)".
Parsed<std::vector<ResRecordView>> ParseResFileViews(std::string_view bytes);

/// A record read from a .res file in place: its header (`header.data` left empty) and where
/// its data lie in the file.
struct ResRecordPlace {
    ResRecordView header;
    std::uint64_t dataOffset = 0;
    std::uint32_t dataSize = 0;
};

/// As ParseResFileViews, reading only the record headers from `file` (which must be open):
/// for a .res too large to hold in memory. The same checks and error texts.
Parsed<std::vector<ResRecordPlace>> ScanResFile(const ReadOnlyFile& file);

/// As ParseResFileViews, with each record's data copied out.
Parsed<std::vector<ResRecord>> ParseResFile(std::string_view bytes);

/// Writes the records as a .res image, the empty opening record first.
std::string WriteResFile(const std::vector<ResRecord>& records);

/// The record header of `record` (its data left out) for data of `dataSize` bytes: what a
/// writer that streams the data puts before it.
std::string WriteResRecordHeader(const ResRecord& record, std::uint32_t dataSize);

/// The empty record that opens every 32-bit .res file.
std::string WriteResOpeningRecord();

}  // namespace brevok
