// Re-direct: points the file path of every path line of a script into the working folder.
#include "script/redirect.h"

#include "script/script_document.h"

namespace brevok {

std::optional<std::string> RedirectPathLine(std::string_view line, std::string_view workingFolder, PathStyle style)
{
    const auto open = line.find('"');
    if (open == std::string_view::npos)
        return std::nullopt;
    const auto close = line.find('"', open + 1);  // npos when the path is not closed

    auto last = std::string_view::npos;
    for (auto i = line.size(); i > 0; --i) {
        if (IsPathSeparator(line[i - 1], style)) {
            last = i - 1;
            break;
        }
    }
    // The head-and-file-part rule only makes sense when the last separator lies inside the
    // first quoted item. Applied to any other line it would cut text out of it or paste the
    // folder in front of the whole line, so those lines are left exactly as they are.
    if (last == std::string_view::npos || last < open || last > close)
        return std::nullopt;

    std::string out;
    out.reserve(line.size() + workingFolder.size());
    out.append(line.substr(0, open + 1)).append(workingFolder).append(line.substr(last + 1));
    return out;
}

std::size_t RedirectScriptPaths(ScriptDocument& document, std::string_view workingFolder, PathStyle style)
{
    std::size_t replaced = 0;
    for (std::size_t i = 0; i < document.LineCount(); ++i) {
        auto line = RedirectPathLine(document.Line(i), workingFolder, style);
        if (!line || *line == document.Line(i))
            continue;
        document.Replace(i, std::move(*line));
        ++replaced;
    }
    return replaced;
}

}  // namespace brevok
