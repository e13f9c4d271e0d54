// The compiler's command line as people and build systems write it: rc.exe's forms, joined or
// separate, and the refusals.
#include "rcdriver/compile_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace brevok {
namespace {

std::string Macros(const CompileOptions& options)
{
    std::string out;
    for (const MacroOption& macro : options.macros)
        out += macro.kind == MacroOption::Kind::Define ? "+" + macro.name + "=" + macro.value + " "
                                                       : "-" + macro.name + " ";
    return out;
}

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

TEST(CompileOptions, RefusalsNameWhatIsWrong)
{
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"/nologox", "app.rc"}, "unknown option '/nologox'"},
        {{"app.rc", "--", "second.rc"}, "a second script 'second.rc' (the first is 'app.rc')"},
        {{"--"}, "no script given"},
        {{"/fo"}, "option /fo needs a value"},
    };
    for (const auto& [args, error] : cases) {
        const Parsed<ToolArguments> parsed = ParseToolArguments(args, ToolKind::Compiler);
        ASSERT_FALSE(parsed) << args.front();
        EXPECT_EQ(parsed.error, error);
    }
}

}  // namespace
}  // namespace brevok
