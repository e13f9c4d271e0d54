// Add File, the Resource Editor, Remove File, Re-direct and the selections, on the real window.
#include "bench_fixture.h"

namespace brevok::testing {
namespace {

constexpr const char* kNameError = "The Resource Name must be alphanumeric only";

class LineCommandsTest : public BenchTest {
protected:
    /// Starts with a script of `lines` open (written with CR LF).
    Workbench& StartWithLines(const std::vector<std::string>& lines)
    {
        std::string bytes;
        for (const std::string& line : lines)
            bytes += line + "\r\n";
        script = folder.Write("proj/app.rc", bytes);
        return StartWithScript(script);
    }

    std::string script;
};

TEST_F(LineCommandsTest, AddFileAppendsANamedLineAfterARefusedName)
{
    const std::string art = folder.Write("art work/Splash Screen.Bmp", "BM");
    Workbench& w = StartWithLines({"first", "second"});
    view.selected = 0;

    dialogs.AnswerFile(art);
    dialogs.AnswerInput("Logo-2");
    dialogs.AnswerBox(BoxAnswer::Ok);
    dialogs.AnswerInput("Logo_2");
    Trigger("mnuFileSelect");

    EXPECT_EQ(Lines(),
              (std::vector<std::string>{"first", "second",
                                        "Logo_2 BITMAP \"" + folder.Path() + "/art work/Splash Screen.Bmp\""}));
    EXPECT_EQ(view.selected, 0u);

    const FileDialogState& shown = dialogs.fileDialogs.back();
    EXPECT_EQ(shown.title, "Selecting files for resource script");
    EXPECT_EQ(shown.filter, "All Files (*.*)|*.*");
    EXPECT_EQ(shown.defaultExtension, "");
    EXPECT_EQ(shown.fileName, "");
    EXPECT_TRUE(shown.fileMustExist);
    EXPECT_TRUE(shown.pathMustExist);
    ASSERT_EQ(dialogs.prompts.size(), 2u);
    EXPECT_EQ(dialogs.prompts[0].caption, "Resource Name");
    EXPECT_EQ(dialogs.prompts[0].prompt, "Please enter an alphanumeric name for this resource");
    EXPECT_EQ(dialogs.prompts[0].maxLength, 255);
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].kind, BoxKind::Error);
    EXPECT_EQ(dialogs.boxes[0].text, kNameError);

    // Neither the typed flag nor the stored count moves; the lines count as changed.
    EXPECT_FALSE(w.ResourcesChanged());
    EXPECT_EQ(w.Settings().LineCount, 0);
    EXPECT_TRUE(w.Document().Modified());
}

TEST_F(LineCommandsTest, AddFileCancelledOrUnnamedAddsNothingButMovesTheFolder)
{
    const std::string data = folder.Write("data/readme", "x");
    Workbench& w = StartWithLines({"first"});
    const std::string startFolder = dialogs.FileDialog(FileDialogId::cdgFileDialog).initialFolder;

    dialogs.AnswerFile(std::nullopt);
    Trigger("mnuFileSelect");
    EXPECT_EQ(dialogs.FileDialog(FileDialogId::cdgFileDialog).initialFolder, startFolder);

    dialogs.AnswerFile(data);
    dialogs.AnswerInput("");
    Trigger("tlbSelectFile");
    EXPECT_EQ(dialogs.FileDialog(FileDialogId::cdgFileDialog).initialFolder, folder / "data/");

    // A name of bad characters, then an empty one: the error once, then quietly nothing.
    dialogs.AnswerFile(data);
    dialogs.AnswerInput("logo.bmp");
    dialogs.AnswerBox(BoxAnswer::Ok);
    dialogs.AnswerInput("");
    Trigger("mnuFileSelect");
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{kNameError});

    EXPECT_EQ(Lines(), std::vector<std::string>{"first"});
    EXPECT_FALSE(w.Document().Modified());

    // The executable selection starts where Add File left the dialog.
    dialogs.AnswerFile(std::nullopt);
    Trigger("mnuFileSelectExe");
    EXPECT_EQ(dialogs.fileDialogs.back().initialFolder, folder / "data/");
}

