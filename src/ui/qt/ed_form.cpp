// The Resource Editor: a one-line dialog in which a whole script line is rewritten as free text.
#include "ui/qt/ed_form.h"

#include "ui/qt/qt_text.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QShowEvent>

#include <limits>

namespace brevok {

TEdForm::TEdForm(QWidget* parent)
    : QDialog(parent),
      editor_(new QLineEdit(this)),
      okBtn_(new QPushButton(QStringLiteral("Ok"), this)),
      cancelBtn_(new QPushButton(QStringLiteral("Cancel"), this))
{
    setObjectName(QStringLiteral("EdForm"));
    setWindowTitle(QStringLiteral("Resource Editor"));
    // A dialog frame without the context-help button, resizable like any window.
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    editor_->setObjectName(QStringLiteral("Editor"));
    editor_->setGeometry(8, 16, 353, 21);
    // A script line has no length limit; QLineEdit would cut it at 32767 characters.
    editor_->setMaxLength(std::numeric_limits<int>::max());

    okBtn_->setObjectName(QStringLiteral("Okbtn"));
    okBtn_->setGeometry(136, 48, 105, 25);
    cancelBtn_->setObjectName(QStringLiteral("cancelBtn"));
    cancelBtn_->setGeometry(248, 48, 113, 25);
    // Push buttons in a QDialog become default buttons when focused unless told otherwise;
    // here neither one may take Enter away from the edit field.
    for (QPushButton* button : {okBtn_, cancelBtn_}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    connect(okBtn_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancelBtn_, &QPushButton::clicked, this, &QDialog::reject);

    setTabOrder(editor_, okBtn_);
    setTabOrder(okBtn_, cancelBtn_);

    // The outer size is corrected for the frame once it is known (showEvent).
    resize(kWidth, kHeight);
    move(kLeft, kTop);
}

bool TEdForm::EditLine(std::string& bytes)
{
    editor_->setText(ToQt(bytes));
    // Compare against what the field really holds, so that decoding losses (bytes invalid in
    // the code page) do not count as a change.
    const QString shown = editor_->text();
    editor_->setFocus();
    if (exec() != QDialog::Accepted)
        return false;
    QString edited = editor_->text();
    // A one-line field takes a pasted text only up to its first line break, as a Windows edit
    // field does; a line break kept here would split the line when the script is saved.
    if (const qsizetype lineBreak = edited.indexOf(QRegularExpression(QStringLiteral("[\\r\\n]"))); lineBreak >= 0)
        edited.truncate(lineBreak);
    if (edited != shown)
        bytes = FromQt(edited);
    return true;
}

void TEdForm::keyPressEvent(QKeyEvent* event)
{
    // Escape never closes this dialog (there is no cancel button); the frame and the Cancel
    // button do.
    if (event->matches(QKeySequence::Cancel)) {
        event->accept();
        return;
    }
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter) {
        // Enter presses the button that has the focus, as Space does; in the edit field it
        // does nothing.
        if (auto* button = qobject_cast<QPushButton*>(focusWidget()); button && button->isEnabled())
            button->click();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TEdForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Keep the designed outer size: the frame, when the platform has one, comes out of it.
    const QSize frame = frameGeometry().size() - geometry().size();
    const QSize client(kWidth - frame.width(), kHeight - frame.height());
    if (client.isValid() && size() != client)
        resize(client);
}

}  // namespace brevok
