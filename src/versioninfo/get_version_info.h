// TGetVersionInfoFromFile: the standard strings of a file's version resource as two lists.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "versioninfo/version_library.h"

namespace brevok {

/// Reads up to eight standard strings of a file's version resource. Assigning the file name
/// is the only way to read: it clears both lists and, when the file exists, fills
/// `VersionCategories` with the keys found and `VersionStrings` with their values, entry i
/// of one belonging to entry i of the other.
///
/// The keys are read in this order, and reading stops at the first key the file's first
/// string table lacks; a key whose value has length 0 is skipped:
/// CompanyName, FileDescription, FileVersion, InternalName, LegalCopyright,
/// OriginalFilename, ProductName, ProductVersion.
/// Positions in VersionStrings, valid when every earlier key had a value (the program's own
/// file has all eight).
inline constexpr std::size_t kFileVersionPosition = 2;
inline constexpr std::size_t kInternalNamePosition = 3;

class TGetVersionInfoFromFile {
public:
    /// Both lists empty, no file name. `library` must outlive the reader.
    explicit TGetVersionInfoFromFile(const VersionLibrary& library = SystemVersionLibrary());

    /// The name last assigned, or empty when that named no existing file.
    const std::string& fileName() const { return fileName_; }

    /// Clears both lists; then, when `name` names an existing file (a folder does not count),
    /// keeps the name and reads the file, else keeps the empty string. Assigning the same
    /// name again reads the file again. File names and values of any length are taken whole.
    void setFileName(const std::string& name);

    /// The values found, at the positions of their keys in VersionCategories.
    const std::vector<std::string>& VersionStrings() const { return versionStrings_; }
    /// The keys found, in table order.
    const std::vector<std::string>& VersionCategories() const { return versionCategories_; }

    /// The lists themselves, for changes in place (a form that stores the reader loads its
    /// saved contents this way); the next setFileName discards them.
    std::vector<std::string>& VersionStrings() { return versionStrings_; }
    std::vector<std::string>& VersionCategories() { return versionCategories_; }

    /// Assigning a list has no effect: the reader's lists only change by reading a file.
    void setVersionStrings(const std::vector<std::string>&) { }
    void setVersionCategories(const std::vector<std::string>&) { }

private:
    void ReadVersionInfo();

    const VersionLibrary& library_;
    std::string fileName_;
    std::vector<std::string> versionStrings_;
    std::vector<std::string> versionCategories_;
};

/// "\StringFileInfo\080904E4\FileVersion": the query path of `key` in the string table of
/// `language` and `codePage`, each as four upper-case hexadecimal digits.
std::string StringQueryPath(unsigned language, unsigned codePage, const std::string& key);

/// The FileVersion of the running program's own version resource; empty when it has none.
std::string RunningProgramFileVersion();

}  // namespace brevok
