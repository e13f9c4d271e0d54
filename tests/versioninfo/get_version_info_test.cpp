// TGetVersionInfoFromFile over real PE files built by llvm-rc, clang and lld-link, over ELF
// files carrying a .res image, and over the test program's own version resource.
#include "versioninfo/get_version_info.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include "versioninfo/version_blocks.h"
#include "platform/self_path.h"

namespace brevok {
namespace {

using namespace version_fixtures;
using fixtures::BuildPe;
using fixtures::FixtureDir;

/// The reader's two lists side by side, as key/value pairs.
KeyValues Read(const std::string& path, const std::string& expectedName)
{
    TGetVersionInfoFromFile reader;
    reader.setFileName(path);
    EXPECT_EQ(reader.fileName(), expectedName);
    EXPECT_EQ(reader.VersionCategories().size(), reader.VersionStrings().size());
    KeyValues pairs;
    for (std::size_t i = 0; i < reader.VersionCategories().size(); ++i)
        pairs.emplace_back(reader.VersionCategories()[i], reader.VersionStrings()[i]);
    return pairs;
}
KeyValues Read(const std::string& path)
{
    return Read(path, path);
}

KeyValues Without(KeyValues values, const std::string& key)
{
    std::erase_if(values, [&](const auto& kv) { return kv.first == key; });
    return values;
}
KeyValues First(std::size_t n, const KeyValues& values)
{
    return {values.begin(), values.begin() + n};
}

std::string Raw(const VersionNode& root)
{
    return RawVersionScript(Serialize(root));
}

TEST(GetVersionInfo, ReadsTheKeysInTableOrderUpToTheFirstMissing)
{
    const KeyValues all = EightKeys();
    KeyValues shuffled(all.rbegin(), all.rend());
    shuffled.insert(shuffled.begin() + 3, {"Comments", "not read"});
    KeyValues emptyByRc = all;
    emptyByRc[0].second = "";  // llvm-rc stores "" with length 1 (its terminator): kept
    KeyValues longValue = all;
    longValue[2].second = std::string(300, '9');
    const KeyValues other = {{"CompanyName", "Other"}};
    const std::string both = "0x0809, 0x04E4, 0x0407, 0x04B0";

    VersionNode emptyCompany = VersionInfo(EightStrings());  // a writer storing length 0
    emptyCompany.children[0].children[0].children[0].value.clear();
    VersionNode loop = VersionInfo(EightStrings());  // InternalName of length 0
    loop.children[0].children[0].children[3].length = 0;
    std::string truncated = Serialize(VersionInfo(EightStrings())).substr(0, 200);
    PutWord(truncated, 0, 0x2000);  // claims far more than the resource holds

    KeyValues fromRaw;  // EightStrings(), which are ASCII
    for (const auto& [key, text] : EightStrings())
        fromRaw.emplace_back(std::string(key.begin(), key.end()), std::string(text.begin(), text.end()));
    struct Case {
        const char* name;
        std::string script;
        KeyValues expected;
    } cases[] = {
        {"all", VersionScript({{"080904E4", shuffled}}), all},
        {"nocopyright", VersionScript({{"080904E4", Without(all, "LegalCopyright")}}), First(4, all)},
        {"nocompany", VersionScript({{"080904E4", Without(all, "CompanyName")}}), {}},
        {"emptybyrc", VersionScript({{"080904E4", emptyByRc}}), emptyByRc},
        {"longvalue", VersionScript({{"080904E4", longValue}}), longValue},
        {"twotables", VersionScript({{"080904E4", all}, {"040704B0", other}}, both), all},
        {"firstlacks", VersionScript({{"080904E4", Without(all, "CompanyName")}, {"040704B0", other}}, both), {}},
        {"us", VersionScript({{"040904e4", all}}, "0x0409, 0x04E4"), all},  // table name in lower case
        {"mismatch", VersionScript({{"080904E4", all}}, "0x0409, 0x04E4"), {}},
        {"notranslation", VersionScript({{"080904E4", all}}, ""), {}},
        {"noresources", "", {}},
        {"noversion", "1 RCDATA { 1, 2, 3 }\n", {}},
        {"emptycompany", Raw(emptyCompany), Without(fromRaw, "CompanyName")},
        {"loop", Raw(loop), First(3, fromRaw)},
        {"truncated", RawVersionScript(truncated), {}},
        {"tiny", RawVersionScript(std::string("\x04\x00", 2)), {}},
    };
    FixtureDir dir;
    for (const Case& c : cases)
        EXPECT_EQ(Read(BuildPe(dir.path(), c.name, c.script)), c.expected) << c.name;
    fixtures::PeBuildOptions x86;
    x86.arch = fixtures::PeArch::X86;
    EXPECT_EQ(Read(BuildPe(dir.path(), "pe32", VersionScript({{"080904E4", all}}), x86)), all);
    // The empty CompanyName moves FileVersion to position 1.
    EXPECT_EQ(Read(BuildPe(dir.path(), "emptycompany", Raw(emptyCompany)))[1].second, "1.1.0.3");
}

TEST(GetVersionInfo, WritesTheQueryPathInUpperCaseHex)
{
    EXPECT_EQ(StringQueryPath(0x0809, 0x04E4, "FileVersion"), "\\StringFileInfo\\080904E4\\FileVersion");
    EXPECT_EQ(StringQueryPath(0x0409, 0x04B0, "X"), "\\StringFileInfo\\040904B0\\X");
    EXPECT_EQ(StringQueryPath(0, 0xABCD, "X"), "\\StringFileInfo\\0000ABCD\\X");
}

TEST(GetVersionInfo, KeepsTheNameOnlyOfAnExistingFile)
{
    FixtureDir dir;
    const std::string program = BuildPe(dir.path(), "prog", VersionScript({{"080904E4", EightKeys()}}));
    fixtures::WriteFixtureFile(dir / "readme.txt", "MZ but not a program\r\n");
    fixtures::WriteFixtureFile(dir / "empty.exe", "");
    EXPECT_EQ(Read(dir / "readme.txt"), KeyValues{});
    EXPECT_EQ(Read(dir / "empty.exe"), KeyValues{});

    TGetVersionInfoFromFile reader;
    EXPECT_EQ(reader.fileName(), "");
    for (const std::string& missing : {dir / "missing.exe", dir.path(), std::string()}) {
        reader.setFileName(program);
        ASSERT_EQ(reader.VersionStrings().size(), 8u);
        reader.setFileName(missing);
        EXPECT_EQ(reader.fileName(), "") << missing;
        EXPECT_TRUE(reader.VersionStrings().empty() && reader.VersionCategories().empty());
    }

    // A name far beyond 256 characters is taken whole.
    std::string folder = dir.path();
    for (char c : {'a', 'b', 'c', 'd'}) {
        folder += "/" + std::string(80, c);
        ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
    }
    EXPECT_EQ(Read(BuildPe(folder, "long", VersionScript({{"080904E4", EightKeys()}}))), EightKeys());
}

TEST(GetVersionInfo, ChangesItsListsOnlyByReading)
{
    FixtureDir dir;
    const std::string program = BuildPe(dir.path(), "prog", VersionScript({{"080904E4", EightKeys()}}));
    TGetVersionInfoFromFile reader;
    reader.setFileName(program);
    const auto strings = reader.VersionStrings();
    const auto categories = reader.VersionCategories();
    reader.setVersionStrings({"assigned"});
    reader.setVersionCategories({});
    EXPECT_EQ(reader.VersionStrings(), strings);
    EXPECT_EQ(reader.VersionCategories(), categories);
    // Contents changed in place (as a form loading its stored lists does) are discarded by
    // the next assignment, also of the same name, which reads the file again.
    reader.VersionStrings().push_back("stored");
    reader.VersionCategories().clear();
    reader.setFileName(program);
    EXPECT_EQ(reader.VersionStrings(), strings);
    EXPECT_EQ(reader.VersionCategories(), categories);
}

TEST(GetVersionInfo, ReadsElfFilesCarryingAResImage)
{
    FixtureDir dir;
    const std::string res = fixtures::CompileRc(dir.path(), "version", VersionScript({{"080904E4", EightKeys()}}));
    EXPECT_EQ(Read(ElfWithResources(dir.path(), "program", res)), EightKeys());
    for (const char* target : {"elf32-little", "elf32-big", "elf64-big"})
        EXPECT_EQ(Read(ElfWithResources(dir.path(), target, res, target)), EightKeys()) << target;
    fixtures::WriteFixtureFile(dir / "junk.res", "not a resource file");
    EXPECT_EQ(Read(ElfWithResources(dir.path(), "junk", dir / "junk.res")), KeyValues{});
    EXPECT_EQ(Read(dir / "program_plain"), KeyValues{});
}

TEST(GetVersionInfo, ReadsTheRunningProgramsOwnVersion)
{
    const KeyValues own = Read(RunningProgramPath());
    ASSERT_EQ(own.size(), 8u);
    EXPECT_EQ(own[0].second, "Halvane");
    EXPECT_EQ(own[2].second, "1.1.0.3");
    EXPECT_EQ(own[3].second, "brevok");
    EXPECT_EQ(own[6].second, "Brevok Resource Compiler");
    EXPECT_EQ(own[7].second, "1.0.0.0");
}

}  // namespace
}  // namespace brevok
