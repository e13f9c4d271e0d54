// The resource-script parser: tokens into statements, with llvm-rc's grammar.
#pragma once

#include <vector>

#include "platform/parsed.h"
#include "rcdriver/rc_statements.h"
#include "rcdriver/rc_tokens.h"

namespace brevok {

/// Reads every top-level statement of `tokens`. Fails on the first syntax error with
/// llvm-rc's wording ("expected '{', got 3") and the 1-based line of the offending token.
Parsed<std::vector<RcResource>> ParseResourceScript(const std::vector<RcToken>& tokens);

}  // namespace brevok
