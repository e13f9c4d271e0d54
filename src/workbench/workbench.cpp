// The main window's behaviour: the first activation, the two states and every command.
#include "workbench/workbench.h"

#include "platform/files.h"
#include "rules/paths.h"
#include "platform/process.h"
#include "registry/registry.h"
#include "script/redirect.h"
#include "script/resource_line.h"
#include "versioninfo/get_version_info.h"
#include "workbench/build_all_command.h"
#include "workbench/compile_command.h"
#include "workbench/error_report.h"
#include "workbench/help_command.h"

#include <limits>

namespace brevok {

namespace {

constexpr const char* kScriptFilePrefix = "Current Resource Script File: ";
constexpr const char* kExeFilePrefix = "Current Executable File: ";
constexpr const char* kNoFileOpen = "No file open";

/// The initial folder Open leaves in OpenRC: the script's folder without its final
/// separator, except for a root folder ("C:\", "/"), which keeps it.
std::string DialogFolderOf(const std::string& path)
{
    std::string folder = FolderPart(path);
    const bool windowsRoot = kHostPathStyle == PathStyle::Windows && folder.size() == 3 && folder[1] == ':';
    if (folder.size() > 1 && !windowsRoot && IsPathSeparator(folder.back()))
        folder.pop_back();
    return folder;
}

/// The program chosen in the compiler's dialog. Where programs carry no ".exe" the name is
/// taken as typed; only a name that does not exist, and exists with ".exe" added, gets it.
std::string ChosenProgram(FileDialogState& dialog)
{
    if (dialog.offerPlainExecutables && !PathExists(dialog.fileName) && FileExists(dialog.fileName + ".exe"))
        dialog.fileName += ".exe";
    return dialog.fileName;
}

/// For the length of one run: the window repaints while the launcher waits and, when the
/// progress is shown, the run's output goes to the run-output window, which closes at the end.
class RunScope {
public:
    RunScope(WorkbenchView& view, bool showOutput) : view_(view), showOutput_(showOutput) { }
    ~RunScope()
    {
        if (showOutput_)
            view_.EndRunOutput();
    }
    RunScope(const RunScope&) = delete;
    RunScope& operator=(const RunScope&) = delete;

