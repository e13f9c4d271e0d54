// The resource-compiler front end: finds llvm-rc (and clang as its preprocessor), compiles
// into a temporary file renamed into place, and turns the tools' messages into lines that
// name the script's line.
#include "rcdriver/rc_frontend.h"

#include "rcdriver/file_compiler.h"
#include "rcdriver/file_script.h"

#include "platform/text_lines.h"

#include "platform/command_line.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "platform/temp_files.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <optional>

namespace brevok {

namespace {

/// Scripts above this size are not searched for the line of a parse error: every step of
/// the search parses a part of the script again.
constexpr std::size_t kLineSearchLimit = 4 * 1024 * 1024;

SearchPlaces PathOnly()
{
    SearchPlaces places;
    if (const char* path = std::getenv("PATH"))
        places.pathVariable = path;
    return places;
}

/// The highest `base`-NN (NN digits) in the folders of PATH, as Debian installs versioned
/// LLVM tools; empty when there is none.
std::string FindVersioned(const std::string& base)
{
    const std::string prefix = base + "-";
    std::string best;
    long bestVersion = -1;
    const std::string path = PathOnly().pathVariable;
    std::string_view rest = path;
    while (!rest.empty()) {
        const std::size_t colon = rest.find(kSearchPathSeparator);
        const std::string folder(rest.substr(0, colon));
        rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
        for (const std::string& entry : FolderEntryNames(folder.empty() ? "." : folder)) {
            const std::string_view name = entry;
            if (name.substr(0, prefix.size()) != prefix || name.size() == prefix.size())
                continue;
            const std::string_view digits = name.substr(prefix.size());
            if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
                continue;
            const long version = std::strtol(std::string(digits).c_str(), nullptr, 10);
            const std::string candidate = EnsureTrailingBackslash(folder.empty() ? "." : folder) + std::string(name);
            if (version > bestVersion && IsRunnableFile(candidate)) {
                bestVersion = version;
                best = candidate;
            }
        }
    }
    return best;
}

/// `base` beside the running program (where a Windows installation keeps llvm-rc.exe), then
/// on PATH, then as `base`-NN on PATH.
std::string FindTool(const std::string& base)
{
    SearchPlaces places = PathOnly();
    places.ownFolder = ProgramFolder();
    std::string found = FindProgram(base, places);
    return found.empty() ? FindVersioned(base) : found;
}

/// llvm-rc: BREVOK_LLVM_RC when set, else llvm-rc beside the program, on PATH, or llvm-rc-NN
/// on PATH.
std::string FindLlvmRc()
{
    if (const char* chosen = std::getenv("BREVOK_LLVM_RC"); chosen != nullptr && *chosen != '\0')
        return chosen;
    return FindTool("llvm-rc");
}

/// The C preprocessor for #include and #define: clang or clang-NN on PATH.
std::string FindPreprocessor()
{
    return FindTool("clang");
}

std::string Diagnostic(std::string_view file, int line, std::string_view message)
{
    std::string text(file);
    if (line > 0)
        text += "(" + std::to_string(line) + ")";
    text += ": ";
    text += message;
    return text;
}

/// A file name as a line marker spells it: a C string body, with other bytes than printable
/// ASCII written as octal escapes ("\303\274" for "ü").
std::string UnescapeMarkerName(std::string_view text)
{
    std::string name;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            name += text[i];
            continue;
        }
        std::size_t digits = 0;
        int value = 0;
        while (digits < 3 && i + 1 + digits < text.size() && text[i + 1 + digits] >= '0' && text[i + 1 + digits] <= '7')
            value = value * 8 + (text[i + 1 + digits++] - '0');
        if (digits > 0) {
            name += static_cast<char>(value);
            i += digits;
        } else {
            name += text[++i];
        }
    }
    return name;
}

// The tools' lines are read by hand, not with std::regex: libstdc++'s matcher recurses once
// per character, so a long line (a 30 KB script line quoted back in a message) would overflow
// the stack.

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

/// Moves `i` past a run of digits; false when there is none.
bool SkipDigits(std::string_view text, std::size_t& i)
{
    const std::size_t start = i;
    while (i < text.size() && IsDigit(text[i]))
        ++i;
    return i > start;
}

int NumberAt(std::string_view text, std::size_t start, std::size_t end)
{
    return std::atoi(std::string(text.substr(start, end - start)).c_str());
}

