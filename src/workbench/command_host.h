// What the Compile and Build All commands need from the window that runs them.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace brevok {

class Dialogs;
class ProcessLauncher;
class ScriptDocument;
struct TSettings;

/// The window as the compiler commands see it. The main window implements it over its
/// widgets; tests implement it over plain members. Nothing here includes Qt.
class CommandHost {
public:
    virtual ~CommandHost() = default;

    virtual ScriptDocument& Document() = 0;
    virtual TSettings& Settings() = 0;
    /// The check mark of "Show Compiler progress".
    virtual bool ShowProgress() const = 0;

    /// The message pane memCompilerMess, as lines.
    virtual void ClearMessages() = 0;
    virtual void SetMessages(const std::vector<std::string>& lines) = 0;
    virtual void AddMessage(const std::string& line) = 0;

    /// The hidden batch-text buffer BatchText: replaced as a whole, read back whole.
    virtual void SetBatchText(const std::string& text) = 0;
    virtual std::string BatchText() const = 0;

    /// The application-wide busy cursor; every Begin is matched by one End (BusyCursor).
    virtual void BeginBusyCursor() = 0;
    virtual void EndBusyCursor() = 0;

    /// Lets the window repaint what changed; user input stays queued until the command ends.
    virtual void ProcessPendingMessages() = 0;

    virtual Dialogs& GetDialogs() = 0;
    virtual ProcessLauncher& Launcher() = 0;
};

/// Shows the busy cursor for as long as it lives.
class BusyCursor {
public:
    explicit BusyCursor(CommandHost& host) : host_(host) { host_.BeginBusyCursor(); }
    ~BusyCursor() { host_.EndBusyCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

private:
    CommandHost& host_;
};

/// Loads a capture file into the pane and drops the tool's three banner lines. Returns the
/// number of lines left, a final empty line not counted. Throws Error("Cannot open file %s")
/// with `path` as given when the file cannot be read.
std::size_t LoadCompilerMessages(CommandHost& host, const std::string& path);

}  // namespace brevok
