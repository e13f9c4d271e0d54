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

    /// The path of the file that `written`, text in `codePage`, names: by each of its names
    /// in turn (FileNameLookups), the first place that holds it; a name that none of these
    /// places holds is then searched in the same places with `\` as a separator and in any
    /// letter case (FindFileIgnoringCase). The file exists (reading it may still fail), except
    /// for a path with a root folder that no name finds: that is opened as it is, so that the
    /// failure names it. Empty when nothing is found.
    std::string Find(std::string_view written, int codePage) const;

private:
    std::string FindName(const std::string& name) const;
    std::string FindAsWritten(const std::string& path) const;
    std::vector<std::string> SearchFolders() const;

    std::string script_;
    std::vector<std::string> folders_;
};

}  // namespace brevok
