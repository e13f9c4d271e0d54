// The main window TfrmResmain: menus, tool bar, labels, the resource list, the message pane and
// the status bar, the first-activation sequence, and the script commands.
#pragma once

#include "workbench/command_host.h"
#include "workbench/dialogs.h"
#include "script/script_document.h"
#include "settings/settings.h"

#include <QMainWindow>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

class QAction;
class QLabel;
class QListView;
class QMenu;
class QPlainTextEdit;
class QStatusBar;
class QToolBar;
class QToolButton;

namespace brevok {

class ProcessLauncher;
class Registry;
class ScriptListModel;
class Shell;
class THalvaneAboutBox;
class TKURL2;

/// Everything the window uses from outside: given once, at construction, so that tests can
/// run the real window with a scripted Dialogs and a registry file in a temporary folder.
struct MainWindowServices {
    /// Every modal interaction: message boxes, file dialogs, the name prompt, the Resource Editor.
    Dialogs& dialogs;
    /// HKEY_CURRENT_USER, where the settings live.
    Registry& registry;
    /// The full path of the program's own file.
    std::string programPath = {};
    /// The runners of Compile and Build All; null until they are given.
    ProcessLauncher* launcher = nullptr;
    /// The shell's "open" verb for the link entries of the Help menu; null until given.
    Shell* shell = nullptr;
};

/// The texts of the window and its commands, exactly as the user sees them.
inline constexpr const char* kCompilerUnknownText =
    "Location of Resource compiler BRCC32 is unknown\rClick Yes to browse for this file";
inline constexpr const char* kNewFileNameText = "You must give a NEW file name";
inline constexpr const char* kSaveChangesText = "Do you wish to save any changes?";
inline constexpr const char* kSaveBeforeExitText =
    "Resources may have changed, Do you wish to save file before exiting program?";

/// The application's one window. Handlers carry the names of the controls and events they
/// serve; each menu entry and tool button runs its handler through the generic error report.
class TfrmResmain : public QMainWindow, public CommandHost {
    Q_OBJECT

public:
    static constexpr int kClientWidth = 518;
    static constexpr int kClientHeight = 460;

    explicit TfrmResmain(MainWindowServices services, QWidget* parent = nullptr);
    ~TfrmResmain() override;

    // --- the first activation and the two states ---

    /// FormActivate: the start-up steps, run once per window on its first activation (the
    /// window's first show or activation queues it; tests call it directly). A failure is shown
    /// by the error report, the remaining steps are skipped, and the window is left with no
    /// script open.
    void Activate();
    bool Activated() const { return activated_; }

    /// The about box of the Help menu (configured as the window stores it).
    THalvaneAboutBox& AboutBox() { return *aboutBox_; }

    /// Enables the commands for the state (script open or not), clears the message pane, sets
    /// the path labels and status panel 0; `false` also forgets the lines and both paths.
    void SetScriptOpen(bool open);

    // --- handlers of the File menu (and their tool buttons) ---
    void mnuFileNewClick();
    void mnuFileOpenClick();
    void mnuFileCloseClick();
    void mnuFileSelectClick();
    void mnuFileRemoveLineClick();
    void mnuFileExitClick();
    // --- Options ---
    void StartwithLastClick();
    void FindCompiler1Click();
    void ShowprogressClick();
    void SetWorkingFolder1Click();
    void mnuFileSelectExeClick();
    // --- Actions ---
    void mnuFileCompileClick();
    void mnuFileBuildAllClick();
    void Redirectsourcefilestoworkingfolder1Click();
    // --- Help ---
    void Help1Click();
    void About1Click();
    void emailHalvane1Click();
    void HalvaneontheWeb1Click();
    // --- the list ---
    /// Double-click anywhere in lstResList: edits the selected line in the Resource Editor.
    void lstResListClick();
    /// A character key typed in lstResList: notes the line count and that resources changed.
    void lstResListKeyPress();

    /// FormClose: writes the settings. False (after the error report) when they could not be
    /// written; the window then stays open.
    bool FormClose();

    // --- state the commands share ---
    TSettings& Settings() override { return settings_; }
    ScriptDocument& Document() override { return document_; }
    bool ResourcesChanged() const { return resourcesChanged_; }
    bool StartWithLastChecked() const;
    bool ShowProgress() const override;
    Dialogs& GetDialogs() override { return services_.dialogs; }
    ProcessLauncher& Launcher() override;
    const MainWindowServices& Services() const { return services_; }

    /// The four open-file dialogs of the window, with the state they keep between uses.
    FileDialogState& OpenRC() { return openRC_; }
    FileDialogState& BrowseComp() { return browseComp_; }
    FileDialogState& cdgFileDialog() { return cdgFileDialog_; }
    FileDialogState& SetWork() { return setWork_; }

