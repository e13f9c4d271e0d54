// llvm-rc's search for data files (ResourceFileWriter::loadFile), with the driver's folders.
#include "rccompiler/data_files.h"

#include "preprocessor/include_search.h"

#include "rules/paths.h"
#include "platform/system_text.h"
#include "rules/text_encoding.h"

#include <algorithm>
#include <filesystem>

namespace brevok {

namespace {

bool IsSeparator(char c)
{
    return IsPathSeparator(c, kHostPathStyle) && c != ':';
}

/// LLVM's path::has_root_directory: "/x", and on Windows also "\\x" and "C:\\x".
bool HasRootFolder(const std::string& path)
{
    if (!path.empty() && IsSeparator(path[0]))
        return true;
    return kHostPathStyle == PathStyle::Windows && path.size() > 2 && path[1] == ':' && IsSeparator(path[2]);
}

/// `folder` + `path` as LLVM's path::append joins them.
std::string Join(const std::string& folder, const std::string& path)
{
    if (folder.empty())
        return path;
    return IsSeparator(folder.back()) ? folder + path : folder + FolderSeparator() + path;
}

/// LLVM's fs::exists: the path leads somewhere (links followed, so a dangling link does not).
bool Exists(const std::string& path)
{
    std::error_code ignored;
    return std::filesystem::exists(SystemPath(path), ignored);
}

std::string CurrentFolder()
{
    std::error_code ignored;
    const std::string folder = ProgramPath(std::filesystem::current_path(ignored));
    return folder.empty() ? std::string(".") : folder;
}

}  // namespace

std::string PathOfFileName(std::string_view quoted)
{
    if (!quoted.empty() && (quoted[0] == 'L' || quoted[0] == 'l'))
        quoted.remove_prefix(1);
    if (quoted.size() < 2 || quoted.front() != '"')
        return std::string(quoted);
    quoted = quoted.substr(1, quoted.size() - 2);
    std::string path;
    for (std::size_t i = 0; i < quoted.size(); ++i) {
        path += quoted[i];
        if (quoted[i] == '"' && i + 1 < quoted.size() && quoted[i + 1] == '"')
            ++i;
    }
    return path;
}

DataFileFinder::DataFileFinder(std::string script, std::vector<std::string> folders)
    : script_(std::move(script)), folders_(std::move(folders))
{ }

std::string DataFileFinder::Find(std::string_view written, int codePage) const
{
    const std::vector<std::string> names = FileNameLookups(written, codePage);
    for (const std::string& name : names)
        if (std::string found = FindName(name); !found.empty())
            return found;
    return HasRootFolder(names.front()) ? names.front() : std::string();
}

std::string DataFileFinder::FindName(const std::string& name) const
{
    if (HasRootFolder(name))
        return Exists(name) ? name : std::string();
    std::string found = FindAsWritten(name);
    if (!found.empty() || kHostPathStyle == PathStyle::Windows)
        return found;
    // Scripts written for Windows name their files with backslashes and in any letter case,
    // which a case-sensitive system does not find as written. Where rc.exe on Windows would
    // find the file, the same places are searched for such a name.
    for (const std::string& folder : SearchFolders())
        if (found = FindFileIgnoringCase(folder, name); !found.empty())
            return found;
    return {};
}

std::vector<std::string> DataFileFinder::SearchFolders() const
{
    const std::string scriptFolder = FolderPart(script_);
    std::vector<std::string> folders = {scriptFolder.empty() ? "." : scriptFolder, CurrentFolder()};
    folders.insert(folders.end(), folders_.begin(), folders_.end());
    return folders;
}

std::string DataFileFinder::FindAsWritten(const std::string& path) const
{
    for (const std::string& folder : SearchFolders())
        if (std::string candidate = Join(folder, path); Exists(candidate))
            return candidate;
    return {};
}

}  // namespace brevok
