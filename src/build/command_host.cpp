// The message-pane steps that Compile and Build All share.
#include "build/command_host.h"

#include "platform/files.h"

#include <algorithm>
#include <cstddef>

namespace brevok {

std::vector<std::string> SplitMessageLines(const std::string& bytes)
{
    std::vector<std::string> lines;
    std::string line;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c != '\r' && c != '\n') {
            line += c;
            continue;
        }
        if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            ++i;
        lines.push_back(std::move(line));
        line.clear();
    }
    if (!line.empty())
        lines.push_back(std::move(line));
    return lines;
}

std::size_t DropBannerLines(std::vector<std::string>& lines)
{
    const std::size_t drop = std::min(kBannerLines, lines.size());
    lines.erase(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(drop));
    std::size_t count = lines.size();
    if (count > 0 && lines.back().empty())
        --count;
    if (count == 0)
        lines.clear();
    return count;
}

std::size_t LoadCompilerMessages(CommandHost& host, const std::string& path)
{
    std::vector<std::string> lines = SplitMessageLines(ReadFileBytes(path));
    // Removing a line from an empty pane does nothing, so a short output leaves it empty.
    const std::size_t count = DropBannerLines(lines);
    host.SetMessages(lines);
    return count;
}

}  // namespace brevok
