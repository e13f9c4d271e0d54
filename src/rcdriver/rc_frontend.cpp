// The resource-compiler front end: runs our preprocessor, compiles with our compiler or with
// llvm-rc into a temporary file renamed into place, and names the line of the script or
// header each of llvm-rc's messages is about.
#include "rcdriver/rc_frontend.h"

#include "rcdriver/file_compiler.h"
#include "rcdriver/file_script.h"
#include "rcdriver/include_search.h"
#include "rcdriver/llvm_rc_messages.h"
#include "rcdriver/preprocessor.h"
#include "rcdriver/rc_parser.h"
#include "rcdriver/rc_tokens.h"
#include "rcdriver/rc_writer.h"
#include "rcdriver/tool_lookup.h"

#include "platform/command_line.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "platform/temp_files.h"
#include "platform/text_lines.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <optional>

namespace brevok {

namespace {

/// Scripts above this size are not searched for the line of a parse error: every step of
/// the search parses a part of the script again.
constexpr std::size_t kLineSearchLimit = 4 * 1024 * 1024;

/// Where each line of the text llvm-rc reads came from, as the preprocessor mapped it.
class LineMap {
public:
    LineMap() = default;
    explicit LineMap(const Preprocessed& preprocessed) : files_(preprocessed.files), lines_(preprocessed.lines) { }

    /// File and line of the 0-based line `index`; line 0 when unknown.
    std::pair<std::string, int> Origin(std::size_t index) const
    {
        if (index >= lines_.size())
            return {{}, 0};
        return {files_[lines_[index].file], lines_[index].line};
    }

private:
    std::vector<std::string> files_;
    std::vector<LineOrigin> lines_;
};

std::string Hex(unsigned value)
{
    constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    do {
        text.insert(text.begin(), kDigits[value % 16]);
        value /= 16;
    } while (value != 0);
    return text;
}

class Compiler {
public:
    /// `llvmRc`: empty when there is none; `forced`: every script goes to it.
    Compiler(std::string script, std::string llvmRc, const CompileOptions& options, bool forced)
        : script_(std::move(script)), llvmRc_(std::move(llvmRc)), options_(options), forced_(forced)
    { }

    ToolOutcome Run(const std::string& res);

private:
    bool Preprocess(const std::string& res);
    /// Compiles the preprocessed script ourselves; nothing when it holds what our parser
    /// does not read (then `ownError_` says what and where) or a path only llvm-rc may read.
    std::optional<ToolOutcome> CompileOwn(const std::string& res);
    std::vector<std::string> LlvmRcCommand(const std::string& input, const std::string& output) const;
    void ReportLlvmRc(const std::string& output);
    std::optional<std::size_t> FindParseErrorLine(const std::string& message);
    void Add(std::optional<std::size_t> index, std::string_view message);

