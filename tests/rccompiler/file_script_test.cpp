// The file-statement reader: what it takes as ours, what it leaves to llvm-rc, what llvm-rc
// would refuse; the icon reader on cut files; the diagnostics of a compile.
#include "rccompiler/file_script.h"
#include "rccompiler/icon_files.h"
#include "rcdriver/pipeline.h"

#include "platform/files.h"
#include "support/resource_files.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace brevok {
namespace {

using testing::ScratchFolder;

std::string Describe(const Record& s)
{
    static const char* kinds[] = {"bitmap", "icon", "cursor", "data"};
    std::string text = std::string(kinds[static_cast<int>(s.kind)]) + " " + DescribeResId(s.name);
    if (s.kind == RecordKind::Data)
        text += " type " + DescribeResId(s.type);
    return text + " [" + s.path + "]";
}

TEST(ParseFileScript, TakesFileStatementsAsRcExeReadsThem)
{
    const std::pair<std::string, std::string> cases[] = {
        {"Logo BITMAP \"a b.bmp\"", "bitmap LOGO [a b.bmp]"},
        {"\t7 rcdata x.bin // note", "data #7 type #10 [x.bin]"},
        {"my.res-1 WAVE \"q\"\"x\"", "data MY.RES-1 type WAVE [q\"x]"},
        {"1L 300 L\"C:\\dir\\f\"", "data 1L type #300 [C:\\dir\\f]"},
        {"0x1F Icon \"ü.ico\"", "icon #31 [ü.ico]"},
        {"0 CURSOR sub/h.cur", "cursor 0 [sub/h.cur]"},
        {"0xABCD 0x0001 a", "data #43981 type #1 [a]"},
        {"A 2 \"raw.bmp\"", "data A type #2 [raw.bmp]"},
        {"b language \"x\"", "data B type LANGUAGE [x]"},
    };
    for (const auto& [line, expected] : cases) {
        const RecordList script = ParseFileScript("// head\r\n\r\n" + line + "\r\n");
        ASSERT_FALSE(script.foreignLine) << line;
        ASSERT_EQ(script.records.size(), 1u) << line;
        EXPECT_EQ(script.records[0].line, 3u);
        EXPECT_EQ(Describe(script.records[0]), expected);
        EXPECT_TRUE(script.problems.empty()) << line;
    }
}

TEST(ParseFileScript, LeavesEverythingElseToLlvmRcNamingTheFirstSuchLine)
{
    const char* foreign[] = {
        "STRINGTABLE { 1 \"x\" }",
        "LANGUAGE 9, 1",
        "#include \"a.h\"",
        "X RCDATA PRELOAD a.bin",
        "X RCDATA \"a\" \"b\"",
        "X RCDATA { 1 }",
        "X DIALOG 0, 0, 1, 1",
        "X RCDATA",
        "X HTML a.htm",
        "X RCDATA \"abc\\\"",
        "X RCDATA \"a\" /* c */",
        "_WIN32 RCDATA a.bin",
        "X RC_INVOKED a.bin",
        "X RCDATA a//b",
        "X RCDATA dir\\f.bin",
        "X RCDATA \"a\\",
        "X RCDATA \"a?\?/b\"",
        "X RCDATA \"a\"b",
        "\"X\" RCDATA a.bin",
        "X RCDATA 1.bin",
        "X RCDATA begin",
        "X RCDATA \"open",
        "X RCDATA a.bin junk",
        "X RCDATA\f a.bin",
        "X RCDATA a\rY",
        "X-_M_X64 RCDATA a",
        "X RCDATA\"a\"",
        "ü RCDATA a",
    };
    for (const char* line : foreign) {
        const RecordList script = ParseFileScript(std::string("A RCDATA a\n\n") + line + "\nB RCDATA b\n");
        EXPECT_EQ(script.foreignLine, std::optional<std::size_t>(3)) << line;
    }
    EXPECT_EQ(ParseFileScript("\xEF\xBB\xBF"
                              "A RCDATA a\n")
                  .foreignLine,
              std::optional<std::size_t>(1));
}

TEST(ParseFileScript, NumbersTheCompilerWarnsAboutAreLeftToIt)
{
    // Past 16 bits, past four hexadecimal digits, a leading zero: the full compiler reads
    // these and says how.
    for (const char* line : {"70000 RCDATA a", "010 RCDATA a", "A 0x10000 a", "A 0x12345 a"})
        EXPECT_EQ(ParseFileScript("A RCDATA a\n" + std::string(line) + "\n").foreignLine,
                  std::optional<std::size_t>(2))
            << line;
}

TEST(CompileResourceScript, EveryBrokenStatementIsNamedAndNoResFileIsWritten)
{
    ScratchFolder folder(" errors");
    const std::string script = folder / "app.rc";
    const std::string older = folder.Write("app.res", "older output");
    const std::string cursor = folder.Write("hand.cur", testing::TinyIconFile(2));
    const std::string bitmap = folder.Write("logo.bmp", testing::TinyBitmap());
    std::string cut = testing::TinyIconFile(1);
    cut.resize(cut.size() - 1);
    folder.Write("cut.ico", cut);
    folder.Write("sub/keep.bin", "x");
    folder.Write("app.rc",
                 "Fine BITMAP logo.bmp\n"
                 "Gone RCDATA \"missing.bin\"\n"
                 "App ICON \"" +
                     cursor +
                     "\"\n"
                     "Cut ICON cut.ico\n"
                     "Folder RCDATA sub\n"
                     "Short BITMAP \"sub/keep.bin\"\n");
    const ToolOutcome outcome = CompileResourceScript(script, older);
    EXPECT_FALSE(outcome.ok);
    const std::string line = script + "(";
    EXPECT_EQ(
        outcome.lines,
        (std::vector<std::string>{
            line + "2): error: RCDATA Gone: file not found: missing.bin",
            line + "3): error: ICON App: " + cursor +
                " is not a valid icon file: the header's type is 2 instead of 1 (icon)",
            line + "4): error: ICON Cut: " + folder / "cut.ico" +
                " is not a valid icon file: image 1 (offset 0x16, size 0x30) runs past the end of the file (size 0x45)",
            line + "5): error: RCDATA Folder: " + folder / "sub" + " is a folder, not a file",
            line + "6): error: BITMAP Short: " + folder / "sub/keep.bin" +
                " is not a valid bitmap file: the file is 1 bytes long, shorter than the 14-byte bitmap file header"}));
    EXPECT_EQ(ReadFileBytes(older), "older output");
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder.Path()))
        names.insert(entry.path().filename().string());
    EXPECT_EQ(names, (std::set<std::string>{"app.rc", "app.res", "hand.cur", "logo.bmp", "cut.ico", "sub"}));
}

}  // namespace
}  // namespace brevok
