// The main window TfrmResmain: a view of the workbench over Qt widgets. It builds the menus,
// tool bar, labels, list, message pane and status bar, forwards every event to the workbench
// and shows what the workbench tells it.
#pragma once

#include "workbench/workbench.h"
#include "workbench/workbench_view.h"

#include <QMainWindow>

#include <array>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QLabel;
class QListView;
class QMenu;
class QPlainTextEdit;
class QToolBar;
class QToolButton;

namespace brevok {

class CompileProgressWindow;
class Dialogs;
class ProcessLauncher;
class ProgramStarter;
class Registry;
class ScriptListModel;
class Shell;
class THalvaneAboutBox;
class TKURL2;

/// Everything the window uses from outside, given once at construction, so that tests can run
/// the real window with a scripted Dialogs and a registry file in a temporary folder.
struct MainWindowServices {
    Dialogs& dialogs;
    Registry& registry;
    /// The runners of Compile and Build All.
    ProcessLauncher& launcher;
    /// WinExec for the help viewer.
    ProgramStarter& starter;
    /// The full path of the program's own file.
    std::string programPath = {};
    /// The shell's "open" verb for the link entries of the Help menu; null until given.
    Shell* shell = nullptr;
};

/// The application's one window. Its handlers keep the names of the controls and events
/// they serve and forward to the workbench (workbench.h maps them).
class TfrmResmain : public QMainWindow, private WorkbenchView {
    Q_OBJECT

public:
    explicit TfrmResmain(MainWindowServices services, QWidget* parent = nullptr);
    ~TfrmResmain() override;

    Workbench& Bench() { return *workbench_; }

    /// FormActivate: the window's first show or activation queues it; tests call it directly.
    void Activate() { workbench_->Activate(); }

    /// The about box of the Help menu (configured as the window stores it).
    THalvaneAboutBox& AboutBox() { return *aboutBox_; }

    // --- the controls, for tests and the screenshot tool ---
    QListView* lstResList() const { return lstResList_; }
    QPlainTextEdit* memCompilerMess() const { return memCompilerMess_; }
    /// The text of status panel 0, 1 or 2.
    QString StatusPanelText(int panel) const;
    /// The run-output window while a run with "Show Compiler progress" shows one.
    CompileProgressWindow* RunOutputWindow() const { return runOutput_; }

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // WorkbenchView
    void Show(const WorkbenchState& state) override;
    void SetMessages(std::span<const std::string> lines) override;
    void AddMessage(std::string_view line) override;
    std::optional<std::size_t> SelectedLine() const override;
    void SelectLine(std::optional<std::size_t> line) override;
    void BeginBusy() override;
    void EndBusy() override;
    void Repaint() override;
    void AddRunOutput(std::string_view bytes) override;
    void EndRunOutput() override;
    void SetAboutBoxFile(const std::string& path) override;
    void ShowAboutBox() override;
    void OpenMakerLink(MakerLink link) override;
    void Close() override { close(); }

    void BuildMenus();
    void BuildToolBar(QWidget* client);
    void BuildControls(QWidget* client);
    void CreateAboutComponents();
    void AddMenuCommand(QMenu* menu, CommandId id);
    void AddToolButton(CommandId id);
    void QueueActivation();

    Shell* shell_ = nullptr;
    std::unique_ptr<Workbench> workbench_;
    bool activationQueued_ = false;
    bool centred_ = false;
    int busyDepth_ = 0;

    QLabel* lblCurResFile_ = nullptr;
    QLabel* lblCurExeFile_ = nullptr;
    QLabel* wFolder_ = nullptr;
    QLabel* compLab_ = nullptr;
    QListView* lstResList_ = nullptr;
    QWidget* lstViewport_ = nullptr;
    ScriptListModel* model_ = nullptr;
    QPlainTextEdit* memCompilerMess_ = nullptr;
    QLabel* statusPanels_[3] = {};
    QToolBar* toolBar1_ = nullptr;
    QWidget* panel1_ = nullptr;
    THalvaneAboutBox* aboutBox_ = nullptr;
    TKURL2* web_ = nullptr;
    TKURL2* email_ = nullptr;
    CompileProgressWindow* runOutput_ = nullptr;
    /// The menu entry and the tool button (null for none) of each command, by CommandId.
    std::array<QAction*, kCommandCount> commandActions_ = {};
    std::array<QToolButton*, kCommandCount> commandButtons_ = {};
};

}  // namespace brevok
