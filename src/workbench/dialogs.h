// Every modal interaction of the program, behind one interface: the Qt implementation runs
// the real dialogs, tests script the answers.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>

namespace brevok {

/// The four kinds of message box, each with its caption and icon ("Warning", "Error",
/// "Information", "Confirm"), and the plain box (no icon, captioned with the application
/// title) that the generic error report also uses with a stop icon (Stop).
enum class BoxKind { Warning, Error, Information, Confirmation, Plain, Stop };

/// Buttons of a box. The default button is OK when present, else Yes; Escape answers Cancel
/// when present, else No, else OK.
enum class BoxButtons { Ok, OkCancel, YesNo, YesNoCancel };

enum class BoxAnswer { Ok, Cancel, Yes, No };

/// One open-file dialog object of the main window. It keeps its state between uses as a
/// Windows common dialog does: a command sets title, filter and options, the dialog updates
/// `fileName` with the accepted full path.
struct FileDialogState {
    std::string title;
    /// Windows filter text: "Resource File [*.RC]|*.RC", display text and pattern pairs.
    std::string filter;
    std::string defaultExtension;
    std::string initialFolder;
    /// The file-name field: shown when the dialog opens, set to the full path on accept.
    std::string fileName;
    bool fileMustExist = false;
    bool pathMustExist = false;
    bool noValidate = false;
    bool hideReadOnly = true;
    bool resizable = true;
    /// Besides the filter's patterns, also offer executable files without a suffix (the
    /// compiler's dialog on systems whose programs carry no ".exe").
    bool offerPlainExecutables = false;
};

/// The main window's four open-file dialog objects: the script's (OpenRC), the compiler's
/// (BrowseComp), the one Add File and Select Exe share (cdgFileDialog) and the working
/// folder's (SetWork).
enum class FileDialogId { OpenRC, BrowseComp, cdgFileDialog, SetWork };

class Dialogs {
public:
    virtual ~Dialogs() = default;

    /// The state of a dialog object, kept here between uses as the window's components keep
    /// theirs; the workbench sets it up and the dialog shown reads and updates it.
    FileDialogState& FileDialog(FileDialogId id) { return fileDialogs_[static_cast<std::size_t>(id)]; }

    /// A modal message box; `text` may use a bare CR as a line break.
    virtual BoxAnswer MessageBox(BoxKind kind, const std::string& text, BoxButtons buttons) = 0;

    /// Shows an open-file dialog. On accept sets state.fileName to the full path and returns
    /// true; on cancel returns false and leaves the state alone.
    virtual bool OpenFile(FileDialogState& state) = 0;

    /// The one-line input box: returns the typed text on OK, the empty text on Cancel or
    /// close. The field starts empty and takes at most `maxLength` characters.
    virtual std::string InputText(const std::string& caption, const std::string& prompt, int maxLength) = 0;

    /// The Resource Editor shown modally over `text`; true when closed with Ok, and then
    /// `text` holds the edited line.
    virtual bool EditLine(std::string& text) = 0;

private:
    std::array<FileDialogState, 4> fileDialogs_;
};

}  // namespace brevok
