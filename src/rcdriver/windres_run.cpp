// Running windres's conversions.
#include "rcdriver/windres_run.h"

#include "image/res_file.h"
#include "platform/files.h"
#include "platform/temp_files.h"
#include "rcdriver/pipeline.h"
#include "rules/diagnostic.h"
#include "rules/errors.h"

namespace brevok {

namespace {

/// The start of every .res file: the empty record, a header of 0x20 bytes and no data.
constexpr std::string_view kEmptyRecordStart("\0\0\0\0\x20\0\0\0", 8);

/// The .res file `res` checked: it must parse as one.
ToolOutcome CheckRes(const std::string& res, const std::string& bytes)
{
    const Parsed<std::vector<ResRecordView>> records = ParseResFileViews(bytes);
    if (!records)
        return {false, {RunError(res + " is not a valid .res file: " + records.error).Format()}};
    return {true, {}};
}

ToolOutcome ConvertRes(const WindresArguments& args, std::vector<std::string>& read)
{
    read.push_back(args.input);
    if (args.outputFormat == ResourceFormat::Coff) {
        ToolOutcome checked = CheckRes(args.input, ReadFileBytes(args.input));
        return checked.ok ? WriteObjectFromRes(args.input, args.output, args.machine) : checked;
    }
    const std::string bytes = ReadFileBytes(args.input);
    ToolOutcome checked = CheckRes(args.input, bytes);
    if (checked.ok)
        WriteFileAtomically(args.output, bytes);
    return checked;
}

ToolOutcome CompileScript(const WindresArguments& args, std::vector<std::string>& read)
{
    CompileOptions options = args.options;
    // The dependency file names the object, and waits until the object is written.
    options.dependencies.file.clear();
    if (args.outputFormat == ResourceFormat::Res)
        return CompileResourceScript(args.input, args.output, options, &read);
    TempFolder folder;
    if (!folder.Valid())
        return {false, {RunError("cannot make a temporary folder for the .res file").Format()}};
    const std::string res = folder.File("resources.res");
    ToolOutcome compiled = CompileResourceScript(args.input, res, options, &read);
    if (!compiled.ok)
        return compiled;
    ToolOutcome written = WriteObjectFromRes(res, args.output, args.machine);
    compiled.lines.insert(compiled.lines.end(), written.lines.begin(), written.lines.end());
    compiled.ok = written.ok;
    return compiled;
}

}  // namespace

ResourceFormat GuessInputFormat(const std::string& path)
{
    std::string start;
    ReadFileInPieces(
        path,
        [&start](std::string_view piece) {
            start += piece.substr(0, kEmptyRecordStart.size() - start.size());
            return start.size() < kEmptyRecordStart.size();
        },
        kEmptyRecordStart.size());
    return start == kEmptyRecordStart ? ResourceFormat::Res : ResourceFormat::Rc;
}

ToolOutcome RunWindres(const WindresArguments& args)
{
    try {
        const ResourceFormat input = args.inputFormat ? *args.inputFormat
            : FileExists(args.input)                  ? GuessInputFormat(args.input)
                                                      : ResourceFormat::Rc;
        std::vector<std::string> read;
        ToolOutcome outcome = input == ResourceFormat::Res ? ConvertRes(args, read) : CompileScript(args, read);
        if (outcome.ok)
            WriteDependencyFile(args.options.dependencies, args.output, read);
        return outcome;
    } catch (const Error& error) {
        return {false, {RunError(error.what()).Format()}};
    }
}

}  // namespace brevok
