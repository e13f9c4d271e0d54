// New, Open, Close, Exit, the close box and typing in the list, on the real window.
#include "bench_fixture.h"

#include "support/unprivileged.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

namespace brevok::testing {
namespace {

using ScriptCommandsTest = BenchTest;

TEST_F(ScriptCommandsTest, NewRefusesAnExistingNameThenTakesANewOne)
{
    const std::string existing = folder.Write("old.rc", "keep me\r\n");
    const std::string fresh = folder / "fresh.rc";
    Workbench& w = StartQuietly();

    dialogs.AnswerFile(existing);
    dialogs.AnswerBox(BoxAnswer::Ok);
    dialogs.AnswerFile(fresh);
    Trigger("mnuFileNew");

    EXPECT_EQ(dialogs.transcript,
              (std::vector<std::string>{"file: Start a new resource script file", "box: You must give a NEW file name",
                                        "file: Start a new resource script file"}));
    EXPECT_EQ(dialogs.boxes[0].kind, BoxKind::Error);
    EXPECT_EQ(dialogs.boxes[0].buttons, BoxButtons::Ok);
    const FileDialogState& first = dialogs.fileDialogs[0];
    EXPECT_EQ(first.filter, "Resource File [*.RC]|*.RC");
    EXPECT_EQ(first.defaultExtension, "*.RC");
    EXPECT_EQ(first.initialFolder, folder.Path() + "/");
    EXPECT_TRUE(first.pathMustExist);
    EXPECT_FALSE(first.fileMustExist);
    // The second dialog opens on the rejected name.
    EXPECT_EQ(dialogs.fileDialogs[1].fileName, existing);

    EXPECT_EQ(w.Settings().ScriptPath, fresh);
    EXPECT_EQ(LabelText("lblCurResFile"), "Current Resource Script File: " + fresh);
    EXPECT_EQ(view.state.statusPanel, fresh);
    EXPECT_EQ(EnabledFileCommands(), kScriptFileCommands);
    EXPECT_TRUE(Lines().empty());
    EXPECT_FALSE(std::filesystem::exists(fresh));
    EXPECT_EQ(ReadBytes(existing), "keep me\r\n");

    // Close answered Yes writes the empty script: a file of 0 bytes.
    dialogs.AnswerBox(BoxAnswer::Yes);
    Trigger("mnuFileClose");
    ASSERT_TRUE(std::filesystem::exists(fresh));
    EXPECT_EQ(std::filesystem::file_size(fresh), 0u);
}

TEST_F(ScriptCommandsTest, NewCancelledAfterAnExistingNameOpensNothing)
{
    const std::string existing = folder.Write("old.rc", "keep me\r\n");
    Workbench& w = StartQuietly();
    dialogs.AnswerFile(existing);
    dialogs.AnswerBox(BoxAnswer::Ok);
    dialogs.AnswerFile(std::nullopt);
    Trigger("mnuFileNew");
    EXPECT_EQ(w.Settings().ScriptPath, "");
    EXPECT_EQ(EnabledFileCommands(), kNoScriptFileCommands);
    EXPECT_EQ(ReadBytes(existing), "keep me\r\n");

    // New and Open are refused while a script is open, even when reached.
    dialogs.AnswerFile(folder / "a.rc");
    Trigger("mnuFileNew");
    w.Execute(CommandId::NewScript);
    w.Execute(CommandId::OpenScript);
    EXPECT_EQ(w.Settings().ScriptPath, folder / "a.rc");
}

TEST_F(ScriptCommandsTest, NewThenCloseWithoutSavingLeavesNoFile)
{
    const std::string fresh = folder / "fresh.rc";
    StartQuietly();
    dialogs.AnswerFile(fresh);
    Trigger("mnuFileNew");
    dialogs.AnswerBox(BoxAnswer::No);
    Trigger("mnuFileClose");
    EXPECT_FALSE(std::filesystem::exists(fresh));
}

TEST_F(ScriptCommandsTest, OpenReadsMixedLineEndsAndCloseWritesCrLf)
{
    const std::string script = folder.Write("src/mixed.rc", std::string("a\r\r\nb\nc\n\rd\0after nul", 21));
    Workbench& w = StartQuietly();
    view.messages = {"old messages"};

    dialogs.AnswerFile(script);
    Trigger("mnuFileOpen");
    EXPECT_EQ(dialogs.fileDialogs[0].title, "Open Resource script file");
    EXPECT_EQ(Lines(), (std::vector<std::string>{"a", "", "b", "c", "", "d"}));
    EXPECT_EQ(LabelText("lblCurResFile"), "Current Resource Script File: " + script);
    EXPECT_EQ(LabelText("lblCurExeFile"), "Current Executable File: No file open");
    EXPECT_EQ(view.state.statusPanel, script);
    EXPECT_TRUE(view.messages.empty());
    // The next Open starts in the script's folder, given without its final separator.
    EXPECT_EQ(dialogs.FileDialog(FileDialogId::OpenRC).initialFolder, folder / "src");

    // Close asks even though nothing changed; Yes rewrites every line with CR LF.
    dialogs.AnswerBox(BoxAnswer::Yes);
    Trigger("mnuFileClose");
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].kind, BoxKind::Confirmation);
    EXPECT_EQ(dialogs.boxes[0].text, "Do you wish to save any changes?");
    EXPECT_EQ(dialogs.boxes[0].buttons, BoxButtons::YesNoCancel);
    EXPECT_EQ(ReadBytes(script), "a\r\n\r\nb\r\nc\r\n\r\nd\r\n");
    EXPECT_TRUE(Lines().empty());
    EXPECT_EQ(LabelText("lblCurResFile"), "Current Resource Script File: No file open");
    EXPECT_EQ(view.state.statusPanel, "");

