// Reading and running brc32's editing command line.
#include "resedit/edit_command.h"

#include <algorithm>
#include <charconv>

#include "image/binder.h"
#include "rules/errors.h"
#include "platform/files.h"
#include "rules/paths.h"
#include "resedit/resource_editor.h"
#include "resedit/resource_extract.h"
#include "rules/hex.h"

namespace brevok {

const char* const kEditOptionsHelp =
    "  --set-icon ICO                    replace the main icon (its old images are removed)\n"
    "  --set-version-string KEY VALUE    set a string of the version resource\n"
    "  --set-file-version V              set the file version (1 to 4 parts: 1.2.3.4)\n"
    "  --set-product-version V           set the product version\n"
    "  --application-manifest FILE       replace the manifest (ID 1, for a DLL ID 2)\n"
    "  --set-requested-execution-level L asInvoker, highestAvailable or requireAdministrator\n"
    "  --set-resource-string ID VALUE    set a string of the string table\n"
    "  --get-version-string KEY          print a string of the version resource\n"
    "  --get-resource-string ID          print a string of the string table\n"
    "  --set-resource TYPE NAME FILE     add or replace a resource with the file's bytes\n"
    "  --remove-resource TYPE NAME       remove a resource\n"
    "  --language LANGID                 the language (hex) of --set-resource and --remove-resource\n"
    "  --list                            print type, name, language and size of each resource\n"
    "  --extract DIR                     write every resource into DIR, with DIR/resources.rc\n";

namespace {

enum class StepKind { Edit, Read };

struct OptionInfo {
    std::string_view name;
    std::size_t values;
    StepKind kind;
};

constexpr OptionInfo kOptions[] = {
    {"--set-icon", 1, StepKind::Edit},
    {"--set-version-string", 2, StepKind::Edit},
    {"--set-file-version", 1, StepKind::Edit},
    {"--set-product-version", 1, StepKind::Edit},
    {"--application-manifest", 1, StepKind::Edit},
    {"--set-requested-execution-level", 1, StepKind::Edit},
    {"--set-resource-string", 2, StepKind::Edit},
    {"--set-resource", 3, StepKind::Edit},
    {"--remove-resource", 2, StepKind::Edit},
    {"--get-version-string", 1, StepKind::Read},
    {"--get-resource-string", 1, StepKind::Read},
    {"--list", 0, StepKind::Read},
    {"--extract", 1, StepKind::Read},
    {"--language", 1, StepKind::Read},
};

const OptionInfo* OptionNamed(std::string_view name)
{
    for (const OptionInfo& o : kOptions)
        if (o.name == name)
            return &o;
    return nullptr;
}

bool IsEdit(const EditStep& step)
{
    return OptionNamed(step.option)->kind == StepKind::Edit;
}

Parsed<std::uint16_t> ParseLanguage(std::string_view text)
{
    std::string_view digits = text;
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X'))
        digits.remove_prefix(2);
    unsigned value = 0;
    auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value, 16);
    if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size() || value > 0xFFFF)
        return Parsed<std::uint16_t>::Fail("--language: \"" + std::string(text) +
                                           "\" is not a language id in hex from 0 to FFFF (409, 0x0407)");
    return Parsed<std::uint16_t>::Ok(static_cast<std::uint16_t>(value));
}

class EditRun {
public:
    EditRun(const EditCall& call, ResourceEditor& editor) : call_(call), editor_(editor) { }

