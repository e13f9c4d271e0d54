// A CommandHost over plain members, for driving Compile and Build All without a window.
#pragma once

#include "workbench/command_host.h"
#include "platform/process.h"
#include "script/script_document.h"
#include "settings/settings.h"
#include "support/fake_dialogs.h"
#include "support/printing_launcher.h"

#include <string>
#include <vector>

namespace brevok::testing {

/// The window's part in the commands: the pane and the batch buffer are members, the busy
/// cursor is a depth counter, the pump counts its calls.
class FakeCommandHost : public CommandHost {
public:
    ScriptDocument& Document() override { return document; }
    TSettings& Settings() override { return settings; }
    bool ShowProgress() const override { return showProgress; }

    void ClearMessages() override { messages.clear(); }
    void SetMessages(const std::vector<std::string>& lines) override { messages = lines; }
    void AddMessage(const std::string& line) override { messages.push_back(line); }

    void SetBatchText(const std::string& text) override { batchText = text; }
    std::string BatchText() const override { return batchText; }

    void BeginBusyCursor() override
    {
        ++busyDepth;
        ++busyShown;
    }
    void EndBusyCursor() override { --busyDepth; }
    void ProcessPendingMessages() override { ++pumps; }

    Dialogs& GetDialogs() override { return dialogs; }
    ProcessLauncher& Launcher() override { return *launcher; }

    std::vector<std::string> BoxTexts() const { return dialogs.BoxTexts(); }

    FakeDialogs dialogs;
    SystemProcessLauncher system;
    PrintingLauncher printer;
    /// The launcher the commands use: the system's, or the printer to see what would run.
    ProcessLauncher* launcher = &system;
    ScriptDocument document;
    TSettings settings;
    bool showProgress = false;
    std::vector<std::string> messages;
    std::string batchText;
    int busyDepth = 0;
    int busyShown = 0;
    int pumps = 0;
};

}  // namespace brevok::testing
