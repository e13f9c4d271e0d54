// Help: start the help viewer on the help file that lies beside the program.
#include "workbench/help_command.h"

#include "platform/command_line.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/process.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <vector>

extern char** environ;

namespace brevok {

std::string HelpCommandLine(const std::string& programPath, HelpViewer viewer)
{
    if (viewer == HelpViewer::HtmlHelp) {
        const std::string folder = FolderPart(programPath, PathStyle::Windows);
        return "c:\\windows\\hh.exe " + QuoteArgument(folder + "brevhelp.chm");
    }
    // A built program has its help beside it; an installed one in the data folder of its
    // prefix (<prefix>/bin/brevok, <prefix>/share/brevok/brevhelp.html). ".." is left for the
    // system to resolve, so a bin folder reached through a link still finds its own prefix.
    // With neither file there the viewer is sent beside the program and reports it missing.
    const std::string folder = FolderPart(programPath, PathStyle::Posix);
    const std::string beside = folder + "brevhelp.html";
    const std::string installed = folder + "../share/brevok/brevhelp.html";
    const bool useInstalled = !FileExists(beside) && FileExists(installed);
    return "xdg-open " + QuoteArgument(useInstalled ? installed : beside);
}

void SystemProgramStarter::Start(const std::string& commandLine, std::uint16_t /*showWindow*/)
{
    std::vector<std::string> words = SplitCommandLine(commandLine);
    if (words.empty())
        return;
    words[0] = FindProgram(words[0], SystemSearchPlaces());
    if (words[0].empty())
        return;  // as WinExec's result, a failed start is not looked at
    // A short-lived shell puts the program in the background and ends; the program then
    // belongs to init, which reaps it, so nothing is left for us to wait for later.
    std::vector<std::string> args = {"sh", "-c", "\"$@\" </dev/null >/dev/null 2>&1 &", "sh"};
    args.insert(args.end(), words.begin(), words.end());
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);

    pid_t pid = 0;
    if (posix_spawn(&pid, "/bin/sh", nullptr, nullptr, argv.data(), environ) != 0)
        return;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
}

void RunHelpCommand(ProgramStarter& starter, const std::string& programPath, HelpViewer viewer)
{
    starter.Start(HelpCommandLine(programPath, viewer), kShowWindowNormal);
}

}  // namespace brevok