    /// The index of the selected line of lstResList, or -1 when none is selected.
    int SelectedLine() const;
    /// Selects line `index` (or nothing for -1), as a click would.
    void SelectLine(int index);

    // --- the controls the commands write to ---
    QListView* lstResList() const { return lstResList_; }
    QPlainTextEdit* memCompilerMess() const { return memCompilerMess_; }
    QPlainTextEdit* BatchTextEdit() const { return batchText_; }
    QLabel* lblCurExeFile() const { return lblCurExeFile_; }
    QLabel* CompLab() const { return compLab_; }
    QLabel* wFolder() const { return wFolder_; }
    /// The text of status panel 0, 1 or 2.
    QString StatusPanelText(int panel) const;

    // --- CommandHost: the message pane, the batch buffer, the busy cursor, the pump ---
    void ClearMessages() override;
    void SetMessages(const std::vector<std::string>& lines) override;
    void AddMessage(const std::string& line) override;
    void SetBatchText(const std::string& text) override;
    std::string BatchText() const override;
    void BeginBusyCursor() override;
    void EndBusyCursor() override;
    /// Processes pending paint and other non-input events; user input waits for the command.
    void ProcessPendingMessages() override;

    /// Runs a handler as a menu entry does: a failure goes to the error report.
    bool RunCommand(void (TfrmResmain::*handler)());

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildMenus();
    void BuildToolBar(QWidget* client);
    void BuildControls(QWidget* client);
    void InitDialogStates();
    QAction* AddMenuCommand(QMenu* menu, const char* name, const char* text,
                            void (TfrmResmain::*handler)());
    QToolButton* AddToolButton(const char* name, const char* hint, int picture,
                               void (TfrmResmain::*handler)());

    void QueueActivation();
    void FormActivateSteps();
    /// Step 3 of the first activation: gives the about box the program's own file.
    void SetAboutBoxFile();
    /// Shows cdgFileDialog for one existing file; true when a name was chosen.
    bool ChooseExistingFile(std::string_view title, std::string_view filter);
    /// Creates AboutBox and the two link controls, configured as stored with the window.
    void CreateAboutComponents();
    void ShowRegistryNotice();
    void ApplyOptionMarks();
    void SetCompilerLabel();
    void SetLabelText(QLabel* label, const std::string& text);
    /// The mended question before the program ends: asked when a script is open and its lines
    /// changed (Exit also asks when ResourcesChanged is set). False when the user cancelled.
    bool AskSaveBeforeEnding(bool exitCommand);

    MainWindowServices services_;
    TSettings settings_;
    ScriptDocument document_;
    bool activated_ = false;
    bool activationQueued_ = false;
    bool resourcesChanged_ = false;
    /// Set while Exit closes the window: Exit has asked its question already.
    bool exiting_ = false;
    int busyDepth_ = 0;

    FileDialogState openRC_;
    FileDialogState browseComp_;
    FileDialogState cdgFileDialog_;
    FileDialogState setWork_;

    QToolBar* toolBar1_ = nullptr;
    QLabel* lblCurResFile_ = nullptr;
    QLabel* lblCurExeFile_ = nullptr;
    QLabel* wFolder_ = nullptr;
    QLabel* compLab_ = nullptr;
    QLabel* lblResList_ = nullptr;
    QListView* lstResList_ = nullptr;
    ScriptListModel* model_ = nullptr;
    QLabel* lblComMess_ = nullptr;
    QPlainTextEdit* memCompilerMess_ = nullptr;
    QStatusBar* sBar_ = nullptr;
    QLabel* statusPanels_[3] = {};
    QPlainTextEdit* batchText_ = nullptr;
    std::string batchBytes_;
    QWidget* panel1_ = nullptr;
    /// The about box of the Help menu; it also gives the caption its version text.
    THalvaneAboutBox* aboutBox_ = nullptr;
    /// The two link openers on the hidden Panel1.
    TKURL2* web_ = nullptr;
    TKURL2* email_ = nullptr;

    QAction* startwithLast_ = nullptr;
    QAction* showprogress_ = nullptr;
    QWidget* lstViewport_ = nullptr;
    bool centred_ = false;
    /// Enabled exactly while no script is open: New and Open, menu entries and buttons.
    std::vector<QAction*> closedStateActions_;
    std::vector<QWidget*> closedStateButtons_;
    /// Enabled exactly while a script is open.
    std::vector<QAction*> openStateActions_;
    std::vector<QWidget*> openStateButtons_;
};

}  // namespace brevok