    /// What the launcher may do while this run waits.
    LaunchHooks Hooks() const
    {
        LaunchHooks hooks;
        hooks.pump = [&view = view_] { view.Repaint(); };
        if (showOutput_)
            hooks.output = [&view = view_](std::string_view bytes) { view.AddRunOutput(bytes); };
        return hooks;
    }

private:
    WorkbenchView& view_;
    bool showOutput_;
};

}  // namespace

Workbench::Workbench(WorkbenchServices services, WorkbenchView& view)
    : services_(std::move(services)),
      view_(view),
      openRC_(services_.dialogs.FileDialog(FileDialogId::OpenRC)),
      browseComp_(services_.dialogs.FileDialog(FileDialogId::BrowseComp)),
      cdgFileDialog_(services_.dialogs.FileDialog(FileDialogId::cdgFileDialog)),
      setWork_(services_.dialogs.FileDialog(FileDialogId::SetWork))
{
    // A window's dialog objects start as designed.
    for (FileDialogState* state : {&openRC_, &browseComp_, &cdgFileDialog_, &setWork_})
        *state = FileDialogState{};

    state_.caption = kInitialCaption;
    state_.scriptLabel = kResFileCaption;
    state_.exeLabel = kExeFileCaption;
    state_.folderLabel = kFolderCaption;
    state_.compilerLabel = kCompilerCaption;

    openRC_.filter = "Resource File [*.RC]|*.RC";
    openRC_.defaultExtension = "*.RC";
    openRC_.pathMustExist = true;

    browseComp_.title = "Locate BRCC32";
    browseComp_.filter = "Executable [*.exe]|*.exe";
    browseComp_.defaultExtension = "*.exe";
    browseComp_.fileName = "BRCC32.exe";
    // The companion compiler is installed beside the program: Enter on the first prompt of a
    // fresh install takes it.
    browseComp_.initialFolder = FolderPart(services_.programPath);
    if (kHostPathStyle == PathStyle::Posix) {
        // Here without ".exe".
        browseComp_.fileName = "brcc32";
        browseComp_.offerPlainExecutables = true;
    }

    // The root of the system drive, where the first Add File starts.
    constexpr std::string_view kFirstDataFolder = kHostPathStyle == PathStyle::Windows ? "c:\\" : "/";
    cdgFileDialog_.initialFolder = std::string(kFirstDataFolder);
    cdgFileDialog_.pathMustExist = true;

    setWork_.title = "Select Working Folder";
    setWork_.defaultExtension = "*.*";
    setWork_.noValidate = true;
}

Workbench::~Workbench() = default;

bool Workbench::Run(const std::function<void()>& command)
{
    return RunReported(services_.dialogs, command);
}

void Workbench::Execute(CommandId id)
{
    Run([this, id] { (this->*InfoOf(id).steps)(); });
}

void Workbench::Refresh()
{
    state_.startWithLast = settings_.StartWithLast;
    state_.showProgress = settings_.ShowProgress;
    view_.Show(state_);
}

// --- the first activation -------------------------------------------------------------------

void Workbench::Activate()
{
    if (activated_)
        return;
    activated_ = true;
    if (!Run([this] { ActivationSteps(); })) {
        // The steps after the failure did not run. Whatever was loaded, no script is open
        // now, so no later command can save an empty list over a script the user never saw.
        Run([this] { SetScriptOpen(false); });
    }
    Refresh();
}

void Workbench::ActivationSteps()
{
    // kept as written
    state_.caption = std::string(kApplicationTitle) + " Version " + RunningProgramFileVersion() + "  by Halvane";
    Refresh();
    view_.SetAboutBoxFile(services_.programPath);

    try {
        LoadSettings(services_.registry, settings_);
    } catch (...) {
        // The values read before the failing one are in force, the options among them.
        Refresh();
        ShowRegistryNotice();
        throw;
    }
    Refresh();
    ShowRegistryNotice();

    SetCompilerLabel();
    if (settings_.CompilerPath == "none") {
        const BoxAnswer answer =
            services_.dialogs.MessageBox(BoxKind::Warning, kCompilerUnknownText, BoxButtons::YesNo);
        if (answer == BoxAnswer::Yes && services_.dialogs.OpenFile(browseComp_))
            settings_.CompilerPath = ChosenProgram(browseComp_);
        SetCompilerLabel();
    }

    state_.folderLabel += " " + settings_.WorkingFolder;
    Refresh();
    settings_.WorkingFolder = EnsureTrailingBackslash(settings_.WorkingFolder);
    openRC_.initialFolder = settings_.WorkingFolder;

    if (!startScript_.empty()) {
        // The script named on the command line, in place of the last one; the executable
        // stored for the last one does not belong to it.
        settings_.ExePath.clear();
        OpenScriptFile(startScript_);
    } else if (settings_.StartWithLast && FileExists(settings_.ScriptPath)) {
        LoadScriptLines(document_, settings_.ScriptPath);
        openRC_.initialFolder = FolderPart(settings_.ScriptPath);
        SetScriptOpen(true);
    } else {
        SetScriptOpen(false);
    }
}

void Workbench::ShowRegistryNotice()
{
    const std::string notice = services_.registry.TakeNotice();
    if (!notice.empty())
        services_.dialogs.MessageBox(BoxKind::Information, notice, BoxButtons::Ok);
}

void Workbench::SetCompilerLabel()
{
    state_.compilerLabel = "Compiler " + settings_.CompilerPath;
    Refresh();
}

void Workbench::SetFolderLabel(const std::string& folder)
{
    state_.folderLabel = std::string(kFolderCaption) + " " + folder;
    Refresh();
}

// --- the two states ---------------------------------------------------------------------------

void Workbench::SetScriptOpen(bool open)
{
    state_.commands = open ? CommandState::ScriptOpen : CommandState::NoScript;
    view_.SetMessages({});
    if (open) {
        if (!settings_.ScriptPath.empty())
            state_.scriptLabel = kScriptFilePrefix + settings_.ScriptPath;
        if (!settings_.ExePath.empty())
            state_.exeLabel = kExeFilePrefix + settings_.ExePath;
    } else {
        state_.scriptLabel = std::string(kScriptFilePrefix) + kNoFileOpen;
        state_.exeLabel = std::string(kExeFilePrefix) + kNoFileOpen;
        cdgFileDialog_.fileName.clear();
        document_.Clear();
        settings_.ScriptPath.clear();
        settings_.ExePath.clear();
    }
    state_.statusPanel = settings_.ScriptPath;
    Refresh();
}

// --- New, Open, Close, Exit -------------------------------------------------------------------

void Workbench::NewScript()
{
    for (;;) {
        if (!settings_.ScriptPath.empty())
            return;
        openRC_.title = "Start a new resource script file";
        if (!services_.dialogs.OpenFile(openRC_) || openRC_.fileName.empty())
            return;
        if (FileExists(openRC_.fileName)) {
            // An existing file never becomes the new script; the dialog opens again on its name.
            services_.dialogs.MessageBox(BoxKind::Error, kNewFileNameText, BoxButtons::Ok);
            continue;
        }
        settings_.ScriptPath = openRC_.fileName;
        SetScriptOpen(true);
        return;
    }
}

void Workbench::OpenScript()
{
    if (!settings_.ScriptPath.empty())
        return;
    openRC_.title = "Open Resource script file";
    if (!services_.dialogs.OpenFile(openRC_) || openRC_.fileName.empty())
        return;
    OpenScriptFile(openRC_.fileName);
}

void Workbench::OpenScriptFile(const std::string& path)
{
    settings_.ScriptPath = path;
    SetScriptOpen(true);
    try {
        LoadScriptLines(document_, settings_.ScriptPath);
    } catch (...) {
        // A name that does not exist yet stays open as a new script, which a later save
        // creates. Anything that exists but cannot be read (a file without permission, a
        // pipe, a device) is closed again: saving the empty list over it would destroy it.
        if (PathExists(settings_.ScriptPath))
            SetScriptOpen(false);
        throw;
    }
    openRC_.initialFolder = DialogFolderOf(settings_.ScriptPath);
}

void Workbench::CloseScript()
{
    if (settings_.ScriptPath.empty())
        return;
    const BoxAnswer answer =
        services_.dialogs.MessageBox(BoxKind::Confirmation, kSaveChangesText, BoxButtons::YesNoCancel);
    if (answer == BoxAnswer::Cancel)
        return;
    if (answer == BoxAnswer::Yes)
        SaveScriptLines(document_, settings_.ScriptPath);
    SetScriptOpen(false);
}

bool Workbench::AskSaveBeforeEnding(bool exitCommand)
{
    // Exit asks when a key was typed in the list (ResourcesChanged), as it always did, and
    // also when any line command changed the lines since they were loaded or saved; the
    // close box asks in the second case.
    const bool changed = document_.Modified() || (exitCommand && resourcesChanged_);
    if (settings_.ScriptPath.empty() || !changed)
        return true;
    const BoxAnswer answer =
        services_.dialogs.MessageBox(BoxKind::Confirmation, kSaveBeforeExitText, BoxButtons::YesNoCancel);
    if (answer == BoxAnswer::Cancel)
        return false;
    if (answer == BoxAnswer::Yes)
        SaveScriptLines(document_, settings_.ScriptPath);
    return true;
}

void Workbench::Exit()
{
    if (!AskSaveBeforeEnding(true))
        return;
    // Before the first activation has normalised it, the folder may be empty: then there
    // is no capture file of ours to delete.
    if (!settings_.WorkingFolder.empty())
        DeleteFileQuietly(settings_.WorkingFolder + std::string(kCaptureFileName));
    exiting_ = true;
    view_.Close();
    exiting_ = false;
}

bool Workbench::MayClose()
{
    if (!exiting_) {
        bool goOn = false;
        if (!Run([&] { goOn = AskSaveBeforeEnding(false); }) || !goOn)
            return false;
    }
    // Settings that were never loaded are not written over the stored ones.
    if (!activated_)
        return true;
    return Run([this] { SaveSettings(services_.registry, settings_); });
}

// --- the list -----------------------------------------------------------------------------------

void Workbench::NoteTypedKey()
{
    const std::size_t lines = document_.LineCount();
    const auto limit = static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max());
    settings_.LineCount = static_cast<std::int32_t>(lines < limit ? lines : limit);
    resourcesChanged_ = true;
    document_.MarkModified();
}

