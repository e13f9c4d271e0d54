// The generic error report: the full-stop rule and what reaches the box.
#include "workbench/error_report.h"

#include "rules/errors.h"
#include "support/fake_dialogs.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace brevok::testing {
namespace {

TEST(ErrorReportTest, FullStopFollowsTheLastCharacter)
{
    EXPECT_EQ(WithFullStop("Cannot open file C:\\x.rc"), "Cannot open file C:\\x.rc.");
    EXPECT_EQ(WithFullStop("Stream write error"), "Stream write error.");
    EXPECT_EQ(WithFullStop("Done."), "Done.");
    // Characters that sort before "." get none: quote, parenthesis, comma, hyphen.
    EXPECT_EQ(WithFullStop("Invalid data type for 'Count'"), "Invalid data type for 'Count'");
    EXPECT_EQ(WithFullStop("(see above)"), "(see above)");
    EXPECT_EQ(WithFullStop("a,"), "a,");
    EXPECT_EQ(WithFullStop("a-"), "a-");
    // A separator or a digit sorts after it.
    EXPECT_EQ(WithFullStop("/tmp/"), "/tmp/.");
    EXPECT_EQ(WithFullStop("code 5"), "code 5.");
    // Bytes of a non-ASCII character compare as unsigned.
    EXPECT_EQ(WithFullStop("caf\xc3\xa9"), "caf\xc3\xa9.");
    EXPECT_EQ(WithFullStop(""), "");
}

TEST(ErrorReportTest, FailuresLeavingACommandReachOneStopBox)
{
    FakeDialogs dialogs;
    dialogs.AnswerBox(BoxAnswer::Ok);
    dialogs.AnswerBox(BoxAnswer::Ok);
    int stepsDone = 0;
    EXPECT_FALSE(RunReported(dialogs, [&] {
        ++stepsDone;
        throw Error("Cannot create file /x/a.rc");
        ++stepsDone;
    }));
    EXPECT_FALSE(RunReported(dialogs, [] { throw std::out_of_range("index 7"); }));
    EXPECT_TRUE(RunReported(dialogs, [&] { ++stepsDone; }));

    EXPECT_EQ(stepsDone, 2);
    ASSERT_EQ(dialogs.boxes.size(), 2u);
    EXPECT_EQ(dialogs.boxes[0].kind, BoxKind::Stop);
    EXPECT_EQ(dialogs.boxes[0].buttons, BoxButtons::Ok);
    EXPECT_EQ(dialogs.boxes[0].text, "Cannot create file /x/a.rc.");
    EXPECT_EQ(dialogs.boxes[1].text, "index 7.");
}

}  // namespace
}  // namespace brevok::testing
