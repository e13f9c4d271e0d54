// What a window shows of the workbench, and the few things the workbench asks of a window.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace brevok {

/// Which commands are enabled. Before the first activation has run every command is
/// enabled, as the window was designed; afterwards the state of the script decides.
enum class CommandState { AsDesigned, NoScript, ScriptOpen };

/// Everything the window shows that the workbench decides, as the user sees it.
struct WorkbenchState {
    /// The window's caption.
    std::string caption;
    /// lblCurResFile, lblCurExeFile, wFolder and CompLab.
    std::string scriptLabel;
    std::string exeLabel;
    std::string folderLabel;
    std::string compilerLabel;
    /// Status panel 0; the other two stay empty.
    std::string statusPanel;
    CommandState commands = CommandState::AsDesigned;
    /// The check marks of "Start with last Project" and "Show Compiler progress".
    bool startWithLast = false;
    bool showProgress = false;

    bool operator==(const WorkbenchState&) const = default;
};

/// The two link entries of the Help menu.
enum class MakerLink { Email, Web };

/// A window as the workbench sees it. The window builds its controls, forwards every menu
/// entry, tool button, double-click, typed key and close request to the workbench, and shows
/// what these calls tell it. The list shows the workbench's ScriptDocument, which announces
/// its own changes.
class WorkbenchView {
public:
    virtual ~WorkbenchView() = default;

    /// Shows the labels, the caption, the enabled commands and the check marks.
    virtual void Show(const WorkbenchState& state) = 0;

    /// The message pane memCompilerMess: replaced as a whole (empty to clear) by lines of a
    /// tool's output, which the tools write in UTF-8, or one line of the program's own text
    /// added at its end.
    virtual void SetMessages(std::span<const std::string> lines) = 0;
    virtual void AddMessage(std::string_view line) = 0;

    /// The selected line of lstResList, if any; selecting nothing clears the selection.
    virtual std::optional<std::size_t> SelectedLine() const = 0;
    virtual void SelectLine(std::optional<std::size_t> line) = 0;

    /// The application-wide busy cursor; every Begin is matched by one End.
    virtual void BeginBusy() = 0;
    virtual void EndBusy() = 0;
    /// Lets the window paint what changed; user input stays queued until the command ends.
    virtual void Repaint() = 0;

    /// The run-output window of "Show Compiler progress": output of the running batch
    /// arrives in pieces (bytes in the system's code page); End closes the window.
    virtual void AddRunOutput(std::string_view bytes) = 0;
    virtual void EndRunOutput() = 0;

    /// The about box, given the program's file once at the first activation, and shown by
    /// the Help menu; the link entries open the maker's addresses.
    virtual void SetAboutBoxFile(const std::string& path) = 0;
    virtual void ShowAboutBox() = 0;
    virtual void OpenMakerLink(MakerLink link) = 0;

    /// Closes the window; the window then asks the workbench whether it may close.
    virtual void Close() = 0;
};

}  // namespace brevok
