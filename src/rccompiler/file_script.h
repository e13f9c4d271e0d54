// Reading a resource script made only of one-line file statements (`NAME TYPE "path"`), blank
// lines and `//` comments, token by token as llvm-rc reads them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "image/res_file.h"
#include "platform/diagnostic.h"

namespace brevok {

/// How a file statement turns its file into resources.
enum class FileResourceKind {
    /// BITMAP: the .bmp file without its BITMAPFILEHEADER.
    Bitmap,
    /// ICON: one RT_ICON per image of the .ico file and an RT_GROUP_ICON directory.
    Icon,
    /// CURSOR: one RT_CURSOR per image of the .cur file and an RT_GROUP_CURSOR directory.
    Cursor,
    /// RCDATA, a user-defined type name or any type number: the file's bytes.
    Data,
    /// A resource whose bytes the script gives itself (a dialog, a string table, ...):
    /// FileStatement::data, no file.
    Inline,
};

/// One `NAME TYPE "path"` line.
struct FileStatement {
    /// 1-based line of the script.
    std::size_t line = 0;
    FileResourceKind kind = FileResourceKind::Data;
    /// The name as llvm-rc writes it: a number, or the word in upper case.
    ResId name;
    /// The type of a Data statement (RCDATA is 10); unused for the other kinds.
    ResId type;
    /// Name and type as the line spells them, for messages.
    std::string nameText;
    std::string typeText;
    /// The path as llvm-rc opens it: the bytes between the quotes (doubled quotes and
    /// backslashes kept), or the bare word.
    std::string path;
    /// The header fields a full script may set; unset, the kind's default memory flags and
    /// the compile's language.
    std::optional<std::uint16_t> memoryFlags;
    std::optional<std::uint16_t> language;
    std::uint32_t version = 0;
    std::uint32_t characteristics = 0;
    /// The bytes of an Inline resource.
    std::string data;
};

/// What ParseFileScript found.
struct FileScript {
    std::vector<FileStatement> statements;
    /// The statements llvm-rc refuses before it reads any file (a bad number, an id of more
    /// than 16 bits), each an error on its line (LineError).
    std::vector<Diagnostic> problems;
    /// The first line that is not a file statement, a blank line or a `//` comment, or that
    /// the C preprocessor or the script parser could read otherwise than this reader: the
    /// whole script then goes through the preprocessor and the parser.
    std::optional<std::size_t> foreignLine;
};

/// Reads `text` line by line. Lines break at LF (a CR before it is dropped). Anything this
/// reader does not fully understand sets foreignLine and ends the reading: statements over
/// several lines, other statements (STRINGTABLE, LANGUAGE, DIALOG, ...), directives, memory
/// flags, block comments, adjacent strings, words the preprocessor would replace (`_WIN32`,
/// `RC_INVOKED`), line splices and trigraphs.
FileScript ParseFileScript(std::string_view text);

}  // namespace brevok
