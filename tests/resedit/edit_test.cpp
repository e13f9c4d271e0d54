// Editing a finished program: rcedit's options and ours through RunEditCall, on programs built
// by clang and lld-link, read back through our readers and llvm-readobj.
#include <gtest/gtest.h>

#include "image/pe_image.h"
#include "image/pe_test_helpers.h"
#include "resedit/edit_command.h"
#include "resedit/resource_editor.h"
#include "resedit/version_tree.h"
#include "rules/little_endian.h"
#include "support/pe_fixtures.h"
#include "versioninfo/version_block.h"
#include "versioninfo/version_resource.h"

namespace brevok {
namespace {

using fixtures::BuildPe;
using fixtures::FixtureDir;
using fixtures::PeBuildOptions;
using fixtures::ReadFixtureFile;
using fixtures::RunFixtureCommand;
using fixtures::WriteFixtureFile;

EditOutcome Edit(const std::string& program, std::vector<std::string> args)
{
    args.insert(args.begin(), program);
    Parsed<EditCall> call = ParseEditCall(args);
    if (!call)
        return EditOutcome{false, {}, {"parse: " + call.error}};
    return RunEditCall(*call);
}

std::vector<std::string> Listing(const std::string& program)
{
    return Edit(program, {"--list"}).values;
}

// Listing lines without their sizes.
std::vector<std::string> Keys(std::vector<std::string> lines)
{
    for (std::string& line : lines)
        line.erase(line.rfind(' '));
    return lines;
}

// A German program with two icon groups, a version resource, strings and a manifest.
class EditTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        WriteFixtureFile(dir / "a.ico", petest::IconFile(10));
        WriteFixtureFile(dir / "b.ico", petest::IconFile(20));
        WriteFixtureFile(dir / "new.ico", petest::IconFile(30));
        WriteFixtureFile(dir / "app.manifest", "<assembly><dependency/></assembly>");
        exe = BuildPe(dir.path(), "app",
                      "LANGUAGE 7, 1\n"
                      "1 ICON \"a.ico\"\n"
                      "2 ICON \"b.ico\"\n"
                      "1 VERSIONINFO FILEVERSION 1,0,0,0\n"
                      "BEGIN BLOCK \"StringFileInfo\" BEGIN BLOCK \"040704B0\" BEGIN\n"
                      "  VALUE \"CompanyName\", \"Alt\"\n"
                      "  VALUE \"FileVersion\", \"1.0\"\n"
                      "END END BLOCK \"VarFileInfo\" BEGIN VALUE \"Translation\", 0x407, 1200 END END\n"
                      "STRINGTABLE { 1, \"eins\" 2, \"zwei\" }\n"
                      "1 24 \"app.manifest\"\n");
    }

    FixtureDir dir;
    std::string exe;
};

TEST_F(EditTest, OneCallMakesEveryEditInTheResourcesLanguageAndReadsThemBack)
{
    const EditOutcome edited =
        Edit(exe, {"--set-icon", dir / "new.ico", "--set-version-string", "CompanyName", "Neu", "--set-version-string",
                   "ProductName", "Brevok Test", "--set-file-version", "2.5", "--set-product-version", "3.1.4.1",
                   "--set-resource-string", "2", "zwo", "--set-resource-string", "40", "vierzig",
                   "--set-requested-execution-level", "requireAdministrator", "--get-version-string", "CompanyName",
                   "--get-resource-string", "2"});
    ASSERT_TRUE(edited.ok) << ::testing::PrintToString(edited.messages);
    EXPECT_EQ(edited.values, (std::vector<std::string>{"Neu", "zwo"}));

    // Group 1 holds the new image alone; group 2 and its image stay; all in German.
    EXPECT_EQ(Keys(Listing(exe)), (std::vector<std::string>{"ICON 1 0407", "ICON 2 0407", "STRINGTABLE 1 0407",
                                                            "STRINGTABLE 3 0407", "GROUP_ICON 1 0407",
                                                            "GROUP_ICON 2 0407", "VERSIONINFO 1 0407", "MANIFEST 1 0407"}));
    EXPECT_EQ(Listing(exe)[0], "ICON 1 0407 " + std::to_string(petest::IconFile(30).size() - 22));
    // The version resource read by the version library's reader, not our tree.
    Parsed<std::string> block = ReadVersionResource(exe);
    ASSERT_TRUE(block) << block.error;
    const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(block->data()), block->size());
    for (const auto& [key, value] : std::vector<std::pair<std::string, std::string>>{
             {"CompanyName", "Neu"}, {"ProductName", "Brevok Test"}, {"FileVersion", "2.5"}, {"ProductVersion", "3.1.4.1"}}) {
        auto found = FindVersionValue(bytes, "\\StringFileInfo\\040704B0\\" + key);
        ASSERT_TRUE(found) << key;
        EXPECT_EQ(ReadVersionText(bytes, *found), value);
    }
    auto fixed = FindVersionValue(bytes, "\\");
    ASSERT_TRUE(fixed);
    auto word = [&](std::size_t at) { return byteio::Get32(*block, fixed->offset + at); };
    EXPECT_EQ(word(8), 0x00020005u);
    EXPECT_EQ(word(12), 0u);
    EXPECT_EQ(word(16), 0x00030001u);
    EXPECT_EQ(word(20), 0x00040001u);
    EXPECT_EQ(Edit(exe, {"--get-resource-string", "40"}).values, std::vector<std::string>{"vierzig"});
    const std::string manifest = ReadFixtureFile(exe);
    EXPECT_NE(manifest.find("<requestedExecutionLevel level=\"requireAdministrator\""), std::string::npos);
    EXPECT_NE(manifest.find("<dependency/>"), std::string::npos);
}

