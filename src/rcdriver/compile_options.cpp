// Reading the compiler's command line.
#include "rcdriver/compile_options.h"

#include "rules/paths.h"

#include <algorithm>

namespace brevok {

const char* const kCompileOptionsHelp =
    "  -i PATH      search PATH for included files and data files (repeatable)\n"
    "  -d NAME[=V]  define the macro NAME as V (1 when no value is given)\n"
    "  -u NAME      undefine the macro NAME\n"
    "  -c CODEPAGE  code page of files without a byte order mark (default 1252): 65001,\n"
    "               437, 850, 852, 866, 874, 1250-1258, 28591, or the double-byte 932,\n"
    "               936, 949 and 950\n"
    "  -l LANGID    language of resources without a LANGUAGE statement, in hex (default 409)\n"
    "  -ln LOCALE   the same language by its Windows locale name (en-us, de-de, fr, ...)\n"
    "  -n           end every STRINGTABLE string with a NUL (its length counts it)\n"
    "  -y           no warning for a control ID used twice in a dialog\n"
    "  -w           a #pragma code_page naming a code page Windows does not know is a\n"
    "               warning and changes nothing (without -w, an error)\n"
    "  -sl PERCENT  string literals may hold PERCENT% of 8192 characters (1-100; default\n"
    "               4097 characters); a longer one is an error\n"
    "  -p           only preprocess: write the preprocessed script to RESFILE, by default\n"
    "               SCRIPT's name with the extension .rcpp, and no .res (brcc32 only)\n"
    "  -a, -r       accepted and ignored, as rc.exe does\n"
    "  -x           do not search the folders of the INCLUDE variable\n"
    "  -fo RESFILE  the .res file to write\n"
    "  -v           print the files read; keep the preprocessed script as RESFILE's .rcpp\n"
    "  -:depfile FILE  write FILE, a make rule \"RESFILE: SCRIPT HEADERS DATAFILES\" as gcc\n"
    "               -MD writes it (Ninja's depfile), when the compile succeeds\n"
    "  -:depfile-fmt make|json  the rule (default), or a JSON array of the files as zig rc\n"
    "               writes it\n"
    "  -###         print the files and commands a compile would use, and run nothing\n"
    "  -nologo      print no banner\n"
    "  --           what follows is the script, even when it starts with - or /\n"
    "  --help, -?, -h  print this text and exit\n"
    "  --version    print the version and exit\n"
    "Options start with - or /, in either letter case; a value follows its option joined\n"
    "or as the next argument (-iinc, -i inc).\n"
    "\n"
    "An #include \"NAME\" or <NAME> is searched in the folder of the including file, the\n"
    "script's folder, each -i folder in order, the folders of INCLUDE (unless -x), then the\n"
    "headers shipped with brcc32 (windows.h, winres.h, afxres.h, ...). \\ and / both separate\n"
    "folders, and a name that differs only in letter case is found too. Scripts may be\n"
    "UTF-16 or UTF-8 with a byte order mark, or in a code page (-c, #pragma code_page).\n"
    "RC_INVOKED and _WIN32 are defined, as rc.exe defines them, and __GNUC__ (4.2.1),\n"
    "which mingw-w64's headers need when given with -i or INCLUDE.\n";

namespace {

struct KnownOption {
    const char* name;
    bool takesValue;
};

// Longest names first, so that "-fo" is not read as "-f" with a value "o".
constexpr KnownOption kOptions[] = {
    {":depfile-fmt", true}, {":depfile", true},
    {"nologo", false}, {"###", false}, {"fo", true}, {"fe", true}, {"ln", true}, {"sl", true},
    {"i", true},       {"d", true},    {"u", true},  {"c", true},  {"l", true},  {"x", false},
    {"v", false},      {"n", false},   {"y", false}, {"w", false}, {"p", false}, {"a", false},
    {"r", false}};

bool IsOptionLike(const std::string& argument)
{
    if (argument.size() < 2)
        return false;
    // "--help" after other arguments names a script: only the first argument is the
    // program's own (AnswerStandardOption).
    if (argument[0] == '-')
        return argument[1] != '-';
    // "/home/me/app.rc" is a path on a POSIX system, "/fo" an option.
    return argument[0] == '/' && (kHostPathStyle == PathStyle::Windows || argument.find('/', 1) == std::string::npos);
}

Parsed<int> ReadNumber(const std::string& value, int base, long limit, const std::string& option)
{
    const bool hex = base == 16;
    std::string digits = value;
    if (hex && (digits.rfind("0x", 0) == 0 || digits.rfind("0X", 0) == 0))
        digits = digits.substr(2);
    const auto isDigit = [hex](char c) {
        return (c >= '0' && c <= '9') || (hex && ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')));
    };
    if (digits.empty() || digits.size() > 8 || !std::all_of(digits.begin(), digits.end(), isDigit))
        return Parsed<int>::Fail("option " + option + " expects a " + (hex ? "hexadecimal" : "decimal") +
                                 " number, not '" + value + "'");
    const long number = std::stol(digits, nullptr, base);
    if (number > limit)
        return Parsed<int>::Fail("option " + option + ": " + value + " is out of range");
    return Parsed<int>::Ok(static_cast<int>(number));
}

std::optional<std::string> Apply(ToolArguments& out, const std::string& name, const std::string& value)
{
    const std::string option = "-" + name;
    if (name == "fo" || name == "fe") {
        std::string& slot = name == "fo" ? out.res : out.exe;
        if (!slot.empty())
            return "option " + option + " is given twice";
        if (value.empty())
            return "option " + option + " needs a file name";
        slot = value;
    } else if (name == "i") {
        out.options.includeFolders.push_back(value);
    } else if (name == "d" || name == "u") {
        return AddMacroOption(out.options, name == "d" ? MacroOption::Kind::Define : MacroOption::Kind::Undefine,
                              value, option);
    } else if (name == "c") {
        const Parsed<int> codePage = ReadNumber(value, 10, 65535, option);
        if (!codePage)
            return codePage.error;
        if (!IsKnownCodePage(*codePage))
            return "code page " + value + " is not supported";
        out.options.codePage = *codePage;
    } else if (name == "l") {
        const Parsed<int> language = ReadNumber(value, 16, 0xFFFF, option);
        if (!language)
            return language.error;
        out.options.language = static_cast<std::uint16_t>(*language);
    } else if (name == "ln") {
        const std::optional<std::uint16_t> language = LanguageOfLocaleName(value);
        if (!language)
            return "option " + option + ": unknown locale name '" + value + "'";
        out.options.language = *language;
    } else if (name == "sl") {
        const bool digits = !value.empty() && value.size() <= 3 &&
            std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; });
        const int percent = digits ? std::stoi(value) : 0;
        if (percent < 1 || percent > 100)
            return "option " + option + " expects a percentage from 1 to 100, not '" + value + "'";
        // 100% is 8192 characters; a part of it is rounded down.
        out.options.stringLiteralLimit = static_cast<std::size_t>(percent) * 8192 / 100;
        out.options.stringLiteralLimitGiven = true;
    } else if (name == "n") {
        out.options.nullTerminateStrings = true;
    } else if (name == "y") {
        out.options.quietDuplicateControlIds = true;
    } else if (name == "w") {
        out.options.warnOnUnknownCodePage = true;
    } else if (name == "p") {
        out.options.preprocessOnly = true;
    } else if (name == "x") {
        out.options.ignoreIncludeVariable = true;
    } else if (name == "v") {
        out.options.verbose = true;
    } else if (name == "###") {
        out.options.dryRun = true;
    } else if (name == "nologo") {
        out.noLogo = true;
    } else if (name == ":depfile") {
        if (value.empty())
            return "option " + option + " needs a file name";
        out.options.dependencies.file = value;
    } else if (name == ":depfile-fmt") {
        std::string format = value;
        for (char& c : format)
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
        if (format == "make" || format == "gcc")
            out.options.dependencies.format = DependencyOutput::Format::Make;
        else if (format == "json")
            out.options.dependencies.format = DependencyOutput::Format::Json;
        else
            return "option " + option + " expects make or json, not '" + value + "'";
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> AddMacroOption(CompileOptions& options, MacroOption::Kind kind, const std::string& value,
                                          const std::string& option)
{
    MacroOption macro;
    macro.kind = kind;
    const std::size_t equals = value.find('=');
    macro.name = value.substr(0, equals);
    if (equals != std::string::npos)
        macro.value = value.substr(equals + 1);
    if (macro.name.empty())
        return "option " + option + " needs a macro name";
    options.macros.push_back(std::move(macro));
    return std::nullopt;
}

Parsed<ToolArguments> ParseToolArguments(const std::vector<std::string>& args, ToolKind kind)
{
    ToolArguments out;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& argument = args[i];
        if (argument == "--" && !optionsEnded) {
            optionsEnded = true;
            continue;
        }
        if (optionsEnded || !IsOptionLike(argument)) {
            if (argument.empty())
                return Parsed<ToolArguments>::Fail("an empty argument is no script");
            if (!out.script.empty())
                return Parsed<ToolArguments>::Fail("a second script '" + argument + "' (the first is '" + out.script +
                                                   "')");
            out.script = argument;
            continue;
        }
        const std::string body = argument.substr(1);
        const std::string lower = [&] {
            std::string text = body;
            for (char& c : text)
                if (c >= 'A' && c <= 'Z')
                    c = static_cast<char>(c - 'A' + 'a');
            return text;
        }();
        const KnownOption* known = nullptr;
        for (const KnownOption& candidate : kOptions) {
            const std::string name = candidate.name;
            if ((kind == ToolKind::Compiler && name == "fe") || (kind == ToolKind::Binder && name == "p"))
                continue;
            if (lower == name || (candidate.takesValue && lower.rfind(name, 0) == 0)) {
                known = &candidate;
                break;
            }
        }
        if (known == nullptr)
            return Parsed<ToolArguments>::Fail("unknown option '" + argument + "'");
        const std::string name = known->name;
        std::string value;
        if (known->takesValue) {
            value = body.substr(name.size());
            if (value.empty()) {
                if (i + 1 >= args.size())
                    return Parsed<ToolArguments>::Fail("option " + argument + " needs a value");
                value = args[++i];
            }
        }
        if (const std::optional<std::string> problem = Apply(out, name, value))
            return Parsed<ToolArguments>::Fail(*problem);
    }
    if (out.script.empty())
        return Parsed<ToolArguments>::Fail("no script given");
    if (kind == ToolKind::Binder && (out.res.empty() || out.exe.empty()))
        return Parsed<ToolArguments>::Fail(out.res.empty() ? "no -fo RESFILE given" : "no -fe EXEFILE given");
    return Parsed<ToolArguments>::Ok(std::move(out));
}

std::vector<std::string> SearchedIncludeVariableFolders(const CompileOptions& options)
{
    return options.ignoreIncludeVariable ? std::vector<std::string>() : options.includeVariableFolders;
}

}  // namespace brevok
