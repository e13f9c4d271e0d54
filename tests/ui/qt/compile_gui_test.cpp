// Compile and Build All end to end: the real window offscreen, scripted dialogs, the real
// brcc32, brevdos and brc32 with llvm-rc behind them, real PE images built by clang.
#include "ui/qt/compile_progress_window.h"
#include "image/res_file.h"
#include "platform/files.h"
#include "platform/process.h"
#include "support/pe_fixtures.h"
#include "window_fixture.h"

#include <QPlainTextEdit>

#include <cstdint>
#include <functional>
#include <cstdlib>

namespace brevok::testing {
namespace {

using Texts = std::vector<std::string>;

void PutLe(std::string& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

std::string BitmapInfoHeader(int height, int bitCount, std::uint32_t imageSize)
{
    std::string header;
    PutLe(header, 40, 4);
    PutLe(header, 1, 4);  // width
    PutLe(header, static_cast<std::uint32_t>(height), 4);
    PutLe(header, 1, 2);  // planes
    PutLe(header, static_cast<std::uint32_t>(bitCount), 2);
    PutLe(header, 0, 4);  // BI_RGB
    PutLe(header, imageSize, 4);
    header += std::string(16, '\0');
    return header;
}

/// A 1 x 1 24-bit Windows bitmap file.
std::string SmallBitmap()
{
    const std::string info = BitmapInfoHeader(1, 24, 4) + std::string("\x20\x40\xC0\x00", 4);
    std::string file = "BM";
    PutLe(file, static_cast<std::uint32_t>(14 + info.size()), 4);
    PutLe(file, 0, 4);
    PutLe(file, 14 + 40, 4);
    return file + info;
}

/// A 1 x 1 32-bit icon file: the directory, one entry, the image with its AND mask.
std::string SmallIcon()
{
    const std::string image = BitmapInfoHeader(2, 32, 8) + std::string("\x10\x20\x30\xFF", 4) + std::string(4, '\0');
    std::string file;
    PutLe(file, 0, 2);
    PutLe(file, 1, 2);                           // icon
    PutLe(file, 1, 2);                           // one image
    file += std::string("\x01\x01\x00\x00", 4);  // 1 x 1, no palette, reserved
    PutLe(file, 1, 2);                           // planes
    PutLe(file, 32, 2);                          // bits
    PutLe(file, static_cast<std::uint32_t>(image.size()), 4);
    PutLe(file, 6 + 16, 4);
    return file + image;
}

bool HasRecord(const std::vector<ResRecord>& records, const ResId& type, const ResId& name)
{
    for (const ResRecord& record : records) {
        if (record.type == type && record.name == name)
            return true;
    }
    return false;
}

class CompileGuiTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        // Build All's companion is found through PATH, as on a user's system.
        const char* path = std::getenv("PATH");
        oldPath = path ? path : "";
        setenv("PATH", (std::string(BREVOK_BIN_DIR) + ":" + oldPath).c_str(), 1);
    }
    void TearDown() override
    {
        WindowTest::TearDown();
        setenv("PATH", oldPath.c_str(), 1);
    }

    /// Starts with the real compiler front end and the real runners.
    TfrmResmain& StartWithCompiler()
    {
        TSettings settings = KnownCompiler();
        settings.CompilerPath = std::string(BREVOK_BIN_DIR) + "/brcc32";
        StoreSettings(settings);
        window = std::make_unique<TfrmResmain>(MainWindowServices{
            .dialogs = dialogs,
            .registry = *registry,
            .launcher = *given,
            .starter = systemStarter,
            .programPath = std::string(BREVOK_BIN_DIR) + "/brevok",
        });
        window->Activate();
        return *window;
    }

    /// New script at `script`, then one Add File per data file, as a user does it.
    void NewScriptWithFiles(const std::string& script, const std::vector<std::pair<std::string, std::string>>& files)
    {
        dialogs.AnswerFile(script);
        Trigger("mnuFileNew");
        for (const auto& [path, name] : files) {
            dialogs.AnswerFile(path);
            dialogs.AnswerInput(name);
            Trigger("mnuFileSelect");
        }
        ASSERT_EQ(Lines().size(), files.size());
    }

