// The constant expressions of #if and #elif, evaluated as C does in intmax_t and uintmax_t.
#pragma once

#include <cstdint>
#include <vector>

#include "rules/parsed.h"
#include "preprocessor/pp_tokens.h"

namespace brevok {

struct PpValue {
    std::intmax_t value = 0;
    bool isUnsigned = false;
};

/// Evaluates `tokens`: a line of #if after its macros were expanded and `defined` was
/// answered. Identifiers left are 0. Fails on a syntax error, division by zero or a token
/// that has no place in a constant expression, naming it ("'(' has no closing ')'").
Parsed<PpValue> EvaluatePpExpression(const std::vector<PpToken>& tokens);

}  // namespace brevok
