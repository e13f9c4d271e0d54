// The round trip over a collection of real programs: each program's resources extracted with
// a script, the script compiled back by our compiler, and the result held against the
// program's resources as windres reads them (windres -J coff -i PROGRAM -O res).
//   collection_roundtrip WORK PROGRAM...   for each PROGRAM, WORK/N.res must hold windres's
//                                          reading (absent when windres could not read it)
// Prints one line per program that does not come back the same, with the reason, then a
// count; the exit code is 1 when a difference has no reason known to this checker.
#include <algorithm>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "image/res_file.h"
#include "rules/errors.h"
#include "platform/files.h"
#include "rcdriver/pipeline.h"
#include "resedit/resource_editor.h"
#include "resedit/resource_extract.h"
#include "resedit/version_tree.h"

namespace {

using namespace brevok;

std::vector<ResourceLeaf> LeavesOf(const std::vector<ResRecordView>& records)
{
    std::vector<ResourceLeaf> leaves;
    for (const ResRecordView& r : records)
        leaves.push_back({r.type, r.name, r.language, 0, r.data});
    return leaves;
}

// windres writes language 0 for every language of a resource (each in directory order, by
// language ascending): where its entries are all language 0 and ours as many, ours give the
// languages back. Returns how many resources needed it.
std::size_t RestoreWindresLanguages(std::vector<ResourceLeaf>& theirs, const std::vector<ResourceLeaf>& ours)
{
    std::size_t count = 0;
    std::set<std::string> done;
    for (const ResourceLeaf& first : theirs) {
        const std::string key = DescribeResType(first.type) + "/" + DescribeResId(first.name);
        if (!done.insert(key).second)
            continue;
        std::vector<ResourceLeaf*> mine;
        std::vector<std::uint16_t> languages;
        for (ResourceLeaf& t : theirs)
            if (t.type == first.type && t.name == first.name)
                mine.push_back(&t);
        for (const ResourceLeaf& o : ours)
            if (o.type == first.type && o.name == first.name)
                languages.push_back(o.language);
        std::sort(languages.begin(), languages.end());
        const bool allZero = std::all_of(mine.begin(), mine.end(), [](const ResourceLeaf* t) { return t->language == 0; });
        if (!allZero || languages.size() != mine.size() || languages == std::vector<std::uint16_t>(languages.size(), 0))
            continue;
        for (std::size_t i = 0; i < mine.size(); ++i)
            mine[i]->language = languages[i];
        ++count;
    }
    return count;
}

// Version resources as their keys and values alone (lengths and types left out); returns how
// many were rewritten. `keep` holds the rewritten bytes.
std::size_t CanonicalVersions(std::vector<ResourceLeaf>& leaves, std::deque<std::string>& keep)
{
    std::size_t count = 0;
    for (ResourceLeaf& leaf : leaves) {
        if (leaf.type != ResId::Ordinal(kRtVersion))
            continue;
        Parsed<VersionTree> tree = VersionTree::Parse(leaf.data);
        if (!tree)
            continue;
        std::string text;
        auto walk = [&](auto& self, const VersionNode& node, bool isText) -> void {
            text += std::string(reinterpret_cast<const char*>(node.key.data()), node.key.size() * 2) + '\1';
            std::string value = node.value;
            if (isText)
                while (value.size() >= 2 && value.compare(value.size() - 2, 2, std::string(2, '\0')) == 0)
                    value.resize(value.size() - 2);
            text += value + '\2';
            for (const VersionNode& child : node.children)
                self(self, child, isText || node.key == u"StringFileInfo");
            text += '\3';
        };
        walk(walk, tree->Root(), false);
        keep.push_back(std::move(text));
        leaf.data = keep.back();
        ++count;
    }
    return count;
}

struct Verdict {
    bool same = false;
    bool explained = true;
    std::string reason;
};

Verdict Check(const std::string& program, const std::string& windresRes, const std::string& folder)
{
    auto editor = ResourceEditor::Open(ReadFileBytes(program));
    if (!FileExists(windresRes)) {
        if (editor && (*editor)->Resources().empty())
            return {true, true, {}};  // neither finds a resource
        return {false, true, "windres cannot read it" + (editor ? std::string() : "; refused: " + editor.error)};
    }
    const std::string windresBytes = ReadFileBytes(windresRes);
    auto windres = ParseResFileViews(windresBytes);
    if (!windres)
        return {false, false, "windres's .res cannot be read: " + windres.error};
    if (!editor)
        return {false, false, "refused: " + editor.error};
    const Extraction done = ExtractResources((*editor)->Resources(), folder, program, ExtractStyle::Statements);
    const std::string res = folder + "/back.res";
    const ToolOutcome compiled = CompileResourceScript(folder + "/" + kExtractedScriptName, res);
    if (!compiled.ok)
        return {false, false, "the script does not compile: " + (compiled.lines.empty() ? "" : compiled.lines[0])};
    const std::string backBytes = ReadFileBytes(res);
    auto back = ParseResFileViews(backBytes);
    if (!back)
        return {false, false, "the compiled .res cannot be read: " + back.error};
    std::vector<ResourceLeaf> theirs = LeavesOf(*windres);
    std::vector<ResourceLeaf> ours = LeavesOf(*back);
    if (CompareResources(theirs, ours).empty())
        return {true, true, {}};
    // What windres is known to do otherwise, undone one at a time; what still differs then is
    // unexplained.
    std::deque<std::string> kept;
    std::set<std::string> reasons;
    if (const std::size_t languages = RestoreWindresLanguages(theirs, ours))
        reasons.insert("windres writes language 0 for the languages of " + std::to_string(languages) + " resources");
    if (CanonicalVersions(theirs, kept) + CanonicalVersions(ours, kept))
        reasons.insert("windres writes VERSIONINFO anew (other block lengths and types), the same strings and values");
    std::size_t shortMenus = 0;
    for (ResourceLeaf& their : theirs) {
        for (const ResourceLeaf& mine : ours) {
            if (their.type == ResId::Ordinal(kRtMenu) && mine.type == their.type && mine.name == their.name &&
                mine.language == their.language && mine.data.size() > their.data.size() &&
                mine.data.substr(0, their.data.size()) == their.data) {
                their.data = mine.data;
                ++shortMenus;
            }
        }
    }
    // rc.exe (and so our compiler) takes a cursor's height from the image's bitmap header,
    // the colour and the mask one under the other; Wine's own compiler writes the image's.
    std::size_t cursorHeights = 0;
    for (ResourceLeaf& their : theirs) {
        for (const ResourceLeaf& mine : ours) {
            if (their.type != ResId::Ordinal(kRtGroupCursor) || mine.type != their.type || mine.name != their.name ||
                mine.language != their.language || mine.data.size() != their.data.size() || mine.data == their.data)
                continue;
            // Each entry: width, height, planes, bit count, size, then the image's id (numbered
            // otherwise here, which CompareResources follows).
            bool onlyHeights = mine.data.substr(0, 6) == their.data.substr(0, 6);
            for (std::size_t at = 6; onlyHeights && at + 14 <= mine.data.size(); at += 14)
                onlyHeights = mine.data.substr(at, 2) == their.data.substr(at, 2) &&
                    mine.data.substr(at + 4, 8) == their.data.substr(at + 4, 8);
            if (!onlyHeights)
                continue;
            std::string patched(their.data);
            for (std::size_t at = 6; at + 14 <= patched.size(); at += 14)
                patched.replace(at + 2, 2, mine.data.substr(at + 2, 2));
            kept.push_back(std::move(patched));
            their.data = kept.back();
            ++cursorHeights;
        }
    }
    if (cursorHeights)
        reasons.insert("the program's compiler wrote " + std::to_string(cursorHeights) +
                       " cursor groups with other heights than the images' bitmap headers, which rc.exe writes");
    if (shortMenus)
        reasons.insert("windres writes " + std::to_string(shortMenus) +
                       " MENU resources shorter than the program holds them (the program's bytes cut short)");
    const std::vector<std::string> differences = CompareResources(theirs, ours);
    Verdict verdict{differences.empty(), true, {}};
    for (const std::string& reason : reasons)
        verdict.reason += (verdict.reason.empty() ? "" : "; ") + reason;
    for (const std::string& difference : differences) {
        // A resource a script cannot name (the extraction says so) is the one known reason left.
        bool noted = false;
        for (const std::string& note : done.notes)
            noted = noted || (difference.find(" is missing") != std::string::npos &&
                              note.find(difference.substr(0, difference.find(" is missing"))) != std::string::npos);
        verdict.explained = verdict.explained && noted;
        verdict.reason += (verdict.reason.empty() ? "" : "; ") + difference + (noted ? " (a script cannot name it)" : "");
    }
    verdict.same = false;
    return verdict;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: collection_roundtrip WORK PROGRAM...\n");
        return 2;
    }
    const std::string work = argv[1];
    int same = 0;
    int explained = 0;
    int unexplained = 0;
    for (int i = 2; i < argc; ++i) {
        const std::string n = std::to_string(i - 2);
        Verdict verdict;
        try {
            verdict = Check(argv[i], work + "/" + n + ".res", work + "/" + n);
            std::filesystem::remove_all(work + "/" + n);
        } catch (const std::exception& e) {
            verdict = {false, false, e.what()};
        }
        if (verdict.same) {
            ++same;
            continue;
        }
        ++(verdict.explained ? explained : unexplained);
        std::printf("%s %s: %s\n", verdict.explained ? "EXCEPTION" : "DIFFERENT", argv[i], verdict.reason.c_str());
    }
    std::printf("round trip: %d programs, %d the same as windres reads them, %d exceptions with their reason, %d "
                "unexplained\n",
                argc - 2, same, explained, unexplained);
    return unexplained == 0 ? 0 : 1;
}