/// A line marker of the preprocessor: `# 12 "file" flags` or `#line 12 "file"`.
struct LineMarker {
    int line = 0;
    std::string file;
};

std::optional<LineMarker> ReadLineMarker(std::string_view text)
{
    if (!text.starts_with('#'))
        return std::nullopt;
    std::size_t i = text.substr(1).starts_with("line") ? 5 : 1;
    if (i >= text.size() || text[i] != ' ')
        return std::nullopt;
    const std::size_t numberStart = ++i;
    if (!SkipDigits(text, i) || !text.substr(i).starts_with(" \""))
        return std::nullopt;
    const int line = NumberAt(text, numberStart, i);
    i += 2;
    const std::size_t nameStart = i;
    while (i < text.size() && text[i] != '"') {
        if (text[i] == '\\' && ++i == text.size())
            return std::nullopt;
        ++i;
    }
    if (i == text.size())
        return std::nullopt;
    return LineMarker{line, UnescapeMarkerName(text.substr(nameStart, i - nameStart))};
}

/// A located message of the preprocessor: "FILE:LINE: TEXT" or "FILE:LINE:COLUMN: TEXT",
/// FILE running to the first colon that such a tail follows.
struct LocatedMessage {
    std::string_view file;
    int line = 0;
    std::string_view text;
};

std::optional<LocatedMessage> ReadLocatedMessage(std::string_view text)
{
    for (std::size_t colon = text.find(':'); colon != std::string_view::npos; colon = text.find(':', colon + 1)) {
        std::size_t i = colon + 1;
        if (!SkipDigits(text, i) || i == text.size() || text[i] != ':')
            continue;
        const int line = NumberAt(text, colon + 1, i);
        std::size_t column = ++i;
        if (SkipDigits(text, column) && text.substr(column).starts_with(": "))
            i = column + 1;
        if (i == text.size() || text[i] != ' ')
            continue;
        return LocatedMessage{text.substr(0, colon), line, text.substr(i + 1)};
    }
    return std::nullopt;
}

/// The preprocessor's closing count: "2 warnings generated.", "1 error generated.".
bool IsSummaryLine(std::string_view text)
{
    std::size_t i = 0;
    if (!SkipDigits(text, i))
        return false;
    std::string_view rest = text.substr(i);
    for (const std::string_view word : {" warning", " error"}) {
        if (!rest.starts_with(word))
            continue;
        rest.remove_prefix(word.size());
        if (rest.starts_with('s'))
            rest.remove_prefix(1);
        return rest == " generated.";
    }
    return false;
}

/// llvm-rc's "llvm-rc: Error in TYPE statement (ID NAME): " (blanks may follow).
struct StatementError {
    std::string type;
    std::string id;
};

std::optional<StatementError> ReadStatementError(std::string_view text)
{
    constexpr std::string_view kStart = "llvm-rc: Error in ";
    constexpr std::string_view kMiddle = " statement (ID ";
    if (!text.starts_with(kStart))
        return std::nullopt;
    text.remove_prefix(kStart.size());
    const std::size_t typeEnd = text.find_first_of(" \t\n\v\f\r");
    if (typeEnd == 0 || typeEnd == std::string_view::npos || !text.substr(typeEnd).starts_with(kMiddle))
        return std::nullopt;
    const std::string_view type = text.substr(0, typeEnd);
    text.remove_prefix(typeEnd + kMiddle.size());
    while (text.ends_with(' '))
        text.remove_suffix(1);
    if (!text.ends_with("):"))
        return std::nullopt;
    return StatementError{std::string(type), std::string(text.substr(0, text.size() - 2))};
}

/// llvm-rc's "llvm-rc: Error parsing file: MESSAGE".
std::optional<std::string> ReadParseError(std::string_view text)
{
    constexpr std::string_view kStart = "llvm-rc: Error parsing file: ";
    if (!text.starts_with(kStart))
        return std::nullopt;
    return std::string(text.substr(kStart.size()));
}

/// Where each line of the text llvm-rc reads came from: the preprocessor's line markers
/// ("# 12 "file" flags") name the file and line of the next line.
class LineMap {
public:
    /// Lines of a script read as it is.
    static LineMap Identity(const std::string& file, std::size_t lineCount)
    {
        LineMap map;
        for (std::size_t i = 0; i < lineCount; ++i)
            map.origins_.push_back({file, static_cast<int>(i + 1)});
        return map;
    }

