// The options every program of the system answers before its own: --help and --version.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brevok {

/// When the first argument is --help or --version, prints `usage` or the line
/// "PROGRAM (Brevok Resource Compiler) VERSION" and the copyright line to standard output,
/// and returns the exit code: 0, or 1 when standard output could not be written. Returns
/// nothing for any other first argument. Only the first argument counts, so that a command
/// run by brevdos keeps options of the same name. Needs nothing else of a program, so the
/// window program answers before its application object (and a display) exists.
std::optional<int> AnswerStandardOption(const std::vector<std::string>& arguments, std::string_view programName,
                                        std::string_view usage);

}  // namespace brevok
