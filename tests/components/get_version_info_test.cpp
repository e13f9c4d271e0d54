// TGetVersionInfoFromFile over real PE files built by llvm-rc, clang and lld-link, over ELF
// files carrying a .res image, and over the test program's own version resource.
#include "components/get_version_info.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include "components/version_blocks.h"
#include "components/version_files.h"
#include "platform/self_path.h"
#include "support/pe_fixtures.h"

namespace brevok {
namespace {

using fixtures::BuildPe;
using fixtures::FixtureDir;
using version_fixtures::EightKeys;
using version_fixtures::KeyValues;
using version_fixtures::UkScript;
using version_fixtures::VersionScript;
using Strings = std::vector<std::string>;

struct Lists {
    Strings categories;
    Strings strings;
    friend bool operator==(const Lists&, const Lists&) = default;
};

void PrintTo(const Lists& lists, std::ostream* out) {
    for (std::size_t i = 0; i < lists.categories.size(); ++i)
        *out << lists.categories[i] << "=" << (i < lists.strings.size() ? lists.strings[i] : "?") << "; ";
}

Lists Split(const KeyValues& values) {
    Lists lists;
    for (const auto& [key, value] : values) {
        lists.categories.push_back(key);
        lists.strings.push_back(value);
    }
    return lists;
}

Lists Read(const std::string& path) {
    TGetVersionInfoFromFile reader;
    reader.setFileName(path);
    EXPECT_EQ(reader.fileName(), path);
    return {reader.VersionCategories(), reader.VersionStrings()};
}

KeyValues Without(KeyValues values, const std::string& key) {
    std::erase_if(values, [&](const auto& kv) { return kv.first == key; });
    return values;
}

TEST(GetVersionInfo, ReadsAllEightKeysInTableOrder) {
    FixtureDir dir;
    // The file lists the keys in another order, with an extra key between them.
    KeyValues shuffled = EightKeys();
    std::reverse(shuffled.begin(), shuffled.end());
    shuffled.insert(shuffled.begin() + 3, {"Comments", "not read"});
    EXPECT_EQ(Read(BuildPe(dir.path(), "all", UkScript(shuffled))), Split(EightKeys()));

    // PE32 as well as PE32+.
    fixtures::PeBuildOptions x86;
    x86.arch = fixtures::PeArch::X86;
    EXPECT_EQ(Read(BuildPe(dir.path(), "all32", UkScript(EightKeys()), x86)), Split(EightKeys()));
}

TEST(GetVersionInfo, StopsAtTheFirstKeyTheTableLacks) {
    FixtureDir dir;
    const KeyValues all = EightKeys();
    const KeyValues firstFour(all.begin(), all.begin() + 4);
    EXPECT_EQ(Read(BuildPe(dir.path(), "nocopy", UkScript(Without(all, "LegalCopyright")))), Split(firstFour));
    EXPECT_EQ(Read(BuildPe(dir.path(), "nocompany", UkScript(Without(all, "CompanyName")))), Lists{});
}

TEST(GetVersionInfo, SkipsValuesOfLengthZero) {
    FixtureDir dir;
    // A writer that stores an empty value with length 0 (llvm-rc stores the terminator).
    version_fixtures::VersionNode root = version_fixtures::VersionInfo(
        {{u"080904E4", version_fixtures::EightStrings()}}, {{0x0809, 0x04E4}});
    root.children[0].children[0].children[0].value.clear();  // CompanyName
    const std::string script = version_fixtures::RawVersionScript(version_fixtures::Serialize(root));
    const Lists lists = Read(BuildPe(dir.path(), "emptycompany", script));
    ASSERT_GE(lists.strings.size(), 2u);
    EXPECT_EQ(lists.categories[0], "FileDescription");
    EXPECT_EQ(lists.categories[1], "FileVersion");
    EXPECT_EQ(lists.strings[1], "1.1.0.3");
    EXPECT_EQ(lists.strings.size(), 7u);

    // llvm-rc stores "" with length 1 (its terminator): that value is kept, empty.
    KeyValues values = EightKeys();
    values[0].second = "";
    EXPECT_EQ(Read(BuildPe(dir.path(), "rcempty", UkScript(values))), Split(values));
}

TEST(GetVersionInfo, ReadsOnlyTheFirstTranslation) {
    FixtureDir dir;
    const KeyValues second = {{"CompanyName", "Second"}, {"FileDescription", "second table"}};
    const std::string both = VersionScript({{"080904E4", EightKeys()}, {"040704B0", second}},
                                           "0x0809, 0x04E4, 0x0407, 0x04B0");
    EXPECT_EQ(Read(BuildPe(dir.path(), "first", both)), Split(EightKeys()));

    // The first pair's table lacks CompanyName: nothing is read, although the other has it.
    const std::string firstLacks = VersionScript(
        {{"080904E4", Without(EightKeys(), "CompanyName")}, {"040704B0", second}}, "0x0809, 0x04E4, 0x0407, 0x04B0");
    EXPECT_EQ(Read(BuildPe(dir.path(), "firstlacks", firstLacks)), Lists{});
}

TEST(GetVersionInfo, WritesTheQueryPathInUpperCaseHex) {
    EXPECT_EQ(StringQueryPath(0x0809, 0x04E4, "FileVersion"), "\\StringFileInfo\\080904E4\\FileVersion");
    EXPECT_EQ(StringQueryPath(0x0409, 0x04B0, "ProductName"), "\\StringFileInfo\\040904B0\\ProductName");
    EXPECT_EQ(StringQueryPath(0, 0xABCD, "X"), "\\StringFileInfo\\0000ABCD\\X");

    FixtureDir dir;
    // US English; the file's own table name in lower case still matches.
    EXPECT_EQ(Read(BuildPe(dir.path(), "us", VersionScript({{"040904e4", EightKeys()}}, "0x0409, 0x04E4"))),
              Split(EightKeys()));
    // The translation and the table name disagree: no string is found.
    EXPECT_EQ(Read(BuildPe(dir.path(), "mismatch", VersionScript({{"080904E4", EightKeys()}}, "0x0409, 0x04E4"))),
              Lists{});
}

TEST(GetVersionInfo, ReadsNothingFromFilesWithoutVersionInformation) {
    FixtureDir dir;
    const std::string noResources = BuildPe(dir.path(), "bare", "");
    const std::string otherResources = BuildPe(dir.path(), "other", "1 RCDATA { 1, 2, 3 }\n");
    const std::string noTranslation = BuildPe(dir.path(), "notrans", VersionScript({{"080904E4", EightKeys()}}, ""));
    const std::string text = dir / "readme.txt";
    fixtures::WriteFixtureFile(text, "MZ but not really a program\r\n");
    const std::string empty = dir / "empty.exe";
    fixtures::WriteFixtureFile(empty, "");
    for (const std::string& path : {noResources, otherResources, noTranslation, text, empty}) {
        EXPECT_EQ(Read(path), Lists{}) << path;  // Read checks that fileName keeps the name
    }
}

TEST(GetVersionInfo, ForgetsTheNameOfAMissingFileOrAFolder) {
    FixtureDir dir;
    const std::string program = BuildPe(dir.path(), "prog", UkScript(EightKeys()));
    TGetVersionInfoFromFile reader;
    EXPECT_EQ(reader.fileName(), "");
    EXPECT_TRUE(reader.VersionStrings().empty());

    reader.setFileName(program);
    ASSERT_EQ(reader.VersionStrings().size(), 8u);
    for (const std::string& missing : {dir / "missing.exe", dir.path(), std::string()}) {
        reader.setFileName(missing);
        EXPECT_EQ(reader.fileName(), "") << missing;
        EXPECT_TRUE(reader.VersionStrings().empty());
        EXPECT_TRUE(reader.VersionCategories().empty());
        reader.setFileName(program);
    }
}

TEST(GetVersionInfo, ChangesItsListsOnlyByReading) {
    FixtureDir dir;
    const std::string program = BuildPe(dir.path(), "prog", UkScript(EightKeys()));
    TGetVersionInfoFromFile reader;
    reader.setFileName(program);
    reader.setVersionStrings({"assigned"});
    reader.setVersionCategories({});
    EXPECT_EQ(reader.VersionStrings(), Split(EightKeys()).strings);
    EXPECT_EQ(reader.VersionCategories(), Split(EightKeys()).categories);

    // Contents changed in place (as a form loading its stored lists does) are discarded by
    // the next assignment, also of the same name, which reads the file again.
    reader.VersionStrings().push_back("stored");
    reader.VersionCategories().clear();
    reader.setFileName(program);
    EXPECT_EQ(reader.VersionStrings(), Split(EightKeys()).strings);
    EXPECT_EQ(reader.VersionCategories(), Split(EightKeys()).categories);
}

TEST(GetVersionInfo, TakesLongNamesAndValuesWhole) {
    FixtureDir dir;
    KeyValues values = EightKeys();
    values[2].second = std::string(300, '9');
    std::string folder = dir.path();
    for (int i = 0; i < 4; ++i) {
        folder += "/" + std::string(80, static_cast<char>('a' + i));
        ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
    }
    const std::string program = BuildPe(folder, "long", UkScript(values));
    ASSERT_GT(program.size(), 256u);
    EXPECT_EQ(Read(program), Split(values));
}

TEST(GetVersionInfo, StopsCleanlyOnDamagedVersionBlocks) {
    FixtureDir dir;
    const std::string good = version_fixtures::Serialize(
        version_fixtures::VersionInfo({{u"080904E4", version_fixtures::EightStrings()}}, {{0x0809, 0x04E4}}));

    // The block claims 0x2000 bytes but the resource ends after a few strings.
    std::string truncated = good.substr(0, good.size() / 2);
    version_fixtures::PutWord(truncated, 0, 0x2000);
    const Lists fromTruncated = Read(BuildPe(dir.path(), "truncated", version_fixtures::RawVersionScript(truncated)));
    EXPECT_EQ(fromTruncated, Lists{}) << "no translation survives the cut";

    // A string node of length 0 in the middle of the table: the walk stops there.
    version_fixtures::VersionNode looping = version_fixtures::VersionInfo(
        {{u"080904E4", version_fixtures::EightStrings()}}, {{0x0809, 0x04E4}});
    looping.children[0].children[0].children[3].length = 0;  // InternalName
    const Lists fromLooping =
        Read(BuildPe(dir.path(), "looping", version_fixtures::RawVersionScript(version_fixtures::Serialize(looping))));
    const KeyValues firstThree = {{"CompanyName", "Halvane"}, {"FileDescription", "Test program"},
                                  {"FileVersion", "1.1.0.3"}};
    EXPECT_EQ(fromLooping, Split(firstThree));

    // Shorter than a node header.
    EXPECT_EQ(Read(BuildPe(dir.path(), "tiny", version_fixtures::RawVersionScript(std::string("\x04\x00", 2)))),
              Lists{});
}

TEST(GetVersionInfo, ReadsElfFilesCarryingAResImage) {
    FixtureDir dir;
    const std::string res = fixtures::CompileRc(dir.path(), "version", UkScript(EightKeys()));
    EXPECT_EQ(Read(version_fixtures::BuildElfWithResources(dir.path(), "linuxprog", res)), Split(EightKeys()));
    for (const char* target : {"elf32-little", "elf32-big", "elf64-big", "elf64-little"})
        EXPECT_EQ(Read(version_fixtures::ElfObjectWithResources(dir.path(), target, res, target)), Split(EightKeys()))
            << target;

    // An ELF file without the section, and one whose section is not a .res image.
    const std::string junk = dir / "junk.bin";
    fixtures::WriteFixtureFile(junk, "not a resource file");
    EXPECT_EQ(Read(version_fixtures::BuildElfWithResources(dir.path(), "junkprog", junk)), Lists{});
    fixtures::RunFixtureCommand("cp '" + dir / "linuxprog_plain" + "' '" + dir / "plain" + "'");
    EXPECT_EQ(Read(dir / "plain"), Lists{});
}

TEST(GetVersionInfo, ReadsTheRunningProgramsOwnVersion) {
    const std::string self = RunningProgramPath();
    ASSERT_FALSE(self.empty());
    const Lists lists = Read(self);
    ASSERT_EQ(lists.strings.size(), 8u);
    EXPECT_EQ(lists.strings[0], "Halvane");
    EXPECT_EQ(lists.strings[2], "1.1.0.3");
    EXPECT_EQ(lists.strings[3], "brevok");
    EXPECT_EQ(lists.strings[6], "Brevok Resource Compiler");
    EXPECT_EQ(lists.strings[7], "1.0.0.0");
    for (const std::string& value : lists.strings)
        EXPECT_FALSE(value.empty());
}

}  // namespace
}  // namespace brevok
