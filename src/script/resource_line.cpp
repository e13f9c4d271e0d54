// Resource lines that Add File writes: the type from a file's extension, the name rule and
// the line itself.
#include "script/resource_line.h"
#include "rules/ascii.h"

#include <algorithm>

namespace brevok {
namespace {

bool IsResourceNameChar(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

}  // namespace

std::string ResourceTypeForPath(std::string_view path, PathStyle style)
{
    const std::string extension = AsciiUpper(ExtensionOf(path, style));
    // Every row is compared, like the table lookup it stands for; the extensions are
    // distinct, so at most one row matches.
    std::string_view type = kFallbackResourceType;
    for (const ExtensionType& row : kExtensionTable) {
        if (row.extension == extension)
            type = row.type;
    }
    return std::string(type);
}

bool IsValidResourceName(std::string_view name)
{
    if (name.empty() || name.size() > kMaxResourceNameLength)
        return false;
    return std::all_of(name.begin(), name.end(), IsResourceNameChar);
}

std::string BuildResourceLine(std::string_view name, std::string_view type, std::string_view fullPath)
{
    std::string line;
    line.reserve(name.size() + type.size() + fullPath.size() + 4);
    line.append(name).append(1, ' ').append(type).append(" \"").append(fullPath).append(1, '"');
    return line;
}

}  // namespace brevok
