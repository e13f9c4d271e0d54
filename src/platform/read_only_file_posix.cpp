// Positioned reads of a regular file on POSIX: open, fstat and pread.
#include "platform/read_only_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace brevok {

ReadOnlyFile::ReadOnlyFile(const std::string& path) : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC))
{
    struct stat info { };
    if (fd_ >= 0 && ::fstat(fd_, &info) == 0 && S_ISREG(info.st_mode))
        size_ = static_cast<std::uint64_t>(info.st_size);
    else
        Close();
}

ReadOnlyFile::~ReadOnlyFile()
{
    Close();
}

void ReadOnlyFile::Close()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

std::optional<std::string> ReadOnlyFile::ReadAt(std::uint64_t offset, std::size_t count) const
{
    if (offset > size_ || count > size_ - offset)
        return std::nullopt;
    std::string bytes(count, '\0');
    std::size_t done = 0;
    while (done < count) {
        const ssize_t n = ::pread(fd_, bytes.data() + done, count - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return std::nullopt;
        done += static_cast<std::size_t>(n);
    }
    return bytes;
}

}  // namespace brevok
