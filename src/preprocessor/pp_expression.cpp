// A recursive-descent reader of #if expressions with C's precedence and usual arithmetic
// conversions (a signed and an unsigned operand give an unsigned result).
#include "preprocessor/pp_expression.h"
#include "rules/hex.h"

#include <cstdlib>
#include <string>

namespace brevok {

namespace {

struct ExpressionError {
    std::string text;
};

/// Parentheses and unary operators nested deeper than this are refused rather than read by
/// a recursion that could run out of stack.
constexpr int kMaxNesting = 256;

class Evaluator {
public:
    explicit Evaluator(const std::vector<PpToken>& tokens) : tokens_(tokens) { }

    PpValue Whole()
    {
        if (tokens_.empty())
            throw ExpressionError{"#if with no expression"};
        const PpValue value = Comma();
        if (pos_ < tokens_.size())
            throw ExpressionError{"token '" + tokens_[pos_].text + "' is not valid here in a preprocessor expression"};
        return value;
    }

private:
    /// Whether the operands are evaluated: the right side of `0 &&` is read but not
    /// computed, so `0 && 1 / 0` is no error.
    bool live_ = true;

    bool Accept(std::string_view punct)
    {
        if (pos_ < tokens_.size() && tokens_[pos_].Is(punct)) {
            ++pos_;
            return true;
        }
        return false;
    }

    PpValue Comma()
    {
        PpValue value = Conditional();
        while (Accept(","))
            value = Conditional();
        return value;
    }

    PpValue Conditional()
    {
        const PpValue condition = LogicalOr();
        if (!Accept("?"))
            return condition;
        const bool wasLive = live_;
        live_ = wasLive && condition.value != 0;
        const PpValue whenTrue = Comma();
        if (!Accept(":"))
            throw ExpressionError{"expected ':' in a '?:' expression"};
        live_ = wasLive && condition.value == 0;
        const PpValue whenFalse = Conditional();
        live_ = wasLive;
        PpValue result = condition.value != 0 ? whenTrue : whenFalse;
        result.isUnsigned = whenTrue.isUnsigned || whenFalse.isUnsigned;
        return result;
    }

    PpValue LogicalOr()
    {
        PpValue left = LogicalAnd();
        while (Accept("||")) {
            const bool wasLive = live_;
            live_ = wasLive && left.value == 0;
            const PpValue right = LogicalAnd();
            live_ = wasLive;
            left = {left.value != 0 || right.value != 0, false};
        }
        return left;
    }

    PpValue LogicalAnd()
    {
        PpValue left = Binary(0);
        while (Accept("&&")) {
            const bool wasLive = live_;
            live_ = wasLive && left.value != 0;
            const PpValue right = Binary(0);
            live_ = wasLive;
            left = {left.value != 0 && right.value != 0, false};
        }
        return left;
    }

    // The binary operators from | down to *, loosest first.
    static constexpr std::string_view kLevels[][4] = {
        {"|"}, {"^"}, {"&"}, {"==", "!="}, {"<", ">", "<=", ">="}, {"<<", ">>"}, {"+", "-"}, {"*", "/", "%"},
    };
    static constexpr int kLevelCount = 8;

    PpValue Binary(int level)
    {
        if (level == kLevelCount)
            return Unary();
        PpValue left = Binary(level + 1);
        for (;;) {
            std::string_view op;
            for (std::string_view candidate : kLevels[level])
                if (!candidate.empty() && Accept(candidate)) {
                    op = candidate;
                    break;
                }
            if (op.empty())
                return left;
            const PpValue right = Binary(level + 1);
            left = Apply(op, left, right);
        }
    }

    PpValue Apply(std::string_view op, PpValue a, PpValue b) const
    {
        const bool isUnsigned = a.isUnsigned || b.isUnsigned;
        const auto ua = static_cast<std::uintmax_t>(a.value);
        const auto ub = static_cast<std::uintmax_t>(b.value);
        const auto wrap = [](std::uintmax_t v) { return static_cast<std::intmax_t>(v); };
        if (op == "==")
            return {a.value == b.value, false};
        if (op == "!=")
            return {a.value != b.value, false};
        if (op == "<")
            return {isUnsigned ? ua < ub : a.value < b.value, false};
        if (op == ">")
            return {isUnsigned ? ua > ub : a.value > b.value, false};
        if (op == "<=")
            return {isUnsigned ? ua <= ub : a.value <= b.value, false};
        if (op == ">=")
            return {isUnsigned ? ua >= ub : a.value >= b.value, false};
        if (op == "|")
            return {wrap(ua | ub), isUnsigned};
        if (op == "^")
            return {wrap(ua ^ ub), isUnsigned};
        if (op == "&")
            return {wrap(ua & ub), isUnsigned};
        if (op == "+")
            return {wrap(ua + ub), isUnsigned};
        if (op == "-")
            return {wrap(ua - ub), isUnsigned};
        if (op == "*")
            return {wrap(ua * ub), isUnsigned};
        if (op == "<<" || op == ">>") {
            const unsigned shift = static_cast<unsigned>(ub & 63);
            if (op == "<<")
                return {wrap(ua << shift), a.isUnsigned};
            return {a.isUnsigned ? wrap(ua >> shift) : a.value >> shift, a.isUnsigned};
        }
        // '/' and '%'
        if (b.value == 0) {
            if (!live_)
                return {0, isUnsigned};
            throw ExpressionError{op == "/" ? "division by zero in a preprocessor expression"
                                            : "remainder by zero in a preprocessor expression"};
        }
        if (isUnsigned)
            return {wrap(op == "/" ? ua / ub : ua % ub), true};
        if (a.value == INTMAX_MIN && b.value == -1)
            return {op == "/" ? a.value : 0, false};
        return {op == "/" ? a.value / b.value : a.value % b.value, false};
    }

