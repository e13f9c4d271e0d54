// The Qt dialogs: captions, buttons, default and Escape rules, filters, and the name prompt.
#include "ui/qt/qt_dialogs.h"

#include "ui/qt/ed_form.h"
#include "support/scratch_folder.h"
#include "window_fixture.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <sys/stat.h>

namespace brevok::testing {
namespace {

std::vector<std::string> ButtonTexts(const QMessageBox& box)
{
    std::vector<std::string> texts;
    for (QAbstractButton* button : box.buttons())
        texts.push_back(button->text().toStdString());
    std::sort(texts.begin(), texts.end());
    return texts;
}

std::string TextOf(const QAbstractButton* button)
{
    return button != nullptr ? button->text().toStdString() : std::string("(none)");
}

TEST(QtDialogsTest, BoxesCarryTheirKindsCaptionButtonsDefaultAndEscape)
{
    TestApplication();
    struct Case {
        BoxButtons buttons;
        std::vector<std::string> texts;
        std::string defaultButton;
        std::string escapeButton;
    };
    const std::vector<Case> cases = {
        {BoxButtons::Ok, {"OK"}, "OK", "OK"},
        {BoxButtons::OkCancel, {"Cancel", "OK"}, "OK", "Cancel"},
        {BoxButtons::YesNo, {"&No", "&Yes"}, "&Yes", "&No"},
        {BoxButtons::YesNoCancel, {"&No", "&Yes", "Cancel"}, "&Yes", "Cancel"},
    };
    for (const Case& c : cases) {
        const auto box = BuildMessageBox(BoxKind::Confirmation, "Sure?", c.buttons, nullptr);
        EXPECT_EQ(ButtonTexts(*box), c.texts);
        EXPECT_EQ(TextOf(box->defaultButton()), c.defaultButton);
        EXPECT_EQ(TextOf(box->escapeButton()), c.escapeButton);
    }

    const std::vector<std::tuple<BoxKind, std::string, QMessageBox::Icon>> kinds = {
        {BoxKind::Warning, "Warning", QMessageBox::Warning},
        {BoxKind::Error, "Error", QMessageBox::Critical},
        {BoxKind::Information, "Information", QMessageBox::Information},
        {BoxKind::Confirmation, "Confirm", QMessageBox::Question},
        {BoxKind::Plain, "Brevok Resource Compiler", QMessageBox::NoIcon},
        {BoxKind::Stop, "Brevok Resource Compiler", QMessageBox::Critical},
    };
    for (const auto& [kind, caption, icon] : kinds) {
        const auto box = BuildMessageBox(kind, "x", BoxButtons::Ok, nullptr);
        EXPECT_EQ(box->windowTitle().toStdString(), caption);
        EXPECT_EQ(box->icon(), icon) << caption;
    }

    // A bare CR is a line break; so is CR LF; the text is never read as markup.
    const auto box = BuildMessageBox(BoxKind::Warning, "one\rtwo\r\nthree <b>", BoxButtons::Ok, nullptr);
    EXPECT_EQ(box->text().toStdString(), "one\ntwo\nthree <b>");
    EXPECT_EQ(box->textFormat(), Qt::PlainText);
}

/// Runs a real box and presses `key` in it once it is shown.
BoxAnswer AnswerWithKey(BoxButtons buttons, Qt::Key key)
{
    TEdForm editor;
    QtDialogs dialogs(editor);
    QTimer::singleShot(0, [key] {
        QWidget* box = QApplication::activeModalWidget();
        if (box != nullptr)
            QTest::keyClick(box, key);
    });
    return dialogs.MessageBox(BoxKind::Confirmation, "Save?", buttons);
}

TEST(QtDialogsTest, EscapeAndEnterAnswerAsTheRulesSay)
{
    TestApplication();
    EXPECT_EQ(AnswerWithKey(BoxButtons::YesNoCancel, Qt::Key_Escape), BoxAnswer::Cancel);
    EXPECT_EQ(AnswerWithKey(BoxButtons::YesNo, Qt::Key_Escape), BoxAnswer::No);
    EXPECT_EQ(AnswerWithKey(BoxButtons::Ok, Qt::Key_Escape), BoxAnswer::Ok);
    EXPECT_EQ(AnswerWithKey(BoxButtons::YesNoCancel, Qt::Key_Return), BoxAnswer::Yes);
    EXPECT_EQ(AnswerWithKey(BoxButtons::OkCancel, Qt::Key_Return), BoxAnswer::Ok);
}

TEST(QtDialogsTest, WindowsFiltersBecomeQtNameFilters)
{
    EXPECT_EQ(QtNameFilters("Resource File [*.RC]|*.RC"), QStringList{"Resource File [*.RC] (*.RC)"});
    // "*.*" matches every name, as on Windows; a display text's own pattern group is replaced.
    EXPECT_EQ(QtNameFilters("All Files (*.*)|*.*"), QStringList{"All Files (*)"});
    EXPECT_EQ(QtNameFilters("Pictures|*.bmp;*.ico|Any|*.*"), (QStringList{"Pictures (*.bmp *.ico)", "Any (*)"}));
    EXPECT_EQ(QtNameFilters("Executable [*.exe]|*.exe", true), QStringList{"Executable [*.exe] (*.exe *)"});
    EXPECT_TRUE(QtNameFilters("").isEmpty());

    EXPECT_EQ(DefaultSuffix("*.RC").toStdString(), "RC");
    EXPECT_EQ(DefaultSuffix("*.exe").toStdString(), "exe");
    EXPECT_EQ(DefaultSuffix("*.*").toStdString(), "");
    EXPECT_EQ(DefaultSuffix("").toStdString(), "");
}

TEST(QtDialogsTest, CompilerDialogOffersProgramsWithAndWithoutExe)
{
    TestApplication();
    ScratchFolder folder;
    const std::string plain = folder.WriteScript("brcc32", "exit 0\n");
    const std::string exe = folder.Write("BRCC32.EXE", "MZ");
    const std::string text = folder.Write("notes", "not a program");
    const std::string dotted = folder.WriteScript("run.sh", "exit 0\n");
    const QStringList patterns{"*.exe"};
    auto offered = [&](const std::string& path) {
        return OfferedAsProgram(QFileInfo(QString::fromStdString(path)), patterns);
    };
    EXPECT_TRUE(offered(plain));
    EXPECT_TRUE(offered(exe));
    EXPECT_TRUE(offered(folder.Path()));
    EXPECT_FALSE(offered(text));
    EXPECT_FALSE(offered(dotted));
}

TEST(QtDialogsTest, ScriptDialogRefusesANameInAMissingFolder)
{
    TestApplication();
    ScratchFolder folder;
    FileDialogState state;
    state.filter = "Resource File [*.RC]|*.RC";
    state.pathMustExist = true;
    state.initialFolder = folder.Path();
    const auto dialog = BuildFileDialog(state, nullptr);

    // The warning box runs inside accept(); answer it as a user would.
    bool warned = false;
    auto answerWarning = [&] {
        QTimer::singleShot(0, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                warned = true;
                box->accept();
            }
        });
    };
    answerWarning();
    dialog->selectFile(QString::fromStdString(folder.Path() + "/missing/new.RC"));
    static_cast<QDialog*>(dialog.get())->accept();  // as the dialog's Open button does
    EXPECT_TRUE(warned);
    EXPECT_NE(dialog->result(), QDialog::Accepted);

    // A new name in a folder that exists is taken: the file itself need not exist.
    warned = false;
    answerWarning();
    dialog->selectFile(QString::fromStdString(folder.Path() + "/new.RC"));
    static_cast<QDialog*>(dialog.get())->accept();  // as the dialog's Open button does
    QCoreApplication::processEvents();
    EXPECT_FALSE(warned);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
}

TEST(QtDialogsTest, NamePromptTakes255Characters)
{
    TestApplication();
    const auto prompt = BuildInputDialog("Resource Name", "Name?", 255, nullptr);
    auto* field = prompt->findChild<QLineEdit*>();
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(field->maxLength(), 255);
    EXPECT_TRUE(prompt->textValue().isEmpty());
}

}  // namespace
}  // namespace brevok::testing
