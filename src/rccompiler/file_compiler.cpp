// Our compiler of file statements: finds each file, checks it, and streams its resources into
// the output as llvm-rc's ResourceFileWriter lays them out.
#include "rccompiler/file_compiler.h"

#include "platform/errors.h"
#include "rccompiler/data_files.h"
#include "rccompiler/icon_files.h"
#include "rccompiler/res_writer.h"
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
    explicit InputFile(const std::string& path) : in_(path, std::ios::binary) { }

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

/// The record header of `statement`'s resource of `type` and `name`: its own memory flags
/// (for the group of an icon or cursor, those its images imply) or `flags`.
ResRecord Header(const FileStatement& statement, const ResId& type, const ResId& name, std::uint16_t flags,
                 std::uint16_t language)
{
    ResRecord record;
    record.type = type;
    record.name = name;
    record.memoryFlags = statement.memoryFlags.value_or(flags);
    if (flags == kGroupFlags) {
        // llvm-rc: the group keeps its default flags, PRELOAD taken over and then not PURE.
        record.memoryFlags = kGroupFlags;
        if (statement.memoryFlags && (*statement.memoryFlags & kMemoryPreload))
            record.memoryFlags = (kGroupFlags | kMemoryPreload) & ~kMemoryPure;
    }
    record.language = statement.language.value_or(language);
    record.version = statement.version;
    record.characteristics = statement.characteristics;
    return record;
}

class FileCompiler {
public:
    FileCompiler(const std::string& script, const RecordOptions& options, LineLocator locate)
        : script_(script), language_(options.language), finder_(script, options.dataFolders), locate_(std::move(locate))
    { }

    ToolOutcome Run(const FileScript& parsed, const std::string& res);

private:
    void Compile(const FileStatement& statement, const std::string& path);
    void WriteInline(const FileStatement& statement);
    /// Writes a record of `header` whose data are the rest of `file`.
    void StreamRecord(const FileStatement& statement, const std::string& path, InputFile& file,
                      const ResRecord& header);
    void CompileBitmap(const FileStatement& statement, const std::string& path, InputFile& file);
    void CompileIcon(const FileStatement& statement, const std::string& path, InputFile& file);
    /// Copies the rest of `file` into the open record; false on a read error.
    bool CopyRest(InputFile& file);
    void Problem(const FileStatement& statement, const std::string& text);
    void CannotRead(const FileStatement& statement, const std::string& path);
    bool Writing() const { return writer_ != nullptr && diagnostics_.empty(); }

    const std::string& script_;
    std::uint16_t language_;
    DataFileFinder finder_;
    LineLocator locate_;
    std::unique_ptr<ResWriter> writer_;
    std::vector<Diagnostic> diagnostics_;
    std::string piece_;
    /// The next RT_ICON / RT_CURSOR id: llvm-rc numbers the images of all groups in one row.
    std::uint32_t nextImageId_ = 1;
};

void FileCompiler::Problem(const FileStatement& statement, const std::string& text)
{
    diagnostics_.push_back(LineError(statement.line, statement.typeText + " " + statement.nameText + ": " + text));
}

void FileCompiler::CannotRead(const FileStatement& statement, const std::string& path)
{
    Problem(statement, "cannot read " + path);
}

bool FileCompiler::CopyRest(InputFile& file)
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

void FileCompiler::StreamRecord(const FileStatement& statement, const std::string& path, InputFile& file,
                                const ResRecord& header)
{
    if (Writing())
        writer_->BeginRecord(header);
    if (!CopyRest(file))
        return CannotRead(statement, path);
    if (Writing())
        writer_->EndRecord();
}

void FileCompiler::CompileBitmap(const FileStatement& statement, const std::string& path, InputFile& file)
{
    if (!file.Read(piece_, kBitmapFileHeaderSize))
        return CannotRead(statement, path);
    if (const Status start = CheckBitmapStart(piece_); !start)
        return Problem(statement, path + " is not a valid bitmap file: " + start.error);
    StreamRecord(statement, path, file,
                 Header(statement, ResId::Ordinal(kRtBitmap), statement.name, kFileFlags, language_));
}

