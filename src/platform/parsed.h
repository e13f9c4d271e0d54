// The result types of the stages that can fail: a value or nothing, or the text of what is wrong.
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
