// The tool-output contract: the banner, splitting a capture, dropping the banner, and the
// notices a runner adds to a capture so that a failure is read after the banner.
#include "tooloutput/tool_output.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace brevok {
namespace {

using std::string_literals::operator""s;

TEST(BannerLines, NameVersionCopyrightAndAnEmptyLine)
{
    const std::vector<std::string> banner = BannerLines("brc32");
    ASSERT_EQ(banner.size(), 3u);
    EXPECT_EQ(banner[0].rfind("brc32 Version " + std::string(ToolsVersion()), 0), 0u) << banner[0];
    EXPECT_NE(banner[1].find("Copyright"), std::string::npos);
    EXPECT_EQ(banner[2], "");
}

TEST(SplitMessageLines, EndsALineAtCrLfALoneCrOrALoneLf)
{
    const struct {
        std::string bytes;
        std::vector<std::string> lines;
    } cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"\n", {""}},
        {"a\r\nb\rc\nd", {"a", "b", "c", "d"}},
        {"a\n\r", {"a", ""}},  // LF CR: two line ends
        {"a\r\n\r\n", {"a", ""}},
        {"a\r", {"a"}},
        {"a\r\r\n", {"a", ""}},
        {"a\0b\nc\0"s, {"a\0b"s, "c\0"s}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SplitMessageLines(c.bytes), c.lines) << ::testing::PrintToString(c.bytes);
}

TEST(DropBannerLines, CountsTheLinesAfterTheBannerButAFinalEmptyOne)
{
    const struct {
        std::vector<std::string> lines;
        std::size_t count;
        std::vector<std::string> left;
    } cases[] = {
        {{}, 0, {}},
        {{"b", "c"}, 0, {}},
        {{"b", "c", ""}, 0, {}},
        {{"b", "c", "", ""}, 0, {}},
        {{"b", "c", "", "x"}, 1, {"x"}},
        {{"b", "c", "", "x", ""}, 1, {"x", ""}},
        {{"b", "c", "", "", ""}, 1, {"", ""}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> lines = c.lines;
        EXPECT_EQ(DropBannerLines(lines), c.count) << ::testing::PrintToString(c.lines);
        EXPECT_EQ(lines, c.left) << ::testing::PrintToString(c.lines);
    }
}

TEST(FailureNotices, AreReadAfterTheBannerAReaderDrops)
{
    const std::string start = StartFailureNotice("brevdos", "brevdos: cannot start x: gone\n");
    EXPECT_EQ(start, "brevdos Version " + std::string(ToolsVersion()) + "\nCopyright (c) Halvane. All rights reserved.\n\n" +
                         "brevdos: cannot start x: gone\n");
    std::vector<std::string> lines = SplitMessageLines(start);
    EXPECT_EQ(DropBannerLines(lines), 1u);
    EXPECT_EQ(lines.front(), "brevdos: cannot start x: gone");

    const struct {
        std::string output;
        std::optional<std::string> notice;
    } cases[] = {
        {"", "\r\n\r\n\r\nfailed\n"},
        {"one", "\r\n\r\n\r\nfailed\n"},
        {"one\n", "\r\n\r\nfailed\n"},
        {"one\r\ntwo\r", "\r\nfailed\n"},
        {"a\nb\n\n", "failed\n"},
        {"a\nb\n\n\n", "failed\n"},
        {"a\nb\nc", "\r\nfailed\n"},
        {"a\nb\n\nx", std::nullopt},
        {"a\nb\n\n\n\n", std::nullopt},
    };
    for (const auto& c : cases) {
        const std::string where = ::testing::PrintToString(c.output);
        const std::optional<std::string> notice = SilentFailureNotice(c.output, "failed\n");
        EXPECT_EQ(notice, c.notice) << where;
        if (!notice)
            continue;
        std::vector<std::string> read = SplitMessageLines(c.output + *notice);
        EXPECT_GT(DropBannerLines(read), 0u) << where;
        EXPECT_EQ(read.back(), "failed") << where;
    }
}

}  // namespace
}  // namespace brevok
