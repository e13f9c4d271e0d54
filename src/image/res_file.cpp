// Reading and writing .res files (32-bit Microsoft resource file format).
#include "image/res_file.h"

#include <algorithm>

#include "platform/read_only_file.h"
#include "rules/ascii.h"
#include "rules/little_endian.h"
#include "rules/hex.h"
#include "rules/unicode.h"

namespace brevok {

namespace {

constexpr std::uint32_t kMinHeaderSize = 8 + 2 + 2 + 16;  // sizes, two empty names, fixed tail

std::string RecordWhere(std::size_t index, std::uint64_t offset)
{
    return "resource record " + std::to_string(index) + " at offset " + Hex(offset) + ": ";
}

// Reads a TYPE or NAME field (0xFFFF + ordinal, or a NUL-terminated UTF-16 string) that
// must end before `end`; advances `pos`. Empty optional on a field that runs past `end`.
std::optional<ResId> ReadId(std::string_view b, std::uint64_t& pos, std::uint64_t end)
{
    if (!Fits(pos, 2, end))
        return std::nullopt;
    if (Get16(b, pos) == 0xFFFF) {
        if (!Fits(pos, 4, end))
            return std::nullopt;
        ResId id = ResId::Ordinal(Get16(b, pos + 2));
        pos += 4;
        return id;
    }
    std::u16string text;
    for (;;) {
        if (!Fits(pos, 2, end))
            return std::nullopt;
        const char16_t c = Get16(b, pos);
        pos += 2;
        if (c == 0)
            break;
        text.push_back(c);
    }
    return ResId::Name(std::move(text));
}

void WriteId(std::string& out, const ResId& id)
{
    if (id.isOrdinal) {
        byteio::Append16(out, 0xFFFF);
        byteio::Append16(out, id.ordinal);
        return;
    }
    for (char16_t c : id.name)
        byteio::Append16(out, c);
    byteio::Append16(out, 0);
}

void PadTo4(std::string& out)
{
    while (out.size() % 4 != 0)
        out.push_back('\0');
}

}  // namespace

int CompareResIds(const ResId& a, const ResId& b)
{
    if (a.isOrdinal != b.isOrdinal)
        return a.isOrdinal ? 1 : -1;
    if (a.isOrdinal)
        return a.ordinal < b.ordinal ? -1 : (a.ordinal > b.ordinal ? 1 : 0);
    const std::size_t n = std::min(a.name.size(), b.name.size());
    for (std::size_t i = 0; i < n; ++i) {
        const char16_t x = AsciiUpper(a.name[i]);
        const char16_t y = AsciiUpper(b.name[i]);
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.name.size() < b.name.size() ? -1 : (a.name.size() > b.name.size() ? 1 : 0);
}

namespace {

struct TypeKeyword {
    std::uint16_t type;
    std::string_view keyword;
};

constexpr TypeKeyword kTypeKeywords[] = {
    {kRtCursor, "CURSOR"},           {kRtBitmap, "BITMAP"},         {kRtIcon, "ICON"},
    {kRtMenu, "MENU"},               {kRtDialog, "DIALOG"},         {kRtString, "STRINGTABLE"},
    {kRtFontDir, "FONTDIR"},         {kRtFont, "FONT"},             {kRtAccelerator, "ACCELERATORS"},
    {kRtRcData, "RCDATA"},           {kRtMessageTable, "MESSAGETABLE"}, {kRtGroupCursor, "GROUP_CURSOR"},
    {kRtGroupIcon, "GROUP_ICON"},    {kRtVersion, "VERSIONINFO"},   {kRtManifest, "MANIFEST"},
};

}  // namespace

std::string DescribeResType(const ResId& type)
{
    for (const TypeKeyword& k : kTypeKeywords)
        if (type.isOrdinal && type.ordinal == k.type)
            return std::string(k.keyword);
    return DescribeResId(type);
}

std::optional<std::uint16_t> ResTypeOfKeyword(std::string_view keyword)
{
    for (const TypeKeyword& k : kTypeKeywords) {
        if (EqualIgnoringAsciiCase(k.keyword, keyword))
            return k.type;
    }
    return std::nullopt;
}

std::string DescribeResId(const ResId& id)
{
    if (id.isOrdinal)
        return "#" + std::to_string(id.ordinal);
    return Utf16ToUtf8(id.name);
}

namespace {

// The bytes of a .res held in memory.
class MemorySource {
public:
    explicit MemorySource(std::string_view bytes) : bytes_(bytes) { }
    std::uint64_t size() const { return bytes_.size(); }
    // `count` bytes at `offset`, which the caller has checked lie in the file.
    std::optional<std::string_view> Read(std::uint64_t offset, std::uint64_t count)
    {
        return bytes_.substr(offset, count);
    }

private:
    std::string_view bytes_;
};

// The bytes of a .res read from the file as they are needed: one record header at a time.
class FileSource {
public:
    explicit FileSource(const ReadOnlyFile& file) : file_(file) { }
    std::uint64_t size() const { return file_.size(); }
    std::optional<std::string_view> Read(std::uint64_t offset, std::uint64_t count)
    {
        auto bytes = file_.ReadAt(offset, static_cast<std::size_t>(count));
        if (!bytes)
            return std::nullopt;
        buffer_ = std::move(*bytes);
        return std::string_view(buffer_);
    }

private:
    const ReadOnlyFile& file_;
    std::string buffer_;
};

// Reads the records of a .res from `source` and hands each to `take(record, dataOffset,
// dataSize)` with its data left out. The one parser of record headers, for a .res in memory
// and for one read in place.
template <class Source, class Take>
Status ParseRecords(Source& source, Take take)
{
    const std::uint64_t size = source.size();
    std::uint64_t offset = 0;
    for (std::size_t index = 0; offset < size; ++index) {
        const std::string where = RecordWhere(index, offset);
        if (!Fits(offset, 8, size))
            return Status::Fail(where + "the record header is truncated (file size " + Hex(size) + ")");
        auto sizes = source.Read(offset, 8);
        if (!sizes)
            return Status::Fail(where + "the record header cannot be read");
        const std::uint32_t dataSize = Get32(*sizes, 0);
        const std::uint32_t headerSize = Get32(*sizes, 4);
        if (headerSize < kMinHeaderSize)
            return Status::Fail(where + "header size " + Hex(headerSize) + " is smaller than the minimum " +
                                Hex(kMinHeaderSize));
        if (!Fits(offset, headerSize, size))
            return Status::Fail(where + "header size " + Hex(headerSize) + " runs past the end of the file (size " +
                                Hex(size) + ")");
        if (!Fits(offset + headerSize, dataSize, size))
            return Status::Fail(where + "data size " + Hex(dataSize) + " runs past the end of the file (size " +
                                Hex(size) + ")");
        auto header = source.Read(offset, headerSize);
        if (!header)
            return Status::Fail(where + "the record header cannot be read");
        const std::string_view bytes = *header;
        std::uint64_t pos = 8;
        auto type = ReadId(bytes, pos, headerSize);
        auto name = type ? ReadId(bytes, pos, headerSize) : std::nullopt;
        if (!type || !name)
            return Status::Fail(where + "the type or name runs past the header (header size " + Hex(headerSize) + ")");
        pos = byteio::AlignUp(pos, 4);
        if (!Fits(pos, 16, headerSize))
            return Status::Fail(where + "the header's fixed fields run past the header (header size " +
                                Hex(headerSize) + ")");
        ResRecordView r;
        r.type = std::move(*type);
        r.name = std::move(*name);
        r.dataVersion = Get32(bytes, pos);
        r.memoryFlags = Get16(bytes, pos + 4);
        r.language = Get16(bytes, pos + 6);
        r.version = Get32(bytes, pos + 8);
        r.characteristics = Get32(bytes, pos + 12);
        r.offset = offset;
        const std::uint64_t headerEnd = offset + headerSize;
        if (index == 0) {
            // The opening record marks the 32-bit format; a 16-bit .res has none.
            if (dataSize != 0 || !r.type.isOrdinal || r.type.ordinal != 0 || !r.name.isOrdinal || r.name.ordinal != 0)
                return Status::Fail("not a 32-bit resource file: the empty first record is missing");
        } else {
            take(std::move(r), headerEnd, dataSize);
        }
        offset = byteio::AlignUp(headerEnd + dataSize, 4);
    }
    if (size == 0)
        return Status::Fail("not a 32-bit resource file: the file is empty");
    return Status::Ok();
}

}  // namespace

Parsed<std::vector<ResRecordView>> ParseResFileViews(std::string_view bytes)
{
    std::vector<ResRecordView> records;
    MemorySource source(bytes);
    const Status parsed = ParseRecords(source, [&](ResRecordView r, std::uint64_t dataOffset, std::uint32_t dataSize) {
        r.data = bytes.substr(dataOffset, dataSize);
        records.push_back(std::move(r));
    });
    if (!parsed)
        return Parsed<std::vector<ResRecordView>>::Fail(parsed.error);
    return Parsed<std::vector<ResRecordView>>::Ok(std::move(records));
}

Parsed<std::vector<ResRecordPlace>> ScanResFile(const ReadOnlyFile& file)
{
    std::vector<ResRecordPlace> records;
    FileSource source(file);
    const Status parsed = ParseRecords(source, [&](ResRecordView r, std::uint64_t dataOffset, std::uint32_t dataSize) {
        records.push_back({std::move(r), dataOffset, dataSize});
    });
    if (!parsed)
        return Parsed<std::vector<ResRecordPlace>>::Fail(parsed.error);
    return Parsed<std::vector<ResRecordPlace>>::Ok(std::move(records));
}

Parsed<std::vector<ResRecord>> ParseResFile(std::string_view bytes)
{
    auto views = ParseResFileViews(bytes);
    if (!views)
        return Parsed<std::vector<ResRecord>>::Fail(views.error);
    std::vector<ResRecord> records;
    records.reserve(views->size());
    for (auto& v : *views) {
        ResRecord r;
        r.type = std::move(v.type);
        r.name = std::move(v.name);
        r.dataVersion = v.dataVersion;
        r.memoryFlags = v.memoryFlags;
        r.language = v.language;
        r.version = v.version;
        r.characteristics = v.characteristics;
        r.data = std::string(v.data);
        records.push_back(std::move(r));
    }
    return Parsed<std::vector<ResRecord>>::Ok(std::move(records));
}

std::string WriteResRecordHeader(const ResRecord& record, std::uint32_t dataSize)
{
    std::string header;
    WriteId(header, record.type);
    WriteId(header, record.name);
    while ((header.size() + 8) % 4 != 0)
        header.push_back('\0');
    byteio::Append32(header, record.dataVersion);
    byteio::Append16(header, record.memoryFlags);
    byteio::Append16(header, record.language);
    byteio::Append32(header, record.version);
    byteio::Append32(header, record.characteristics);
    std::string out;
    byteio::Append32(out, dataSize);
    byteio::Append32(out, static_cast<std::uint32_t>(header.size() + 8));
    return out + header;
}

std::string WriteResOpeningRecord()
{
    ResRecord opening;
    opening.type = ResId::Ordinal(0);
    opening.name = ResId::Ordinal(0);
    opening.memoryFlags = 0;
    return WriteResRecordHeader(opening, 0);
}

std::string WriteResFile(const std::vector<ResRecord>& records)
{
    std::string out = WriteResOpeningRecord();
    for (const auto& r : records) {
        out += WriteResRecordHeader(r, static_cast<std::uint32_t>(r.data.size()));
        out += r.data;
        PadTo4(out);
    }
    return out;
}

}  // namespace brevok
