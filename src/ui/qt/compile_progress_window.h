// The small window that stands in for the compiler's console window while a batch runs.
#pragma once

#include <QWidget>

#include <string_view>

class QPlainTextEdit;

namespace brevok {

/// A non-modal tool window over the main window that shows the batch's commands and output
/// as they arrive. It appears with the first output and is closed by its owner when the run
/// ends.
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

}  // namespace brevok