TEST_F(LineCommandsTest, AddedFileWithoutExtensionIsRcData)
{
    const std::string data = folder.Write("my.files/readme", "x");
    StartWithLines({});
    dialogs.AnswerFile(data);
    dialogs.AnswerInput("100");
    Trigger("mnuFileSelect");
    EXPECT_EQ(Lines(), std::vector<std::string>{"100 RCDATA \"" + data + "\""});
}

TEST_F(LineCommandsTest, ExitAsksAfterAddFile)
{
    const std::string art = folder.Write("logo.bmp", "BM");
    StartWithLines({"first"});
    dialogs.AnswerFile(art);
    dialogs.AnswerInput("Logo");
    Trigger("mnuFileSelect");
    dialogs.AnswerBox(BoxAnswer::Yes);
    Trigger("mnuFileExit");
    EXPECT_EQ(BoxTexts(),
              std::vector<std::string>{"Resources may have changed, Do you wish to save file before exiting program?"});
    EXPECT_EQ(ReadBytes(script), "first\r\nLogo BITMAP \"" + art + "\"\r\n");
}

TEST_F(LineCommandsTest, EditorRewritesTheSelectedLineInPlace)
{
    Workbench& w = StartWithLines({"one", "two", "three"});

    // Nothing selected: nothing opens (the fake fails on an unexpected editor).
    w.EditSelectedLine();

    view.selected = 1;
    dialogs.AnswerEdit("two");
    w.EditSelectedLine();
    EXPECT_EQ(dialogs.edits, std::vector<std::string>{"two"});
    EXPECT_EQ(Lines(), (std::vector<std::string>{"one", "two", "three"}));
    EXPECT_EQ(view.selected, 1u);
    EXPECT_FALSE(w.Document().Modified());

    dialogs.AnswerEdit("  2 // any text at all ");
    w.EditSelectedLine();
    EXPECT_EQ(Lines()[1], "  2 // any text at all ");
    EXPECT_EQ(view.selected, 1u);
    EXPECT_TRUE(w.Document().Modified());

    dialogs.AnswerEdit(std::nullopt);
    w.EditSelectedLine();
    EXPECT_EQ(Lines()[1], "  2 // any text at all ");

    // An empty text leaves an empty line, not a removal.
    dialogs.AnswerEdit("");
    w.EditSelectedLine();
    EXPECT_EQ(Lines(), (std::vector<std::string>{"one", "", "three"}));
    EXPECT_FALSE(w.ResourcesChanged());
}

TEST_F(LineCommandsTest, RemoveDeletesOnlyTheSelectedLine)
{
    Workbench& w = StartWithLines({"one", "two", "three"});
    Trigger("mnuFileRemoveLine");
    EXPECT_EQ(Lines().size(), 3u);
    EXPECT_FALSE(w.Document().Modified());

    view.selected = 1;
    Trigger("tlbRemoveFile");
    EXPECT_EQ(Lines(), (std::vector<std::string>{"one", "three"}));

    view.selected = 1;
    Trigger("mnuFileRemoveLine");
    EXPECT_EQ(Lines(), std::vector<std::string>{"one"});
    EXPECT_TRUE(dialogs.boxes.empty());
    EXPECT_TRUE(w.Document().Modified());
}

