// llvm-rc's search for data files (ResourceFileWriter::loadFile), with the front end's options.
#include "rcdriver/data_files.h"

#include "platform/paths.h"
#include "platform/temp_files.h"

#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <fstream>

namespace brevok {

namespace {

/// The name the front end gives the preprocessed copy of the script.
constexpr const char* kPreprocessedName = "preprocessed.rc";

/// `folder` + `path` as LLVM's path::append joins them.
std::string Join(const std::string& folder, const std::string& path)
{
    if (folder.empty())
        return path;
    return folder.back() == '/' ? folder + path : folder + "/" + path;
}

/// LLVM's fs::exists: access(F_OK), so a dangling link does not count.
bool Exists(const std::string& path)
{
    return access(path.c_str(), F_OK) == 0;
}

std::string CurrentFolder()
{
    char buffer[PATH_MAX];
    return getcwd(buffer, sizeof buffer) != nullptr ? std::string(buffer) : std::string(".");
}

std::string RealPath(const std::string& path)
{
    char buffer[PATH_MAX];
    return realpath(path.c_str(), buffer) != nullptr ? std::string(buffer) : std::string();
}

}  // namespace

DataFileFinder::DataFileFinder(std::string script, bool preprocessed)
    : script_(std::move(script)), preprocessed_(preprocessed)
{
}

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
    if (real.empty() || folder.empty() || real == folder || real.rfind(folder + "/", 0) == 0)
        return {DataFileLookup::Outcome::PrivateFolder, {}};
    return {DataFileLookup::Outcome::Found, candidate};
}

DataFileLookup DataFileFinder::Find(const std::string& path)
{
    using Outcome = DataFileLookup::Outcome;
    if (!path.empty() && path[0] == '/')
        return {Outcome::Found, path};
    if (const std::string inCurrent = Join(CurrentFolder(), path); Exists(inCurrent))
        return {Outcome::Found, inCurrent};
    const std::string scriptFolder = FolderPart(script_, PathStyle::Posix);
    if (preprocessed_) {
        if (DataFileLookup lookup = FindInPrivateFolder(path); lookup.outcome != Outcome::NotFound)
            return lookup;
    } else if (const std::string beside = Join(scriptFolder, path); Exists(beside)) {
        return {Outcome::Found, beside};
    }
    if (const std::string included = Join(scriptFolder.empty() ? "." : scriptFolder, path); Exists(included))
        return {Outcome::Found, included};
    if (const char* include = std::getenv("INCLUDE")) {
        const std::string folders = include;
        std::size_t start = 0;
        while (start <= folders.size()) {
            const std::size_t colon = std::min(folders.find(':', start), folders.size());
            const std::string folder = folders.substr(start, colon - start);
            start = colon + 1;
            if (!folder.empty() && Exists(Join(folder, path)))
                return {Outcome::Found, Join(folder, path)};
        }
    }
    return {Outcome::NotFound, {}};
}

}  // namespace brevok
