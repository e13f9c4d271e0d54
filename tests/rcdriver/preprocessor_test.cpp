// The preprocessor held against clang -E (the same tokens on each line of each file), and
// what clang cannot show: the include search, encodings, errors and limits.
#include "rcdriver/preprocessor.h"

#include "rcdriver/pp_tokens.h"
#include "rcdriver/text_encoding.h"

#include "platform/paths.h"
#include "platform/process.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

namespace brevok {
namespace {

using testing::ScratchFolder;

const std::string kHeaders = std::string(BREVOK_BIN_DIR) + "/include";

/// (file, line) -> the tokens there, read from a preprocessor's output by its line markers.
using TokenMap = std::map<std::pair<std::string, int>, std::vector<std::string>>;

TokenMap ReadTokenMap(const std::string& text)
{
    TokenMap map;
    std::string file;
    int line = 1;
    LineLexer lexer(text);
    for (LogicalLine logical; lexer.Next(logical);) {
        const std::vector<PpToken>& tokens = logical.tokens;
        if (!tokens.empty() && tokens[0].Is("#")) {
            if (tokens.size() >= 3 && tokens[1].kind == PpTokenKind::Number && tokens[2].kind == PpTokenKind::String) {
                line = std::stoi(tokens[1].text);
                file = std::filesystem::path(tokens[2].text.substr(1, tokens[2].text.size() - 2)).lexically_normal();
                continue;
            }
            ++line;
            continue;
        }
        for (const PpToken& token : tokens)
            map[{file, line}].push_back(token.text);
        ++line;
    }
    std::erase_if(map, [](const auto& entry) { return entry.first.first.starts_with("<"); });
    return map;
}

struct Comparison {
    bool clangOk = false;
    bool oursOk = false;
    TokenMap clang;
    TokenMap ours;
};

Comparison CompareWithClang(const std::string& folder, const std::string& script)
{
    Comparison result;
    const std::string previous = std::filesystem::current_path();
    std::filesystem::current_path(folder);
    PreprocessOptions options;
    options.includeFolders = {"", kHeaders};
    const Preprocessed ours = PreprocessScript(script, options);
    result.oursOk = ours.ok;
    result.ours = ReadTokenMap(ours.text);
    const ProgramExit clang = RunAndCapture({"/bin/sh", "-c",
                                             "clang -E -xc -undef -DRC_INVOKED=1 -D_WIN32=1 -nostdinc -Wno-everything "
                                             "-I. -I\"$1\" \"$2\" 2>/dev/null",
                                             "sh", kHeaders, script});
    std::filesystem::current_path(previous);
    result.clangOk = clang.exitCode == 0;
    result.clang = ReadTokenMap(clang.output);
    return result;
}

TEST(Preprocessor, HandMadeScriptsGiveClangsTokensOnEachLine)
{
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"paste and stringize",
         "#define STR(x) #x\n#define XSTR(x) STR(x)\n#define CAT(a, b) a ## b\n"
         "1 RCDATA { XSTR(CAT(1, 2)), STR( a  \"b\\n\" ), CAT(, x), CAT(y, ), CAT(L, \"w\") }\n"},
        {"nested function-like macros",
         "#define F(x) G(x) + 1\n#define G(y) (y * H)\n#define H 3\n#define ID(z) z\n"
         "ID(F(ID(F(2))))\n#define f(a) a*g\n#define g(a) f(a)\nf(2)(9)\n#define q(x) x q\nq(q)(1)\n"},
        {"elif chains",
         "#define V 3\n#if V == 1\none\n#elif V == 2\ntwo\n#elif defined V && V > 2 && !defined(W)\nthree\n"
         "#else\nother\n#endif\n#if 0\n#if 1\nno\n#endif\n#elif (V << 2) == 12 ? 1 : 0\nshift\n#endif\n"
         "#if -1 > 0u\nunsigned\n#endif\n#if 'A' == 65 && 0x10 == 020\nchars\n#endif\n"},
        {"variadic and GNU comma",
         "#define LOG(fmt, ...) log(fmt, ## __VA_ARGS__)\n#define ALL(...) [__VA_ARGS__]\n"
         "LOG(\"a\")\nLOG(\"b\", 1, (2, 3))\nALL()\nALL(x, y)\n#define N(args...) n(args)\nN(1,2)\n"},
        {"lines, splices and comments",
         "#define LONG(a, b) \\\n  a + \\\n  b\nLONG(1,\n   2) tail\nx /* one\ntwo */ y\n"
         "z // rest \\\n still comment\nw\n#line 40\nforty __LINE__\n\n\n\n\n\n\n\n\n\n\n\nlater\n"},
        {"empty and object macros",
         "#define E\n#define O (1 | 2)\nE first E\n  O second\n#undef O\nO\n"
         "DIALOG 0, 0, 10, 10 STYLE O | 4\n"},
        {"literals kept intact",
         "1 RCDATA { \"a\"\"b\", L\"wide\", 'c', 0x12L, 1.5e+3, \"don't\", \"C:\\\\dir\\\\\" }\n"
         "STRINGTABLE { 1, \"say \"\"hi\"\"\" }\n"},
    };
    ScratchFolder folder;
    for (const auto& [name, text] : cases) {
        folder.Write("case.rc", text);
        const Comparison comparison = CompareWithClang(folder.Path(), "case.rc");
        ASSERT_TRUE(comparison.clangOk) << name;
        EXPECT_TRUE(comparison.oursOk) << name;
        EXPECT_EQ(comparison.ours, comparison.clang) << name;
    }
}

