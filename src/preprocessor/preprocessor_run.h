// One preprocessing run: its state, shared by the half that reads files and directives and
// writes the output (preprocessor.cpp) and the half that expands macros (macro_expansion.cpp).
// Private to the preprocessor: nothing outside src/preprocessor includes it.
#pragma once

#include "preprocessor/include_search.h"
#include "preprocessor/pp_tokens.h"
#include "preprocessor/preprocessor.h"
#include "rules/text_encoding.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace brevok::preprocessing {

enum class Builtin { None, File, Line, Counter, Date, Time };

struct Macro {
    std::uint32_t id = 0;
    bool functionLike = false;
    bool variadic = false;
    /// The parameters; a variadic macro's last is its `...` (named __VA_ARGS__ or as the
    /// GNU form names it).
    std::vector<std::string> params;
    std::vector<PpToken> body;
    Builtin builtin = Builtin::None;
};

/// A file name as a line marker and __FILE__ write it: a C string body.
std::string EscapeName(std::string_view name);

struct Frame {
    std::uint32_t file = 0;
    std::string path;
    std::string text;
    std::unique_ptr<LineLexer> lexer;
    std::string folder;
    int codePage = kDefaultCodePage;
    bool unicode = false;
    /// Added to a physical line to give the line #line made it.
    int lineDelta = 0;
    /// The name messages and markers give it (#line may change it).
    std::uint32_t presumedFile = 0;
    std::size_t conditionBase = 0;
    std::optional<LogicalLine> pending;
};

struct Conditional {
    bool active = false;
    bool parentActive = false;
    bool taken = false;
    bool sawElse = false;
    int line = 0;
};

class Preprocessor {
public:
    /// `unicodeOutput`: write the output in UTF-8 even when the option's code page is 1252.
    Preprocessor(const std::string& script, const PreprocessOptions& options, const PreprocessLimits& limits,
                 bool unicodeOutput = false)
        : script_(script), options_(options), limits_(limits), search_(options.includeFolders),
          unicodeOutput_(unicodeOutput)
    { }

    /// Thrown when a #pragma code_page names a code page other than 1252 while the output is
    /// in 1252: the run starts over with the output in UTF-8, so that nothing is lost.
    struct NeedsUnicodeOutput { };

    Preprocessed Run();

private:
    // Input.
    void OpenFile(const std::string& path, const std::string& displayName, int line);
    bool NextLine(LogicalLine& line);
    void EndFrame();
    /// Converts the text of `tokens`, read in `codePage`, into the output's code page.
    void ToOutputCodePage(std::vector<PpToken>& tokens, int codePage) const;
    Frame& Top() { return *frames_.back(); }
    bool Active() const { return conditions_.empty() || conditions_.back().active; }
    int Presumed(int physical) { return physical + Top().lineDelta; }

    // Directives.
    void Directive(LogicalLine& line);
    void Include(const std::vector<PpToken>& tokens, int line);
    void Define(const std::vector<PpToken>& tokens, std::size_t at, int line);
    void Undefine(const std::vector<PpToken>& tokens, int line);
    void If(const std::vector<PpToken>& tokens, const std::string& name, int line);
    void ElseOrElif(const std::vector<PpToken>& tokens, const std::string& name, int line);
    void EndIf(int line);
    bool EvaluateCondition(const std::vector<PpToken>& tokens, std::size_t from, int line);
    void Line(const std::vector<PpToken>& tokens, std::size_t from, int line);
    void Pragma(const std::vector<PpToken>& tokens, int line);
    void ApplyOptionMacros();
    void Predefine(const std::string& name, Builtin builtin, const std::string& value = {});

    // Expansion.
    std::vector<PpToken> Expand(std::vector<PpToken>& reversedInput, bool readOn, int depth);
    bool NextIsParen(std::vector<PpToken>& input, bool readOn);
    bool ReadArguments(std::vector<PpToken>& input, bool readOn, const Macro& macro, const PpToken& name,
                       std::vector<std::vector<PpToken>>& args, PpToken& closing);
    std::vector<PpToken> Substitute(const Macro& macro, const std::vector<std::vector<PpToken>>& args,
                                    const HideSet& hide, const PpToken& name, int depth);
    std::vector<PpToken> ExpandArgument(const std::vector<PpToken>& arg, int depth);
    PpToken BuiltinToken(const Macro& macro, const PpToken& name);
    int ParamIndex(const Macro& macro, const PpToken& token) const;
    bool Paste(PpToken& left, const PpToken& right);
    void ReplaceDefined(std::vector<PpToken>& tokens);

    // Output.
    void Emit(const std::vector<PpToken>& tokens);
    void MoveTo(std::uint32_t file, int line);
    void CloseLine();
    void WriteOutputLine(std::string_view text, LineOrigin origin);

    void Report(Diagnostic::Severity severity, int line, const std::string& text);
    void Error(int line, const std::string& text) { Report(Diagnostic::Severity::Error, line, text); }
    /// Reports a fatal error and ends the run.
    [[noreturn]] void Stop(int line, const std::string& text);

    const std::string& script_;
    const PreprocessOptions& options_;
    const PreprocessLimits& limits_;
    IncludeSearch search_;
    Preprocessed result_;
    std::vector<std::unique_ptr<Frame>> frames_;
    std::vector<Conditional> conditions_;
    std::unordered_map<std::string, Macro> macros_;
    std::set<std::string> onceFiles_;
    std::uint32_t nextMacroId_ = 1;
    std::size_t expandedTokens_ = 0;
    int counter_ = 0;
    bool unicodeOutput_;
    /// #pragma code_page directives read so far.
    int codePagePragmas_ = 0;
    /// The presumed line of the logical line being expanded, for messages and __LINE__.
    int currentLine_ = 0;

    // The output line being written.
    bool lineOpen_ = false;
    std::string lineText_;
    LineOrigin lineOrigin_;
    bool haveFile_ = false;
    std::uint32_t outFile_ = 0;
    int nextLine_ = 0;
    /// The last token written on the open line, when there is one.
    bool haveLast_ = false;
    PpToken last_;
};

}  // namespace brevok::preprocessing
