// The Resource Editor as a real widget: keys, buttons, frame close and the bytes it gives back.
#include "ui/qt/ed_form.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <string>

using namespace brevok;

namespace {

// Made before the fixture's widgets; the application lives for the whole test program.
struct Application {
    Application()
    {
        static int argc = 1;
        static char name[] = "script_gui_tests";
        static char* argv[] = {name, nullptr};
        if (QApplication::instance() == nullptr)
            new QApplication(argc, argv);
    }
};

class EdFormTest : public ::testing::Test {
protected:
    Application application;

    // Runs EditLine over `bytes`; `user` acts once the dialog is up and must end it.
    bool Edit(std::string& bytes, const std::function<void()>& user)
    {
        QTimer::singleShot(0, &form, [this, user] {
            shownWhileModal = form.isVisible() && form.isModal();
            user();
            // Make sure a failing step never leaves the test hanging in exec().
            if (form.isVisible())
                form.done(QDialog::Rejected);
        });
        return form.EditLine(bytes);
    }

    TEdForm form;
    bool shownWhileModal = false;
};

}  // namespace

TEST_F(EdFormTest, LooksAsDesigned)
{
    EXPECT_EQ(form.objectName(), "EdForm");
    EXPECT_EQ(form.windowTitle(), "Resource Editor");
    EXPECT_EQ(form.findChild<QLineEdit*>("Editor"), form.Editor());
    EXPECT_EQ(form.findChild<QPushButton*>("Okbtn"), form.Okbtn());
    EXPECT_EQ(form.findChild<QPushButton*>("cancelBtn"), form.cancelBtn());
    EXPECT_EQ(form.Okbtn()->text(), "Ok");
    EXPECT_EQ(form.cancelBtn()->text(), "Cancel");
    for (QPushButton* button : {form.Okbtn(), form.cancelBtn()}) {
        EXPECT_FALSE(button->isDefault());
        EXPECT_FALSE(button->autoDefault());
    }
    EXPECT_EQ(form.Editor()->nextInFocusChain(), form.Okbtn());
    EXPECT_EQ(form.Okbtn()->nextInFocusChain(), form.cancelBtn());

    std::string line = "x";
    QRect outer;
    Edit(line, [&] { outer = form.frameGeometry(); });
    EXPECT_TRUE(shownWhileModal);
    // The offscreen platform draws no frame, so outer and inner size agree here.
    EXPECT_EQ(outer, QRect(300, 304, 380, 107));
}

TEST_F(EdFormTest, EnterInTheFieldAndEscapeLeaveItOpen)
{
    std::string line = "Logo BITMAP \"/a/logo.bmp\"";
    bool openAfterKeys = false;
    EXPECT_TRUE(Edit(line, [&] {
        QTest::keyClick(form.Editor(), Qt::Key_Return);
        QTest::keyClick(form.Editor(), Qt::Key_Enter, Qt::KeypadModifier);
        QTest::keyClick(form.Editor(), Qt::Key_Escape);
        form.Okbtn()->setFocus();
        QTest::keyClick(form.Okbtn(), Qt::Key_Escape);
        openAfterKeys = form.isVisible();
        form.Editor()->setFocus();
        QTest::keyClick(form.Editor(), Qt::Key_End);
        QTest::keyClicks(form.Editor(), "2");
        form.Okbtn()->click();
    }));
    EXPECT_TRUE(openAfterKeys);
    EXPECT_EQ(line, "Logo BITMAP \"/a/logo.bmp\"2");
}

TEST_F(EdFormTest, FocusedButtonsArePressedByEnterOrSpace)
{
    std::string line = "a";
    EXPECT_TRUE(Edit(line, [&] {
        form.Okbtn()->setFocus();
        QTest::keyClick(form.Okbtn(), Qt::Key_Return);
    }));
    EXPECT_FALSE(Edit(line, [&] {
        form.cancelBtn()->setFocus();
        QTest::keyClick(form.cancelBtn(), Qt::Key_Return);
    }));
}

