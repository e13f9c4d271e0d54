// Finding llvm-rc beside the program or in the folders of the search path.
#include "rcdriver/tool_lookup.h"

#include "platform/command_line.h"
#include "platform/files.h"
#include "platform/paths.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>

namespace brevok {

namespace {

SearchPlaces PathOnly()
{
    SearchPlaces places;
    if (const char* path = std::getenv("PATH"))
        places.pathVariable = path;
    return places;
}

/// The highest `base`-NN (NN digits) in the folders of PATH, as Debian installs versioned
/// LLVM tools; empty when there is none.
std::string FindVersioned(const std::string& base)
{
    const std::string prefix = base + "-";
    std::string best;
    long bestVersion = -1;
    const std::string path = PathOnly().pathVariable;
    std::string_view rest = path;
    while (!rest.empty()) {
        const std::size_t colon = rest.find(kSearchPathSeparator);
        const std::string folder(rest.substr(0, colon));
        rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
        for (const std::string& entry : FolderEntryNames(folder.empty() ? "." : folder)) {
            const std::string_view name = entry;
            if (name.substr(0, prefix.size()) != prefix || name.size() == prefix.size())
                continue;
            const std::string_view digits = name.substr(prefix.size());
            if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
                continue;
            const long version = std::strtol(std::string(digits).c_str(), nullptr, 10);
            const std::string candidate = EnsureTrailingBackslash(folder.empty() ? "." : folder) + std::string(name);
            if (version > bestVersion && IsRunnableFile(candidate)) {
                bestVersion = version;
                best = candidate;
            }
        }
    }
    return best;
}

/// `base` beside the running program (where a Windows installation keeps llvm-rc.exe), then
/// on PATH, then as `base`-NN on PATH.
std::string FindTool(const std::string& base)
{
    SearchPlaces places = PathOnly();
    places.ownFolder = ProgramFolder();
    std::string found = FindProgram(base, places);
    return found.empty() ? FindVersioned(base) : found;
}

}  // namespace

std::string FindLlvmRc()
{
    if (const char* chosen = std::getenv("BREVOK_LLVM_RC"); chosen != nullptr && *chosen != '\0')
        return chosen;
    return FindTool("llvm-rc");
}

}  // namespace brevok
