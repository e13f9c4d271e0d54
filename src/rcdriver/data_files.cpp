// llvm-rc's search for data files (ResourceFileWriter::loadFile), with the front end's options.
#include "rcdriver/data_files.h"

#include "rcdriver/include_search.h"

#include "platform/paths.h"
#include "platform/temp_files.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace brevok {

namespace {

/// The name the front end gives the preprocessed copy of the script.
constexpr const char* kPreprocessedName = "preprocessed.rc";

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
    return std::filesystem::exists(path, ignored);
}

std::string CurrentFolder()
{
    std::error_code ignored;
    const std::string folder = std::filesystem::current_path(ignored).string();
    return folder.empty() ? std::string(".") : folder;
}

std::string RealPath(const std::string& path)
{
    std::error_code ignored;
    return std::filesystem::canonical(path, ignored).string();
}

}  // namespace

DataFileFinder::DataFileFinder(std::string script, const CompileOptions& options)
    : script_(std::move(script)),
      includeFolders_(options.includeFolders),
      includeVariableFolders_(SearchedIncludeVariableFolders(options))
{ }

DataFileFinder::~DataFileFinder() = default;

DataFileLookup DataFileFinder::FindInPrivateFolder(const std::string& path)
{
    if (!private_) {
        private_ = std::make_unique<TempFolder>();
        if (private_->Valid())
            std::ofstream(private_->File(kPreprocessedName));
    }
    if (!private_->Valid())
        return {DataFileLookup::Outcome::PrivateFolder, {}};
    const std::string candidate = Join(private_->Path(), path);
    if (!Exists(candidate))
        return {DataFileLookup::Outcome::NotFound, {}};
    // "../x" leaves the private folder for the temporary folder, whose files are the user's.
    const std::string real = RealPath(candidate);
    const std::string folder = RealPath(private_->Path());
    if (real.empty() || folder.empty() || real == folder || real.rfind(Join(folder, ""), 0) == 0)
        return {DataFileLookup::Outcome::PrivateFolder, {}};
    return {DataFileLookup::Outcome::Found, candidate};
}

DataFileLookup DataFileFinder::Find(const std::string& path)
{
    DataFileLookup lookup = FindAsLlvmRc(path);
    if (lookup.outcome != DataFileLookup::Outcome::NotFound || kHostPathStyle == PathStyle::Windows)
        return lookup;
    // We differ from llvm-rc on purpose here: scripts written for Windows name their files
    // with backslashes and in any letter case, which a case-sensitive system does not find
    // as written. Where llvm-rc would fail, the same places are searched for such a name.
    for (const std::string& folder : SearchFolders())
        if (std::string found = FindFileIgnoringCase(folder, path); !found.empty())
            return {DataFileLookup::Outcome::Found, found};
    return lookup;
}

std::vector<std::string> DataFileFinder::SearchFolders() const
{
    std::vector<std::string> folders = {CurrentFolder()};
    const std::string scriptFolder = FolderPart(script_);
    folders.push_back(scriptFolder.empty() ? "." : scriptFolder);
    folders.insert(folders.end(), includeFolders_.begin(), includeFolders_.end());
    folders.insert(folders.end(), includeVariableFolders_.begin(), includeVariableFolders_.end());
    return folders;
}

DataFileLookup DataFileFinder::FindAsLlvmRc(const std::string& path)
{
    using Outcome = DataFileLookup::Outcome;
    if (HasRootFolder(path))
        return {Outcome::Found, path};
    if (const std::string inCurrent = Join(CurrentFolder(), path); Exists(inCurrent))
        return {Outcome::Found, inCurrent};
    const std::string scriptFolder = FolderPart(script_);
    if (DataFileLookup lookup = FindInPrivateFolder(path); lookup.outcome != Outcome::NotFound)
        return lookup;
    if (const std::string included = Join(scriptFolder.empty() ? "." : scriptFolder, path); Exists(included))
        return {Outcome::Found, included};
    for (const std::string& folder : includeFolders_)
        if (const std::string candidate = Join(folder, path); Exists(candidate))
            return {Outcome::Found, candidate};
    for (const std::string& folder : includeVariableFolders_)
        if (const std::string candidate = Join(folder, path); Exists(candidate))
            return {Outcome::Found, candidate};
    return {Outcome::NotFound, {}};
}

}  // namespace brevok