    // The dialog keeps the last accepted name: the closed script's full path.
    dialogs.AnswerFile(std::nullopt);
    Trigger("mnuFileNew");
    EXPECT_EQ(dialogs.fileDialogs.back().fileName, script);
}

TEST_F(ScriptCommandsTest, OpenOfAMissingFileReportsAndKeepsTheNameOpen)
{
    const std::string missing = folder / "new.rc";
    Workbench& w = StartQuietly();
    dialogs.AnswerFile(missing);
    dialogs.AnswerBox(BoxAnswer::Ok);
    Trigger("mnuFileOpen");

    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].kind, BoxKind::Stop);
    EXPECT_EQ(dialogs.boxes[0].text, "Cannot open file " + missing + ".");
    EXPECT_EQ(w.Settings().ScriptPath, missing);
    EXPECT_EQ(EnabledFileCommands(), kScriptFileCommands);
    EXPECT_TRUE(Lines().empty());
    // The command stopped before moving the dialog's folder.
    EXPECT_EQ(dialogs.FileDialog(FileDialogId::OpenRC).initialFolder, folder.Path() + "/");

    // A later save creates the file.
    dialogs.AnswerBox(BoxAnswer::Yes);
    Trigger("mnuFileClose");
    EXPECT_TRUE(std::filesystem::exists(missing));
}

TEST_F(ScriptCommandsTest, OpenOfAnUnreadableFileDoesNotKeepItOpen)
{
    const std::string script = folder.Write("locked.rc", "precious\r\n");
    chmod(script.c_str(), 0);
    UnprivilegedScope::OpenForEveryone(folder.Path());
    Workbench& w = StartQuietly();
    dialogs.AnswerFile(script);
    dialogs.AnswerBox(BoxAnswer::Ok);
    {
        const UnprivilegedScope nobody;
        ASSERT_TRUE(nobody.Ok());
        Trigger("mnuFileOpen");
    }
    EXPECT_EQ(dialogs.boxes[0].text, "Cannot open file " + script + ".");
    EXPECT_EQ(w.Settings().ScriptPath, "");
    chmod(script.c_str(), 0644);
    EXPECT_EQ(ReadBytes(script), "precious\r\n");
}

