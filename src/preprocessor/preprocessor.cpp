// The preprocessor: files read through a stack of frames, directives, and the output with its
// line map; macro expansion is in macro_expansion.cpp.
#include "preprocessor/preprocessor.h"

#include "preprocessor/pp_expression.h"
#include "preprocessor/preprocessor_run.h"

#include "rules/ascii.h"
#include "rules/errors.h"
#include "platform/files.h"
#include "rules/paths.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>
#include <set>
#include <unordered_map>

namespace brevok {

namespace preprocessing {

namespace {

/// Runs of blank lines longer than this become a line marker, as clang writes them.
constexpr int kMaxBlankRun = 8;

/// Spells tokens as the source had them: a blank where one or more stood.
std::string Spell(const std::vector<PpToken>& tokens, std::size_t from = 0)
{
    std::string text;
    for (std::size_t i = from; i < tokens.size(); ++i) {
        if (i > from && tokens[i].spaceBefore)
            text += ' ';
        text += tokens[i].text;
    }
    return text;
}

/// True when `right` written straight after `left` would be read as other tokens.
bool WouldJoin(const PpToken& left, const PpToken& right)
{
    const std::vector<PpToken> again = LexTokens(left.text + right.text);
    return again.size() != 2 || again[0].text != left.text;
}

/// The preprocessing stopped: a missing include, a limit passed.
struct Fatal { };

bool IsIncludeLine(const std::vector<PpToken>& tokens)
{
    return tokens.size() > 1 && tokens[0].Is("#") && tokens[1].kind == PpTokenKind::Identifier &&
        (tokens[1].text == "include" || tokens[1].text == "include_next");
}

}  // namespace

/// A file name as a line marker and __FILE__ write it: a C string body.
std::string EscapeName(std::string_view name)
{
    std::string text;
    for (char c : name) {
        if (c == '\\' || c == '"')
            text += '\\';
        text += c;
    }
    return text;
}

// ---- input ------------------------------------------------------------------------------

void Preprocessor::OpenFile(const std::string& path, const std::string& displayName, int line)
{
    if (frames_.size() >= static_cast<std::size_t>(limits_.includeDepth))
        Stop(line, "#include nested too deeply (more than " + std::to_string(limits_.includeDepth) + " levels)");
    auto frame = std::make_unique<Frame>();
    std::string bytes;
    try {
        bytes = ReadFileBytes(path);
    } catch (const brevok::Error& error) {
        Stop(line, error.what());
    }
    const ByteOrderMark mark = DetectByteOrderMark(bytes);
    // A Unicode script makes the output Unicode, whatever the code page of the others.
    if (frames_.empty() && mark != ByteOrderMark::None) {
        result_.codePage = kUtf8CodePage;
        result_.narrowCodePages = {{0, kUtf8CodePage}};
    }
    frame->unicode = mark != ByteOrderMark::None;
    // A #pragma code_page before an #include names the code page of the file included.
    const int inherited = frames_.empty() || Top().unicode ? options_.codePage : Top().codePage;
    frame->codePage = frame->unicode ? kUtf8CodePage : inherited;
    frame->text = DecodeMarkedText(bytes, mark);
    frame->lexer = std::make_unique<LineLexer>(frame->text, frame->codePage);
    frame->path = path;
    frame->folder = FolderPart(path);
    frame->file = static_cast<std::uint32_t>(result_.files.size());
    frame->presumedFile = frame->file;
    frame->conditionBase = conditions_.size();
    result_.files.push_back(displayName);
    frames_.push_back(std::move(frame));
}

bool Preprocessor::NextLine(LogicalLine& line)
{
    Frame& frame = Top();
    if (frame.pending) {
        line = std::move(*frame.pending);
        frame.pending.reset();
        return true;
    }
    if (!frame.lexer->Next(line))
        return false;
    if (line.unterminatedComment)
        Error(Presumed(line.line), "unterminated /* comment");
    // An #include line stays in its file's code page: Include turns the name into UTF-8
    // itself, as the output's code page may not hold it (a Unicode header of a 1252 script).
    if (!IsIncludeLine(line.tokens))
        ToOutputCodePage(line.tokens, frame.codePage);
    return true;
}

void Preprocessor::ToOutputCodePage(std::vector<PpToken>& tokens, int codePage) const
{
    if (codePage == result_.codePage)
        return;
    for (PpToken& token : tokens)
        if (!IsPlainAscii(token.text))
            token.text = ConvertCodePage(token.text, codePage, result_.codePage);
}

void Preprocessor::EndFrame()
{
    Frame& frame = Top();
    while (conditions_.size() > frame.conditionBase) {
        Error(conditions_.back().line, "unterminated conditional directive");
        conditions_.pop_back();
    }
    frames_.pop_back();
}

// ---- directives -------------------------------------------------------------------------

void Preprocessor::Directive(LogicalLine& logical)
{
    const std::vector<PpToken>& tokens = logical.tokens;
    const int line = Presumed(logical.line);
    currentLine_ = line;
    if (tokens.size() == 1)
        return;  // the null directive
    const PpToken& word = tokens[1];
    const std::string name = word.kind == PpTokenKind::Identifier ? word.text : std::string();
    if (name == "if" || name == "ifdef" || name == "ifndef")
        return If(tokens, name, line);
    if (name == "elif" || name == "else")
        return ElseOrElif(tokens, name, line);
    if (name == "endif")
        return EndIf(line);
    if (!Active())
        return;
    if (name == "include" || name == "include_next")
        return Include(tokens, line);
    if (name == "define")
        return Define(tokens, 2, line);
    if (name == "undef")
        return Undefine(tokens, line);
    if (name == "line")
        return Line(tokens, 2, line);
    if (word.kind == PpTokenKind::Number)
        return Line(tokens, 1, line);  // a GNU line marker: # 12 "file"
    if (name == "pragma")
        return Pragma(tokens, line);
    if (name == "error")
        return Error(line, Spell(tokens, 2));
    if (name == "warning")
        return Report(Diagnostic::Severity::Warning, line, Spell(tokens, 2));
    if (name == "ident" || name == "sccs")
        return;
    Error(line, "invalid preprocessing directive '#" + word.text + "'");
}

void Preprocessor::Include(const std::vector<PpToken>& tokens, int line)
{
    std::vector<PpToken> rest(tokens.begin() + 2, tokens.end());
    // A name written out is in the code page of its file (NextLine leaves the line as read);
    // one a macro gives is in the output's, as every macro's replacement is.
    int codePage = Top().codePage;
    if (!rest.empty() && rest[0].kind != PpTokenKind::String && !rest[0].Is("<")) {
        ToOutputCodePage(rest, codePage);
        std::reverse(rest.begin(), rest.end());
        rest = Expand(rest, false, 0);
        codePage = result_.codePage;
    }
    std::string name;
    if (!rest.empty() && rest[0].kind == PpTokenKind::String && rest[0].text.front() == '"' &&
        rest[0].text.size() >= 2 && rest[0].text.back() == '"') {
        name = rest[0].text.substr(1, rest[0].text.size() - 2);
    } else if (!rest.empty() && rest[0].Is("<")) {
        std::size_t close = 1;
        while (close < rest.size() && !rest[close].Is(">"))
            ++close;
        if (close == rest.size())
            return Error(line, "#include expects \"FILENAME\" or <FILENAME>");
        std::vector<PpToken> inner(rest.begin() + 1, rest.begin() + close);
        name = Spell(inner);
    } else {
        return Error(line, "#include expects \"FILENAME\" or <FILENAME>");
    }
    // Searched for by UTF-8 names, like every file of the program.
    const std::vector<std::string> names = FileNameLookups(name, codePage);
    std::string found;
    for (std::size_t i = 0; i < names.size() && found.empty(); ++i)
        found = search_.Find(names[i], Top().folder);
    if (found.empty())
        Stop(line, "'" + names.back() + "' file not found");
    if (onceFiles_.count(found))
        return;
    OpenFile(found, found, line);
}

int Preprocessor::ParamIndex(const Macro& macro, const PpToken& token) const
{
    if (!macro.functionLike || token.kind != PpTokenKind::Identifier)
        return -1;
    for (std::size_t i = 0; i < macro.params.size(); ++i)
        if (macro.params[i] == token.text)
            return static_cast<int>(i);
    return -1;
}

void Preprocessor::Define(const std::vector<PpToken>& tokens, std::size_t at, int line)
{
    if (at >= tokens.size() || tokens[at].kind != PpTokenKind::Identifier)
        return Error(line, "macro name must be an identifier");
    const std::string& name = tokens[at].text;
    if (name == "defined")
        return Error(line, "'defined' cannot be used as a macro name");
    Macro macro;
    std::size_t i = at + 1;
    if (i < tokens.size() && tokens[i].Is("(") && !tokens[i].spaceBefore) {
        macro.functionLike = true;
        ++i;
        bool expectName = true;
        for (;; ++i) {
            if (i >= tokens.size())
                return Error(line, "missing ')' in the parameter list of macro '" + name + "'");
            const PpToken& t = tokens[i];
            if (t.Is(")") && (!expectName || macro.params.empty()))
                break;
            if (expectName && t.Is("...")) {
                macro.variadic = true;
                macro.params.push_back("__VA_ARGS__");
                if (++i >= tokens.size() || !tokens[i].Is(")"))
                    return Error(line, "missing ')' after '...' in macro '" + name + "'");
                break;
            }
            if (expectName && t.kind == PpTokenKind::Identifier) {
                if (std::find(macro.params.begin(), macro.params.end(), t.text) != macro.params.end())
                    return Error(line, "duplicate macro parameter name '" + t.text + "'");
                macro.params.push_back(t.text);
                if (i + 1 < tokens.size() && tokens[i + 1].Is("...")) {  // GNU: NAME...
                    macro.variadic = true;
                    ++i;
                }
                expectName = false;
                continue;
            }
            if (!expectName && t.Is(",") && !macro.variadic) {
                expectName = true;
                continue;
            }
            if (!expectName && t.Is(")"))
                break;
            return Error(line, "invalid token '" + t.text + "' in the parameter list of macro '" + name + "'");
        }
        ++i;
    }
    macro.body.assign(tokens.begin() + static_cast<std::ptrdiff_t>(std::min(i, tokens.size())), tokens.end());
    for (PpToken& t : macro.body) {
        t.startOfLine = false;
        t.hidden = nullptr;
    }
    if (!macro.body.empty()) {
        macro.body.front().spaceBefore = false;
        if (macro.body.front().Is("##") || macro.body.back().Is("##"))
            return Error(line, "'##' cannot appear at either end of the replacement of macro '" + name + "'");
    }
    if (macro.functionLike) {
        for (std::size_t k = 0; k < macro.body.size(); ++k)
            if (macro.body[k].Is("#") && (k + 1 == macro.body.size() || ParamIndex(macro, macro.body[k + 1]) < 0))
                return Error(line, "'#' is not followed by a macro parameter in macro '" + name + "'");
    }
    auto existing = macros_.find(name);
    macro.id = existing != macros_.end() ? existing->second.id : nextMacroId_++;
    macros_[name] = std::move(macro);
}

void Preprocessor::Undefine(const std::vector<PpToken>& tokens, int line)
{
    if (tokens.size() < 3 || tokens[2].kind != PpTokenKind::Identifier)
        return Error(line, "macro name must be an identifier");
    macros_.erase(tokens[2].text);
}

void Preprocessor::ReplaceDefined(std::vector<PpToken>& tokens)
{
    std::vector<PpToken> out;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        if (tokens[i].kind != PpTokenKind::Identifier || tokens[i].text != "defined") {
            out.push_back(std::move(tokens[i]));
            continue;
        }
        std::size_t j = i + 1;
        const bool paren = j < tokens.size() && tokens[j].Is("(");
        if (paren)
            ++j;
        if (j >= tokens.size() || tokens[j].kind != PpTokenKind::Identifier) {
            Error(currentLine_, "'defined' without a macro name");
            out.push_back(std::move(tokens[i]));
            continue;
        }
        const bool isDefined = macros_.count(tokens[j].text) > 0;
        if (paren && (j + 1 >= tokens.size() || !tokens[j + 1].Is(")"))) {
            Error(currentLine_, "missing ')' after 'defined'");
        } else if (paren) {
            ++j;
        }
        PpToken value;
        value.kind = PpTokenKind::Number;
        value.text = isDefined ? "1" : "0";
        value.spaceBefore = true;
        out.push_back(std::move(value));
        i = j;
    }
    tokens = std::move(out);
}

bool Preprocessor::EvaluateCondition(const std::vector<PpToken>& tokens, std::size_t from, int line)
{
    std::vector<PpToken> expression(tokens.begin() + static_cast<std::ptrdiff_t>(from), tokens.end());
    ReplaceDefined(expression);
    std::reverse(expression.begin(), expression.end());
    expression = Expand(expression, false, 0);
    ReplaceDefined(expression);
    const Parsed<PpValue> value = EvaluatePpExpression(expression);
    if (!value) {
        Error(line, value.error);
        return false;
    }
    return value->value != 0;
}

void Preprocessor::If(const std::vector<PpToken>& tokens, const std::string& name, int line)
{
    Conditional condition;
    condition.line = line;
    condition.parentActive = Active();
    if (condition.parentActive) {
        if (name == "if") {
            condition.taken = EvaluateCondition(tokens, 2, line);
        } else if (tokens.size() < 3 || tokens[2].kind != PpTokenKind::Identifier) {
            Error(line, "macro name missing after #" + name);
        } else {
            condition.taken = (macros_.count(tokens[2].text) > 0) == (name == "ifdef");
        }
    }
    condition.active = condition.parentActive && condition.taken;
    conditions_.push_back(condition);
}

void Preprocessor::ElseOrElif(const std::vector<PpToken>& tokens, const std::string& name, int line)
{
    if (frames_.empty() || conditions_.size() <= Top().conditionBase)
        return Error(line, "#" + name + " without #if");
    Conditional& condition = conditions_.back();
    if (condition.sawElse)
        return Error(line, "#" + name + " after #else");
    if (name == "else") {
        condition.sawElse = true;
        condition.active = condition.parentActive && !condition.taken;
        condition.taken = true;
        return;
    }
    if (!condition.parentActive || condition.taken) {
        condition.active = false;
        return;
    }
    condition.active = EvaluateCondition(tokens, 2, line);
    condition.taken = condition.active;
}

void Preprocessor::EndIf(int line)
{
    if (frames_.empty() || conditions_.size() <= Top().conditionBase)
        return Error(line, "#endif without #if");
    conditions_.pop_back();
}

void Preprocessor::Line(const std::vector<PpToken>& tokens, std::size_t from, int line)
{
    std::vector<PpToken> rest(tokens.begin() + static_cast<std::ptrdiff_t>(from), tokens.end());
    std::reverse(rest.begin(), rest.end());
    rest = Expand(rest, false, 0);
    if (rest.empty() || rest[0].kind != PpTokenKind::Number ||
        !std::all_of(rest[0].text.begin(), rest[0].text.end(), [](char c) { return c >= '0' && c <= '9'; }) ||
        rest[0].text.size() > 9)
        return Error(line, "#line expects a line number");
    const int number = std::stoi(rest[0].text);
    Frame& frame = Top();
    // The directive's own physical line: its presumed line less the delta in force.
    const int next = line - frame.lineDelta + 1;
    frame.lineDelta = number - next;
    if (rest.size() > 1) {
        if (rest[1].kind != PpTokenKind::String || rest[1].text.front() != '"')
            return Error(line, "invalid file name in #line");
        result_.files.push_back(rest[1].text.substr(1, rest[1].text.size() - 2));
        frame.presumedFile = static_cast<std::uint32_t>(result_.files.size() - 1);
    }
}

namespace {

/// Whether Windows has a code page numbered `codePage`, as its list of code page identifiers
/// names them.
bool IsWindowsCodePage(int codePage)
{
    static constexpr std::pair<int, int> kRanges[] = {
        {37, 37},       {437, 437},     {500, 500},     {708, 710},     {720, 720},     {737, 737},
        {775, 775},     {850, 850},     {852, 852},     {855, 855},     {857, 858},     {860, 866},
        {869, 870},     {874, 875},     {932, 932},     {936, 936},     {949, 950},     {1026, 1026},
        {1047, 1047},   {1140, 1149},   {1200, 1201},   {1250, 1258},   {1361, 1361},   {10000, 10008},
        {10010, 10010}, {10017, 10017}, {10021, 10021}, {10029, 10029}, {10079, 10079}, {10081, 10082},
        {12000, 12001}, {20000, 20005}, {20105, 20108}, {20127, 20127}, {20261, 20261}, {20269, 20269},
        {20273, 20273}, {20277, 20278}, {20280, 20280}, {20284, 20285}, {20290, 20290}, {20297, 20297},
        {20420, 20420}, {20423, 20424}, {20833, 20833}, {20838, 20838}, {20866, 20866}, {20871, 20871},
        {20880, 20880}, {20905, 20905}, {20924, 20924}, {20932, 20932}, {20936, 20936}, {20949, 20949},
        {21025, 21025}, {21866, 21866}, {28591, 28599}, {28603, 28603}, {28605, 28605}, {29001, 29001},
        {38598, 38598}, {50220, 50222}, {50225, 50225}, {50227, 50227}, {50229, 50229}, {50930, 50931},
        {50933, 50933}, {50935, 50937}, {50939, 50939}, {51932, 51932}, {51936, 51936}, {51949, 51950},
        {52936, 52936}, {54936, 54936}, {57002, 57011}, {65000, 65001},
    };
    return std::any_of(std::begin(kRanges), std::end(kRanges),
                       [codePage](const auto& range) { return codePage >= range.first && codePage <= range.second; });
}

}  // namespace

void Preprocessor::Pragma(const std::vector<PpToken>& tokens, int line)
{
    if (tokens.size() < 3)
        return;
    const std::string& what = tokens[2].text;
    if (what == "once") {
        onceFiles_.insert(Top().path);
        return;
    }
    if (what != "code_page")
        return;  // other pragmas mean nothing to a resource compiler
    if (tokens.size() < 6 || !tokens[3].Is("(") || !tokens[5].Is(")"))
        return Error(line, "#pragma code_page expects (NUMBER) or (DEFAULT)");
    Frame& frame = Top();
    if (!frame.unicode) {
        const std::string& value = tokens[4].text;
        int codePage = options_.codePage;
        if (value != "DEFAULT") {
            if (tokens[4].kind != PpTokenKind::Number || value.size() > 6 ||
                !std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; }))
                return Error(line, "#pragma code_page expects (NUMBER) or (DEFAULT)");
            codePage = std::stoi(value);
        }
        if (codePage == 0)
            return Error(line, "#pragma code_page expects (NUMBER) or (DEFAULT)");
        if (!IsKnownCodePage(codePage) && !IsWindowsCodePage(codePage) && options_.unknownCodePageIsWarning)
            Report(Diagnostic::Severity::Warning, line, "unknown code page " + value + " in #pragma code_page ignored");
        else if (!IsKnownCodePage(codePage))
            return Error(line, "code page " + value + " is not supported");
        else if (codePage != result_.codePage && result_.codePage == kDefaultCodePage)
            throw NeedsUnicodeOutput{};
        else {
            frame.codePage = codePage;
            frame.lexer->SetCodePage(codePage);
        }
    }
    // Kept in the output for the compiler.
    MoveTo(frame.presumedFile, line);
    // rc.exe writes narrow strings in the code page of the option until a second #pragma
    // code_page; from then on each one names both.
    if (!frame.unicode && ++codePagePragmas_ > 1)
        result_.narrowCodePages.push_back({result_.lines.size(), frame.codePage});
    lineText_ += Spell(tokens);
    haveLast_ = false;
}

