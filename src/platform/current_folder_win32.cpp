// The process's current folder on Windows: GetCurrentDirectoryW and SetCurrentDirectoryW.
#include "platform/current_folder.h"

#include "platform/wide_text.h"

#include <windows.h>

namespace brevok {

std::string CurrentFolder()
{
    const DWORD size = GetCurrentDirectoryW(0, nullptr);
    if (size == 0)
        return {};
    std::wstring folder(size, L'\0');
    const DWORD got = GetCurrentDirectoryW(size, folder.data());
    folder.resize(got < size ? got : 0);
    return ProgramText(folder);
}

CurrentFolderChange::CurrentFolderChange() : previous_(CurrentFolder()) { }

CurrentFolderChange::~CurrentFolderChange()
{
    // When the old folder is gone, staying where we are is all that is left to do.
    if (entered_ && !previous_.empty())
        SetCurrentDirectoryW(WideText(previous_).c_str());
}

bool CurrentFolderChange::Enter(const std::string& folder)
{
    entered_ = !folder.empty() && SetCurrentDirectoryW(WideText(folder).c_str()) != 0;
    return entered_;
}

}  // namespace brevok
