// Atomic saves on Windows: the target's attributes are kept, a read-only file is refused.
#include "platform/files.h"

#include "rules/errors.h"
#include "support/save_faults.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <windows.h>

using namespace brevok;
using brevok::testing::ErrorText;
using brevok::testing::NamesIn;
using brevok::testing::ScratchFolder;

TEST(AtomicSave, KeepsTheAttributesAndRefusesReadOnlyFilesAndFolders)
{
    const ScratchFolder dir;
    const std::string hidden = dir.Write("hidden.rc", "old");
    ASSERT_TRUE(SetFileAttributesA(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
    WriteFileAtomically(hidden, "new");
    EXPECT_EQ(ReadFileBytes(hidden), "new");
    EXPECT_NE(GetFileAttributesA(hidden.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);

    const std::string readOnly = dir.Write("read-only.rc", "kept");
    ASSERT_TRUE(SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(ErrorText([&] { WriteFileAtomically(readOnly, "x"); }), "Cannot create file " + readOnly);
    EXPECT_EQ(ReadFileBytes(readOnly), "kept");
    SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL);

    const std::string missing = dir / "no folder\\x.rc";
    EXPECT_EQ(ErrorText([&] { WriteFileAtomically(missing, "x"); }), "Cannot create file " + missing);
    EXPECT_EQ(ErrorText([&] { WriteFileAtomically(dir.Path(), "x"); }), "Cannot create file " + dir.Path());
    // No temporary file is left behind by any of them.
    EXPECT_EQ(NamesIn(dir.Path()), (std::vector<std::string>{"hidden.rc", "read-only.rc"}));
}

TEST(FileReads, DevicesAndFoldersAreRefused)
{
    const ScratchFolder dir;
    EXPECT_EQ(ErrorText([] { ReadFileBytes("NUL"); }), "Cannot open file NUL");
    EXPECT_EQ(ErrorText([&] { ReadFileBytes(dir.Path()); }), "Cannot open file " + dir.Path());
    EXPECT_EQ(ErrorText([] { ReadFileInPieces("NUL", [](std::string_view) { return true; }); }),
              "Cannot open file NUL");
}
