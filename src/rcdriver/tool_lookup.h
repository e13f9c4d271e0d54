// Finding llvm-rc: the one named, else beside the running program or on the search path,
// under its own name or as the highest versioned one (as Debian installs LLVM's tools).
#pragma once

#include <memory>
#include <string>

namespace brevok {

/// Where llvm-rc is, for one tool run: `chosen` when it is not empty, else `llvm-rc` beside
/// the running program (where a Windows installation keeps llvm-rc.exe) or on the search
/// path, else the highest `llvm-rc-NN` on the search path. Looked for only the first time it
/// is asked for, since the search lists every folder of the search path, and the answer kept;
/// copies share it, so a run looks once however often it asks.
class LlvmRcLocator {
public:
    /// Finds none.
    LlvmRcLocator() = default;
    /// `chosen`: BREVOK_LLVM_RC's value; `searchPath`: PATH's (folders separated as
    /// SplitSearchList reads them).
    LlvmRcLocator(std::string chosen, std::string searchPath);

    /// llvm-rc's path; empty when there is none.
    const std::string& Path() const;

private:
    struct Search;
    std::shared_ptr<Search> search_;
};

}  // namespace brevok
