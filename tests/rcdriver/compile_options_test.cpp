// The compiler's command line as people and build systems write it: rc.exe's forms, joined or
// separate, and the refusals.
#include "rcdriver/compile_options.h"
#include "support/macro_options.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace brevok {
namespace {

using testing::Macros;

TEST(CompileOptions, BuildSystemCommandLines)
{
    struct Case {
        std::vector<std::string> args;
        std::string script, res, macros, includes;
        bool noLogo;
    };
    const Case cases[] = {
        // CMake's rc.exe rule.
        {{"-DWIN32", "-I", "inc", "/fo", "out.res", "app.rc"}, "app.rc", "out.res", "+WIN32=1 ", "inc;", false},
        // Meson's: include options first, the output joined to /fo.
        {{"-Iinc", "-Igen", "/nologo", "/foout.res", "app.rc"}, "app.rc", "out.res", "", "inc;gen;", true},
        {{"/NOLOGO", "/d", "A=1", "/U", "B", "/FO", "x.res", "app.rc"}, "app.rc", "x.res", "+A=1 -B ", "", true},
        // After --, a name that starts like an option is the script.
        {{"/fo", "out.res", "--", "-app.rc"}, "-app.rc", "out.res", "", "", false},
        {{"--", "/fo"}, "/fo", "", "", "", false},
    };
    for (const Case& c : cases) {
        const Parsed<ToolArguments> parsed = ParseToolArguments(c.args, ToolKind::Compiler);
        ASSERT_TRUE(parsed) << c.args.front() << ": " << parsed.error;
        EXPECT_EQ(parsed->script, c.script);
        EXPECT_EQ(parsed->res, c.res);
        EXPECT_EQ(Macros(parsed->options), c.macros);
        std::string includes;
        for (const std::string& folder : parsed->options.includeFolders)
            includes += folder + ";";
        EXPECT_EQ(includes, c.includes);
        EXPECT_EQ(parsed->noLogo, c.noLogo);
    }
}

TEST(CompileOptions, RcExeCompileChoices)
{
    struct Case {
        std::vector<std::string> args;
        std::uint16_t language;
        std::size_t literalLimit;
        // n, y, w, p as letters when set.
        std::string flags;
    };
    const Case cases[] = {
        {{"app.rc"}, 0x409, 4097, ""},
        {{"/n", "-Y", "/w", "/P", "/a", "/R", "app.rc"}, 0x409, 4097, "nywp"},
        // Locale names in either case and with _ ; the last language option wins.
        {{"/ln", "de-de", "app.rc"}, 0x407, 4097, ""},
        {{"/LNen_US", "app.rc"}, 0x409, 4097, ""},
        {{"/l", "40c", "/ln", "sr-Latn-RS", "app.rc"}, 0x241A, 4097, ""},
        {{"/ln", "zh-cn", "/l", "411", "app.rc"}, 0x411, 4097, ""},
        {{"/ln", "es-ES", "app.rc"}, 0x0C0A, 4097, ""},
        {{"/ln", "es-es_tradnl", "app.rc"}, 0x040A, 4097, ""},
        // A language alone is its neutral locale.
        {{"/ln", "en", "app.rc"}, 0x0009, 4097, ""},
        {{"/ln", "sr", "app.rc"}, 0x7C1A, 4097, ""},
        {{"/ln", "zh", "app.rc"}, 0x7804, 4097, ""},
        // A percentage of 8192 characters, rounded down.
        {{"/sl", "100", "app.rc"}, 0x409, 8192, ""},
        {{"/sl1", "app.rc"}, 0x409, 81, ""},
        {{"-SL", "33", "app.rc"}, 0x409, 2703, ""},
    };
    for (const Case& c : cases) {
        const Parsed<ToolArguments> parsed = ParseToolArguments(c.args, ToolKind::Compiler);
        ASSERT_TRUE(parsed) << c.args.front() << ": " << parsed.error;
        const CompileOptions& options = parsed->options;
        EXPECT_EQ(options.language, c.language) << c.args.front();
        EXPECT_EQ(options.stringLiteralLimit, c.literalLimit) << c.args.front();
        std::string flags;
        for (const auto& [set, letter] : {std::pair{options.nullTerminateStrings, 'n'},
                                          {options.quietDuplicateControlIds, 'y'},
                                          {options.warnOnUnknownCodePage, 'w'}, {options.preprocessOnly, 'p'}})
            if (set)
                flags += letter;
        EXPECT_EQ(flags, c.flags) << c.args.front();
    }
}

TEST(CompileOptions, RefusalsNameWhatIsWrong)
{
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"/nologox", "app.rc"}, "unknown option '/nologox'"},
        {{"app.rc", "--", "second.rc"}, "a second script 'second.rc' (the first is 'app.rc')"},
        {{"--"}, "no script given"},
        {{"/fo"}, "option /fo needs a value"},
        {{"/ln", "xx-yy", "app.rc"}, "option -ln: unknown locale name 'xx-yy'"},
        {{"/ln", "en-", "app.rc"}, "option -ln: unknown locale name 'en-'"},
        {{"/sl", "0", "app.rc"}, "option -sl expects a percentage from 1 to 100, not '0'"},
        {{"/sl", "101", "app.rc"}, "option -sl expects a percentage from 1 to 100, not '101'"},
        {{"/sl", "5%", "app.rc"}, "option -sl expects a percentage from 1 to 100, not '5%'"},
        {{"/nx", "app.rc"}, "unknown option '/nx'"},
        // brc32 binds what it compiles: it has no preprocess-only run.
        {{"/p", "/fo", "a.res", "/fe", "a.exe", "app.rc"}, "unknown option '/p'"},
    };
    for (const auto& [args, error] : cases) {
        const ToolKind kind = std::find(args.begin(), args.end(), "/fe") != args.end() ? ToolKind::Binder
                                                                                         : ToolKind::Compiler;
        const Parsed<ToolArguments> parsed = ParseToolArguments(args, kind);
        ASSERT_FALSE(parsed) << args.front();
        EXPECT_EQ(parsed.error, error);
    }
}

}  // namespace
}  // namespace brevok
