// The command table of the main window, its menus and its tool bar.
#include "workbench/command_table.h"

#include "workbench/workbench.h"

#include <array>

namespace brevok {

namespace {

using enum CommandId;
using enum Enabling;

constexpr bool InIdOrder(const std::array<CommandInfo, kCommandCount>& commands)
{
    for (std::size_t i = 0; i < commands.size(); ++i) {
        if (static_cast<std::size_t>(commands[i].id) != i)
            return false;
    }
    return true;
}

constexpr std::optional<CommandId> kSeparator;

constexpr std::optional<CommandId> kFileMenu[] = {NewScript, OpenScript,    CloseScript, kSeparator, AddFile,
                                                  RemoveFile, ImportProgram, kSeparator,  Exit};
constexpr std::optional<CommandId> kOptionsMenu[] = {StartWithLast, FindCompiler, ShowProgress, SetWorkingFolder,
                                                     SelectExe};
constexpr std::optional<CommandId> kActionsMenu[] = {Compile, BuildAll, kSeparator, RedirectSources};
constexpr std::optional<CommandId> kHelpMenu[] = {Help, About, kSeparator, EmailMaker, MakerWebPage};

constexpr MenuInfo kMenus[] = {
    {"mnuFile", "&File", kFileMenu},
    {"mnuOptions", "&Options", kOptionsMenu},
    {"mnuActions", "&Actions", kActionsMenu},
    {"mnuHelp", "&Help", kHelpMenu},
};

constexpr ToolBarItem kToolBar[] = {
    {Exit},    {std::nullopt, 41}, {NewScript}, {OpenScript}, {CloseScript},      {SelectExe},
    {AddFile}, {RemoveFile},       {Compile},   {BuildAll},   {std::nullopt, 40}, {Help},
};

}  // namespace

std::span<const CommandInfo> Commands()
{
    // Inside the function, which Workbench names as its friend: the rows take the addresses of
    // its private steps. The texts are the window's own, as the user has always seen them.
    using W = Workbench;
    static constexpr std::array<CommandInfo, kCommandCount> kCommands = {{
        {NewScript, "mnuFileNew", "&New", NoScriptOpen, false, "tlbNew", 0, "New Resource Script", &W::NewScript},
        {OpenScript, "mnuFileOpen", "&Open", NoScriptOpen, false, "tlbOpen", 1, "Open Resource Script", &W::OpenScript},
        {CloseScript, "mnuFileClose", "C&lose", ScriptOpen, false, "tlbClose", 2, "Close Resource Script",
         &W::CloseScript},
        {AddFile, "mnuFileSelect", "&Add File", ScriptOpen, false, "tlbSelectFile", 3, "Add a file to resources",
         &W::AddFile},
        {RemoveFile, "mnuFileRemoveLine", "&Remove File", ScriptOpen, false, "tlbRemoveFile", 10,
         "Remove a file from resources", &W::RemoveSelectedLine},
        {ImportProgram, "mnuFileImport", "&Import from Program...", ScriptOpen, false, {}, -1, {}, &W::ImportProgram},
        {Exit, "mnuFileExit", "&Exit", Always, false, "tlbExit", 9, "Exit", &W::Exit},
        {StartWithLast, "StartwithLast", "Start with last Project", Always, true, {}, -1, {}, &W::ToggleStartWithLast},
        {FindCompiler, "FindCompiler1", "&Find Compiler", Always, false, {}, -1, {}, &W::FindCompiler},
        {ShowProgress, "Showprogress", "Show Compiler progress", Always, true, {}, -1, {}, &W::ToggleShowProgress},
        {SetWorkingFolder,
         "SetWorkingFolder1",
         "Set Working Folder",
         Always,
         false,
         {},
         -1,
         {},
         &W::ChooseWorkingFolder},
        {SelectExe, "mnuFileSelectExe", "Select &Exe to Bind", ScriptOpen, false, "tlbSelectExe", 7,
         "Select Executable to bind to", &W::ChooseExecutable},
        {Compile, "mnuFileCompile", "&Compile", ScriptOpen, false, "tlbCompile", 8, "Compile resource file",
         &W::Compile},
        {BuildAll, "mnuFileBuildAll", "&Build All", ScriptOpen, false, "tlbBuild", 6, "Build All", &W::BuildAll},
        {RedirectSources,
         "Redirectsourcefilestoworkingfolder1",
         "Re-direct source files to working folder",
         Always,
         false,
         {},
         -1,
         {},
         &W::RedirectSources},
        {Help, "Help1", "&Help", Always, false, "tlbHelp", 5, "Help", &W::ShowHelp},
        {About, "About1", "&About", Always, false, {}, -1, {}, &W::ShowAbout},
        {EmailMaker, "emailHalvane1", "e-mail Halvane", Always, false, {}, -1, {}, &W::EmailMaker},
        {MakerWebPage, "HalvaneontheWeb1", "Halvane on the Web", Always, false, {}, -1, {}, &W::OpenMakerWebPage},
    }};
    static_assert(InIdOrder(kCommands), "the command table is indexed by CommandId");
    return kCommands;
}

const CommandInfo& InfoOf(CommandId id)
{
    return Commands()[static_cast<std::size_t>(id)];
}

bool IsEnabled(Enabling enabling, CommandState state)
{
    switch (enabling) {
    case NoScriptOpen:
        return state != CommandState::ScriptOpen;
    case ScriptOpen:
        return state != CommandState::NoScript;
    case Always:
        break;
    }
    return true;
}

std::optional<CommandId> CommandNamed(std::string_view name)
{
    for (const CommandInfo& command : Commands()) {
        if (command.menuName == name || (!command.toolName.empty() && command.toolName == name))
            return command.id;
    }
    return std::nullopt;
}

std::span<const MenuInfo> Menus()
{
    return kMenus;
}

std::span<const ToolBarItem> ToolBar()
{
    return kToolBar;
}

}  // namespace brevok
