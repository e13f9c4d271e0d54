// Compile and Build All driven without a workbench: its state as plain members, the window a
// FakeView.
#pragma once

#include "platform/process.h"
#include "script/script_document.h"
#include "settings/settings.h"
#include "support/fake_dialogs.h"
#include "support/fake_view.h"
#include "support/printing_launcher.h"
#include "workbench/command_host.h"

#include <string>
#include <vector>

namespace brevok::testing {

/// What the commands work on, with the names the tests read: the pane and the busy cursor are
/// the view's, "Show Compiler progress" is the setting.
struct FakeCommandHost {
    FakeCommandHost() = default;
    FakeCommandHost(const FakeCommandHost&) = delete;
    FakeCommandHost& operator=(const FakeCommandHost&) = delete;

    operator CommandHost() { return {document, settings, dialogs, *launcher, view, batchText}; }

    std::vector<std::string> BoxTexts() const { return dialogs.BoxTexts(); }

    FakeDialogs dialogs;
    SystemProcessLauncher system;
    PrintingLauncher printer;
    /// The launcher the commands use: the system's, or the printer to see what would run.
    ProcessLauncher* launcher = &system;
    ScriptDocument document;
    TSettings settings;
    FakeView view;
    std::string batchText;
    bool& showProgress = settings.ShowProgress;
    std::vector<std::string>& messages = view.messages;
    int& busyDepth = view.busyDepth;
    int& busyShown = view.busyShown;
};

}  // namespace brevok::testing