TEST_F(ScriptCommandsTest, CloseCancelledKeepsTheScriptAndNoKeepsTheFile)
{
    const std::string script = folder.Write("s.rc", "one\ntwo\n");
    Workbench& w = StartWithScript(script);
    view.messages = {"compiler said"};

    dialogs.AnswerBox(BoxAnswer::Cancel);
    Trigger("mnuFileClose");
    EXPECT_EQ(w.Settings().ScriptPath, script);
    EXPECT_EQ(Lines().size(), 2u);
    EXPECT_EQ(view.messages, std::vector<std::string>{"compiler said"});

    w.Settings().ExePath = "/x/app.exe";
    dialogs.AnswerBox(BoxAnswer::No);
    Trigger("mnuFileClose");
    EXPECT_EQ(w.Settings().ScriptPath, "");
    EXPECT_EQ(w.Settings().ExePath, "");
    EXPECT_TRUE(view.messages.empty());
    EXPECT_EQ(ReadBytes(script), "one\ntwo\n");
}

TEST_F(ScriptCommandsTest, ExitWithoutChangesAsksNothingAndDeletesTheCaptureFile)
{
    const std::string script = folder.Write("s.rc", "one\r\n");
    const std::string capture = folder.Write("message.tmp", "binder output");
    StartWithScript(script);
    Trigger("mnuFileExit");
    EXPECT_TRUE(dialogs.boxes.empty());
    EXPECT_FALSE(std::filesystem::exists(capture));
    EXPECT_EQ(StoredSettings().ScriptPath, script);
}

TEST_F(ScriptCommandsTest, ExitAfterTypingAsksAndFollowsTheAnswer)
{
    const std::string script = folder.Write("s.rc", "one\r\ntwo\r\n");
    for (const BoxAnswer answer : {BoxAnswer::Cancel, BoxAnswer::No, BoxAnswer::Yes}) {
        SCOPED_TRACE(static_cast<int>(answer));
        folder.Write("s.rc", "one\ntwo\n");
        const std::string capture = folder.Write("message.tmp", "binder output");
        Workbench& w = StartWithScript(script);
        const std::string storedBefore = ReadBytes(registryPath);

        bench->NoteTypedKey();
        EXPECT_TRUE(w.ResourcesChanged());
        EXPECT_EQ(w.Settings().LineCount, 2);

        dialogs.AnswerBox(answer);
        Trigger("mnuFileExit");
        ASSERT_EQ(dialogs.boxes.size(), 1u);
        EXPECT_EQ(dialogs.boxes[0].kind, BoxKind::Confirmation);
        EXPECT_EQ(dialogs.boxes[0].text,
                  "Resources may have changed, Do you wish to save file before exiting program?");
        EXPECT_EQ(dialogs.boxes[0].buttons, BoxButtons::YesNoCancel);
        if (answer == BoxAnswer::Cancel) {
            // Still running: the capture file stays and nothing was stored.
            EXPECT_TRUE(std::filesystem::exists(capture));
            EXPECT_EQ(ReadBytes(registryPath), storedBefore);
            EXPECT_EQ(ReadBytes(script), "one\ntwo\n");
        } else {
            EXPECT_FALSE(std::filesystem::exists(capture));
            EXPECT_EQ(StoredSettings().LineCount, 2);
            EXPECT_EQ(ReadBytes(script), answer == BoxAnswer::Yes ? "one\r\ntwo\r\n" : "one\ntwo\n");
        }
        dialogs.boxes.clear();
        bench.reset();
    }
}

TEST_F(ScriptCommandsTest, TheTypedFlagSurvivesCloseButNeedsAnOpenScript)
{
    const std::string first = folder.Write("first.rc", "a\r\n");
    const std::string second = folder.Write("second.rc", "b\r\n");

    // Typing with no script open: Exit asks nothing.
    Workbench& w = StartQuietly();
    bench->NoteTypedKey();
    EXPECT_TRUE(w.ResourcesChanged());
    Trigger("mnuFileExit");
    EXPECT_TRUE(dialogs.boxes.empty());
    bench.reset();

    // Typing, Close answered No, another script opened: Exit asks.
    StartWithScript(first);
    bench->NoteTypedKey();
    dialogs.AnswerBox(BoxAnswer::No);
    Trigger("mnuFileClose");
    dialogs.AnswerFile(second);
    Trigger("mnuFileOpen");
    dialogs.AnswerBox(BoxAnswer::No);
    Trigger("mnuFileExit");
    EXPECT_EQ(BoxTexts().back(), "Resources may have changed, Do you wish to save file before exiting program?");
}

