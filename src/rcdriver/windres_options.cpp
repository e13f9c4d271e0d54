// Reading windres's command line.
#include "rcdriver/windres_options.h"

#include "rules/paths.h"

#include <algorithm>

namespace brevok {

const char* const kWindresOptionsHelp =
    "  -i, --input FILE          the input (or the first file name)\n"
    "  -o, --output FILE         the output (or the second file name)\n"
    "  -J, --input-format FORMAT rc or res; by default a file that starts as a .res\n"
    "                            does is read as one, any other as a script\n"
    "  -O, --output-format FORMAT  res or coff; by default res for a name ending in\n"
    "                            .res, coff for any other\n"
    "  -F, --target TARGET       the machine of a COFF object: pe-x86-64, pe-i386,\n"
    "                            pe-aarch64-little, pe-arm-little (or their pei- names);\n"
    "                            by default that of a cross name's triplet, else the host's\n"
    "  -I, --include-dir DIR     search DIR for included files and data files\n"
    "  -D, --define NAME[=VALUE] define the macro NAME as VALUE (1 when none is given)\n"
    "  -U, --undefine NAME       undefine the macro NAME\n"
    "  -c, --codepage CODEPAGE   code page of files without a byte order mark, decimal\n"
    "                            or 0x hexadecimal (default 1252)\n"
    "  -l, --language LANGID     language of resources without a LANGUAGE statement,\n"
    "                            hexadecimal (default 409)\n"
    "  --preprocessor-arg ARG    -MD, -MMD (without the shipped headers): write a make\n"
    "                            rule of the files read, to -MF FILE or to the output's\n"
    "                            name with .d; -MT TARGET, -MQ TARGET (quoted for make)\n"
    "                            name its targets, -MP adds an empty rule per file;\n"
    "                            -DNAME, -UNAME, -IDIR as above; others are ignored\n"
    "  --preprocessor PROGRAM    ignored: brcc32 preprocesses scripts itself\n"
    "  --use-temp-file, --no-use-temp-file  accepted; nothing changes\n"
    "  -r                        accepted and ignored, as windres does\n"
    "  -v, --verbose             print the files read\n"
    "  -V, --version             print the version and exit\n"
    "  -h, --help                print this text and exit\n"
    "  --                        what follows are file names\n"
    "Options may come anywhere on the line; a value follows its option joined (-Iinc,\n"
    "--include-dir=inc) or as the next argument (-I inc, --include-dir inc); a long name\n"
    "may be shortened while it stays unique (--include). Messages go to standard error;\n"
    "the exit code is 0 on success, 1 on any error.\n";

namespace {

std::string Lower(std::string_view text)
{
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

bool EndsWith(std::string_view text, std::string_view end)
{
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

struct Option {
    char shortName;  // 0: a long name only
    const char* longName;  // nullptr: a short name only
    bool takesValue;
};

constexpr Option kOptions[] = {
    {'i', "input", true},
    {'o', "output", true},
    {'J', "input-format", true},
    {'O', "output-format", true},
    {'F', "target", true},
    {'I', "include-dir", true},
    {'D', "define", true},
    {'U', "undefine", true},
    {'c', "codepage", true},
    {'l', "language", true},
    {0, "preprocessor", true},
    {0, "preprocessor-arg", true},
    {0, "use-temp-file", false},
    {0, "no-use-temp-file", false},
    {'r', nullptr, false},
    {'v', "verbose", false},
    {'V', "version", false},
    {'h', "help", false},
};

const Option* ShortOption(char name)
{
    for (const Option& option : kOptions)
        if (option.shortName == name)
            return &option;
    return nullptr;
}

/// The long option `name` names exactly, or the one it begins while it begins no other.
Parsed<const Option*> LongOption(const std::string& name)
{
    std::vector<const Option*> begun;
    for (const Option& option : kOptions) {
        if (option.longName == nullptr)
            continue;
        const std::string_view candidate = option.longName;
        if (candidate == name)
            return Parsed<const Option*>::Ok(&option);
        if (candidate.substr(0, name.size()) == name)
            begun.push_back(&option);
    }
    if (begun.size() == 1)
        return Parsed<const Option*>::Ok(begun.front());
    if (begun.empty())
        return Parsed<const Option*>::Fail("unknown option '--" + name + "'");
    std::string names;
    for (const Option* option : begun)
        names += (names.empty() ? "--" : ", --") + std::string(option->longName);
    return Parsed<const Option*>::Fail("option '--" + name + "' is ambiguous (" + names + ")");
}

/// The option as the messages name it: its long name where it has one.
std::string Named(const Option& option)
{
    return option.longName != nullptr ? "--" + std::string(option.longName) : "-" + std::string(1, option.shortName);
}

std::optional<long> ReadInteger(std::string_view text, int base, long limit)
{
    if (base == 16 && (text.substr(0, 2) == "0x" || text.substr(0, 2) == "0X"))
        text.remove_prefix(2);
    else if (base == 0 && (text.substr(0, 2) == "0x" || text.substr(0, 2) == "0X")) {
        text.remove_prefix(2);
        base = 16;
    } else if (base == 0) {
        base = 10;
    }
    if (text.empty() || text.size() > 8)
        return std::nullopt;
    long value = 0;
    for (const char c : text) {
        int digit = -1;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        if (digit < 0 || digit >= base)
            return std::nullopt;
        value = value * base + digit;
    }
    if (value > limit)
        return std::nullopt;
    return value;
}

std::optional<ResourceFormat> FormatOfName(std::string_view name)
{
    const std::string lower = Lower(name);
    if (lower == "rc")
        return ResourceFormat::Rc;
    if (lower == "res")
        return ResourceFormat::Res;
    if (lower == "coff")
        return ResourceFormat::Coff;
    return std::nullopt;
}

/// The format a file name says, as windres reads extensions: .rc, .res, and .o, .obj, .exe
/// for COFF, in any letter case.
std::optional<ResourceFormat> FormatOfExtension(std::string_view path)
{
    const std::string extension = Lower(ExtensionOf(path, PathStyle::Windows));
    if (extension == ".rc")
        return ResourceFormat::Rc;
    if (extension == ".res")
        return ResourceFormat::Res;
    if (extension == ".o" || extension == ".obj" || extension == ".exe")
        return ResourceFormat::Coff;
    return std::nullopt;
}

/// The parser's state: what was read so far.
class WindresReader {
public:
    explicit WindresReader(CoffMachine machine) { out_.machine = machine; }

    /// Applies `option` with `value`; a message when it cannot.
    std::optional<std::string> Apply(const Option& option, const std::string& value);
    std::optional<std::string> AddFileName(const std::string& name);
    Parsed<WindresArguments> Finish();

private:
    std::optional<std::string> AddMacro(MacroOption::Kind kind, const std::string& value, const std::string& option);
    std::optional<std::string> PreprocessorArgument(const std::string& argument);

    WindresArguments out_;
    std::vector<std::string> fileNames_;
    std::optional<ResourceFormat> outputFormat_;
    bool dependencies_ = false;
    std::string dependencyFile_;
    /// A preprocessor argument (-MF, -MT, -MQ, -D, -U, -I) whose value is the next one.
    std::string pending_;
    std::vector<std::string> unusedDependencyOptions_;
};

std::optional<std::string> WindresReader::AddMacro(MacroOption::Kind kind, const std::string& value,
                                                   const std::string& option)
{
    return AddMacroOption(out_.options, kind, value, option);
}

std::optional<std::string> WindresReader::PreprocessorArgument(const std::string& argument)
{
    if (!pending_.empty()) {
        const std::string option = pending_;
        pending_.clear();
        return PreprocessorArgument(option + argument);
    }
    DependencyOutput& dependencies = out_.options.dependencies;
    if (argument == "-MD" || argument == "-MMD") {
        dependencies_ = true;
        dependencies.shippedHeaders = argument == "-MD";
        return std::nullopt;
    }
    if (argument == "-MP") {
        dependencies.phonyTargets = true;
        return std::nullopt;
    }
    for (const char* option : {"-MF", "-MT", "-MQ", "-D", "-U", "-I"}) {
        const std::string_view name = option;
        if (argument.rfind(name, 0) != 0)
            continue;
        const std::string value = argument.substr(name.size());
        if (value.empty()) {
            pending_ = argument;
            return std::nullopt;
        }
        if (name == "-MF") {
            dependencyFile_ = value;
            unusedDependencyOptions_.push_back("-MF");
        } else if (name == "-MT" || name == "-MQ") {
            dependencies.targets.push_back(name == "-MT" ? value : QuoteForMake(value));
            unusedDependencyOptions_.push_back(std::string(name));
        } else if (name == "-I") {
            out_.options.includeFolders.push_back(value);
        } else {
            return AddMacro(name == "-D" ? MacroOption::Kind::Define : MacroOption::Kind::Undefine, value,
                            "--preprocessor-arg " + std::string(name));
        }
        return std::nullopt;
    }
    out_.warnings.push_back("preprocessor argument '" + argument + "' ignored: brcc32 preprocesses scripts itself");
    return std::nullopt;
}

std::optional<std::string> WindresReader::Apply(const Option& option, const std::string& value)
{
    const std::string name = Named(option);
    switch (option.shortName) {
    case 'i':
    case 'o': {
        std::string& slot = option.shortName == 'i' ? out_.input : out_.output;
        if (value.empty())
            return "option " + name + " needs a file name";
        if (!slot.empty())
            return "option " + name + " is given twice";
        slot = value;
        return std::nullopt;
    }
    case 'J':
    case 'O': {
        const std::optional<ResourceFormat> format = FormatOfName(value);
        if (!format)
            return "option " + name + ": unknown format '" + value + "' (rc, res or coff)";
        if (option.shortName == 'J')
            out_.inputFormat = format;
        else
            outputFormat_ = format;
        return std::nullopt;
    }
    case 'F': {
        const std::optional<CoffMachine> machine = CoffMachineOfTarget(value);
        if (!machine)
            return "option " + name + ": unknown target '" + value +
                "' (pe-x86-64, pe-i386, pe-aarch64-little or pe-arm-little)";
        out_.machine = *machine;
        return std::nullopt;
    }
    case 'I':
        if (value.empty())
            return "option " + name + " needs a folder";
        out_.options.includeFolders.push_back(value);
        return std::nullopt;
    case 'D':
    case 'U':
        return AddMacro(option.shortName == 'D' ? MacroOption::Kind::Define : MacroOption::Kind::Undefine, value,
                        name);
    case 'c': {
        const std::optional<long> codePage = ReadInteger(value, 0, 65535);
        if (!codePage)
            return "option " + name + " expects a code page, decimal or 0x hexadecimal, not '" + value + "'";
        if (!IsKnownCodePage(static_cast<int>(*codePage)))
            return "code page " + value + " is not supported";
        out_.options.codePage = static_cast<int>(*codePage);
        return std::nullopt;
    }
    case 'l': {
        const std::optional<long> language = ReadInteger(value, 16, 0xFFFF);
        if (!language)
            return "option " + name + " expects a hexadecimal language ID up to ffff, not '" + value + "'";
        out_.options.language = static_cast<std::uint16_t>(*language);
        return std::nullopt;
    }
    case 'r':
        return std::nullopt;
    case 'v':
        out_.options.verbose = true;
        return std::nullopt;
    case 'V':
        out_.version = true;
        return std::nullopt;
    case 'h':
        out_.help = true;
        return std::nullopt;
    default:
        break;
    }
    const std::string_view longName = option.longName;
    if (longName == "preprocessor-arg")
        return PreprocessorArgument(value);
    if (longName == "preprocessor")
        out_.warnings.push_back("--preprocessor " + value + " ignored: brcc32 preprocesses scripts itself");
    return std::nullopt;
}

std::optional<std::string> WindresReader::AddFileName(const std::string& name)
{
    if (name.empty())
        return std::string("an empty argument is no file name");
    fileNames_.push_back(name);
    return std::nullopt;
}

Parsed<WindresArguments> WindresReader::Finish()
{
    if (!pending_.empty())
        return Parsed<WindresArguments>::Fail("preprocessor argument " + pending_ + " needs a value");
    if (out_.help || out_.version)
        return Parsed<WindresArguments>::Ok(std::move(out_));
    // As windres: the file names fill the input, then the output, that no option gave.
    std::size_t next = 0;
    for (std::string* slot : {&out_.input, &out_.output})
        if (slot->empty() && next < fileNames_.size())
            *slot = fileNames_[next++];
    if (next < fileNames_.size())
        return Parsed<WindresArguments>::Fail("a file name too many: '" + fileNames_[next] + "' (input '" + out_.input +
                                              "', output '" + out_.output + "')");
    if (out_.input.empty())
        return Parsed<WindresArguments>::Fail("no input file given (brcc32 reads no script from standard input)");
    if (out_.output.empty())
        return Parsed<WindresArguments>::Fail("no output file given (brcc32 writes no resources to standard output)");

    if (!out_.inputFormat)
        out_.inputFormat = FormatOfExtension(out_.input);
    if (out_.inputFormat == ResourceFormat::Coff)
        return Parsed<WindresArguments>::Fail("cannot read " + out_.input +
                                              ": brcc32 reads scripts and .res files, not COFF objects (-J rc|res)");
    // windres takes an output name it does not know for an object.
    out_.outputFormat = outputFormat_.value_or(FormatOfExtension(out_.output).value_or(ResourceFormat::Coff));
    if (out_.outputFormat == ResourceFormat::Rc)
        return Parsed<WindresArguments>::Fail("cannot write " + out_.output +
                                              ": brcc32 writes .res files and COFF objects, not scripts (-O res|coff)");

    DependencyOutput& dependencies = out_.options.dependencies;
    if (dependencies_) {
        // gcc's -MD: the output's name with .d for its extension, unless -MF names the file.
        dependencies.file = !dependencyFile_.empty() ? dependencyFile_ : ReplaceExtension(out_.output, ".d");
        if (dependencies.targets.empty())
            dependencies.targets.push_back(QuoteForMake(out_.output));
    } else {
        for (const std::string& option : unusedDependencyOptions_)
            out_.warnings.push_back("preprocessor argument " + option + " ignored: no -MD or -MMD");
        dependencies = DependencyOutput();
    }
    // Only the files read are listed: a kept preprocessed script would be one more output.
    out_.options.keepPreprocessed = false;
    return Parsed<WindresArguments>::Ok(std::move(out_));
}

}  // namespace

std::string ProgramName(std::string_view programPath)
{
    // Either separator: a Windows program may be started as C:/tools/brcc32-windres.exe.
    std::string name(programPath.substr(programPath.find_last_of("/\\") + 1));
    if (EndsWith(Lower(name), ".exe"))
        name.resize(name.size() - 4);
    return name;
}

CommandLineMode ChooseCommandLineMode(std::string_view programPath, const std::vector<std::string>& args)
{
    if (EndsWith(Lower(ProgramName(programPath)), "windres"))
        return CommandLineMode::Windres;
    if (args.empty())
        return CommandLineMode::Rc;
    const std::string& first = args.front();
    if (first.size() > 2 && first.rfind("--", 0) == 0)
        return first == "--help" || first == "--version" ? CommandLineMode::Rc : CommandLineMode::Windres;
    if (first.size() < 2 || first[0] != '-')
        return CommandLineMode::Rc;
    const char letter = first[1];
    if (letter == 'O' || letter == 'J')
        return CommandLineMode::Windres;
    if (letter == 'F' && (first.size() == 2 || (first[2] != 'o' && first[2] != 'O' && first[2] != 'e' && first[2] != 'E')))
        return CommandLineMode::Windres;
    return CommandLineMode::Rc;
}

CoffMachine DefaultCoffMachine(std::string_view programPath)
{
    const std::string name = Lower(ProgramName(programPath));
    const std::size_t dash = name.find('-');
    if (dash != std::string::npos && name.find('-', dash + 1) != std::string::npos) {
        const std::string cpu = name.substr(0, dash);
        if (cpu == "x86_64" || cpu == "amd64")
            return CoffMachine::X64;
        if (cpu.size() == 4 && cpu[0] == 'i' && cpu.substr(2) == "86" && cpu[1] >= '3' && cpu[1] <= '6')
            return CoffMachine::I386;
        if (cpu == "aarch64" || cpu == "arm64")
            return CoffMachine::Arm64;
        if (cpu.rfind("arm", 0) == 0 || cpu.rfind("thumb", 0) == 0)
            return CoffMachine::ArmNt;
    }
#if defined(__i386__) || defined(_M_IX86)
    return CoffMachine::I386;
#elif defined(__aarch64__) || defined(_M_ARM64)
    return CoffMachine::Arm64;
#elif defined(__arm__) || defined(_M_ARM)
    return CoffMachine::ArmNt;
#else
    return CoffMachine::X64;
#endif
}

std::optional<CoffMachine> CoffMachineOfTarget(std::string_view target)
{
    struct Name {
        const char* text;
        CoffMachine machine;
    };
    static constexpr Name kNames[] = {
        {"pe-i386", CoffMachine::I386},
        {"pei-i386", CoffMachine::I386},
        {"pe-x86-64", CoffMachine::X64},
        {"pei-x86-64", CoffMachine::X64},
        {"pe-bigobj-x86-64", CoffMachine::X64},
        {"pe-aarch64-little", CoffMachine::Arm64},
        {"pei-aarch64-little", CoffMachine::Arm64},
        {"pe-arm-little", CoffMachine::ArmNt},
        {"pei-arm-little", CoffMachine::ArmNt},
    };
    const std::string lower = Lower(target);
    for (const Name& name : kNames)
        if (lower == name.text)
            return name.machine;
    return std::nullopt;
}

Parsed<WindresArguments> ParseWindresArguments(const std::vector<std::string>& args, CoffMachine machine)
{
    WindresReader reader(machine);
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& argument = args[i];
        const auto fail = [](const std::string& why) { return Parsed<WindresArguments>::Fail(why); };
        if (optionsEnded || argument.size() < 2 || argument[0] != '-') {
            if (const std::optional<std::string> problem = reader.AddFileName(argument))
                return fail(*problem);
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        if (argument[1] == '-') {
            const std::size_t equals = argument.find('=');
            const std::string name = argument.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
            const Parsed<const Option*> option = LongOption(name);
            if (!option)
                return fail(option.error);
            std::string value;
            if (equals != std::string::npos) {
                if (!(*option)->takesValue)
                    return fail("option " + Named(**option) + " takes no value");
                value = argument.substr(equals + 1);
            } else if ((*option)->takesValue) {
                if (i + 1 >= args.size())
                    return fail("option " + Named(**option) + " needs a value");
                value = args[++i];
            }
            if (const std::optional<std::string> problem = reader.Apply(**option, value))
                return fail(*problem);
            continue;
        }
        // Short options: flags may share an argument (-vr); one that takes a value takes the
        // rest of the argument, or the next one.
        for (std::size_t at = 1; at < argument.size(); ++at) {
            const Option* option = ShortOption(argument[at]);
            if (option == nullptr)
                return fail("unknown option '-" + std::string(1, argument[at]) + "'" +
                            (argument.size() > 2 ? " in '" + argument + "'" : std::string()));
            std::string value;
            if (option->takesValue) {
                value = argument.substr(at + 1);
                if (value.empty()) {
                    if (i + 1 >= args.size())
                        return fail("option -" + std::string(1, option->shortName) + " needs a value");
                    value = args[++i];
                }
                at = argument.size();
            }
            if (const std::optional<std::string> problem = reader.Apply(*option, value))
                return fail(*problem);
        }
    }
    return reader.Finish();
}

}  // namespace brevok
