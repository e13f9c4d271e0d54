// The Help menu's component entries: the about box and the maker's two links.
#include "window_fixture.h"

#include "ui/qt/about_box.h"
#include "ui/qt/about_dialog.h"
#include "platform/self_path.h"

#include <QLabel>

namespace brevok::testing {
namespace {

using HelpMenuTest = WindowTest;

TEST_F(HelpMenuTest, AboutShowsTheProgramsOwnVersionInTheWorkedExampleLayout)
{
    programPath = RunningProgramPath();
    TfrmResmain& w = StartQuietly();
    EXPECT_EQ(w.windowTitle().toStdString(), "Brevok Resource Compiler Version 1.1.0.3  by Halvane");

    QSize outer;
    std::string versionLine, title;
    w.AboutBox().SetShownHook([&](TAbout& dialog) {
        outer = dialog.frameGeometry().size();
        versionLine = dialog.WVersion->text().toStdString();
        title = dialog.WTitle->text().toStdString();
        dialog.accept();
    });
    Action("About1")->trigger();

    EXPECT_EQ(outer, QSize(150, 270));
    EXPECT_EQ(versionLine, "Version 1.1.0.3");
    EXPECT_EQ(title, "Resource Compiler");
    EXPECT_TRUE(dialogs.boxes.empty());
}

TEST_F(HelpMenuTest, AboutBoxIsGivenTheProgramFileAtTheFirstActivation)
{
    TfrmResmain& w = StartQuietly();
    EXPECT_EQ(w.AboutBox().Filename(), folder / "bin/brevok");
    // No version resource in a file that does not exist: the version line falls back to the
    // about box's empty Version text.
    std::string versionLine = "unset";
    w.AboutBox().SetShownHook([&](TAbout& dialog) {
        versionLine = dialog.WVersion->text().toStdString();
        dialog.reject();
    });
    Action("About1")->trigger();
    EXPECT_EQ(versionLine, "");
}

TEST_F(HelpMenuTest, LinkEntriesOpenTheMakersAddressesThroughTheShell)
{
    TfrmResmain& w = StartQuietly();
    Action("emailHalvane1")->trigger();
    Action("HalvaneontheWeb1")->trigger();

    ASSERT_EQ(shell.calls.size(), 2u);
    EXPECT_EQ(shell.calls[0].target, "mailto:support@halvane.example");
    EXPECT_EQ(shell.calls[1].target, "http://www.halvane.example/");
    EXPECT_EQ(shell.calls[0].showCommand, 3);
    // The links live on a panel that is never shown.
    auto* panel = w.findChild<QWidget*>(QStringLiteral("Panel1"));
    ASSERT_NE(panel, nullptr);
    EXPECT_FALSE(panel->isVisible());
    EXPECT_NE(panel->findChild<QWidget*>(QStringLiteral("web")), nullptr);
    EXPECT_NE(panel->findChild<QWidget*>(QStringLiteral("email")), nullptr);
}

}  // namespace
}  // namespace brevok::testing
