// The process's current folder on Windows: GetCurrentDirectoryA and SetCurrentDirectoryA.
#include "platform/current_folder.h"

#include <windows.h>

namespace brevok {

std::string CurrentFolder()
{
    const DWORD size = GetCurrentDirectoryA(0, nullptr);
    if (size == 0)
        return {};
    std::string folder(size, '\0');
    const DWORD got = GetCurrentDirectoryA(size, folder.data());
    folder.resize(got < size ? got : 0);
    return folder;
}

CurrentFolderChange::CurrentFolderChange() : previous_(CurrentFolder()) { }

CurrentFolderChange::~CurrentFolderChange()
{
    // When the old folder is gone, staying where we are is all that is left to do.
    if (entered_ && !previous_.empty())
        SetCurrentDirectoryA(previous_.c_str());
}

bool CurrentFolderChange::Enter(const std::string& folder)
{
    entered_ = !folder.empty() && SetCurrentDirectoryA(folder.c_str()) != 0;
    return entered_;
}

}  // namespace brevok
