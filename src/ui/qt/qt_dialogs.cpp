// The program's modal interactions over Qt.
#include "ui/qt/qt_dialogs.h"

#include "ui/qt/qt_text.h"

#include "workbench/error_report.h"
#include "ui/qt/ed_form.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QSortFilterProxyModel>

#include <vector>

namespace brevok {

namespace {

QMessageBox::Icon BoxIcon(BoxKind kind)
{
    switch (kind) {
    case BoxKind::Warning:
        return QMessageBox::Warning;
    case BoxKind::Error:
    case BoxKind::Stop:
        return QMessageBox::Critical;
    case BoxKind::Information:
        return QMessageBox::Information;
    case BoxKind::Confirmation:
        return QMessageBox::Question;
    case BoxKind::Plain:
        return QMessageBox::NoIcon;
    }
    return QMessageBox::NoIcon;
}

/// Display text and pattern list of each pair of a Windows filter text.
std::vector<std::pair<QString, QStringList>> FilterPairs(std::string_view windowsFilter)
{
    const QStringList parts = ToQt(windowsFilter).split(QLatin1Char('|'));
    std::vector<std::pair<QString, QStringList>> pairs;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString& pattern : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const QString trimmed = pattern.trimmed();
            // Windows matches "*.*" against every name, with or without a dot.
            patterns.push_back(trimmed == QLatin1String("*.*") ? QStringLiteral("*") : trimmed);
        }
        pairs.emplace_back(parts[i].trimmed(), patterns);
    }
    return pairs;
}

/// Narrows the listing of the compiler's dialog to OfferedAsProgram.
class PlainExecutableFilter final : public QSortFilterProxyModel {
public:
    PlainExecutableFilter(QStringList patterns, QObject* parent)
        : QSortFilterProxyModel(parent), patterns_(std::move(patterns))
    { }

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override
    {
        const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
        return files == nullptr || OfferedAsProgram(files->fileInfo(files->index(row, 0, parent)), patterns_);
    }

private:
    QStringList patterns_;
};

/// The open-file dialog of a state that asks for an existing folder: a typed name whose
/// folder is missing is refused with a warning and the dialog stays open, as the Windows
/// dialog does. Qt's own dialog accepts such a name in its any-file mode.
class ExistingFolderFileDialog final : public QFileDialog {
public:
    using QFileDialog::QFileDialog;

    void accept() override
    {
        const QStringList chosen = selectedFiles();
        if (!chosen.isEmpty()) {
            const QFileInfo file(chosen.first());
            if (!file.isDir() && !file.absoluteDir().exists()) {
                QMessageBox::warning(this, windowTitle(),
                                     QDir::toNativeSeparators(chosen.first()) +
                                         QStringLiteral("\nPath does not exist.\nCheck the path and try again."));
                return;
            }
        }
        QFileDialog::accept();
    }
};

}  // namespace

QString BoxCaption(BoxKind kind)
{
    switch (kind) {
    case BoxKind::Warning:
        return QStringLiteral("Warning");
    case BoxKind::Error:
        return QStringLiteral("Error");
    case BoxKind::Information:
        return QStringLiteral("Information");
    case BoxKind::Confirmation:
        return QStringLiteral("Confirm");
    case BoxKind::Plain:
    case BoxKind::Stop:
        return QString::fromLatin1(kApplicationTitle);
    }
    return QString::fromLatin1(kApplicationTitle);
}

QString BoxDisplayText(std::string_view text)
{
    std::string lines;
    lines.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            lines += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            lines += text[i];
        }
    }
    return ToQt(lines);
}

std::unique_ptr<QMessageBox> BuildMessageBox(BoxKind kind, std::string_view text, BoxButtons buttons, QWidget* parent)
{
    auto box = std::make_unique<QMessageBox>(parent);
    box->setWindowTitle(BoxCaption(kind));
    box->setIcon(BoxIcon(kind));
    box->setTextFormat(Qt::PlainText);
    box->setText(BoxDisplayText(text));

    const bool yesNo = buttons == BoxButtons::YesNo || buttons == BoxButtons::YesNoCancel;
    const bool ok = buttons == BoxButtons::Ok || buttons == BoxButtons::OkCancel;
    const bool cancel = buttons == BoxButtons::OkCancel || buttons == BoxButtons::YesNoCancel;
    QPushButton* yesButton = nullptr;
    QPushButton* noButton = nullptr;
    QPushButton* okButton = nullptr;
    QPushButton* cancelButton = nullptr;
    if (yesNo) {
        yesButton = box->addButton(QStringLiteral("&Yes"), QMessageBox::YesRole);
        yesButton->setObjectName(QStringLiteral("Yes"));
        noButton = box->addButton(QStringLiteral("&No"), QMessageBox::NoRole);
        noButton->setObjectName(QStringLiteral("No"));
    }
    if (ok) {
        okButton = box->addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        okButton->setObjectName(QStringLiteral("OK"));
    }
    if (cancel) {
        cancelButton = box->addButton(QStringLiteral("Cancel"), QMessageBox::RejectRole);
        cancelButton->setObjectName(QStringLiteral("Cancel"));
    }
    box->setDefaultButton(okButton != nullptr ? okButton : yesButton);
    box->setEscapeButton(cancelButton != nullptr ? cancelButton : noButton != nullptr ? noButton : okButton);
    return box;
}

