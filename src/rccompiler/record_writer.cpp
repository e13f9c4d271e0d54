// The record writer: finds each record's file, checks it, and streams its resources into the
// output as llvm-rc's ResourceFileWriter lays them out.
#include "rccompiler/record_writer.h"

#include "rules/errors.h"
#include "rccompiler/data_files.h"
#include "rccompiler/icon_files.h"
#include "rccompiler/res_writer.h"
#include "rules/little_endian.h"
#include "platform/system_text.h"
#include "rules/text_encoding.h"
#include "platform/temp_files.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

namespace brevok {

namespace {

// What llvm-rc writes for our statements: each kind's default memory flags.
constexpr std::uint16_t kFileFlags = kMemoryMoveable | kMemoryPure;
constexpr std::uint16_t kImageFlags = kMemoryMoveable | kMemoryDiscardable;
constexpr std::uint16_t kGroupFlags = kDefaultMemoryFlags;
constexpr std::size_t kPieceSize = std::size_t{1} << 20;

/// A file opened for reading, closed with the object.
class InputFile {
public:
    explicit InputFile(const std::string& path) : in_(SystemPath(path), std::ios::binary) { }

    bool IsOpen() const { return in_.is_open(); }

    /// Reads up to `size` bytes into `out` (fewer only at the end of the file); false on a
    /// read error.
    bool Read(std::string& out, std::size_t size)
    {
        out.resize(size);
        in_.read(out.data(), static_cast<std::streamsize>(size));
        out.resize(static_cast<std::size_t>(in_.gcount()));
        if (in_.bad())
            return false;
        in_.clear(in_.rdstate() & ~(std::ios::failbit | std::ios::eofbit));
        return true;
    }

private:
    std::ifstream in_;
};

/// The record header of `record`'s resource of `type` and `name`: its own memory flags
/// (for the group of an icon or cursor, those its images imply) or `flags`.
ResRecord Header(const Record& record, const ResId& type, const ResId& name, std::uint16_t flags,
                 std::uint16_t language)
{
    ResRecord header;
    header.type = type;
    header.name = name;
    header.memoryFlags = record.memoryFlags.value_or(flags);
    if (flags == kGroupFlags) {
        // llvm-rc: the group keeps its default flags, PRELOAD taken over and then not PURE.
        header.memoryFlags = kGroupFlags;
        if (record.memoryFlags && (*record.memoryFlags & kMemoryPreload))
            header.memoryFlags = (kGroupFlags | kMemoryPreload) & ~kMemoryPure;
    }
    header.language = record.language.value_or(language);
    header.version = record.version;
    header.characteristics = record.characteristics;
    return header;
}

class RecordWriter {
public:
    RecordWriter(const std::string& script, const RecordOptions& options, LineLocator locate)
        : script_(script), language_(options.language), finder_(script, options.dataFolders), locate_(std::move(locate)),
          foundFiles_(options.foundFiles)
    { }

    ToolOutcome Run(const RecordList& parsed, const std::string& res);

private:
    void Compile(const Record& record, const std::string& path);
    void WriteInline(const Record& record);
    /// Writes a record of `header` whose data are the rest of `file`.
    void StreamRecord(const Record& record, const std::string& path, InputFile& file,
                      const ResRecord& header);
    void CompileBitmap(const Record& record, const std::string& path, InputFile& file);
    void CompileIcon(const Record& record, const std::string& path, InputFile& file);
    /// Copies the rest of `file` into the open record; false on a read error.
    bool CopyRest(InputFile& file);
    void Problem(const Record& record, const std::string& text);
    void CannotRead(const Record& record, const std::string& path);
    bool Writing() const { return writer_ != nullptr && !HasErrors(diagnostics_); }

