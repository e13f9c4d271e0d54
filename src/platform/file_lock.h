// An exclusive lock on a lock file, held for a scope, that excludes other programs and other
// threads of this one.
#pragma once

#include <string>

namespace brevok {

/// Takes an exclusive lock on `lockPath` (created when missing) and waits until it gets it;
/// releases it when it goes out of scope. POSIX: flock on a descriptor of its own, so two
/// locks of one process exclude each other too. Windows: LockFileEx on a handle of its own.
class FileLock {
public:
    explicit FileLock(const std::string& lockPath);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    /// False when the lock file could not be opened or locked.
    bool Held() const { return held_; }

private:
    bool held_ = false;
    /// The open lock file: a descriptor on POSIX, a HANDLE on Windows.
    long long file_ = -1;
};

}  // namespace brevok
