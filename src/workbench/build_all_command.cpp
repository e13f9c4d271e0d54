// Build All: save the script, run the binder through the companion runner, show its messages.
#include "workbench/build_all_command.h"

#include "rules/host_system.h"
#include "workbench/command_host.h"
#include "workbench/workbench_view.h"
#include "workbench/compile_command.h"
#include "platform/command_line.h"
#include "platform/current_folder.h"
#include "workbench/dialogs.h"
#include "rules/errors.h"
#include "platform/files.h"
#include "rules/paths.h"
#include "rules/unicode.h"
#include "platform/process.h"
#include "script/script_document.h"
#include "settings/settings.h"

namespace brevok {

namespace {

void ShowBuildResult(const CommandHost& host)
{
    // Read by its bare name: the working folder is the current folder for the run.
    if (LoadCompilerMessages(host.view, std::string(kCaptureFileName)) == 0)
        host.view.AddMessage(std::string(kBuildCompleteText));
}

/// The length of `commandLine` in the unit of the limit.
std::size_t CommandLineLength(const BuildCommandRules& rules, std::string_view commandLine)
{
    return rules.unit == LengthUnit::Characters ? Utf8CharacterCount(commandLine) : commandLine.size();
}

}  // namespace

BuildCommandRules WindowsBuildRules()
{
    return {"brevdos.exe", "brc32.exe", 125, LengthUnit::Characters};
}

BuildCommandRules PosixBuildRules()
{
    return {"brevdos", "brc32", SystemCommandLineLimit(), LengthUnit::Bytes};
}

BuildCommandRules HostBuildRules()
{
    return kHostIsWindows ? WindowsBuildRules() : PosixBuildRules();
}

std::string BuildAllCommandLine(const BuildCommandRules& rules, const std::string& resPath, const std::string& exePath,
                                const std::string& scriptPath)
{
    return rules.companion + " " + rules.binder + " -fo " + QuoteArgument(resPath) + " -fe " + QuoteArgument(exePath) +
        " " + QuoteArgument(scriptPath) + " > " + std::string(kCaptureFileName);
}

void RunBuildAllCommand(const CommandHost& host, const BuildAllOptions& options)
{
    ScriptDocument& document = host.document;
    const TSettings& settings = host.settings;
    Dialogs& dialogs = host.dialogs;

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

    BusyCursor busy(host.view);
    SaveScriptLines(document, settings.ScriptPath);
    DeleteFileQuietly(settings.WorkingFolder + std::string(kCaptureFileName));
    // The same extension rule as Compile, so both commands name one resource file.
    const std::string resPath = ReplaceExtension(settings.ScriptPath, ".res");

    CurrentFolderChange folder;
    if (!folder.Enter(settings.WorkingFolder)) {
        // Running here would read a capture file left in some other folder.
        dialogs.MessageBox(BoxKind::Error, FormatText(kCannotEnterFolderText, settings.WorkingFolder), BoxButtons::Ok);
        return;
    }
    const std::string commandLine = BuildAllCommandLine(options.rules, resPath, settings.ExePath, settings.ScriptPath);
    if (CommandLineLength(options.rules, commandLine) > options.rules.maxLength) {
        dialogs.MessageBox(BoxKind::Error, std::string(kCommandTooLongText), BoxButtons::Ok);
        return;
    }
    host.view.SetMessages({});
    host.view.Repaint();
    // The outcome is not examined: a time-out has its own box, a failed start shows up as
    // a missing capture file. The companion starts minimised whatever the option says.
    const RunOutcome run =
        host.launcher.RunCommandAndWait(commandLine, options.timeoutMs, kShowWindowMinimized, options.hooks);
    if (run.kind == RunOutcome::Kind::TimedOut)
        dialogs.MessageBox(BoxKind::Error, std::string(kRunTimeoutText), BoxButtons::Ok);
    ShowBuildResult(host);
}

}  // namespace brevok
