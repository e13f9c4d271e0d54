// The lock file on POSIX: flock on a descriptor opened for this lock alone.
#include "platform/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

namespace brevok {

FileLock::FileLock(const std::string& lockPath)
{
    const int fd = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0)
        return;
    while (flock(fd, LOCK_EX) != 0) {
        if (errno != EINTR) {
            close(fd);
            return;
        }
    }
    file_ = fd;
    held_ = true;
}

FileLock::~FileLock()
{
    if (held_)
        close(static_cast<int>(file_));  // closing the last descriptor releases the lock
}

}  // namespace brevok