    static LineMap FromPreprocessed(const std::vector<std::string>& lines)
    {
        LineMap map;
        std::string file;
        int next = 1;
        for (const std::string& line : lines) {
            if (auto marker = ReadLineMarker(line)) {
                map.origins_.push_back({file, 0});
                next = marker->line;
                file = std::move(marker->file);
                continue;
            }
            map.origins_.push_back({file, next++});
        }
        return map;
    }

    /// File and line of the 0-based line `index`; line 0 when unknown.
    std::pair<std::string, int> Origin(std::size_t index) const
    {
        if (index >= origins_.size())
            return {{}, 0};
        return origins_[index];
    }

private:
    std::vector<std::pair<std::string, int>> origins_;
};

/// The words of a line as llvm-rc reads a statement's head: blanks separate, quotes group.
std::vector<std::string> HeadWords(const std::string& line)
{
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < line.size() && words.size() < 2) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        std::string word;
        const bool quoted = i < line.size() && line[i] == '"';
        if (quoted)
            ++i;
        while (i < line.size() && (quoted ? line[i] != '"' : line[i] != ' ' && line[i] != '\t'))
            word += line[i++];
        if (quoted)
            ++i;
        if (!word.empty())
            words.push_back(AsciiUpper(word));
    }
    return words;
}

/// The line of the statement "ID TYPE ..." that llvm-rc names in a statement error.
std::optional<std::size_t> FindStatement(const std::vector<std::string>& lines, const std::string& type,
                                         const std::string& id)
{
    const std::string wantType = AsciiUpper(type);
    const std::string wantId = AsciiUpper(id);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::vector<std::string> words = HeadWords(lines[i]);
        // llvm-rc names an RCDATA statement by its type number, 10.
        const bool sameType = words.size() == 2 && (words[1] == wantType || (wantType == "10" && words[1] == "RCDATA"));
        if (sameType && words[0] == wantId)
            return i;
    }
    return std::nullopt;
}

class Compiler {
public:
    Compiler(std::string script, std::string llvmRc) : script_(std::move(script)), llvmRc_(std::move(llvmRc)) { }

    CompileOutcome Run(const std::string& res);

private:
    bool Preprocess(const std::string& clang);
    void ReadSource(const std::string& path);
    std::vector<std::string> LlvmRcCommand(const std::string& input, const std::string& output) const;
    void ReportLlvmRc(const std::string& output);
    void ReportPreprocessor(const std::string& output);
    std::optional<std::size_t> FindParseErrorLine(const std::string& message);
    void Add(std::optional<std::size_t> index, std::string_view message);

    std::string script_;
    std::string llvmRc_;
    TempFolder temp_;
    /// The text llvm-rc reads, its lines and where they came from.
    std::string input_;
    std::vector<std::string> lines_;
    LineMap map_;
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

bool Compiler::Preprocess(const std::string& clang)
{
    const std::string output = temp_.File("preprocessed.rc");
    // The same preprocessor run llvm-rc makes itself, with one-line diagnostics.
    const ProgramExit run =
        RunAndCapture({clang, "--driver-mode=gcc", "-target", "x86_64-pc-windows-msvc-coff", "-E", "-xc",
                       "-DRC_INVOKED", "-fno-caret-diagnostics", "-fno-show-column", "-I",
                       FolderPart(script_).empty() ? "." : FolderPart(script_), "-o", output, "--", script_});
    if (run.startError != 0) {
        diagnostics_.push_back("error: cannot start the preprocessor " + clang + ": " + StartErrorText(run.startError));
        return false;
    }
    ReportPreprocessor(run.output);
    if (run.exitCode != 0)
        return false;
    ReadSource(output);
    map_ = LineMap::FromPreprocessed(lines_);
    return true;
}

void Compiler::ReadSource(const std::string& path)
{
    input_ = path;
    lines_ = SplitLines(ReadFileBytes(path), LineBreaks::LineFeed);
}

void Compiler::ReportPreprocessor(const std::string& output)
{
    for (const std::string& line : SplitLines(output, LineBreaks::LineFeed)) {
        if (line.empty() || IsSummaryLine(line))
            continue;
        if (const auto located = ReadLocatedMessage(line))
            diagnostics_.push_back(Diagnostic(located->file, located->line, located->text));
        else
            diagnostics_.push_back(line);
    }
}

std::vector<std::string> Compiler::LlvmRcCommand(const std::string& input, const std::string& output) const
{
    const std::string folder = FolderPart(script_);
    // Code page 65001: the script's text, paths included, is UTF-8 as everything on Linux.
    std::vector<std::string> command = {llvmRc_, "/no-preprocess", "/C", "65001", "/I", folder.empty() ? "." : folder};
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
    const std::string part = temp_.File("part.rc");
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
    const std::vector<std::string> lines = SplitLines(output, LineBreaks::LineFeed);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (line.empty())
            continue;
        if (const auto statement = ReadStatementError(line)) {
            // The reason follows on the next line ("error : file not found : logo.bmp").
            std::string reason = i + 1 < lines.size() ? lines[++i] : std::string();
            if (reason.rfind("error : ", 0) == 0)
                reason.erase(0, 8);
            Add(FindStatement(lines_, statement->type, statement->id),
                "error: " + statement->type + " statement (ID " + statement->id + "): " + reason);
        } else if (const auto parse = ReadParseError(line)) {
            Add(FindParseErrorLine(*parse), "error: " + *parse);
        } else {
            diagnostics_.push_back(line.rfind("llvm-rc: ", 0) == 0 ? line.substr(9) : line);
        }
    }
}

