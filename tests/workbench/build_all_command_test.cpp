// Build All against a fake window: the command line, its limit, the working folder, the capture file.
#include "workbench/build_all_command.h"

#include "rules/errors.h"
#include "platform/files.h"
#include "support/fake_command_host.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <climits>

namespace brevok {
namespace {

using testing::FakeCommandHost;
using testing::ScratchFolder;
using Lines = std::vector<std::string>;

std::string CurrentFolder()
{
    char buffer[PATH_MAX];
    return getcwd(buffer, sizeof buffer) ? buffer : "";
}

class BuildAllCommandTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        host.document.Reset({"Logo BITMAP \"/art/logo.bmp\""});
        host.settings.WorkingFolder = folder.Path() + "/";
        host.settings.ScriptPath = folder / "app.rc";
        host.settings.ExePath = folder / "app.exe";
        startFolder = CurrentFolder();
        // The runner looks for programs in the current folder, which is the working folder
        // during the run; print mode records only what it finds.
        folder.WriteScript("brevdos", "exit 0\n");
    }
    void TearDown() override { EXPECT_EQ(CurrentFolder(), startFolder); }

    /// A companion that writes `capture` into message.tmp in its current folder, as the real
    /// one does through its redirection, then runs `after`.
    void UseCompanion(const std::string& capture, const std::string& after = "")
    {
        options.rules.companion =
            folder.WriteScript("companion", "printf '" + capture + "' > message.tmp\n" + after + "\n");
    }

    ScratchFolder folder;
    FakeCommandHost host;
    BuildAllOptions options;
    std::string startFolder;
};

TEST_F(BuildAllCommandTest, RefusesWithoutScriptExecutableOrLines)
{
    host.settings.ScriptPath.clear();
    RunBuildAllCommand(host);  // no script open: silence
    host.settings.ScriptPath = folder / "app.rc";
    host.settings.ExePath.clear();
    host.dialogs.AnswerBox(BoxAnswer::Ok);
    RunBuildAllCommand(host);
    host.settings.ExePath = folder / "app.exe";
    host.document.Clear();
    host.dialogs.AnswerBox(BoxAnswer::Ok);
    RunBuildAllCommand(host);

    EXPECT_EQ(
        host.BoxTexts(),
        (Lines{"You must select an executable to bind the resource file to.", "There are no resources to compile"}));
    EXPECT_EQ(host.dialogs.boxes[0].kind, BoxKind::Error);
    EXPECT_EQ(host.dialogs.boxes[1].kind, BoxKind::Error);
    EXPECT_EQ(host.busyShown, 0);
    EXPECT_FALSE(FileExists(host.settings.ScriptPath));
}

TEST(BuildAllCommandLine, WritesPlainPathsAsTheyAreAndQuotesTheRest)
{
    EXPECT_EQ(BuildAllCommandLine(WindowsBuildRules(), "C:\\W\\A.res", "C:\\W\\A.EXE", "C:\\W\\A.RC"),
              "brevdos.exe brc32.exe -fo C:\\W\\A.res -fe C:\\W\\A.EXE C:\\W\\A.RC > message.tmp");
    EXPECT_EQ(BuildAllCommandLine(PosixBuildRules(), "/my w/a.res", "/w/a \"b\".exe", "/w/a.rc"),
              "brevdos brc32 -fo \"/my w/a.res\" -fe \"/w/a \\\"b\\\".exe\" /w/a.rc > message.tmp");
}

TEST_F(BuildAllCommandTest, RunsTheCompanionMinimisedWithAShortWait)
{
    host.showProgress = true;  // ignored by Build All
    host.settings.ScriptPath = folder / "app.rc2";
    folder.Write("message.tmp", "old capture");
    host.launcher = &host.printer;
    // Print mode runs nothing, so the capture file stays missing.
    EXPECT_THROW(RunBuildAllCommand(host), Error);

    ASSERT_EQ(host.printer.launches.size(), 1u);
    const LaunchRecord& run = host.printer.launches[0];
    EXPECT_EQ(run.commandLine,
              "brevdos brc32 -fo " + (folder / "app.res") + " -fe " + (folder / "app.exe") + " " +
                  (folder / "app.rc2") + " > message.tmp");
    EXPECT_EQ(run.showWindow, 6);
    EXPECT_EQ(run.timeoutMs, 5000);
    EXPECT_FALSE(FileExists(folder / "message.tmp"));
    EXPECT_TRUE(FileExists(folder / "app.rc2"));
    EXPECT_EQ(host.busyDepth, 0);
}