void Preprocessor::Predefine(const std::string& name, Builtin builtin, const std::string& value)
{
    Macro macro;
    macro.id = nextMacroId_++;
    macro.builtin = builtin;
    macro.body = LexTokens(value);
    for (PpToken& token : macro.body)
        token.startOfLine = false;
    macros_[name] = std::move(macro);
}

void Preprocessor::ApplyOptionMacros()
{
    for (const MacroOption& option : options_.macros) {
        if (option.kind == MacroOption::Kind::Undefine) {
            macros_.erase(option.name);
            continue;
        }
        std::vector<PpToken> tokens = LexTokens("# define " + option.name + " " + option.value);
        Define(tokens, 2, 0);
    }
}

// ---- output -----------------------------------------------------------------------------

void Preprocessor::WriteOutputLine(std::string_view text, LineOrigin origin)
{
    if (result_.text.size() + text.size() + 1 > limits_.outputBytes)
        Stop(origin.line, "the preprocessed script would exceed " + std::to_string(limits_.outputBytes) + " bytes");
    result_.text.append(text);
    result_.text += '\n';
    result_.lines.push_back(origin);
}

void Preprocessor::CloseLine()
{
    if (!lineOpen_)
        return;
    lineOpen_ = false;
    WriteOutputLine(lineText_, lineOrigin_);
    lineText_.clear();
    nextLine_ = lineOrigin_.line + 1;
}

