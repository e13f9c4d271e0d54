// What the Compile and Build All commands work on.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace brevok {

class Dialogs;
class ProcessLauncher;
class ScriptDocument;
class WorkbenchView;
struct TSettings;

/// What the Compile and Build All commands work on: the workbench's state and the one window
/// interface, WorkbenchView, through which they show messages, the busy cursor and repaints.
struct CommandHost {
    ScriptDocument& document;
    TSettings& settings;
    Dialogs& dialogs;
    ProcessLauncher& launcher;
    WorkbenchView& view;
    /// The hidden batch-text buffer BatchText: replaced as a whole, read back whole.
    std::string& batchText;
};

/// Shows the busy cursor for as long as it lives.
class BusyCursor {
public:
    explicit BusyCursor(WorkbenchView& view);
    ~BusyCursor();
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

private:
    WorkbenchView& view_;
};

/// Loads a capture file into the pane and drops the tool's three banner lines. Returns the
/// number of lines left, a final empty line not counted. Throws Error("Cannot open file %s")
/// with `path` as given when the file cannot be read.
std::size_t LoadCompilerMessages(WorkbenchView& view, const std::string& path);

}  // namespace brevok
