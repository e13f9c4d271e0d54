// Finding the file a statement names, in the places and the order rc.exe looks for it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace brevok {

/// The path a quoted file name of a statement names, as rc.exe reads it: the quotes and an L
/// before them dropped, a doubled quote read as one; backslashes are no escapes there.
std::string PathOfFileName(std::string_view quoted);

/// The places rc.exe searches for a relative path (as zig rc and llvm-rc's authors found it,
/// not as its manual says): the script's folder, the current folder, then each of `folders` (the
/// `-i` folders, then those of the INCLUDE variable). A path with a root folder ("/x") is taken
/// as it is. The first place where the path exists wins, a folder included.
class DataFileFinder {
public:
    DataFileFinder(std::string script, std::vector<std::string> folders);

    /// The path of the file to read (it exists; reading it may still fail); empty when no
    /// place holds it. A path that none of these places holds is then searched in the same
    /// places with `\` as a separator and in any letter case (FindFileIgnoringCase).
    std::string Find(const std::string& path) const;

private:
    std::string FindAsWritten(const std::string& path) const;
    std::vector<std::string> SearchFolders() const;

    std::string script_;
    std::vector<std::string> folders_;
};

}  // namespace brevok
