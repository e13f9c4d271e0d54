// The program's modal interactions over Qt: message boxes, open-file dialogs, the name prompt
// and the Resource Editor.
#pragma once

#include "workbench/dialogs.h"

#include <QPointer>
#include <QString>
#include <QStringList>

#include <memory>
#include <string>
#include <string_view>

class QFileDialog;
class QFileInfo;
class QInputDialog;
class QMessageBox;
class QWidget;

namespace brevok {

class TEdForm;

/// The caption of a box: "Warning", "Error", "Information", "Confirm", or the application
/// title for the plain box and the error report.
QString BoxCaption(BoxKind kind);

/// The text as a box shows it: decoded in the system's code page, a bare CR (and CR LF) as a
/// line break.
QString BoxDisplayText(std::string_view text);

/// A box ready to run: caption and icon of its kind, the buttons "&Yes", "&No", "OK" and
/// "Cancel" as asked, OK (else Yes) the default button, and Escape answering Cancel (else No,
/// else OK); closing the box by its frame counts as Escape.
std::unique_ptr<QMessageBox> BuildMessageBox(BoxKind kind, std::string_view text, BoxButtons buttons, QWidget* parent);

/// The answer a finished box gives for the button that closed it.
BoxAnswer AnswerOf(const QMessageBox& box);

/// The name filters of a Windows filter text ("Resource File [*.RC]|*.RC|..."): one entry per
/// pair, "display (patterns)", a trailing parenthesised group of the display text replaced by
/// the patterns; "*.*" matches every file, as it does on Windows. With `plainExecutables`,
/// each entry also lists "*" (the dialog then shows only executables among the extra files).
QStringList QtNameFilters(std::string_view windowsFilter, bool plainExecutables = false);

/// The suffix a typed name without one receives: "*.RC" gives "RC"; "*.*" and "" give none.
QString DefaultSuffix(std::string_view defaultExtension);

/// Whether the compiler's dialog (FileDialogState::offerPlainExecutables) lists `file`: a
/// folder, a name matching one of `patterns` in any case, or an executable without a suffix.
bool OfferedAsProgram(const QFileInfo& file, const QStringList& patterns);

/// An open-file dialog set up from `state`: title, filters, default suffix, initial folder,
/// file-name field, and whether the file (or only its folder) must exist.
std::unique_ptr<QFileDialog> BuildFileDialog(const FileDialogState& state, QWidget* parent);

/// The one-line input box: caption, prompt, an empty field of at most `maxLength`
/// characters, "OK" (default) and "Cancel".
std::unique_ptr<QInputDialog> BuildInputDialog(std::string_view caption, std::string_view prompt, int maxLength,
                                               QWidget* parent);

/// Dialogs over Qt widgets, owned by the program's entry. Boxes and dialogs open over the
/// parent window given with SetParentWindow (the main window).
class QtDialogs final : public Dialogs {
public:
    /// `editor` is the program's one Resource Editor, shown by EditLine.
    explicit QtDialogs(TEdForm& editor);

    void SetParentWindow(QWidget* parent);

    BoxAnswer MessageBox(BoxKind kind, const std::string& text, BoxButtons buttons) override;
    bool OpenFile(FileDialogState& state) override;
    std::string InputText(const std::string& caption, const std::string& prompt, int maxLength) override;
    bool EditLine(std::string& text) override;

private:
    TEdForm& editor_;
    QPointer<QWidget> parent_;
};

}  // namespace brevok
