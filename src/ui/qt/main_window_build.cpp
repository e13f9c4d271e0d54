// The main window's Compile, Build All and Help commands: the window lends itself to the core
// commands as their host.
#include "ui/qt/main_window.h"

#include "ui/qt/compile_progress_window.h"
#include "workbench/build_all_command.h"
#include "workbench/compile_command.h"
#include "workbench/help_command.h"

namespace brevok {

void TfrmResmain::mnuFileCompileClick()
{
    CompileProgress progress(Launcher(), this, ShowProgress(), [this] { ProcessPendingMessages(); });
    RunCompileCommand(*this);
}

void TfrmResmain::mnuFileBuildAllClick()
{
    // The companion always starts minimised: no progress window, only repainting.
    CompileProgress progress(Launcher(), this, false, [this] { ProcessPendingMessages(); });
    RunBuildAllCommand(*this);
}

void TfrmResmain::Help1Click()
{
    SystemProgramStarter starter;
    RunHelpCommand(starter, Services().programPath);
}

}  // namespace brevok
