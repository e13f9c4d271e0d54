// File services: existence tests, whole-file reads, and atomic saves through a write layer.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace brevok {

/// True for an existing regular file (a symbolic link to one counts); false for a folder.
bool FileExists(const std::string& path);

/// True for an existing folder.
bool FolderExists(const std::string& path);

/// True when anything exists at `path`: a file, a folder, a pipe, a device.
bool PathExists(const std::string& path);

/// True when nothing exists at `path` for certain; false also when the system cannot tell
/// (a folder on the way may not be searched).
bool PathMissing(const std::string& path);

/// Deletes a file; a missing file or a failed deletion is ignored.
void DeleteFileQuietly(const std::string& path);

/// Creates the folder and every missing folder above it; true when it exists afterwards.
bool CreateFolders(const std::string& folder);

/// The names of the entries of a folder, "." and ".." left out, in the order the system lists
/// them; empty when the folder cannot be read.
std::vector<std::string> FolderEntryNames(const std::string& folder);

/// Reads the whole file. Throws Error("Cannot open file <path>") when it cannot be opened
/// or read.
std::string ReadFileBytes(const std::string& path);

/// Reads the regular file (anything else cannot be opened, and a named pipe does not block)
/// from start to end in pieces of at most `pieceSize` bytes, handing each to
/// `sink` in order, so that a large file need not be held whole; stops early when `sink`
/// returns false. Throws Error("Cannot open file <path>") when it cannot be opened or read.
void ReadFileInPieces(const std::string& path, const std::function<bool(std::string_view)>& sink,
                      std::size_t pieceSize = std::size_t{1} << 20);

/// The system calls an atomic save goes through; tests replace it to inject failures. A file
/// is a C runtime descriptor (on Windows one over the file's handle, _open_osfhandle).
class WriteLayer {
public:
    virtual ~WriteLayer() = default;
    /// Writes all of `size` bytes; false on failure (errno set).
    virtual bool WriteAll(int fd, const char* data, std::size_t size) const;
    /// Flushes the file to its device; false on failure.
    virtual bool Sync(int fd) const;
    /// Renames `from` over `to` (Windows: MoveFileEx, replacing and writing through); false
    /// on failure.
    virtual bool Rename(const std::string& from, const std::string& to) const;
};

/// Closes a descriptor of the system's C library; false when closing reported a failure.
bool CloseDescriptor(int fd);

/// A descriptor of the system's C library opened by OpenOutputFile, or why it could not be
/// (an errno value).
struct OutputFile {
    int fd = -1;
    int error = 0;
};

/// Opens `path` for writing as a shell's redirection does: created when missing (0666 less
/// the umask), emptied first unless `append`. Bytes reach the file as they are written (on
/// Windows no CR is added), and a program started later does not inherit the descriptor: it
/// is handed the file as its standard output instead.
OutputFile OpenOutputFile(const std::string& path, bool append);

/// Writes all of `text` to the descriptor `fd` through the C library (so a Windows console
/// or text-mode descriptor gets its CR LF), again after an interruption; false at the first
/// failure, what was written staying written.
bool WriteAllTo(int fd, std::string_view text);

/// The layer of the real system calls.
const WriteLayer& SystemWriteLayer();

/// Writes a file so that a failure at any point leaves the old one byte-identical: the data
/// go to a temporary file in the same folder, which is flushed and renamed over the target.
/// The target's permissions (Windows: its attributes) are kept; a symbolic link is followed,
/// not replaced. Errors:
/// "Cannot create file <path>" when the temporary file cannot be made or renamed into place,
/// "Stream write error" when writing or flushing fails. The temporary file never survives.
/// When the folder refuses the temporary file but the target exists and may be written, the
/// target is truncated and rewritten in place on Commit, the whole content ready in memory.
class AtomicFileWriter {
public:
    explicit AtomicFileWriter(const std::string& path, const WriteLayer& layer = SystemWriteLayer());
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    /// Appends bytes (buffered).
    void Write(std::string_view bytes);
    /// Flushes, syncs and renames into place. Without Commit the target is left alone.
    void Commit();

private:
    static constexpr std::size_t kBufferSize = std::size_t{1} << 20;

    void FlushBuffer();
    void CommitInPlace();
    void Abandon() noexcept;

    std::string path_;    // as given, for messages
    std::string target_;  // the file really replaced (links resolved)
    std::string temp_;
    const WriteLayer& layer_;
    int fd_ = -1;
    std::string buffer_;
    bool committed_ = false;
    /// The folder refused the temporary file: the target is rewritten in place on Commit.
    bool inPlace_ = false;
};

/// Convenience: one atomic write of `data` to `path`.
void WriteFileAtomically(const std::string& path, std::string_view data, const WriteLayer& layer = SystemWriteLayer());

}  // namespace brevok
