// The error vocabulary of the system, written down once:
// - Parsed<T> (a value, or what is wrong and where) and Status (success, or what is wrong):
//   what a reader of untrusted input returns (PE, .res, ELF, icon and version resources, the
//   registry file, scripts). Bad input is never thrown, and an empty string never stands for
//   success.
// - Error (rules/errors.h): a command's failure, thrown; what() is the text the user sees.
//   Each user-facing text of a failed file step comes from its factory there
//   (CannotOpenFile, CannotCreateFile, ...), never typed again. One place per program catches
//   it: the workbench's generic error report, a tool's main, the compiler's pipeline.
// - Diagnostic (rules/diagnostic.h): what a stage of the compiler says about a line of its
//   input (file, line, severity, text); "FILE(LINE): error: TEXT" is formatted there alone.
// - ToolOutcome (below): what one run of the compiler or the binder gives, success and its
//   messages as the tool prints them.
// A recursive reader may unwind with a type of its own (the registry reader's ParseFailure,
// the #if evaluator's ExpressionError, the preprocessor's Fatal, the script parser's
// ParseError, the record writer's WriteError): each is declared, thrown and caught in one .cpp
// file and never leaves it.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace brevok {

/// What a parser of an untrusted file returns instead of throwing: either `value` is set,
/// or `error` names what is wrong and where ("section 3 raw data runs past the end of the
/// file (offset 0x400, size 0x200)"). Exactly one of the two is meaningful. A text format
/// also gives the line of the error, counted from 1 (0 where lines mean nothing).
template <class T>
struct Parsed {
    std::optional<T> value;
    std::string error;
    std::size_t line = 0;

    bool ok() const { return value.has_value(); }
    explicit operator bool() const { return ok(); }
    const T& operator*() const& { return *value; }
    T& operator*() & { return *value; }
    T&& operator*() && { return std::move(*value); }
    const T* operator->() const { return &*value; }
    T* operator->() { return &*value; }

    static Parsed Ok(T v) { return Parsed{std::move(v), {}, 0}; }
    static Parsed Fail(std::string why, std::size_t line = 0) { return Parsed{std::nullopt, std::move(why), line}; }
};

/// What a step without a value returns: success, or the text of what is wrong (in the words
/// of Parsed's error).
struct Status {
    std::string error;
    bool failed = false;

    bool ok() const { return !failed; }
    explicit operator bool() const { return ok(); }

    static Status Ok() { return {}; }
    static Status Fail(std::string why) { return Status{std::move(why), true}; }
};

/// What one whole run of the compiler or the binder gave: `ok` only when its output is
/// complete and in place; `lines` its messages, one per line, as the tool prints them.
struct ToolOutcome {
    bool ok = false;
    std::vector<std::string> lines;
};

}  // namespace brevok