    std::string script_;
    std::string llvmRc_;
    const CompileOptions& options_;
    bool forced_;
    /// Made only when llvm-rc runs: it reads the preprocessed text from a file.
    std::optional<TempFolder> temp_;
    std::string text_;
    std::string ownError_;
    bool privateFile_ = false;
    /// The text llvm-rc reads, its lines and where they came from.
    std::string input_;
    std::vector<std::string> lines_;
    LineMap map_;
    int codePage_ = kDefaultCodePage;
    std::vector<std::string> diagnostics_;
};

void Compiler::Add(std::optional<std::size_t> index, std::string_view message)
{
    if (!index) {
        diagnostics_.push_back(Diagnostic(script_, 0, message));
        return;
    }
    const auto [file, line] = map_.Origin(*index);
    diagnostics_.push_back(Diagnostic(file.empty() ? script_ : file, line, message));
}

bool Compiler::Preprocess(const std::string& res)
{
    Preprocessed preprocessed = PreprocessScript(script_, PreprocessOptionsFor(script_, options_));
    diagnostics_ = std::move(preprocessed.diagnostics);
    if (options_.verbose) {
        for (std::size_t i = 1; i < preprocessed.files.size(); ++i)
            diagnostics_.push_back("Reading " + preprocessed.files[i]);
    }
    if (!preprocessed.ok)
        return false;
    if (options_.verbose) {
        const std::string kept = ReplaceExtension(res, ".rcpp");
        WriteFileAtomically(kept, preprocessed.text);
        diagnostics_.push_back("Preprocessed script: " + kept);
    }
    codePage_ = preprocessed.codePage;
    text_ = std::move(preprocessed.text);
    lines_ = SplitLines(text_, LineBreaks::LineFeed);
    map_ = LineMap(preprocessed);
    return true;
}

std::optional<ToolOutcome> Compiler::CompileOwn(const std::string& res)
{
    const auto where = [this](std::size_t line) {
        const auto [file, origin] = map_.Origin(line - 1);
        return (file.empty() ? script_ : file) + (origin > 0 ? "(" + std::to_string(origin) + ")" : std::string());
    };
    const std::string text = ResourceScriptText(text_);
    const Parsed<std::vector<RcToken>> tokens = TokenizeScript(text);
    if (!tokens) {
        ownError_ = where(tokens.line) + ": error: " + tokens.error;
        return std::nullopt;
    }
    RcParse parsed = ParseResourceScript(*tokens);
    RcWritten written = WriteResourceStatements(parsed.resources, codePage_, options_.language);
    FileScript script;
    script.statements = std::move(written.statements);
    script.problems = std::move(parsed.errors);
    script.problems.insert(script.problems.end(), written.problems.begin(), written.problems.end());
    FileCompile compiled = CompileFileScript(script_, script, res, options_, where);
    if (compiled.llvmRcLine) {
        privateFile_ = true;
        ownError_ = where(*compiled.llvmRcLine) +
            ": error: this statement names a file in the compiler's private "
            "folder, which only llvm-rc reads";
        return std::nullopt;
    }
    return std::move(compiled.outcome);
}

std::vector<std::string> Compiler::LlvmRcCommand(const std::string& input, const std::string& output) const
{
    return LlvmRcCommandLine(llvmRc_, script_, options_, codePage_, input, output);
}

std::optional<std::size_t> Compiler::FindParseErrorLine(const std::string& message)
{
    if (lines_.empty())
        return std::nullopt;
    if (message.find("<EOF>") != std::string::npos) {
        // The statement runs to the end of the text: name its last line.
        std::size_t last = lines_.size() - 1;
        while (last > 0 && lines_[last].find_first_not_of(" \t") == std::string::npos)
            --last;
        return last;
    }
    std::size_t bytes = 0;
    for (const std::string& line : lines_)
        bytes += line.size() + 1;
    if (bytes > kLineSearchLimit)
        return std::nullopt;
    // Once the text reaches the bad token, every longer part of it fails with the same
    // message; shorter parts parse or end early. The first part that fails so ends on the
    // bad line.
    const std::string part = temp_->File("part.rc");
    auto failsAlike = [&](std::size_t count) {
        std::string text;
        for (std::size_t i = 0; i < count; ++i)
            text += lines_[i] + "\n";
        WriteFileAtomically(part, text);
        const ProgramExit run = RunAndCapture(LlvmRcCommand(part, {}));
        return run.exitCode != 0 && run.output.find(message) != std::string::npos;
    };
    std::size_t low = 1;
    std::size_t high = lines_.size();
    if (!failsAlike(high))
        return std::nullopt;
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        if (failsAlike(middle))
            high = middle;
        else
            low = middle + 1;
    }
    return low - 1;
}

void Compiler::ReportLlvmRc(const std::string& output)
{
    const auto findParseErrorLine = [this](const std::string& message) { return FindParseErrorLine(message); };
    for (LlvmRcMessage& message : ReadLlvmRcMessages(output, lines_, findParseErrorLine)) {
        if (message.aboutText)
            Add(message.line, message.text);
        else
            diagnostics_.push_back(std::move(message.text));
    }
}

ToolOutcome Compiler::Run(const std::string& res)
{
    if (!FileExists(script_))
        return {false, {"error: Cannot open file " + script_}};
    if (!Preprocess(res))
        return {false, std::move(diagnostics_)};
    if (!forced_) {
        // Our compiler's answer is final: llvm-rc, stricter still, is only for those who ask,
        // and for a data file that only llvm-rc itself can read (its own preprocessed copy).
        if (std::optional<ToolOutcome> own = CompileOwn(res)) {
            own->lines.insert(own->lines.begin(), diagnostics_.begin(), diagnostics_.end());
            return std::move(*own);
        }
        if (privateFile_)
            llvmRc_ = options_.llvmRc.Path();
        if (!privateFile_ || llvmRc_.empty()) {
            diagnostics_.push_back(ownError_);
            return {false, std::move(diagnostics_)};
        }
    }
    // llvm-rc reads the preprocessed text from a file of a private folder.
    temp_.emplace();
    if (!temp_->Valid())
        return {false, {std::string("error: cannot create a temporary folder: ") + std::strerror(errno)}};
    input_ = temp_->File("preprocessed.rc");
    WriteFileAtomically(input_, text_);
    TempOutput output(res);
    if (output.Path().empty())
        return {false, {"error: Cannot create file " + res}};
    const ProgramExit run = RunAndCapture(LlvmRcCommand(input_, output.Path()));
    if (run.startError != 0)
        return {false, {"error: cannot start " + llvmRc_ + ": " + StartErrorText(run.startError)}};
    ReportLlvmRc(run.output);
    if (run.exitCode != 0) {
        if (diagnostics_.empty())
            diagnostics_.push_back("error: " + llvmRc_ + " failed with exit code " + std::to_string(run.exitCode));
        return {false, std::move(diagnostics_)};
    }
    if (!output.Commit()) {
        diagnostics_.push_back("error: Cannot create file " + res);
        return {false, std::move(diagnostics_)};
    }
    return {true, std::move(diagnostics_)};
}

/// Compiles a script of file statements ourselves, or names the first line that leaves the
/// script to llvm-rc. Macros given on the command line may change any word, so such a script
/// goes through the preprocessor and llvm-rc.
FileCompile CompileOurselves(const std::string& script, const std::string& res, const CompileOptions& options)
{
    const FileScript parsed = ParseFileScript(ReadFileBytes(script));
    if (parsed.foreignLine)
        return {{}, parsed.foreignLine};
    if (!options.macros.empty())
        return {{}, parsed.statements.empty() ? std::size_t{1} : parsed.statements.front().line};
    return CompileFileScript(script, parsed, res, options);
}

}  // namespace

