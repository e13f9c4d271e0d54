// The process's current folder, changed for a scope.
#pragma once

#include <string>

namespace brevok {

/// The process's current folder, empty when it cannot be read.
std::string CurrentFolder();

/// Makes a folder the process's current folder and goes back to the one before when it goes
/// out of scope (when the old folder is gone, the process stays where it is).
class CurrentFolderChange {
public:
    CurrentFolderChange();
    ~CurrentFolderChange();
    CurrentFolderChange(const CurrentFolderChange&) = delete;
    CurrentFolderChange& operator=(const CurrentFolderChange&) = delete;

    /// Enters `folder`; false (and nothing changed) when it cannot be entered.
    bool Enter(const std::string& folder);

private:
    std::string previous_;
    bool entered_ = false;
};

}  // namespace brevok
