// The lock file on Windows: LockFileEx over the first byte, on a handle opened for this lock
// alone.
#include "platform/file_lock.h"

#include "platform/wide_text.h"

#include <windows.h>

namespace brevok {

FileLock::FileLock(const std::string& lockPath)
{
    const HANDLE handle = CreateFileW(WideText(lockPath).c_str(), GENERIC_READ | GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return;
    OVERLAPPED whole{};
    if (!LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &whole)) {
        CloseHandle(handle);
        return;
    }
    file_ = reinterpret_cast<long long>(handle);
    held_ = true;
}

FileLock::~FileLock()
{
    if (!held_)
        return;
    const HANDLE handle = reinterpret_cast<HANDLE>(file_);
    OVERLAPPED whole{};
    UnlockFileEx(handle, 0, 1, 0, &whole);
    CloseHandle(handle);
}

}  // namespace brevok
