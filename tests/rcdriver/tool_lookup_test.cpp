// Finding llvm-rc: the one named, on the search path, the highest versioned one; once a run.
#include "rcdriver/tool_lookup.h"

#include "platform/paths.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

namespace brevok {
namespace {

using testing::ScratchFolder;

TEST(LlvmRcLocator, TheNamedOneElseOnTheSearchPathElseTheHighestVersion)
{
    ScratchFolder plain;
    ScratchFolder versioned;
    ScratchFolder empty;
    const std::string bare = plain.WriteScript("llvm-rc", "");
    versioned.WriteScript("llvm-rc-9", "");
    const std::string highest = versioned.WriteScript("llvm-rc-15", "");
    versioned.WriteScript("llvm-rc-99x", "");
    versioned.Write("llvm-rc-20", "not runnable");
    const std::string s(1, kSearchPathSeparator);
    const struct {
        std::string chosen;
        std::string searchPath;
        std::string found;
    } cases[] = {
        {"/named/llvm-rc", plain.Path(), "/named/llvm-rc"},
        {"", empty.Path() + s + plain.Path() + s + versioned.Path(), bare},
        {"", versioned.Path() + s + plain.Path(), bare},
        {"", empty.Path() + s + versioned.Path(), highest},
        {"", empty.Path(), ""},
        {"", "", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LlvmRcLocator(c.chosen, c.searchPath).Path(), c.found) << c.chosen << " " << c.searchPath;
    EXPECT_EQ(LlvmRcLocator().Path(), "");
}

TEST(LlvmRcLocator, LooksOnceAndItsCopiesShareTheAnswer)
{
    ScratchFolder folder;
    const LlvmRcLocator locator("", folder.Path());
    const LlvmRcLocator copy = locator;
    EXPECT_EQ(locator.Path(), "");
    folder.WriteScript("llvm-rc", "");
    EXPECT_EQ(locator.Path(), "");
    EXPECT_EQ(copy.Path(), "");
    EXPECT_EQ(LlvmRcLocator("", folder.Path()).Path(), folder / "llvm-rc");
}

}  // namespace
}  // namespace brevok
