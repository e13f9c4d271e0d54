// Finding the file a statement names, in the places and the order llvm-rc looks for it.
#pragma once

#include <string>
#include <vector>

namespace brevok {

/// The places llvm-rc searches for a relative path when it is given the script's folder and
/// `folders` with `/I`: the current folder, the script's folder, then each of `folders` (the
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
    std::string FindAsLlvmRc(const std::string& path) const;
    std::vector<std::string> SearchFolders() const;

    std::string script_;
    std::vector<std::string> folders_;
};

}  // namespace brevok
