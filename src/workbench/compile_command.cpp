// Compile: save the script, run the resource compiler through a batch file, show its messages.
#include "workbench/compile_command.h"

#include "workbench/command_host.h"
#include "workbench/workbench_view.h"
#include "platform/command_line.h"
#include "workbench/dialogs.h"
#include "rules/ascii.h"
#include "rules/errors.h"
#include "platform/files.h"
#include "rules/paths.h"
#include "platform/process.h"
#include "platform/system_text.h"
#include "script/script_document.h"
#include "settings/settings.h"

#include <fstream>

namespace brevok {

namespace {

/// How often the window is let paint while we wait for the batch file to appear. The file is
/// written synchronously, so it is there at once; the bound keeps a file that vanishes under
/// us from hanging the window (the runner then reports it missing).
constexpr int kBatchFileChecks = 100;

/// cmd.exe reads these as syntax (or splits at them) outside double quotes.
bool NeedsCmdQuotes(std::string_view path)
{
    return path.empty() || path.find_first_of(" \t&|<>^(),;=") != std::string_view::npos;
}

std::string QuoteForBatch(const std::string& path, BatchShell shell)
{
    if (shell == BatchShell::Posix)
        return QuoteForShell(path);
    // A batch file expands %NAME% even between double quotes; "%%" is its literal percent.
    std::string escaped;
    for (const char c : path) {
        escaped += c;
        if (c == '%')
            escaped += '%';
    }
    return NeedsCmdQuotes(path) ? "\"" + escaped + "\"" : escaped;
}

/// Collects the batch file's text and variables, a path at a time.
class BatchWriter {
public:
    explicit BatchWriter(BatchShell shell) : shell_(shell) { }

    /// `path` as the batch file names it; `variable` carries it when cmd.exe would misread it.
    std::string Path(const std::string& path, const char* variable)
    {
        if (shell_ == BatchShell::Posix || IsPlainAscii(path))
            return QuoteForBatch(path, shell_);
        // The expansion is not expanded again, so a "%" in the path needs no doubling; the
        // quotes keep cmd.exe from splitting it or reading its characters as syntax.
        batch_.variables.push_back({variable, path});
        return "\"%" + std::string(variable) + "%\"";
    }

    CompileBatch Finish(std::string text)
    {
        batch_.text = std::move(text);
        return std::move(batch_);
    }

private:
    BatchShell shell_;
    CompileBatch batch_;
};

/// Deletes the batch file when the command ends, however it ends.
class BatchFileCleanup {
public:
    explicit BatchFileCleanup(std::string path) : path_(std::move(path)) { }
    ~BatchFileCleanup() { DeleteFileQuietly(path_); }
    BatchFileCleanup(const BatchFileCleanup&) = delete;
    BatchFileCleanup& operator=(const BatchFileCleanup&) = delete;

private:
    std::string path_;
};

/// The batch file lives for one run and is deleted after it, so it is written plainly: a
/// flush to the disk would only slow every Compile down.
void WriteBatchFile(const std::string& path, const std::string& text)
{
    std::ofstream out(SystemPath(path), std::ios::binary | std::ios::trunc);
    if (!out)
        throw CannotCreateFile(path);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    if (!out) {
        DeleteFileQuietly(path);
        throw StreamWriteError();
    }
}

void WaitForBatchFile(const CommandHost& host, const std::string& path)
{
    for (int i = 0; i < kBatchFileChecks && !FileExists(path); ++i)
        host.view.Repaint();
}

/// Step 12: what the run left behind decides what the pane shows.
void ShowCompileResult(const CommandHost& host, const std::string& scriptPath, const std::string& outputPath)
{
    const std::string resPath = ReplaceExtension(scriptPath, ".res");
    if (!FileExists(resPath))
        return;
    if (!FileExists(outputPath)) {
        host.view.AddMessage(std::string(kCompilerErrorText));
        return;
    }
    if (LoadCompilerMessages(host.view, outputPath) > 0)
        return;  // the compiler's diagnostics stay in the pane
    host.dialogs.MessageBox(BoxKind::Information, std::string(kResourceCompiledText) + resPath, BoxButtons::Ok);
    host.view.AddMessage(std::string(kCompileCompleteText));
}

}  // namespace

CompileBatch MakeCompileBatch(const std::string& compilerPath, const std::string& scriptPath,
                              const std::string& outputPath, BatchShell shell)
{
    BatchWriter writer(shell);
    std::string text = writer.Path(compilerPath, "BREVOK_COMPILER") + " ";
    text += writer.Path(scriptPath, "BREVOK_SCRIPT") + " > ";
    text += writer.Path(outputPath, "BREVOK_OUTPUT") + "\r\n CLS\r\n";
    return writer.Finish(std::move(text));
}

std::string BatchPathFor(const std::string& scriptPath)
{
    return EnsureTrailingBackslash(FolderPart(scriptPath)) + std::string(kBatchFileName);
}

void RunCompileCommand(const CommandHost& host, const CompileCommandOptions& options)
{
    ScriptDocument& document = host.document;
    TSettings& settings = host.settings;
    Dialogs& dialogs = host.dialogs;

    if (document.Empty()) {
        dialogs.MessageBox(BoxKind::Error, std::string(kNoResourcesText), BoxButtons::Ok);
        return;
    }
    if (!FileExists(settings.CompilerPath)) {
        dialogs.MessageBox(BoxKind::Information, std::string(kNoCompilerText), BoxButtons::Ok);
        return;
    }
    settings.BatchPath = BatchPathFor(settings.ScriptPath);
    const std::string scriptPath = settings.ScriptPath;
    const std::string batchPath = settings.BatchPath;

    BusyCursor busy(host.view);
    SaveScriptLines(document, scriptPath);

    const std::string outputPath = ReplaceExtension(scriptPath, ".txt");
    DeleteFileQuietly(outputPath);
    host.view.SetMessages({});
    host.view.Repaint();

    const CompileBatch batch = MakeCompileBatch(settings.CompilerPath, scriptPath, outputPath, options.shell);
    for (const BatchVariable& variable : batch.variables) {
        if (!SetEnvironmentValue(variable.name, variable.value))
            throw Error(FormatText(kCannotSetVariableText, variable.name));
    }
    host.batchText = batch.text;
    WriteBatchFile(batchPath, host.batchText);
    BatchFileCleanup cleanup(batchPath);
    WaitForBatchFile(host, batchPath);

    const RunOutcome run =
        host.launcher.RunFileAndWait("", batchPath, options.timeoutMs,
                                     settings.ShowProgress ? kShowWindowNormal : kShowWindowMinimized, options.hooks);
    if (!run.Ok()) {
        dialogs.MessageBox(BoxKind::Information, run.Text(), BoxButtons::Ok);
        return;
    }
    ShowCompileResult(host, scriptPath, outputPath);
}

}  // namespace brevok
