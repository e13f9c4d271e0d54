// The running program's own path on Windows: GetModuleFileNameA of the program's module.
#include "platform/self_path.h"

#include <windows.h>

#include <string>

namespace brevok {

std::string RunningProgramPath()
{
    // GetModuleFileNameA cuts a long name short and says so only by filling the buffer, so
    // the buffer grows until the name fits with room to spare.
    std::string buffer(MAX_PATH, '\0');
    for (;;) {
        const DWORD n = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0)
            return {};
        if (n < buffer.size()) {
            buffer.resize(n);
            return buffer;
        }
        if (buffer.size() >= 32768)
            return {};
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace brevok
