// brevdos: runs a command with its standard output redirected into a file, the redirection
// read by this program itself, so that no shell ever reads the command's paths.
#include "tooloutput/standard_options.h"
#include "tooloutput/tool_output.h"
#include "platform/command_line.h"
#include "rules/errors.h"
#include "platform/files.h"
#include "platform/process.h"
#include "platform/system_text.h"

#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace {

/// Exit codes of a command that could not be started, as shells use them.
constexpr int kNotFound = 127;
constexpr int kCannotRun = 126;

struct Redirection {
    std::string file;
    bool append = false;
};

/// Takes a trailing "> FILE", ">FILE", ">> FILE" or ">>FILE" off the arguments. Only the end
/// of the command counts, so a ">" among the arguments is passed on as it is.
Redirection TakeRedirection(std::vector<std::string>& arguments)
{
    Redirection redirection;
    const std::size_t n = arguments.size();
    if (n >= 3 && (arguments[n - 2] == ">" || arguments[n - 2] == ">>")) {
        redirection = {arguments[n - 1], arguments[n - 2] == ">>"};
        arguments.resize(n - 2);
    } else if (n >= 2 && arguments[n - 1].size() > 1 && arguments[n - 1][0] == '>') {
        std::string word = arguments[n - 1];
        const bool append = word.size() > 2 && word[1] == '>';
        redirection = {word.substr(append ? 2 : 1), append};
        arguments.resize(n - 1);
    }
    return redirection;
}

/// A command that cannot be started is reported on standard error and, after a banner of
/// three lines as every tool's output starts with, in the output file too: whoever reads
/// that file sees the failure instead of an empty, clean-looking output.
int ReportStartFailure(int outputFd, const std::string& command, int error)
{
    const std::string message = "brevdos: cannot start " + command + ": " + brevok::StartErrorText(error) + "\n";
    brevok::WriteText(stderr, message);
    if (outputFd != 1)
        brevok::WriteAllTo(outputFd, brevok::StartFailureNotice("brevdos", message));
    return brevok::IsNotFoundError(error) ? kNotFound : kCannotRun;
}

/// A command that failed without a word after its banner (a crash loses what it had not yet
/// flushed) would read as a clean run to whoever drops the banner and a final empty line.
/// The failure is then told on standard error and in the output file, after lines that make
/// up the banner.
void ReportSilentFailure(int outputFd, const std::string& file, const std::string& command, int exitCode)
{
    if (outputFd == 1)
        return;
    std::string bytes;
    try {
        bytes = brevok::ReadFileBytes(file);
    } catch (const brevok::Error&) {
        // Unreadable counts as empty: the notice is still appended through the descriptor.
    }
    const std::string message = "brevdos: " + command + " failed with exit code " + std::to_string(exitCode) + "\n";
    const std::optional<std::string> notice = brevok::SilentFailureNotice(bytes, message);
    if (!notice)
        return;
    brevok::WriteText(stderr, message);
    brevok::WriteAllTo(outputFd, *notice);
}

}  // namespace

constexpr std::string_view kUsage =
    "usage: brevdos COMMAND [ARGUMENTS...] [> FILE]\n"
    "Runs COMMAND, looked up in brevdos's own folder, the current folder, then PATH, with its\n"
    "standard output in FILE (\">> FILE\" appends; \">FILE\" works too), or on standard output.\n"
    "brevdos reads the redirection itself, so no shell reads the command's paths; it counts only\n"
    "at the end of the command. The exit code is the command's: 127 when it is not found, 126\n"
    "when it cannot be started.\n"
    "\n"
    "  --help     print this text and exit\n"
    "  --version  print the version and exit\n"
    "Only as the first word are these brevdos's own; later they belong to COMMAND.\n";

int Run(const std::vector<std::string>& programArguments)
{
    if (const std::optional<int> answered = brevok::AnswerStandardOption(programArguments, "brevdos", kUsage))
        return *answered;
    std::vector<std::string> arguments(programArguments.begin() + (programArguments.empty() ? 0 : 1),
                                       programArguments.end());
    const Redirection redirection = TakeRedirection(arguments);
    if (arguments.empty()) {
        brevok::WriteText(stderr, "usage: brevdos COMMAND [ARGUMENTS...] [> FILE]\n");
        return 2;
    }
    int outputFd = 1;
    if (!redirection.file.empty()) {
        const brevok::OutputFile output = brevok::OpenOutputFile(redirection.file, redirection.append);
        if (output.fd < 0) {
            brevok::WriteText(stderr, "brevdos: Cannot create file " + redirection.file + ": " + std::strerror(output.error) + "\n");
            return 1;
        }
        outputFd = output.fd;
    }
    const std::string command = arguments.front();
    const std::string program = brevok::FindProgram(command, brevok::SystemSearchPlaces());
    if (program.empty())
        return ReportStartFailure(outputFd, command, brevok::kProgramNotFoundError);
    arguments.front() = program;
    const brevok::ProgramExit run = brevok::RunWithOutput(brevok::LaunchArguments(arguments), outputFd);
    if (run.startError != 0)
        return ReportStartFailure(outputFd, command, run.startError);
    if (run.exitCode != 0)
        ReportSilentFailure(outputFd, redirection.file, command, run.exitCode);
    return run.exitCode;
}

BREVOK_PROGRAM_MAIN(Run)