void FileCompiler::CompileIcon(const FileStatement& statement, const std::string& path, InputFile& file)
{
    const bool cursor = statement.kind == FileResourceKind::Cursor;
    // Icon and cursor files are read whole: their directory points anywhere into them.
    std::string bytes;
    std::error_code ignored;
    if (const std::uintmax_t size = std::filesystem::file_size(path, ignored); !ignored)
        bytes.reserve(static_cast<std::size_t>(size));
    for (;;) {
        if (!file.Read(piece_, kPieceSize))
            return CannotRead(statement, path);
        if (piece_.empty())
            break;
        bytes += piece_;
    }
    const Parsed<IconDirectory> directory =
        ReadIconDirectory(bytes, cursor ? IconFileType::Cursor : IconFileType::Icon);
    if (!directory)
        return Problem(statement,
                       path + " is not a valid " + (cursor ? "cursor" : "icon") + " file: " + directory.error);
    const std::size_t count = directory->images.size();
    if (nextImageId_ + count > 0x10000)
        return Problem(statement, "the images of the script's icons and cursors would take ids past 65535");
    const std::uint32_t firstId = nextImageId_;
    nextImageId_ += static_cast<std::uint32_t>(count);
    if (!Writing())
        return;
    const ResId imageType = ResId::Ordinal(cursor ? kRtCursor : kRtIcon);
    for (std::size_t i = 0; i < count; ++i) {
        const IconImage& image = directory->images[i];
        writer_->BeginRecord(Header(statement, imageType, ResId::Ordinal(static_cast<std::uint16_t>(firstId + i)),
                                    kImageFlags, language_));
        if (cursor) {
            const char hotSpot[4] = {static_cast<char>(image.planes & 0xFF), static_cast<char>(image.planes >> 8),
                                     static_cast<char>(image.bitCount & 0xFF), static_cast<char>(image.bitCount >> 8)};
            writer_->Append(std::string_view(hotSpot, 4));
        }
        writer_->Append(std::string_view(bytes).substr(image.offset, image.size));
        writer_->EndRecord();
    }
    writer_->BeginRecord(Header(statement, ResId::Ordinal(cursor ? kRtGroupCursor : kRtGroupIcon), statement.name,
                                kGroupFlags, language_));
    writer_->Append(directory->header);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint16_t id = static_cast<std::uint16_t>(firstId + i);
        const char idBytes[2] = {static_cast<char>(id & 0xFF), static_cast<char>(id >> 8)};
        writer_->Append(directory->images[i].groupEntry);
        writer_->Append(std::string_view(idBytes, 2));
    }
    writer_->EndRecord();
}

void FileCompiler::WriteInline(const FileStatement& statement)
{
    if (!Writing())
        return;
    writer_->BeginRecord(Header(statement, statement.type, statement.name, kFileFlags, language_));
    writer_->Append(statement.data);
    writer_->EndRecord();
}

void FileCompiler::Compile(const FileStatement& statement, const std::string& path)
{
    // llvm-rc takes the first place where the path exists, a folder too, and fails on it.
    std::error_code ignored;
    if (std::filesystem::is_directory(path, ignored))
        return Problem(statement, path + " is a folder, not a file");
    InputFile file(path);
    if (!file.IsOpen())
        return Problem(statement, "cannot open " + path + ": " + std::strerror(errno));
    try {
        switch (statement.kind) {
        case FileResourceKind::Bitmap:
            return CompileBitmap(statement, path, file);
        case FileResourceKind::Icon:
        case FileResourceKind::Cursor:
            return CompileIcon(statement, path, file);
        case FileResourceKind::Data:
            return StreamRecord(statement, path, file,
                                Header(statement, statement.type, statement.name, kFileFlags, language_));
        case FileResourceKind::Inline:
            return WriteInline(statement);
        }
    } catch (const Error& error) {
        // A resource of 4 GB or more: the data size field has 32 bits.
        Problem(statement, path + ": " + error.what());
    }
}

ToolOutcome FileCompiler::Run(const FileScript& parsed, const std::string& res)
{
    diagnostics_.insert(diagnostics_.end(), parsed.problems.begin(), parsed.problems.end());
    TempOutput output(res);
    if (output.Path().empty())
        return {false, {RunError(CannotCreateFile(res).what()).Format()}};
    try {
        writer_ = std::make_unique<ResWriter>(output.Path());
        for (std::size_t i = 0; i < parsed.statements.size(); ++i) {
            const FileStatement& statement = parsed.statements[i];
            if (statement.kind == FileResourceKind::Inline)
                WriteInline(statement);
            else if (const std::string path = finder_.Find(statement.path); path.empty())
                Problem(statement, "file not found: " + statement.path);
            else
                Compile(statement, path);
        }
        if (diagnostics_.empty())
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
    if (!diagnostics_.empty())
        return outcome;
    if (!output.Commit())
        return {false, {RunError(CannotCreateFile(res).what()).Format()}};
    outcome.ok = true;
    return outcome;
}

}  // namespace

ToolOutcome CompileFileScript(const std::string& script, const FileScript& parsed, const std::string& res,
                              const RecordOptions& options, LineLocator locate)
{
    return FileCompiler(script, options, std::move(locate)).Run(parsed, res);
}

}  // namespace brevok
