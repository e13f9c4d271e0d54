// The main window's behaviour without a toolkit: the state, the first activation, the two
// states of the window and every command of its menus, tool bar and list.
#pragma once

#include "script/script_document.h"
#include "settings/settings.h"
#include "workbench/command_host.h"
#include "workbench/command_table.h"
#include "workbench/dialogs.h"
#include "workbench/workbench_view.h"

#include <functional>
#include <string>
#include <vector>

namespace brevok {

class ProcessLauncher;
class ProgramStarter;
class Registry;

/// Everything the workbench uses from outside, given once at construction.
struct WorkbenchServices {
    /// Every modal interaction: message boxes, file dialogs, the name prompt, the Resource Editor.
    Dialogs& dialogs;
    /// HKEY_CURRENT_USER, where the settings live.
    Registry& registry;
    /// The runners of Compile and Build All.
    ProcessLauncher& launcher;
    /// WinExec, for the help viewer.
    ProgramStarter& starter;
    /// The full path of the program's own file.
    std::string programPath;
};

/// The texts of the window and its commands, exactly as the user sees them.
// kept as written
inline constexpr const char* kCompilerUnknownText =
    "Location of Resource compiler BRCC32 is unknown\rClick Yes to browse for this file";
inline constexpr const char* kNewFileNameText = "You must give a NEW file name";
inline constexpr const char* kSaveChangesText = "Do you wish to save any changes?";
// kept as written
inline constexpr const char* kSaveBeforeExitText =
    "Resources may have changed, Do you wish to save file before exiting program?";
inline constexpr const char* kInitialCaption = "Resource Compiler";
inline constexpr const char* kResFileCaption = "Current Resource File:";
inline constexpr const char* kExeFileCaption = "Current Executable File:";
inline constexpr const char* kFolderCaption = "Working (Install) Folder:";
inline constexpr const char* kCompilerCaption = "Compiler";

/// The main window's state and commands. A window hands every menu entry and tool button to
/// Execute by the id the command table (command_table.h) gives it; the list's events and the
/// close request have their own calls:
///
/// | handler                                     | call                    |
/// |---------------------------------------------|-------------------------|
/// | FormActivate                                | Activate                |
/// | (every entry of the command table)          | Execute                 |
/// | lstResListClick (double-click)              | EditSelectedLine        |
/// | lstResListKeyPress                          | NoteTypedKey            |
/// | (files dropped on lstResList)               | AddDroppedFiles         |
/// | FormCloseQuery / FormClose                  | MayClose                |
///
/// Each command reports a failure that leaves it through the generic error report and
/// returns; what it did before stays done.
class Workbench final {
public:
    Workbench(WorkbenchServices services, WorkbenchView& view);
    ~Workbench();
    Workbench(const Workbench&) = delete;
    Workbench& operator=(const Workbench&) = delete;

    /// The first-activation steps; later calls do nothing. A failure is shown by the error
    /// report, the remaining steps are skipped, and no script is left open.
    void Activate();
    bool Activated() const { return activated_; }

    /// The script to open at the first activation in place of the last one (the program's
    /// command-line argument), with the rules of Open.
    void SetStartScript(std::string path) { startScript_ = std::move(path); }

    /// Brings commands, labels and the pane in line with the state; `false` also forgets
    /// the lines and both paths.
    void SetScriptOpen(bool open);

    /// Runs the command `id` of the menus and the tool bar through the generic error report.
    void Execute(CommandId id);

    /// Files dropped on the list: each is added as Add File adds a chosen file (the name
    /// prompt, the same checks, the same line), only while a script is open.
    void AddDroppedFiles(const std::vector<std::string>& paths);
    void EditSelectedLine();
    /// A character key typed in the list: notes the line count and that resources changed.
    void NoteTypedKey();

    /// The window is about to close. Asks about changed lines (unless Exit has asked
    /// already) and writes the settings; false when the window must stay open: the user
    /// cancelled, or the settings could not be written (after the error report).
    bool MayClose();

    ScriptDocument& Document() { return document_; }
    const ScriptDocument& Document() const { return document_; }
    TSettings& Settings() { return settings_; }
    const WorkbenchState& State() const { return state_; }
    /// Set by a typed key and never cleared; Exit asks about saving when it is set.
    bool ResourcesChanged() const { return resourcesChanged_; }

private:
    friend std::span<const CommandInfo> Commands();

    // The steps of the commands of the table, which Execute runs.
    void NewScript();
    void OpenScript();
    void CloseScript();
    void AddFile();
    void RemoveSelectedLine();
    void ImportProgram();  // import_command.cpp
    void Exit();
    void ToggleStartWithLast();
    void FindCompiler();
    void ToggleShowProgress();
    void ChooseWorkingFolder();
    void ChooseExecutable();
    void Compile();
    void BuildAll();
    void RedirectSources();
    void ShowHelp();
    void ShowAbout();
    void EmailMaker();
    void OpenMakerWebPage();

    /// What Compile and Build All work on.
    CommandHost CompilerCommandHost();

    /// Runs one command through the generic error report; false when it failed.
    bool Run(const std::function<void()>& command);
    void ActivationSteps();
    /// Open's steps for a chosen name: the script is open, its lines loaded.
    void OpenScriptFile(const std::string& path);
    void ShowRegistryNotice();
    void SetCompilerLabel();
    void SetFolderLabel(const std::string& folder);
    /// Shows cdgFileDialog for one existing file; true when a name was chosen.
    bool ChooseExistingFile(std::string_view title, std::string_view filter);
    /// Asks for the resource name of `path` until it is valid or cancelled, then adds the line.
    void NameAndAddFile(const std::string& path);
    /// Asked before the program ends; false when the user cancelled.
    bool AskSaveBeforeEnding(bool exitCommand);
    void Refresh();

    WorkbenchServices services_;
    WorkbenchView& view_;
    TSettings settings_;
    ScriptDocument document_;
    WorkbenchState state_;
    std::string batchText_;
    std::string startScript_;
    bool activated_ = false;
    bool resourcesChanged_ = false;
    /// Set while Exit closes the window: Exit has asked its question already.
    bool exiting_ = false;

    /// The dialog objects' states, which the dialogs keep.
    FileDialogState& openRC_;
    FileDialogState& browseComp_;
    FileDialogState& cdgFileDialog_;
    FileDialogState& setWork_;
};

}  // namespace brevok
