// The real main window, offscreen, with scripted dialogs and a registry file in a scratch folder.
#pragma once

#include "ui/qt/main_window.h"
#include "platform/registry_file.h"
#include "settings/settings.h"
#include "support/fake_dialogs.h"
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

inline std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        TestApplication();
        registryPath = folder / "config/registry.reg";
        registry = std::make_unique<RegistryFile>(registryPath);
    }

    void TearDown() override
    {
        window.reset();
        EXPECT_TRUE(dialogs.Done()) << dialogs.Pending() << " queued answers were not used";
    }

    /// Stores `settings` as a previous run would have left them.
    void StoreSettings(const TSettings& settings)
    {
        RegistryFile store(registryPath);
        SaveSettings(store, settings);
    }

    /// Settings as a previous run stores them: a known compiler, the scratch folder as the
    /// working folder, everything else as given.
    TSettings KnownCompiler() const
    {
        TSettings settings;
        settings.WorkingFolder = folder.Path() + "/";
        settings.CompilerPath = "/opt/brcc32";
        settings.BatchPath = folder / "Temp.bat";
        return settings;
    }

    /// What the store holds now, as the next run would read it.
    TSettings StoredSettings()
    {
        RegistryFile store(registryPath);
        TSettings settings;
        LoadSettings(store, settings);
        return settings;
    }

    /// Makes the window and runs its first activation.
    TfrmResmain& Start()
    {
        window = std::make_unique<TfrmResmain>(MainWindowServices{
            .dialogs = dialogs,
            .registry = *registry,
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

    std::vector<std::string> BoxTexts() const
    {
        std::vector<std::string> texts;
        for (const auto& box : dialogs.boxes)
            texts.push_back(box.text);
        return texts;
    }

    ScratchFolder folder;
    std::string registryPath;
    std::unique_ptr<RegistryFile> registry;
    FakeDialogs dialogs;
    RecordingShell shell;
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
