// Writing the records of a script into a .res file, byte for byte as llvm-rc writes them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "rules/parsed.h"
#include "rccompiler/record_model.h"

namespace brevok {

/// What the record writer needs of a compile's options.
struct RecordOptions {
    /// The language of records that name none.
    std::uint16_t language = 0x409;
    /// Where data files are searched after the current folder and the script's folder: the
    /// `-i` folders, then those of the INCLUDE variable (see DataFileFinder).
    std::vector<std::string> dataFolders;
    /// When set, receives the path of each data file found, as it was opened, in the order of
    /// the records (a file named twice, twice).
    std::vector<std::string>* foundFiles = nullptr;
};

/// Writes the records of `parsed` (a script without a foreign line) read from `script` into
/// `res`, as llvm-rc would given the script's folder and `options.dataFolders` with `/I`:
/// - records in their order after the empty opening record, in the options' language;
/// - BITMAP: the file after its 14-byte file header, flags 0x30;
/// - ICON, CURSOR: one RT_ICON / RT_CURSOR per image (a cursor's starts with its hot spot),
///   numbered from 1 across the script, flags 0x1010, then the group directory, flags 0x1030;
/// - anything else: the file's bytes, flags 0x30;
/// - an Inline record: its data.
/// A record's own memory flags, language, version and characteristics replace these.
/// Every record is checked; each problem gives a line "SCRIPT(LINE): error: TEXT" and no
/// output is written (an older `res` stays). Data files are streamed, never held whole; icon
/// and cursor files are read whole. `locate` names the file and line each line of what was
/// parsed came from (by default `script` and the line itself).
using LineLocator = std::function<void(Diagnostic& diagnostic)>;

ToolOutcome WriteRecords(const std::string& script, const RecordList& parsed, const std::string& res,
                         const RecordOptions& options, LineLocator locate = {});

}  // namespace brevok
