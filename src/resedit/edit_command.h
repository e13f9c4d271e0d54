// brc32's editing command line (rcedit's options and our own), read and run: every edit of
// one call applied in memory, the reads answered, and the program written once, atomically.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "rules/parsed.h"

namespace brevok {

/// One option of an editing call with its values, as given.
struct EditStep {
    std::string option;  // "--set-icon"
    std::vector<std::string> values;
};

/// An editing call: the program, its edits and reads in the order given, and --language.
struct EditCall {
    std::string program;
    std::vector<EditStep> steps;
    std::optional<std::uint16_t> language;
};

/// The help text of the editing options.
extern const char* const kEditOptionsHelp;

/// True when `args` (the arguments after the program name) ask for an edit: their first is
/// not an option and an editing option follows.
bool IsEditCall(const std::vector<std::string>& args);

/// Reads an editing call; fails naming the unknown option or the missing value.
Parsed<EditCall> ParseEditCall(const std::vector<std::string>& args);

/// What a run printed: values for standard output, messages for standard error.
struct EditOutcome {
    bool ok = false;
    std::vector<std::string> values;
    std::vector<std::string> messages;
};

/// Runs the call. The edits apply in the order given (an --application-manifest before any
/// --set-requested-execution-level); reads (--get-*, --list, --extract) see the edited
/// resources; the program is replaced once, atomically, and only when every step succeeded
/// and there was an edit. On any failure the program is left as it was.
EditOutcome RunEditCall(const EditCall& call);

}  // namespace brevok
