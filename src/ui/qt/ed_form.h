// The Resource Editor: a one-line dialog in which a whole script line is rewritten as free text.
#pragma once

#include <QDialog>

#include <string>

class QLineEdit;
class QPushButton;

namespace brevok {

/// The "Resource Editor" dialog (object name "EdForm"): the edit field `Editor`, the buttons
/// `Okbtn` ("Ok") and `cancelBtn` ("Cancel"), in that tab order, at its designed position
/// 300, 304 with an outer size of 380 x 107. Neither button is the default or the cancel
/// button: Enter typed in `Editor` and Escape leave the dialog open; a button with the focus
/// is pressed by Enter or Space. Closing by the window frame counts as Cancel.
/// One instance is made at start-up and reused; it keeps its last text between uses.
class TEdForm : public QDialog {
    Q_OBJECT

public:
    static constexpr int kLeft = 300;
    static constexpr int kTop = 304;
    static constexpr int kWidth = 380;
    static constexpr int kHeight = 107;

    explicit TEdForm(QWidget* parent = nullptr);

    /// Shows `bytes` decoded in the system's code page and runs the dialog modally. On Ok
    /// returns true and sets `bytes` to the edited text encoded in the system's code page,
    /// or leaves the original bytes when the text was not changed (so bytes the code page
    /// cannot show survive an Ok). On Cancel or frame close returns false; `bytes` unchanged.
    bool EditLine(std::string& bytes);

    QLineEdit* Editor() const { return editor_; }
    QPushButton* Okbtn() const { return okBtn_; }
    QPushButton* cancelBtn() const { return cancelBtn_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QLineEdit* editor_;
    QPushButton* okBtn_;
    QPushButton* cancelBtn_;
};

}  // namespace brevok
