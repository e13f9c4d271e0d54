// The Windows tools as programs: brevdos.exe redirects its command's output itself and starts
// it without cmd.exe, brcc32.exe compiles a file script, brc32.exe binds the resources into a
// program that the system's loader then reads and that still runs.
#include "platform/command_line.h"
#include "platform/current_folder.h"
#include "platform/files.h"
#include "platform/process.h"
#include "support/env_guard.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace brevok {
namespace {

using testing::EnvGuard;
using testing::ScratchFolder;

/// A tool built into bin/ beside the tests/ folder of this program.
std::string Tool(const std::string& name)
{
    return ProgramFolder() + "..\\bin\\" + name + ".exe";
}

/// The child program of the runner tests, beside this one.
std::string Child()
{
    return ProgramFolder() + "test_child.exe";
}

/// Runs `argv` in `folder`, its standard output and error captured.
ProgramExit RunIn(const ScratchFolder& folder, const std::vector<std::string>& argv)
{
    CurrentFolderChange change;
    EXPECT_TRUE(change.Enter(folder.Path()));
    return RunAndCapture(argv);
}

/// A bitmap file of one 24-bit pixel: the 14-byte file header, then what a BITMAP resource holds.
std::string OnePixelBitmap()
{
    const std::string info(
        "\x28\0\0\0\x01\0\0\0\x01\0\0\0\x01\0\x18\0\0\0\0\0\x04\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0", 40);
    const std::string pixel("\x00\x00\xff\x00", 4);
    return std::string("BM\x3a\0\0\0\0\0\0\0\x36\0\0\0", 14) + info + pixel;
}

TEST(BrevdosExe, RedirectsTheOutputItselfAndPassesTheExitCodeOn)
{
    const ScratchFolder folder;
    // No cmd.exe reads the command: "&" and "|" reach it as they are.
    ProgramExit run = RunIn(folder, {Tool("brevdos"), Child(), "print", "a&b|c", ">", "out.txt"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.output, "!");  // standard error is not redirected
    EXPECT_EQ(ReadFileBytes(folder / "out.txt"), "a&b|c");
    // ">>" adds the command's output after what the file holds, "> FILE" starts it anew.
    run = RunIn(folder, {Tool("brevdos"), Child(), "print", "more", ">>", "out.txt"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(ReadFileBytes(folder / "out.txt"), "a&b|cmore");
    run = RunIn(folder, {Tool("brevdos"), Child(), "print", "new", ">out.txt"});
    EXPECT_EQ(ReadFileBytes(folder / "out.txt"), "new");

    run = RunIn(folder, {Tool("brevdos"), Child(), "exit", "7", ">", "failed.txt"});
    EXPECT_EQ(run.exitCode, 7);
    EXPECT_NE(ReadFileBytes(folder / "failed.txt").find("failed with exit code 7"), std::string::npos);

    run = RunIn(folder, {Tool("brevdos"), "no-such-program.exe", ">", "missing.txt"});
    EXPECT_EQ(run.exitCode, 127);
    const std::string told = ReadFileBytes(folder / "missing.txt");
    EXPECT_EQ(told.rfind("brevdos Version ", 0), 0u) << told;
    EXPECT_NE(told.find("brevdos: cannot start no-such-program.exe: " + StartErrorText(ERROR_FILE_NOT_FOUND) + "\n"),
              std::string::npos)
        << told;
}

TEST(Brcc32Exe, CompilesFileScriptsAndOtherStatementsWithoutLlvmRc)
{
    const ScratchFolder folder;
    folder.Write("logo.bmp", OnePixelBitmap());
    folder.Write("app.rc", "LOGO BITMAP \"logo.bmp\"\r\n");
    folder.Write("strings.rc", "STRINGTABLE\r\nBEGIN\r\n 1 \"a\"\r\nEND\r\n");
    // Nothing beside the tool or on this PATH is llvm-rc.
    const EnvGuard path("PATH", folder.Path());

    ProgramExit run = RunIn(folder, {Tool("brcc32"), "app.rc"});
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(run.output.rfind("brcc32 Version ", 0), 0u) << run.output;
    const std::string res = ReadFileBytes(folder / "app.res");
    // The empty opening record, then the bitmap's record whose data is the file without its header.
    EXPECT_EQ(res.substr(0, 8), std::string("\0\0\0\0\x20\0\0\0", 8));
    EXPECT_NE(res.find(OnePixelBitmap().substr(14)), std::string::npos);

    // A string table and the shipped windows.h: our compiler, no llvm-rc.
    folder.Write("strings.rc", "#include <windows.h>\r\nSTRINGTABLE\r\nBEGIN\r\n IDOK \"a\"\r\nEND\r\n");
    run = RunIn(folder, {Tool("brcc32"), "strings.rc"});
    EXPECT_EQ(run.exitCode, 0) << run.output;
    // Bundle 1 holds string 1 (IDOK) as one UTF-16 unit after its length.
    EXPECT_NE(ReadFileBytes(folder / "strings.res").find(std::string("\0\0\x01\0a\0", 6)), std::string::npos);

    folder.Write("broken.rc", "STRINGTABLE\r\nBEGIN\r\n 1\r\nEND\r\n");
    run = RunIn(folder, {Tool("brcc32"), "broken.rc"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.output.find("broken.rc(4): error: expected string, got END"), std::string::npos) << run.output;
    EXPECT_FALSE(FileExists(folder / "broken.res"));
}

TEST(Brc32Exe, BindsTheResourcesIntoAProgramThatStillRuns)
{
    const ScratchFolder folder;
    folder.Write("logo.bmp", OnePixelBitmap());
    folder.Write("app.rc", "LOGO BITMAP \"logo.bmp\"\r\n");
    const std::string exe = folder / "app.exe";
    ASSERT_TRUE(CopyFileA(Child().c_str(), exe.c_str(), FALSE));

    const ProgramExit run = RunIn(folder, {Tool("brc32"), "-fo", "app.res", "-fe", "app.exe", "app.rc"});
    EXPECT_EQ(run.exitCode, 0) << run.output;

    // The system's loader finds the resource with the bitmap's data.
    const HMODULE image = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(image, nullptr);
    const HRSRC found = FindResourceA(image, "LOGO", MAKEINTRESOURCEA(2));  // RT_BITMAP
    ASSERT_NE(found, nullptr);
    const DWORD size = SizeofResource(image, found);
    const char* data = static_cast<const char*>(LockResource(LoadResource(image, found)));
    EXPECT_EQ(std::string(data, size), OnePixelBitmap().substr(14));
    FreeLibrary(image);
    // And the program runs as before.
    EXPECT_EQ(RunAndCapture({exe, "exit", "4"}).exitCode, 4);
}

}  // namespace
}  // namespace brevok
