// The running program's own path on Windows: GetModuleFileNameW of the program's module.
#include "platform/self_path.h"

#include "platform/wide_text.h"

#include <windows.h>

#include <string>

namespace brevok {

std::string RunningProgramPath()
{
    // GetModuleFileNameW cuts a long name short and says so only by filling the buffer, so
    // the buffer grows until the name fits with room to spare.
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0)
            return {};
        if (n < buffer.size()) {
            buffer.resize(n);
            return ProgramText(buffer);
        }
        if (buffer.size() >= 32768)
            return {};
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace brevok
