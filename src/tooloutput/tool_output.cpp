// The banner and the line rules of the companion tools' output.
#include "tooloutput/tool_output.h"

#include "platform/system_text.h"

#include <algorithm>
#include <cstdio>

namespace brevok {

std::string_view ToolsVersion()
{
    return BREVOK_VERSION;
}

std::vector<std::string> BannerLines(std::string_view toolName)
{
    const std::string first =
        std::string(toolName) + " Version " + BREVOK_VERSION + " - Brevok resource compiler";
    return {first, std::string(kCopyrightLine), ""};
}

std::vector<std::string> SplitMessageLines(std::string_view bytes)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        const char c = bytes[pos];
        if (c != '\r' && c != '\n') {
            ++pos;
            continue;
        }
        lines.emplace_back(bytes.substr(start, pos - start));
        pos += c == '\r' && pos + 1 < bytes.size() && bytes[pos + 1] == '\n' ? 2 : 1;
        start = pos;
    }
    if (start < bytes.size())
        lines.emplace_back(bytes.substr(start));
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

std::string StartFailureNotice(std::string_view runnerName, std::string_view message)
{
    return std::string(runnerName) + " Version " + BREVOK_VERSION + "\n" + std::string(kCopyrightLine) + "\n\n" +
        std::string(message);
}

std::optional<std::string> SilentFailureNotice(std::string_view output, std::string_view message)
{
    std::vector<std::string> lines = SplitMessageLines(output);
    const std::size_t split = lines.size();
    if (DropBannerLines(lines) > 0)
        return std::nullopt;
    const bool open = !output.empty() && output.back() != '\r' && output.back() != '\n';
    const std::size_t missing = split < kBannerLines ? kBannerLines - split : 0;
    std::string notice;
    for (std::size_t n = (open ? 1 : 0) + missing; n > 0; --n)
        notice += "\r\n";
    return notice + std::string(message);
}

void PrintLine(std::string_view line)
{
    WriteText(stdout, std::string(line) + "\n");
}

void PrintErrorLine(std::string_view line)
{
    WriteText(stderr, std::string(line) + "\n");
}

void PrintBanner(std::string_view toolName)
{
    for (const std::string& line : BannerLines(toolName))
        PrintLine(line);
}

}  // namespace brevok
