// The workbench behind a fake window, with scripted dialogs and a registry file in a scratch
// folder: every command of the main window, driven as the window drives it.
#pragma once

#include "registry/registry_file.h"
#include "settings/settings.h"
#include "support/fake_dialogs.h"
#include "support/fake_view.h"
#include "support/window_scratch.h"
#include "support/printing_launcher.h"
#include "support/scratch_folder.h"
#include "workbench/help_command.h"
#include "workbench/workbench.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace brevok::testing {

/// Records the help viewer's command lines instead of starting them.
class RecordingStarter : public ProgramStarter {
public:
    void Start(const std::string& commandLine, std::uint16_t showWindow) override
    {
        started.push_back(commandLine);
        showWindows.push_back(showWindow);
    }
    std::vector<std::string> started;
    std::vector<std::uint16_t> showWindows;
};

inline const std::vector<std::string> kNoScriptFileCommands = {"mnuFileNew", "mnuFileOpen", "mnuFileExit"};
inline const std::vector<std::string> kScriptFileCommands = {"mnuFileClose",   "mnuFileSelect",    "mnuFileRemoveLine",
                                                             "mnuFileExit",    "mnuFileSelectExe", "mnuFileCompile",
                                                             "mnuFileBuildAll"};

class BenchTest : public ::testing::Test, public WindowScratch {
protected:
    void TearDown() override
    {
        bench.reset();
        EXPECT_TRUE(dialogs.Done()) << dialogs.Pending() << " queued answers were not used";
    }

    /// Makes the workbench over a fresh view and runs its first activation.
    Workbench& Start()
    {
        view = FakeView();
        bench =
            std::make_unique<Workbench>(WorkbenchServices{dialogs, *registry, *launcher, starter,
                                                          programPath.empty() ? folder / "bin/brevok" : programPath},
                                        view);
        view.bench = bench.get();
        bench->Activate();
        return *bench;
    }

    /// Stores a known compiler and the scratch working folder, then starts: no start-up question.
    Workbench& StartQuietly()
    {
        StoreSettings(KnownCompiler());
        return Start();
    }

    /// Starts quietly and opens `path` through the Open command.
    Workbench& StartWithScript(const std::string& path)
    {
        StartQuietly();
        dialogs.AnswerFile(path);
        Trigger("mnuFileOpen");
        return *bench;
    }

    void Trigger(const std::string& name)
    {
        const std::optional<CommandId> command = CommandNamed(name);
        ASSERT_TRUE(command.has_value()) << name;
        bench->Execute(*command);
    }

    /// The window's close box: true when the window closed.
    bool CloseWindow()
    {
        view.Close();
        return view.closed;
    }

    /// The text of a label of the window, by its name.
    std::string LabelText(const std::string& name) const
    {
        if (name == "lblCurResFile")
            return view.state.scriptLabel;
        if (name == "lblCurExeFile")
            return view.state.exeLabel;
        if (name == "wFolder")
            return view.state.folderLabel;
        EXPECT_EQ(name, "CompLab");
        return view.state.compilerLabel;
    }

    std::vector<std::string> Lines() const { return bench->Document().Lines(); }

    /// The names of the enabled commands of the File menu and Select Exe to Bind.
    std::vector<std::string> EnabledFileCommands() const
    {
        switch (view.state.commands) {
        case CommandState::NoScript:
            return kNoScriptFileCommands;
        case CommandState::ScriptOpen:
            return kScriptFileCommands;
        case CommandState::AsDesigned:
            break;
        }
        return {"all"};
    }

    FakeView view;
    PrintingLauncher printer;
    ProcessLauncher* launcher = &printer;
    RecordingStarter starter;
    /// The program file the workbench is told it runs from; empty: a file in the scratch folder.
    std::string programPath;
    std::unique_ptr<Workbench> bench;
};

}  // namespace brevok::testing
