// Reading a resource script made only of one-line file statements (`NAME TYPE "path"`), blank
// lines and `//` comments, token by token as llvm-rc reads them.
#pragma once

#include <string_view>

#include "rccompiler/record_model.h"
#include "rules/text_encoding.h"

namespace brevok {

/// Reads `text`, a script in `codePage`, line by line into records, as the full compiler would
/// write them. Lines break at LF (a CR before it is dropped). Anything this
/// reader does not fully understand sets foreignLine and ends the reading: statements over
/// several lines, other statements (STRINGTABLE, LANGUAGE, DIALOG, ...), directives, memory
/// flags, block comments, adjacent strings, words the preprocessor would replace (`_WIN32`,
/// `RC_INVOKED`), line splices and trigraphs.
RecordList ParseFileScript(std::string_view text, int codePage = kDefaultCodePage);

}  // namespace brevok