    const std::string& script_;
    std::uint16_t language_;
    DataFileFinder finder_;
    LineLocator locate_;
    std::vector<std::string>* foundFiles_;
    std::unique_ptr<ResWriter> writer_;
    std::vector<Diagnostic> diagnostics_;
    std::string piece_;
    /// The next RT_ICON / RT_CURSOR id: llvm-rc numbers the images of all groups in one row.
    std::uint32_t nextImageId_ = 1;
};

void RecordWriter::Problem(const Record& record, const std::string& text)
{
    diagnostics_.push_back(LineError(record.line, record.typeText + " " + record.nameText + ": " + text));
}

void RecordWriter::CannotRead(const Record& record, const std::string& path)
{
    Problem(record, "cannot read " + path);
}

bool RecordWriter::CopyRest(InputFile& file)
{
    for (;;) {
        if (!file.Read(piece_, kPieceSize))
            return false;
        if (piece_.empty())
            return true;
        if (Writing())
            writer_->Append(piece_);
    }
}

void RecordWriter::StreamRecord(const Record& record, const std::string& path, InputFile& file,
                                const ResRecord& header)
{
    if (Writing())
        writer_->BeginRecord(header);
    if (!CopyRest(file))
        return CannotRead(record, path);
    if (Writing())
        writer_->EndRecord();
}

void RecordWriter::CompileBitmap(const Record& record, const std::string& path, InputFile& file)
{
    if (!file.Read(piece_, kBitmapFileHeaderSize))
        return CannotRead(record, path);
    if (const Status start = CheckBitmapStart(piece_); !start)
        return Problem(record, path + " is not a valid bitmap file: " + start.error);
    StreamRecord(record, path, file,
                 Header(record, ResId::Ordinal(kRtBitmap), record.name, kFileFlags, language_));
}

void RecordWriter::CompileIcon(const Record& record, const std::string& path, InputFile& file)
{
    const bool cursor = record.kind == RecordKind::Cursor;
    // Icon and cursor files are read whole: their directory points anywhere into them.
    std::string bytes;
    std::error_code ignored;
    if (const std::uintmax_t size = std::filesystem::file_size(SystemPath(path), ignored); !ignored)
        bytes.reserve(static_cast<std::size_t>(size));
    for (;;) {
        if (!file.Read(piece_, kPieceSize))
            return CannotRead(record, path);
        if (piece_.empty())
            break;
        bytes += piece_;
    }
    const Parsed<IconDirectory> directory =
        ReadIconDirectory(bytes, cursor ? IconFileType::Cursor : IconFileType::Icon);
    if (!directory)
        return Problem(record,
                       path + " is not a valid " + (cursor ? "cursor" : "icon") + " file: " + directory.error);
    const std::size_t count = directory->images.size();
    if (nextImageId_ + count > 0x10000)
        return Problem(record, "the images of the script's icons and cursors would take ids past 65535");
    const std::uint32_t firstId = nextImageId_;
    nextImageId_ += static_cast<std::uint32_t>(count);
    if (!Writing())
        return;
    const ResId imageType = ResId::Ordinal(cursor ? kRtCursor : kRtIcon);
    for (std::size_t i = 0; i < count; ++i) {
        const IconImage& image = directory->images[i];
        writer_->BeginRecord(Header(record, imageType, ResId::Ordinal(static_cast<std::uint16_t>(firstId + i)),
                                    kImageFlags, language_));
        if (cursor) {
            std::string hotSpot;
            byteio::Append16(hotSpot, image.planes);
            byteio::Append16(hotSpot, image.bitCount);
            writer_->Append(hotSpot);
        }
        writer_->Append(std::string_view(bytes).substr(image.offset, image.size));
        writer_->EndRecord();
    }
    writer_->BeginRecord(Header(record, ResId::Ordinal(cursor ? kRtGroupCursor : kRtGroupIcon), record.name,
                                kGroupFlags, language_));
    writer_->Append(directory->header);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint16_t id = static_cast<std::uint16_t>(firstId + i);
        std::string idBytes;
        byteio::Append16(idBytes, id);
        writer_->Append(directory->images[i].groupEntry);
        writer_->Append(idBytes);
    }
    writer_->EndRecord();
}

void RecordWriter::WriteInline(const Record& record)
{
    if (!Writing())
        return;
    writer_->BeginRecord(Header(record, record.type, record.name, kFileFlags, language_));
    writer_->Append(record.data);
    writer_->EndRecord();
}

void RecordWriter::Compile(const Record& record, const std::string& path)
{
    // llvm-rc takes the first place where the path exists, a folder too, and fails on it.
    std::error_code ignored;
    if (std::filesystem::is_directory(SystemPath(path), ignored))
        return Problem(record, path + " is a folder, not a file");
    InputFile file(path);
    if (!file.IsOpen())
        return Problem(record, "cannot open " + path + ": " + std::strerror(errno));
    try {
        switch (record.kind) {
        case RecordKind::Bitmap:
            return CompileBitmap(record, path, file);
        case RecordKind::Icon:
        case RecordKind::Cursor:
            return CompileIcon(record, path, file);
        case RecordKind::Data:
            return StreamRecord(record, path, file,
                                Header(record, record.type, record.name, kFileFlags, language_));
        case RecordKind::Inline:
            return WriteInline(record);
        }
    } catch (const Error& error) {
        // A resource of 4 GB or more: the data size field has 32 bits.
        Problem(record, path + ": " + error.what());
    }
}

ToolOutcome RecordWriter::Run(const RecordList& parsed, const std::string& res)
{
    diagnostics_.insert(diagnostics_.end(), parsed.problems.begin(), parsed.problems.end());
    TempOutput output(res);
    if (output.Path().empty())
        return {false, {RunError(CannotCreateFile(res).what()).Format()}};
    try {
        writer_ = std::make_unique<ResWriter>(output.Path());
        for (std::size_t i = 0; i < parsed.records.size(); ++i) {
            const Record& record = parsed.records[i];
            if (record.kind == RecordKind::Inline)
                WriteInline(record);
            else if (const std::string path = finder_.Find(record.path, record.codePage); path.empty())
                Problem(record, "file not found: " + FileNameLookups(record.path, record.codePage).back());
            else {
                if (foundFiles_ != nullptr)
                    foundFiles_->push_back(path);
                Compile(record, path);
            }
        }
        if (!HasErrors(diagnostics_))
            writer_->Finish();
    } catch (const Error& error) {
        writer_.reset();
        return {false, {RunError(error.what()).Format()}};
    }
    // Closed before the temporary file is renamed or removed: Windows does neither to a file
    // that is still open.
    writer_.reset();
    ToolOutcome outcome;
    std::stable_sort(diagnostics_.begin(), diagnostics_.end(),
                     [](const Diagnostic& a, const Diagnostic& b) { return a.line < b.line; });
    for (Diagnostic& diagnostic : diagnostics_) {
        diagnostic.file = script_;
        if (locate_)
            locate_(diagnostic);
        outcome.lines.push_back(diagnostic.Format());
    }
    // Warnings leave the output to be written.
    if (HasErrors(diagnostics_))
        return outcome;
    if (!output.Commit())
        return {false, {RunError(CannotCreateFile(res).what()).Format()}};
    outcome.ok = true;
    return outcome;
}

}  // namespace

ToolOutcome WriteRecords(const std::string& script, const RecordList& parsed, const std::string& res,
                         const RecordOptions& options, LineLocator locate)
{
    return RecordWriter(script, options, std::move(locate)).Run(parsed, res);
}

}  // namespace brevok
