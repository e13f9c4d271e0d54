// The record model of the compiler: what every way of reading a script gives and the record
// writer (record_writer.h) writes. The file-statement reader (file_script.h) and the
// statement stage (rc_records.h) make records; nothing else of the compiler is shared
// between them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "image/res_file.h"
#include "rules/diagnostic.h"
#include "rules/text_encoding.h"

namespace brevok {

/// How a record gets its bytes.
enum class RecordKind {
    /// BITMAP: the .bmp file without its BITMAPFILEHEADER.
    Bitmap,
    /// ICON: one RT_ICON per image of the .ico file and an RT_GROUP_ICON directory.
    Icon,
    /// CURSOR: one RT_CURSOR per image of the .cur file and an RT_GROUP_CURSOR directory.
    Cursor,
    /// RCDATA, a user-defined type name or any type number: the file's bytes.
    Data,
    /// A resource whose bytes the script gives itself (a dialog, a string table, ...):
    /// Record::data, no file.
    Inline,
};

/// One resource the compiler writes into the .res file (for an icon or cursor, its images
/// and their group): a `NAME TYPE "path"` statement, or any other statement with its bytes
/// made (Inline).
struct Record {
    /// 1-based line of the text that gave it.
    std::size_t line = 0;
    RecordKind kind = RecordKind::Data;
    /// The name as llvm-rc writes it: a number, or the word in upper case.
    ResId name;
    /// The type of a Data statement (RCDATA is 10); unused for the other kinds.
    ResId type;
    /// Name and type as the line spells them, for messages.
    std::string nameText;
    std::string typeText;
    /// The path as llvm-rc opens it: the bytes between the quotes (doubled quotes and
    /// backslashes kept), or the bare word; text in `codePage`, looked for by the names
    /// FileNameLookups gives.
    std::string path;
    int codePage = kDefaultCodePage;
    /// The header fields a full script may set; unset, the kind's default memory flags and
    /// the compile's language.
    std::optional<std::uint16_t> memoryFlags;
    std::optional<std::uint16_t> language;
    std::uint32_t version = 0;
    std::uint32_t characteristics = 0;
    /// The bytes of an Inline resource.
    std::string data;
};

/// The records of a script in the order they are written, the problems found on the way
/// (every record is still checked, but nothing is written), and for the file-statement
/// reader the line where it gave up.
struct RecordList {
    std::vector<Record> records;
    /// The statements refused before any file is read (a bad number, an id of more than 16
    /// bits, a syntax error), each an error on its line (LineError).
    std::vector<Diagnostic> problems;
    /// ParseFileScript only: the first line that is not a file statement, a blank line or a
    /// `//` comment, or that the C preprocessor or the script parser could read otherwise
    /// than that reader; the whole script then goes through the preprocessor and the parser.
    std::optional<std::size_t> foreignLine;
};

}  // namespace brevok
