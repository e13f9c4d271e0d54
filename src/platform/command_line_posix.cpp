// Program lookup and batch files on POSIX: a batch file is read by /bin/sh.
#include "platform/command_line.h"

#include "platform/files.h"
#include "rules/paths.h"
#include "rules/ascii.h"

#include <sys/stat.h>
#include <unistd.h>


namespace brevok {

namespace {

std::string FindExactly(std::string_view name, const SearchPlaces& places)
{
    if (name.empty())
        return {};
    if (name.find('/') != std::string_view::npos) {
        // A file named with its folder is taken even when it may not be executed: the start
        // then fails with the reason (EACCES) instead of "not found".
        std::string path(name);
        return FileExists(path) ? path : std::string();
    }
    return SearchBareName(name, places);
}

}  // namespace

bool IsRunnableFile(const std::string& path)
{
    struct stat info { };
    if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    return IsBatchFile(path) || access(path.c_str(), X_OK) == 0;
}

std::string FindProgram(std::string_view name, const SearchPlaces& places)
{
    std::string found = FindExactly(name, places);
    if (!found.empty())
        return found;
    if (name.size() > 4 && AsciiUpper(name.substr(name.size() - 4)) == ".EXE")
        return FindExactly(name.substr(0, name.size() - 4), places);
    return {};
}

std::string_view BatchInterpreterScript()
{
    // A batch file is read line by line as cmd.exe does, so a CR before the LF is cut off
    // and one line is one command. Descriptor 3 holds the file and is closed for the
    // commands, whose standard input stays the runner's.
    return "cr='\r'; CLS() { :; }; cls() { :; }\n"
           "while IFS= read -r line <&3 || [ -n \"$line\" ]; do\n"
           "  line=${line%\"$cr\"}\n"
           "  [ \"$1\" = echo ] && [ -n \"$line\" ] && printf '%s>%s\\n' \"$PWD\" \"$line\"\n"
           "  eval \"$line\" 3<&-\n"
           "done 3<\"$0\"\n";
}

std::vector<std::string> LaunchArguments(const std::vector<std::string>& arguments, BatchEcho echo)
{
    if (arguments.empty() || !IsBatchFile(arguments.front()))
        return arguments;
    std::vector<std::string> argv = {"/bin/sh", "-c", std::string(BatchInterpreterScript()), arguments.front()};
    if (echo == BatchEcho::On)
        argv.push_back("echo");
    return argv;
}

}  // namespace brevok
