// Path rules shared by the script commands, the compiler driver and the settings.
#include "rules/paths.h"

namespace brevok {
namespace {

std::string_view::size_type LastSeparator(std::string_view path, PathStyle style)
{
    for (auto i = path.size(); i > 0; --i) {
        if (IsPathSeparator(path[i - 1], style))
            return i - 1;
    }
    return std::string_view::npos;
}

// Index of the dot that starts the extension, or npos.
std::string_view::size_type ExtensionDot(std::string_view path, PathStyle style)
{
    const auto dot = path.rfind('.');
    if (dot == std::string_view::npos)
        return dot;
    const auto sep = LastSeparator(path, style);
    if (sep != std::string_view::npos && sep > dot)
        return std::string_view::npos;
    return dot;
}

}  // namespace

bool IsPathSeparator(char c, PathStyle style)
{
    if (style == PathStyle::Windows)
        return c == '\\' || c == ':';
    return c == '/';
}

char FolderSeparator(PathStyle style)
{
    return style == PathStyle::Windows ? '\\' : '/';
}

std::string FolderPart(std::string_view path, PathStyle style)
{
    const auto sep = LastSeparator(path, style);
    if (sep == std::string_view::npos)
        return {};
    return std::string(path.substr(0, sep + 1));
}

std::string FilePart(std::string_view path, PathStyle style)
{
    const auto sep = LastSeparator(path, style);
    if (sep == std::string_view::npos)
        return std::string(path);
    return std::string(path.substr(sep + 1));
}

std::string ExtensionOf(std::string_view path, PathStyle style)
{
    const auto dot = ExtensionDot(path, style);
    if (dot == std::string_view::npos)
        return {};
    return std::string(path.substr(dot));
}

std::string ReplaceExtension(std::string_view path, std::string_view newExtension, PathStyle style)
{
    const auto dot = ExtensionDot(path, style);
    std::string out(path.substr(0, dot == std::string_view::npos ? path.size() : dot));
    out += newExtension;
    return out;
}

std::string EnsureTrailingBackslash(std::string_view path, PathStyle style)
{
    std::string out(path);
    const char sep = FolderSeparator(style);
    if (out.empty() || out.back() != sep)
        out += sep;
    return out;
}

std::vector<std::string> SplitSearchList(std::string_view list)
{
    std::vector<std::string> entries;
    while (true) {
        const std::size_t end = list.find(kSearchPathSeparator);
        entries.emplace_back(list.substr(0, end));
        if (end == std::string_view::npos)
            return entries;
        list.remove_prefix(end + 1);
    }
}

}  // namespace brevok
