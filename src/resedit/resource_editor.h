// Editing the resources of a finished program one at a time: icons, version strings and
// numbers, the manifest, strings and any resource by type and name, written back through the
// binder's layout (overlay kept, certificate dropped, checksum recomputed).
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "image/image_layout.h"
#include "image/pe_image.h"
#include "image/piece_buffer.h"
#include "image/res_file.h"
#include "image/resource_section.h"
#include "rules/parsed.h"

namespace brevok {

/// The language of resources an edit makes when there is none to take it from (English, United States).
inline constexpr std::uint16_t kDefaultEditLanguage = 0x409;

/// The requestedExecutionLevel values a manifest may hold.
bool IsExecutionLevel(std::string_view level);

/// A resource type or name as the command line gives it: a number is an ordinal, a type
/// keyword ("RCDATA", "MANIFEST") its type, anything else a name.
ResId ResIdFromText(std::string_view text, bool isType);

/// A program's resources held for editing. Edits change the list in memory; Build lays the
/// image out anew. The editor owns the program's bytes and every resource's data, so it is
/// kept in one place (not copied or moved) while its result is written.
class ResourceEditor {
public:
    /// Reads the program's headers and resources from `bytes`; fails with what is wrong.
    static Parsed<std::unique_ptr<ResourceEditor>> Open(std::string bytes);

    ResourceEditor(const ResourceEditor&) = delete;
    ResourceEditor& operator=(const ResourceEditor&) = delete;

    /// The resources in directory order (types, then names, then languages).
    const std::vector<ResourceLeaf>& Resources() const { return leaves_; }
    bool IsDll() const;

    /// Replaces the main icon group (the first in the directory; a new group 1 when there is
    /// none) with the images of the .ico file `ico`, dropping its old images.
    Status SetIcon(std::string_view ico);
    /// Sets a string of the version resource (made, with a translation, when missing).
    Status SetVersionString(std::string_view key, std::string_view value);
    /// Sets the fixed file (or product) version and the FileVersion (ProductVersion) string.
    Status SetVersionNumber(bool product, std::string_view version);
    /// Replaces the manifest the loader reads (ID 1 for a program, 2 for a DLL).
    Status SetManifest(std::string_view manifest);
    /// Sets requestedExecutionLevel in that manifest (made when missing).
    Status SetExecutionLevel(std::string_view level);
    /// Sets string `id` of the string table.
    Status SetResourceString(std::string_view id, std::string_view value);
    /// Adds or replaces one resource; `language` unset takes the existing one's.
    Status SetResource(const ResId& type, const ResId& name, std::string_view data, std::optional<std::uint16_t> language);
    /// Removes a resource in `language` or, unset, in every language (an icon or cursor
    /// group with the images no other group uses).
    Status RemoveResource(const ResId& type, const ResId& name, std::optional<std::uint16_t> language);

    /// A version string of the version resource, or why there is none.
    Parsed<std::string> VersionString(std::string_view key) const;
    /// String `id` of the string table, or why there is none.
    Parsed<std::string> ResourceString(std::string_view id) const;

    /// The edited image; its pieces view the editor's data, which must outlive it.
    Parsed<BoundImage> Build();
    /// What the edits had to say (one line each).
    const std::vector<std::string>& Warnings() const { return warnings_; }

private:
    ResourceEditor() = default;

    const ResourceLeaf* Find(std::uint16_t type, const ResId* name = nullptr) const;
    std::string_view Keep(std::string data);
    Status Merge(const std::vector<ResRecordView>& records);
    void Put(ResourceLeaf leaf);
    std::uint16_t ManifestId() const;

    std::string bytes_;
    PeHeaders headers_;
    ResourceLocation location_;
    std::vector<ResourceLeaf> leaves_;
    std::deque<std::string> store_;
    PieceBuffer keeper_;
    std::vector<std::string> warnings_;
};

}  // namespace brevok