BoxAnswer AnswerOf(const QMessageBox& box)
{
    const QAbstractButton* clicked = box.clickedButton();
    if (clicked == nullptr)
        clicked = box.escapeButton();
    const QString name = clicked != nullptr ? clicked->objectName() : QString();
    if (name == QLatin1String("Yes"))
        return BoxAnswer::Yes;
    if (name == QLatin1String("No"))
        return BoxAnswer::No;
    if (name == QLatin1String("OK"))
        return BoxAnswer::Ok;
    return BoxAnswer::Cancel;
}

bool OfferedAsProgram(const QFileInfo& file, const QStringList& patterns)
{
    if (file.isDir())
        return true;
    const QString name = file.fileName();
    for (const QString& pattern : patterns) {
        if (pattern == QLatin1String("*"))
            continue;
        const QRegularExpression wildcard(QRegularExpression::wildcardToRegularExpression(pattern),
                                          QRegularExpression::CaseInsensitiveOption);
        if (wildcard.match(name).hasMatch())
            return true;
    }
    return !name.contains(QLatin1Char('.')) && file.isExecutable();
}

QStringList QtNameFilters(std::string_view windowsFilter, bool plainExecutables)
{
    static const QRegularExpression trailingGroup(QStringLiteral("\\s*\\([^()]*\\)\\s*$"));
    QStringList filters;
    for (auto [display, patterns] : FilterPairs(windowsFilter)) {
        if (plainExecutables && !patterns.contains(QStringLiteral("*")))
            patterns.push_back(QStringLiteral("*"));
        display.remove(trailingGroup);
        filters.push_back(display + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')'));
    }
    return filters;
}

QString DefaultSuffix(std::string_view defaultExtension)
{
    QString suffix = ToQt(defaultExtension).trimmed();
    if (suffix.startsWith(QLatin1Char('*')))
        suffix.remove(0, 1);
    if (suffix.startsWith(QLatin1Char('.')))
        suffix.remove(0, 1);
    if (suffix.contains(QLatin1Char('*')) || suffix.contains(QLatin1Char('?')))
        return {};
    return suffix;
}

std::unique_ptr<QFileDialog> BuildFileDialog(const FileDialogState& state, QWidget* parent)
{
    std::unique_ptr<QFileDialog> dialog(state.pathMustExist ? new ExistingFolderFileDialog(parent)
                                                            : new QFileDialog(parent));
    // Qt's own dialog on every desktop: it honours every option below the same way.
    dialog->setOption(QFileDialog::DontUseNativeDialog, true);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(state.fileMustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog->setWindowTitle(ToQt(state.title));
    dialog->setSizeGripEnabled(state.resizable);

    const QStringList filters = QtNameFilters(state.filter, state.offerPlainExecutables);
    if (!filters.isEmpty())
        dialog->setNameFilters(filters);
    if (state.offerPlainExecutables) {
        QStringList patterns;
        for (const auto& pair : FilterPairs(state.filter))
            patterns += pair.second;
        dialog->setProxyModel(new PlainExecutableFilter(patterns, dialog.get()));
    }
    // Where programs carry no suffix a typed name is taken as it is; the caller decides.
    if (!state.offerPlainExecutables)
        dialog->setDefaultSuffix(DefaultSuffix(state.defaultExtension));

    const QString folder = ToQt(state.initialFolder);
    if (!folder.isEmpty() && QDir(folder).exists())
        dialog->setDirectory(folder);
    if (!state.fileName.empty())
        dialog->selectFile(ToQt(state.fileName));
    return dialog;
}

std::unique_ptr<QInputDialog> BuildInputDialog(std::string_view caption, std::string_view prompt, int maxLength,
                                               QWidget* parent)
{
    auto dialog = std::make_unique<QInputDialog>(parent);
    dialog->setInputMode(QInputDialog::TextInput);
    dialog->setWindowTitle(ToQt(caption));
    dialog->setLabelText(ToQt(prompt));
    dialog->setTextValue(QString());
    dialog->setOkButtonText(QStringLiteral("OK"));
    dialog->setCancelButtonText(QStringLiteral("Cancel"));
    if (auto* field = dialog->findChild<QLineEdit*>())
        field->setMaxLength(maxLength);
    return dialog;
}

QtDialogs::QtDialogs(TEdForm& editor) : editor_(editor)
{ }

void QtDialogs::SetParentWindow(QWidget* parent)
{
    parent_ = parent;
}

BoxAnswer QtDialogs::MessageBox(BoxKind kind, const std::string& text, BoxButtons buttons)
{
    const auto box = BuildMessageBox(kind, text, buttons, parent_);
    box->exec();
    return AnswerOf(*box);
}

bool QtDialogs::OpenFile(FileDialogState& state)
{
    const auto dialog = BuildFileDialog(state, parent_);
    if (dialog->exec() != QDialog::Accepted)
        return false;
    const QStringList chosen = dialog->selectedFiles();
    if (chosen.isEmpty())
        return false;
    state.fileName = FromQt(QDir::toNativeSeparators(chosen.first()));
    return true;
}

std::string QtDialogs::InputText(const std::string& caption, const std::string& prompt, int maxLength)
{
    const auto dialog = BuildInputDialog(caption, prompt, maxLength, parent_);
    if (dialog->exec() != QDialog::Accepted)
        return {};
    return FromQt(dialog->textValue());
}

bool QtDialogs::EditLine(std::string& text)
{
    return editor_.EditLine(text);
}

}  // namespace brevok
