// What clang -E cannot show of the preprocessor: the include search, encodings, errors and
// limits. These also run under Windows.
#include "preprocessor/preprocessor.h"

#include "rules/text_encoding.h"

#include "rules/paths.h"

#include "support/scratch_folder.h"
#include "rules/ascii.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

namespace brevok {
namespace {

using testing::ScratchFolder;

Preprocessed Preprocess(const std::string& script, std::vector<std::string> folders = {}, int codePage = kDefaultCodePage)
{
    PreprocessOptions options;
    options.includeFolders = std::move(folders);
    options.codePage = codePage;
    return PreprocessScript(script, options);
}

/// The output's text lines, markers and blank lines left out.
std::vector<std::string> TextLines(const Preprocessed& result)
{
    std::vector<std::string> lines;
    std::string line;
    for (char c : result.text) {
        if (c != '\n') {
            line += c;
            continue;
        }
        if (!line.empty() && line[0] != '#')
            lines.push_back(line);
        line.clear();
    }
    return lines;
}

TEST(Preprocessor, IncludesAreSearchedInOrderWithEitherSeparatorAndAnyLetterCase)
{
    ScratchFolder folder;
    std::filesystem::create_directories(folder / "Res");
    std::filesystem::create_directories(folder / "inc");
    std::filesystem::create_directories(folder / "sys");
    folder.Write("Res/Sub.RC2", "#include \"near.h\"\nsub\n");
    folder.Write("Res/near.h", "near_res\n");
    folder.Write("near.h", "near_top\n");
    folder.Write("inc/Only.H", "only_inc\n");
    folder.Write("inc/both.h", "both_inc\n");
    folder.Write("sys/both.h", "both_sys\n");
    folder.Write("sys/System.h", "system\n");
    const std::string script = folder.Write("app.rc",
                                            "#include \"res\\sub.rc2\"\n#include <only.h>\n#include \"both.h\"\n"
                                            "#include <SYSTEM.H>\n#include \"near.h\"\n");
    const Preprocessed result = Preprocess(script, {folder.Path(), folder / "inc", folder / "sys"});
    ASSERT_TRUE(result.ok) << result.diagnostics[0].Format();
    EXPECT_EQ(TextLines(result),
              (std::vector<std::string>{"near_res", "sub", "only_inc", "both_inc", "system", "near_top"}));
    // Every line maps to its file and line.
    EXPECT_EQ(result.files.size(), 7u);
    std::vector<std::string> where;
    for (std::size_t i = 0; i < result.lines.size(); ++i)
        if (result.lines[i].line > 0 && !TextLines(result).empty())
            where.push_back(AsciiUpper(std::filesystem::path(result.files[result.lines[i].file]).filename().string()) +
                            ":" + std::to_string(result.lines[i].line));
    EXPECT_EQ(where.front(), "NEAR.H:1");
    EXPECT_EQ(where[1], "SUB.RC2:2");

    folder.Write("app.rc", "\n#include \"missing.h\"\nafter\n");
    const Preprocessed missing = Preprocess(script, {folder.Path()});
    EXPECT_FALSE(missing.ok);
    EXPECT_EQ(FormatDiagnostics(missing.diagnostics), std::vector<std::string>{script + "(2): fatal error: 'missing.h' file not found"});
}

TEST(Preprocessor, EncodingsAreReadAndTheOutputNamesItsCodePage)
{
    ScratchFolder folder;
    const std::string latin = "1 RCDATA { \"caf\xE9\" }\n";
    const auto utf16 = [](const std::string& utf8, bool little) {
        std::string out = little ? "\xFF\xFE" : "\xFE\xFF";
        for (char c : utf8) {
            const char unit[2] = {little ? c : '\0', little ? '\0' : c};
            out.append(unit, 2);
        }
        return out;
    };
    struct Case {
        const char* name;
        std::string bytes;
        int codePage;
        std::string line;
        int outputCodePage;
    };
    const std::vector<Case> cases = {
        {"1252 kept as bytes", latin, 1252, "1 RCDATA { \"caf\xE9\" }", 1252},
        {"UTF-8 with a mark", "\xEF\xBB\xBF" + latin.substr(0, 15) + "\xC3\xA9\" }\n", 1252,
         "1 RCDATA { \"caf\xC3\xA9\" }", 65001},
        {"UTF-16 LE", utf16("#define X 7\nX RCDATA { 1 }\n", true), 1252, "7 RCDATA { 1 }", 65001},
        {"UTF-16 BE", utf16("#define X 8\nX RCDATA { 1 }\n", false), 1252, "8 RCDATA { 1 }", 65001},
        {"another code page in UTF-8", "1 RCDATA { \"\xC0\" }\n", 1251, "1 RCDATA { \"\xD0\x90\" }", 65001},
        {"#pragma code_page makes the output UTF-8", "#pragma code_page(1251)\n1 RCDATA { \"\xC0\" }\n", 1252,
         "1 RCDATA { \"\xD0\x90\" }", 65001},
        // A trail byte 0x5C (ソ, 表) neither escapes the closing quote nor splices the next line
        // onto a comment.
        {"932", "#define X 5\n// \x95\x5C\n1 RCDATA { \"\x83\x5C\", X }\n", 932,
         "1 RCDATA { \"\xE3\x82\xBD\", 5 }", 65001},
        {"a #pragma code_page(936) before an #include", "#pragma code_page(936)\n#include \"sub.rc\"\n", 1252,
         "1 RCDATA { \"\xE4\xB9\x97\" }", 65001},
    };
    folder.Write("sub.rc", "1 RCDATA { \"\x81\x5C\" }\n");
    for (const Case& c : cases) {
        const std::string script = folder.Write("app.rc", c.bytes);
        const Preprocessed result = Preprocess(script, {}, c.codePage);
        ASSERT_TRUE(result.ok) << c.name;
        ASSERT_FALSE(TextLines(result).empty()) << c.name;
        EXPECT_EQ(TextLines(result).back(), c.line) << c.name;
        EXPECT_EQ(result.codePage, c.outputCodePage) << c.name;
    }
}

TEST(Preprocessor, ErrorsNameTheirLineAndHostileScriptsMeetALimit)
{
    ScratchFolder folder;
    struct Case {
        const char* name;
        std::string text;
        std::string diagnostic;
    };
    const std::vector<Case> cases = {
        {"#error", "\n#error stop here\n", "(2): error: stop here"},
        {"unterminated #if", "#if 1\nx\n", "(1): error: unterminated conditional directive"},
        {"#else after #else", "#if 0\n#else\n#else\n#endif\n", "(3): error: #else after #else"},
        {"#endif alone", "#endif\n", "(1): error: #endif without #if"},
        {"bad expression", "#if 1 +\n#endif\n", "(1): error: the preprocessor expression ends where a value is expected"},
        {"division by zero", "#if 1 / 0\n#endif\n", "(1): error: division by zero in a preprocessor expression"},
        {"too few arguments", "#define F(a, b) a\nF(1)\n", "(2): error: too few arguments for macro 'F' (it takes 2, 1 given)"},
        {"unterminated invocation", "#define F(a) a\nF(1,\n", "(2): error: unterminated argument list invoking macro 'F'"},
        {"bad paste", "#define P(a, b) a ## b\nP(+, /)\n", "(2): error: pasting formed '+/', an invalid preprocessing token"},
        {"unknown directive", "#frobnicate\n", "(1): error: invalid preprocessing directive '#frobnicate'"},
        {"include cycle", "#include \"app.rc\"\n", "(1): fatal error: #include nested too deeply (more than 200 levels)"},
        {"expansion bomb",
         "#define A x x x x x x x x x x\n#define B A A A A A A A A A A\n#define C B B B B B B B B B B\n"
         "#define D C C C C C C C C C C\n#define E D D D D D D D D D D\n#define F E E E E E E E E E E\n"
         "#define G F F F F F F F F F F\n#define H G G G G G G G G G G\nH H H H H H H H H H H H H H H H H H H H H H\n",
         "(9): fatal error: macro expansion gives more than 100000 tokens"},
        {"nested arguments", "#define F(x) x\n" + std::string(300, 'F') + "\n",
         ""},  // a function-like name not followed by '(' is no invocation: no error
        {"deep arguments", "#define F(x) x\n" + [] {
             std::string text;
             for (int i = 0; i < 300; ++i)
                 text += "F(";
             return text + std::string(300, ')') + "\n";
         }(),
         "(2): fatal error: macro arguments nested deeper than 200 levels"},
        {"deep expression", "#if " + std::string(1000, '(') + "1" + std::string(1000, ')') + "\n#endif\n",
         "(1): error: preprocessor expression nested deeper than 256 levels"},
        {"unterminated comment", "x /* never closed\n", "(1): error: unterminated /* comment"},
    };
    PreprocessLimits small;
    small.expandedTokens = 100000;
    PreprocessOptions options;
    options.includeFolders = {folder.Path()};
    for (const Case& c : cases) {
        const std::string script = folder.Write("app.rc", c.text);
        const Preprocessed result = PreprocessScript(script, options, small);
        if (c.diagnostic.empty()) {
            EXPECT_TRUE(result.ok) << c.name;
            continue;
        }
        EXPECT_FALSE(result.ok) << c.name;
        ASSERT_FALSE(result.diagnostics.empty()) << c.name;
        EXPECT_EQ(result.diagnostics[0].Format(), script + c.diagnostic) << c.name;
    }
    // Output past its limit stops the run.
    const std::string script = folder.Write("app.rc", std::string(5000, 'x') + "\n" + std::string(5000, 'y') + "\n");
    PreprocessLimits limits;
    limits.outputBytes = 8000;
    const Preprocessed big = PreprocessScript(script, {}, limits);
    EXPECT_FALSE(big.ok);
    EXPECT_EQ(big.diagnostics.back().Format(), script + "(2): fatal error: the preprocessed script would exceed 8000 bytes");
    EXPECT_LE(big.text.size(), 8000u);
}

TEST(Preprocessor, DateAndTimeHaveTheFormsOfC)
{
    ScratchFolder folder;
    const std::vector<std::string> lines = TextLines(Preprocess(folder.Write("app.rc", "__DATE__ __TIME__\n")));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_TRUE(std::regex_match(lines[0], std::regex(R"("[A-Z][a-z]{2} [ 123][0-9] [0-9]{4}" "[0-9]{2}:[0-9]{2}:[0-9]{2}")")))
        << lines[0];
}

}  // namespace
}  // namespace brevok
