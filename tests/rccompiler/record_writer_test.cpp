// The record writer held against zig rc (rc.exe's bytes), statement kind by statement kind: generated scripts
// of file statements compiled by both and the .res files compared byte for byte.
#include "rccompiler/file_script.h"
#include "preprocessor/include_search.h"
#include "rcdriver/pipeline.h"

#include "platform/files.h"
#include "platform/process.h"
#include "support/env_guard.h"
#include "support/res_oracle.h"
#include "support/resource_files.h"
#include "support/scratch_folder.h"
#include "support/zig_rc.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

namespace brevok {
namespace {

using testing::IconFileImage;
using testing::ScratchFolder;

/// A file a statement may name: the path as the script writes it, and whether zig rc takes
/// it for the kind it was made for.
struct Candidate {
    std::string pathText;
    bool valid = true;
};

/// Data files in every place zig rc looks: beside the script, in the current folder, in an
/// INCLUDE folder, above the script's folder, at an absolute path.
class Corpus {
public:
    Corpus() : root_(" diff ü")
    {
        script_ = root_ / "scripts";
        work_ = root_ / "work/deeper";
        include_ = root_ / "include";
        MakeDataFiles();
        MakePictures();
    }

    const std::string& ScriptFolder() const { return script_; }
    const std::string& WorkFolder() const { return work_; }
    const std::string& IncludeFolder() const { return include_; }

    /// Candidates for the statement kinds: 0 data, 1 bitmap, 2 icon, 3 cursor.
    const std::vector<Candidate>& For(int kind) const { return candidates_[kind]; }

private:
    void Add(int kind, const std::string& file, const std::string& bytes, const std::string& pathText,
             bool valid = true)
    {
        root_.Write(file, bytes);
        candidates_[kind].push_back({pathText, valid});
    }

    void MakeDataFiles()
    {
        const std::string absolute = root_ / "big data.bin";
        Add(0, "big data.bin", std::string(20 << 20, '\x42'), "\"" + absolute + "\"");
        Add(0, "scripts/empty.bin", "", "empty.bin");
        // zig rc reads the script in code page 1252 and looks for "d Ã¼ space.dat".
        Add(0, "scripts/d ü space.dat", "data with spaces", "\"d ü space.dat\"", false);
        Add(0, "scripts/q\"uote.bin", "quoted", "\"q\"\"uote.bin\"");
        Add(0, "scripts/back\\slash.bin", "back slash", "\"back\\slash.bin\"");
        Add(0, "scripts/sub/x.bin", "in a sub folder", "sub/x.bin");
        Add(0, "work/deeper/cwd.bin", "in the current folder", "cwd.bin");
        Add(0, "include/inc.bin", "in an INCLUDE folder", "L\"inc.bin\"");
        Add(0, "up.bin", "above the script", "\"../up.bin\"");
        Add(0, "scripts/shadow.bin", "beside the script, found first", "shadow.bin");
        root_.Write("work/deeper/shadow.bin", "in the current folder");
        candidates_[0].push_back({"missing.bin", false});
    }

    static std::string Image(int headerSize, int size)
    {
        if (headerSize == 0)
            return testing::PngImage(size, 300);
        return testing::BitmapHeader(headerSize, size, size * 2) +
            std::string(static_cast<std::size_t>(size * size * 5), '\x33');
    }

