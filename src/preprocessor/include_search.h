// Where `#include` finds its files: the including file's folder, the script's folder, the
// `-i` folders, the INCLUDE folders, then the headers shipped with the tools; `\` and `/`
// both separate folders, and a name that differs only in letter case is taken when the exact
// one is missing (Windows scripts are not written for case-sensitive folders).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace brevok {

class IncludeSearch {
public:
    /// `folders`: the places searched after the including file's folder, in order (an empty
    /// entry is the current folder).
    explicit IncludeSearch(std::vector<std::string> folders) : folders_(std::move(folders)) { }

    /// The path of the file `name` names when included from a file in `includingFolder`;
    /// empty when no place holds it.
    std::string Find(std::string_view name, const std::string& includingFolder) const;

    const std::vector<std::string>& Folders() const { return folders_; }

private:
    std::vector<std::string> folders_;
};

/// `relative` (folders separated by `\` or `/`) below `base`, each part matched exactly or
/// else, on a case-sensitive system, by the first entry equal to it in letter case; empty
/// when there is no such regular file.
std::string FindFileIgnoringCase(const std::string& base, std::string_view relative);

/// The folders an INCLUDE variable of the value `include` names: its entries as
/// SplitSearchList reads them (separated by ';' on Windows, ':' elsewhere), empty entries
/// left out, since an empty INCLUDE entry names no folder.
std::vector<std::string> IncludeVariableFolders(std::string_view include);

/// The folder of the headers shipped with the tools: `include` beside the running program,
/// else `../share/brevok/include` from it (an installed layout); empty when neither exists.
std::string ShippedHeaderFolder();

}  // namespace brevok
