// File services on POSIX: stat, open/read, mkostemp, fsync and rename.
#include "platform/files.h"

#include "rules/errors.h"
#include "rules/paths.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>
#include <vector>

namespace brevok {
namespace {

// Follows a chain of symbolic links to the file a save must replace. A dangling link
// resolves to the path it names, so the save creates that file.
std::string ResolveLinks(const std::string& path)
{
    std::string current = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st { };
        if (lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return current;
        std::vector<char> buf(PATH_MAX + 1);
        const ssize_t n = readlink(current.c_str(), buf.data(), buf.size() - 1);
        if (n < 0)
            return current;
        std::string target(buf.data(), static_cast<std::size_t>(n));
        if (target.empty() || target[0] != '/')
            target = FolderPart(current, PathStyle::Posix) + target;
        current = target;
    }
    return current;
}

}  // namespace

bool FileExists(const std::string& path)
{
    struct stat st { };
    return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool FolderExists(const std::string& path)
{
    struct stat st { };
    return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool PathExists(const std::string& path)
{
    struct stat st { };
    return !path.empty() && stat(path.c_str(), &st) == 0;
}

bool PathMissing(const std::string& path)
{
    return !path.empty() && access(path.c_str(), F_OK) != 0 && errno == ENOENT;
}

void DeleteFileQuietly(const std::string& path)
{
    if (!path.empty())
        unlink(path.c_str());
}

bool CreateFolders(const std::string& folder)
{
    if (folder.empty() || FolderExists(folder))
        return true;
    std::string parent = FolderPart(folder.substr(0, folder.size() - (folder.back() == '/' ? 1 : 0)), PathStyle::Posix);
    if (!parent.empty() && parent != folder && !CreateFolders(parent))
        return false;
    return mkdir(folder.c_str(), 0777) == 0 || errno == EEXIST;
}

std::vector<std::string> FolderEntryNames(const std::string& folder)
{
    std::vector<std::string> names;
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr)
        return names;
    while (const dirent* entry = readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..")
            names.emplace_back(name);
    }
    closedir(dir);
    return names;
}

std::string ReadFileBytes(const std::string& path)
{
    const int fd = path.empty() ? -1 : open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw CannotOpenFile(path);
    struct stat st { };
    std::string data;
    if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0)
        data.reserve(static_cast<std::size_t>(st.st_size));
    else if (fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        close(fd);
        throw CannotOpenFile(path);
    }
    char chunk[65536];
    for (;;) {
        const ssize_t n = read(fd, chunk, sizeof chunk);
        if (n == 0)
            break;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            close(fd);
            throw CannotOpenFile(path);
        }
        data.append(chunk, static_cast<std::size_t>(n));
    }
    close(fd);
    return data;
}

void ReadFileInPieces(const std::string& path, const std::function<bool(std::string_view)>& sink, std::size_t pieceSize)
{
    // Opened without blocking, so that a named pipe or a device is refused at once instead
    // of waiting for a writer; only a regular file is read.
    const int fd = path.empty() ? -1 : open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    const auto cannotOpen = [&] {
        if (fd >= 0)
            close(fd);
        return CannotOpenFile(path);
    };
    struct stat st { };
    if (fd < 0 || fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || fcntl(fd, F_SETFL, 0) != 0)
        throw cannotOpen();
    const auto buffer = std::make_unique_for_overwrite<char[]>(pieceSize);
    for (;;) {
        const ssize_t n = read(fd, buffer.get(), pieceSize);
        if (n == 0)
            break;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw cannotOpen();
        }
        if (!sink(std::string_view(buffer.get(), static_cast<std::size_t>(n))))
            break;
    }
    close(fd);
}

bool WriteLayer::WriteAll(int fd, const char* data, std::size_t size) const
{
    while (size > 0) {
        const ssize_t n = write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool WriteLayer::Sync(int fd) const
{
    return fsync(fd) == 0;
}

bool WriteLayer::Rename(const std::string& from, const std::string& to) const
{
    return rename(from.c_str(), to.c_str()) == 0;
}

AtomicFileWriter::AtomicFileWriter(const std::string& path, const WriteLayer& layer)
    : path_(path), target_(ResolveLinks(path)), layer_(layer)
{
    if (path.empty() || FolderExists(target_))
        throw CannotCreateFile(path_);
    // Keep the permissions of the file being replaced; a new file gets the usual ones.
    mode_t mode = 0666;
    struct stat st { };
    const bool existed = stat(target_.c_str(), &st) == 0;
    if (existed)
        mode = st.st_mode & 07777;
    // A read-only file is not replaced, as the system would refuse to open it for writing.
    if (existed && faccessat(AT_FDCWD, target_.c_str(), W_OK, AT_EACCESS) != 0)
        throw CannotCreateFile(path_);
    std::string pattern = FolderPart(target_, PathStyle::Posix) + "." + FilePart(target_, PathStyle::Posix) + ".XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    fd_ = mkostemp(name.data(), O_CLOEXEC);
    if (fd_ < 0 && existed) {
        // The folder refuses a new file, but the script itself may be written: it is then
        // rewritten in place, its whole content gathered in memory first.
        inPlace_ = true;
        return;
    }
    if (fd_ < 0)
        throw CannotCreateFile(path_);
    temp_ = name.data();
    if (existed)
        fchmod(fd_, mode);
    else {
        const mode_t mask = umask(0);
        umask(mask);
        fchmod(fd_, mode & ~mask);
    }
    buffer_.reserve(kBufferSize);
}

void AtomicFileWriter::CommitInPlace()
{
    const int fd = open(target_.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0)
        throw CannotCreateFile(path_);
    const bool written = layer_.WriteAll(fd, buffer_.data(), buffer_.size()) && layer_.Sync(fd);
    if (close(fd) != 0 || !written)
        throw StreamWriteError();
    committed_ = true;
}

bool CloseDescriptor(int fd)
{
    return close(fd) == 0;
}

OutputFile OpenOutputFile(const std::string& path, bool append)
{
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | (append ? O_APPEND : O_TRUNC), 0666);
    return fd < 0 ? OutputFile{-1, errno} : OutputFile{fd, 0};
}

bool WriteAllTo(int fd, std::string_view text)
{
    while (!text.empty()) {
        const ssize_t wrote = write(fd, text.data(), text.size());
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0)
            return false;
        text.remove_prefix(static_cast<std::size_t>(wrote));
    }
    return true;
}

}  // namespace brevok
