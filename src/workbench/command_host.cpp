// The message-pane steps that Compile and Build All share.
#include "workbench/command_host.h"

#include "platform/files.h"
#include "tooloutput/tool_output.h"
#include "workbench/workbench_view.h"

#include <algorithm>
#include <cstddef>

namespace brevok {

BusyCursor::BusyCursor(WorkbenchView& view) : view_(view)
{
    view_.BeginBusy();
}

BusyCursor::~BusyCursor()
{
    view_.EndBusy();
}

std::size_t LoadCompilerMessages(WorkbenchView& view, const std::string& path)
{
    std::vector<std::string> lines = SplitMessageLines(ReadFileBytes(path));
    // Removing a line from an empty pane does nothing, so a short output leaves it empty.
    const std::size_t count = DropBannerLines(lines);
    view.SetMessages(lines);
    return count;
}

}  // namespace brevok
