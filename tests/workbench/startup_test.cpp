// The window's first activation: settings, the compiler question, the last script.
#include "bench_fixture.h"

#include "workbench/error_report.h"

#include <filesystem>

namespace brevok::testing {
namespace {

using StartupTest = BenchTest;

TEST_F(StartupTest, FirstStartAsksForTheCompilerAndOpensNoScript)
{
    dialogs.AnswerBox(BoxAnswer::No);
    Workbench& w = Start();

    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].kind, BoxKind::Warning);
    EXPECT_EQ(dialogs.boxes[0].buttons, BoxButtons::YesNo);
    EXPECT_EQ(dialogs.boxes[0].text,
              "Location of Resource compiler BRCC32 is unknown\rClick Yes to browse for this file");
    EXPECT_TRUE(dialogs.fileDialogs.empty());

    EXPECT_EQ(view.state.caption, "Brevok Resource Compiler Version 1.1.0.3  by Halvane");
    EXPECT_EQ(LabelText("CompLab"), "Compiler none");
    EXPECT_EQ(LabelText("wFolder"), "Working (Install) Folder: nodir");
    EXPECT_EQ(LabelText("lblCurResFile"), "Current Resource Script File: No file open");
    EXPECT_EQ(LabelText("lblCurExeFile"), "Current Executable File: No file open");
    EXPECT_EQ(EnabledFileCommands(), kNoScriptFileCommands);
    EXPECT_EQ(view.state.statusPanel, "");
    EXPECT_EQ(w.Settings().WorkingFolder, "nodir/");
    EXPECT_EQ(w.Settings().CompilerPath, "none");

    // A later activation (a box closing, switching back) repeats nothing.
    w.Activate();
    EXPECT_EQ(dialogs.boxes.size(), 1u);

    // Closing writes every value back, the normalised folder included.
    EXPECT_TRUE(CloseWindow());
    const TSettings stored = StoredSettings();
    EXPECT_EQ(stored.WorkingFolder, "nodir/");
    EXPECT_EQ(stored.CompilerPath, "none");
    EXPECT_EQ(stored.BatchPath, "nodir/Temp.bat");
    EXPECT_EQ(stored.ScriptPath, "");
}

TEST_F(StartupTest, CompilerChosenAtThePromptIsShownAtOnce)
{
    dialogs.AnswerBox(BoxAnswer::Yes);
    dialogs.AnswerFile("/opt/tools/brcc32");
    Workbench& w = Start();

    ASSERT_EQ(dialogs.fileDialogs.size(), 1u);
    const FileDialogState& shown = dialogs.fileDialogs[0];
    EXPECT_EQ(shown.title, "Locate BRCC32");
    EXPECT_EQ(shown.filter, "Executable [*.exe]|*.exe");
    EXPECT_EQ(shown.defaultExtension, "*.exe");
    // Here the companion's own name, which Enter on the prompt takes.
    EXPECT_EQ(shown.fileName, "brcc32");
    // The companion front end lies beside the program and carries no ".exe" here.
    EXPECT_EQ(shown.initialFolder, folder / "bin/");
    EXPECT_TRUE(shown.offerPlainExecutables);

    EXPECT_EQ(LabelText("CompLab"), "Compiler /opt/tools/brcc32");
    EXPECT_EQ(w.Settings().CompilerPath, "/opt/tools/brcc32");

    // Find Compiler later offers the same dialog with the name chosen last.
    dialogs.AnswerFile(std::nullopt);
    Trigger("FindCompiler1");
    EXPECT_EQ(dialogs.fileDialogs.back().fileName, "/opt/tools/brcc32");
    EXPECT_EQ(LabelText("CompLab"), "Compiler /opt/tools/brcc32");
}

TEST_F(StartupTest, BrowsingCancelledLeavesNoCompiler)
{
    dialogs.AnswerBox(BoxAnswer::Yes);
    dialogs.AnswerFile(std::nullopt);
    Workbench& w = Start();
    EXPECT_EQ(LabelText("CompLab"), "Compiler none");
    EXPECT_EQ(w.Settings().CompilerPath, "none");

    dialogs.AnswerFile("/usr/bin/brcc32");
    Trigger("FindCompiler1");
    EXPECT_EQ(LabelText("CompLab"), "Compiler /usr/bin/brcc32");
}