TEST_F(BuildAllCommandTest, WindowsLimitIsSeventyNineCharactersOfPaths)
{
    options.rules = WindowsBuildRules();
    host.launcher = &host.printer;
    // Script and resource paths share their stem, so grow the executable path alone: of ASCII
    // letters, then of Cyrillic ones, which take two bytes each but count one.
    const std::size_t fixed = host.settings.ScriptPath.size() + (folder / "app.res").size();
    std::size_t runs = 0;
    for (const std::string letter : {"e", "\xD0\xB6"}) {
        host.settings.ExePath = "/";
        for (std::size_t i = 0; i < 79 - fixed - 1; ++i)
            host.settings.ExePath += letter;
        folder.Write("message.tmp", "a\nb\nc\n");                // print mode runs nothing; this one is read
        EXPECT_THROW(RunBuildAllCommand(host, options), Error) << letter;  // deleted before the run
        ASSERT_EQ(host.printer.launches.size(), ++runs) << letter;
        EXPECT_EQ(host.printer.launches.back().commandLine.size(), 125u + (letter.size() - 1) * (79 - fixed - 1));

        host.settings.ExePath += letter;
        host.dialogs.AnswerBox(BoxAnswer::Ok);
        RunBuildAllCommand(host, options);
        EXPECT_EQ(host.BoxTexts(), Lines{"Internal Error, Cannot continue to compile, Command line too long"}) << letter;
        EXPECT_EQ(host.printer.launches.size(), runs) << letter;
        EXPECT_EQ(host.busyDepth, 0);
        host.dialogs.boxes.clear();
    }
}

TEST_F(BuildAllCommandTest, PosixLimitCountsBytes)
{
    options.rules.maxLength = BuildAllCommandLine(options.rules, folder / "app.res", host.settings.ExePath,
                                                  host.settings.ScriptPath).size();
    // As many characters as "app.exe", three bytes more.
    host.settings.ExePath = folder / "\xD0\xB6\xD0\xB6\xD0\xB6.exe";
    host.launcher = &host.printer;
    host.dialogs.AnswerBox(BoxAnswer::Ok);
    RunBuildAllCommand(host, options);
    EXPECT_TRUE(host.printer.launches.empty());
    EXPECT_EQ(host.BoxTexts(), Lines{"Internal Error, Cannot continue to compile, Command line too long"});
}

TEST_F(BuildAllCommandTest, CleanBuildAndDiagnostics)
{
    UseCompanion("brc32 1.0\\nCopyright\\n\\n");
    host.messages = {"old"};
    RunBuildAllCommand(host, options);
    EXPECT_EQ(host.messages, Lines{"Compile and binding complete, No errors found.."});
    EXPECT_TRUE(host.dialogs.boxes.empty());

    UseCompanion("brc32 1.0\\r\\nCopyright\\r\\n\\r\\napp.rc(2): error: x\\r\\nwarning: y\\r\\n");
    RunBuildAllCommand(host, options);
    EXPECT_EQ(host.messages, (Lines{"app.rc(2): error: x", "warning: y"}));
    EXPECT_EQ(host.busyDepth, 0);
}

TEST_F(BuildAllCommandTest, MissingCaptureFileReachesTheErrorReport)
{
    options.rules.companion = folder.WriteScript("companion", "exit 3\n");
    try {
        RunBuildAllCommand(host, options);
        ADD_FAILURE() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot open file message.tmp");
    }
    EXPECT_EQ(host.busyDepth, 0);
}

TEST_F(BuildAllCommandTest, WorkingFolderThatCannotBeEnteredRunsNothing)
{
    host.settings.WorkingFolder = "nodir/";
    host.launcher = &host.printer;
    host.dialogs.AnswerBox(BoxAnswer::Ok);
    RunBuildAllCommand(host, options);
    ASSERT_EQ(host.dialogs.boxes.size(), 1u);
    EXPECT_EQ(host.dialogs.boxes[0].kind, BoxKind::Error);
    EXPECT_EQ(host.dialogs.boxes[0].text,
              "Cannot enter the working folder nodir/\rChoose one with Options, Set Working Folder.");
    EXPECT_TRUE(host.printer.launches.empty());
    EXPECT_EQ(host.busyDepth, 0);
}

TEST_F(BuildAllCommandTest, TimeOutShowsTheBoxAndThenTheCapture)
{
    UseCompanion("b\\nc\\nd\\nsoon\\n", "sleep 3");
    options.timeoutMs = 1000;
    host.dialogs.AnswerBox(BoxAnswer::Ok);
    RunBuildAllCommand(host, options);
    EXPECT_EQ(host.BoxTexts(), Lines{"Timeout has occured in waiting for result from compiler."});
    EXPECT_EQ(host.messages, Lines{"soon"});
}

}  // namespace
}  // namespace brevok
