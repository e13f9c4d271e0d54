// Extraction: every kind of resource out as a file or a statement, and the script compiling
// back to the same resources; Import's file-only form.
#include <gtest/gtest.h>

#include "image/pe_test_helpers.h"
#include "image/res_file.h"
#include "platform/files.h"
#include "rcdriver/pipeline.h"
#include "resedit/resource_editor.h"
#include "resedit/resource_extract.h"
#include "support/pe_fixtures.h"
#include "support/resource_files.h"

namespace brevok {
namespace {

using fixtures::BuildPe;
using fixtures::FixtureDir;
using fixtures::ReadFixtureFile;
using fixtures::WriteFixtureFile;

class ExtractTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        WriteFixtureFile(dir / "a.ico", petest::IconFile(10));
        WriteFixtureFile(dir / "c.cur", brevok::testing::TinyIconFile(2));
        WriteFixtureFile(dir / "p.bmp", brevok::testing::TinyBitmap());
        WriteFixtureFile(dir / "app.manifest", "<assembly/>\r\n");
        exe = BuildPe(dir.path(), "app",
                      "1 ICON \"a.ico\"\n"
                      "ARROW CURSOR \"c.cur\"\n"
                      "PIC BITMAP \"p.bmp\"\n"
                      "1 24 \"app.manifest\"\n"
                      "DLG DIALOGEX 0, 0, 100, 50 CAPTION \"Hi\" { PUSHBUTTON \"OK\", 1, 5, 5, 40, 14 }\n"
                      "1 VERSIONINFO FILEVERSION 1,2,3,4 PRODUCTVERSION 5,6,7,8 FILEFLAGSMASK 0x3fL FILEOS 0x40004L\n"
                      "FILETYPE 0x1L\n"
                      "BEGIN BLOCK \"StringFileInfo\" BEGIN BLOCK \"040904B0\" BEGIN\n"
                      "  VALUE \"CompanyName\", \"Quote \"\"and\"\" back\\\\slash\"\n"
                      "  VALUE \"LegalCopyright\", L\"\\x00A9 2026\"\n"
                      "END END BLOCK \"VarFileInfo\" BEGIN VALUE \"Translation\", 0x409, 1200 END END\n"
                      "STRINGTABLE { 1, \"one\" 3, L\"caf\\x00e9\" 100, \"tab\\there\" }\n"
                      "LANGUAGE 7, 1\n"
                      "STRINGTABLE { 1, \"eins\" }\n"
                      "MYDATA RCDATA { \"raw\", 0x1234 }\n");
        auto opened = ResourceEditor::Open(ReadFixtureFile(exe));
        ASSERT_TRUE(opened) << opened.error;
        editor = std::move(*opened);
    }

    std::vector<ResourceLeaf> CompiledBack(const std::string& script)
    {
        const ToolOutcome compiled = CompileResourceScript(script, dir / "back.res");
        EXPECT_TRUE(compiled.ok) << ::testing::PrintToString(compiled.lines);
        resBytes = ReadFixtureFile(dir / "back.res");
        records = *ParseResFileViews(resBytes);
        std::vector<ResourceLeaf> leaves;
        for (const ResRecordView& r : records)
            leaves.push_back({r.type, r.name, r.language, 0, r.data});
        return leaves;
    }

    FixtureDir dir;
    std::string exe;
    std::unique_ptr<ResourceEditor> editor;
    std::string resBytes;
    std::vector<ResRecordView> records;
};