PreprocessOptions PreprocessOptionsFor(const std::string& script, const CompileOptions& options)
{
    PreprocessOptions preprocess;
    preprocess.includeFolders.push_back(FolderPart(script));
    for (const std::string& folder : options.includeFolders)
        preprocess.includeFolders.push_back(folder);
    for (std::string& folder : SearchedIncludeVariableFolders(options))
        preprocess.includeFolders.push_back(std::move(folder));
    if (std::string shipped = ShippedHeaderFolder(); !shipped.empty())
        preprocess.includeFolders.push_back(std::move(shipped));
    preprocess.macros = options.macros;
    preprocess.codePage = options.codePage;
    return preprocess;
}

std::vector<std::string> LlvmRcCommandLine(const std::string& llvmRc, const std::string& script,
                                           const CompileOptions& options, int codePage, const std::string& input,
                                           const std::string& output)
{
    const std::string folder = FolderPart(script);
    std::vector<std::string> command = {llvmRc, "/no-preprocess",      "/C", std::to_string(codePage),
                                        "/L",   Hex(options.language), "/I", folder.empty() ? "." : folder};
    for (const std::string& include : options.includeFolders) {
        command.push_back("/I");
        command.push_back(include);
    }
    if (options.ignoreIncludeVariable)
        command.push_back("/X");
    if (output.empty()) {
        command.push_back("/dry-run");
    } else {
        command.push_back("/FO");
        command.push_back(output);
    }
    command.push_back("--");
    command.push_back(input);
    return command;
}

std::vector<std::string> DescribeCompile(const std::string& script, const std::string& res,
                                         const CompileOptions& options)
{
    std::vector<std::string> lines = {"script: " + script, "output: " + res};
    std::string search = "include search: (the including file's folder)";
    for (const std::string& folder : PreprocessOptionsFor(script, options).includeFolders)
        search += ", " + (folder.empty() ? std::string(".") : folder);
    lines.push_back(search);
    for (const MacroOption& macro : options.macros)
        lines.push_back(macro.kind == MacroOption::Kind::Define ? "define: " + macro.name + "=" + macro.value
                                                                : "undefine: " + macro.name);
    lines.push_back("code page: " + std::to_string(options.codePage));
    lines.push_back("language: " + Hex(options.language));
    lines.push_back("statements: compiled by brcc32 itself");
    std::string command = "with BREVOK_FORCE_LLVM_RC=1: ";
    const std::string& llvmRc = options.llvmRc.Path();
    const int outputCodePage = options.codePage == kDefaultCodePage ? kDefaultCodePage : kUtf8CodePage;
    if (llvmRc.empty()) {
        command += "llvm-rc, which was not found";
    } else {
        for (const std::string& word : LlvmRcCommandLine(llvmRc, script, options, outputCodePage, "PREPROCESSED", res))
            command += QuoteArgument(word) + " ";
        command.pop_back();
    }
    lines.push_back(command);
    return lines;
}

ToolOutcome CompileResourceScript(const std::string& script, const std::string& res, const CompileOptions& options)
{
    try {
        const bool forced = options.forceLlvmRc;
        if (!forced) {
            if (!FileExists(script))
                return {false, {"error: Cannot open file " + script}};
            // Scripts of one-line file statements are streamed without a preprocessing run.
            FileCompile ours = CompileOurselves(script, res, options);
            if (!ours.llvmRcLine)
                return std::move(ours.outcome);
        }
        // Looked for only when it is asked for: the search lists every folder of PATH.
        const std::string llvmRc = forced ? options.llvmRc.Path() : std::string();
        if (llvmRc.empty() && forced)
            return {false, {"error: llvm-rc not found: install LLVM or name it in BREVOK_LLVM_RC"}};
        ToolOutcome outcome = Compiler(script, llvmRc, options, forced).Run(res);
        // Callers read an output of nothing but the banner as success, so a compile that failed
        // without a message still gets a line.
        if (!outcome.ok && outcome.lines.empty())
            outcome.lines.push_back("error: " + script + " was not compiled");
        return outcome;
    } catch (const Error& error) {
        return {false, {std::string("error: ") + error.what()}};
    }
}

}  // namespace brevok
