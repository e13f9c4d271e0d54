// The message-pane steps that Compile and Build All share.
#include "workbench/command_host.h"

#include "platform/files.h"
#include "tooloutput/tool_output.h"

#include <algorithm>
#include <cstddef>

namespace brevok {

std::size_t LoadCompilerMessages(CommandHost& host, const std::string& path)
{
    std::vector<std::string> lines = SplitMessageLines(ReadFileBytes(path));
    // Removing a line from an empty pane does nothing, so a short output leaves it empty.
    const std::size_t count = DropBannerLines(lines);
    host.SetMessages(lines);
    return count;
}

}  // namespace brevok
