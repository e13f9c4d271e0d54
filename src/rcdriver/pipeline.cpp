// The resource compiler's pipeline: each stage's output is the next one's input, and the
// first stage that fails ends the compile with its messages.
#include "rcdriver/pipeline.h"

#include "preprocessor/include_search.h"
#include "rccompiler/record_writer.h"
#include "rccompiler/file_script.h"
#include "rccompiler/rc_parser.h"
#include "rccompiler/rc_tokens.h"
#include "rccompiler/rc_records.h"

#include "rules/errors.h"
#include "platform/files.h"
#include "rules/paths.h"
#include "rules/hex.h"

#include <algorithm>
#include <optional>

namespace brevok {

namespace {

RecordOptions RecordOptionsFor(const CompileOptions& options, std::vector<std::string>& read)
{
    RecordOptions records;
    records.foundFiles = &read;
    records.language = options.language;
    records.dataFolders = options.includeFolders;
    for (std::string& folder : SearchedIncludeVariableFolders(options))
        records.dataFolders.push_back(std::move(folder));
    return records;
}

/// The script's file statements when it holds nothing else and no macro of the command line
/// could change a word of it: such a script needs no preprocessing run.
std::optional<RecordList> PlainFileScript(const std::string& script, const CompileOptions& options)
{
    if (!options.macros.empty())
        return std::nullopt;
    RecordList parsed = ParseFileScript(ReadFileBytes(script), options.codePage);
    if (parsed.foreignLine)
        return std::nullopt;
    return parsed;
}

/// Adds the files the preprocessor read after the script to `read`: all of them, or with
/// `-MMD` none of the headers shipped with the compiler.
void AddHeadersRead(const Preprocessed& preprocessed, const CompileOptions& options, std::vector<std::string>& read)
{
    const std::string shipped = options.dependencies.shippedHeaders ? std::string() : ShippedHeaderFolder();
    for (std::size_t i = 1; i < preprocessed.files.size(); ++i) {
        const std::string& file = preprocessed.files[i];
        if (!file.empty() && (shipped.empty() || file.rfind(shipped, 0) != 0))
            read.push_back(file);
    }
}

/// The preprocessor's run with `-v`'s additions: the files it read, and its output kept
/// beside `res`.
Preprocessed Preprocess(const std::string& script, const std::string& res, const CompileOptions& options,
                        std::vector<std::string>& read)
{
    Preprocessed preprocessed = PreprocessScript(script, PreprocessOptionsFor(script, options));
    AddHeadersRead(preprocessed, options, read);
    if (!options.verbose)
        return preprocessed;
    const auto tell = [&preprocessed](std::string text) {
        preprocessed.diagnostics.push_back({{}, 0, Diagnostic::Severity::Info, std::move(text)});
    };
    for (std::size_t i = 1; i < preprocessed.files.size(); ++i)
        tell("Reading " + preprocessed.files[i]);
    if (preprocessed.ok && options.keepPreprocessed) {
        const std::string kept = ReplaceExtension(res, ".rcpp");
        WriteFileAtomically(kept, preprocessed.text);
        tell("Preprocessed script: " + kept);
    }
    return preprocessed;
}

/// `-p`: the preprocessed script written to `output`, and no compile.
ToolOutcome PreprocessOnly(const std::string& script, const std::string& output, const CompileOptions& options,
                           std::vector<std::string>& read)
{
    const Preprocessed preprocessed = PreprocessScript(script, PreprocessOptionsFor(script, options));
    AddHeadersRead(preprocessed, options, read);
    ToolOutcome outcome{preprocessed.ok, FormatDiagnostics(preprocessed.diagnostics)};
    if (preprocessed.ok)
        WriteFileAtomically(output, preprocessed.text);
    return outcome;
}

/// Names the file and line of the script or header the line of `diagnostic` (a line of the
/// preprocessed text) came from.
void Locate(Diagnostic& diagnostic, const Preprocessed& preprocessed)
{
    const std::size_t line = diagnostic.line;
    diagnostic.line = 0;
    if (line == 0 || line > preprocessed.lines.size())
        return;
    const LineOrigin origin = preprocessed.lines[line - 1];
    if (const std::string& file = preprocessed.files[origin.file]; !file.empty())
        diagnostic.file = file;
    diagnostic.line = static_cast<std::size_t>(std::max(origin.line, 0));
}

/// Compiles `script` into `res`; `read` receives the files read after the script, in the
/// order read.
ToolOutcome Compile(const std::string& script, const std::string& res, const CompileOptions& options,
                    std::vector<std::string>& read)
{
    if (!FileExists(script))
        return {false, {RunError(CannotOpenFile(script).what()).Format()}};
    if (options.preprocessOnly)
        return PreprocessOnly(script, res, options, read);
    if (std::optional<RecordList> plain = PlainFileScript(script, options))
        return WriteRecords(script, *plain, res, RecordOptionsFor(options, read));

    Preprocessed preprocessed = Preprocess(script, res, options, read);
    std::vector<std::string> lines = FormatDiagnostics(preprocessed.diagnostics);
    if (!preprocessed.ok)
        return {false, std::move(lines)};
    const auto locate = [&preprocessed](Diagnostic& diagnostic) { Locate(diagnostic, preprocessed); };

    const std::string text = ResourceScriptText(preprocessed.text);
    TokenizeOptions tokenizing;
    tokenizing.stringLiteralLimit = options.stringLiteralLimit;
    std::vector<Diagnostic> longLiterals;
    if (!options.stringLiteralLimitGiven)
        tokenizing.longLiteralWarnings = &longLiterals;
    tokenizing.utf8 = preprocessed.codePage == kUtf8CodePage;
    const Parsed<std::vector<RcToken>> tokens = TokenizeScript(text, tokenizing);
    if (!tokens) {
        Diagnostic error{script, tokens.line, Diagnostic::Severity::Error, tokens.error};
        locate(error);
        lines.push_back(error.Format());
        return {false, std::move(lines)};
    }
    RcParse parsed = ParseResourceScript(*tokens);
    RecordChoices choices;
    choices.nullTerminateStrings = options.nullTerminateStrings;
    choices.warnDuplicateControlIds = !options.quietDuplicateControlIds;
    choices.narrowCodePages = preprocessed.narrowCodePages;
    RcRecords records = MakeRecords(parsed.resources, preprocessed.codePage, options.language, choices);

    RecordList written;
    written.records = std::move(records.records);
    written.problems = std::move(parsed.errors);
    written.problems.insert(written.problems.end(), longLiterals.begin(), longLiterals.end());
    written.problems.insert(written.problems.end(), parsed.warnings.begin(), parsed.warnings.end());
    written.problems.insert(written.problems.end(), records.problems.begin(), records.problems.end());
    ToolOutcome outcome = WriteRecords(script, written, res, RecordOptionsFor(options, read), locate);
    outcome.lines.insert(outcome.lines.begin(), lines.begin(), lines.end());
    return outcome;
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
    preprocess.unknownCodePageIsWarning = options.warnOnUnknownCodePage;
    return preprocess;
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
    lines.push_back("language: " + HexDigits(options.language, HexLetters::Lower));
    lines.push_back("statements: compiled by brcc32 itself");
    return lines;
}

ToolOutcome CompileResourceScript(const std::string& script, const std::string& res, const CompileOptions& options,
                                  std::vector<std::string>* filesRead)
{
    try {
        std::vector<std::string> read = {script};
        ToolOutcome outcome = Compile(script, res, options, read);
        if (outcome.ok) {
            // Each file once, where it was first read.
            std::vector<std::string> files;
            for (std::string& file : read)
                if (std::find(files.begin(), files.end(), file) == files.end())
                    files.push_back(std::move(file));
            WriteDependencyFile(options.dependencies, res, files);
            if (filesRead != nullptr)
                *filesRead = std::move(files);
        }
        // Callers read an output of nothing but the banner as success, so a compile that failed
        // without a message still gets a line.
        if (!outcome.ok && outcome.lines.empty())
            outcome.lines.push_back(RunError(script + " was not compiled").Format());
        return outcome;
    } catch (const Error& error) {
        return {false, {RunError(error.what()).Format()}};
    }
}

}  // namespace brevok
