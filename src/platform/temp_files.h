// Temporary files of a compile: a private folder for intermediate files and the output file
// written beside its target and renamed into place.
#pragma once

#include <string>
#include <vector>

namespace brevok {

/// A folder of our own below TMPDIR (or /tmp; on Windows the folder GetTempPath names),
/// named brevok-rc-XXXXXX, removed with the files it handed out.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    bool Valid() const { return !path_.empty(); }
    /// The folder, without a trailing separator; empty when it could not be made.
    const std::string& Path() const { return path_; }
    /// A file name in the folder, removed with it.
    std::string File(const std::string& name);

private:
    std::string path_;
    std::vector<std::string> files_;
};

/// The output file while it is written: a new file beside the target, renamed over the
/// target on success and removed otherwise, so the target is either complete or untouched.
class TempOutput {
public:
    explicit TempOutput(const std::string& target);
    ~TempOutput();
    TempOutput(const TempOutput&) = delete;
    TempOutput& operator=(const TempOutput&) = delete;

    /// Empty when no file could be made beside the target.
    const std::string& Path() const { return path_; }

    /// Renames the finished file over the target, keeping an existing target's permissions
    /// (Windows: MoveFileEx, replacing it).
    bool Commit();

private:
    std::string target_;
    std::string path_;
};

}  // namespace brevok