    Texts Pane() const
    {
        const QString text = window->memCompilerMess()->toPlainText();
        Texts lines;
        if (!text.isEmpty()) {
            for (const QString& line : text.split(QLatin1Char('\n')))
                lines.push_back(line.toStdString());
        }
        return lines;
    }

    SystemProcessLauncher launcher;
    /// The launcher the window is given.
    ProcessLauncher* given = &launcher;
    std::string oldPath;
};

/// The real runners, with the hooks the window sets, but without their time-outs, so that a
/// loaded machine cannot turn a slow but sound run into a failed test; the time-outs asked
/// for are kept for the test to read, and `afterRun` looks at the window before the command
/// goes on.
class PatientLauncher final : public SystemProcessLauncher {
public:
    std::vector<std::int32_t> asked;
    std::function<void()> afterRun;

protected:
    RunOutcome Execute(const LaunchPlan& plan, const LaunchHooks& hooks) override
    {
        asked.push_back(plan.record.timeoutMs);
        LaunchPlan patient = plan;
        patient.record.timeoutMs = -1;
        const RunOutcome outcome = SystemProcessLauncher::Execute(patient, hooks);
        if (afterRun)
            afterRun();
        return outcome;
    }
};

TEST_F(CompileGuiTest, ScriptBuiltByAddFileCompilesThenABrokenLineShowsDiagnostics)
{
    StartWithCompiler();
    const std::string script = folder / "app.rc";
    NewScriptWithFiles(script,
                       {{folder.Write("logo.bmp", SmallBitmap()), "Logo"},
                        {folder.Write("app.ico", SmallIcon()), "AppIcon"},
                        {folder.Write("chime.wav", "RIFF\4\0\0\0WAVE"), "Chime"},
                        {folder.Write("blob.dat", std::string("\0\1\2\3", 4)), "Blob"}});
    EXPECT_EQ(Lines()[0], "Logo BITMAP \"" + (folder / "logo.bmp") + "\"");

    dialogs.AnswerBox(BoxAnswer::Ok);
    Trigger("mnuFileCompile");
    const std::string res = folder / "app.res";
    EXPECT_EQ(BoxTexts(), Texts{"Resource compiled " + res});
    EXPECT_EQ(dialogs.boxes[0].kind, BoxKind::Information);
    EXPECT_EQ(Pane(), Texts{"Compile complete, No errors found.."});
    EXPECT_EQ(window->Bench().Settings().BatchPath, folder / "Temp.bat");
    EXPECT_FALSE(FileExists(folder / "Temp.bat"));
    EXPECT_TRUE(FileExists(folder / "app.txt"));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    const auto records = ParseResFile(ReadFileBytes(res));
    ASSERT_TRUE(records.ok()) << records.error;
    EXPECT_TRUE(HasRecord(*records, ResId::Ordinal(kRtBitmap), ResId::Name(u"LOGO")));
    EXPECT_TRUE(HasRecord(*records, ResId::Ordinal(kRtGroupIcon), ResId::Name(u"APPICON")));
    EXPECT_TRUE(HasRecord(*records, ResId::Ordinal(kRtIcon), ResId::Ordinal(1)));
    EXPECT_TRUE(HasRecord(*records, ResId::Name(u"WAVE"), ResId::Name(u"CHIME")));
    EXPECT_TRUE(HasRecord(*records, ResId::Ordinal(kRtRcData), ResId::Name(u"BLOB")));
    // A second, independent reader accepts the file as well.
    EXPECT_NO_THROW(
        fixtures::RunFixtureCommand("llvm-cvtres /machine:x64 '/out:" + (folder / "app.obj") + "' '" + res + "'"));

    window->Bench().Document().Append("Broken BITMAP");
    Trigger("mnuFileCompile");  // the older .res stays, so the diagnostics are shown
    const Texts pane = Pane();
    ASSERT_EQ(pane.size(), 1u);
    EXPECT_EQ(pane[0].rfind(script + "(5): error:", 0), 0u) << pane[0];
    EXPECT_EQ(dialogs.boxes.size(), 1u);
}

TEST_F(CompileGuiTest, ScriptInAFolderWithSpacesCompilesWithProgressShown)
{
    ScratchFolder spaced(" my files");
    StartWithCompiler();
    NewScriptWithFiles(spaced / "my app.rc", {{spaced.Write("my logo.bmp", SmallBitmap()), "Logo"}});
    Trigger("Showprogress");
    ASSERT_TRUE(window->Bench().Settings().ShowProgress);
    dialogs.AnswerBox(BoxAnswer::Ok);
    Trigger("mnuFileCompile");
    EXPECT_EQ(BoxTexts(), Texts{"Resource compiled " + (spaced / "my app.res")});
    EXPECT_EQ(Pane(), Texts{"Compile complete, No errors found.."});
}

TEST_F(CompileGuiTest, ProgressWindowShowsTheBatchWhileItRuns)
{
    PatientLauncher patient;
    given = &patient;
    StartWithCompiler();
    NewScriptWithFiles(folder / "app.rc", {{folder.Write("logo.bmp", SmallBitmap()), "Logo"}});
    Trigger("Showprogress");
    std::string seen;
    bool visible = false;
    patient.afterRun = [&] {
        if (CompileProgressWindow* shown = window->RunOutputWindow()) {
            visible = shown->isVisible();
            seen = shown->Text().toStdString();
        }
    };
    dialogs.AnswerBox(BoxAnswer::Ok);
    Trigger("mnuFileCompile");
    EXPECT_TRUE(visible);
    EXPECT_NE(seen.find("brcc32"), std::string::npos) << seen;
    EXPECT_EQ(window->RunOutputWindow(), nullptr) << "still open";
    EXPECT_EQ(patient.asked, std::vector<std::int32_t>{20000});
}

class BuildAllGuiTest : public CompileGuiTest {
protected:
    /// A script with one bitmap, open in the window, bound to a fresh PE image.
    void OpenScriptForExe(const std::string& exe)
    {
        given = &patient;
        StartWithCompiler();
        NewScriptWithFiles(folder / "app.rc", {{folder.Write("logo.bmp", SmallBitmap()), "Logo"}});
        dialogs.AnswerFile(exe);
        Trigger("mnuFileSelectExe");
    }

