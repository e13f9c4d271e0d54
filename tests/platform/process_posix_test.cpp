// The runners against real processes: every outcome, group ends, reaping, descriptors.
#include "platform/process.h"

#include "platform/files.h"
#include "support/printing_launcher.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <fstream>
#include <set>
#include <thread>

namespace brevok {
namespace {

using testing::PrintingLauncher;
using testing::ScratchFolder;

/// A batch file as Compile writes it: CR LF after each line but the last.
std::string WriteBatch(const ScratchFolder& folder, const std::string& name, const std::vector<std::string>& lines)
{
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i)
        text += lines[i] + (i + 1 < lines.size() ? "\r\n" : "");
    return folder.Write(name, text);
}

/// Waits for a file that a child writes; children are slow on a busy machine, so there is
/// no limit beyond the test runner's own.
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

/// The state letter of a process in /proc ('R', 'S', 'Z', ...), or 0 when it is gone.
char ProcessState(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line))
        return 0;
    const std::size_t close = line.rfind(')');
    return close == std::string::npos || close + 2 >= line.size() ? 0 : line[close + 2];
}

bool IsRunning(pid_t pid)
{
    const char state = ProcessState(pid);
    return state != 0 && state != 'Z' && state != 'X';
}

/// Waits until the process is no longer running (gone, or a zombie of a parent other than us).
void WaitUntilNotRunning(pid_t pid)
{
    while (IsRunning(pid))
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

std::set<std::string> OpenDescriptors()
{
    std::set<std::string> fds;
    DIR* dir = opendir("/proc/self/fd");
    while (const dirent* entry = readdir(dir))
        fds.insert(entry->d_name);
    closedir(dir);
    return fds;
}

class RunFileAndWaitTest : public ::testing::Test {
protected:
    std::string Run(const std::string& program, const std::string& file, std::int32_t timeoutMs = -1,
                    std::uint16_t show = kShowWindowMinimized)
    {
        return runner->RunFileAndWait(program, file, timeoutMs, show, hooks).Text();
    }

    /// The hooks of every run the test starts.
    LaunchHooks hooks;
    ScratchFolder folder{" runner ü"};
    SystemProcessLauncher launcher;
    /// Works out each start as the launcher does and records it instead of running it.
    PrintingLauncher printer;
    ProcessLauncher* runner = &launcher;
};

TEST_F(RunFileAndWaitTest, NothingStartsWithoutAnExistingFile)
{
    EXPECT_EQ(Run("", ""), "Process file does not exist");
    EXPECT_EQ(Run("", folder / "missing.bat"), "Process file does not exist");
    EXPECT_EQ(Run(folder / "missing", folder / "missing.bat"), "Process file does not exist");
    // A folder is no file.
    EXPECT_EQ(Run("", folder.Path()), "Process file does not exist");
}

TEST_F(RunFileAndWaitTest, BatchFileRunsWithCrLfLinesAndClsAndEndsOk)
{
    const std::string out = folder / "out file.txt";
    const std::string batch = WriteBatch(folder, "Temp.bat", {"printf '%s' \"$PWD\" > '" + out + "'", " CLS"});
    EXPECT_EQ(Run("", batch, 20000), "OK");
    // The caller's current folder, and no CR glued to the redirection's file name.
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    EXPECT_EQ(ReadFileBytes(out), cwd);
}

TEST_F(RunFileAndWaitTest, TextsReachTheProcessAsTheyAreAndOnlyOneMustExist)
{
    const std::string odd = WriteBatch(folder, "say \"hi\".bat", {"printf ok > odd.txt"});
    const std::string previous = std::filesystem::current_path();
    std::filesystem::current_path(folder.Path());
    EXPECT_EQ(Run("", odd), "OK");
    std::filesystem::current_path(previous);
    EXPECT_EQ(ReadFileBytes(folder / "odd.txt"), "ok");

    const std::string program = folder.WriteScript("show args", "printf '%s|' \"$@\" > \"$(dirname \"$0\")/args\"\n");
    EXPECT_EQ(Run(program, "not a file"), "OK");
    EXPECT_EQ(ReadFileBytes(folder / "args"), "not a file|");
    EXPECT_EQ(Run(program, ""), "OK");
    EXPECT_EQ(ReadFileBytes(folder / "args"), "|");
}

TEST_F(RunFileAndWaitTest, FailedStartNamesBothTextsAndTheErrorCode)
{
    const std::string plain = folder.Write("data.txt", "not a program");
    EXPECT_EQ(Run("", plain), "Createproccess failed  " + plain + " Error: 13");
    const std::string program = folder / "gone";
    EXPECT_EQ(Run(program, plain), "Createproccess failed " + program + " " + plain + " Error: 2");
}

TEST_F(RunFileAndWaitTest, TimeOutEndsTheBatchAndTheProgramItStarted)
{
    const std::string batch =
        WriteBatch(folder, "Slow.bat",
                   {"echo $$ > batch.pid", "sh -c 'echo $$ > child.pid.tmp; mv child.pid.tmp child.pid; exec sleep 60'",
                    "echo finished > done.txt"});
    const std::string previous = std::filesystem::current_path();
    std::filesystem::current_path(folder.Path());
    std::thread watcher;
    pid_t child = 0;
    std::string result;
    // The time-out must pass after the grandchild has started: wait for it in the pump.
    hooks = {[&] {
                 if (child == 0 && FileExists(folder / "child.pid"))
                     child = std::stoi(WaitForFile(folder / "child.pid"));
             },
             {}};
    std::int32_t timeoutMs = 300;
    while (true) {
        result = launcher.RunFileAndWait("", batch, timeoutMs, kShowWindowMinimized, hooks).Text();
        if (child != 0)
            break;
        timeoutMs *= 2;  // a slow machine did not get as far as the grandchild
    }
    std::filesystem::current_path(previous);
    EXPECT_EQ(result, "Timeout has occured in waiting for result from compiler.");
    const pid_t batchPid = std::stoi(WaitForFile(folder / "batch.pid"));
    EXPECT_EQ(ProcessState(batchPid), 0) << "the batch interpreter was reaped";
    WaitUntilNotRunning(child);
    EXPECT_FALSE(FileExists(folder / "done.txt"));
}

TEST_F(RunFileAndWaitTest, ShowNormalHandsOutputAndCommandsToTheObserverAndPumps)
{
    std::string seen;
    int pumps = 0;
    hooks = {[&] { ++pumps; }, [&](std::string_view bytes) { seen.append(bytes); }};
    const std::string batch = WriteBatch(folder, "Temp.bat", {"echo to-out", "sleep 0.2", "echo to-err >&2"});
    EXPECT_EQ(Run("", batch, -1, kShowWindowNormal), "OK");
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    const std::string prompt = std::string(cwd) + ">";
    EXPECT_EQ(seen, prompt + "echo to-out\nto-out\n" + prompt + "sleep 0.2\n" + prompt + "echo to-err >&2\nto-err\n");
    EXPECT_GT(pumps, 0);

    // Minimised: nothing is shown.
    seen.clear();
    EXPECT_EQ(Run("", batch, -1, kShowWindowMinimized), "OK");
    EXPECT_EQ(seen, "");
}

TEST_F(RunFileAndWaitTest, PlanRecordsTheCommandAndBatchTextAndRunsNothing)
{
    runner = &printer;
    const std::string batch = WriteBatch(folder, "Temp.bat", {"touch ran", " CLS"});
    EXPECT_EQ(Run("", batch, 20000, kShowWindowNormal), "OK");
    ASSERT_EQ(printer.launches.size(), 1u);
    const LaunchRecord& record = printer.launches[0];
    // The path has spaces, so the runner quotes it for the splitting rules.
    EXPECT_EQ(record.commandLine, " \"" + batch + "\"");
    EXPECT_EQ(record.batchText, "touch ran\r\n CLS");
    EXPECT_EQ(record.timeoutMs, 20000);
    EXPECT_EQ(record.showWindow, kShowWindowNormal);
    ASSERT_EQ(record.argv.size(), 4u);
    EXPECT_EQ(record.argv[0], "/bin/sh");
    EXPECT_EQ(record.argv[3], batch);
    EXPECT_FALSE(FileExists(folder / "ran"));

    // A plain path is written exactly as it is: a space, then the path.
    ScratchFolder plain;
    const std::string plainBatch = WriteBatch(plain, "Temp.bat", {" CLS"});
    EXPECT_EQ(Run("", plainBatch), "OK");
    EXPECT_EQ(printer.launches.back().commandLine, " " + plainBatch);
    EXPECT_EQ(Run("", folder / "missing.bat"), "Process file does not exist");
    EXPECT_EQ(printer.launches.size(), 2u);
}

TEST_F(RunFileAndWaitTest, WaitFailureCountsAsOk)
{
    // With SIGCHLD ignored the system reaps the child itself and the wait cannot see it end.
    struct sigaction ignore { };
    struct sigaction old { };
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGCHLD, &ignore, &old);
    const std::string batch = WriteBatch(folder, "Temp.bat", {"exit 3"});
    const std::string result = Run("", batch, 20000);
    const std::uint32_t code = launcher.RunCommandAndWait("/bin/sh -c \"exit 3\"", 20000, kShowWindowMinimized).Code();
    sigaction(SIGCHLD, &old, nullptr);
    EXPECT_EQ(result, "OK");
    EXPECT_EQ(code, kWaitFailed);
}

