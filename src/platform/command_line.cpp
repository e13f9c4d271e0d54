// Command-line splitting and quoting by the Windows rules and /bin/sh quoting, for every system.
#include "platform/command_line.h"

#include "platform/current_folder.h"
#include "rules/paths.h"
#include "platform/self_path.h"
#include "platform/system_text.h"
#include "rules/ascii.h"

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
    return AsciiUpper(ExtensionOf(path)) == ".BAT";
}

std::string ProgramFolder()
{
    return FolderPart(RunningProgramPath());
}

std::string WindowsCommandLine(const std::vector<std::string>& argv)
{
    std::string line;
    // Only the interpreter's run of a batch file as LaunchArguments gives it; any other
    // command line for cmd.exe is quoted like every program's.
    const bool batchRun = argv.size() >= 5 && AsciiUpper(FilePart(argv[0], PathStyle::Windows)) == "CMD.EXE" &&
        argv[1] == "/d" && argv[2] == "/s" && argv[3] == "/c";
    for (std::size_t i = 0; i < argv.size(); ++i) {
        if (i > 0)
            line += ' ';
        if (batchRun && i == 4) {
            // Each word quoted whatever it holds, so that cmd.exe reads "&", "(" or "^" in a
            // path as text (a Windows path cannot hold a double quote).
            std::string command;
            for (std::size_t j = i; j < argv.size(); ++j)
                command += (j > i ? " \"" : "\"") + argv[j] + "\"";
            return line + "\"" + command + "\"";
        }
        line += QuoteArgument(argv[i]);
    }
    return line;
}

std::string JoinProgramFolder(std::string_view folder, std::string_view name)
{
    if (folder.empty())
        return std::string(name);
    std::string joined(folder);
    // Windows takes "/" as a separator too; a drive's ":" is not one here ("C:" + name names
    // the drive's current folder).
    const char last = joined.back();
    if (last != '/' && !(kHostPathStyle == PathStyle::Windows && last == '\\'))
        joined += FolderSeparator();
    return joined + std::string(name);
}

SearchPlaces SystemSearchPlaces()
{
    SearchPlaces places;
    places.ownFolder = ProgramFolder();
    places.currentFolder = CurrentFolder();
    if (std::optional<std::string> path = EnvironmentValue("PATH"))
        places.pathVariable = std::move(*path);
    return places;
}

std::string SearchBareName(std::string_view name, const SearchPlaces& places)
{
    for (const std::string* folder : {&places.ownFolder, &places.currentFolder}) {
        if (folder->empty())
            continue;
        std::string candidate = JoinProgramFolder(*folder, name);
        if (IsRunnableFile(candidate))
            return candidate;
    }
    for (const std::string& entry : SplitSearchList(places.pathVariable)) {
        std::string candidate = JoinProgramFolder(entry.empty() ? places.currentFolder : entry, name);
        if (IsRunnableFile(candidate))
            return candidate;
    }
    return {};
}

std::vector<std::string> SplitCommandWithProgram(const std::string& commandLine)
{
    std::vector<std::string> words = SplitCommandLine(commandLine);
    if (!words.empty())
        words.front() = FindProgram(words.front(), SystemSearchPlaces());
    if (!words.empty() && words.front().empty())
        words.clear();
    return words;
}

}  // namespace brevok
