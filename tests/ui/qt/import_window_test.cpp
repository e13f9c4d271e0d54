// Import from Program in the Qt window: its File menu entry, enabled while a script is open,
// runs the workbench's command.
#include "window_fixture.h"

#include "support/pe_fixtures.h"

#include <QListView>
#include <QMenu>
#include <QMenuBar>

namespace brevok::testing {
namespace {

using ImportWindowTest = WindowTest;

TEST_F(ImportWindowTest, FileMenuEntryImportsAProgramsResourcesAsLines)
{
    fixtures::FixtureDir programs;
    const std::string program = fixtures::BuildPe(programs.path(), "app", "7 RCDATA { \"seven\" }\n");
    StartQuietly();
    EXPECT_FALSE(Action("mnuFileImport")->isEnabled());
    TfrmResmain& w = StartWithScript(folder.Write("s.rc", "one\r\n"));
    QAction* import = Action("mnuFileImport");
    EXPECT_TRUE(import->isEnabled());
    EXPECT_EQ(import->text().toStdString(), "&Import from Program...");
    QStringList fileMenu;
    for (QAction* a : w.menuBar()->actions().front()->menu()->actions())
        fileMenu << a->objectName();
    EXPECT_EQ(fileMenu.indexOf("mnuFileImport"), fileMenu.indexOf("mnuFileRemoveLine") + 1);

    dialogs.AnswerFile(program);
    Trigger("mnuFileImport");
    EXPECT_EQ(Lines(), (std::vector<std::string>{"one", "7 10 \"" + folder.Path() + "/rcdata_7.bin\""}));
    EXPECT_EQ(w.lstResList()->model()->rowCount(), 2);
}

}  // namespace
}  // namespace brevok::testing
