// Compile against a fake window: the batch file, the runner's arguments, and every outcome.
#include "workbench/compile_command.h"

#include "rules/errors.h"
#include "platform/files.h"
#include "platform/system_text.h"
#include "support/env_guard.h"
#include "support/fake_command_host.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

namespace brevok {
namespace {

using testing::EnvGuard;
using testing::FakeCommandHost;
using testing::ScratchFolder;
using Lines = std::vector<std::string>;

/// A fake compiler: prints `output` (printf format) and runs `action` with $1 = the script.
std::string FakeCompiler(const ScratchFolder& folder, const std::string& output, const std::string& action = "")
{
    return folder.WriteScript("fakecc", "printf '" + output + "'\n" + action + "\n");
}

/// Writes the .res beside the script, as a real compiler does.
constexpr const char* kWriteRes = "printf 'res' > \"${1%.*}.res\"";
constexpr const char* kBanner = "Fake Compiler 1.0\\nCopyright\\n\\n";

class CompileCommandTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        host.document.Reset({"Logo BITMAP \"/art/logo.bmp\""});
        host.settings.ScriptPath = folder / "app.rc";
        host.settings.CompilerPath = "none";
    }

    std::string ResPath() const { return folder / "app.res"; }

    ScratchFolder folder;
    FakeCommandHost host;
};

TEST_F(CompileCommandTest, RefusesWithoutLinesOrCompiler)
{
    host.document.Clear();
    host.dialogs.AnswerBox(BoxAnswer::Ok);
    RunCompileCommand(host);

    host.document.Append("x RCDATA \"/x\"");
    host.dialogs.AnswerBox(BoxAnswer::Ok);
    RunCompileCommand(host);                     // "none"
    host.settings.CompilerPath = folder.Path();  // a folder is no compiler
    host.dialogs.AnswerBox(BoxAnswer::Ok);
    RunCompileCommand(host);

    ASSERT_EQ(host.dialogs.boxes.size(), 3u);
    EXPECT_EQ(host.dialogs.boxes[0].kind, BoxKind::Error);
    EXPECT_EQ(host.dialogs.boxes[0].text, "There are no resources to compile");
    EXPECT_EQ(host.dialogs.boxes[1].kind, BoxKind::Information);
    EXPECT_EQ(host.dialogs.boxes[1].text, "Can't Compile. No resource compiler is seleted");
    EXPECT_EQ(host.dialogs.boxes[2].text, host.dialogs.boxes[1].text);
    EXPECT_TRUE(host.settings.BatchPath.empty());
    EXPECT_EQ(host.busyShown, 0);
    EXPECT_FALSE(FileExists(host.settings.ScriptPath));
}

TEST_F(CompileCommandTest, RunsTheBatchFileWithTheWrittenArguments)
{
    host.settings.CompilerPath = FakeCompiler(folder, "");
    host.settings.BatchPath = "/elsewhere/Temp.bat";
    host.launcher = &host.printer;

    RunCompileCommand(host);
    host.showProgress = true;
    RunCompileCommand(host);

    const std::string batch = folder / "Temp.bat";
    EXPECT_EQ(host.settings.BatchPath, batch);
    const auto& runs = host.printer.launches;
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].commandLine, " " + batch);
    EXPECT_EQ(runs[0].timeoutMs, 20000);
    EXPECT_EQ(runs[0].showWindow, 6);
    EXPECT_EQ(runs[1].showWindow, 5);
    const std::string text =
        host.settings.CompilerPath + " " + host.settings.ScriptPath + " > " + (folder / "app.txt") + "\r\n CLS\r\n";
    EXPECT_EQ(runs[0].batchText, text);
    EXPECT_EQ(host.batchText, text);
    EXPECT_EQ(ReadFileBytes(host.settings.ScriptPath), "Logo BITMAP \"/art/logo.bmp\"\r\n");
    EXPECT_FALSE(FileExists(batch));
    EXPECT_EQ(host.busyDepth, 0);
    EXPECT_TRUE(host.dialogs.boxes.empty());  // no .res: nothing to say
}