TEST_F(LineCommandsTest, RedirectRewritesPathLinesOnlyAndKeepsTheSelection)
{
    StartWithLines({
        "Splash BITMAP \"/art/Splash Screen.bmp\"",
        "Tune WAVE \"/snd/tune.wav\" ; from the old disk",
        "STRINGTABLE",
        "Plain RCDATA \"data.bin\"",
        "Odd RCDATA \"x.bin\" /* see /docs */",
        "",
    });
    view.selected = 2;

    dialogs.AnswerFile(folder / "workbench/anything");
    Trigger("SetWorkingFolder1");
    EXPECT_EQ(LabelText("wFolder"), "Working (Install) Folder: " + folder / "workbench/");
    Trigger("Redirectsourcefilestoworkingfolder1");
    Trigger("Redirectsourcefilestoworkingfolder1");

    const std::string build = folder / "workbench/";
    EXPECT_EQ(Lines(),
              (std::vector<std::string>{
                  "Splash BITMAP \"" + build + "Splash Screen.bmp\"",
                  "Tune WAVE \"" + build + "tune.wav\" ; from the old disk",
                  "STRINGTABLE",
                  "Plain RCDATA \"data.bin\"",
                  "Odd RCDATA \"x.bin\" /* see /docs */",
                  "",
              }));
    EXPECT_EQ(view.selected, 2u);
    EXPECT_TRUE(dialogs.boxes.empty());
    EXPECT_EQ(ReadBytes(script).find(build), std::string::npos);

    // A new working folder points the same lines there.
    dialogs.AnswerFile("/srv/other/x");
    Trigger("SetWorkingFolder1");
    EXPECT_EQ(LabelText("wFolder"), "Working (Install) Folder: /srv/other/");
    Trigger("Redirectsourcefilestoworkingfolder1");
    EXPECT_EQ(Lines()[0], "Splash BITMAP \"/srv/other/Splash Screen.bmp\"");
}

TEST_F(LineCommandsTest, SelectExeNeedsAScriptAndSetsTheLabel)
{
    Workbench& w = StartQuietly();
    w.Execute(CommandId::SelectExe);
    EXPECT_TRUE(dialogs.fileDialogs.empty());

    script = folder.Write("s.rc", "x\r\n");
    dialogs.AnswerFile(script);
    Trigger("mnuFileOpen");
    dialogs.AnswerFile("/build/App.EXE");
    Trigger("tlbSelectExe");
    const FileDialogState& shown = dialogs.fileDialogs.back();
    EXPECT_EQ(shown.title, "Select executable to bind resource file to");
    EXPECT_EQ(shown.filter, "Executable File (*.EXE)|*.EXE");
    EXPECT_TRUE(shown.fileMustExist);
    EXPECT_FALSE(shown.resizable);
    EXPECT_EQ(LabelText("lblCurExeFile"), "Current Executable File: /build/App.EXE");
    EXPECT_EQ(w.Settings().ExePath, "/build/App.EXE");

    // Closing forgets it, and clears the shared dialog's file name.
    dialogs.AnswerBox(BoxAnswer::No);
    Trigger("mnuFileClose");
    EXPECT_EQ(w.Settings().ExePath, "");
    EXPECT_EQ(dialogs.FileDialog(FileDialogId::cdgFileDialog).fileName, "");
}

TEST_F(LineCommandsTest, RemovalsInARowTakeOnlyTheChosenLine)
{
    StartWithLines({"one", "two", "three"});
    view.selected = 1;
    Trigger("tlbRemoveFile");
    EXPECT_EQ(view.selected, std::nullopt);
    // Nothing is selected now: further clicks remove nothing.
    Trigger("tlbRemoveFile");
    Trigger("mnuFileRemoveLine");
    EXPECT_EQ(Lines(), (std::vector<std::string>{"one", "three"}));
}

TEST_F(LineCommandsTest, DroppedFilesAreAddedAsAddFileAddsThem)
{
    const std::string logo = folder.Write("art/logo.bmp", "BM");
    const std::string tune = folder.Write("snd/tune.wav", "RIFF");
    StartQuietly();
    // No script open: a drop adds nothing and asks nothing.
    bench->AddDroppedFiles({logo});
    EXPECT_TRUE(dialogs.prompts.empty());

    StartWithLines({"one"});
    dialogs.AnswerInput("bad name");
    dialogs.AnswerBox(BoxAnswer::Ok);
    dialogs.AnswerInput("Logo");
    dialogs.AnswerInput("");  // the second file's name prompt cancelled
    bench->AddDroppedFiles({logo, folder / "art", folder / "missing.bin", tune});
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{kNameError});
    EXPECT_EQ(dialogs.prompts.size(), 3u);
    EXPECT_EQ(Lines(), (std::vector<std::string>{"one", "Logo BITMAP \"" + logo + "\""}));
    EXPECT_EQ(dialogs.FileDialog(FileDialogId::cdgFileDialog).initialFolder, folder / "snd/");
}

}  // namespace
}  // namespace brevok::testing
