// Binding .res records into a PE image: the image read, the records merged into its
// resources (resource_merge), and the image laid out anew (image_layout).
#include "image/binder.h"

#include "image/pe_image.h"
#include "image/resource_merge.h"
#include "rules/errors.h"
#include "platform/files.h"

namespace brevok {

Parsed<BoundImage> BindResources(std::string_view exe, const std::vector<ResRecordView>& records)
{
    using Result = Parsed<BoundImage>;
    const Parsed<PeHeaders> headers = ParsePeHeaders(exe, exe.size());
    if (!headers)
        return Result::Fail(headers.error);
    if (headers->directories.size() <= kDirResource)
        return Result::Fail("the image has no resource data directory entry (it has " +
                            std::to_string(headers->directories.size()) + " data directories)");
    const Parsed<ResourceLocation> location = FindResources(*headers);
    if (!location)
        return Result::Fail(location.error);
    Parsed<std::vector<ResourceLeaf>> existing = ReadImageResources(exe, *headers, *location);
    if (!existing)
        return Result::Fail(existing.error);
    BoundImage out;
    Parsed<MergedResources> merged = MergeResources(std::move(*existing), records, out.image);
    if (!merged)
        return Result::Fail(merged.error);
    out.warnings = std::move(merged->warnings);
    if (const Status laidOut = LayOutImage(exe, *headers, *location, std::move(merged->leaves), out); !laidOut)
        return Result::Fail(laidOut.error);
    return Result::Ok(std::move(out));
}

void WriteBoundImage(const std::string& exePath, const BoundImage& bound)
{
    AtomicFileWriter writer(exePath);
    for (std::string_view piece : bound.image.pieces())
        writer.Write(piece);
    writer.Commit();
}

ToolOutcome BindResFile(const std::string& resPath, const std::string& exePath)
{
    ToolOutcome outcome;
    auto fail = [&](const std::string& path, const std::string& text) {
        outcome.lines.push_back("Error " + path + ": " + text);
        return outcome;
    };
    std::string res;
    std::string exe;
    try {
        res = ReadFileBytes(resPath);
        exe = ReadFileBytes(exePath);
    } catch (const Error& e) {
        outcome.lines.push_back(std::string("Error ") + e.what());
        return outcome;
    }
    auto records = ParseResFileViews(res);
    if (!records)
        return fail(resPath, records.error);
    Parsed<BoundImage> bound;
    try {
        bound = BindResources(exe, *records);
    } catch (const std::exception& e) {
        // Every size is checked before use; should a check still be missing, the tool reports
        // it and leaves the executable alone rather than ending abruptly.
        return fail(exePath, std::string("internal error: ") + e.what());
    }
    if (!bound)
        return fail(exePath, bound.error);
    try {
        WriteBoundImage(exePath, *bound);
    } catch (const Error& e) {
        outcome.lines.push_back(std::string("Error ") + e.what());
        return outcome;
    }
    for (const auto& w : bound->warnings)
        outcome.lines.push_back("Warning " + exePath + ": " + w);
    outcome.ok = true;
    return outcome;
}

}  // namespace brevok
