// The line splitter: both line-break rules, NUL handling, and pieces cut anywhere.
#include "rules/text_lines.h"

#include <gtest/gtest.h>

namespace brevok {
namespace {

struct SplitCase {
    std::string bytes;
    LineBreaks breaks;
    NulByte nul;
    std::vector<std::string> lines;
};

TEST(LineSplitter, SplitsByItsRulesWhereverThePiecesAreCut)
{
    using std::string_literals::operator""s;
    const SplitCase cases[] = {
        {"", LineBreaks::Any, NulByte::Ordinary, {}},
        {"a\r\nb\rc\nd", LineBreaks::Any, NulByte::Ordinary, {"a", "b", "c", "d"}},
        {"a\n\r", LineBreaks::Any, NulByte::Ordinary, {"a", ""}},
        {"a\r\n\r\n", LineBreaks::Any, NulByte::Ordinary, {"a", ""}},
        {"a\0b\nc"s, LineBreaks::Any, NulByte::Ordinary, {"a\0b"s, "c"}},
        {"a\0b\nc"s, LineBreaks::Any, NulByte::EndsText, {"a"}},
        {"a\r\nb\rc\nd\r", LineBreaks::LineFeed, NulByte::Ordinary, {"a", "b\rc", "d"}},
        {"x\r\r\n\n", LineBreaks::LineFeed, NulByte::Ordinary, {"x\r", ""}},
        {"\r", LineBreaks::LineFeed, NulByte::Ordinary, {}},
        {"\r\r", LineBreaks::LineFeed, NulByte::Ordinary, {"\r"}},
    };
    for (const SplitCase& c : cases) {
        const std::string where = ::testing::PrintToString(c.bytes);
        EXPECT_EQ(SplitLines(c.bytes, c.breaks, c.nul), c.lines) << where;
        for (std::size_t cut = 0; cut <= c.bytes.size(); ++cut) {
            LineSplitter splitter(c.breaks, c.nul);
            const std::string_view bytes = c.bytes;
            if (splitter.Feed(bytes.substr(0, cut)))
                splitter.Feed(bytes.substr(cut));
            EXPECT_EQ(splitter.Finish(), c.lines) << where << " cut at " << cut;
        }
    }
}

}  // namespace
}  // namespace brevok
