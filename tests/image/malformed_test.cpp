// Every file in data/malformed (hand-made and fuzz-found) gives one clean error line from
// the readers and from the binder, never a crash.
#include <gtest/gtest.h>

#include <filesystem>

#include "image/binder.h"
#include "image/pe_image.h"
#include "image/res_file.h"
#include "support/pe_fixtures.h"

namespace brevok {
namespace {

// Reads everything a reader of the image would: headers, the resource tree, each datum.
std::string FirstImageError(const std::string& bytes)
{
    auto image = ParsePeImage(bytes);
    if (!image)
        return image.error;
    auto where = FindResources(image->headers);
    if (!where)
        return where.error;
    if (where->sectionIndex < 0)
        return {};
    const std::string_view section = std::string_view(bytes).substr(where->section.offset, where->section.size);
    auto entries = ReadResourceTree(section, where->sectionRva, where->directory.rva);
    if (!entries)
        return entries.error;
    for (const auto& e : *entries) {
        if (ResourceData(section, where->sectionRva, e))
            continue;
        auto span = RvaToFileSpan(image->headers, e.dataRva, e.size);
        if (!span)
            return span.error;
    }
    return {};
}

TEST(MalformedInputTest, EveryFileGivesOneCleanError)
{
    const std::filesystem::path folder = std::filesystem::path(BREVOK_TEST_DATA_DIR) / "malformed";
    int walked = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        const std::string ext = entry.path().extension().string();
        if (ext != ".res" && ext != ".exe")
            continue;
        SCOPED_TRACE(name);
        ++walked;
        const std::string bytes = fixtures::ReadFixtureFile(entry.path().string());
        std::string error;
        if (ext == ".res") {
            error = ParseResFile(bytes).error;
        } else {
            // Some images read well but cannot be bound (alignments the loader would refuse).
            error = FirstImageError(bytes);
            auto bound = BindResources(bytes, {});
            EXPECT_FALSE(bound.ok());
            EXPECT_NE(bound.error.find(error), std::string::npos) << bound.error;
            if (error.empty())
                error = bound.error;
        }
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(error.find('\n'), std::string::npos);
    }
    EXPECT_GE(walked, 20);
}

}  // namespace
}  // namespace brevok