TEST(EditBareTest, ABareProgramGetsAVersionAndAManifestUnderItsKindsId)
{
    FixtureDir dir;
    PeBuildOptions dllOptions;
    dllOptions.extraLinkArgs = "/dll";
    for (const auto& [name, options, manifestId, fileType] :
         std::vector<std::tuple<std::string, PeBuildOptions, std::string, std::uint32_t>>{
             {"bare", {}, "1", 1}, {"lib", dllOptions, "2", 2}}) {
        const std::string program = BuildPe(dir.path(), name, "", options);
        WriteFixtureFile(dir / "m.manifest", "<assembly/>");
        ASSERT_TRUE(Edit(program, {"--set-version-string", "ProductName", "Bare", "--application-manifest",
                                   dir / "m.manifest", "--set-requested-execution-level", "asInvoker"})
                        .messages.empty());
        EXPECT_EQ(Keys(Listing(program)), (std::vector<std::string>{"VERSIONINFO 1 0409", "MANIFEST " + manifestId + " 0409"}))
            << name;
        Parsed<std::string> block = ReadVersionResource(program);
        ASSERT_TRUE(block) << block.error;
        const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(block->data()), block->size());
        auto translation = FindVersionValue(bytes, "\\VarFileInfo\\Translation");
        ASSERT_TRUE(translation);
        EXPECT_EQ(byteio::Get32(*block, translation->offset), 0x04B00409u);
        auto product = FindVersionValue(bytes, "\\StringFileInfo\\040904B0\\ProductName");
        ASSERT_TRUE(product);
        EXPECT_EQ(ReadVersionText(bytes, *product), "Bare");
        EXPECT_EQ(byteio::Get32(*block, FindVersionValue(bytes, "\\")->offset + 36), fileType);
        EXPECT_NE(ReadFixtureFile(program).find("<assembly>"), std::string::npos) << "level added to the given one";
    }
}

TEST_F(EditTest, SetAndRemoveResourceByTypeNameAndLanguage)
{
    WriteFixtureFile(dir / "blob", "payload");
    ASSERT_TRUE(Edit(exe, {"--set-resource", "RCDATA", "blob", dir / "blob", "--set-resource", "MYTYPE", "7",
                           dir / "blob", "--language", "0x40c"})
                    .ok);
    ASSERT_TRUE(Edit(exe, {"--remove-resource", "GROUP_ICON", "2", "--remove-resource", "24", "1"}).ok);
    const std::vector<std::string> listing = Listing(exe);
    EXPECT_EQ(std::count(listing.begin(), listing.end(), "MYTYPE 7 040C 7"), 1);
    EXPECT_EQ(std::count(listing.begin(), listing.end(), "RCDATA BLOB 040C 7"), 1);
    for (const std::string gone : {"GROUP_ICON 2 ", "ICON 2 ", "MANIFEST 1 "})
        EXPECT_TRUE(std::none_of(listing.begin(), listing.end(), [&](const std::string& l) { return l.rfind(gone, 0) == 0; }))
            << gone;
    // The listing is what llvm-readobj finds.
    const std::string readobj = petest::ResourceListing(exe);
    EXPECT_NE(readobj.find("MYTYPE"), std::string::npos);
}

TEST_F(EditTest, EveryFailureNamesItsCauseAndLeavesTheProgramAsItWas)
{
    WriteFixtureFile(dir / "bad.ico", "not an icon");
    const std::string before = ReadFixtureFile(exe);
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--set-icon", dir / "missing.ico"}, "Cannot open file " + (dir / "missing.ico")},
        {{"--set-icon", dir / "bad.ico"}, "--set-icon: the icon file: "},
        {{"--set-version-string", "A", "b", "--set-file-version", "1.2.3.4.5"},
         "--set-file-version: version \"1.2.3.4.5\" is not 1 to 4 numbers from 0 to 65535 separated by dots"},
        {{"--set-file-version", "1.x"}, "is not 1 to 4 numbers"},
        {{"--set-requested-execution-level", "root"},
         "execution level \"root\" is not asInvoker, highestAvailable or requireAdministrator"},
        {{"--set-resource-string", "70000", "x"}, "string ID \"70000\" is not a number from 0 to 65535"},
        {{"--get-version-string", "Nothing"}, "the version resource has no string \"Nothing\""},
        {{"--get-resource-string", "9"}, "the program has no string 9"},
        {{"--remove-resource", "RCDATA", "77"}, "the program has no resource RCDATA #77"},
        {{"--set-version-string", "A", "b", "--remove-resource", "BITMAP", "1"}, "no resource BITMAP #1"},
    };
    for (const auto& [args, text] : cases) {
        const EditOutcome outcome = Edit(exe, args);
        EXPECT_FALSE(outcome.ok) << text;
        ASSERT_EQ(outcome.messages.size(), 1u) << text;
        EXPECT_NE(outcome.messages[0].find(text), std::string::npos) << outcome.messages[0];
        EXPECT_TRUE(outcome.values.empty());
        EXPECT_EQ(ReadFixtureFile(exe), before) << text;
    }
    for (const auto& [args, text] : std::vector<std::pair<std::vector<std::string>, std::string>>{
             {{"--frobnicate"}, "unknown option \"--frobnicate\""},
             {{"--set-version-string", "A"}, "--set-version-string needs 2 values"},
             {{"--language", "xyz", "--list"}, "--language: \"xyz\" is not a language id in hex"},
             {{"--language", "409"}, "nothing to do"}}) {
        Parsed<EditCall> call = ParseEditCall([&] {
            std::vector<std::string> all{exe};
            all.insert(all.end(), args.begin(), args.end());
            return all;
        }());
        EXPECT_FALSE(call);
        EXPECT_NE(call.error.find(text), std::string::npos) << call.error;
    }
}

