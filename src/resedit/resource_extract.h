// Taking a program's resources out as files, with a script that compiles back to them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "image/resource_section.h"
#include "rules/parsed.h"

namespace brevok {

/// How resources are written out: readable statements where they compile back to the same
/// bytes (VERSIONINFO, STRINGTABLE), or a file for every resource (one script line each, as
/// Add File writes them).
enum class ExtractStyle { Statements, FilesOnly };

/// One resource as the extraction wrote it.
struct ExtractedItem {
    ResId type;
    ResId name;
    std::uint16_t language = 0;
    /// The file written in the folder (its name alone); empty for a readable statement.
    std::string file;
    /// The name and type words of its script line ("1", "ICON"); empty when it has none.
    std::string nameWord;
    std::string typeWord;
    /// The script's text for it (a file line or a statement).
    std::string statement;
};

/// What an extraction wrote and what it could not give back exactly (one line each).
struct Extraction {
    std::vector<ExtractedItem> items;
    std::vector<std::string> notes;
};

/// The name of the script an extraction writes into its folder.
inline constexpr char kExtractedScriptName[] = "resources.rc";

/// Writes `leaves` into `folder` (made when missing) as files, and with
/// ExtractStyle::Statements a script kExtractedScriptName there (with FilesOnly no script, and
/// no file of the folder is overwritten: a taken name gets a number):
/// - icons and cursors as .ico and .cur files reassembled from their groups; bitmaps as .bmp
///   files with their file header; manifests as they are;
/// - with ExtractStyle::Statements, version resources and string tables as VERSIONINFO and
///   STRINGTABLE statements when the compiler gives back the same bytes from them;
/// - anything else as its bytes in a file named with its type number ("1 16 \"version_1.bin\"").
/// The script is compiled back before this returns; a statement that does not give the same
/// bytes is replaced by its typed file, and what still differs is named in the notes. Throws
/// Error when a file cannot be written.
Extraction ExtractResources(const std::vector<ResourceLeaf>& leaves, const std::string& folder,
                            const std::string& programName, ExtractStyle style);

/// Compares resources as a compiler would give them back: every one byte for byte, except
/// icon and cursor groups, whose member ids may differ (each entry is compared with its
/// image's bytes instead) and whose member images are then not compared on their own. One
/// line per difference; none when they are the same.
std::vector<std::string> CompareResources(const std::vector<ResourceLeaf>& expected,
                                          const std::vector<ResourceLeaf>& actual);

}  // namespace brevok
