// Program lookup and batch files on Windows: CreateProcess's search, cmd.exe for a batch file.
#include "platform/command_line.h"

#include "platform/files.h"
#include "platform/system_text.h"
#include "platform/wide_text.h"
#include "rules/paths.h"

#include <windows.h>


namespace brevok {

namespace {

bool HasFolder(std::string_view name)
{
    return name.find_first_of("\\/:") != std::string_view::npos;
}

std::string FindExactly(std::string_view name, const SearchPlaces& places)
{
    if (name.empty())
        return {};
    if (HasFolder(name)) {
        std::string path(name);
        return FileExists(path) ? path : std::string();
    }
    return SearchBareName(name, places);
}

/// The command interpreter: %ComSpec%, else cmd.exe in the system folder.
std::string CommandInterpreter()
{
    if (const std::optional<std::string> comspec = EnvironmentValue("ComSpec"); comspec && !comspec->empty())
        return *comspec;
    wchar_t folder[MAX_PATH];
    const UINT size = GetSystemDirectoryW(folder, MAX_PATH);
    if (size == 0 || size >= MAX_PATH)
        return "cmd.exe";
    return JoinProgramFolder(ProgramText(std::wstring_view(folder, size)), "cmd.exe");
}

}  // namespace

bool IsRunnableFile(const std::string& path)
{
    return FileExists(path);
}

std::string FindProgram(std::string_view name, const SearchPlaces& places)
{
    std::string found = FindExactly(name, places);
    if (!found.empty())
        return found;
    // CreateProcess adds ".exe" to a program named without an extension.
    if (ExtensionOf(name).empty())
        return FindExactly(std::string(name) + ".exe", places);
    return {};
}

std::vector<std::string> LaunchArguments(const std::vector<std::string>& arguments, BatchEcho)
{
    if (arguments.empty() || !IsBatchFile(arguments.front()))
        return arguments;
    return {CommandInterpreter(), "/d", "/s", "/c", arguments.front()};
}

}  // namespace brevok