    PpValue Unary()
    {
        struct Nesting {
            explicit Nesting(int& depth) : depth_(depth)
            {
                if (++depth_ > kMaxNesting)
                    throw ExpressionError{"preprocessor expression nested deeper than " + std::to_string(kMaxNesting) +
                                          " levels"};
            }
            ~Nesting() { --depth_; }
            int& depth_;
        } nesting(depth_);
        if (Accept("+"))
            return Unary();
        if (Accept("-")) {
            const PpValue v = Unary();
            return {static_cast<std::intmax_t>(0 - static_cast<std::uintmax_t>(v.value)), v.isUnsigned};
        }
        if (Accept("~")) {
            const PpValue v = Unary();
            return {static_cast<std::intmax_t>(~static_cast<std::uintmax_t>(v.value)), v.isUnsigned};
        }
        if (Accept("!"))
            return {Unary().value == 0, false};
        return Primary();
    }

    PpValue Primary()
    {
        if (pos_ >= tokens_.size())
            throw ExpressionError{"the preprocessor expression ends where a value is expected"};
        const PpToken& token = tokens_[pos_];
        if (Accept("(")) {
            const PpValue value = Comma();
            if (!Accept(")"))
                throw ExpressionError{"'(' has no closing ')' in a preprocessor expression"};
            return value;
        }
        ++pos_;
        switch (token.kind) {
        case PpTokenKind::Identifier:
            return {0, false};
        case PpTokenKind::Number:
            return Number(token.text);
        case PpTokenKind::Char:
            return Character(token.text);
        default:
            throw ExpressionError{"token '" + token.text + "' is not valid in a preprocessor expression"};
        }
    }

    static PpValue Number(const std::string& text)
    {
        std::size_t end = 0;
        int base = 10;
        std::size_t start = 0;
        if (text.size() > 1 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
            base = 16;
            start = 2;
        } else if (text.size() > 1 && text[0] == '0' && (text[1] == 'b' || text[1] == 'B')) {
            base = 2;
            start = 2;
        } else if (text[0] == '0') {
            base = 8;
        }
        std::uintmax_t value = 0;
        bool overflow = false;
        for (end = start; end < text.size(); ++end) {
            const int digit = HexDigit(text[end]);
            if (digit < 0 || digit >= base)
                break;
            if (value > (UINTMAX_MAX - digit) / base)
                overflow = true;
            value = value * base + digit;
        }
        if (end == start && base != 8)
            throw ExpressionError{"invalid number '" + text + "' in a preprocessor expression"};
        bool isUnsigned = false;
        int longs = 0;
        for (; end < text.size(); ++end) {
            const char c = text[end];
            if ((c == 'u' || c == 'U') && !isUnsigned)
                isUnsigned = true;
            else if ((c == 'l' || c == 'L') && longs < 2)
                ++longs;
            else
                throw ExpressionError{"invalid number '" + text + "' in a preprocessor expression"};
        }
        if (overflow)
            throw ExpressionError{"number '" + text + "' is too large for a preprocessor expression"};
        // A decimal that does not fit intmax_t, or any other that needs its top bit, is unsigned.
        if (value > static_cast<std::uintmax_t>(INTMAX_MAX))
            isUnsigned = true;
        return {static_cast<std::intmax_t>(value), isUnsigned};
    }

    static PpValue Character(const std::string& text)
    {
        std::size_t i = text.find('\'') + 1;
        const bool wide = text[0] != '\'';
        std::intmax_t value = 0;
        int count = 0;
        while (i < text.size() && text[i] != '\'') {
            std::intmax_t c = static_cast<unsigned char>(text[i++]);
            if (c == '\\' && i < text.size()) {
                const char e = text[i++];
                switch (e) {
                case 'n':
                    c = '\n';
                    break;
                case 't':
                    c = '\t';
                    break;
                case 'r':
                    c = '\r';
                    break;
                case 'a':
                    c = '\a';
                    break;
                case 'b':
                    c = '\b';
                    break;
                case 'f':
                    c = '\f';
                    break;
                case 'v':
                    c = '\v';
                    break;
                case 'x':
                    c = 0;
                    while (i < text.size() && HexDigit(text[i]) >= 0)
                        c = (c << 4) + HexDigit(text[i++]);
                    break;
                default:
                    if (e >= '0' && e <= '7') {
                        c = e - '0';
                        for (int k = 0; k < 2 && i < text.size() && text[i] >= '0' && text[i] <= '7'; ++k)
                            c = c * 8 + (text[i++] - '0');
                    } else {
                        c = static_cast<unsigned char>(e);
                    }
                }
            }
            value = wide ? c : (value << 8) | (c & 0xFF);
            ++count;
        }
        if (count == 0)
            throw ExpressionError{"empty character constant in a preprocessor expression"};
        // A one-byte narrow constant is a signed char, as clang reads it.
        if (!wide && count == 1)
            value = static_cast<signed char>(value);
        return {value, false};
    }

    const std::vector<PpToken>& tokens_;
    std::size_t pos_ = 0;
    int depth_ = 0;
};

}  // namespace

Parsed<PpValue> EvaluatePpExpression(const std::vector<PpToken>& tokens)
{
    try {
        return Parsed<PpValue>::Ok(Evaluator(tokens).Whole());
    } catch (const ExpressionError& error) {
        return Parsed<PpValue>::Fail(error.text);
    }
}

}  // namespace brevok
