// Whole-file reads and atomic saves: a save that fails at any step leaves the old file as it was.
#include "platform/files.h"

#include "rules/errors.h"
#include "rules/paths.h"
#include "platform/read_only_file.h"
#include "platform/temp_files.h"
#include "support/save_faults.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>

using namespace brevok;
using brevok::testing::ErrorText;
using brevok::testing::FaultyWriteLayer;
using brevok::testing::NamesIn;
using brevok::testing::ScratchFolder;

TEST(AtomicSave, EveryFailingStepKeepsTheOldFileAndRemovesTheTemporaryOne)
{
    const ScratchFolder dir;
    const std::string old = "old contents\r\n";
    const std::string big(3 * 1024 * 1024 + 17, 'x');  // several buffer flushes
    struct Case {
        FaultyWriteLayer::Step step;
        int writesBeforeFault;
        std::string expected;
    };
    const std::string path = dir / "script.rc";
    const std::vector<Case> cases = {
        {FaultyWriteLayer::Step::Write, 0, "Stream write error"},
        {FaultyWriteLayer::Step::Write, 2, "Stream write error"},
        {FaultyWriteLayer::Step::Sync, 0, "Stream write error"},
        {FaultyWriteLayer::Step::Rename, 0, "Cannot create file " + path},
    };
    for (const auto& c : cases) {
        dir.Write("script.rc", old);
        const FaultyWriteLayer layer(c.step, c.writesBeforeFault);
        EXPECT_EQ(ErrorText([&] {
                      AtomicFileWriter writer(path, layer);
                      for (int i = 0; i < 4; ++i)
                          writer.Write(big);
                      writer.Commit();
                  }),
                  c.expected);
        EXPECT_EQ(ReadFileBytes(path), old);
        EXPECT_EQ(NamesIn(dir.Path()), std::vector<std::string>{"script.rc"});
    }
    // Abandoned without Commit: nothing happens to the target.
    {
        AtomicFileWriter writer(path);
        writer.Write("new");
    }
    EXPECT_EQ(ReadFileBytes(path), old);
    EXPECT_EQ(NamesIn(dir.Path()), std::vector<std::string>{"script.rc"});

    WriteFileAtomically(path, big + big);
    EXPECT_EQ(ReadFileBytes(path), big + big);
    EXPECT_EQ(NamesIn(dir.Path()), std::vector<std::string>{"script.rc"});
}

TEST(FileReads, WholeAndInPieces)
{
    const ScratchFolder dir;
    const std::string missing = dir / "missing.rc";
    EXPECT_EQ(ErrorText([&] { ReadFileBytes(missing); }), "Cannot open file " + missing);
    EXPECT_EQ(ErrorText([&] { ReadFileBytes(dir.Path()); }), "Cannot open file " + dir.Path());
    EXPECT_EQ(ErrorText([&] { ReadFileInPieces(missing, [](std::string_view) { return true; }); }),
              "Cannot open file " + missing);
    EXPECT_EQ(ErrorText([&] { ReadFileInPieces(dir.Path(), [](std::string_view) { return true; }); }),
              "Cannot open file " + dir.Path());

    const std::string bytes = std::string("a\0b\r\n\xff", 6) + std::string(100, 'z');
    const std::string path = dir.Write("data.bin", bytes);
    EXPECT_EQ(ReadFileBytes(path), bytes);
    std::string joined;
    int pieces = 0;
    ReadFileInPieces(
        path,
        [&](std::string_view piece) {
            EXPECT_LE(piece.size(), 7u);
            joined.append(piece);
            return ++pieces < 3;  // stop after the third piece
        },
        7);
    EXPECT_EQ(pieces, 3);
    EXPECT_EQ(joined, bytes.substr(0, 21));
}

