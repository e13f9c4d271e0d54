// The process's current folder on POSIX: getcwd and chdir.
#include "platform/current_folder.h"

#include <unistd.h>

#include <climits>

namespace brevok {

std::string CurrentFolder()
{
    char buffer[PATH_MAX];
    return getcwd(buffer, sizeof buffer) != nullptr ? std::string(buffer) : std::string();
}

CurrentFolderChange::CurrentFolderChange() : previous_(CurrentFolder()) { }

CurrentFolderChange::~CurrentFolderChange()
{
    if (entered_ && !previous_.empty() && chdir(previous_.c_str()) != 0) {
        // The old folder is gone; staying where we are is all that is left to do.
    }
}

bool CurrentFolderChange::Enter(const std::string& folder)
{
    entered_ = !folder.empty() && chdir(folder.c_str()) == 0;
    return entered_;
}

}  // namespace brevok
