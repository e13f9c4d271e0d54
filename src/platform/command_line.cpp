// Command-line splitting and quoting by the Windows rules, /bin/sh quoting, program lookup.
#include "platform/command_line.h"

#include "platform/files.h"
#include "platform/paths.h"
#include "platform/self_path.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace brevok {

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

/// The program name: up to the next blank outside quotes; quotes only group, and a
/// backslash is an ordinary character (a folder separator on Windows).
std::size_t ReadProgramName(std::string_view line, std::size_t i, std::string& out)
{
    bool quoted = false;
    for (; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '"') {
            quoted = !quoted;
        } else if (IsBlank(c) && !quoted) {
            break;
        } else {
            out += c;
        }
    }
    return i;
}

/// One later argument, from a non-blank character to the blank that ends it.
std::size_t ReadArgument(std::string_view line, std::size_t i, std::string& out)
{
    bool quoted = false;
    while (i < line.size()) {
        const char c = line[i];
        if (IsBlank(c) && !quoted)
            break;
        if (c == '\\') {
            std::size_t count = 0;
            while (i < line.size() && line[i] == '\\') {
                ++count;
                ++i;
            }
            if (i < line.size() && line[i] == '"') {
                out.append(count / 2, '\\');
                if (count % 2 == 1) {
                    out += '"';
                    ++i;
                }
                // An even run leaves the quote to toggle on the next round.
            } else {
                out.append(count, '\\');
            }
            continue;
        }
        if (c == '"') {
            if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
                out += '"';
                i += 2;
                continue;
            }
            quoted = !quoted;
            ++i;
            continue;
        }
        out += c;
        ++i;
    }
    return i;
}

std::size_t SkipBlanks(std::string_view line, std::size_t i)
{
    while (i < line.size() && IsBlank(line[i]))
        ++i;
    return i;
}

bool IsRunnableFile(const std::string& path)
{
    struct stat info {};
    if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    return IsBatchFile(path) || access(path.c_str(), X_OK) == 0;
}

std::string JoinFolder(std::string_view folder, std::string_view name)
{
    if (folder.empty())
        return std::string(name);
    return EnsureTrailingBackslash(folder, PathStyle::Posix) + std::string(name);
}

std::string SearchBareName(std::string_view name, const SearchPlaces& places)
{
    for (const std::string* folder : {&places.ownFolder, &places.currentFolder}) {
        if (folder->empty())
            continue;
        std::string candidate = JoinFolder(*folder, name);
        if (IsRunnableFile(candidate))
            return candidate;
    }
    std::string_view rest = places.pathVariable;
    while (true) {
        const std::size_t colon = rest.find(':');
        std::string_view entry = rest.substr(0, colon);
        std::string candidate = entry.empty() ? JoinFolder(places.currentFolder, name)
                                              : JoinFolder(entry, name);
        if (IsRunnableFile(candidate))
            return candidate;
        if (colon == std::string_view::npos)
            break;
        rest.remove_prefix(colon + 1);
    }
    return {};
}

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

std::vector<std::string> SplitCommandLine(std::string_view commandLine)
{
    std::vector<std::string> arguments;
    std::size_t i = SkipBlanks(commandLine, 0);
    if (i == commandLine.size())
        return arguments;
    std::string program;
    i = ReadProgramName(commandLine, i, program);
    arguments.push_back(std::move(program));
    while ((i = SkipBlanks(commandLine, i)) < commandLine.size()) {
        std::string argument;
        i = ReadArgument(commandLine, i, argument);
        arguments.push_back(std::move(argument));
    }
    return arguments;
}

std::string QuoteArgument(std::string_view argument)
{
    if (!argument.empty() && argument.find_first_of(" \t\"") == std::string_view::npos)
        return std::string(argument);
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (const char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        if (c == '"') {
            // Every backslash before a quote is doubled, and the quote itself escaped.
            quoted.append(backslashes * 2 + 1, '\\');
        } else {
            quoted.append(backslashes, '\\');
        }
        backslashes = 0;
        quoted += c;
    }
    // Backslashes before the closing quote are doubled so that it still closes.
    quoted.append(backslashes * 2, '\\');
    quoted += '"';
    return quoted;
}

std::string QuoteForShell(std::string_view word)
{
    // Characters that the shell reads as syntax, blanks, wildcards, expansions, or that
    // start a comment, a tilde expansion or an assignment anywhere in a word.
    constexpr std::string_view kSpecial = " \t\r\n|&;<>()$`\\\"'*?[]#~=!{}";
    if (!word.empty() && word.find_first_of(kSpecial) == std::string_view::npos)
        return std::string(word);
    std::string quoted = "'";
    for (const char c : word) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    quoted += '\'';
    return quoted;
}

bool IsBatchFile(std::string_view path)
{
    return AsciiUpper(ExtensionOf(path, PathStyle::Posix)) == ".BAT";
}

std::string ProgramFolder()
{
    return FolderPart(RunningProgramPath(), PathStyle::Posix);
}

SearchPlaces SystemSearchPlaces()
{
    SearchPlaces places;
    places.ownFolder = ProgramFolder();
    char buffer[PATH_MAX];
    if (getcwd(buffer, sizeof buffer) != nullptr)
        places.currentFolder = buffer;
    if (const char* path = std::getenv("PATH"))
        places.pathVariable = path;
    return places;
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
    std::vector<std::string> argv = {"/bin/sh", "-c", std::string(BatchInterpreterScript()),
                                     arguments.front()};
    if (echo == BatchEcho::On)
        argv.push_back("echo");
    return argv;
}

}  // namespace brevok
