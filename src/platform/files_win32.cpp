// File services on Windows: file attributes, CreateFileW/ReadFile, and atomic saves through a
// temporary file beside the target, FlushFileBuffers and MoveFileExW. Every name goes to the
// system through the wide calls (platform/wide_text.h).
#include "platform/files.h"

#include "platform/wide_text.h"

#include "rules/errors.h"
#include "rules/paths.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <functional>
#include <memory>
#include <optional>

namespace brevok {
namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

/// The attributes of an existing path; nothing when there is none.
std::optional<DWORD> AttributesOf(const std::string& path)
{
    if (path.empty())
        return std::nullopt;
    const DWORD attributes = GetFileAttributesW(WideText(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return std::nullopt;
    return attributes;
}

/// Opens a regular file on disk for reading; a pipe, a console or another device is closed
/// again and refused, so that nothing blocks waiting for a writer.
HANDLE OpenDiskFile(const std::string& path)
{
    if (path.empty())
        return INVALID_HANDLE_VALUE;
    const HANDLE handle = CreateFileW(WideText(path).c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (handle != INVALID_HANDLE_VALUE && GetFileType(handle) != FILE_TYPE_DISK) {
        CloseHandle(handle);
        return INVALID_HANDLE_VALUE;
    }
    return handle;
}

/// Closes a handle when it goes out of scope.
class HandleCloser {
public:
    explicit HandleCloser(HANDLE handle) : handle_(handle) { }
    ~HandleCloser()
    {
        if (handle_ != INVALID_HANDLE_VALUE)
            CloseHandle(handle_);
    }
    HandleCloser(const HandleCloser&) = delete;
    HandleCloser& operator=(const HandleCloser&) = delete;

private:
    HANDLE handle_;
};

/// Reads the open file to its end in pieces of `pieceSize`; false when a read fails.
bool ReadPieces(HANDLE handle, std::size_t pieceSize, const std::function<bool(std::string_view)>& sink)
{
    const auto buffer = std::make_unique_for_overwrite<char[]>(pieceSize);
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(pieceSize, 1u << 30));
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(handle, buffer.get(), want, &got, nullptr))
            return false;
        if (got == 0 || !sink(std::string_view(buffer.get(), got)))
            return true;
    }
}

/// A C runtime descriptor over a new handle; -1 (and the handle closed) when none is free.
int DescriptorOf(HANDLE handle, int flags)
{
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), flags | _O_BINARY);
    if (fd < 0)
        CloseHandle(handle);
    return fd;
}

/// A name for the temporary file beside `target` that no other save in this process or
/// another one picks at the same time.
std::string TemporaryNameFor(const std::string& target, unsigned attempt)
{
    static std::atomic<unsigned> counter{0};
    const unsigned serial = counter.fetch_add(1) + attempt;
    return FolderPart(target) + "." + FilePart(target) + "." + std::to_string(GetCurrentProcessId()) + "-" +
        std::to_string(serial) + ".tmp";
}

}  // namespace

