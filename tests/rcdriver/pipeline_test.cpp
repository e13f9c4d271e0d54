// The compiler's pipeline: entries, diagnostics with line numbers, atomic output, the
// preprocessor, and a missing script.
#include "rcdriver/pipeline.h"
#include "tooloutput/tool_output.h"

#include "image/res_file.h"
#include "platform/files.h"
#include "support/env_guard.h"
#include "support/res_oracle.h"
#include "support/resource_files.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

namespace brevok {
namespace {

using testing::ScratchFolder;

std::set<std::string> FolderContents(const ScratchFolder& folder)
{
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder.Path()))
        names.insert(entry.path().filename().string());
    return names;
}

std::string Joined(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    return text;
}

TEST(CompileResourceScript, SevenTypesFromPathsWithSpacesAndNonAsciiCompile)
{
    ScratchFolder folder(" res dü ");
    const struct {
        const char* line;  // name and type
        const char* file;
        std::string bytes;
    } files[] = {
        {"Logo BITMAP", "logo pic.bmp", testing::TinyBitmap()},
        {"App ICON", "ícon.ico", testing::TinyIconFile(1)},
        {"Hand CURSOR", "hand.cur", testing::TinyIconFile(2)},
        {"Ding WAVE", "ding dong.wav", "RIFF\x04\0\0\0WAVE"},
        {"Tune MIDI", "tune.mid", "MThd"},
        {"Clip AVI", "clip.avi", "RIFF\x04\0\0\0AVI "},
        {"Blob RCDATA", "any.dat", std::string("\0\1\2\3", 4)},
    };
    // The lines as the tool writes them: name, type, the full path in double quotes, CR LF.
    std::string lines;
    for (const auto& f : files)
        lines += std::string(f.line) + " \"" + folder.Write(f.file, f.bytes) + "\"\r\n";
    const std::string script = folder.Write("app.rc", lines);
    const std::string res = folder / "app.res";
    const ToolOutcome outcome = CompileResourceScript(script, res);
    EXPECT_TRUE(outcome.ok) << Joined(outcome.lines);
    EXPECT_TRUE(outcome.lines.empty()) << Joined(outcome.lines);
    const std::set<std::string> entries = testing::ResEntries(res);
    for (const std::string expected :
         {"BITMAP (ID 2)/LOGO", "GROUP_ICON (ID 14)/APP", "GROUP_CURSOR (ID 12)/HAND", "WAVE/DING", "MIDI/TUNE",
          "AVI/CLIP", "RCDATA (ID 10)/BLOB", "ICON (ID 3)/(ID 1)", "CURSOR (ID 1)/(ID 2)"})
        EXPECT_EQ(entries.count(expected), 1u) << expected;
    // Nothing but the output is left beside the script.
    EXPECT_EQ(FolderContents(folder).size(), 9u);
}

/// String `index` (0-15) of a string-table bundle.
std::u16string BundleString(const std::string& data, std::size_t index)
{
    std::size_t at = 0;
    for (std::size_t i = 0;; ++i) {
        const auto length = static_cast<std::size_t>(static_cast<unsigned char>(data.at(at)) |
                                                     (static_cast<unsigned char>(data.at(at + 1)) << 8));
        at += 2;
        if (i == index) {
            std::u16string text;
            for (std::size_t k = 0; k < length; ++k, at += 2)
                text += static_cast<char16_t>(static_cast<unsigned char>(data[at]) |
                                              (static_cast<unsigned char>(data[at + 1]) << 8));
            return text;
        }
        at += 2 * length;
    }
}

