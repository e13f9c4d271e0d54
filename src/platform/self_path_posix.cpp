// The running program's own path on POSIX, read from /proc/self/exe.
#include "platform/self_path.h"

#include <unistd.h>

#include <string>

namespace brevok {

std::string RunningProgramPath()
{
    // readlink does not say whether it cut the name short, so grow the buffer until the
    // answer fits with room to spare.
    std::string buffer(256, '\0');
    for (;;) {
        const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (n < 0)
            return {};
        if (static_cast<std::size_t>(n) < buffer.size()) {
            buffer.resize(static_cast<std::size_t>(n));
            return buffer;
        }
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace brevok
