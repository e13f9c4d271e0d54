// Finding the file a statement names, in the places and the order llvm-rc looks for it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "rcdriver/compile_options.h"

namespace brevok {

class TempFolder;

/// What FindDataFile found.
struct DataFileLookup {
    enum class Outcome {
        /// `path` is the file to read (it exists; reading it may still fail).
        Found,
        /// No place holds the file.
        NotFound,
        /// The path leads into the preprocessor's private folder, which holds llvm-rc's
        /// copy of the script: only llvm-rc itself reads what it finds there.
        PrivateFolder,
    };
    Outcome outcome = Outcome::NotFound;
    std::string path;
};

/// The places llvm-rc searches for a relative path, with the options the front end passes
/// (`/I <script folder>`, `/I` for each `-i` folder, `/X` for `-x`): the current folder, the
/// private folder of the preprocessed copy llvm-rc reads, the script's folder, each `-i`
/// folder, then the folders of the INCLUDE variable (unless `-x`). A path with a root folder ("/x") is taken as it is. The
/// first place where the path exists wins, a folder included.
class DataFileFinder {
public:
    DataFileFinder(std::string script, const CompileOptions& options);
    ~DataFileFinder();
    DataFileFinder(const DataFileFinder&) = delete;
    DataFileFinder& operator=(const DataFileFinder&) = delete;

    /// A path that none of these places holds is then searched in the same places (private
    /// folder aside) with `\` as a separator and in any letter case (FindFileIgnoringCase).
    DataFileLookup Find(const std::string& path);

private:
    DataFileLookup FindAsLlvmRc(const std::string& path);
    std::vector<std::string> SearchFolders() const;
    DataFileLookup FindInPrivateFolder(const std::string& path);

    std::string script_;
    std::vector<std::string> includeFolders_;
    std::vector<std::string> includeVariableFolders_;
    /// A folder like the one the front end gives the preprocessor, made when first needed,
    /// holding an empty file of the copy's name.
    std::unique_ptr<TempFolder> private_;
};

}  // namespace brevok
