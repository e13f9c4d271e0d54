// Names in any characters on Windows: every file service hands them to the system intact, as
// the system's own wide calls see them, and the program's text converts exactly or not at all.
#include "platform/command_line.h"
#include "platform/current_folder.h"
#include "platform/file_lock.h"
#include "platform/files.h"
#include "platform/process.h"
#include "platform/read_only_file.h"
#include "platform/system_text.h"
#include "platform/temp_files.h"
#include "platform/wide_text.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <fstream>

namespace brevok {
namespace {

using testing::ScratchFolder;

struct Name {
    const char* utf8;
    const wchar_t* wide;
};

// Latin-1, Cyrillic, CJK and a character beyond the 16-bit plane (a surrogate pair).
constexpr Name kNames[] = {
    {"d\xc3\xa4t\xc3\xa4", L"d\u00e4t\u00e4"},
    {"\xd0\xb4\xd0\xb0\xd0\xbd\xd0\xbd\xd1\x8b\xd0\xb5", L"\u0434\u0430\u043d\u043d\u044b\u0435"},
    {"\xe6\x95\xb0\xe6\x8d\xae", L"\u6570\u636e"},
    {"\xf0\x9f\x93\xa6", L"\U0001F4E6"},
};

/// True when the system itself finds a file or folder by the wide name.
bool SystemFinds(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

TEST(WideNames, EveryFileServiceTakesNamesInAnyCharacters)
{
    const ScratchFolder dir;
    const std::wstring wideDir = WideText(dir.Path());
    for (const Name& name : kNames) {
        SCOPED_TRACE(name.utf8);
        const std::string folder = dir / name.utf8;
        const std::string file = folder + "\\" + name.utf8 + ".rc";
        const std::wstring wideFile = wideDir + L"\\" + name.wide + L"\\" + name.wide + L".rc";
        ASSERT_TRUE(CreateFolders(folder));
        EXPECT_TRUE(FolderExists(folder));

        WriteFileAtomically(file, "saved");
        EXPECT_TRUE(SystemFinds(wideFile));
        EXPECT_TRUE(FileExists(file));
        EXPECT_EQ(ReadFileBytes(file), "saved");
        EXPECT_EQ(FolderEntryNames(folder), std::vector<std::string>{std::string(name.utf8) + ".rc"});
        EXPECT_EQ(ReadOnlyFile(file).ReadAt(0, 5), "saved");
        EXPECT_TRUE(std::ifstream(SystemPath(file)).good());

        {
            TempOutput output(file);
            ASSERT_FALSE(output.Path().empty());
            std::ofstream(SystemPath(output.Path()), std::ios::binary) << "replaced";
            EXPECT_TRUE(output.Commit());
        }
        EXPECT_EQ(ReadFileBytes(file), "replaced");

        const std::string captured = folder + "\\" + name.utf8 + ".txt";
        const OutputFile out = OpenOutputFile(captured, false);
        ASSERT_GE(out.fd, 0);
        EXPECT_TRUE(WriteAllTo(out.fd, "captured"));
        EXPECT_TRUE(CloseDescriptor(out.fd));
        EXPECT_EQ(ReadFileBytes(captured), "captured");

        {
            const FileLock lock(folder + "\\" + name.utf8 + ".lock");
            EXPECT_TRUE(lock.Held());
        }
        {
            CurrentFolderChange change;
            ASSERT_TRUE(change.Enter(folder));
            EXPECT_EQ(CurrentFolder(), folder);
        }

        // A program in the folder starts by its path.
        const std::string program = folder + "\\" + name.utf8 + ".exe";
        ASSERT_TRUE(CopyFileW(WideText(ProgramFolder() + "test_child.exe").c_str(), WideText(program).c_str(), FALSE));
        EXPECT_EQ(RunAndCapture({program, "exit", "7"}).exitCode, 7);

        DeleteFileQuietly(file);
        EXPECT_FALSE(SystemFinds(wideFile));
    }
}

TEST(WideNames, EnvironmentValuesKeepEveryCharacter)
{
    for (const Name& name : kNames) {
        ASSERT_TRUE(SetEnvironmentValue("BREVOK_TEST_NAME", name.utf8));
        EXPECT_EQ(EnvironmentValue("BREVOK_TEST_NAME"), std::string(name.utf8));
        // The system's own block holds the same characters.
        wchar_t value[64] = {};
        ASSERT_GT(GetEnvironmentVariableW(L"BREVOK_TEST_NAME", value, 64), 0u);
        EXPECT_EQ(std::wstring(value), name.wide);
    }
    EXPECT_EQ(EnvironmentValue("BREVOK_TEST_UNSET_NAME"), std::nullopt);
}

TEST(WideNames, TextConvertsExactlyOrNotAtAll)
{
    struct Row {
        unsigned codePage;
        const wchar_t* wide;
        std::optional<std::string> exact;
    };
    const Row rows[] = {
        {CP_UTF8, L"d\u00e4t\u00e4", "d\xc3\xa4t\xc3\xa4"},
        {CP_UTF8, L"\U0001F4E6", "\xf0\x9f\x93\xa6"},
        {CP_UTF8, L"a\xD800", std::nullopt},             // a lone surrogate names nothing
        {1252, L"d\u00e4t\u00e4", "d\xe4t\xe4"},
        {1252, L"\u0434\u0430", std::nullopt},          // Cyrillic is not in 1252
        {1252, L"\u0101", std::nullopt},                // no lookalike: a with macron is not "a"
        {1252, L"a?b", "a?b"},
        {1251, L"\u0434\u0430", "\xe4\xe0"},
    };
    const unsigned before = ProgramCodePage();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.codePage);
        SetProgramCodePage(row.codePage);
        EXPECT_EQ(ExactProgramText(row.wide), row.exact);
        if (row.exact)
            EXPECT_EQ(WideText(*row.exact), row.wide);
    }
    SetProgramCodePage(before);
}

}  // namespace
}  // namespace brevok
