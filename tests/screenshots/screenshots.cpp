// Writes pictures of the window for a person to look at: the whole window with a script open,
// and the tool bar enlarged.
#include "window_fixture.h"

#include "platform/self_path.h"

#include <QDir>
#include <QPixmap>
#include <QTest>
#include <QToolBar>

namespace brevok::testing {
namespace {

using ScreenshotTest = WindowTest;

TEST_F(ScreenshotTest, WindowWithAScriptOpen)
{
    const std::string script = folder.Write(
        "project/demo.rc",
        "Splash BITMAP \"/home/ann/art/Splash Screen.bmp\"\r\nMAINICON ICON \"/home/ann/art/app.ico\"\r\n"
        "Click WAVE \"/home/ann/sounds/click.wav\"\r\nData1 RCDATA \"/home/ann/data/table.bin\"\r\n");
    programPath = RunningProgramPath();
    TfrmResmain& w = StartWithScript(script);
    w.Settings().ExePath = "/home/ann/build/demo.exe";
    w.SetScriptOpen(true);
    w.AddMessage("Compile complete, No errors found..");
    w.SelectLine(1);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));

    const QString out = QStringLiteral(BREVOK_BIN_DIR "/../screenshots");
    ASSERT_TRUE(QDir().mkpath(out));
    const QPixmap shot = w.grab();
    EXPECT_EQ(shot.size() / shot.devicePixelRatio(), w.size());
    EXPECT_TRUE(shot.save(out + QStringLiteral("/main_window.png")));

    auto* toolBar = w.findChild<QToolBar*>(QStringLiteral("ToolBar1"));
    ASSERT_NE(toolBar, nullptr);
    const QPixmap bar = toolBar->grab();
    EXPECT_TRUE(bar.scaled(bar.size() * 3, Qt::KeepAspectRatio, Qt::FastTransformation)
                    .save(out + QStringLiteral("/tool_bar_3x.png")));
}

}  // namespace
}  // namespace brevok::testing
