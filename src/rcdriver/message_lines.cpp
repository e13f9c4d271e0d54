// The banner and the line rules of the companion tools' output.
#include "rcdriver/message_lines.h"

#include "platform/text_lines.h"

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
    return {first, "Copyright (c) Halvane. All rights reserved.", ""};
}

std::vector<std::string> SplitMessageLines(std::string_view bytes)
{
    return SplitLines(bytes, LineBreaks::Any, NulByte::Ordinary);
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

void PrintLine(std::string_view line)
{
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
}

void PrintBanner(std::string_view toolName)
{
    for (const std::string& line : BannerLines(toolName))
        PrintLine(line);
}

}  // namespace brevok
