// Finding llvm-rc beside the program or in the folders of the search path.
#include "rcdriver/tool_lookup.h"

#include "platform/command_line.h"
#include "platform/files.h"
#include "platform/paths.h"

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string_view>
#include <vector>

namespace brevok {

namespace {

/// The highest `base`-NN (NN digits) in the folders of `searchPath`, as Debian installs
/// versioned LLVM tools; empty when there is none.
std::string FindVersioned(const std::string& base, const std::string& searchPath)
{
    const std::string prefix = base + "-";
    std::string best;
    long bestVersion = -1;
    std::vector<std::string> folders = SplitSearchList(searchPath);
    // An empty entry is the current folder, but not the one after a trailing separator (nor
    // the empty list's): versioned names are looked for in the folders the list spells out.
    if (folders.back().empty())
        folders.pop_back();
    for (const std::string& listed : folders) {
        const std::string folder = listed.empty() ? "." : listed;
        for (const std::string& entry : FolderEntryNames(folder)) {
            const std::string_view name = entry;
            if (name.substr(0, prefix.size()) != prefix || name.size() == prefix.size())
                continue;
            const std::string_view digits = name.substr(prefix.size());
            if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
                continue;
            const long version = std::strtol(std::string(digits).c_str(), nullptr, 10);
            const std::string candidate = EnsureTrailingBackslash(folder) + std::string(name);
            if (version > bestVersion && IsRunnableFile(candidate)) {
                bestVersion = version;
                best = candidate;
            }
        }
    }
    return best;
}

/// `base` beside the running program, then on `searchPath`, then as `base`-NN there.
std::string FindTool(const std::string& base, const std::string& searchPath)
{
    SearchPlaces places;
    places.pathVariable = searchPath;
    places.ownFolder = ProgramFolder();
    std::string found = FindProgram(base, places);
    return found.empty() ? FindVersioned(base, searchPath) : found;
}

}  // namespace

struct LlvmRcLocator::Search {
    std::string chosen;
    std::string searchPath;
    std::optional<std::string> found;
};

LlvmRcLocator::LlvmRcLocator(std::string chosen, std::string searchPath)
    : search_(std::make_shared<Search>(Search{std::move(chosen), std::move(searchPath), std::nullopt}))
{ }

const std::string& LlvmRcLocator::Path() const
{
    static const std::string kNone;
    if (!search_)
        return kNone;
    if (!search_->found)
        search_->found = search_->chosen.empty() ? FindTool("llvm-rc", search_->searchPath) : search_->chosen;
    return *search_->found;
}

}  // namespace brevok