    PatientLauncher patient;
};

TEST_F(BuildAllGuiTest, CleanBuildBindsIntoTheExecutable)
{
    const std::string exe = fixtures::BuildPe(folder.Path(), "target", "");
    OpenScriptForExe(exe);
    Trigger("mnuFileBuildAll");
    EXPECT_EQ(Pane(), Texts{"Compile and binding complete, No errors found.."});
    EXPECT_EQ(patient.asked, std::vector<std::int32_t>{5000});
    EXPECT_TRUE(dialogs.boxes.empty());
    EXPECT_TRUE(FileExists(folder / "message.tmp"));
    const std::string tree = fixtures::RunFixtureCommand("llvm-readobj --coff-resources '" + exe + "'");
    EXPECT_NE(tree.find("LOGO"), std::string::npos) << tree;

    window->Bench().Document().Append("Broken BITMAP");
    const std::string before = ReadFileBytes(exe);
    Trigger("mnuFileBuildAll");
    const Texts pane = Pane();
    ASSERT_FALSE(pane.empty());
    EXPECT_NE(pane[0].find("(2): error:"), std::string::npos) << pane[0];
    EXPECT_EQ(ReadFileBytes(exe), before);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(BuildAllGuiTest, WorkingFolderThatCannotBeEnteredIsReported)
{
    OpenScriptForExe(fixtures::BuildPe(folder.Path(), "target", ""));
    window->Bench().Settings().WorkingFolder = folder / "gone/";
    dialogs.AnswerBox(BoxAnswer::Ok);
    Trigger("mnuFileBuildAll");
    EXPECT_EQ(BoxTexts(),
              Texts{"Cannot enter the working folder " + (folder / "gone/") +
                    "\rChoose one with Options, Set Working Folder."});
    EXPECT_EQ(dialogs.boxes[0].kind, BoxKind::Error);
    EXPECT_TRUE(Pane().empty());
}

}  // namespace
}  // namespace brevok::testing
