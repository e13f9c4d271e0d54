// The main window TfrmResmain on Windows: a view of the workbench over plain Win32 controls.
// It builds the menu bar, tool bar, labels, list, message pane and status bar, forwards every
// event to the workbench and shows what the workbench tells it.
#pragma once

// The workbench first: the system header below names MessageBox as a macro, which must not
// rename the Dialogs method.
#include "workbench/workbench.h"
#include "workbench/window_layout.h"
#include "workbench/workbench_view.h"
#include "ui/win32/about_box.h"
#include "ui/win32/kurl2.h"

#include <windows.h>
#include <commctrl.h>

#undef MessageBox

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace brevok::win32 {

/// Everything the window uses from outside.
struct MainWindowServices {
    Dialogs& dialogs;
    Registry& registry;
    ProcessLauncher& launcher;
    ProgramStarter& starter;
    std::string programPath;
};

class TfrmResmain final : private WorkbenchView {
public:
    explicit TfrmResmain(MainWindowServices services);
    ~TfrmResmain() override;
    TfrmResmain(const TfrmResmain&) = delete;
    TfrmResmain& operator=(const TfrmResmain&) = delete;

    Workbench& Bench() { return *workbench_; }
    HWND Handle() const { return window_; }
    /// Shows the window centred on the screen; the first activation follows.
    void ShowCentred(int showCommand);

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
    void SetAboutBoxFile(const std::string& path) override { aboutBox_.SetFilename(path); }
    void ShowAboutBox() override;
    void OpenMakerLink(MakerLink link) override;
    void Close() override;

    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK ListProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                          DWORD_PTR data);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void BuildMenu();
    void BuildToolBar();
    void BuildControls();
    void CreateAboutComponents();
    HWND AddLabel(const char* text, const layout::Box& place, HFONT font);
    void SizeLabelToText(HWND label);
    void RunCommand(WPARAM id);
    void DrawLine(const DRAWITEMSTRUCT& item);
    void DocumentChanged();
    void QueueActivation();

    Dialogs& dialogs_;
    std::unique_ptr<Workbench> workbench_;
    /// What Show showed last.
    std::optional<WorkbenchState> shown_;
    int documentListener_ = 0;
    HWND window_ = nullptr;
    HWND toolBar_ = nullptr;
    HWND lblCurResFile_ = nullptr;
    HWND lblCurExeFile_ = nullptr;
    HWND wFolder_ = nullptr;
    HWND compLab_ = nullptr;
    HWND lstResList_ = nullptr;
    HWND memCompilerMess_ = nullptr;
    HWND sBar_ = nullptr;
    HWND runOutput_ = nullptr;
    HWND focus_ = nullptr;
    HMENU menu_ = nullptr;
    HFONT headingFont_ = nullptr;
    HIMAGELIST pictures_ = nullptr;
    THalvaneAboutBox aboutBox_;
    HWND panel1_ = nullptr;
    std::unique_ptr<TKURL2> web_;
    std::unique_ptr<TKURL2> email_;
    int busyDepth_ = 0;
    bool activationQueued_ = false;
    bool centred_ = false;
};

}  // namespace brevok::win32
