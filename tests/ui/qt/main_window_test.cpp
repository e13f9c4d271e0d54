// The Qt window as a view: its layout, the wiring of menus, buttons, keys and the list to the
// workbench, and how it shows the workbench's state.
#include "window_fixture.h"

#include <QListView>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTest>

namespace brevok::testing {
namespace {

using MainWindowTest = WindowTest;

TEST_F(MainWindowTest, WindowIsFixedAndTheMessagePaneHasTheFocusFirst)
{
    TfrmResmain& w = StartQuietly();
    EXPECT_EQ(w.centralWidget()->size(), QSize(518, 460));
    EXPECT_EQ(w.minimumSize(), w.maximumSize());
    EXPECT_EQ(w.focusWidget(), w.memCompilerMess());
    QWidget* next = w.memCompilerMess()->nextInFocusChain();
    while (next != w.memCompilerMess() && !(next->focusPolicy() & Qt::TabFocus))
        next = next->nextInFocusChain();
    EXPECT_EQ(next, w.lstResList());
    for (const char* name : {"tlbExit", "tlbNew", "tlbCompile", "tlbHelp"})
        EXPECT_FALSE(Button(name)->icon().pixmap(32).isNull()) << name;
}

TEST_F(MainWindowTest, StateIsShownInLabelsCommandsButtonsAndCheckMarks)
{
    // Before the first activation every command is enabled, as designed.
    window = std::make_unique<TfrmResmain>(MainWindowServices{
        .dialogs = dialogs, .registry = *registry, .launcher = systemLauncher, .starter = systemStarter});
    EXPECT_EQ(window->windowTitle().toStdString(), "Resource Compiler");
    EXPECT_EQ(EnabledToolButtons().size(), 10u);

    const std::string script = folder.Write("s.rc", "one\r\ntwo\r\n");
    TfrmResmain& w = StartWithScript(script);
    EXPECT_EQ(w.windowTitle().toStdString(), "Brevok Resource Compiler Version 1.1.0.3  by Halvane");
    EXPECT_EQ(LabelText("lblCurResFile"), "Current Resource Script File: " + script);
    EXPECT_EQ(LabelText("wFolder"), "Working (Install) Folder: " + folder.Path() + "/");
    EXPECT_EQ(LabelText("CompLab"), "Compiler /opt/brcc32");
    EXPECT_EQ(w.StatusPanelText(0).toStdString(), script);
    EXPECT_EQ(EnabledFileCommands(), kScriptFileCommands);
    EXPECT_EQ(EnabledToolButtons(), kScriptButtons);
    EXPECT_TRUE(Action("Redirectsourcefilestoworkingfolder1")->isEnabled());
    EXPECT_EQ(w.lstResList()->model()->rowCount(), 2);
    EXPECT_EQ(w.lstResList()->model()->index(1, 0).data().toString().toStdString(), "two");

    // A check mark follows the workbench, not Qt's own toggling.
    Trigger("StartwithLast");
    EXPECT_TRUE(Action("StartwithLast")->isChecked());
    EXPECT_TRUE(w.Bench().Settings().StartWithLast);
    Trigger("StartwithLast");
    EXPECT_FALSE(Action("StartwithLast")->isChecked());

    dialogs.AnswerBox(BoxAnswer::No);
    Trigger("mnuFileClose");
    EXPECT_EQ(EnabledFileCommands(), kNoScriptFileCommands);
    EXPECT_EQ(EnabledToolButtons(), kNoScriptButtons);
    EXPECT_EQ(w.lstResList()->model()->rowCount(), 0);
}

TEST_F(MainWindowTest, ToolButtonsRunTheirCommands)
{
    const std::string script = folder.Write("s.rc", "one\r\n");
    StartQuietly();
    dialogs.AnswerFile(script);
    Button("tlbOpen")->click();
    EXPECT_EQ(Lines().size(), 1u);
    dialogs.AnswerBox(BoxAnswer::No);
    Button("tlbClose")->click();
    EXPECT_TRUE(Lines().empty());
    dialogs.AnswerFile(std::nullopt);
    Button("tlbNew")->click();
    EXPECT_EQ(dialogs.transcript.back(), "file: Start a new resource script file");
}

TEST_F(MainWindowTest, TypedCharactersMarkTheScriptButOtherKeysDoNot)
{
    const std::string script = folder.Write("s.rc", "alpha\r\nbeta\r\ngamma\r\n");
    TfrmResmain& w = StartWithScript(script);
    for (const Qt::Key key : {Qt::Key_Down, Qt::Key_PageDown, Qt::Key_Delete, Qt::Key_F2, Qt::Key_Up}) {
        QTest::keyClick(w.lstResList(), key);
        EXPECT_FALSE(w.Bench().ResourcesChanged()) << key;
    }
    EXPECT_EQ(w.Bench().Settings().LineCount, 0);

    // A letter keeps the list's own meaning (the next line starting with it) and changes no line.
    w.lstResList()->setCurrentIndex(w.lstResList()->model()->index(0, 0));
    QTest::keyClick(w.lstResList(), Qt::Key_G);
    EXPECT_TRUE(w.Bench().ResourcesChanged());
    EXPECT_EQ(w.Bench().Settings().LineCount, 3);
    EXPECT_EQ(w.lstResList()->currentIndex().row(), 2);
    EXPECT_EQ(Lines(), (std::vector<std::string>{"alpha", "beta", "gamma"}));

    for (const auto& [key, modifiers] :
         std::vector<std::pair<Qt::Key, Qt::KeyboardModifiers>>{{Qt::Key_Backspace, Qt::NoModifier},
                                                                {Qt::Key_Return, Qt::NoModifier},
                                                                {Qt::Key_Escape, Qt::NoModifier},
                                                                {Qt::Key_C, Qt::ControlModifier}}) {
        window.reset();
        TfrmResmain& again = StartWithScript(script);
        QTest::keyClick(again.lstResList(), key, modifiers);
        EXPECT_TRUE(again.Bench().ResourcesChanged()) << key;
    }
}

TEST_F(MainWindowTest, DoubleClickOnTheListOpensTheEditor)
{
    const std::string script = folder.Write("s.rc", "one\r\ntwo\r\n");
    TfrmResmain& w = StartWithScript(script);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    QListView* list = w.lstResList();
    const QRect second = list->visualRect(list->model()->index(1, 0));
    ASSERT_TRUE(second.isValid());

    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second.center());
    dialogs.AnswerEdit("TWO");
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, second.center());
    EXPECT_EQ(Lines(), (std::vector<std::string>{"one", "TWO"}));

    // A double-click below the last line keeps the selection and edits the selected line.
    const QPoint below(second.center().x(), list->viewport()->height() - 3);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, below);
    dialogs.AnswerEdit("Two");
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, below);
    EXPECT_EQ(Lines(), (std::vector<std::string>{"one", "Two"}));

    // A removal leaves nothing selected, so a second click on Remove File removes nothing.
    Button("tlbRemoveFile")->click();
    Button("tlbRemoveFile")->click();
    EXPECT_EQ(Lines(), std::vector<std::string>{"one"});
    EXPECT_TRUE(list->selectionModel()->selectedRows().isEmpty());
}

TEST_F(MainWindowTest, FilesDroppedOnTheListReachAddFile)
{
    const std::string data = folder.Write("blob.dat", "x");
    const std::string script = folder.Write("s.rc", "");
    TfrmResmain& w = StartWithScript(script);
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(data))});
    QWidget* viewport = w.lstResList()->viewport();
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &enter);
    EXPECT_TRUE(enter.isAccepted());
    dialogs.AnswerInput("Blob");
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &drop);
    EXPECT_EQ(Lines(), std::vector<std::string>{"Blob RCDATA \"" + data + "\""});
}

}  // namespace
}  // namespace brevok::testing