TEST(CompileBatch, QuotesOnlyWhatTheShellWouldMisread)
{
    const struct {
        std::string compiler, script, output;
        BatchShell shell;
        std::string text;
    } cases[] = {
        {"/opt/brcc32", "/w/a.rc", "/w/a.txt", BatchShell::Posix, "/opt/brcc32 /w/a.rc > /w/a.txt\r\n CLS\r\n"},
        {"/my tools/brcc32", "/w/it's $HOME.rc", "/w/x;y.txt", BatchShell::Posix,
         "'/my tools/brcc32' '/w/it'\\''s $HOME.rc' > '/w/x;y.txt'\r\n CLS\r\n"},
        {"C:\\Tools\\BRCC32.EXE", "C:\\My Files\\a.rc", "C:\\A&B\\a.txt", BatchShell::Cmd,
         "C:\\Tools\\BRCC32.EXE \"C:\\My Files\\a.rc\" > \"C:\\A&B\\a.txt\"\r\n CLS\r\n"},
        {"C:\\Tools\\BRCC32.EXE", "C:\\100%\\a.rc", "C:\\100% off\\a.txt", BatchShell::Cmd,
         "C:\\Tools\\BRCC32.EXE C:\\100%%\\a.rc > \"C:\\100%% off\\a.txt\"\r\n CLS\r\n"},
    };
    for (const auto& c : cases) {
        const CompileBatch batch = MakeCompileBatch(c.compiler, c.script, c.output, c.shell);
        EXPECT_EQ(batch.text, c.text);
        EXPECT_TRUE(batch.variables.empty()) << c.text;
    }
}

TEST(CompileBatch, CmdGetsPathsBeyondAsciiThroughTheEnvironment)
{
    const std::string folder = "C:\\\xD0\xBF\xD1\x80\xD0\xBE\xD0\xB5\xD0\xBA\xD1\x82 100%";  // C:\проект 100%
    const std::string compiler = "D:\\d\xC3\xA4t\xC3\xA4\\brcc32.exe";                      // D:\dätä\brcc32.exe
    const CompileBatch cmd =
        MakeCompileBatch(compiler, folder + "\\a.rc", folder + "\\a.txt", BatchShell::Cmd);
    EXPECT_EQ(cmd.text, "\"%BREVOK_COMPILER%\" \"%BREVOK_SCRIPT%\" > \"%BREVOK_OUTPUT%\"\r\n CLS\r\n");
    EXPECT_EQ(cmd.variables, (std::vector<BatchVariable>{{"BREVOK_COMPILER", compiler},
                                                         {"BREVOK_SCRIPT", folder + "\\a.rc"},
                                                         {"BREVOK_OUTPUT", folder + "\\a.txt"}}));
    // Only the path that needs it.
    const CompileBatch mixed = MakeCompileBatch("C:\\T\\brcc32.exe", "C:\\W\\a.rc", folder + "\\a.txt", BatchShell::Cmd);
    EXPECT_EQ(mixed.text, "C:\\T\\brcc32.exe C:\\W\\a.rc > \"%BREVOK_OUTPUT%\"\r\n CLS\r\n");
    EXPECT_EQ(mixed.variables, (std::vector<BatchVariable>{{"BREVOK_OUTPUT", folder + "\\a.txt"}}));
    // A POSIX shell reads its script's bytes as they are.
    const CompileBatch posix = MakeCompileBatch("/opt/brcc32", "/\xD0\xBF/a.rc", "/\xD0\xBF/a.txt", BatchShell::Posix);
    EXPECT_EQ(posix.text, "/opt/brcc32 /\xD0\xBF/a.rc > /\xD0\xBF/a.txt\r\n CLS\r\n");
    EXPECT_TRUE(posix.variables.empty());
}

/// Records, besides each start, the batch file's variables as the started program would find them.
class VariableRecorder : public testing::PrintingLauncher {
public:
    std::vector<std::optional<std::string>> compiler, script, output;

protected:
    RunOutcome Execute(const LaunchPlan& plan, const LaunchHooks& hooks) override
    {
        compiler.push_back(EnvironmentValue("BREVOK_COMPILER"));
        script.push_back(EnvironmentValue("BREVOK_SCRIPT"));
        output.push_back(EnvironmentValue("BREVOK_OUTPUT"));
        return PrintingLauncher::Execute(plan, hooks);
    }
};

TEST_F(CompileCommandTest, CmdFindsTheVariablesSetWhenTheBatchRuns)
{
    const EnvGuard compilerVariable("BREVOK_COMPILER", std::nullopt);
    const EnvGuard scriptVariable("BREVOK_SCRIPT", std::nullopt);
    const EnvGuard outputVariable("BREVOK_OUTPUT", std::nullopt);
    ScratchFolder cyrillic("\xD0\xBF\xD1\x80\xD0\xBE\xD0\xB5\xD0\xBA\xD1\x82");  // проект
    host.settings.ScriptPath = cyrillic / "app.rc";
    host.settings.CompilerPath = FakeCompiler(folder, "");
    VariableRecorder recorder;
    host.launcher = &recorder;

    RunCompileCommand(host, {.shell = BatchShell::Cmd});
    ASSERT_EQ(recorder.launches.size(), 1u);
    EXPECT_EQ(recorder.launches[0].batchText,
              host.settings.CompilerPath + " \"%BREVOK_SCRIPT%\" > \"%BREVOK_OUTPUT%\"\r\n CLS\r\n");
    EXPECT_EQ(recorder.compiler[0], std::nullopt);  // ASCII: written into the batch file
    EXPECT_EQ(recorder.script[0], host.settings.ScriptPath);
    EXPECT_EQ(recorder.output[0], cyrillic / "app.txt");
    EXPECT_EQ(ReadFileBytes(host.settings.ScriptPath), "Logo BITMAP \"/art/logo.bmp\"\r\n");
    EXPECT_FALSE(FileExists(cyrillic / "Temp.bat"));
}

