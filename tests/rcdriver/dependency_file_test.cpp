// The dependency file's text: make's quoting of awkward paths, the rule's layout, zig rc's JSON,
// and rc mode's options that ask for one.
#include "rcdriver/compile_options.h"
#include "rcdriver/dependency_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace brevok {
namespace {

TEST(DependencyFile, PathsQuotedAsMakeReadsThem)
{
    const std::pair<std::string, std::string> cases[] = {
        {"app.rc", "app.rc"},
        {"my app.rc", "my\\ app.rc"},
        {"a\tb", "a\\\tb"},
        {"cost$.ico", "cost$$.ico"},
        {"#1.bmp", "\\#1.bmp"},
        // Backslashes before a space are doubled, so that make still sees the space escaped;
        // others (Windows folders) stay.
        {"dir\\ x", "dir\\\\\\ x"},
        {"dir\\\\ x", "dir\\\\\\\\\\ x"},
        {"C:\\res\\app.ico", "C:\\res\\app.ico"},
        {"", ""},
    };
    for (const auto& [path, quoted] : cases)
        EXPECT_EQ(QuoteForMake(path), quoted) << path;
}

TEST(DependencyFile, MakeRuleLayout)
{
    struct Case {
        std::vector<std::string> targets, files;
        bool phony;
        std::string text;
    };
    const Case cases[] = {
        {{"app.res"}, {"app.rc"}, false, "app.res: app.rc\n"},
        {{"app.res"}, {"app.rc"}, true, "app.res: app.rc\n"},
        {{"a.o", "b.o"}, {"app.rc", "my hdr.h", "icon.ico"}, false,
         "a.o b.o: app.rc \\\n  my\\ hdr.h \\\n  icon.ico\n"},
        // -MP: an empty rule for each file but the script.
        {{"a.o"}, {"app.rc", "my hdr.h", "icon.ico"}, true,
         "a.o: app.rc \\\n  my\\ hdr.h \\\n  icon.ico\n\nmy\\ hdr.h:\n\nicon.ico:\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MakeDependencyText(c.targets, c.files, c.phony), c.text);
}

TEST(DependencyFile, JsonArrayEscapesQuotesBackslashesAndControls)
{
    EXPECT_EQ(JsonDependencyText({}), "[]\n");
    EXPECT_EQ(JsonDependencyText({"app.rc", "C:\\res\\\"x\".ico", std::string("a\x01\n", 3)}),
              "[\n  \"app.rc\",\n  \"C:\\\\res\\\\\\\"x\\\".ico\",\n  \"a\\u0001\\u000a\"\n]\n");
}

TEST(DependencyFile, RcModeDepfileOptions)
{
    struct Case {
        std::vector<std::string> args;
        std::string file;
        DependencyOutput::Format format;
    };
    const Case cases[] = {
        {{"/:depfile", "app.d", "app.rc"}, "app.d", DependencyOutput::Format::Make},
        {{"-:DEPFILE", "app.d", "/:depfile-fmt", "json", "app.rc"}, "app.d", DependencyOutput::Format::Json},
        {{"/:depfile-fmt", "GCC", "/:depfile", "x y.d", "app.rc"}, "x y.d", DependencyOutput::Format::Make},
        {{"app.rc"}, "", DependencyOutput::Format::Make},
    };
    for (const Case& c : cases) {
        const Parsed<ToolArguments> parsed = ParseToolArguments(c.args, ToolKind::Compiler);
        ASSERT_TRUE(parsed) << c.args.front() << ": " << parsed.error;
        EXPECT_EQ(parsed->script, "app.rc");
        EXPECT_EQ(parsed->options.dependencies.file, c.file);
        EXPECT_EQ(parsed->options.dependencies.format, c.format);
    }
    const Parsed<ToolArguments> bad = ParseToolArguments({"/:depfile-fmt", "yaml", "app.rc"}, ToolKind::Compiler);
    ASSERT_FALSE(bad);
    EXPECT_EQ(bad.error, "option -:depfile-fmt expects make or json, not 'yaml'");
}

}  // namespace
}  // namespace brevok
