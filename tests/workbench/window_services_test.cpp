// What the workbench hands to the window and the system for the Help menu and for a run:
// the help viewer, the about box, the maker's links, repainting and the run-output window.
#include "bench_fixture.h"

namespace brevok::testing {
namespace {

using WindowServicesTest = BenchTest;

TEST_F(WindowServicesTest, HelpMenuEntriesReachTheViewerTheAboutBoxAndTheLinks)
{
    StartQuietly();
    EXPECT_EQ(view.aboutBoxFile, folder / "bin/brevok");
    Trigger("Help1");
    Trigger("About1");
    Trigger("emailHalvane1");
    Trigger("HalvaneontheWeb1");
    ASSERT_EQ(starter.started.size(), 1u);
    EXPECT_EQ(starter.started[0], HelpCommandLine(folder / "bin/brevok"));
    EXPECT_EQ(starter.showWindows[0], kShowWindowNormal);
    EXPECT_EQ(view.aboutBoxes, 1);
    EXPECT_EQ(view.links, (std::vector<MakerLink>{MakerLink::Email, MakerLink::Web}));
    EXPECT_TRUE(dialogs.boxes.empty());
}

TEST_F(WindowServicesTest, CompileShowsTheRunOutputOnlyWithTheOption)
{
    // The real runners, so the batch's own output (its commands) really arrives.
    SystemProcessLauncher system;
    launcher = &system;
    TSettings settings = KnownCompiler();
    settings.CompilerPath = folder.WriteScript("tools/brcc32", "touch \"${1%.rc}.res\"\n");
    StoreSettings(settings);
    Start();
    dialogs.AnswerFile(folder.Write("app.rc", "Blob RCDATA \"x\"\r\n"));
    Trigger("mnuFileOpen");

    for (const bool shown : {false, true}) {
        SCOPED_TRACE(shown);
        if (shown)
            Trigger("Showprogress");
        view.runOutput.clear();
        dialogs.AnswerBox(BoxAnswer::Ok);  // "Resource compiled"
        Trigger("mnuFileCompile");
        EXPECT_EQ(view.runOutput.find("tools/brcc32") != std::string::npos, shown) << view.runOutput;
        EXPECT_EQ(view.runOutputsClosed, shown ? 1 : 0);
        EXPECT_EQ(view.busyDepth, 0);
        // The hooks end with the run: a later run of the launcher reaches neither the pump
        // nor the run output.
        const int repaints = view.repaints;
        EXPECT_EQ(system.RunCommandAndWait("/bin/sh -c \"echo later >&2; sleep 0.1\"", -1, kShowWindowNormal).Code(),
                  kWaitObject0);
        EXPECT_EQ(view.repaints, repaints);
        EXPECT_EQ(view.runOutput.find("later"), std::string::npos);
    }
    EXPECT_EQ(view.messages, std::vector<std::string>{"Compile complete, No errors found.."});
}

}  // namespace
}  // namespace brevok::testing
