// Help: start the help viewer on the help file that lies beside the program.
#include "workbench/help_command.h"

#include "platform/command_line.h"
#include "platform/detached_start.h"
#include "platform/files.h"
#include "rules/paths.h"
#include "platform/process.h"

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
    // As WinExec's result, a failed start is not looked at.
    StartDetached(commandLine);
}

void RunHelpCommand(ProgramStarter& starter, const std::string& programPath, HelpViewer viewer)
{
    starter.Start(HelpCommandLine(programPath, viewer), kShowWindowNormal);
}

}  // namespace brevok