// Scripts in double-byte code pages: string 1 of the string table in UTF-16, and the RCDATA
// resources' narrow strings in the code page rc.exe writes them in (that of -c, until a second
// #pragma code_page). The expected characters and bytes are Python's codecs'.
TEST(CompileResourceScript, DoubleByteCodePagesGiveUnicodeStringsAndNarrowBytes)
{
    ScratchFolder folder;
    folder.Write("ko.rc", "STRINGTABLE { 1 \"\xC7\xD1\xB1\xB9\" }\n1 RCDATA { L\"\xB1\xB9\" }\n");
    const struct {
        const char* name;
        int codePage;
        std::string script;
        std::u16string string1;
        std::map<std::uint16_t, std::string> rcdata;
    } cases[] = {
        // ソ (83 5C) and 表 (95 5C) end in a backslash byte, also before a quote and at the end
        // of a comment line; 纊 is U+7E8A.
        {"-c 932", 932,
         "// \x95\x5C\nSTRINGTABLE { 1 \"\x83\x5C\x95\x5C\" }\n"
         "1 RCDATA { \"\x83\x5C\x95\x5C\", L\"\xED\x40\" }\n",
         u"\u30BD\u8868", {{1, std::string("\x83\x5C\x95\x5C\x8A\x7E", 6)}}},
        // 中文 and 乗 (81 5C); the first pragma leaves narrow strings in 1252.
        {"#pragma code_page(936)", 1252,
         "#pragma code_page(936)\nSTRINGTABLE { 1 \"\xD6\xD0\xCE\xC4\x81\x5C\" }\n"
         "1 RCDATA { \"\xD6\xD0\" }\n#pragma code_page(936)\n2 RCDATA { \"\xD6\xD0\xCE\xC4\x81\x5C\" }\n",
         u"\u4E2D\u6587\u4E57", {{1, "?"}, {2, "\xD6\xD0\xCE\xC4\x81\x5C"}}},
        // 한국 in a file a #pragma code_page(949) names for the #include after it.
        {"#pragma code_page(949) before an #include", 1252, "#pragma code_page(949)\n#include \"ko.rc\"\n",
         u"\uD55C\uAD6D", {{1, std::string("\x6D\xAD", 2)}}},
        // 許 (B3 5C) and an escaped backslash after it.
        {"-c 950", 950, "STRINGTABLE { 1 \"\xB3\x5C\" }\n1 RCDATA { \"\xB3\x5C\\\\\" }\n", u"\u8A31",
         {{1, "\xB3\x5C\\"}}},
    };
    for (const auto& c : cases) {
        const std::string script = folder.Write("app.rc", c.script);
        const std::string res = folder / "app.res";
        CompileOptions options;
        options.codePage = c.codePage;
        const ToolOutcome outcome = CompileResourceScript(script, res, options);
        ASSERT_TRUE(outcome.ok) << c.name << "\n" << Joined(outcome.lines);
        const Parsed<std::vector<ResRecord>> records = ParseResFile(ReadFileBytes(res));
        ASSERT_TRUE(records) << c.name;
        std::map<std::uint16_t, std::string> rcdata;
        std::u16string string1;
        for (const ResRecord& record : *records) {
            if (record.type == ResId::Ordinal(10))
                rcdata[record.name.ordinal] = record.data;
            else if (record.type == ResId::Ordinal(6) && record.name == ResId::Ordinal(1))
                string1 = BundleString(record.data, 1);
        }
        EXPECT_EQ(string1, c.string1) << c.name;
        EXPECT_EQ(rcdata, c.rcdata) << c.name;
    }
}

TEST(CompileResourceScript, BrokenLinesAreNamedAndLeaveNoOrAnOlderResFile)
{
    ScratchFolder folder(" broken ü");
    const std::string data = folder.Write("d.bin", "data");
    const std::string script = folder.Write("app.rc",
                                            "One RCDATA \"" + data +
                                                "\"\r\n"
                                                "Two RCDATA \"" +
                                                data +
                                                "\"\r\n"
                                                "Three BITMAP \"" +
                                                data + "\"\r\n");
    const std::string res = folder / "app.res";
    ToolOutcome outcome = CompileResourceScript(script, res);
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(outcome.lines,
              std::vector<std::string>{script + "(3): error: BITMAP Three: " + data +
                                       " is not a valid bitmap file: the file is 4 bytes long, shorter than the "
                                       "14-byte bitmap file header"});
    EXPECT_FALSE(FileExists(res));

    // A parse error names the line of the offending token.
    folder.Write("app.rc", "One RCDATA \"" + data + "\"\r\n\r\nTwo 2 3 4\r\nThree RCDATA \"" + data + "\"\r\n");
    const std::string older = folder.Write("app.res", "older output");
    outcome = CompileResourceScript(script, res);
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(outcome.lines, std::vector<std::string>{script + "(3): error: expected '{', got 3"});
    EXPECT_EQ(ReadFileBytes(res), "older output");

    // A statement cut off by the end of the script is named by its last line.
    folder.Write("app.rc", "One RCDATA \"" + data + "\"\r\nTwo RCDATA {\r\n\r\n");
    outcome = CompileResourceScript(script, res);
    EXPECT_EQ(outcome.lines, std::vector<std::string>{script + "(2): error: expected int or string, got <EOF>"});
    EXPECT_EQ(FolderContents(folder), (std::set<std::string>{"app.rc", "app.res", "d.bin"}));
    (void)older;
}