TEST_F(CompileCommandTest, CleanCompileShowsTheBoxThenTheLine)
{
    host.settings.CompilerPath = FakeCompiler(folder, kBanner, kWriteRes);
    host.messages = {"old"};
    host.dialogs.AnswerBox(BoxAnswer::Ok);
    RunCompileCommand(host);

    ASSERT_EQ(host.dialogs.boxes.size(), 1u);
    EXPECT_EQ(host.dialogs.boxes[0].kind, BoxKind::Information);
    EXPECT_EQ(host.dialogs.boxes[0].text, "Resource compiled " + ResPath());
    EXPECT_EQ(host.messages, Lines{"Compile complete, No errors found.."});
    EXPECT_TRUE(FileExists(folder / "app.txt"));
    EXPECT_FALSE(FileExists(folder / "Temp.bat"));
    EXPECT_EQ(host.busyDepth, 0);
}

TEST_F(CompileCommandTest, DiagnosticsAreShownOnlyWhenAResourceFileIsThere)
{
    const std::string diagnostics = std::string(kBanner) + "app.rc(1): error: bad\\n";
    host.settings.CompilerPath = FakeCompiler(folder, diagnostics);
    RunCompileCommand(host);  // no .res at all: silence
    EXPECT_TRUE(host.messages.empty());
    EXPECT_TRUE(host.dialogs.boxes.empty());

    folder.Write("app.res", "older");  // an older .res: its compile's messages are shown
    RunCompileCommand(host);
    EXPECT_EQ(host.messages, Lines{"app.rc(1): error: bad"});
    EXPECT_TRUE(host.dialogs.boxes.empty());
}

TEST_F(CompileCommandTest, ShortOutputCountsAsClean)
{
    host.settings.CompilerPath = FakeCompiler(folder, "one\\ntwo\\n\\n\\n", kWriteRes);
    host.dialogs.AnswerBox(BoxAnswer::Ok);
    RunCompileCommand(host);
    EXPECT_EQ(host.messages, Lines{"Compile complete, No errors found.."});
}

TEST_F(CompileCommandTest, MissingOutputFileIsACompilerError)
{
    host.settings.CompilerPath = FakeCompiler(folder, "", std::string(kWriteRes) + "; rm \"${1%.*}.txt\"");
    RunCompileCommand(host);
    EXPECT_EQ(host.messages, Lines{"Compiler Error"});
}

TEST_F(CompileCommandTest, RunnerFailuresAreShownAsTheyCome)
{
    host.settings.CompilerPath = FakeCompiler(folder, "", "sleep 30");
    host.dialogs.AnswerBox(BoxAnswer::Ok);
    RunCompileCommand(host, {.timeoutMs = 200});
    EXPECT_EQ(host.BoxTexts(), Lines{"Timeout has occured in waiting for result from compiler."});
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(host.busyDepth, 0);
    EXPECT_FALSE(FileExists(folder / "Temp.bat"));
}

TEST_F(CompileCommandTest, FailedSaveEndsTheCommandWithTheCursorBack)
{
    host.settings.CompilerPath = FakeCompiler(folder, "");
    host.settings.ScriptPath = folder / "missing/app.rc";
    EXPECT_THROW(
        {
            try {
                RunCompileCommand(host);
            } catch (const Error& e) {
                EXPECT_EQ(std::string(e.what()), "Cannot create file " + host.settings.ScriptPath);
                throw;
            }
        },
        Error);
    EXPECT_EQ(host.busyShown, 1);
    EXPECT_EQ(host.busyDepth, 0);
}

TEST_F(CompileCommandTest, PathsWithSpacesAndShellCharactersCompile)
{
    ScratchFolder odd(" it's $x;");
    host.settings.ScriptPath = odd / "my app.rc";
    host.settings.CompilerPath =
        odd.WriteScript("my cc", "echo a; echo b; echo; echo \"got $1\"\n" + std::string(kWriteRes) + "\n");
    RunCompileCommand(host);
    EXPECT_EQ(host.messages, Lines{"got " + host.settings.ScriptPath});
    EXPECT_TRUE(FileExists(odd / "my app.res"));
}

}  // namespace
}  // namespace brevok