CompileOutcome Compiler::Run(const std::string& res)
{
    if (!FileExists(script_))
        return {false, {"error: Cannot open file " + script_}};
    if (!temp_.Valid())
        return {false, {std::string("error: cannot create a temporary folder: ") + std::strerror(errno)}};
    const std::string clang = FindPreprocessor();
    if (!clang.empty()) {
        if (!Preprocess(clang))
            return {false, std::move(diagnostics_)};
    } else {
        ReadSource(script_);
        map_ = LineMap::Identity(script_, lines_.size());
    }
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

/// True when BREVOK_FORCE_LLVM_RC=1 sends every script to llvm-rc.
bool LlvmRcForced()
{
    const char* forced = std::getenv("BREVOK_FORCE_LLVM_RC");
    return forced != nullptr && std::string_view(forced) == "1";
}

/// Compiles a script of file statements ourselves, or names the first line that leaves the
/// script to llvm-rc.
FileCompile CompileOurselves(const std::string& script, const std::string& res)
{
    const FileScript parsed = ParseFileScript(ReadFileBytes(script));
    if (parsed.foreignLine)
        return {{}, parsed.foreignLine};
    return CompileFileScript(script, parsed, res, PreprocessorAvailable());
}

}  // namespace

CompileOutcome CompileResourceScript(const std::string& script, const std::string& res)
{
    try {
        // Scripts of file statements only, the tool's own, never need llvm-rc.
        std::optional<std::size_t> llvmRcLine;
        if (!LlvmRcForced()) {
            if (!FileExists(script))
                return {false, {"error: Cannot open file " + script}};
            FileCompile ours = CompileOurselves(script, res);
            if (!ours.llvmRcLine)
                return std::move(ours.outcome);
            llvmRcLine = ours.llvmRcLine;
        }
        const std::string llvmRc = FindLlvmRc();
        if (llvmRc.empty() && llvmRcLine)
            return {false,
                    {Diagnostic(script, static_cast<int>(*llvmRcLine),
                                "error: this line needs llvm-rc, which was not found: install LLVM or name it "
                                "in BREVOK_LLVM_RC")}};
        if (llvmRc.empty())
            return {false, {"error: llvm-rc not found: install LLVM or name it in BREVOK_LLVM_RC"}};
        CompileOutcome outcome = Compiler(script, llvmRc).Run(res);
        // Callers read an output of nothing but the banner as success, so a compile that failed
        // without a message (a preprocessor that died silently) still gets a line.
        if (!outcome.ok && outcome.diagnostics.empty())
            outcome.diagnostics.push_back("error: " + script + " was not compiled");
        return outcome;
    } catch (const Error& error) {
        return {false, {std::string("error: ") + error.what()}};
    }
}

bool PreprocessorAvailable()
{
    return !FindPreprocessor().empty();
}

}  // namespace brevok
