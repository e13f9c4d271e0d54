// Macro expansion with hide sets (Prosser's algorithm, as C compilers expand): arguments,
// substitution with # and ##, the built-in macros, and rescanning.
#include "preprocessor/preprocessor_run.h"

#include <algorithm>
#include <ctime>
#include <iterator>

namespace brevok::preprocessing {

namespace {

bool Hidden(const HideSet& set, std::uint32_t id)
{
    return set && std::binary_search(set->begin(), set->end(), id);
}

HideSet Union(const HideSet& a, const HideSet& b)
{
    if (!a || a->empty())
        return b;
    if (!b || b->empty() || a == b)
        return a;
    auto merged = std::make_shared<std::vector<std::uint32_t>>();
    std::set_union(a->begin(), a->end(), b->begin(), b->end(), std::back_inserter(*merged));
    return merged;
}

HideSet Intersect(const HideSet& a, const HideSet& b)
{
    if (!a || !b)
        return nullptr;
    auto common = std::make_shared<std::vector<std::uint32_t>>();
    std::set_intersection(a->begin(), a->end(), b->begin(), b->end(), std::back_inserter(*common));
    return common;
}

HideSet WithId(const HideSet& set, std::uint32_t id)
{
    return Union(set, std::make_shared<std::vector<std::uint32_t>>(1, id));
}

}  // namespace

bool Preprocessor::NextIsParen(std::vector<PpToken>& input, bool readOn)
{
    while (input.empty()) {
        if (!readOn)
            return false;
        LogicalLine line;
        if (!NextLine(line))
            return false;
        if (!line.tokens.empty() && line.tokens[0].Is("#")) {
            Top().pending = std::move(line);
            return false;
        }
        input.insert(input.end(), std::make_move_iterator(line.tokens.rbegin()),
                     std::make_move_iterator(line.tokens.rend()));
    }
    return input.back().Is("(");
}

bool Preprocessor::ReadArguments(std::vector<PpToken>& input, bool readOn, const Macro& macro, const PpToken& name,
                                 std::vector<std::vector<PpToken>>& args, PpToken& closing)
{
    input.pop_back();  // the '('
    args.assign(1, {});
    int depth = 0;
    for (;;) {
        if (input.empty()) {
            LogicalLine line;
            if (!readOn || !NextLine(line) || (!line.tokens.empty() && line.tokens[0].Is("#"))) {
                if (readOn && !line.tokens.empty())
                    Top().pending = std::move(line);
                Error(currentLine_, "unterminated argument list invoking macro '" + name.text + "'");
                return false;
            }
            for (PpToken& token : line.tokens) {
                token.startOfLine = false;
            }
            if (!line.tokens.empty())
                line.tokens[0].spaceBefore = true;
            input.insert(input.end(), std::make_move_iterator(line.tokens.rbegin()),
                         std::make_move_iterator(line.tokens.rend()));
            continue;
        }
        PpToken token = std::move(input.back());
        input.pop_back();
        token.startOfLine = false;
        if (depth == 0 && token.Is(")")) {
            closing = std::move(token);
            break;
        }
        if (depth == 0 && token.Is(",") && !(macro.variadic && args.size() == macro.params.size())) {
            args.emplace_back();
            continue;
        }
        if (token.Is("("))
            ++depth;
        else if (token.Is(")"))
            --depth;
        args.back().push_back(std::move(token));
    }
    const std::size_t wanted = macro.params.size();
    if (wanted == 0 && args.size() == 1 && args[0].empty()) {
        args.clear();
        return true;
    }
    if (macro.variadic && args.size() + 1 == wanted)
        args.emplace_back();
    if (args.size() == wanted)
        return true;
    Error(currentLine_,
          std::string(args.size() < wanted ? "too few" : "too many") + " arguments for macro '" + name.text +
              "' (it takes " + std::to_string(wanted) + ", " + std::to_string(args.size()) + " given)");
    return false;
}

bool Preprocessor::Paste(PpToken& left, const PpToken& right)
{
    const std::string text = left.text + right.text;
    std::vector<PpToken> tokens = LexTokens(text);
    if (tokens.size() != 1 || tokens[0].text != text) {
        Error(currentLine_, "pasting formed '" + text + "', an invalid preprocessing token");
        return false;
    }
    left.kind = tokens[0].kind;
    left.text = text;
    return true;
}

std::vector<PpToken> Preprocessor::ExpandArgument(const std::vector<PpToken>& arg, int depth)
{
    if (depth > limits_.argumentDepth)
        Stop(currentLine_, "macro arguments nested deeper than " + std::to_string(limits_.argumentDepth) + " levels");
    std::vector<PpToken> input(arg.rbegin(), arg.rend());
    return Expand(input, false, depth);
}

std::vector<PpToken> Preprocessor::Substitute(const Macro& macro, const std::vector<std::vector<PpToken>>& args,
                                              const HideSet& hide, const PpToken& name, int depth)
{
    std::vector<PpToken> result;
    std::vector<std::optional<std::vector<PpToken>>> expanded(args.size());
    const auto append = [&result](const std::vector<PpToken>& tokens, bool spaceBefore) {
        const std::size_t first = result.size();
        result.insert(result.end(), tokens.begin(), tokens.end());
        if (first < result.size())
            result[first].spaceBefore = spaceBefore;
    };
    const auto stringized = [&](std::size_t param, bool spaceBefore) {
        PpToken token;
        token.kind = PpTokenKind::String;
        token.text = StringizeSpelling(args[param]);
        token.spaceBefore = spaceBefore;
        return token;
    };
    const std::vector<PpToken>& body = macro.body;
    // An empty argument before ## leaves nothing to paste onto.
    bool placemarker = false;
    for (std::size_t i = 0; i < body.size(); ++i) {
        const PpToken& token = body[i];
        const int param = ParamIndex(macro, token);
        if (macro.functionLike && token.Is("#") && i + 1 < body.size()) {
            result.push_back(stringized(static_cast<std::size_t>(ParamIndex(macro, body[++i])), token.spaceBefore));
            placemarker = false;
            continue;
        }
        if (token.Is("##") && i + 1 < body.size()) {
            const PpToken& operand = body[++i];
            const int right = ParamIndex(macro, operand);
            std::vector<PpToken> rhs;
            if (right >= 0) {
                rhs = args[static_cast<std::size_t>(right)];
                // GNU: in ", ## __VA_ARGS__" the comma goes when there are no variable arguments.
                if (macro.variadic && right + 1 == static_cast<int>(macro.params.size()) && !placemarker &&
                    !result.empty() && result.back().Is(",")) {
                    if (rhs.empty())
                        result.pop_back();
                    else
                        append(rhs, operand.spaceBefore);
                    continue;
                }
            } else if (macro.functionLike && operand.Is("#") && i + 1 < body.size()) {
                rhs.push_back(stringized(static_cast<std::size_t>(ParamIndex(macro, body[++i])), false));
            } else {
                rhs.push_back(operand);
            }
            if (rhs.empty())
                continue;
            if (placemarker || result.empty()) {
                append(rhs, operand.spaceBefore);
                placemarker = false;
                continue;
            }
            if (Paste(result.back(), rhs.front()))
                result.insert(result.end(), rhs.begin() + 1, rhs.end());
            continue;
        }
        if (param >= 0) {
            const auto index = static_cast<std::size_t>(param);
            if (i + 1 < body.size() && body[i + 1].Is("##")) {
                placemarker = args[index].empty();
                append(args[index], token.spaceBefore);
                continue;
            }
            if (!expanded[index])
                expanded[index] = ExpandArgument(args[index], depth + 1);
            append(*expanded[index], token.spaceBefore);
            placemarker = false;
            continue;
        }
        result.push_back(token);
        placemarker = false;
    }
    expandedTokens_ += result.size();
    if (expandedTokens_ > limits_.expandedTokens)
        Stop(currentLine_, "macro expansion gives more than " + std::to_string(limits_.expandedTokens) + " tokens");
    for (PpToken& token : result) {
        token.hidden = Union(token.hidden, hide);
        token.fromMacro = true;
        token.startOfLine = false;
    }
    if (!result.empty()) {
        result[0].spaceBefore = name.spaceBefore;
        result[0].startOfLine = name.startOfLine;
        result[0].line = name.line;
    }
    return result;
}

PpToken Preprocessor::BuiltinToken(const Macro& macro, const PpToken& name)
{
    PpToken token = name;
    token.kind = PpTokenKind::Number;
    token.fromMacro = true;
    switch (macro.builtin) {
    case Builtin::Line:
        token.text = std::to_string(currentLine_);
        break;
    case Builtin::Counter:
        token.text = std::to_string(counter_++);
        break;
    case Builtin::File:
        token.kind = PpTokenKind::String;
        token.text = "\"" + EscapeName(result_.files[Top().presumedFile]) + "\"";
        break;
    case Builtin::Date:
    case Builtin::Time: {
        const std::time_t now = std::time(nullptr);
        const std::tm* local = std::localtime(&now);
        char text[32] = {};
        if (macro.builtin == Builtin::Time) {
            std::strftime(text, sizeof text, "\"%H:%M:%S\"", local);
        } else {
            // "Mmm dd yyyy" with the day padded by a space; Windows' C library has no %e.
            char month[8] = {};
            std::strftime(month, sizeof month, "%b", local);
            std::snprintf(text, sizeof text, "\"%s %2d %d\"", month, local->tm_mday, local->tm_year + 1900);
        }
        token.kind = PpTokenKind::String;
        token.text = text;
        break;
    }
    case Builtin::None:
        break;
    }
    return token;
}

std::vector<PpToken> Preprocessor::Expand(std::vector<PpToken>& input, bool readOn, int depth)
{
    std::vector<PpToken> out;
    while (!input.empty()) {
        PpToken token = std::move(input.back());
        input.pop_back();
        const auto found = token.kind == PpTokenKind::Identifier ? macros_.find(token.text) : macros_.end();
        if (found == macros_.end() || Hidden(token.hidden, found->second.id)) {
            out.push_back(std::move(token));
            continue;
        }
        const Macro& macro = found->second;
        if (macro.builtin != Builtin::None) {
            out.push_back(BuiltinToken(macro, token));
            continue;
        }
        std::vector<PpToken> replacement;
        if (!macro.functionLike) {
            replacement = Substitute(macro, {}, WithId(token.hidden, macro.id), token, depth);
        } else {
            if (!NextIsParen(input, readOn)) {
                out.push_back(std::move(token));
                continue;
            }
            std::vector<std::vector<PpToken>> args;
            PpToken closing;
            if (!ReadArguments(input, readOn, macro, token, args, closing))
                continue;
            replacement =
                Substitute(macro, args, WithId(Intersect(token.hidden, closing.hidden), macro.id), token, depth);
        }
        if (replacement.empty() && !input.empty() && token.startOfLine) {
            // What follows an empty expansion still starts the line.
            input.back().startOfLine = true;
            input.back().line = token.line;
        }
        input.insert(input.end(), std::make_move_iterator(replacement.rbegin()),
                     std::make_move_iterator(replacement.rend()));
    }
    return out;
}

}  // namespace brevok::preprocessing