TEST_F(EditTest, DamagedProgramsAreRefusedUntouched)
{
    const std::string good = ReadFixtureFile(exe);
    const PeHeaders headers = *ParsePeHeaders(good, good.size());
    std::string noResourceEntry = good;
    std::string cutTree = good;
    const std::uint32_t resourceOffset =
        RvaToFileSpan(headers, headers.Directory(kDirResource).rva, 16)->offset;
    byteio::Put32(cutTree, resourceOffset + 12, 0xFFFF);  // 65535 named entries in 16 bytes
    for (const auto& [name, bytes] : std::vector<std::pair<std::string, std::string>>{
             {"short", good.substr(0, 300)}, {"text", "MZ is not enough"}, {"tree", cutTree}}) {
        const std::string path = dir / (name + ".exe");
        WriteFixtureFile(path, bytes);
        const EditOutcome outcome = Edit(path, {"--set-version-string", "A", "b"});
        EXPECT_FALSE(outcome.ok) << name;
        EXPECT_EQ(ReadFixtureFile(path), bytes) << name;
    }
}

TEST_F(EditTest, OverlayKeptSignatureDroppedChecksumRight)
{
    RunFixtureCommand("cd '" + dir.path() +
                      "' && openssl req -x509 -newkey rsa:2048 -nodes -keyout k.pem -out c.pem"
                      " -days 2 -subj /CN=brevok-test 2>/dev/null && openssl pkcs12 -export -inkey k.pem -in c.pem"
                      " -out c.p12 -passout pass:pw");
    const std::string signedExe = dir / "signed.exe";
    RunFixtureCommand("osslsigncode sign -pkcs12 '" + (dir / "c.p12") + "' -pass pw -in '" + exe + "' -out '" +
                      signedExe + "'");
    const EditOutcome outcome = Edit(signedExe, {"--set-version-string", "CompanyName", "Signiert"});
    ASSERT_TRUE(outcome.ok);
    ASSERT_EQ(outcome.messages.size(), 1u);
    EXPECT_NE(outcome.messages[0].find("digital signature is no longer valid and has been removed"), std::string::npos);
    const std::string report = petest::VerifyReport(signedExe);
    EXPECT_NE(report.find("No signature found"), std::string::npos) << report;
    EXPECT_EQ(petest::ReportValue(report, "Current PE checksum"), petest::ReportValue(report, "Calculated PE checksum"));

    std::string overlay;
    for (int i = 0; i < 5000; ++i)
        overlay.push_back(static_cast<char>(i * 13 + 5));
    WriteFixtureFile(exe, ReadFixtureFile(exe) + overlay);
    ASSERT_TRUE(Edit(exe, {"--set-icon", dir / "new.ico", "--set-version-string", "Comments", std::string(3000, 'x')}).ok);
    const std::string after = ReadFixtureFile(exe);
    EXPECT_EQ(after.substr(after.size() - overlay.size()), overlay);
    EXPECT_EQ(Edit(exe, {"--get-version-string", "Comments"}).values, std::vector<std::string>{std::string(3000, 'x')});
}

TEST(VersionPartsTest, OneToFourPartsEachSixteenBits)
{
    for (const auto& [text, parts] : std::vector<std::pair<std::string, VersionParts>>{
             {"1", {1, 0, 0, 0}}, {"1.2", {1, 2, 0, 0}}, {"1.2.3", {1, 2, 3, 0}}, {"65535.0.7.8", {65535, 0, 7, 8}}}) {
        Parsed<VersionParts> read = ParseVersionParts(text);
        ASSERT_TRUE(read) << text;
        EXPECT_EQ(*read, parts) << text;
    }
    for (const std::string bad : {"", "1.", ".1", "1..2", "65536", "1.2.3.4.5", "-1", "1.2a", "v1"})
        EXPECT_FALSE(ParseVersionParts(bad)) << bad;
}

}  // namespace
}  // namespace brevok
