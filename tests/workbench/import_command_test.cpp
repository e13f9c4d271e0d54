// Import from Program: a program's resources out into the working folder and into the list.
#include "bench_fixture.h"
#include "support/pe_fixtures.h"

namespace brevok::testing {
namespace {

class ImportCommandTest : public BenchTest {
protected:
    std::string Program(const std::string& name, const std::string& rc)
    {
        const std::string art = folder / "art";
        folder.Write("art/a.ico", std::string("\0\0\1\0\1\0", 6) + std::string("\1\1\0\0\1\0\x20\0", 8) +
                                                        std::string("\x30\0\0\0\x16\0\0\0", 8) + IconImage());
        return fixtures::BuildPe(art, name, rc);
    }

    static std::string IconImage()
    {
        std::string image(48, '\0');
        image[0] = 40, image[4] = 1, image[8] = 2, image[12] = 1, image[14] = 32;
        return image;
    }
};

TEST_F(ImportCommandTest, AddsALinePerResourceWithItsFileInTheWorkingFolderOrTheScriptsFolder)
{
    const std::string program = Program("app", "1 ICON \"a.ico\"\n1 VERSIONINFO { }\nDATA RCDATA { 1 }\n");
    const std::string script = folder.Write("proj/app.rc", "first\r\n");
    StartWithScript(script);
    const std::string work = bench->Settings().WorkingFolder;
    dialogs.AnswerFile(program);
    Trigger("mnuFileImport");
    EXPECT_EQ(Lines(), (std::vector<std::string>{"first", "DATA 10 \"" + work + "rcdata_DATA.bin\"",
                                                 "1 ICON \"" + work + "icon_1.ico\"",
                                                 "1 16 \"" + work + "version_1.bin\""}));
    const FileDialogState& shown = dialogs.fileDialogs.back();
    EXPECT_EQ(shown.title, "Select program to import resources from");
    EXPECT_EQ(shown.filter, "Programs (*.EXE;*.DLL)|*.EXE;*.DLL|All Files (*.*)|*.*");
    EXPECT_TRUE(bench->Document().Modified());

    // Without a working folder the files go beside the script, under names not yet taken.
    bench->Settings().WorkingFolder.clear();
    dialogs.AnswerFile(program);
    Trigger("mnuFileImport");
    EXPECT_EQ(Lines().back(), "1 16 \"" + folder / "proj/version_1.bin\"");
    dialogs.AnswerFile(program);
    Trigger("mnuFileImport");
    EXPECT_EQ(Lines().back(), "1 16 \"" + folder / "proj/version_1_2.bin\"");
}

TEST_F(ImportCommandTest, DamagedProgramReportsAndAddsNothingCancelAddsNothing)
{
    const std::string script = folder.Write("proj/app.rc", "first\r\n");
    const std::string bad = folder.Write("bad.exe", "MZ but nothing more");
    StartWithScript(script);
    dialogs.AnswerFile(bad);
    dialogs.AnswerBox(BoxAnswer::Ok);
    Trigger("mnuFileImport");
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].text.rfind("Cannot import resources from " + bad + ": ", 0), 0u)
        << dialogs.boxes[0].text;
    dialogs.AnswerFile(std::nullopt);
    Trigger("mnuFileImport");
    EXPECT_EQ(Lines(), std::vector<std::string>{"first"});
}

}  // namespace
}  // namespace brevok::testing
