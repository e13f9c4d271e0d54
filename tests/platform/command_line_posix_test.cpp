// Program lookup, /bin/sh quoting and batch files run by /bin/sh, on POSIX.
#include "platform/command_line.h"

#include "platform/files.h"
#include "platform/process.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace brevok {
namespace {

using Args = std::vector<std::string>;

TEST(QuoteForShell, PlainWordsStayAndOthersSurviveTheShell)
{
    EXPECT_EQ(QuoteForShell("/home/me/app.rc"), "/home/me/app.rc");
    EXPECT_EQ(QuoteForShell("/home/mé/ü-1,2+x@y.rc"), "/home/mé/ü-1,2+x@y.rc");
    EXPECT_EQ(QuoteForShell("/a b/x.rc"), "'/a b/x.rc'");
    EXPECT_EQ(QuoteForShell("it's"), "'it'\\''s'");
    EXPECT_EQ(QuoteForShell(""), "''");

    testing::ScratchFolder folder;
    const Args words = {"/a b/x.rc",
                        "it's",
                        "$(touch pwned)",
                        "`touch pwned`",
                        "a;touch pwned",
                        "*",
                        "~",
                        "#c",
                        "x=y",
                        "a|b",
                        "a&b",
                        "\"q\"",
                        "back\\slash",
                        "!",
                        "{a,b}",
                        "tab\there",
                        ""};
    std::string script = "for w in";
    for (const std::string& word : words)
        script += " " + QuoteForShell(word);
    script += "; do printf '%s\\n' \"$w\"; done";
    std::string expected;
    for (const std::string& word : words)
        expected += word + "\n";
    const ProgramExit run = RunAndCapture({"/bin/sh", "-c", "cd \"$1\" && " + script, "sh", folder.Path()});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.output, expected);
    struct stat info { };
    EXPECT_NE(stat((folder / "pwned").c_str(), &info), 0);
}

TEST(FindProgram, SearchesOwnFolderThenCurrentFolderThenPath)
{
    testing::ScratchFolder root;
    const std::string own = root / "own";
    const std::string current = root / "current";
    const std::string first = root / "path1";
    const std::string second = root / "path2";
    for (const std::string* folder : {&own, &current, &first, &second})
        root.WriteScript(folder->substr(root.Path().size() + 1) + "/tool", "exit 0\n");
    root.WriteScript("path2/later", "exit 0\n");
    root.Write("path1/later", "not executable");
    root.Write("current/job.bat", "echo\r\n");
    root.WriteScript("path2/brevdos", "exit 0\n");

    SearchPlaces places{own, current, first + ":" + second};
    EXPECT_EQ(FindProgram("tool", places), own + "/tool");
    places.ownFolder = root / "missing";
    EXPECT_EQ(FindProgram("tool", places), current + "/tool");
    places.currentFolder = root / "missing";
    EXPECT_EQ(FindProgram("tool", places), first + "/tool");
    // A file that may not be executed is passed over; a batch file need not be executable.
    EXPECT_EQ(FindProgram("later", places), second + "/later");
    places.currentFolder = current;
    EXPECT_EQ(FindProgram("job.bat", places), current + "/job.bat");
    // An empty entry of the search path is the current folder.
    EXPECT_EQ(FindProgram("job.bat", SearchPlaces{"", current, first + "::" + second}), current + "/job.bat");
    // "brevdos.exe" as Build All writes it finds our brevdos.
    EXPECT_EQ(FindProgram("brevdos.exe", places), second + "/brevdos");
    EXPECT_EQ(FindProgram("BREVDOS.EXE", places), "");
    EXPECT_EQ(FindProgram("nothing", places), "");
    EXPECT_EQ(FindProgram("", places), "");
    // A name with a folder is not searched for.
    EXPECT_EQ(FindProgram(first + "/tool", SearchPlaces{}), first + "/tool");
    // A named file that may not be executed is left to fail at the start, with its reason.
    EXPECT_EQ(FindProgram(first + "/later", SearchPlaces{}), first + "/later");
    EXPECT_EQ(FindProgram(root.Path(), SearchPlaces{}), "");
}

TEST(LaunchArguments, BatchFilesRunUnderTheShell)
{
    EXPECT_TRUE(IsBatchFile("/x/Temp.bat"));
    EXPECT_TRUE(IsBatchFile("RUN.BAT"));
    EXPECT_FALSE(IsBatchFile("/x.bat/run"));
    EXPECT_FALSE(IsBatchFile("run.bat.txt"));
    EXPECT_EQ(LaunchArguments({"/bin/prog", "a"}), (Args{"/bin/prog", "a"}));
    const Args argv = LaunchArguments({"/x/Temp.BAT", "ignored"}, BatchEcho::On);
    ASSERT_EQ(argv.size(), 5u);
    EXPECT_EQ(argv[0], "/bin/sh");
    EXPECT_EQ(argv[1], "-c");
    EXPECT_EQ(argv[3], "/x/Temp.BAT");
    EXPECT_EQ(argv[4], "echo");
}

TEST(LaunchArguments, BatchLinesRunOneByOneWithCrLfEndsAndClsDoingNothing)
{
    testing::ScratchFolder folder(" with space");
    const std::string batch = folder.Write("Run.bat",
                                           "printf '%s|' first > out.txt\r\n"
                                           " CLS\r\n"
                                           "cls\r\n"
                                           "\r\n"
                                           "printf '%s|' \"$PWD\" >> out.txt\r\n"
                                           "cat >> out.txt\r\n"
                                           "printf last >> out.txt");
    const ProgramExit run = RunAndCapture({"/bin/sh", "-c", "cd \"$1\" && shift && exec \"$@\"", "sh", folder.Path(),
                                           "/bin/sh", "-c", std::string(BatchInterpreterScript()), batch, "echo"});
    EXPECT_EQ(run.exitCode, 0);
    // Standard input is the runner's (/dev/null here), not the batch file.
    EXPECT_EQ(ReadFileBytes(folder / "out.txt"), "first|" + folder.Path() + "|last");
    EXPECT_EQ(run.output,
              folder.Path() + ">printf '%s|' first > out.txt\n" + folder.Path() + "> CLS\n" + folder.Path() + ">cls\n" +
                  folder.Path() + ">printf '%s|' \"$PWD\" >> out.txt\n" + folder.Path() + ">cat >> out.txt\n" +
                  folder.Path() + ">printf last >> out.txt\n");
}

}  // namespace
}  // namespace brevok