class RunCommandAndWaitTest : public RunFileAndWaitTest { };

TEST_F(RunCommandAndWaitTest, EndedFailedToStartAndBatchCommands)
{
    EXPECT_EQ(launcher.RunCommandAndWait("/bin/sh -c \"exit 5\"", 20000, kShowWindowMinimized).Code(), 0u);
    EXPECT_EQ(launcher.RunCommandAndWait("no-such-program-here.exe x", 20000, kShowWindowMinimized).Code(),
              static_cast<std::uint32_t>(ENOENT));
    EXPECT_EQ(launcher.RunCommandAndWait("", 20000, kShowWindowMinimized).Code(), static_cast<std::uint32_t>(ENOENT));
    const std::string plain = folder.Write("data.txt", "x");
    EXPECT_EQ(launcher.RunCommandAndWait("\"" + plain + "\"", 20000, kShowWindowMinimized).Code(),
              static_cast<std::uint32_t>(EACCES));
    // Arguments are split by the Windows rules; a batch file found in the current folder runs.
    folder.Write("job.bat", "printf '%s' done > \"job out.txt\"\r\n");
    const std::string previous = std::filesystem::current_path();
    std::filesystem::current_path(folder.Path());
    const std::uint32_t code = launcher.RunCommandAndWait("job.bat", 20000, kShowWindowMinimized).Code();
    const std::string printArgs = "/bin/sh -c \"printf '%s|' \\\"$@\\\" > args\" sh \"a b\" c\\\"d";
    const std::uint32_t quoted = launcher.RunCommandAndWait(printArgs, 20000, kShowWindowMinimized).Code();
    std::filesystem::current_path(previous);
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(ReadFileBytes(folder / "job out.txt"), "done");
    EXPECT_EQ(quoted, 0u);
    EXPECT_EQ(ReadFileBytes(folder / "args"), "a b|c\"d|");
}

