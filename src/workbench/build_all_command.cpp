// Build All: save the script, run the binder through the companion runner, show its messages.
#include "workbench/build_all_command.h"

#include "workbench/command_host.h"
#include "workbench/compile_command.h"
#include "platform/command_line.h"
#include "workbench/dialogs.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "script/script_document.h"
#include "settings/settings.h"

#include <unistd.h>

#include <climits>

namespace brevok {

namespace {

/// Makes a folder the process's current folder and goes back to the one before when it
/// goes out of scope.
class CurrentFolderGuard {
public:
    CurrentFolderGuard()
    {
        char buffer[PATH_MAX];
        if (getcwd(buffer, sizeof buffer) != nullptr)
            previous_ = buffer;
    }
    ~CurrentFolderGuard()
    {
        if (entered_ && !previous_.empty() && chdir(previous_.c_str()) != 0) {
            // The old folder is gone; staying where we are is all that is left to do.
        }
    }
    CurrentFolderGuard(const CurrentFolderGuard&) = delete;
    CurrentFolderGuard& operator=(const CurrentFolderGuard&) = delete;

    bool Enter(const std::string& folder)
    {
        entered_ = !folder.empty() && chdir(folder.c_str()) == 0;
        return entered_;
    }

private:
    std::string previous_;
    bool entered_ = false;
};

void ShowBuildResult(CommandHost& host)
{
    // Read by its bare name: the working folder is the current folder for the run.
    if (LoadCompilerMessages(host, std::string(kCaptureFileName)) == 0)
        host.AddMessage(std::string(kBuildCompleteText));
}

}  // namespace

BuildCommandRules WindowsBuildRules()
{
    return {"brevdos.exe", "brc32.exe", 125};
}

BuildCommandRules PosixBuildRules()
{
    const long argMax = sysconf(_SC_ARG_MAX);
    return {"brevdos", "brc32", argMax > 0 ? static_cast<std::size_t>(argMax) : 131072};
}

BuildCommandRules HostBuildRules()
{
#ifdef _WIN32
    return WindowsBuildRules();
#else
    return PosixBuildRules();
#endif
}

std::string BuildAllCommandLine(const BuildCommandRules& rules, const std::string& resPath,
                                const std::string& exePath, const std::string& scriptPath)
{
    return rules.companion + " " + rules.binder + " -fo " + QuoteArgument(resPath) +
           " -fe " + QuoteArgument(exePath) + " " + QuoteArgument(scriptPath) +
           " > " + std::string(kCaptureFileName);
}

void RunBuildAllCommand(CommandHost& host, const BuildAllOptions& options)
{
    ScriptDocument& document = host.Document();
    const TSettings& settings = host.Settings();
    Dialogs& dialogs = host.GetDialogs();

    if (settings.ScriptPath.empty())
        return;
    if (settings.ExePath.empty()) {
        dialogs.MessageBox(BoxKind::Error, std::string(kNoExecutableText), BoxButtons::Ok);
        return;
    }
    if (document.Empty()) {
        dialogs.MessageBox(BoxKind::Error, std::string(kNoResourcesText), BoxButtons::Ok);
        return;
    }

    BusyCursor busy(host);
    SaveScriptLines(document, settings.ScriptPath);
    DeleteFileQuietly(settings.WorkingFolder + std::string(kCaptureFileName));
    // The same extension rule as Compile, so both commands name one resource file.
    const std::string resPath = ReplaceExtension(settings.ScriptPath, ".res");

    CurrentFolderGuard folder;
    if (!folder.Enter(settings.WorkingFolder)) {
        // Running here would read a capture file left in some other folder.
        dialogs.MessageBox(BoxKind::Error, FormatText(kCannotEnterFolderText, settings.WorkingFolder),
                           BoxButtons::Ok);
        return;
    }
    const std::string commandLine =
        BuildAllCommandLine(options.rules, resPath, settings.ExePath, settings.ScriptPath);
    if (commandLine.size() > options.rules.maxLength) {
        dialogs.MessageBox(BoxKind::Error, std::string(kCommandTooLongText), BoxButtons::Ok);
        return;
    }
    host.ClearMessages();
    host.ProcessPendingMessages();
    // The outcome is not examined: a time-out has its own box, a failed start shows up as
    // a missing capture file. The companion starts minimised whatever the option says.
    host.Launcher().RunCommandAndWait(commandLine, kShowWindowMinimized, options.timeoutMs);
    ShowBuildResult(host);
}

}  // namespace brevok