TEST_F(ScriptCommandsTest, CloseBoxAsksOnlyAboutChangedLinesAndKeepsTheCaptureFile)
{
    const std::string script = folder.Write("s.rc", "one\r\n");
    const std::string capture = folder.Write("message.tmp", "binder output");

    // Unchanged lines: the close box asks nothing, stores the settings, deletes nothing.
    StartWithScript(script);
    EXPECT_TRUE(CloseWindow());
    EXPECT_TRUE(dialogs.boxes.empty());
    EXPECT_TRUE(std::filesystem::exists(capture));
    EXPECT_EQ(StoredSettings().ScriptPath, script);
    bench.reset();

    // Changed lines: asked; Cancel keeps the window open, Yes saves and closes.
    Workbench& again = StartWithScript(script);
    again.Document().Append("added");
    dialogs.AnswerBox(BoxAnswer::Cancel);
    EXPECT_FALSE(CloseWindow());
    dialogs.AnswerBox(BoxAnswer::Yes);
    EXPECT_TRUE(CloseWindow());
    EXPECT_EQ(
        BoxTexts(),
        (std::vector<std::string>{"Resources may have changed, Do you wish to save file before exiting program?",
                                  "Resources may have changed, Do you wish to save file before exiting program?"}));
    EXPECT_EQ(ReadBytes(script), "one\r\nadded\r\n");
    EXPECT_TRUE(std::filesystem::exists(capture));
}

TEST_F(ScriptCommandsTest, FailedSaveAtExitKeepsTheProgramRunning)
{
    const std::string script = folder.Write("sub/s.rc", "one\r\n");
    Workbench& w = StartWithScript(script);
    const std::string storedBefore = ReadBytes(registryPath);
    w.Document().Append("two");
    std::filesystem::remove_all(folder / "sub");
    dialogs.AnswerBox(BoxAnswer::Yes);
    dialogs.AnswerBox(BoxAnswer::Ok);
    Trigger("mnuFileExit");
    ASSERT_EQ(dialogs.boxes.size(), 2u);
    EXPECT_EQ(dialogs.boxes[1].kind, BoxKind::Stop);
    EXPECT_EQ(dialogs.boxes[1].text, "Cannot create file " + script + ".");
    EXPECT_EQ(ReadBytes(registryPath), storedBefore);
    EXPECT_EQ(Lines().size(), 2u);
}

TEST_F(ScriptCommandsTest, OptionsToggleAndAreStored)
{
    Workbench& w = StartQuietly();
    Trigger("StartwithLast");
    w.Execute(CommandId::ShowProgress);
    EXPECT_TRUE(view.state.startWithLast);
    EXPECT_TRUE(view.state.showProgress);
    Trigger("Showprogress");
    EXPECT_FALSE(view.state.showProgress);
    EXPECT_TRUE(CloseWindow());
    EXPECT_TRUE(StoredSettings().StartWithLast);
    EXPECT_FALSE(StoredSettings().ShowProgress);
}

TEST_F(ScriptCommandsTest, OpenOfAPipeIsRefusedAtOnceAndNothingStaysOpen)
{
    const std::string pipe = folder / "pipe.rc";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    StartQuietly();
    dialogs.AnswerFile(pipe);
    dialogs.AnswerBox(BoxAnswer::Ok);
    Trigger("mnuFileOpen");  // returns at once: nothing writes to the pipe
    EXPECT_EQ(BoxTexts().back(), "Cannot open file " + pipe + ".");
    EXPECT_EQ(EnabledFileCommands(), kNoScriptFileCommands);
    EXPECT_EQ(bench->Settings().ScriptPath, "");
}

}  // namespace
}  // namespace brevok::testing