void Preprocessor::MoveTo(std::uint32_t file, int line)
{
    if (lineOpen_ && lineOrigin_.file == file && lineOrigin_.line == line)
        return;
    CloseLine();
    haveLast_ = false;
    if (!haveFile_ || file != outFile_ || line < nextLine_ || line - nextLine_ > kMaxBlankRun) {
        WriteOutputLine("# " + std::to_string(line) + " \"" + EscapeName(result_.files[file]) + "\"", {file, 0});
        haveFile_ = true;
        outFile_ = file;
    } else {
        for (; nextLine_ < line; ++nextLine_)
            WriteOutputLine({}, {file, nextLine_});
    }
    lineOpen_ = true;
    lineOrigin_ = {file, line};
}

void Preprocessor::Emit(const std::vector<PpToken>& tokens)
{
    for (const PpToken& token : tokens) {
        if (token.startOfLine || !lineOpen_)
            MoveTo(Top().presumedFile, token.startOfLine ? Presumed(token.line) : currentLine_);
        if (haveLast_ && (token.spaceBefore || ((token.fromMacro || last_.fromMacro) && WouldJoin(last_, token))))
            lineText_ += ' ';
        lineText_ += token.text;
        last_ = token;
        haveLast_ = true;
    }
}

void Preprocessor::Report(Diagnostic::Severity severity, int line, const std::string& text)
{
    const std::string& file = frames_.empty() ? script_ : result_.files[Top().presumedFile];
    result_.diagnostics.push_back({file, static_cast<std::size_t>(std::max(line, 0)), severity, text});
    if (severity != Diagnostic::Severity::Warning)
        result_.ok = false;
}

