// The resource compiler's writer stage: statements into .res records, byte for byte as
// llvm-rc lays them out.
#pragma once

#include <cstdint>
#include <vector>

#include "rccompiler/file_script.h"
#include "rccompiler/rc_statements.h"

namespace brevok {

/// The records a script gives, as statements for the record writer (CompileFileScript): those
/// of files (bitmaps, icons, cursors, HTML, user files) to be read, the others with their
/// data; string-table bundles last, as llvm-rc writes them. A statement that cannot be
/// written gives a problem "TYPE statement (ID NAME): WHY" on its line (1-based) instead.
struct RcWritten {
    std::vector<FileStatement> statements;
    std::vector<Diagnostic> problems;
};

/// `codePage`: that of the strings (1252 or 65001); `language`: of resources no LANGUAGE
/// names.
RcWritten WriteResourceStatements(const std::vector<RcResource>& resources, int codePage, std::uint16_t language);

}  // namespace brevok