TEST(Folders, CreatedWithTheirParentsListedAndToldMissing)
{
    const ScratchFolder dir;
    const std::string deep = dir / "x" + FolderSeparator() + "y" + FolderSeparator() + "z";
    EXPECT_TRUE(CreateFolders(deep));
    EXPECT_TRUE(FolderExists(deep));
    EXPECT_TRUE(CreateFolders(deep));  // already there
    dir.Write("b.txt", "");
    std::vector<std::string> names = FolderEntryNames(dir.Path());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"b.txt", "x"}));
    EXPECT_EQ(FolderEntryNames(dir / "nothing"), std::vector<std::string>{});
    EXPECT_TRUE(PathMissing(dir / "nothing"));
    EXPECT_FALSE(PathMissing(dir / "b.txt"));
    EXPECT_FALSE(CreateFolders(dir / "b.txt" + FolderSeparator() + "under a file"));
}

TEST(ReadOnlyFile, ReadsAtAnyOffsetWithinTheFileOnly)
{
    const ScratchFolder dir;
    const std::string path = dir.Write("data.bin", std::string("0123456789\0\xff", 12));
    const ReadOnlyFile file(path);
    ASSERT_TRUE(file.isOpen());
    EXPECT_EQ(file.size(), 12u);
    EXPECT_EQ(file.ReadAt(0, 3), "012");
    EXPECT_EQ(file.ReadAt(9, 3), std::string("9\0\xff", 3));
    EXPECT_EQ(file.ReadAt(12, 0), "");
    EXPECT_EQ(file.ReadAt(11, 2), std::nullopt);
    EXPECT_EQ(file.ReadAt(13, 0), std::nullopt);
    EXPECT_FALSE(ReadOnlyFile(dir / "missing.bin").isOpen());
    EXPECT_FALSE(ReadOnlyFile(dir.Path()).isOpen());  // a folder is no regular file
}

TEST(TemporaryFiles, AFolderThatGoesWithItsFilesAndAnOutputRenamedIntoPlace)
{
    std::string folderPath;
    std::string inside;
    {
        TempFolder temp;
        ASSERT_TRUE(temp.Valid());
        folderPath = temp.Path();
        EXPECT_TRUE(FolderExists(folderPath));
        inside = temp.File("part.rc");
        EXPECT_EQ(inside, folderPath + FolderSeparator() + "part.rc");
        WriteFileAtomically(inside, "x");
    }
    EXPECT_FALSE(PathExists(inside));
    EXPECT_FALSE(PathExists(folderPath));

    const ScratchFolder dir;
    const std::string target = dir.Write("app.res", "old");
    {
        // Not committed: the target stays as it was and the new file goes.
        TempOutput output(target);
        ASSERT_FALSE(output.Path().empty());
        EXPECT_EQ(FolderPart(output.Path()), FolderPart(target));
    }
    EXPECT_EQ(NamesIn(dir.Path()), std::vector<std::string>{"app.res"});
    TempOutput output(target);
    WriteFileAtomically(output.Path(), "new");
    EXPECT_TRUE(output.Commit());
    EXPECT_EQ(ReadFileBytes(target), "new");
    EXPECT_EQ(NamesIn(dir.Path()), std::vector<std::string>{"app.res"});
    EXPECT_TRUE(TempOutput(dir / "no folder" + FolderSeparator() + "x.res").Path().empty());
}

TEST(OutputFiles, OpenedEmptiedOrAppendedToAndWrittenAsTheBytesAre)
{
    const ScratchFolder dir;
    const struct {
        bool exists;
        bool append;
        std::string expected;
    } cases[] = {
        {false, false, "one\ntwo\r\n"},
        {false, true, "one\ntwo\r\n"},
        {true, false, "one\ntwo\r\n"},
        {true, true, "old\none\ntwo\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "exists " << c.exists << ", append " << c.append);
        const std::string path = dir / "out.txt";
        DeleteFileQuietly(path);
        if (c.exists)
            dir.Write("out.txt", "old\n");
        const OutputFile output = OpenOutputFile(path, c.append);
        ASSERT_GE(output.fd, 0) << output.error;
        EXPECT_TRUE(WriteAllTo(output.fd, "one\n"));
        EXPECT_TRUE(WriteAllTo(output.fd, "two\r\n"));
        EXPECT_TRUE(CloseDescriptor(output.fd));
        EXPECT_EQ(ReadFileBytes(path), c.expected);
    }
    const OutputFile missing = OpenOutputFile(dir / "no folder/out.txt", false);
    EXPECT_LT(missing.fd, 0);
    EXPECT_EQ(missing.error, ENOENT);
}