    void MakePictures()
    {
        // The bitmap headers zig rc takes in icons; the OS/2 (12) and the 52- and 56-byte ones
        // it refuses, in bitmaps too, which makes them rare here.
        const int headers[] = {40, 108, 124, 0, 40, 124, 0};
        for (int headerSize : {12, 40, 52, 56, 108, 124}) {
            const std::string name = "bmp" + std::to_string(headerSize) + ".bmp";
            Add(1, "scripts/" + name, testing::BitmapFile(headerSize, 3, 2), name,
                headerSize != 12 && headerSize != 52 && headerSize != 56);
        }
        Add(1, "scripts/short.bmp", "BM34567890", "short.bmp", false);
        Add(1, "scripts/notbm.bmp", "XM" + std::string(30, '\0'), "notbm.bmp", false);
        for (int type : {1, 2}) {
            const int kind = type == 1 ? 2 : 3;
            const std::string extension = type == 1 ? ".ico" : ".cur";
            for (int count = 1; count <= 10; ++count) {
                std::vector<IconFileImage> images;
                for (int i = 0; i < count; ++i) {
                    const int headerSize = headers[(count + i) % 7];
                    // Directory sizes past 127 make a cursor's doubled height need 16 bits.
                    const int size = headerSize == 0 ? 256 : 8 * (i + 1);
                    const int listed = headerSize == 0 ? 0 : 100 + 10 * i;
                    images.push_back(
                        {listed, listed, type == 1 ? 1 : i, type == 1 ? 32 : 2 * i, Image(headerSize, size)});
                }
                const std::string name = "pic" + std::to_string(count) + extension;
                Add(kind, "scripts/" + name, testing::IconFile(type, images), name);
            }
            Add(kind, "scripts/none" + extension, testing::IconFile(type, {}), "\"none" + extension + "\"");
            const std::string whole = testing::IconFile(type, {{}, {}});
            Add(kind, "scripts/cut" + extension, whole.substr(0, whole.size() - 5), "cut" + extension, false);
            Add(kind, "scripts/short" + extension,
                testing::IconFile(type, {{0, 0, 1, 32, testing::PngImage(1, 0).substr(0, 30)}}), "short" + extension,
                false);
            Add(kind, "scripts/other" + extension, testing::IconFile(3 - type, {{}}), "other" + extension, false);
        }
    }

    ScratchFolder root_;
    std::string script_;
    std::string work_;
    std::string include_;
    std::vector<Candidate> candidates_[4];
};

/// The statement kinds of the corpus (Corpus::For).
enum Kind { kData, kBitmap, kIcon, kCursor };

/// Random scripts of file statements of the given kinds over the corpus: names as text,
/// numbers and lower case, comments, blank lines, CR LF and LF.
class ScriptMaker {
public:
    ScriptMaker(const Corpus& corpus, std::vector<int> kinds) : corpus_(corpus), kinds_(std::move(kinds)) { }

    std::string Make()
    {
        std::string text;
        const int lines = Pick(0, 16);
        const std::string end = Pick(0, 1) ? "\r\n" : "\n";
        for (int i = 0; i < lines; ++i) {
            if (Pick(0, 9) == 0)
                text += Pick(0, 1) ? end : "  // a comment line" + end;
            text += Statement() + (Pick(0, 4) == 0 ? "\t// note" : "") + end;
        }
        // Sometimes no line break at the end.
        if (Pick(0, 4) == 0 && text.ends_with(end))
            text.resize(text.size() - end.size());
        return text;
    }

private:
    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

    template <class T>
    const T& OneOf(const std::vector<T>& items)
    {
        return items[static_cast<std::size_t>(Pick(0, static_cast<int>(items.size()) - 1))];
    }

    std::string Statement()
    {
        static const std::vector<std::string> names = {"Logo", "logo_2", "my.res-1", "7", "0x1F",    "65535",
                                                       "1L",   "0",      "_x",       "a", ".hidden", "x/y"};
        static const std::vector<std::vector<std::string>> types = {
            {"RCDATA", "rcdata", "WAVE", "AVI", "MIDI", "MyType", "300", "2"},
            {"BITMAP", "bitmap"},
            {"ICON", "Icon"},
            {"CURSOR"}};
        const int kind = OneOf(kinds_);
        // Rarely a file that is not what the type wants.
        const std::string name = OneOf(names);
        std::vector<Candidate> files = corpus_.For(kind);
        files.erase(std::remove_if(files.begin(), files.end(),
                                   [&](const Candidate& c) { return !c.valid && Pick(0, 29) != 0; }),
                    files.end());
        // The 20 MB file in few statements only.
        if (files.front().pathText.find("big data") != std::string::npos && Pick(0, 40) != 0)
            files.erase(files.begin());
        const std::string blank = Pick(0, 3) == 0 ? "\t" : " ";
        return name + blank + OneOf(types[kind]) + blank + OneOf(files).pathText;
    }

