// The resource compiler's record stage: parsed statements into records, their bytes laid out
// as llvm-rc lays them out.
#pragma once

#include <cstdint>
#include <vector>

#include "preprocessor/preprocessor.h"
#include "rccompiler/record_model.h"
#include "rccompiler/rc_statements.h"

namespace brevok {

/// The records a script gives, for the record writer (WriteRecords): those
/// of files (bitmaps, icons, cursors, HTML, user files) to be read, the others with their
/// data; string-table bundles last, as llvm-rc writes them. A statement that cannot be
/// written gives a problem "TYPE statement (ID NAME): WHY" on its line (1-based) instead.
struct RcRecords {
    std::vector<Record> records;
    std::vector<Diagnostic> problems;
};

/// What the command line changes in the records.
struct RecordChoices {
    /// Every STRINGTABLE string ends with a NUL that its length counts.
    bool nullTerminateStrings = false;
    /// A warning for each control of a dialog whose ID an earlier control of it has.
    bool warnDuplicateControlIds = true;
    /// The code page narrow strings of user-defined resources are written in, by line (none:
    /// the strings' own). With the strings in UTF-8 and another code page named there, they
    /// are written in that code page ('?' for what it cannot hold), as rc.exe writes them;
    /// otherwise each character is a byte of its own.
    std::vector<NarrowCodePage> narrowCodePages;
};

/// `codePage`: that of the strings (1252 or 65001); `language`: of resources no LANGUAGE
/// names. Warnings go to `problems` too.
RcRecords MakeRecords(const std::vector<RcResource>& resources, int codePage, std::uint16_t language,
                      const RecordChoices& choices = {});

}  // namespace brevok
