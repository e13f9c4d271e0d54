// The runners on Windows against real processes: every outcome, the job object that a
// time-out ends whole, output handed to the observer, the tools' helpers.
#include "platform/process.h"

#include "platform/command_line.h"
#include "platform/detached_start.h"
#include "platform/files.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

namespace brevok {
namespace {

using testing::ScratchFolder;

/// The child program built beside this test program (tests/platform/child).
std::string ChildProgram()
{
    return ProgramFolder() + "test_child.exe";
}

/// A batch file as Compile writes it: CR LF after each line.
std::string WriteBatch(const ScratchFolder& folder, const std::string& name, const std::string& line)
{
    return folder.Write(name, line + "\r\n CLS\r\n");
}

/// Waits for a file a child writes; children are slow under Wine, so there is no limit beyond
/// the test runner's own.
std::string WaitForFile(const std::string& path)
{
    while (true) {
        std::ifstream in(path);
        std::string text;
        if (in && std::getline(in, text) && !text.empty())
            return text;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

/// Handles to the sleeping child and its parent, opened while both still run.
struct Sleepers {
    HANDLE child = nullptr;
    HANDLE parent = nullptr;

    void Open(const std::string& pidFile)
    {
        std::istringstream ids(WaitForFile(pidFile));
        DWORD childId = 0;
        DWORD parentId = 0;
        ids >> childId >> parentId;
        child = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, childId);
        parent = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, parentId);
    }
    ~Sleepers()
    {
        for (HANDLE handle : {child, parent}) {
            if (handle != nullptr)
                CloseHandle(handle);
        }
    }
};

class WindowsRunnerTest : public ::testing::Test {
protected:
    std::string Run(const std::string& program, const std::string& file, std::int32_t timeoutMs = -1,
                    std::uint16_t show = kShowWindowMinimized)
    {
        return launcher.RunFileAndWait(program, file, timeoutMs, show, hooks).Text();
    }