    const Corpus& corpus_;
    std::vector<int> kinds_;
    std::mt19937 random_{20241208};
};

std::string Joined(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    return text;
}

/// One corpus for all the tests, the current folder in it while they run (zig rc and we
/// both look there first).
class RecordWriter : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        corpus_ = new Corpus;
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(corpus_->WorkFolder());
    }
    static void TearDownTestSuite()
    {
        std::filesystem::current_path(previous_);
        delete corpus_;
    }

    /// `rounds` generated scripts of `kinds`, each compiled by us and by zig rc: both refuse
    /// it, or both write the same bytes.
    void CompareWithZigRc(std::vector<int> kinds, int rounds)
    {
        ScriptMaker maker(*corpus_, std::move(kinds));
        // INCLUDE for zig rc, which reads it itself, and for us as the compilers' main gives it.
        testing::EnvGuard include("INCLUDE", "/nonexistent:" + corpus_->IncludeFolder());
        CompileOptions options;
        options.includeVariableFolders = IncludeVariableFolders("/nonexistent:" + corpus_->IncludeFolder());
        const std::string zig = testing::FindZig();
        ASSERT_FALSE(zig.empty()) << "zig rc, the reference, is not installed: run make deps";
        const std::string script = corpus_->ScriptFolder() + "/generated.rc";
        const std::string ours = corpus_->ScriptFolder() + "/ours.res";
        const std::string theirs = corpus_->ScriptFolder() + "/theirs.res";
        int refused = 0;
        for (int round = 0; round < rounds && !HasFailure(); ++round) {
            const std::string text = maker.Make();
            WriteFileAtomically(script, text);
            ASSERT_FALSE(ParseFileScript(text).foreignLine) << text;
            const ToolOutcome byUs = CompileResourceScript(script, ours, options);
            DeleteFileQuietly(theirs);
            const ProgramExit byZig = testing::RunZigRc(
                zig, {"/:no-preprocess", "/c", "1252", "/l", "409", "/i", corpus_->ScriptFolder()}, theirs, script);
            // What zig rc refuses, we may take (an OS/2 bitmap header, say); what it takes, we
            // take to the same bytes.
            if (byZig.exitCode != 0) {
                if (std::getenv("BREVOK_SHOW_REFUSED"))
                    std::printf("%s\n", byZig.output.substr(0, 300).c_str());
                ++refused;
                continue;
            }
            ASSERT_TRUE(byUs.ok) << text << "ours:\n" << Joined(byUs.lines);
            EXPECT_TRUE(byUs.lines.empty()) << Joined(byUs.lines);
            if (ReadFileBytes(ours) != ReadFileBytes(theirs)) {
                std::filesystem::copy_file(theirs, "/tmp/zig-kept.res",
                                           std::filesystem::copy_options::overwrite_existing);
                std::filesystem::copy_file(ours, "/tmp/ours-kept.res",
                                           std::filesystem::copy_options::overwrite_existing);
            }
            ASSERT_EQ(ReadFileBytes(ours) == ReadFileBytes(theirs), true) << text;
        }
        std::printf("%d generated scripts: %d compiled by zig rc and byte-identical here; %d refused by it\n", rounds,
                    rounds - refused, refused);
        EXPECT_GE(rounds - refused, rounds / 10);
    }

    static Corpus* corpus_;
    static std::string previous_;
};

Corpus* RecordWriter::corpus_ = nullptr;
std::string RecordWriter::previous_;

TEST_F(RecordWriter, DataStatementsFoundWhereZigRcFindsThem)
{
    CompareWithZigRc({kData}, 80);
}

TEST_F(RecordWriter, BitmapStatementsDropTheFileHeader)
{
    CompareWithZigRc({kBitmap}, 80);
}

TEST_F(RecordWriter, IconAndCursorImagesNumberedAcrossTheScript)
{
    CompareWithZigRc({kIcon, kCursor}, 80);
}

TEST_F(RecordWriter, EveryKindInOneScript)
{
    CompareWithZigRc({kData, kBitmap, kIcon, kCursor}, 80);
}

}  // namespace
}  // namespace brevok
