// The tools' output (UTF-8) as the window shows it in its code page.
#include "platform/wide_text.h"

#include <gtest/gtest.h>

namespace brevok {
namespace {

TEST(ToolOutputText, WellFormedUtf8IsShownInTheCodePage)
{
    const struct {
        const char* what;
        std::string line;
        unsigned codePage;
        std::string shown;
    } cases[] = {
        {"UTF-8 stays", "C:\\d\xC3\xA4t\xC3\xA4.bin", 65001, "C:\\d\xC3\xA4t\xC3\xA4.bin"},
        {"Latin-1 in 1252", "C:\\d\xC3\xA4t\xC3\xA4.bin(1): error", 1252, "C:\\d\xE4t\xE4.bin(1): error"},
        {"Cyrillic in 1251", "\xD0\xBF\xD1\x80\xD0\xBE\xD0\xB5\xD0\xBA\xD1\x82", 1251, "\xEF\xF0\xEE\xE5\xEA\xF2"},
        {"Cyrillic in 1252: a '?' each", "\xD0\xBF\xD1\x80\xD0\xBE\\a.rc", 1252, "???\\a.rc"},
        {"CJK in 1252", "hdr_\xE6\x95\xB0.h", 1252, "hdr_?.h"},
        // 1252 would write 'a' for it by best fit: another letter, not the one the tool wrote.
        {"no lookalike", "\xC4\x81", 1252, "?"},
        {"not UTF-8: as it is", "d\xE4t\xE4", 1252, "d\xE4t\xE4"},
        {"ASCII", "warning: x", 1252, "warning: x"},
        {"empty", "", 1252, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ToolOutputText(c.line, c.codePage), c.shown) << c.what;
}

}  // namespace
}  // namespace brevok
