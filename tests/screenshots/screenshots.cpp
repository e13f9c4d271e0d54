// Writes pictures of the window for a person to look at (make screenshots): the window with
// a script open, its tool bar enlarged, and the about box, in build/screenshots/.
#include "ui/qt/window_fixture.h"

#include "platform/self_path.h"
#include "ui/qt/about_box.h"
#include "ui/qt/about_dialog.h"

#include <QDir>
#include <QListView>
#include <QPlainTextEdit>
#include <QPixmap>
#include <QTest>
#include <QToolBar>

namespace brevok::testing {
namespace {

using Screenshots = WindowTest;

QString OutputFolder()
{
    const QString out = QStringLiteral(BREVOK_BIN_DIR "/../screenshots");
    QDir().mkpath(out);
    return out;
}

TEST_F(Screenshots, WindowWithAScriptOpenToolBarAndAboutBox)
{
    const std::string script =
        folder.Write("project/demo.rc",
                     "Splash BITMAP \"/home/ann/art/Splash Screen.bmp\"\r\nMAINICON ICON \"/home/ann/art/app.ico\"\r\n"
                     "Click WAVE \"/home/ann/sounds/click.wav\"\r\nData1 RCDATA \"/home/ann/data/table.bin\"\r\n");
    programPath = RunningProgramPath();
    TfrmResmain& w = StartWithScript(script);
    w.Bench().Settings().ExePath = "/home/ann/build/demo.exe";
    w.Bench().SetScriptOpen(true);
    w.memCompilerMess()->setPlainText(QStringLiteral("Compile complete, No errors found.."));
    w.lstResList()->setCurrentIndex(w.lstResList()->model()->index(1, 0));
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));

    const QString out = OutputFolder();
    EXPECT_TRUE(w.grab().save(out + QStringLiteral("/main_window.png")));
    auto* toolBar = w.findChild<QToolBar*>(QStringLiteral("ToolBar1"));
    ASSERT_NE(toolBar, nullptr);
    const QPixmap bar = toolBar->grab();
    EXPECT_TRUE(bar.scaled(bar.size() * 3, Qt::KeepAspectRatio, Qt::FastTransformation)
                    .save(out + QStringLiteral("/tool_bar_3x.png")));

    w.AboutBox().SetShownHook([&](TAbout& dialog) {
        EXPECT_TRUE(dialog.grab().save(out + QStringLiteral("/about_dialog.png")));
        dialog.accept();
    });
    Action("About1")->trigger();
}

}  // namespace
}  // namespace brevok::testing
