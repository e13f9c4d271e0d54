// brevdos: its own output redirection, the command's exit code, and no shell in between.
#include "platform/files.h"
#include "platform/process.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

namespace brevok {
namespace {

using testing::ScratchFolder;

const std::string kBrevdos = std::string(BREVOK_BIN_DIR) + "/brevdos";

/// Runs brevdos with `arguments` in `folder`, as Build All does after entering the working folder.
ProgramExit RunIn(const ScratchFolder& folder, std::vector<std::string> arguments)
{
    std::vector<std::string> argv = {"/bin/sh", "-c",          "cd \"$1\" && shift && exec \"$@\"",
                                     "sh",      folder.Path(), kBrevdos};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    return RunAndCapture(argv);
}

TEST(Brevdos, WritesTheCommandsOutputIntoTheFileAndPassesItsExitCodeOn)
{
    ScratchFolder folder;
    folder.Write("message.tmp", "old and longer content\n");
    const std::string tool = folder.WriteScript("tool", "echo \"out $1\"; echo err >&2; exit 7\n");
    const ProgramExit run = RunIn(folder, {tool, "a b", ">", "message.tmp"});
    EXPECT_EQ(run.exitCode, 7);
    // Truncated first. The failure left no line after a banner's three, so it is told there.
    const std::string failed = "brevdos: " + tool + " failed with exit code 7\n";
    EXPECT_EQ(ReadFileBytes(folder / "message.tmp"), "out a b\n\r\n\r\n" + failed);
    EXPECT_EQ(run.output, "err\n" + failed);  // standard error is not redirected

    EXPECT_EQ(RunIn(folder, {tool, "x", ">glued.txt"}).exitCode, 7);
    EXPECT_EQ(ReadFileBytes(folder / "glued.txt"), "out x\n\r\n\r\n" + failed);
    EXPECT_EQ(RunIn(folder, {tool, "y", ">>", "glued.txt"}).exitCode, 7);
    EXPECT_EQ(ReadFileBytes(folder / "glued.txt"), "out x\n\r\n\r\n" + failed + "out y\n");
    // Without a redirection the output stays on standard output; a ">" inside is an argument.
    const ProgramExit plain = RunIn(folder, {"/bin/echo", ">", "x", "y"});
    EXPECT_EQ(plain.exitCode, 0);
    EXPECT_EQ(plain.output, "> x y\n");
}

TEST(Brevdos, ACommandThatFailsWithoutADiagnosticIsToldInTheFile)
{
    ScratchFolder folder;
    // A crash loses the output still buffered: an empty file would read as a clean run.
    const std::string crash = folder.WriteScript("crash", "kill -SEGV $$\n");
    EXPECT_EQ(RunIn(folder, {crash, ">", "message.tmp"}).exitCode, 128 + 11);
    EXPECT_EQ(ReadFileBytes(folder / "message.tmp"), "\r\n\r\n\r\nbrevdos: " + crash + " failed with exit code 139\n");
    // A line without its end, or ending in a lone CR, is closed first.
    const std::string cut = folder.WriteScript("cut", "printf 'one\\r\\ntwo\\r'; exit 1\n");
    EXPECT_EQ(RunIn(folder, {cut, ">", "message.tmp"}).exitCode, 1);
    EXPECT_EQ(ReadFileBytes(folder / "message.tmp"), "one\r\ntwo\r\r\nbrevdos: " + cut + " failed with exit code 1\n");
    const std::string open = folder.WriteScript("open", "printf 'one'; exit 1\n");
    EXPECT_EQ(RunIn(folder, {open, ">", "message.tmp"}).exitCode, 1);
    EXPECT_EQ(ReadFileBytes(folder / "message.tmp"), "one\r\n\r\n\r\nbrevdos: " + open + " failed with exit code 1\n");
    // A final empty line after the banner is no diagnostic either.
    const std::string blank = folder.WriteScript("blank", "printf 'a\\nb\\nc\\n\\n'; exit 2\n");
    EXPECT_EQ(RunIn(folder, {blank, ">", "message.tmp"}).exitCode, 2);
    EXPECT_EQ(ReadFileBytes(folder / "message.tmp"), "a\nb\nc\n\nbrevdos: " + blank + " failed with exit code 2\n");
    // A diagnostic after the banner, or success, leaves the output as the command wrote it.
    const std::string told = folder.WriteScript("told", "printf 'a\\nb\\n\\nerror: x\\n'; exit 1\n");
    const ProgramExit toldRun = RunIn(folder, {told, ">", "message.tmp"});
    EXPECT_EQ(toldRun.exitCode, 1);
    EXPECT_EQ(toldRun.output, "");
    EXPECT_EQ(ReadFileBytes(folder / "message.tmp"), "a\nb\n\nerror: x\n");
    EXPECT_EQ(RunIn(folder, {"/bin/true", ">", "message.tmp"}).exitCode, 0);
    EXPECT_EQ(ReadFileBytes(folder / "message.tmp"), "");
}

TEST(Brevdos, NoCharacterOfAnArgumentRunsAnything)
{
    ScratchFolder folder(" $(touch pwned); `touch pwned2` ");
    const std::string tool = folder.WriteScript("tool; touch pwned3", "printf '%s|' \"$@\"\n");
    const std::vector<std::string> hostile = {"a;touch pwned4", "$(touch pwned5)", "`touch pwned6`", "&& touch pwned7",
                                              "| cat"};
    std::vector<std::string> arguments = {tool};
    arguments.insert(arguments.end(), hostile.begin(), hostile.end());
    arguments.insert(arguments.end(), {">", "out $(x).txt"});
    EXPECT_EQ(RunIn(folder, arguments).exitCode, 0);
    std::string expected;
    for (const std::string& argument : hostile)
        expected += argument + "|";
    EXPECT_EQ(ReadFileBytes(folder / "out $(x).txt"), expected);
    for (const char* name : {"pwned", "pwned2", "pwned3", "pwned4", "pwned5", "pwned6", "pwned7"})
        EXPECT_FALSE(FileExists(folder / name)) << name;
}

TEST(Brevdos, FindsCompanionsInItsOwnFolderAndReportsACommandThatCannotStart)
{
    ScratchFolder folder;
    folder.Write("d.bin", "data");
    folder.Write("app.rc", "Blob RCDATA \"d.bin\"\r\n");
    // As Build All writes it: the ".exe" names find the tools built beside brevdos.
    const ProgramExit companion = RunIn(folder, {"brcc32.exe", "app.rc", ">", "message.tmp"});
    EXPECT_EQ(companion.exitCode, 0);
    EXPECT_EQ(ReadFileBytes(folder / "message.tmp").substr(0, 15), "brcc32 Version ");
    EXPECT_TRUE(FileExists(folder / "app.res"));

    const ProgramExit missing = RunIn(folder, {"no-such-binder.exe", "-fo", "x", ">", "message.tmp"});
    EXPECT_EQ(missing.exitCode, 127);
    const std::string message = "brevdos: cannot start no-such-binder.exe: No such file or directory\n";
    EXPECT_EQ(missing.output, message);
    // The output file tells the reader too, after the three banner lines every output starts with.
    const std::string captured = ReadFileBytes(folder / "message.tmp");
    EXPECT_EQ(captured.substr(captured.size() - message.size()), message);
    EXPECT_EQ(std::count(captured.begin(), captured.end(), '\n'), 4);

    EXPECT_EQ(RunIn(folder, {}).exitCode, 2);
    EXPECT_EQ(RunIn(folder, {"/bin/true", ">", folder / "no folder/x.txt"}).exitCode, 1);
}

}  // namespace
}  // namespace brevok