TEST_F(ExtractTest, ScriptCompilesBackToTheSameResourcesWithReadableStatements)
{
    const std::string out = dir / "out";
    const Extraction done = ExtractResources(editor->Resources(), out, "app.exe", ExtractStyle::Statements);
    EXPECT_TRUE(done.notes.empty()) << ::testing::PrintToString(done.notes);
    // Pictures are files their programs open; the icon and cursor as their files were.
    EXPECT_EQ(ReadFixtureFile(out + "/icon_1.ico"), petest::IconFile(10));
    EXPECT_EQ(ReadFixtureFile(out + "/cursor_ARROW.cur"), brevok::testing::TinyIconFile(2));
    EXPECT_EQ(ReadFixtureFile(out + "/bitmap_PIC.bmp"), brevok::testing::TinyBitmap());
    EXPECT_EQ(ReadFixtureFile(out + "/manifest_1.manifest"), "<assembly/>\r\n");
    const std::string script = ReadFixtureFile(out + "/" + kExtractedScriptName);
    for (const std::string text :
         {"1 VERSIONINFO", "FILEVERSION 1,2,3,4", "VALUE \"CompanyName\", \"Quote \"\"and\"\" back\\\\slash\"",
          "STRINGTABLE", "3, L\"caf\\x00E9\"", "LANGUAGE 0x7, 0x1", "DLG 5 \"dialog_DLG.bin\"",
          "MYDATA 10 \"rcdata_MYDATA.bin\"", "1 ICON \"icon_1.ico\"", "ARROW CURSOR \"cursor_ARROW.cur\""})
        EXPECT_NE(script.find(text), std::string::npos) << text << "\n" << script;
    EXPECT_FALSE(PathExists(out + "/.resources.check.res"));

    EXPECT_EQ(CompareResources(editor->Resources(), CompiledBack(out + "/" + kExtractedScriptName)),
              std::vector<std::string>{});
}

TEST_F(ExtractTest, WhatNoStatementGivesBackBecomesATypedFileAndNamesOutsideAScriptAreNoted)
{
    // A version string whose value holds text after its end, which no VALUE statement writes.
    ASSERT_TRUE(editor->SetResource(ResId::Ordinal(kRtRcData), ResId::Name(u"lower case"), "x", 0x409));
    std::vector<ResourceLeaf> leaves = editor->Resources();
    std::string version;
    for (const ResourceLeaf& leaf : leaves)
        if (leaf.type == ResId::Ordinal(kRtVersion))
            version = std::string(leaf.data) + std::string("\0\0\0\0", 4);
    for (ResourceLeaf& leaf : leaves)
        if (leaf.type == ResId::Ordinal(kRtVersion))
            leaf.data = version;
    const std::string out = dir / "odd";
    const Extraction done = ExtractResources(leaves, out, "app.exe", ExtractStyle::Statements);
    const std::string script = ReadFixtureFile(out + "/" + kExtractedScriptName);
    EXPECT_NE(script.find("1 16 \"version_1.bin\""), std::string::npos) << script;
    EXPECT_EQ(ReadFixtureFile(out + "/version_1.bin"), version);
    ASSERT_EQ(done.notes.size(), 1u);
    EXPECT_EQ(done.notes[0], "resource RCDATA lower case language 0409 is in rcdata_lower_case.bin, but a script "
                             "cannot name it (its name or type is not a plain word)");
    std::vector<std::string> differences = CompareResources(leaves, CompiledBack(out + "/" + kExtractedScriptName));
    EXPECT_EQ(differences, std::vector<std::string>{"resource RCDATA lower case language 0409 is missing"});
}

TEST_F(ExtractTest, FilesOnlyWritesNoScriptAndOverwritesNothing)
{
    const std::string out = dir / "work";
    ASSERT_TRUE(CreateFolders(out));
    WriteFixtureFile(out + "/icon_1.ico", "mine");
    const Extraction done = ExtractResources(editor->Resources(), out, "app.exe", ExtractStyle::FilesOnly);
    EXPECT_EQ(ReadFixtureFile(out + "/icon_1.ico"), "mine");
    EXPECT_EQ(ReadFixtureFile(out + "/icon_1_2.ico"), petest::IconFile(10));
    EXPECT_FALSE(PathExists(out + "/" + kExtractedScriptName));
    std::vector<std::string> lines;
    for (const ExtractedItem& item : done.items)
        lines.push_back(item.nameWord + " " + item.typeWord + " " + item.file);
    EXPECT_EQ(lines, (std::vector<std::string>{"PIC BITMAP bitmap_PIC.bmp", "DLG 5 dialog_DLG.bin",
                                               "1 6 string_1_0407.bin", "1 6 string_1_0409.bin", "7 6 string_7.bin",
                                               "MYDATA 10 rcdata_MYDATA.bin", "ARROW CURSOR cursor_ARROW.cur",
                                               "1 ICON icon_1_2.ico", "1 16 version_1.bin",
                                               "1 24 manifest_1.manifest"}));
}

}  // namespace
}  // namespace brevok
