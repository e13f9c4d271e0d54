// Compile and Build All on Windows with the real runners and the real tools: the batch file
// read by cmd.exe, brcc32.exe writing the .res, brevdos.exe capturing brc32.exe's output.
#include "workbench/build_all_command.h"
#include "workbench/compile_command.h"

#include "platform/command_line.h"
#include "platform/process.h"
#include "platform/files.h"
#include "platform/system_text.h"
#include "support/env_guard.h"
#include "support/fake_command_host.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>

namespace brevok {
namespace {

using testing::EnvGuard;
using testing::FakeCommandHost;
using testing::ScratchFolder;
using Lines = std::vector<std::string>;

/// The folder of the built tools, bin/ beside this program's tests/.
std::string ToolFolder()
{
    return ProgramFolder() + "..\\bin\\";
}

/// A bitmap file of one 24-bit pixel.
std::string OnePixelBitmap()
{
    const std::string info(
        "\x28\0\0\0\x01\0\0\0\x01\0\0\0\x01\0\x18\0\0\0\0\0\x04\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0", 40);
    return std::string("BM\x3a\0\0\0\0\0\0\0\x36\0\0\0", 14) + info + std::string("\x00\x00\xff\x00", 4);
}

class WindowsCommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The working folder's path holds a blank and a character cmd.exe reads as syntax.
        const std::string logo = folder.Write("logo.bmp", OnePixelBitmap());
        host.document.Reset({"LOGO BITMAP \"" + logo + "\""});
        host.settings.WorkingFolder = folder.Path() + "\\";
        host.settings.ScriptPath = folder / "app.rc";
        host.settings.CompilerPath = ToolFolder() + "brcc32.exe";
        host.settings.ExePath = folder / "app.exe";
    }

    ScratchFolder folder{" work&co"};
    FakeCommandHost host;
};

TEST_F(WindowsCommandsTest, CompileRunsTheBatchThroughCmdAndShowsTheOutcome)
{
    CompileCommandOptions options;
    options.timeoutMs = 60000;
    host.dialogs.AnswerBox(BoxAnswer::Ok);
    RunCompileCommand(host, options);
    EXPECT_EQ(host.BoxTexts(), Lines{"Resource compiled " + (folder / "app.res")});
    EXPECT_EQ(host.messages, Lines{"Compile complete, No errors found.."});
    EXPECT_TRUE(FileExists(folder / "app.res"));
    EXPECT_FALSE(FileExists(folder / "Temp.bat"));  // deleted after the run

    // A line the compiler refuses: its message is shown, named by the script's line, no box.
    host.document.Reset({"LOGO BITMAP \"" + (folder / "missing.bmp") + "\""});
    RunCompileCommand(host, options);
    ASSERT_EQ(host.messages.size(), 1u);
    const std::string refused = host.messages.front();
    EXPECT_EQ(refused.rfind((folder / "app.rc") + "(1): error: BITMAP LOGO: ", 0), 0u) << refused;
    EXPECT_NE(refused.find(folder / "missing.bmp"), std::string::npos) << refused;
    EXPECT_EQ(host.BoxTexts().size(), 1u);
}

TEST_F(WindowsCommandsTest, BuildAllBindsThroughBrevdosAndBrc32)
{
    ASSERT_TRUE(CopyFileA((ProgramFolder() + "test_child.exe").c_str(), host.settings.ExePath.c_str(), FALSE));
    // The companion as the Windows program names it, found on the search path.
    const EnvGuard path("PATH", ToolFolder() + ";" + std::string(std::getenv("PATH")));
    BuildAllOptions options;
    options.rules = WindowsBuildRules();
    options.rules.maxLength = SystemCommandLineLimit();  // a scratch folder's paths are long
    options.timeoutMs = 60000;
    RunBuildAllCommand(host, options);
    EXPECT_EQ(host.BoxTexts(), Lines{});
    EXPECT_EQ(host.messages, Lines{"Compile and binding complete, No errors found.."});
    EXPECT_TRUE(FileExists(folder / "app.res"));
    EXPECT_EQ(host.busyDepth, 0);
}

TEST_F(WindowsCommandsTest, CompileAndBuildAllInAFolderNamedInCyrillic)
{
    // cmd.exe would misread these names written into its batch file. The program's text here
    // is UTF-8, as the window's is under its manifest.
    const std::string project = folder / "\xD0\xBF\xD1\x80\xD0\xBE\xD0\xB5\xD0\xBA\xD1\x82";  // проект
    ASSERT_TRUE(CreateFolders(project));
    const std::string logo = project + "\\d\xC3\xA4t\xC3\xA4.bmp";  // dätä.bmp
    WriteFileAtomically(logo, OnePixelBitmap());
    host.document.Reset({"LOGO BITMAP \"" + logo + "\""});
    host.settings.WorkingFolder = project + "\\";
    host.settings.ScriptPath = project + "\\app.rc";
    host.settings.ExePath = project + "\\app.exe";

    CompileCommandOptions compile;
    compile.timeoutMs = 60000;
    host.dialogs.AnswerBox(BoxAnswer::Ok);
    RunCompileCommand(host, compile);
    EXPECT_EQ(host.BoxTexts(), Lines{"Resource compiled " + project + "\\app.res"});
    EXPECT_EQ(host.messages, Lines{"Compile complete, No errors found.."});
    EXPECT_NE(host.batchText.find("\"%BREVOK_SCRIPT%\""), std::string::npos) << host.batchText;
    const std::string compiled = ReadFileBytes(project + "\\app.res");
    EXPECT_NE(compiled.find(OnePixelBitmap().substr(14)), std::string::npos);  // the bitmap without its file header

    // The compiler's message names the missing file as it is.
    const std::string missing = project + "\\\xD0\xB6.bmp";  // ж.bmp
    host.document.Reset({"LOGO BITMAP \"" + missing + "\""});
    RunCompileCommand(host, compile);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_NE(host.messages.front().find(missing), std::string::npos) << host.messages.front();

    host.document.Reset({"LOGO BITMAP \"" + logo + "\""});
    std::filesystem::copy_file(SystemPath(ProgramFolder() + "test_child.exe"), SystemPath(host.settings.ExePath));
    const EnvGuard path("PATH", ToolFolder() + ";" + std::string(std::getenv("PATH")));
    BuildAllOptions build;
    build.rules = WindowsBuildRules();
    build.rules.maxLength = SystemCommandLineLimit();
    build.timeoutMs = 60000;
    RunBuildAllCommand(host, build);
    EXPECT_EQ(host.messages, Lines{"Compile and binding complete, No errors found.."});
    EXPECT_NE(ReadFileBytes(host.settings.ExePath).find(OnePixelBitmap().substr(14)), std::string::npos);
    EXPECT_EQ(host.busyDepth, 0);
}

}  // namespace
}  // namespace brevok