TEST_F(StartupTest, LastScriptIsReopenedWithItsExecutable)
{
    const std::string script =
        folder.Write("proj/app.rc", "Logo BITMAP \"/art/logo.bmp\"\r\nIcon ICON \"/a/i.ico\"\r\n");
    TSettings settings = KnownCompiler();
    settings.StartWithLast = true;
    settings.ScriptPath = script;
    settings.ExePath = "/build/app.exe";
    settings.LineCount = 7;
    StoreSettings(settings);
    Workbench& w = Start();

    EXPECT_TRUE(dialogs.boxes.empty());
    EXPECT_EQ(Lines(), (std::vector<std::string>{"Logo BITMAP \"/art/logo.bmp\"", "Icon ICON \"/a/i.ico\""}));
    EXPECT_EQ(LabelText("lblCurResFile"), "Current Resource Script File: " + script);
    EXPECT_EQ(LabelText("lblCurExeFile"), "Current Executable File: /build/app.exe");
    EXPECT_EQ(view.state.statusPanel, script);
    EXPECT_EQ(EnabledFileCommands(), kScriptFileCommands);
    EXPECT_TRUE(view.state.startWithLast);
    EXPECT_EQ(dialogs.FileDialog(FileDialogId::OpenRC).initialFolder, folder / "proj/");
    EXPECT_FALSE(w.Document().Modified());

    EXPECT_TRUE(CloseWindow());
    const TSettings stored = StoredSettings();
    EXPECT_EQ(stored.ScriptPath, script);
    EXPECT_EQ(stored.ExePath, "/build/app.exe");
    EXPECT_EQ(stored.LineCount, 7);
    EXPECT_TRUE(stored.StartWithLast);
}

TEST_F(StartupTest, ReopenedScriptWithoutExecutableKeepsTheDesignCaption)
{
    const std::string script = folder.Write("a.rc", "x\r\n");
    TSettings settings = KnownCompiler();
    settings.StartWithLast = true;
    settings.ScriptPath = script;
    StoreSettings(settings);
    Start();
    EXPECT_EQ(LabelText("lblCurExeFile"), "Current Executable File:");
}

TEST_F(StartupTest, MissingLastScriptOrOptionOffForgetsTheStoredPaths)
{
    for (const bool startWithLast : {true, false}) {
        SCOPED_TRACE(startWithLast ? "last script missing" : "option off");
        const std::string script = startWithLast ? folder / "gone.rc" : folder.Write("here.rc", "x\r\n");
        TSettings settings = KnownCompiler();
        settings.StartWithLast = startWithLast;
        settings.ScriptPath = script;
        settings.ExePath = "/build/app.exe";
        StoreSettings(settings);
        Workbench& w = Start();

        EXPECT_TRUE(dialogs.boxes.empty());
        EXPECT_TRUE(Lines().empty());
        EXPECT_EQ(w.Settings().ScriptPath, "");
        EXPECT_EQ(w.Settings().ExePath, "");
        EXPECT_EQ(EnabledFileCommands(), kNoScriptFileCommands);
        EXPECT_EQ(dialogs.FileDialog(FileDialogId::OpenRC).initialFolder, folder.Path() + "/");

        EXPECT_TRUE(CloseWindow());
        EXPECT_EQ(StoredSettings().ScriptPath, "");
        EXPECT_EQ(StoredSettings().ExePath, "");
        EXPECT_EQ(StoredSettings().StartWithLast, startWithLast);
        bench.reset();
    }
}

TEST_F(StartupTest, WorkingFolderIsShownAsStoredThenNormalised)
{
    TSettings settings = KnownCompiler();
    settings.WorkingFolder = "/srv/build";
    StoreSettings(settings);
    Workbench& w = Start();
    EXPECT_EQ(LabelText("wFolder"), "Working (Install) Folder: /srv/build");
    EXPECT_EQ(w.Settings().WorkingFolder, "/srv/build/");
    EXPECT_EQ(dialogs.FileDialog(FileDialogId::OpenRC).initialFolder, "/srv/build/");
}

TEST_F(StartupTest, WrongRegistryTypeEndsTheStartAndNoScriptCanBeOverwritten)
{
    const std::string scriptBytes = "Logo BITMAP \"/art/logo.bmp\"\r\n";
    const std::string script = folder.Write("keep.rc", scriptBytes);
    std::filesystem::create_directories(folder / "config");
    // "Count" is read last: everything before it is loaded, the script path included.
    folder.Write("config/registry.reg",
                 "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Halvane\\BrevComp]\n"
                 "\"Install\"=\"" +
                     folder.Path() +
                     "/\"\n"
                     "\".RC\"=\"" +
                     script +
                     "\"\n"
                     "\"Compiler\"=\"/opt/brcc32\"\n"
                     "\"Last\"=\"1\"\n"
                     "\"SP\"=\"1\"\n"
                     "\"Count\"=dword:00000005\n");
    dialogs.AnswerBox(BoxAnswer::Ok);
    Workbench& w = Start();

    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].kind, BoxKind::Stop);
    EXPECT_EQ(dialogs.boxes[0].buttons, BoxButtons::Ok);
    // "'" sorts before ".", so no full stop is added.
    EXPECT_EQ(dialogs.boxes[0].text, "Invalid data type for 'Count'");
    // The steps after the failure did not run.
    EXPECT_EQ(LabelText("CompLab"), "Compiler");
    EXPECT_EQ(LabelText("wFolder"), "Working (Install) Folder:");
    // The options read before the failure are in force.
    EXPECT_TRUE(view.state.startWithLast);
    EXPECT_TRUE(view.state.showProgress);
    // No script is open, so nothing can save an empty list over the last script.
    EXPECT_EQ(w.Settings().ScriptPath, "");
    EXPECT_EQ(EnabledFileCommands(), kNoScriptFileCommands);

    w.Activate();
    EXPECT_EQ(dialogs.boxes.size(), 1u);

    Trigger("mnuFileExit");
    EXPECT_EQ(ReadBytes(script), scriptBytes);
    EXPECT_EQ(StoredSettings().LineCount, 0);
}