Preprocessed Preprocessor::Run()
{
    result_.ok = true;
    result_.codePage = options_.codePage == kDefaultCodePage && !unicodeOutput_ ? kDefaultCodePage : kUtf8CodePage;
    result_.narrowCodePages = {{0, options_.codePage}};
    try {
        if (!IsKnownCodePage(options_.codePage))
            Stop(0, "code page " + std::to_string(options_.codePage) + " is not supported");
        // rc.exe defines RC_INVOKED and _WIN32, and neither _MSC_VER, _WIN64 nor the
        // processor's macros: one rc.exe serves every target, and the Windows SDK's headers
        // read under that set. mingw-w64's headers, given with -i or INCLUDE, cannot: the
        // _mingw.h that windows.h includes reads vadefs.h, which stops with #error unless a
        // compiler it knows is named. zig rc, which reads those headers in resource mode,
        // defines the __GNUC__ 4.2.1 of its C front end beside RC_INVOKED (and reads the
        // SDK's headers with it too), so we name the same compiler. _MSC_VER would not do:
        // vadefs.h then wants _M_IX86 or _M_AMD64, a target. Wine's headers need none of it.
        Predefine("RC_INVOKED", Builtin::None, "1");
        Predefine("_WIN32", Builtin::None, "1");
        Predefine("__GNUC__", Builtin::None, "4");
        Predefine("__GNUC_MINOR__", Builtin::None, "2");
        Predefine("__GNUC_PATCHLEVEL__", Builtin::None, "1");
        Predefine("__FILE__", Builtin::File);
        Predefine("__LINE__", Builtin::Line);
        Predefine("__COUNTER__", Builtin::Counter);
        Predefine("__DATE__", Builtin::Date);
        Predefine("__TIME__", Builtin::Time);
        ApplyOptionMacros();
        OpenFile(script_, script_, 0);
        LogicalLine line;
        while (!frames_.empty()) {
            if (!NextLine(line)) {
                EndFrame();
                continue;
            }
            if (line.tokens.empty())
                continue;
            expandedTokens_ = 0;
            if (line.tokens[0].Is("#")) {
                Directive(line);
                continue;
            }
            if (!Active())
                continue;
            currentLine_ = Presumed(line.line);
            std::vector<PpToken> input(std::make_move_iterator(line.tokens.rbegin()),
                                       std::make_move_iterator(line.tokens.rend()));
            Emit(Expand(input, true, 0));
        }
        CloseLine();
    } catch (const Fatal&) {
        try {
            CloseLine();
        } catch (const Fatal&) {
            // The output is at its limit; the error is reported.
        }
    }
    return std::move(result_);
}

void Preprocessor::Stop(int line, const std::string& text)
{
    Report(Diagnostic::Severity::Fatal, line, text);
    throw Fatal{};
}

}  // namespace preprocessing

Preprocessed PreprocessScript(const std::string& script, const PreprocessOptions& options,
                              const PreprocessLimits& limits)
{
    try {
        return preprocessing::Preprocessor(script, options, limits).Run();
    } catch (const preprocessing::Preprocessor::NeedsUnicodeOutput&) {
        return preprocessing::Preprocessor(script, options, limits, true).Run();
    }
}

}  // namespace brevok
