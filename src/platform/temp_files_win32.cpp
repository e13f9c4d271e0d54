// The compile's temporary folder and its atomically replaced output file, on Windows.
#include "platform/temp_files.h"

#include "platform/wide_text.h"

#include "rules/paths.h"

#include <windows.h>

#include <atomic>

namespace brevok {

namespace {

/// A number no other temporary name of this process used.
unsigned NextSerial()
{
    static std::atomic<unsigned> serial{0};
    return serial.fetch_add(1);
}

std::string Unique(const std::string& prefix)
{
    return prefix + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(NextSerial());
}

}  // namespace

TempFolder::TempFolder()
{
    wchar_t wideBase[MAX_PATH + 1];
    const DWORD size = GetTempPathW(MAX_PATH + 1, wideBase);
    if (size == 0 || size > MAX_PATH)
        return;
    const std::string base = ProgramText(std::wstring_view(wideBase, size));
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
        const std::string candidate = Unique(EnsureTrailingBackslash(base) + "brevok-rc-");
        if (CreateDirectoryW(WideText(candidate).c_str(), nullptr))
            path_ = candidate;
        else if (GetLastError() != ERROR_ALREADY_EXISTS)
            break;
    }
}

TempFolder::~TempFolder()
{
    if (path_.empty())
        return;
    for (const std::string& file : files_)
        DeleteFileW(WideText(file).c_str());
    RemoveDirectoryW(WideText(path_).c_str());
}

std::string TempFolder::File(const std::string& name)
{
    files_.push_back(path_ + "\\" + name);
    return files_.back();
}

TempOutput::TempOutput(const std::string& target) : target_(target)
{
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
        const std::string candidate = Unique(target + ".tmp");
        const HANDLE file =
            CreateFileW(WideText(candidate).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            CloseHandle(file);
            path_ = candidate;
        } else if (GetLastError() != ERROR_FILE_EXISTS) {
            break;
        }
    }
}

TempOutput::~TempOutput()
{
    if (!path_.empty())
        DeleteFileW(WideText(path_).c_str());
}

bool TempOutput::Commit()
{
    const std::wstring target = WideText(target_);
    const DWORD old = GetFileAttributesW(target.c_str());
    if (!MoveFileExW(WideText(path_).c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return false;
    // The target keeps what it was marked as (hidden, archive, ...).
    if (old != INVALID_FILE_ATTRIBUTES && (old & FILE_ATTRIBUTE_DIRECTORY) == 0)
        SetFileAttributesW(target.c_str(), old & ~FILE_ATTRIBUTE_READONLY);
    path_.clear();
    return true;
}

}  // namespace brevok
