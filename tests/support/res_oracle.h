// An independent reader of .res files: llvm-cvtres turns one into an object file and
// llvm-readobj lists its resource tree.
#pragma once

#include "platform/command_line.h"
#include "platform/process.h"
#include "support/scratch_folder.h"

#include <regex>
#include <set>
#include <sstream>
#include <string>

namespace brevok::testing {

/// The first of the LLVM tool's names found on PATH ("llvm-cvtres", "llvm-cvtres-14", ...).
inline std::string FindLlvmTool(const std::string& name)
{
    SearchPlaces places;
    if (const char* path = std::getenv("PATH"))
        places.pathVariable = path;
    for (const std::string& candidate : {name, name + "-19", name + "-16", name + "-15", name + "-14"}) {
        std::string found = FindProgram(candidate, places);
        if (!found.empty())
            return found;
    }
    return {};
}

/// "TYPE/NAME" of every entry of the .res file, as llvm-readobj names them ("BITMAP (ID 2)/LOGO",
/// "GROUP_ICON (ID 14)/APP"); empty when the tools refuse the file or are missing.
inline std::set<std::string> ResEntries(const std::string& resPath)
{
    const std::string cvtres = FindLlvmTool("llvm-cvtres");
    const std::string readobj = FindLlvmTool("llvm-readobj");
    ScratchFolder work;
    const std::string object = work / "res.obj";
    if (cvtres.empty() || readobj.empty() ||
        RunAndCapture({cvtres, "/machine:x64", "/out:" + object, resPath}).exitCode != 0)
        return {};
    const ProgramExit listing = RunAndCapture({readobj, "--coff-resources", object});
    std::set<std::string> entries;
    std::istringstream lines(listing.output);
    std::string line;
    std::string type;
    static const std::regex typeLine(R"(^\s*Type: (.*) \[$)");
    static const std::regex nameLine(R"(^\s*Name: (.*) \[$)");
    std::smatch match;
    while (std::getline(lines, line)) {
        if (std::regex_match(line, match, typeLine))
            type = match[1].str();
        else if (std::regex_match(line, match, nameLine))
            entries.insert(type + "/" + match[1].str());
    }
    return entries;
}

}  // namespace brevok::testing