    /// The hooks of every run the test starts.
    LaunchHooks hooks;
    ScratchFolder folder{" runner"};
    SystemProcessLauncher launcher;
};

TEST_F(WindowsRunnerTest, RunFileAndWaitOutcomes)
{
    const std::string out = folder / "out file.txt";
    const std::string batch = WriteBatch(folder, "Temp.bat", "\"" + ChildProgram() + "\" print ran > \"" + out + "\"");
    const std::string data = folder.Write("data.txt", "x");
    const std::string missing = folder / "missing.exe";
    struct Row {
        std::string program;
        std::string file;
        std::string result;
    };
    const Row rows[] = {
        {"", "", "Process file does not exist"},
        {"", folder / "missing.bat", "Process file does not exist"},
        {"", folder.Path(), "Process file does not exist"},  // a folder is no file
        {"", batch, "OK"},
        // The program is named with its folder, so it is not searched for: ERROR_FILE_NOT_FOUND.
        {missing, data, "Createproccess failed " + missing + " " + data + " Error: 2"},
        // A file that is no program: ERROR_BAD_EXE_FORMAT.
        {data, "", "Createproccess failed " + data + "  Error: 193"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(Run(row.program, row.file, 60000), row.result) << row.program << " | " << row.file;
    EXPECT_EQ(ReadFileBytes(out), "ran");
}

TEST_F(WindowsRunnerTest, RunCommandAndWaitOutcomes)
{
    const std::string data = folder.Write("data.txt", "x");
    const std::string child = QuoteArgument(ChildProgram());
    struct Row {
        std::string commandLine;
        std::uint32_t code;
    };
    const Row rows[] = {
        {child + " exit 5", kWaitObject0},
        {"no-such-program-here.exe x", ERROR_FILE_NOT_FOUND},
        {"", ERROR_FILE_NOT_FOUND},
        {QuoteArgument(data), ERROR_BAD_EXE_FORMAT},
    };
    for (const Row& row : rows)
        EXPECT_EQ(launcher.RunCommandAndWait(row.commandLine, 60000, kShowWindowMinimized).Code(), row.code)
            << row.commandLine;

    // A time-out leaves the child running; the caller tells the user.
    const std::string pidFile = folder / "sleeper.txt";
    Sleepers sleepers;
    hooks = {[&] {
                 if (sleepers.child == nullptr)
                     sleepers.Open(pidFile);
             },
             {}};
    EXPECT_EQ(
        launcher.RunCommandAndWait(child + " sleep " + QuoteArgument(pidFile), 200, kShowWindowMinimized, hooks).Code(),
        kWaitTimeout);
    ASSERT_NE(sleepers.child, nullptr);
    EXPECT_EQ(WaitForSingleObject(sleepers.child, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    TerminateProcess(sleepers.child, 1);
}

TEST_F(WindowsRunnerTest, TimeOutEndsTheBatchAndTheProgramItStartedThroughTheJob)
{
    const std::string pidFile = folder / "sleeper.txt";
    const std::string batch = WriteBatch(folder, "Temp.bat", "\"" + ChildProgram() + "\" sleep \"" + pidFile + "\"");
    // The pump runs while the runner waits: it holds the wait until the child has said who it
    // and its parent (cmd.exe) are, so the time-out comes only after both have started.
    Sleepers sleepers;
    hooks = {[&] {
                 if (sleepers.child == nullptr)
                     sleepers.Open(pidFile);
             },
             {}};
    EXPECT_EQ(Run("", batch, 200), kRunTimeoutText);
    ASSERT_NE(sleepers.child, nullptr);
    ASSERT_NE(sleepers.parent, nullptr);
    // Both end; a survivor would keep this wait (and the test) from ever finishing.
    EXPECT_EQ(WaitForSingleObject(sleepers.parent, INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(sleepers.child, INFINITE), WAIT_OBJECT_0);
}

TEST_F(WindowsRunnerTest, ShowNormalHandsTheOutputAndTheEchoedCommandsToTheObserver)
{
    const std::string batch = WriteBatch(folder, "Temp.bat", "\"" + ChildProgram() + "\" print hello");
    std::string seen;
    int pumps = 0;
    hooks = {[&] { ++pumps; }, [&](std::string_view bytes) { seen.append(bytes); }};
    EXPECT_EQ(Run("", batch, 60000, kShowWindowNormal), "OK");
    EXPECT_NE(seen.find("hello"), std::string::npos) << seen;
    EXPECT_NE(seen.find("!"), std::string::npos) << seen;                             // standard error too
    EXPECT_NE(seen.find("test_child.exe\" print hello"), std::string::npos) << seen;  // cmd.exe echoes
    // Minimised, the output is not the observer's.
    seen.clear();
    EXPECT_EQ(Run("", batch, 60000, kShowWindowMinimized), "OK");
    EXPECT_EQ(seen, "");
}

TEST(DetachedStart, StartsWithoutWaitingAndReportsWhatCannotStart)
{
    const ScratchFolder folder;
    const std::string pidFile = folder / "sleeper.txt";
    ASSERT_TRUE(StartDetached(QuoteArgument(ChildProgram()) + " sleep " + QuoteArgument(pidFile)));
    // It returned while the child runs on; the child is ended here.
    Sleepers sleepers;
    sleepers.Open(pidFile);
    ASSERT_NE(sleepers.child, nullptr);
    EXPECT_EQ(WaitForSingleObject(sleepers.child, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    TerminateProcess(sleepers.child, 1);
    EXPECT_FALSE(StartDetached(folder / "missing.exe"));
    EXPECT_FALSE(StartDetached(""));
}

TEST(ToolHelpers, RunAndCaptureAndRunWithOutput)
{
    const ScratchFolder folder;
    const ProgramExit printed = RunAndCapture({ChildProgram(), "print", "a b"});
    EXPECT_EQ(printed.startError, 0);
    EXPECT_EQ(printed.exitCode, 0);
    EXPECT_EQ(printed.output, "a b!");
    EXPECT_EQ(RunAndCapture({ChildProgram(), "exit", "7"}).exitCode, 7);
    EXPECT_EQ(RunAndCapture({folder / "missing.exe"}).startError, static_cast<int>(ERROR_FILE_NOT_FOUND));

    // Standard output into a file of ours, standard error where ours goes.
    const std::string file = folder / "out.txt";
    const int fd = _open(file.c_str(), _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY, 0666);
    ASSERT_GE(fd, 0);
    const ProgramExit run = RunWithOutput({ChildProgram(), "print", "into file"}, fd);
    _close(fd);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(ReadFileBytes(file), "into file");
}

}  // namespace
}  // namespace brevok
