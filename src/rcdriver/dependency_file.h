// The dependency file a compile writes for a build system: the files its output was made
// from, as make and Ninja read them (gcc's -MD format) or as zig rc lists them (JSON).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace brevok {

/// How a compile lists what it read.
struct DependencyOutput {
    enum class Format { Make, Json };

    /// The file to write; empty: none is written.
    std::string file;
    Format format = Format::Make;
    /// The targets of the rule, as they go into the file (already quoted where asked); none:
    /// the compile's output, quoted for make.
    std::vector<std::string> targets;
    /// A rule without prerequisites for each file but the script (gcc's -MP), so that make
    /// does not stop when a header is deleted.
    bool phonyTargets = false;
    /// Headers shipped with the compiler are listed too (gcc's -MD); -MMD leaves them out.
    bool shippedHeaders = true;
};

/// `path` as a make target or prerequisite: a space or tab after backslashes doubles them and
/// is escaped, `$` is doubled and `#` escaped, as gcc quotes them (-MQ).
std::string QuoteForMake(std::string_view path);

/// The make rule: "TARGETS: SCRIPT \" then one file per line, indented by two spaces; with
/// `phonyTargets`, an empty rule for each file after the first.
std::string MakeDependencyText(const std::vector<std::string>& targets, const std::vector<std::string>& files,
                               bool phonyTargets);

/// A JSON array of the paths, one per line.
std::string JsonDependencyText(const std::vector<std::string>& files);

/// Writes `output.file` atomically for a compile of `produced` from `files` (the script first,
/// each file once). Throws Error when the file cannot be written.
void WriteDependencyFile(const DependencyOutput& output, const std::string& produced,
                         const std::vector<std::string>& files);

}  // namespace brevok