void Workbench::EditSelectedLine()
{
    Run([this] {
        const std::optional<std::size_t> row = view_.SelectedLine();
        if (!row || *row >= document_.LineCount())
            return;
        std::string text(document_.Line(*row));
        if (!services_.dialogs.EditLine(text) || text == document_.Line(*row))
            return;
        document_.Replace(*row, std::move(text));
    });
}

// --- Add File, Remove File, Re-direct -------------------------------------------------------------

bool Workbench::ChooseExistingFile(std::string_view title, std::string_view filter)
{
    // The shared dialog keeps only its initial folder between uses; everything else is set
    // afresh by each command.
    cdgFileDialog_.title = std::string(title);
    cdgFileDialog_.filter = std::string(filter);
    cdgFileDialog_.defaultExtension.clear();
    cdgFileDialog_.fileName.clear();
    cdgFileDialog_.hideReadOnly = true;
    cdgFileDialog_.pathMustExist = true;
    cdgFileDialog_.fileMustExist = true;
    cdgFileDialog_.noValidate = false;
    cdgFileDialog_.resizable = false;
    return services_.dialogs.OpenFile(cdgFileDialog_) && !cdgFileDialog_.fileName.empty();
}

void Workbench::AddFile()
{
    if (!ChooseExistingFile(kAddFileDialogTitle, kAddFileFilter))
        return;
    NameAndAddFile(cdgFileDialog_.fileName);
}