TEST(Preprocessor, CorpusScriptsAndShippedHeadersGiveClangsTokens)
{
    ScratchFolder folder;
    int compared = 0;
    for (const char* header : {"windows.h", "winres.h", "winresrc.h", "afxres.h", "winver.h", "verrsrc.h", "dlgs.h",
                               "commctrl.h", "ntverp.h", "common.ver"}) {
        folder.Write("h.rc", std::string("#include <") + header + ">\n");
        const Comparison comparison = CompareWithClang(folder.Path(), "h.rc");
        ASSERT_TRUE(comparison.clangOk && comparison.oursOk) << header;
        EXPECT_EQ(comparison.ours, comparison.clang) << header;
        ++compared;
    }
    // Scripts clang can read: it has no case-insensitive search and no UTF-16.
    for (const auto& entry : std::filesystem::recursive_directory_iterator(std::string(BREVOK_SOURCE_DIR) +
                                                                           "/tests/rcdriver/corpus")) {
        const std::string extension = AsciiUpper(entry.path().extension().string());
        if (extension != ".RC")
            continue;
        const Comparison comparison =
            CompareWithClang(entry.path().parent_path().string(), entry.path().filename().string());
        if (!comparison.clangOk)
            continue;
        EXPECT_TRUE(comparison.oursOk) << entry.path();
        EXPECT_EQ(comparison.ours, comparison.clang) << entry.path();
        ++compared;
    }
    std::printf("preprocessor: %d headers and corpus scripts hold clang -E's tokens\n", compared);
    EXPECT_GE(compared, 25);
}

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
    ASSERT_TRUE(result.ok) << result.diagnostics[0];
    EXPECT_EQ(TextLines(result),
              (std::vector<std::string>{"near_res", "sub", "only_inc", "both_inc", "system", "near_top"}));
    // Every line maps to its file and line.
    EXPECT_EQ(result.files.size(), 7u);
    std::vector<std::string> where;
    for (std::size_t i = 0; i < result.lines.size(); ++i)
        if (result.lines[i].line > 0 && !TextLines(result).empty())
            where.push_back(std::filesystem::path(result.files[result.lines[i].file]).filename().string() + ":" +
                            std::to_string(result.lines[i].line));
    EXPECT_EQ(where.front(), "near.h:1");
    EXPECT_EQ(where[1], "Sub.RC2:2");

    folder.Write("app.rc", "\n#include \"missing.h\"\nafter\n");
    const Preprocessed missing = Preprocess(script, {folder.Path()});
    EXPECT_FALSE(missing.ok);
    EXPECT_EQ(missing.diagnostics, std::vector<std::string>{script + "(2): fatal error: 'missing.h' file not found"});
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
        {"#pragma code_page", "#pragma code_page(1251)\n1 RCDATA { \"\xC0\" }\n", 1252, "1 RCDATA { \"?\" }", 1252},
    };
    for (const Case& c : cases) {
        const std::string script = folder.Write("app.rc", c.bytes);
        const Preprocessed result = Preprocess(script, {}, c.codePage);
        ASSERT_TRUE(result.ok) << c.name;
        EXPECT_EQ(TextLines(result).back(), c.line) << c.name;
        EXPECT_EQ(result.codePage, c.outputCodePage) << c.name;
    }
    EXPECT_EQ(ConvertCodePage("\x80\x81", 1252, 65001), "\xE2\x82\xAC\xC2\x81");
    EXPECT_EQ(ConvertCodePage("\xE2\x82\xAC\xC2\x81", 65001, 1252), "\x80\x81");
    EXPECT_EQ(DecodeMarkedText(std::string("\xFF\xFE\x3D\xD8\x00\xDE\x00\xD8", 8), ByteOrderMark::Utf16Le),
              "\xF0\x9F\x98\x80\xEF\xBF\xBD");
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
        EXPECT_EQ(result.diagnostics[0], script + c.diagnostic) << c.name;
    }
    // Output past its limit stops the run.
    const std::string script = folder.Write("app.rc", std::string(5000, 'x') + "\n" + std::string(5000, 'y') + "\n");
    PreprocessLimits limits;
    limits.outputBytes = 8000;
    const Preprocessed big = PreprocessScript(script, {}, limits);
    EXPECT_FALSE(big.ok);
    EXPECT_EQ(big.diagnostics.back(), script + "(2): fatal error: the preprocessed script would exceed 8000 bytes");
    EXPECT_LE(big.text.size(), 8000u);
}

}  // namespace
}  // namespace brevok