TEST_F(EdFormTest, OkGivesTheTextCancelAndFrameCloseChangeNothing)
{
    std::string line = "Logo BITMAP \"C:\\a\\logo.bmp\"";
    EXPECT_TRUE(Edit(line, [&] { form.Okbtn()->click(); }));
    EXPECT_EQ(line, "Logo BITMAP \"C:\\a\\logo.bmp\"");

    EXPECT_FALSE(Edit(line, [&] {
        form.Editor()->clear();
        form.cancelBtn()->click();
    }));
    EXPECT_EQ(line, "Logo BITMAP \"C:\\a\\logo.bmp\"");

    EXPECT_FALSE(Edit(line, [&] {
        form.Editor()->setText("changed");
        form.close();
    }));
    EXPECT_EQ(line, "Logo BITMAP \"C:\\a\\logo.bmp\"");

    // An emptied field gives an empty line, not a refusal.
    EXPECT_TRUE(Edit(line, [&] {
        form.Editor()->selectAll();
        QTest::keyClick(form.Editor(), Qt::Key_Delete);
        form.Okbtn()->click();
    }));
    EXPECT_EQ(line, "");

    // Text is taken exactly as typed: no trimming.
    EXPECT_TRUE(Edit(line, [&] {
        QTest::keyClicks(form.Editor(), "  // note  ");
        form.Okbtn()->click();
    }));
    EXPECT_EQ(line, "  // note  ");
}

TEST_F(EdFormTest, UnchangedBytesComeBackEvenWhenInvalidInTheCodePage)
{
    const std::string latin1 = "Caf BITMAP \"/a/caf\xE9.bmp\" \x80\xFF";
    std::string line = latin1;
    EXPECT_TRUE(Edit(line, [&] { form.Okbtn()->click(); }));
    EXPECT_EQ(line, latin1);

    // Typing something and taking it out again is no change either.
    EXPECT_TRUE(Edit(line, [&] {
        QTest::keyClicks(form.Editor(), "x");
        QTest::keyClick(form.Editor(), Qt::Key_Backspace);
        form.Okbtn()->click();
    }));
    EXPECT_EQ(line, latin1);

    // A changed text is encoded in the code page (UTF-8 here).
    line = "Name RCDATA \"/a/b\"";
    EXPECT_TRUE(Edit(line, [&] {
        form.Editor()->end(false);
        form.Editor()->insert(QString::fromUtf8("\xC3\xA9"));
        form.Okbtn()->click();
    }));
    EXPECT_EQ(line, "Name RCDATA \"/a/b\"\xC3\xA9");
}

TEST_F(EdFormTest, LongLinesAreNotCut)
{
    std::string line(40000, 'a');
    EXPECT_TRUE(Edit(line, [&] {
        form.Editor()->end(false);
        QTest::keyClicks(form.Editor(), "b");
        form.Okbtn()->click();
    }));
    EXPECT_EQ(line, std::string(40000, 'a') + "b");
}

TEST_F(EdFormTest, PastedLineBreaksEndTheLine)
{
    // A script line never holds a line break: a pasted text of several lines gives its first.
    std::string line = "Logo BITMAP \"/a/logo.bmp\"";
    EXPECT_TRUE(Edit(line, [&] {
        form.Editor()->setText(QStringLiteral("One RCDATA \"/a/one\"\r\nTwo RCDATA \"/a/two\""));
        form.Okbtn()->click();
    }));
    EXPECT_EQ(line, "One RCDATA \"/a/one\"");

    EXPECT_TRUE(Edit(line, [&] {
        form.Editor()->end(false);
        form.Editor()->insert(QStringLiteral(" // a\nb"));
        form.Okbtn()->click();
    }));
    EXPECT_EQ(line, "One RCDATA \"/a/one\" // a");
}
