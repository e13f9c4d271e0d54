// Command-line splitting and quoting by the Windows rules, on every system.
#include "platform/command_line.h"

#include <gtest/gtest.h>

namespace brevok {
namespace {

using Args = std::vector<std::string>;

TEST(SplitCommandLine, BlanksSeparateAndQuotesGroup)
{
    EXPECT_EQ(SplitCommandLine(""), Args{});
    EXPECT_EQ(SplitCommandLine("   \t "), Args{});
    EXPECT_EQ(SplitCommandLine("prog a  b\tc"), (Args{"prog", "a", "b", "c"}));
    // The runner's line for a batch file with no program text starts with a blank.
    EXPECT_EQ(SplitCommandLine(" /tmp/x/Temp.bat"), (Args{"/tmp/x/Temp.bat"}));
    EXPECT_EQ(SplitCommandLine("prog \"a b\" c\" d\"e \"\""), (Args{"prog", "a b", "c de", ""}));
    EXPECT_EQ(SplitCommandLine("\"/my tools/prog\" x"), (Args{"/my tools/prog", "x"}));
    EXPECT_EQ(SplitCommandLine("prog \"unterminated arg"), (Args{"prog", "unterminated arg"}));
    EXPECT_EQ(SplitCommandLine("prog \"say \"\"hi\"\"\""), (Args{"prog", "say \"hi\""}));
}

TEST(SplitCommandLine, BackslashesCountOnlyBeforeAQuote)
{
    // Not before a quote: literal.
    EXPECT_EQ(SplitCommandLine("p a\\\\b\\c"), (Args{"p", "a\\\\b\\c"}));
    // 2n backslashes and a quote: n backslashes, the quote toggles.
    EXPECT_EQ(SplitCommandLine("p \"a\\\\\" b"), (Args{"p", "a\\", "b"}));
    EXPECT_EQ(SplitCommandLine("p a\\\\\\\\\"b c\""), (Args{"p", "a\\\\b c"}));
    // 2n+1 backslashes and a quote: n backslashes and a literal quote.
    EXPECT_EQ(SplitCommandLine("p a\\\"b"), (Args{"p", "a\"b"}));
    EXPECT_EQ(SplitCommandLine("p a\\\\\\\"b c"), (Args{"p", "a\\\"b", "c"}));
    // The program name keeps its backslashes, a folder path on Windows.
    EXPECT_EQ(SplitCommandLine("C:\\tools\\\"brc32.exe\" x"), (Args{"C:\\tools\\brc32.exe", "x"}));
}

TEST(QuoteArgument, PlainArgumentsStayAndOthersRoundTrip)
{
    EXPECT_EQ(QuoteArgument("/home/me/app.rc"), "/home/me/app.rc");
    EXPECT_EQ(QuoteArgument("C:\\x\\"), "C:\\x\\");
    EXPECT_EQ(QuoteArgument(""), "\"\"");
    EXPECT_EQ(QuoteArgument("a b"), "\"a b\"");
    EXPECT_EQ(QuoteArgument("C:\\my dir\\"), "\"C:\\my dir\\\\\"");
    for (const std::string argument :
         {"a b", "", "x\"y", "tail\\", "sp ace\\", "a\\\"b", "\\\\\"\"\\", "t\tab", "ü ñ", ">", "a\\\\b c"}) {
        const Args split = SplitCommandLine("prog " + QuoteArgument(argument));
        ASSERT_EQ(split.size(), 2u) << argument;
        EXPECT_EQ(split[1], argument);
    }
}

TEST(WindowsCommandLine, ArgumentsAreQuotedAndABatchRunIsOneCommandForCmd)
{
    EXPECT_EQ(WindowsCommandLine({"C:\\bin\\tool.exe", "a", "b c", "say \"hi\"", ""}),
              "C:\\bin\\tool.exe a \"b c\" \"say \\\"hi\\\"\" \"\"");
    EXPECT_EQ(WindowsCommandLine({"C:\\Program Files\\x.exe"}), "\"C:\\Program Files\\x.exe\"");
    // The batch run: the file in quotes inside the outer pair that /s strips, whatever it holds.
    EXPECT_EQ(WindowsCommandLine({"C:\\Windows\\system32\\cmd.exe", "/d", "/s", "/c", "C:\\my files&co\\Temp.bat"}),
              "C:\\Windows\\system32\\cmd.exe /d /s /c \"\"C:\\my files&co\\Temp.bat\"\"");
    EXPECT_EQ(WindowsCommandLine({"cmd.exe", "/d", "/s", "/c", "C:\\w\\Temp.bat"}),
              "cmd.exe /d /s /c \"\"C:\\w\\Temp.bat\"\"");
    // Any other line for cmd.exe is quoted like every program's.
    EXPECT_EQ(WindowsCommandLine({"cmd.exe", "/c", "echo", "a b"}), "cmd.exe /c echo \"a b\"");
    // Every argument comes back from SplitCommandLine as it went in.
    const Args argv = {"C:\\x\\p.exe", "a\\\\", "\\\"", "tab\there", "C:\\dir with space\\"};
    EXPECT_EQ(SplitCommandLine(WindowsCommandLine(argv)), argv);
}

}  // namespace
}  // namespace brevok