void Workbench::AddDroppedFiles(const std::vector<std::string>& paths)
{
    Run([&] {
        if (settings_.ScriptPath.empty())
            return;
        // What the Add File dialog would not accept (a folder, a missing file) is passed over.
        for (const std::string& path : paths) {
            if (FileExists(path))
                NameAndAddFile(path);
        }
    });
}

void Workbench::NameAndAddFile(const std::string& path)
{
    // The next Add File and the next executable selection start in this folder, even when
    // the naming below is abandoned.
    cdgFileDialog_.initialFolder = FolderPart(path);
    const std::string type = ResourceTypeForPath(path);

    for (;;) {
        const std::string name =
            services_.dialogs.InputText(std::string(kResourceNameCaption), std::string(kResourceNamePrompt),
                                        static_cast<int>(kMaxResourceNameLength));
        if (name.empty())
            return;
        if (IsValidResourceName(name)) {
            document_.Append(BuildResourceLine(name, type, path));
            return;
        }
        services_.dialogs.MessageBox(BoxKind::Error, std::string(kResourceNameError), BoxButtons::Ok);
    }
}

void Workbench::RemoveSelectedLine()
{
    const std::optional<std::size_t> row = view_.SelectedLine();
    if (!row || *row >= document_.LineCount())
        return;
    document_.Remove(*row);
    // No neighbour is selected in its place: a second Remove File removes nothing the
    // user did not choose.
    view_.SelectLine(std::nullopt);
}

void Workbench::RedirectSources()
{
    if (document_.Empty())
        return;
    RedirectScriptPaths(document_, settings_.WorkingFolder);
}

// --- Options ------------------------------------------------------------------------------------

void Workbench::ToggleStartWithLast()
{
    settings_.StartWithLast = !settings_.StartWithLast;
    Refresh();
}

void Workbench::ToggleShowProgress()
{
    settings_.ShowProgress = !settings_.ShowProgress;
    Refresh();
}

void Workbench::FindCompiler()
{
    if (!services_.dialogs.OpenFile(browseComp_))
        return;
    settings_.CompilerPath = ChosenProgram(browseComp_);
    SetCompilerLabel();
}

void Workbench::ChooseWorkingFolder()
{
    if (!services_.dialogs.OpenFile(setWork_))
        return;
    settings_.WorkingFolder = FolderPart(setWork_.fileName);
    SetFolderLabel(settings_.WorkingFolder);
}

void Workbench::ChooseExecutable()
{
    if (settings_.ScriptPath.empty())
        return;
    if (!ChooseExistingFile("Select executable to bind resource file to", "Executable File (*.EXE)|*.EXE"))
        return;
    settings_.ExePath = cdgFileDialog_.fileName;
    state_.exeLabel = kExeFilePrefix + settings_.ExePath;
    Refresh();
}

// --- Actions and Help -------------------------------------------------------------------------------

void Workbench::Compile()
{
    RunScope scope(view_, settings_.ShowProgress);
    RunCompileCommand(CompilerCommandHost(), {.hooks = scope.Hooks()});
}

void Workbench::BuildAll()
{
    // The companion always starts minimised: no run-output window, only repainting.
    RunScope scope(view_, false);
    RunBuildAllCommand(CompilerCommandHost(), {.hooks = scope.Hooks()});
}

void Workbench::ShowHelp()
{
    RunHelpCommand(services_.starter, services_.programPath);
}

void Workbench::ShowAbout()
{
    view_.ShowAboutBox();
}

void Workbench::EmailMaker()
{
    view_.OpenMakerLink(MakerLink::Email);
}

void Workbench::OpenMakerWebPage()
{
    view_.OpenMakerLink(MakerLink::Web);
}

// --- what Compile and Build All work on -------------------------------------------------------

CommandHost Workbench::CompilerCommandHost()
{
    return {document_, settings_, services_.dialogs, services_.launcher, view_, batchText_};
}

}  // namespace brevok
