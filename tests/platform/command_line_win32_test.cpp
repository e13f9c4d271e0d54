// Program lookup and batch files on Windows: CreateProcess's search order and cmd.exe.
#include "platform/command_line.h"

#include "rules/paths.h"
#include "support/scratch_folder.h"
#include "rules/ascii.h"

#include <gtest/gtest.h>

namespace brevok {
namespace {

using Args = std::vector<std::string>;

TEST(FindProgram, SearchesOwnFolderThenCurrentFolderThenPathAddingExe)
{
    testing::ScratchFolder root;
    const std::string own = root / "own";
    const std::string current = root / "current";
    const std::string first = root / "path1";
    const std::string second = root / "path2";
    for (const std::string* folder : {&own, &current, &first, &second})
        root.Write(FilePart(*folder) + "\\tool.exe", "MZ");
    root.Write("path2\\later.exe", "MZ");
    root.Write("current\\job.bat", "echo\r\n");

    SearchPlaces places{own, current, first + ";" + second};
    EXPECT_EQ(FindProgram("tool.exe", places), own + "\\tool.exe");
    // A name without an extension is looked for with ".exe", as CreateProcess does.
    EXPECT_EQ(FindProgram("tool", places), own + "\\tool.exe");
    places.ownFolder = root / "missing";
    EXPECT_EQ(FindProgram("tool", places), current + "\\tool.exe");
    places.currentFolder = root / "missing";
    EXPECT_EQ(FindProgram("TOOL.EXE", places), first + "\\TOOL.EXE");
    EXPECT_EQ(FindProgram("later", places), second + "\\later.exe");
    places.currentFolder = current;
    EXPECT_EQ(FindProgram("job.bat", places), current + "\\job.bat");
    // An empty entry of the search path is the current folder.
    EXPECT_EQ(FindProgram("job.bat", SearchPlaces{"", current, first + ";;" + second}), current + "\\job.bat");
    EXPECT_EQ(FindProgram("nothing", places), "");
    EXPECT_EQ(FindProgram("", places), "");
    // A name with a folder, a drive or a forward slash is not searched for.
    EXPECT_EQ(FindProgram(first + "\\tool.exe", SearchPlaces{}), first + "\\tool.exe");
    EXPECT_EQ(FindProgram("path1\\tool.exe", places), "");
    EXPECT_EQ(FindProgram(root.Path(), SearchPlaces{}), "");
}

TEST(LaunchArguments, BatchFilesRunUnderCmd)
{
    EXPECT_TRUE(IsBatchFile("C:\\x\\Temp.bat"));
    EXPECT_FALSE(IsBatchFile("C:\\x.bat\\run"));
    EXPECT_EQ(LaunchArguments({"C:\\bin\\prog.exe", "a"}), (Args{"C:\\bin\\prog.exe", "a"}));
    const Args argv = LaunchArguments({"C:\\x y\\Temp.BAT", "ignored"}, BatchEcho::On);
    ASSERT_EQ(argv.size(), 5u);
    EXPECT_EQ(AsciiUpper(FilePart(argv[0])), "CMD.EXE");
    EXPECT_EQ(Args(argv.begin() + 1, argv.end()), (Args{"/d", "/s", "/c", "C:\\x y\\Temp.BAT"}));
    EXPECT_EQ(WindowsCommandLine(argv), QuoteArgument(argv[0]) + " /d /s /c \"\"C:\\x y\\Temp.BAT\"\"");
}

}  // namespace
}  // namespace brevok
