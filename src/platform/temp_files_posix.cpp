// The compile's temporary folder and its atomically replaced output file, on POSIX.
#include "platform/temp_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <random>

namespace brevok {

TempFolder::TempFolder()
{
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/brevok-rc-XXXXXX";
    if (mkdtemp(pattern.data()) != nullptr)
        path_ = pattern;
}

TempFolder::~TempFolder()
{
    if (path_.empty())
        return;
    for (const std::string& file : files_)
        unlink(file.c_str());
    rmdir(path_.c_str());
}

std::string TempFolder::File(const std::string& name)
{
    files_.push_back(path_ + "/" + name);
    return files_.back();
}

TempOutput::TempOutput(const std::string& target) : target_(target)
{
    std::random_device random;
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
        std::string candidate = target + ".tmp" + std::to_string(getpid()) + "-" + std::to_string(random() % 1000000);
        const int fd = open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            close(fd);
            path_ = candidate;
        } else if (errno != EEXIST) {
            break;
        }
    }
}

TempOutput::~TempOutput()
{
    if (!path_.empty())
        unlink(path_.c_str());
}

bool TempOutput::Commit()
{
    struct stat old { };
    if (stat(target_.c_str(), &old) == 0)
        chmod(path_.c_str(), old.st_mode & 07777);
    if (rename(path_.c_str(), target_.c_str()) != 0)
        return false;
    path_.clear();
    return true;
}

}  // namespace brevok
