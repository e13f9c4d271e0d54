// Our version reader held against the system's (version.dll) on the same files: the program's
// own file, a system DLL, and a file without version information.
#include "versioninfo/get_version_info.h"

#include "platform/self_path.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <vector>

namespace brevok {
namespace {

constexpr const char* kKeys[] = {"CompanyName",    "FileDescription",  "FileVersion", "InternalName",
                                 "LegalCopyright", "OriginalFilename", "ProductName", "ProductVersion"};

/// The strings version.dll gives for the keys of the file's first translation, in the order
/// and with the rules of TGetVersionInfoFromFile: up to the first missing key, values of
/// length 0 left out (a value of its terminating NUL alone has length 1 and is kept).
std::vector<std::pair<std::string, std::string>> SystemStrings(const std::string& path)
{
    std::vector<std::pair<std::string, std::string>> found;
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    if (size == 0)
        return found;
    std::vector<char> block(size);
    if (!GetFileVersionInfoA(path.c_str(), 0, size, block.data()))
        return found;
    WORD* translation = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length) ||
        length < 4)
        return found;
    for (const char* key : kKeys) {
        char query[64];
        std::snprintf(query, sizeof query, "\\StringFileInfo\\%04X%04X\\%s", translation[0], translation[1], key);
        char* value = nullptr;
        UINT chars = 0;
        if (!VerQueryValueA(block.data(), query, reinterpret_cast<void**>(&value), &chars))
            break;
        if (chars > 0)
            found.emplace_back(key, std::string(value, chars).c_str());
    }
    return found;
}

std::vector<std::pair<std::string, std::string>> OurStrings(const std::string& path)
{
    TGetVersionInfoFromFile reader;
    reader.setFileName(path);
    std::vector<std::pair<std::string, std::string>> found;
    for (std::size_t i = 0; i < reader.VersionCategories().size(); ++i)
        found.emplace_back(reader.VersionCategories()[i], reader.VersionStrings()[i]);
    return found;
}

TEST(VersionReader, ReadsWhatVersionDllReads)
{
    char system[MAX_PATH];
    ASSERT_GT(GetSystemDirectoryA(system, MAX_PATH), 0u);
    const testing::ScratchFolder folder;
    const std::string files[] = {RunningProgramPath(), std::string(system) + "\\kernel32.dll",
                                 std::string(system) + "\\cmd.exe", folder.Write("plain.txt", "no version here")};
    for (const std::string& file : files)
        EXPECT_EQ(OurStrings(file), SystemStrings(file)) << file;
    // The program's own file carries all eight.
    EXPECT_EQ(OurStrings(RunningProgramPath()).size(), 8u);
}

}  // namespace
}  // namespace brevok
