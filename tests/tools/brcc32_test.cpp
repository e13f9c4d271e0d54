// brcc32 as the Compile command's batch file runs it: banner, diagnostics, exit code, output.
#include "platform/files.h"
#include "platform/process.h"
#include "support/res_oracle.h"
#include "support/resource_files.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace brevok {
namespace {

using testing::ScratchFolder;

const std::string kBrcc32 = std::string(BREVOK_BIN_DIR) + "/brcc32";

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        lines.push_back(text.substr(start, end - start));
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return lines;
}

TEST(Brcc32, CompilesTheScriptIntoItsResFileAfterAThreeLineBanner)
{
    ScratchFolder folder(" brcc ü");
    const std::string bitmap = folder.Write("logo.bmp", testing::TinyBitmap());
    const std::string script = folder.Write("App.Rc", "Logo BITMAP \"" + bitmap + "\"\r\n");
    const ProgramExit run = RunAndCapture({kBrcc32, script});
    EXPECT_EQ(run.exitCode, 0) << run.output;
    const std::vector<std::string> lines = Lines(run.output);
    ASSERT_EQ(lines.size(), 3u) << run.output;
    EXPECT_EQ(lines[0].rfind("brcc32 Version ", 0), 0u);
    EXPECT_EQ(lines[2], "");
    EXPECT_EQ(testing::ResEntries(folder / "App.res"), std::set<std::string>{"BITMAP (ID 2)/LOGO"});
}

TEST(Brcc32, DiagnosticsFollowTheBannerAndTheExitCodeSaysFailure)
{
    ScratchFolder folder;
    // Every broken statement is named, in the order of the lines.
    const std::string script = folder.Write("app.rc",
                                            "Logo BITMAP \"" + folder.Path() +
                                                "/missing.bmp\"\r\nx 1 2\r\n1 MENU { MENUITEM \"a\", 70000 }\r\n"
                                                "2 RCDATA { \"ok\" }\r\n3 DIALOG 0, 0, 1 {}\r\n");
    const ProgramExit run = RunAndCapture({kBrcc32, script});
    EXPECT_EQ(run.exitCode, 1);
    const std::vector<std::string> lines = Lines(run.output);
    ASSERT_EQ(lines.size(), 7u) << run.output;
    EXPECT_EQ(lines[3],
              script + "(1): error: BITMAP Logo: cannot open " + folder.Path() +
                  "/missing.bmp: No such file or directory");
    EXPECT_EQ(lines[4], script + "(2): error: expected '{', got 2");
    // What rc.exe takes as it cuts it is a warning among the errors.
    EXPECT_EQ(lines[5], script + "(3): warning: MENUITEM action ID (70000) does not fit in 16 bits; rc.exe keeps its "
                                 "low bits: 4464");
    EXPECT_EQ(lines[6], script + "(5): error: expected ',', got {");
    EXPECT_FALSE(FileExists(folder / "app.res"));
}

TEST(Brcc32, RelativeScriptsOutputOptionAndUsage)
{
    ScratchFolder folder;
    folder.Write("d.bin", "data");
    folder.Write("noext", "Blob RCDATA \"d.bin\"\r\n");
    const ProgramExit relative =
        RunAndCapture({"/bin/sh", "-c", "cd \"$1\" && exec \"$2\" noext && exec \"$2\" -fo out.res noext", "sh",
                       folder.Path(), kBrcc32});
    EXPECT_EQ(relative.exitCode, 0) << relative.output;
    EXPECT_TRUE(FileExists(folder / "noext.res"));

    const ProgramExit other = RunAndCapture({kBrcc32, "-fo", folder / "out.res", folder / "noext"});
    EXPECT_EQ(other.exitCode, 0) << other.output;
    EXPECT_TRUE(FileExists(folder / "out.res"));

    const ProgramExit usage = RunAndCapture({kBrcc32});
    EXPECT_EQ(usage.exitCode, 2);
    EXPECT_EQ(Lines(usage.output).back(), "usage: brcc32 [options] [-fo RESFILE] SCRIPT");
}

TEST(Brcc32, WithoutLlvmRcFileScriptsCompileAndOtherStatementsAreNamed)
{
    ScratchFolder folder(" no llvm");
    ScratchFolder noTools;
    const std::string data = folder.Write("d.bin", "data");
    const std::string script = folder.Write("app.rc",
                                            "Blob RCDATA \"" + data + "\"\r\nLogo ICON \"" +
                                                folder.Write("app.ico", testing::TinyIconFile(1)) + "\"\r\n");
    const std::vector<std::string> bare = {"/usr/bin/env", "PATH=" + noTools.Path(), kBrcc32, script};
    ProgramExit run = RunAndCapture(bare);
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(Lines(run.output).size(), 3u) << run.output;
    EXPECT_EQ(testing::ResEntries(folder / "app.res"),
              (std::set<std::string>{"RCDATA (ID 10)/BLOB", "GROUP_ICON (ID 14)/LOGO", "ICON (ID 3)/(ID 1)"}));

    // The other statements need no llvm-rc either; a broken one is named by our parser.
    folder.Write("app.rc", "Blob RCDATA \"" + data + "\"\r\n// strings\r\nSTRINGTABLE { 1 \"x\" }\r\n");
    run = RunAndCapture(bare);
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(testing::ResEntries(folder / "app.res"),
              (std::set<std::string>{"RCDATA (ID 10)/BLOB", "STRINGTABLE (ID 6)/(ID 1)"}));
    const std::string before = ReadFileBytes(folder / "app.res");
    folder.Write("app.rc", "Blob RCDATA \"" + data + "\"\r\n// strings\r\nSTRINGTABLE { 1 \"x\"\r\n 2 }\r\n");
    run = RunAndCapture(bare);
    EXPECT_EQ(run.exitCode, 1);
    const std::vector<std::string> lines = Lines(run.output);
    ASSERT_EQ(lines.size(), 4u) << run.output;
    EXPECT_EQ(lines[3], script + "(4): error: expected string, got }");
    EXPECT_EQ(ReadFileBytes(folder / "app.res"), before);
}

}  // namespace
}  // namespace brevok