TEST(CompileResourceScript, MessagesQuotingALongLineAreReadWhole)
{
    // A 200 KB line quoted back by the parser or the preprocessor, as a generated data block
    // with one mistake gives.
    ScratchFolder folder;
    const std::string data = folder.Write("d.bin", "data");
    const std::string script = folder / "app.rc";
    const std::string word(200000, 'a');

    folder.Write("app.rc", "One RCDATA \"" + data + "\"\r\n\"" + word + "\" 2\r\n");
    // Past rc.exe's limit on string literals, which would refuse the literal before the parser
    // sees it.
    CompileOptions longLiterals;
    longLiterals.stringLiteralLimit = word.size();
    ToolOutcome outcome = CompileResourceScript(script, folder / "app.res", longLiterals);
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(outcome.lines,
              std::vector<std::string>{script + "(2): error: expected int or identifier, got \"" + word + "\""});

    folder.Write("app.rc", "#error " + word + "\r\nOne RCDATA \"" + data + "\"\r\n");
    outcome = CompileResourceScript(script, folder / "app.res");
    EXPECT_EQ(outcome.lines, std::vector<std::string>{script + "(1): error: " + word});
    EXPECT_FALSE(FileExists(folder / "app.res"));
}

TEST(CompileResourceScript, IncludeAndDefineArePreprocessed)
{
    ScratchFolder folder(" pp");
    folder.Write("d.bin", "data");
    folder.Write("ids.h", "#define LOGO_ID 7\n#define DATA_FILE \"d.bin\"\n");
    const std::string script = folder.Write("app.rc",
                                            "#include \"ids.h\"\r\n"
                                            "#define NAMED Named\r\n"
                                            "LOGO_ID RCDATA DATA_FILE\r\n"
                                            "NAMED RCDATA DATA_FILE\r\n");
    const std::string res = folder / "app.res";
    const std::string previous = std::filesystem::current_path();
    std::filesystem::current_path("/");  // the data file is found beside the script
    const ToolOutcome outcome = CompileResourceScript(script, res);
    std::filesystem::current_path(previous);
    ASSERT_TRUE(outcome.ok) << Joined(outcome.lines);
    EXPECT_EQ(testing::ResEntries(res), (std::set<std::string>{"RCDATA (ID 10)/(ID 7)", "RCDATA (ID 10)/NAMED"}));

    folder.Write("app.rc", "NAMED RCDATA \"d.bin\"\r\n#include \"missing.h\"\r\n");
    const ToolOutcome missing = CompileResourceScript(script, res);
    EXPECT_FALSE(missing.ok);
    EXPECT_EQ(missing.lines, std::vector<std::string>{script + "(2): fatal error: 'missing.h' file not found"});
}

TEST(CompileResourceScript, NoClangOrLlvmRcIsNeededForIncludesAndDefines)
{
    ScratchFolder empty;
    ScratchFolder folder;
    {
        CompileOptions options;
        testing::EnvGuard path("PATH", empty.Path());
        const std::vector<std::string> banner = BannerLines("brcc32");
        ASSERT_EQ(banner.size(), 3u);
        EXPECT_EQ(banner[0].find("preprocessor"), std::string::npos) << banner[0];

        const std::string data = folder.Write("d.bin", "data");
        folder.Write("ids.h", "#define BLOB 5\n");
        const std::string script =
            folder.Write("app.rc", "#include \"ids.h\"\r\nBLOB RCDATA \"" + data + "\"\r\nBad 1 2\r\n");
        ToolOutcome outcome = CompileResourceScript(script, folder / "app.res", options);
        EXPECT_EQ(outcome.lines, std::vector<std::string>{script + "(3): error: expected '{', got 2"});
        folder.Write("app.rc", "#include \"ids.h\"\r\nBLOB RCDATA \"" + data + "\"\r\n");
        outcome = CompileResourceScript(script, folder / "app.res", options);
        ASSERT_TRUE(outcome.ok) << Joined(outcome.lines);
    }
    EXPECT_EQ(testing::ResEntries(folder / "app.res"), std::set<std::string>{"RCDATA (ID 10)/(ID 5)"});
}

TEST(CompileResourceScript, MissingScriptIsReported)
{
    ScratchFolder folder;
    folder.Write("app.rc", "STRINGTABLE { 1 \"x\" }\r\n");
    const ToolOutcome outcome = CompileResourceScript(folder / "none.rc", folder / "none.res");
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(outcome.lines, std::vector<std::string>{"error: Cannot open file " + folder / "none.rc"});
    EXPECT_EQ(FolderContents(folder), std::set<std::string>{"app.rc"});
}

}  // namespace
}  // namespace brevok
