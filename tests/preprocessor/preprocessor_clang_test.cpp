// The preprocessor held against clang -E: the same tokens on each line of each file, for
// hand-made scripts, the shipped headers and the corpus scripts clang can read.
#include "preprocessor/preprocessor.h"

#include "preprocessor/pp_tokens.h"

#include "rules/paths.h"
#include "platform/process.h"
#include "support/scratch_folder.h"
#include "rules/ascii.h"

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
                                             "clang -E -xc -undef -DRC_INVOKED=1 -D_WIN32=1 -D__GNUC__=4 -D__GNUC_MINOR__=2 "
                                             "-D__GNUC_PATCHLEVEL__=1 -nostdinc -Wno-everything "
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
                               "commctrl.h", "ntverp.h", "common.ver", "winnt.h", "tchar.h", "richedit.h",
                               "ole2.h", "wingdi.h", "commdlg.h", "shellapi.h", "setupapi.h", "mmsystem.h"}) {
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

}  // namespace
}  // namespace brevok
