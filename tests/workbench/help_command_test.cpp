// Help: the viewer's command line, and a start that neither waits nor leaves a child behind.
#include "workbench/help_command.h"

#include "platform/files.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace brevok {
namespace {

using testing::ScratchFolder;

class RecordingStarter : public ProgramStarter {
public:
    void Start(const std::string& commandLine, std::uint16_t showWindow) override
    {
        started.push_back({commandLine, showWindow});
    }
    std::vector<std::pair<std::string, std::uint16_t>> started;
};

TEST(HelpCommand, NamesTheHelpFileBesideTheProgram)
{
    RecordingStarter starter;
    RunHelpCommand(starter, "C:\\Program Files\\Brevok\\BREVOK.EXE", HelpViewer::HtmlHelp);
    RunHelpCommand(starter, "C:\\Brevok\\BREVOK.EXE", HelpViewer::HtmlHelp);
    RunHelpCommand(starter, "/opt/brevok/bin/brevok", HelpViewer::DesktopOpener);
    RunHelpCommand(starter, "/home/a b/brevok", HelpViewer::DesktopOpener);

    ASSERT_EQ(starter.started.size(), 4u);
    // A folder with spaces is quoted, so the viewer gets one path instead of two words.
    EXPECT_EQ(starter.started[0].first, "c:\\windows\\hh.exe \"C:\\Program Files\\Brevok\\brevhelp.chm\"");
    EXPECT_EQ(starter.started[1].first, "c:\\windows\\hh.exe C:\\Brevok\\brevhelp.chm");
    EXPECT_EQ(starter.started[2].first, "xdg-open /opt/brevok/bin/brevhelp.html");
    EXPECT_EQ(starter.started[3].first, "xdg-open \"/home/a b/brevhelp.html\"");
    EXPECT_EQ(starter.started[0].second, 5);
}

TEST(HelpCommand, InstalledProgramFindsItsHelpInTheDataFolder)
{
    struct Case {
        const char* layout;
        std::vector<std::string> helpFiles;  // below the prefix
        std::string opened;                  // below the prefix
    };
    const Case cases[] = {
        {"built", {"bin/brevhelp.html"}, "bin/brevhelp.html"},
        {"installed", {"share/brevok/brevhelp.html"}, "bin/../share/brevok/brevhelp.html"},
        {"both", {"bin/brevhelp.html", "share/brevok/brevhelp.html"}, "bin/brevhelp.html"},
        {"neither", {}, "bin/brevhelp.html"},
    };
    for (const Case& c : cases) {
        ScratchFolder prefix(" prefix");
        const std::string program = prefix.Write("bin/brevok", "");
        for (const std::string& file : c.helpFiles)
            prefix.Write(file, "<html></html>");
        EXPECT_EQ(HelpCommandLine(program, HelpViewer::DesktopOpener), "xdg-open \"" + (prefix / c.opened) + "\"")
            << c.layout;
    }
}

TEST(HelpCommand, SystemStarterDoesNotWaitForTheViewer)
{
    ScratchFolder folder(" help");
    const std::string marker = folder / "opened";
    const std::string viewer = folder.WriteScript("viewer", "sleep 1\nprintf '%s' \"$1\" > \"" + marker + "\"\n");

    SystemProgramStarter starter;
    starter.Start("\"" + viewer + "\" \"" + folder.Path() + "/brevhelp.html\"", 5);
    // The viewer sleeps first: had Start waited for it, the marker would be there already.
    EXPECT_FALSE(FileExists(marker)) << "Start waited for the viewer";
    for (int i = 0; i < 200 && !FileExists(marker); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ASSERT_TRUE(FileExists(marker));
    EXPECT_EQ(ReadFileBytes(marker), folder.Path() + "/brevhelp.html");

    starter.Start("no-such-viewer-anywhere x", 5);  // not reported, not thrown
}

}  // namespace
}  // namespace brevok
