// The real main window, offscreen, with scripted dialogs and a registry file in a scratch folder.
#pragma once

#include "ui/qt/main_window.h"
#include "platform/process.h"
#include "workbench/help_command.h"
#include "registry/registry_file.h"
#include "settings/settings.h"
#include "support/fake_dialogs.h"
#include "support/window_scratch.h"
#include "support/recording_shell.h"
#include "support/scratch_folder.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QToolButton>

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace brevok::testing {

/// The one QApplication of the test program, on the offscreen platform unless told otherwise.
inline QApplication& TestApplication()
{
    static QApplication* app = [] {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "app_tests";
        static char* argv[] = {name, nullptr};
        return new QApplication(argc, argv);
    }();
    return *app;
}

class WindowTest : public ::testing::Test, public WindowScratch {
protected:
    void SetUp() override { TestApplication(); }

    void TearDown() override
    {
        window.reset();
        EXPECT_TRUE(dialogs.Done()) << dialogs.Pending() << " queued answers were not used";
    }

    /// Makes the window and runs its first activation.
    TfrmResmain& Start()
    {
        window = std::make_unique<TfrmResmain>(MainWindowServices{
            .dialogs = dialogs,
            .registry = *registry,
            .launcher = systemLauncher,
            .starter = systemStarter,
            .programPath = programPath.empty() ? folder / "bin/brevok" : programPath,
            .shell = &shell,
        });
        window->Activate();
        return *window;
    }

    /// Stores a known compiler and the scratch working folder, then starts: no start-up question.
    TfrmResmain& StartQuietly()
    {
        StoreSettings(KnownCompiler());
        return Start();
    }

    /// Starts quietly and opens `path` through the Open command.
    TfrmResmain& StartWithScript(const std::string& path)
    {
        StartQuietly();
        dialogs.AnswerFile(path);
        Trigger("mnuFileOpen");
        return *window;
    }

    QAction* Action(const char* name) const
    {
        auto* action = window->findChild<QAction*>(QString::fromLatin1(name));
        EXPECT_NE(action, nullptr) << name;
        return action;
    }
    QToolButton* Button(const char* name) const
    {
        auto* button = window->findChild<QToolButton*>(QString::fromLatin1(name));
        EXPECT_NE(button, nullptr) << name;
        return button;
    }
    std::string LabelText(const char* name) const
    {
        auto* label = window->findChild<QLabel*>(QString::fromLatin1(name));
        EXPECT_NE(label, nullptr) << name;
        return label ? label->text().toStdString() : std::string();
    }
    void Trigger(const char* name) const { Action(name)->trigger(); }

    std::vector<std::string> Lines() const { return window->Bench().Document().Lines(); }

    /// The names of the commands that are enabled, menu entries and tool buttons separately.
    std::vector<std::string> EnabledFileCommands() const
    {
        std::vector<std::string> enabled;
        for (const char* name : {"mnuFileNew", "mnuFileOpen", "mnuFileClose", "mnuFileSelect", "mnuFileRemoveLine",
                                 "mnuFileExit", "mnuFileSelectExe", "mnuFileCompile", "mnuFileBuildAll"}) {
            if (Action(name)->isEnabled())
                enabled.emplace_back(name);
        }
        return enabled;
    }
    std::vector<std::string> EnabledToolButtons() const
    {
        std::vector<std::string> enabled;
        for (const char* name : {"tlbExit", "tlbNew", "tlbOpen", "tlbClose", "tlbSelectExe", "tlbSelectFile",
                                 "tlbRemoveFile", "tlbCompile", "tlbBuild", "tlbHelp"}) {
            if (Button(name)->isEnabled())
                enabled.emplace_back(name);
        }
        return enabled;
    }

    RecordingShell shell;
    SystemProcessLauncher systemLauncher;
    SystemProgramStarter systemStarter;
    /// The program file the window is told it runs from; empty: a file in the scratch folder.
    std::string programPath;
    std::unique_ptr<TfrmResmain> window;
};

inline const std::vector<std::string> kNoScriptFileCommands = {"mnuFileNew", "mnuFileOpen", "mnuFileExit"};
inline const std::vector<std::string> kScriptFileCommands = {"mnuFileClose",   "mnuFileSelect",    "mnuFileRemoveLine",
                                                             "mnuFileExit",    "mnuFileSelectExe", "mnuFileCompile",
                                                             "mnuFileBuildAll"};
inline const std::vector<std::string> kNoScriptButtons = {"tlbExit", "tlbNew", "tlbOpen", "tlbHelp"};
inline const std::vector<std::string> kScriptButtons = {"tlbExit",       "tlbClose",   "tlbSelectExe", "tlbSelectFile",
                                                        "tlbRemoveFile", "tlbCompile", "tlbBuild",     "tlbHelp"};

}  // namespace brevok::testing