bool FileExists(const std::string& path)
{
    const auto attributes = AttributesOf(path);
    return attributes && (*attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool FolderExists(const std::string& path)
{
    const auto attributes = AttributesOf(path);
    return attributes && (*attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool PathExists(const std::string& path)
{
    return AttributesOf(path).has_value();
}

bool PathMissing(const std::string& path)
{
    if (path.empty() || AttributesOf(path))
        return false;
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

void DeleteFileQuietly(const std::string& path)
{
    if (!path.empty())
        DeleteFileW(WideText(path).c_str());
}

bool CreateFolders(const std::string& folder)
{
    if (folder.empty() || FolderExists(folder))
        return true;
    std::string trimmed = folder;
    while (trimmed.size() > 1 && IsPathSeparator(trimmed.back()) && trimmed.back() != ':')
        trimmed.pop_back();
    const std::string parent = FolderPart(trimmed);
    if (!parent.empty() && parent != folder && !CreateFolders(parent))
        return false;
    return CreateDirectoryW(WideText(trimmed).c_str(), nullptr) != 0 || GetLastError() == ERROR_ALREADY_EXISTS;
}

std::vector<std::string> FolderEntryNames(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW(WideText(EnsureTrailingBackslash(folder).append("*")).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        const std::wstring_view name = found.cFileName;
        if (name != L"." && name != L"..")
            names.push_back(ProgramText(name));
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

std::string ReadFileBytes(const std::string& path)
{
    const HANDLE handle = OpenDiskFile(path);
    if (handle == INVALID_HANDLE_VALUE)
        throw CannotOpenFile(path);
    HandleCloser closer(handle);
    std::string data;
    LARGE_INTEGER size{};
    if (GetFileSizeEx(handle, &size) && size.QuadPart > 0)
        data.reserve(static_cast<std::size_t>(size.QuadPart));
    const bool read = ReadPieces(handle, 65536, [&data](std::string_view piece) {
        data.append(piece);
        return true;
    });
    if (!read)
        throw CannotOpenFile(path);
    return data;
}

void ReadFileInPieces(const std::string& path, const std::function<bool(std::string_view)>& sink, std::size_t pieceSize)
{
    const HANDLE handle = OpenDiskFile(path);
    if (handle == INVALID_HANDLE_VALUE)
        throw CannotOpenFile(path);
    HandleCloser closer(handle);
    if (!ReadPieces(handle, pieceSize, sink))
        throw CannotOpenFile(path);
}

bool WriteLayer::WriteAll(int fd, const char* data, std::size_t size) const
{
    const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
    if (handle == INVALID_HANDLE_VALUE) {
        errno = EBADF;
        return false;
    }
    while (size > 0) {
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
        DWORD wrote = 0;
        if (!WriteFile(handle, data, want, &wrote, nullptr) || wrote == 0) {
            errno = GetLastError() == ERROR_DISK_FULL ? ENOSPC : EIO;
            return false;
        }
        data += wrote;
        size -= wrote;
    }
    return true;
}

bool WriteLayer::Sync(int fd) const
{
    const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
    return handle != INVALID_HANDLE_VALUE && FlushFileBuffers(handle) != 0;
}

bool WriteLayer::Rename(const std::string& from, const std::string& to) const
{
    return MoveFileExW(WideText(from).c_str(), WideText(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

AtomicFileWriter::AtomicFileWriter(const std::string& path, const WriteLayer& layer)
    : path_(path), target_(path), layer_(layer)
{
    if (path.empty() || FolderExists(target_))
        throw CannotCreateFile(path_);
    const std::optional<DWORD> old = AttributesOf(target_);
    // A read-only file is not replaced, as the system would refuse to open it for writing.
    if (old && (*old & FILE_ATTRIBUTE_READONLY) != 0)
        throw CannotCreateFile(path_);
    // The new file carries the old one's attributes (hidden, system, archive, ...), which the
    // rename then keeps; a new file gets the usual ones.
    const DWORD attributes = old ? (*old &
                                    (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                     FILE_ATTRIBUTE_NOT_CONTENT_INDEXED))
                                 : FILE_ATTRIBUTE_NORMAL;
    HANDLE handle = INVALID_HANDLE_VALUE;
    std::string temp;
    for (unsigned attempt = 0; attempt < 100 && handle == INVALID_HANDLE_VALUE; ++attempt) {
        temp = TemporaryNameFor(target_, attempt);
        handle = CreateFileW(WideText(temp).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                             attributes == 0 ? FILE_ATTRIBUTE_NORMAL : attributes, nullptr);
        if (handle == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS)
            break;
    }
    if (handle == INVALID_HANDLE_VALUE && old) {
        // The folder refuses a new file, but the script itself may be written: it is then
        // rewritten in place, its whole content gathered in memory first.
        inPlace_ = true;
        return;
    }
    if (handle == INVALID_HANDLE_VALUE)
        throw CannotCreateFile(path_);
    fd_ = DescriptorOf(handle, _O_WRONLY);
    if (fd_ < 0) {
        DeleteFileW(WideText(temp).c_str());
        throw CannotCreateFile(path_);
    }
    temp_ = temp;
    buffer_.reserve(kBufferSize);
}

void AtomicFileWriter::CommitInPlace()
{
    const HANDLE handle = CreateFileW(WideText(target_).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                      TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        throw CannotCreateFile(path_);
    const int fd = DescriptorOf(handle, _O_WRONLY);
    if (fd < 0)
        throw CannotCreateFile(path_);
    const bool written = layer_.WriteAll(fd, buffer_.data(), buffer_.size()) && layer_.Sync(fd);
    if (_close(fd) != 0 || !written)
        throw StreamWriteError();
    committed_ = true;
}

bool CloseDescriptor(int fd)
{
    return _close(fd) == 0;
}

OutputFile OpenOutputFile(const std::string& path, bool append)
{
    const int flags = _O_WRONLY | _O_CREAT | _O_BINARY | _O_NOINHERIT | (append ? _O_APPEND : _O_TRUNC);
    const int fd = _wopen(WideText(path).c_str(), flags, 0666);
    if (fd < 0)
        return OutputFile{-1, errno};
    // _O_APPEND is the C runtime's own: only its _write goes to the end first. A command given
    // the file's handle writes where the handle points, so it is pointed at the end here, as
    // cmd.exe does for ">>".
    if (append && _lseeki64(fd, 0, SEEK_END) < 0) {
        const int error = errno;
        _close(fd);
        return OutputFile{-1, error};
    }
    return OutputFile{fd, 0};
}

bool WriteAllTo(int fd, std::string_view text)
{
    // _write hands all it is given to the file (a text-mode descriptor in pieces of its own)
    // and is never interrupted: one call writes the whole text or fails.
    const auto size = static_cast<unsigned>(text.size());
    return size == 0 || _write(fd, text.data(), size) == static_cast<int>(size);
}

}  // namespace brevok
