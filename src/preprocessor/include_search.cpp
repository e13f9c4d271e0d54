// The include search of the preprocessor.
#include "preprocessor/include_search.h"

#include "platform/files.h"
#include "rules/paths.h"
#include "platform/command_line.h"
#include "rules/ascii.h"

#include <algorithm>
#include <cstdlib>

namespace brevok {

namespace {

bool IsEitherSeparator(char c)
{
    return c == '/' || c == '\\';
}

/// `base` joined with `part` by the system's separator; an empty base is the current folder.
std::string JoinPart(const std::string& base, std::string_view part)
{
    if (base.empty())
        return std::string(part);
    return EnsureTrailingBackslash(base) + std::string(part);
}

std::vector<std::string_view> SplitParts(std::string_view relative)
{
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= relative.size(); ++i) {
        if (i == relative.size() || IsEitherSeparator(relative[i])) {
            if (i > start)
                parts.push_back(relative.substr(start, i - start));
            start = i + 1;
        }
    }
    return parts;
}

/// True for a name that starts at a root: "/x", "\x", "C:\x" or "C:/x".
bool IsRooted(std::string_view name)
{
    if (!name.empty() && IsEitherSeparator(name[0]))
        return true;
    return kHostPathStyle == PathStyle::Windows && name.size() > 2 && name[1] == ':' && IsEitherSeparator(name[2]);
}

}  // namespace

std::string FindFileIgnoringCase(const std::string& base, std::string_view relative)
{
    const std::vector<std::string_view> parts = SplitParts(relative);
    if (parts.empty())
        return {};
    std::string path = base;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const bool last = i + 1 == parts.size();
        std::string exact = JoinPart(path, parts[i]);
        if (last ? FileExists(exact) : FolderExists(exact)) {
            path = std::move(exact);
            continue;
        }
        if (kHostPathStyle == PathStyle::Windows)
            return {};  // the system's own lookup already ignores letter case
        std::vector<std::string> entries = FolderEntryNames(path.empty() ? "." : path);
        std::sort(entries.begin(), entries.end());
        const std::string wanted = AsciiUpper(parts[i]);
        const auto match = std::find_if(entries.begin(), entries.end(), [&](const std::string& entry) {
            const std::string candidate = JoinPart(path, entry);
            return AsciiUpper(entry) == wanted && (last ? FileExists(candidate) : FolderExists(candidate));
        });
        if (match == entries.end())
            return {};
        path = JoinPart(path, *match);
    }
    return path;
}

std::string IncludeSearch::Find(std::string_view name, const std::string& includingFolder) const
{
    if (name.empty())
        return {};
    if (IsRooted(name)) {
        const std::size_t rootEnd = kHostPathStyle == PathStyle::Windows && name.size() > 2 && name[1] == ':' ? 3 : 1;
        return FindFileIgnoringCase(std::string(name.substr(0, rootEnd)), name.substr(rootEnd));
    }
    if (std::string found = FindFileIgnoringCase(includingFolder, name); !found.empty())
        return found;
    for (const std::string& folder : folders_)
        if (std::string found = FindFileIgnoringCase(folder, name); !found.empty())
            return found;
    return {};
}

std::vector<std::string> IncludeVariableFolders(std::string_view include)
{
    std::vector<std::string> folders = SplitSearchList(include);
    std::erase(folders, std::string());
    return folders;
}

std::string ShippedHeaderFolder()
{
    const std::string folder = ProgramFolder();
    if (folder.empty())
        return {};
    const std::string own = EnsureTrailingBackslash(folder);
    for (const std::string& candidate : {own + "include", own + "../share/brevok/include"})
        if (FolderExists(candidate))
            return candidate;
    return {};
}

}  // namespace brevok
