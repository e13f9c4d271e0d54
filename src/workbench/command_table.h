// The commands of the main window's menus and tool bar, written once: both windows build
// their menus and tool bars from these tables, enable and check their entries by them, and
// hand the chosen command to Workbench::Execute by its id.
#pragma once

#include "workbench/workbench_view.h"

#include <cstddef>
#include <optional>
#include <span>
#include <string_view>

namespace brevok {

class Workbench;

/// Every command of the menus and the tool bar, in the order of the command table.
enum class CommandId : int {
    NewScript,
    OpenScript,
    CloseScript,
    AddFile,
    RemoveFile,
    ImportProgram,
    Exit,
    StartWithLast,
    FindCompiler,
    ShowProgress,
    SetWorkingFolder,
    SelectExe,
    Compile,
    BuildAll,
    RedirectSources,
    Help,
    About,
    EmailMaker,
    MakerWebPage,
};
inline constexpr std::size_t kCommandCount = 19;

/// When a command can be chosen once the first activation has run; before it every command
/// can, as the window was designed.
enum class Enabling { Always, NoScriptOpen, ScriptOpen };

/// One command as the windows show it.
struct CommandInfo {
    CommandId id;
    /// The name of its menu entry, which its handler is named after ("mnuFileNew").
    std::string_view menuName;
    /// The menu text with its access key ("&New").
    std::string_view caption;
    Enabling enabling = Enabling::Always;
    /// A check mark shows the option's state (the options of the Options menu).
    bool checkable = false;
    /// The tool button, where the command has one: its name, its picture (0 to 10) and hint.
    std::string_view toolName = {};
    int picture = -1;
    std::string_view hint = {};
    /// The workbench's steps of the command, which Workbench::Execute runs.
    void (Workbench::*steps)() = nullptr;
};

/// The command table, in CommandId order. To add a command: give it an id above, a row in
/// the table (command_table.cpp) and its steps in the workbench; put it in a menu and,
/// if it has a button, on the tool bar.
std::span<const CommandInfo> Commands();
const CommandInfo& InfoOf(CommandId id);

/// Whether a command of `enabling` can be chosen in `state`.
bool IsEnabled(Enabling enabling, CommandState state);

/// The command whose menu entry or tool button has the name `name`.
std::optional<CommandId> CommandNamed(std::string_view name);

/// One menu of the menu bar; an entry without a command is a separator.
struct MenuInfo {
    std::string_view name;
    std::string_view caption;
    std::span<const std::optional<CommandId>> entries;
};
std::span<const MenuInfo> Menus();

/// The tool bar from left to right: a button of a command, or a gap of `gapWidth` pixels.
struct ToolBarItem {
    std::optional<CommandId> command;
    int gapWidth = 0;
};
std::span<const ToolBarItem> ToolBar();

}  // namespace brevok
