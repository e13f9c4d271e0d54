// Starting a program without waiting for it on Windows, as WinExec does: CreateProcessW,
// then the handles are closed at once.
#include "platform/detached_start.h"

#include "platform/command_line.h"
#include "platform/wide_text.h"

#include <windows.h>

#include <vector>

namespace brevok {

bool StartDetached(const std::string& commandLine)
{
    const std::vector<std::string> words = SplitCommandWithProgram(commandLine);
    if (words.empty())
        return false;
    std::wstring line = WideText(WindowsCommandLine(LaunchArguments(words)));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    // No handle of ours is inherited, and the program gets no console of ours: it runs on
    // by itself after we are gone.
    if (line.empty() || !CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS, nullptr, nullptr, &startup,
                        &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

}  // namespace brevok
