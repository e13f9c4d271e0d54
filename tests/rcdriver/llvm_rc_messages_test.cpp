// llvm-rc's output read into messages: statement errors placed at their statement, parse
// errors where the caller finds them, anything else passed on.
#include "rcdriver/llvm_rc_messages.h"

#include <gtest/gtest.h>

namespace brevok {
namespace {

TEST(ReadLlvmRcMessages, PlacesStatementAndParseErrorsAndPassesTheRestOn)
{
    const std::vector<std::string> text = {"// head", "Logo BITMAP \"logo.bmp\"", "\"My Data\" RCDATA \"d.bin\"",
                                           "7 2 3"};
    const struct {
        std::string output;
        std::vector<LlvmRcMessage> messages;
    } cases[] = {
        {"", {}},
        {"llvm-rc: Error in BITMAP statement (ID Logo): \nerror : file not found : logo.bmp\n",
         {{true, 1, "error: BITMAP statement (ID Logo): file not found : logo.bmp"}}},
        // llvm-rc names RCDATA by its number; a reason without "error : " stays whole.
        {"llvm-rc: Error in 10 statement (ID MY DATA):\r\nbad\r\n",
         {{true, 2, "error: 10 statement (ID MY DATA): bad"}}},
        {"llvm-rc: Error in ICON statement (ID Gone):", {{true, std::nullopt, "error: ICON statement (ID Gone): "}}},
        {"llvm-rc: Error parsing file: expected '{', got 3\n", {{true, 3, "error: expected '{', got 3"}}},
        {"\nllvm-rc: warning: x\n\nsomething else\n",
         {{false, std::nullopt, "warning: x"}, {false, std::nullopt, "something else"}}},
        {"llvm-rc: Error in statement (ID x):\n", {{false, std::nullopt, "Error in statement (ID x):"}}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> asked;
        const auto locate = [&](const std::string& message) -> std::optional<std::size_t> {
            asked.push_back(message);
            return 3;
        };
        const std::vector<LlvmRcMessage> messages = ReadLlvmRcMessages(c.output, text, locate);
        ASSERT_EQ(messages.size(), c.messages.size()) << c.output;
        for (std::size_t i = 0; i < messages.size(); ++i) {
            EXPECT_EQ(messages[i].aboutText, c.messages[i].aboutText) << c.output;
            EXPECT_EQ(messages[i].line, c.messages[i].line) << c.output;
            EXPECT_EQ(messages[i].text, c.messages[i].text) << c.output;
        }
        EXPECT_EQ(asked.size(), c.output.find("Error parsing") != std::string::npos ? 1u : 0u) << c.output;
    }
}

TEST(Diagnostic, NamesTheLineWhenKnown)
{
    EXPECT_EQ(Diagnostic("/a/app.rc", 12, "error: x"), "/a/app.rc(12): error: x");
    EXPECT_EQ(Diagnostic("/a/app.rc", 0, "error: x"), "/a/app.rc: error: x");
}

}  // namespace
}  // namespace brevok
