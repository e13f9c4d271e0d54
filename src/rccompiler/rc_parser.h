// The resource-script parser: tokens into statements, with llvm-rc's grammar.
#pragma once

#include <vector>

#include "rccompiler/file_script.h"
#include "rccompiler/rc_statements.h"
#include "rccompiler/rc_tokens.h"

namespace brevok {

/// What ParseResourceScript read: the statements it could, and each syntax error, in
/// llvm-rc's wording ("expected '{', got 3") on the 1-based line of the offending token.
struct RcParse {
    std::vector<RcResource> resources;
    std::vector<Diagnostic> errors;
    /// What rc.exe takes but silently reads otherwise than the text seems to say.
    std::vector<Diagnostic> warnings;
};

/// Reads every top-level statement of `tokens`. After a syntax error it goes on with the
/// next statement (past the block the broken one opened, or on a later line), so that each
/// broken statement is named; at most 100 errors.
RcParse ParseResourceScript(const std::vector<RcToken>& tokens);

}  // namespace brevok
