// Positioned reads of a regular file on Windows: CreateFileW, then ReadFile at offsets. The
// handle is kept as a C runtime descriptor over it (_open_osfhandle), which closes it.
#include "platform/read_only_file.h"

#include "platform/wide_text.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <algorithm>

namespace brevok {

ReadOnlyFile::ReadOnlyFile(const std::string& path)
{
    // Others may read, write and delete the file while we read it, as on POSIX.
    const HANDLE handle =
        CreateFileW(WideText(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return;
    LARGE_INTEGER size{};
    if (GetFileType(handle) != FILE_TYPE_DISK || !GetFileSizeEx(handle, &size)) {
        CloseHandle(handle);
        return;
    }
    fd_ = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDONLY | _O_BINARY);
    if (fd_ < 0) {
        CloseHandle(handle);
        return;
    }
    size_ = static_cast<std::uint64_t>(size.QuadPart);
}

ReadOnlyFile::~ReadOnlyFile()
{
    Close();
}

void ReadOnlyFile::Close()
{
    if (fd_ >= 0)
        _close(fd_);
    fd_ = -1;
}

std::optional<std::string> ReadOnlyFile::ReadAt(std::uint64_t offset, std::size_t count) const
{
    if (offset > size_ || count > size_ - offset)
        return std::nullopt;
    const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd_));
    std::string bytes(count, '\0');
    std::size_t done = 0;
    while (done < count) {
        const std::uint64_t at = offset + done;
        OVERLAPPED where{};
        where.Offset = static_cast<DWORD>(at & 0xFFFFFFFFu);
        where.OffsetHigh = static_cast<DWORD>(at >> 32);
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(count - done, 1u << 30));
        DWORD got = 0;
        if (!ReadFile(handle, bytes.data() + done, want, &got, &where) || got == 0)
            return std::nullopt;
        done += got;
    }
    return bytes;
}

}  // namespace brevok
