// The small window that stands in for the compiler's console window while a batch runs.
#pragma once

#include <QWidget>

#include <functional>
#include <string_view>

class QPlainTextEdit;

namespace brevok {

class ProcessLauncher;
class SystemProcessLauncher;

/// A non-modal tool window over the main window that shows the batch's commands and output
/// as they arrive. It appears with the first output and is closed by its owner when the run
/// ends (CompileProgress below does both).
class CompileProgressWindow : public QWidget {
    Q_OBJECT

public:
    explicit CompileProgressWindow(QWidget* owner);

    /// Appends output of the run (bytes in the system's code page), showing the window first.
    void AppendOutput(std::string_view bytes);
    /// Everything shown so far.
    QString Text() const;

private:
    QPlainTextEdit* output_ = nullptr;
};

/// For the length of one run: lets the window repaint while the launcher waits and, when
/// `show` is set, hands the child's output to a progress window that closes when the scope
/// ends. The hooks are cleared again afterwards. A launcher that is not the system's has no
/// hooks to set and is left alone.
class CompileProgress {
public:
    CompileProgress(ProcessLauncher& launcher, QWidget* owner, bool show,
                    std::function<void()> pump);
    ~CompileProgress();
    CompileProgress(const CompileProgress&) = delete;
    CompileProgress& operator=(const CompileProgress&) = delete;

private:
    SystemProcessLauncher* launcher_ = nullptr;
    CompileProgressWindow* window_ = nullptr;
};

}  // namespace brevok