    // Applies one step; reads add their values to `out`.
    Status Apply(const EditStep& step, EditOutcome& out)
    {
        const std::string& o = step.option;
        const std::vector<std::string>& v = step.values;
        if (o == "--set-icon")
            return editor_.SetIcon(ReadFileBytes(v[0]));
        if (o == "--set-version-string")
            return editor_.SetVersionString(v[0], v[1]);
        if (o == "--set-file-version" || o == "--set-product-version")
            return editor_.SetVersionNumber(o == "--set-product-version", v[0]);
        if (o == "--application-manifest")
            return editor_.SetManifest(ReadFileBytes(v[0]));
        if (o == "--set-requested-execution-level")
            return editor_.SetExecutionLevel(v[0]);
        if (o == "--set-resource-string")
            return editor_.SetResourceString(v[0], v[1]);
        if (o == "--set-resource")
            return editor_.SetResource(ResIdFromText(v[0], true), ResIdFromText(v[1], false), ReadFileBytes(v[2]),
                                       call_.language);
        if (o == "--remove-resource")
            return editor_.RemoveResource(ResIdFromText(v[0], true), ResIdFromText(v[1], false), call_.language);
        if (o == "--get-version-string" || o == "--get-resource-string") {
            Parsed<std::string> value = o == "--get-version-string" ? editor_.VersionString(v[0])
                                                                     : editor_.ResourceString(v[0]);
            if (!value)
                return Status::Fail(value.error);
            out.values.push_back(*value);
            return Status::Ok();
        }
        if (o == "--list") {
            for (const ResourceLeaf& r : editor_.Resources())
                out.values.push_back(DescribeResType(r.type) + " " +
                                     (r.name.isOrdinal ? std::to_string(r.name.ordinal) : DescribeResId(r.name)) + " " +
                                     HexDigits(r.language, HexLetters::Upper, 4) + " " + std::to_string(r.data.size()));
            return Status::Ok();
        }
        if (o == "--extract") {
            const Extraction done =
                ExtractResources(editor_.Resources(), v[0], FilePart(call_.program), ExtractStyle::Statements);
            for (const std::string& note : done.notes)
                out.messages.push_back("brc32: warning: " + note);
            return Status::Ok();
        }
        return Status::Ok();  // --language was read with the call
    }

private:
    const EditCall& call_;
    ResourceEditor& editor_;
};

}  // namespace

bool IsEditCall(const std::vector<std::string>& args)
{
    if (args.empty() || (args[0].size() > 1 && args[0][0] == '-'))
        return false;
    return std::any_of(args.begin() + 1, args.end(), [](const std::string& a) { return OptionNamed(a) != nullptr; });
}

Parsed<EditCall> ParseEditCall(const std::vector<std::string>& args)
{
    EditCall call;
    if (args.empty())
        return Parsed<EditCall>::Fail("no program given");
    call.program = args[0];
    for (std::size_t i = 1; i < args.size();) {
        const OptionInfo* option = OptionNamed(args[i]);
        if (!option)
            return Parsed<EditCall>::Fail("unknown option \"" + args[i] + "\"");
        if (args.size() - i - 1 < option->values)
            return Parsed<EditCall>::Fail(args[i] + " needs " + std::to_string(option->values) +
                                          (option->values == 1 ? " value" : " values"));
        EditStep step{args[i], std::vector<std::string>(args.begin() + i + 1, args.begin() + i + 1 + option->values)};
        i += 1 + option->values;
        if (step.option == "--language") {
            Parsed<std::uint16_t> language = ParseLanguage(step.values[0]);
            if (!language)
                return Parsed<EditCall>::Fail(language.error);
            call.language = *language;
            continue;
        }
        call.steps.push_back(std::move(step));
    }
    if (call.steps.empty())
        return Parsed<EditCall>::Fail("nothing to do: give an editing option");
    // A manifest given whole comes before an execution level set in it.
    std::stable_partition(call.steps.begin(), call.steps.end(),
                          [](const EditStep& s) { return s.option == "--application-manifest"; });
    // Reads answer after every edit.
    std::stable_partition(call.steps.begin(), call.steps.end(), IsEdit);
    return Parsed<EditCall>::Ok(std::move(call));
}

EditOutcome RunEditCall(const EditCall& call)
{
    EditOutcome out;
    auto fail = [&](const std::string& text) {
        out.values.clear();
        out.messages.push_back("brc32: error: " + call.program + ": " + text);
        return out;
    };
    try {
        Parsed<std::unique_ptr<ResourceEditor>> editor = ResourceEditor::Open(ReadFileBytes(call.program));
        if (!editor)
            return fail(editor.error);
        EditRun run(call, **editor);
        for (const EditStep& step : call.steps) {
            if (const Status done = run.Apply(step, out); !done)
                return fail(step.option + ": " + done.error);
        }
        if (std::none_of(call.steps.begin(), call.steps.end(), IsEdit)) {
            out.ok = true;
            return out;
        }
        Parsed<BoundImage> bound = (*editor)->Build();
        if (!bound)
            return fail(bound.error);
        WriteBoundImage(call.program, *bound);
        for (const std::string& warning : bound->warnings)
            out.messages.push_back("brc32: warning: " + call.program + ": " + warning);
    } catch (const Error& e) {
        out.values.clear();
        out.messages.push_back(std::string("brc32: error: ") + e.what());
        return out;
    } catch (const std::exception& e) {
        // Every size is checked before use; should a check still be missing, the program is
        // left alone and the failure named rather than ending abruptly.
        return fail(std::string("internal error: ") + e.what());
    }
    out.ok = true;
    return out;
}

}  // namespace brevok