TEST_F(RunCommandAndWaitTest, TimeOutLeavesTheChildRunningAndReapsItLater)
{
    const std::string go = folder / "go";
    const std::string pidFile = folder / "pid";
    // The child waits for the test to let it end, so it is sure to outlive the time-out.
    const std::string command = "/bin/sh -c \"echo $$ > '" + pidFile + "'; while [ ! -e '" + go +
        "' ]; do sleep 0.05; done; echo out; echo err >&2\"";
    std::string seen;
    hooks = {{}, [&](std::string_view bytes) { seen.append(bytes); }};
    EXPECT_EQ(launcher.RunCommandAndWait(command, 100, kShowWindowNormal, hooks).Code(), kWaitTimeout);
    const pid_t pid = std::stoi(WaitForFile(pidFile));
    EXPECT_TRUE(IsRunning(pid));
    folder.Write("go", "");
    // Once it ends it is reaped: no zombie stays behind.
    while (ProcessState(pid) != 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

TEST_F(RunCommandAndWaitTest, PlanSplitsTheCommandAndLooksUpItsProgram)
{
    runner = &printer;
    folder.WriteScript("brevdos", "exit 0\n");
    const std::string line = "\"" + folder.Path() + "/brevdos.exe\" brc32.exe -fo \"a b.res\" > message.tmp";
    EXPECT_EQ(printer.RunCommandAndWait(line, 5000, kShowWindowMinimized).Code(), 0u);
    ASSERT_EQ(printer.launches.size(), 1u);
    const LaunchRecord& record = printer.launches[0];
    EXPECT_EQ(record.commandLine, line);
    EXPECT_EQ(record.argv,
              (std::vector<std::string>{folder / "brevdos", "brc32.exe", "-fo", "a b.res", ">", "message.tmp"}));
    EXPECT_EQ(record.timeoutMs, 5000);
    EXPECT_EQ(record.showWindow, kShowWindowMinimized);
}

TEST(ProcessDescriptors, ChildrenInheritNothingAndRunsLeakNothing)
{
    ScratchFolder folder;
    std::string seen;
    SystemProcessLauncher launcher;
    const LaunchHooks hooks{[] {}, [&seen](std::string_view bytes) { seen.append(bytes); }};
    // A descriptor the test opens without close-on-exec must not reach a child.
    const int stray = open("/dev/null", O_RDONLY);
    ASSERT_GE(stray, 3);
    const std::set<std::string> before = OpenDescriptors();

    const std::string list = folder / "fds";
    EXPECT_EQ(launcher.RunCommandAndWait("/bin/sh -c \"ls /proc/$$/fd\"", -1, kShowWindowNormal, hooks).Code(), 0u);
    const std::string inheritedShown = seen;
    // The shell keeps a copy of its standard output (fd 10) around the redirection.
    const std::string listing = "/bin/sh -c \"ls /proc/$$/fd > '" + list + "'\"";
    EXPECT_EQ(launcher.RunCommandAndWait(listing, -1, kShowWindowMinimized, hooks).Code(), 0u);
    const std::string inherited = ReadFileBytes(list);
    const std::string batch = WriteBatch(folder, "Temp.bat", {"echo x"});
    EXPECT_EQ(launcher.RunFileAndWait("", batch, -1, kShowWindowNormal, hooks).Text(), "OK");
    launcher.RunFileAndWait("", batch, -1, kShowWindowMinimized, hooks);
    EXPECT_EQ(
        launcher.RunFileAndWait("", WriteBatch(folder, "Slow.bat", {"sleep 5"}), 50, kShowWindowNormal, hooks).Text(),
        "Timeout has occured in waiting for result from compiler.");
    EXPECT_EQ(launcher.RunCommandAndWait("/bin/true", -1, kShowWindowNormal, hooks).Code(), 0u);
    EXPECT_EQ(launcher.RunCommandAndWait("/bin/true", -1, kShowWindowMinimized, hooks).Code(), 0u);
    const ProgramExit captured = RunAndCapture({"/bin/sh", "-c", "ls /proc/$$/fd"});

    EXPECT_EQ(OpenDescriptors(), before);
    close(stray);
    EXPECT_EQ(inheritedShown, "0\n1\n2\n");
    EXPECT_EQ(inherited, "0\n1\n10\n2\n");
    EXPECT_EQ(captured.output, "0\n1\n2\n");
}

TEST(RunAndCapture, ExitCodesAndStartFailures)
{
    EXPECT_EQ(RunAndCapture({"/bin/sh", "-c", "echo out; echo err >&2; exit 4"}).exitCode, 4);
    EXPECT_EQ(RunAndCapture({"/bin/sh", "-c", "echo out; echo err >&2"}).output, "out\nerr\n");
    EXPECT_EQ(RunAndCapture({"/bin/sh", "-c", "kill -9 $$"}).exitCode, 128 + SIGKILL);
    EXPECT_EQ(RunAndCapture({"/no/such/program"}).startError, ENOENT);
}

}  // namespace
}  // namespace brevok