TEST_F(StartupTest, UnreadableStoreIsReportedOnceAndTheDefaultsUsed)
{
    std::filesystem::create_directories(folder / "config");
    folder.Write("config/registry.reg", "this is no registry file\n");
    dialogs.AnswerBox(BoxAnswer::Ok);  // the notice
    dialogs.AnswerBox(BoxAnswer::No);  // the compiler question of a first start
    Workbench& w = Start();

    ASSERT_EQ(dialogs.boxes.size(), 2u);
    EXPECT_EQ(dialogs.boxes[0].kind, BoxKind::Information);
    EXPECT_NE(dialogs.boxes[0].text.find(registryPath), std::string::npos) << dialogs.boxes[0].text;
    EXPECT_EQ(dialogs.boxes[1].kind, BoxKind::Warning);
    EXPECT_EQ(w.Settings().CompilerPath, "none");
}

TEST_F(StartupTest, SettingsThatCannotBeWrittenKeepTheWindowOpen)
{
    folder.Write("blocker", "a file where the store's folder should be");
    registryPath = folder / "blocker/registry.reg";
    registry = std::make_unique<RegistryFile>(registryPath);
    dialogs.AnswerBox(BoxAnswer::No);
    Start();

    dialogs.AnswerBox(BoxAnswer::Ok);
    EXPECT_FALSE(CloseWindow());
    ASSERT_EQ(dialogs.boxes.size(), 2u);
    EXPECT_EQ(dialogs.boxes[1].kind, BoxKind::Stop);
    EXPECT_FALSE(dialogs.boxes[1].text.empty());
}

TEST_F(StartupTest, CompilerPromptOffersTheCompanionAndTakesATypedNameAsItIs)
{
    // Enter on the prompt of a fresh install takes the companion beside the program.
    const std::string companion = folder.WriteScript("bin/brcc32", "exit 0\n");
    folder.WriteScript("bin/other.exe", "exit 0\n");
    const struct {
        std::string typed;
        std::string stored;
    } cases[] = {
        {companion, companion},
        {folder / "bin/other", folder / "bin/other.exe"},  // missing, but there with ".exe"
        {folder / "bin/nothing", folder / "bin/nothing"},  // neither: taken as typed
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        dialogs.AnswerBox(BoxAnswer::Yes);
        dialogs.AnswerFile(c.typed);
        Start();
        EXPECT_EQ(bench->Settings().CompilerPath, c.stored);
        EXPECT_EQ(LabelText("CompLab"), "Compiler " + c.stored);
        bench.reset();
    }
    EXPECT_EQ(dialogs.fileDialogs[0].initialFolder, folder / "bin/");
    EXPECT_EQ(dialogs.fileDialogs[0].fileName, "brcc32");
}

TEST_F(StartupTest, ScriptNamedOnTheCommandLineOpensInPlaceOfTheLast)
{
    const std::string last = folder.Write("last.rc", "Last RCDATA \"x\"\r\n");
    const std::string named = folder.Write("named/app.rc", "Named RCDATA \"y\"\r\n");
    TSettings settings = KnownCompiler();
    settings.StartWithLast = true;
    settings.ScriptPath = last;
    settings.ExePath = "/build/last.exe";
    StoreSettings(settings);
    view = FakeView();
    bench = std::make_unique<Workbench>(
        WorkbenchServices{dialogs, *registry, *launcher, starter, folder / "bin/brevok"}, view);
    bench->SetStartScript(named);
    bench->Activate();
    EXPECT_EQ(Lines(), std::vector<std::string>{"Named RCDATA \"y\""});
    EXPECT_EQ(bench->Settings().ScriptPath, named);
    EXPECT_EQ(bench->Settings().ExePath, "");
    EXPECT_EQ(LabelText("lblCurResFile"), "Current Resource Script File: " + named);
    EXPECT_EQ(dialogs.FileDialog(FileDialogId::OpenRC).initialFolder, folder / "named");
}

}  // namespace
}  // namespace brevok::testing
