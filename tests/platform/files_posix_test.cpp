// Atomic saves on POSIX: permissions, symbolic links, folders that refuse the temporary file.
#include "platform/files.h"

#include "rules/errors.h"
#include "support/save_faults.h"
#include "support/scratch_folder.h"
#include "support/unprivileged.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

using namespace brevok;
using brevok::testing::ErrorText;
using brevok::testing::NamesIn;
using brevok::testing::ScratchFolder;
using brevok::testing::UnprivilegedScope;

namespace {

mode_t ModeOf(const std::string& path)
{
    struct stat st { };
    stat(path.c_str(), &st);
    return st.st_mode & 07777;
}

}  // namespace

TEST(AtomicSave, PlacesThatCannotHoldTheFileAreRefusedAndLockedFoldersRewriteInPlace)
{
    const ScratchFolder dir;
    const std::string missing = dir / "no such folder/a.rc";
    EXPECT_EQ(ErrorText([&] { WriteFileAtomically(missing, "x"); }), "Cannot create file " + missing);
    EXPECT_EQ(ErrorText([&] { WriteFileAtomically(dir.Path(), "x"); }), "Cannot create file " + dir.Path());
    EXPECT_EQ(ErrorText([&] { WriteFileAtomically("", "x"); }), "Cannot create file ");

    // A read-only file in a writable folder, and a file in a read-only folder.
    const ScratchFolder open;
    UnprivilegedScope::OpenForEveryone(open.Path());
    const std::string readOnly = open.Write("ro.rc", "keep");
    chmod(readOnly.c_str(), 0444);
    chmod(open.Path().c_str(), 0777);
    const ScratchFolder locked;
    const std::string inLocked = locked.Write("a.rc", "keep");
    chmod(inLocked.c_str(), 0666);
    chmod(locked.Path().c_str(), 0555);
    {
        const UnprivilegedScope nobody;
        ASSERT_TRUE(nobody.Ok());
        EXPECT_EQ(ErrorText([&] { WriteFileAtomically(readOnly, "x"); }), "Cannot create file " + readOnly);
        // A writable file in a folder that refuses new files is rewritten in place; a new
        // file there cannot be made.
        EXPECT_EQ(ErrorText([&] { WriteFileAtomically(inLocked, "rewritten"); }), "(no error)");
        EXPECT_EQ(ErrorText([&] { WriteFileAtomically(locked / "new.rc", "x"); }),
                  "Cannot create file " + (locked / "new.rc"));
    }
    EXPECT_EQ(ReadFileBytes(readOnly), "keep");
    EXPECT_EQ(NamesIn(open.Path()), std::vector<std::string>{"ro.rc"});
    chmod(locked.Path().c_str(), 0755);
    EXPECT_EQ(ReadFileBytes(inLocked), "rewritten");
    EXPECT_EQ(NamesIn(locked.Path()), std::vector<std::string>{"a.rc"});
}

TEST(AtomicSave, KeepsPermissionsAndFollowsSymbolicLinks)
{
    const ScratchFolder dir;
    const std::string target = dir.Write("real/script.rc", "old");
    chmod(target.c_str(), 0640);
    // A relative link to a relative link to the file.
    ASSERT_EQ(symlink("real/script.rc", (dir / "hop.rc").c_str()), 0);
    ASSERT_EQ(symlink("hop.rc", (dir / "link.rc").c_str()), 0);
    WriteFileAtomically(dir / "link.rc", "new");
    EXPECT_EQ(ReadFileBytes(target), "new");
    EXPECT_EQ(ModeOf(target), 0640u);
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.rc"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "hop.rc"));
    EXPECT_EQ(NamesIn(dir / "real"), std::vector<std::string>{"script.rc"});

    // A new file gets the usual permissions (0666 less the umask).
    const mode_t mask = umask(022);
    WriteFileAtomically(dir / "fresh.rc", "");
    umask(mask);
    EXPECT_EQ(ModeOf(dir / "fresh.rc"), 0644u);
    EXPECT_EQ(ReadFileBytes(dir / "fresh.rc"), "");
}

TEST(OutputFiles, AreNotInheritedAndGetTheUsualPermissions)
{
    const ScratchFolder dir;
    const mode_t mask = umask(022);
    const OutputFile output = OpenOutputFile(dir / "out.txt", false);
    umask(mask);
    ASSERT_GE(output.fd, 0);
    EXPECT_NE(fcntl(output.fd, F_GETFD) & FD_CLOEXEC, 0);
    EXPECT_EQ(ModeOf(dir / "out.txt"), 0644u);
    EXPECT_TRUE(CloseDescriptor(output.fd));
}
