// Help: start the help viewer on the help file that lies beside the program.
#pragma once

#include "rules/host_system.h"

#include <cstdint>
#include <string>

namespace brevok {

/// Which viewer the help command line names: the HTML help viewer on "brevhelp.chm", or the
/// desktop's opener (xdg-open) on "brevhelp.html".
enum class HelpViewer { HtmlHelp, DesktopOpener };

inline constexpr HelpViewer kHostHelpViewer = kHostIsWindows ? HelpViewer::HtmlHelp : HelpViewer::DesktopOpener;

/// The help command line for the program at `programPath`: "c:\windows\hh.exe " + folder +
/// "brevhelp.chm", or "xdg-open " + folder + "brevhelp.html"; when that page is missing and
/// folder + "../share/brevok/brevhelp.html" exists (an installed program), that one. The help
/// file's path is quoted by the Windows splitting rules when it needs it, so a folder with
/// spaces stays one word.
std::string HelpCommandLine(const std::string& programPath, HelpViewer viewer = kHostHelpViewer);

/// WinExec: starts a command line and does not wait for it or look at the outcome.
class ProgramStarter {
public:
    virtual ~ProgramStarter() = default;
    virtual void Start(const std::string& commandLine, std::uint16_t showWindow) = 0;
};

/// The system's starter. The program is split by the Windows rules and looked up like the
/// runners do; the child is detached at once (no zombie is left behind) with its input and
/// output on /dev/null.
class SystemProgramStarter final : public ProgramStarter {
public:
    void Start(const std::string& commandLine, std::uint16_t showWindow) override;
};

/// Help1Click: starts the viewer with show-window code 5; nothing is reported.
void RunHelpCommand(ProgramStarter& starter, const std::string& programPath, HelpViewer viewer = kHostHelpViewer);

}  // namespace brevok
