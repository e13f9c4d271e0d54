// What each runner reports of a run, on every system: the file runner's texts and the command
// runner's codes.
#include "platform/process.h"

#include <gtest/gtest.h>

namespace brevok {
namespace {

TEST(RunOutcome, EachEndHasItsTextAndItsCode)
{
    using Kind = RunOutcome::Kind;
    struct Row {
        RunOutcome outcome;
        bool ok;
        std::string text;
        std::uint32_t code;
    };
    const Row rows[] = {
        {{Kind::Ended, 0, "brcc32 a.rc"}, true, "OK", 0},
        // A wait that failed is no failure of the run for the file runner; the command runner says so.
        {{Kind::WaitFailed, 0, "x"}, true, "OK", 0xFFFFFFFFu},
        {{Kind::FileMissing, 0, " Temp.bat"}, false, "Process file does not exist", 2},
        {{Kind::StartFailed, 193, "data.txt "}, false, "Createproccess failed data.txt  Error: 193", 193},
        {{Kind::TimedOut, 0, " Temp.bat"}, false, "Timeout has occured in waiting for result from compiler.", 258},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(row.outcome.Ok(), row.ok);
        EXPECT_EQ(row.outcome.Text(), row.text);
        EXPECT_EQ(row.outcome.Code(), row.code);
    }
}

}  // namespace
}  // namespace brevok
