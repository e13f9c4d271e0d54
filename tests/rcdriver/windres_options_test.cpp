// windres's command line as build systems write it: which command line a run reads, GNU's
// option forms, the formats and machines, the preprocessor's dependency arguments, and the
// refusals.
#include "rcdriver/windres_options.h"
#include "support/macro_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace brevok {
namespace {

std::string Joined(const std::vector<std::string>& items)
{
    std::string out;
    for (const std::string& item : items)
        out += item + ";";
    return out;
}

using testing::Macros;

TEST(WindresOptions, ModeByProgramNameOrFirstOption)
{
    struct Case {
        std::string program;
        std::vector<std::string> args;
        CommandLineMode mode;
    };
    const CommandLineMode rc = CommandLineMode::Rc;
    const CommandLineMode windres = CommandLineMode::Windres;
    const Case cases[] = {
        {"/usr/bin/brcc32-windres", {"-Iinc", "app.rc"}, windres},
        {"x86_64-w64-mingw32-brcc32-windres", {}, windres},
        {"C:\\Brevok\\brcc32-windres.exe", {"/fo", "x.res", "a.rc"}, windres},
        {"C:\\Brevok\\BRCC32-WINDRES.EXE", {}, windres},
        {"brcc32", {"--input", "a.rc"}, windres},
        {"brcc32", {"--preprocessor-arg=-MD"}, windres},
        {"brcc32", {"-O", "coff"}, windres},
        {"brcc32", {"-Ocoff"}, windres},
        {"brcc32", {"-J", "rc"}, windres},
        {"brcc32", {"-F", "pe-i386"}, windres},
        {"brcc32", {"-Fpe-i386"}, windres},
        // rc.exe's own: /fo and /fe in any case, lower-case letters, --, --help, --version.
        {"brcc32", {"-Fo", "x.res", "a.rc"}, rc},
        {"brcc32", {"-FOx.res", "a.rc"}, rc},
        {"brcc32", {"-Fex.exe"}, rc},
        {"brcc32", {"-o", "x.res"}, rc},
        {"brcc32", {"-Iinc", "a.rc"}, rc},
        {"brcc32", {"/O"}, rc},
        {"brcc32", {"--", "--input"}, rc},
        {"brcc32", {"--help"}, rc},
        {"brcc32", {"--version"}, rc},
        {"brcc32", {}, rc},
        {"/opt/windres/bin/brcc32", {"a.rc"}, rc},
        {"brcc32-windres-old", {"a.rc"}, rc},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ChooseCommandLineMode(c.program, c.args), c.mode) << c.program << " " << Joined(c.args);
}

TEST(WindresOptions, OptionFormsFilesAndFormats)
{
    struct Case {
        std::vector<std::string> args;
        std::string input, output;
        ResourceFormat outputFormat;
        std::string includes, macros;
    };
    const ResourceFormat res = ResourceFormat::Res;
    const ResourceFormat coff = ResourceFormat::Coff;
    const Case cases[] = {
        // Meson's: options, then the input and output as file names, then the -M arguments.
        {{"-Iinc", "app.rc", "app.o", "--preprocessor-arg=-MD"}, "app.rc", "app.o", coff, "inc;", ""},
        // CMake's mingw rule.
        {{"-O", "coff", "-DWIN32", "-I", "inc", "-i", "app.rc", "-o", "app.obj"}, "app.rc", "app.obj", coff,
         "inc;", "+WIN32=1 "},
        {{"--include-dir=a", "--include-dir", "b", "--input=app.rc", "--output", "x.res"}, "app.rc", "x.res", res,
         "a;b;", ""},
        // Options anywhere; a long name shortened while unique.
        {{"app.rc", "--incl", "a", "out.res", "--def", "A=2", "--undef=B"}, "app.rc", "out.res", res, "a;",
         "+A=2 -B "},
        {{"-DA=1", "-D", "B", "-UC", "-U", "D", "in.rc", "out.RES"}, "in.rc", "out.RES", res, "", "+A=1 +B=1 -C -D "},
        // -i given: the one file name is the output.
        {{"-i", "app.rc", "out.res"}, "app.rc", "out.res", res, "", ""},
        {{"-o", "out.res", "app.rc"}, "app.rc", "out.res", res, "", ""},
        // After --, names that look like options.
        {{"--", "-app.rc", "--out.res"}, "-app.rc", "--out.res", res, "", ""},
        // The output's extension: .res res, anything else coff; -O wins.
        {{"a.rc", "a.exe"}, "a.rc", "a.exe", coff, "", ""},
        {{"a.rc", "a"}, "a.rc", "a", coff, "", ""},
        {{"a.rc", "a.lib"}, "a.rc", "a.lib", coff, "", ""},
        {{"a.rc", "a.o", "-O", "res"}, "a.rc", "a.o", res, "", ""},
        {{"a.rc", "a.res", "--output-format=COFF"}, "a.rc", "a.res", coff, "", ""},
        // Flags share one argument; the value-taking one takes the rest.
        {{"-vrIinc", "a.rc", "a.res"}, "a.rc", "a.res", res, "inc;", ""},
        {{"--use-temp-file", "--no-use-temp-file", "a.rc", "a.res"}, "a.rc", "a.res", res, "", ""},
    };
    for (const Case& c : cases) {
        const Parsed<WindresArguments> parsed = ParseWindresArguments(c.args);
        ASSERT_TRUE(parsed) << Joined(c.args) << ": " << parsed.error;
        EXPECT_EQ(parsed->input, c.input) << Joined(c.args);
        EXPECT_EQ(parsed->output, c.output) << Joined(c.args);
        EXPECT_EQ(parsed->outputFormat, c.outputFormat) << Joined(c.args);
        EXPECT_EQ(Joined(parsed->options.includeFolders), c.includes) << Joined(c.args);
        EXPECT_EQ(Macros(parsed->options), c.macros) << Joined(c.args);
        EXPECT_TRUE(parsed->warnings.empty()) << Joined(c.args) << ": " << Joined(parsed->warnings);
    }
}

TEST(WindresOptions, InputFormatLanguageCodePageAndMachine)
{
    struct Case {
        std::vector<std::string> args;
        std::optional<ResourceFormat> inputFormat;
        std::uint16_t language;
        int codePage;
        CoffMachine machine;
    };
    const CoffMachine x64 = CoffMachine::X64;
    const Case cases[] = {
        {{"a.rc", "a.o"}, ResourceFormat::Rc, 0x409, 1252, x64},
        {{"a.RES", "a.o"}, ResourceFormat::Res, 0x409, 1252, x64},
        // No extension windres knows: the file's first bytes decide when it is read.
        {{"a.txt", "a.o"}, std::nullopt, 0x409, 1252, x64},
        {{"-J", "res", "a.txt", "a.o"}, ResourceFormat::Res, 0x409, 1252, x64},
        {{"--input-format=rc", "a.res", "a.o"}, ResourceFormat::Rc, 0x409, 1252, x64},
        {{"-l", "407", "a.rc", "a.o"}, ResourceFormat::Rc, 0x407, 1252, x64},
        {{"--language=0x0c0a", "a.rc", "a.o"}, ResourceFormat::Rc, 0x0c0a, 1252, x64},
        {{"-c", "65001", "a.rc", "a.o"}, ResourceFormat::Rc, 0x409, 65001, x64},
        {{"--codepage", "0x4e4", "a.rc", "a.o"}, ResourceFormat::Rc, 0x409, 1252, x64},
        {{"-F", "pe-i386", "a.rc", "a.o"}, ResourceFormat::Rc, 0x409, 1252, CoffMachine::I386},
        {{"-Fpei-i386", "a.rc", "a.o"}, ResourceFormat::Rc, 0x409, 1252, CoffMachine::I386},
        {{"--target=pe-bigobj-x86-64", "a.rc", "a.o"}, ResourceFormat::Rc, 0x409, 1252, x64},
        {{"--target", "pe-aarch64-little", "a.rc", "a.o"}, ResourceFormat::Rc, 0x409, 1252, CoffMachine::Arm64},
        {{"--targ=PE-ARM-LITTLE", "a.rc", "a.o"}, ResourceFormat::Rc, 0x409, 1252, CoffMachine::ArmNt},
    };
    for (const Case& c : cases) {
        const Parsed<WindresArguments> parsed = ParseWindresArguments(c.args);
        ASSERT_TRUE(parsed) << Joined(c.args) << ": " << parsed.error;
        EXPECT_EQ(parsed->inputFormat, c.inputFormat) << Joined(c.args);
        EXPECT_EQ(parsed->options.language, c.language) << Joined(c.args);
        EXPECT_EQ(parsed->options.codePage, c.codePage) << Joined(c.args);
        EXPECT_EQ(parsed->machine, c.machine) << Joined(c.args);
    }
}

TEST(WindresOptions, DefaultMachineFromTheProgramsTriplet)
{
    const std::pair<std::string, CoffMachine> cases[] = {
        {"/usr/bin/i686-w64-mingw32-brcc32-windres", CoffMachine::I386},
        {"i386-mingw32-brcc32-windres", CoffMachine::I386},
        {"x86_64-w64-mingw32-brcc32-windres", CoffMachine::X64},
        {"aarch64-w64-mingw32-brcc32-windres.exe", CoffMachine::Arm64},
        {"armv7-w64-mingw32-brcc32-windres", CoffMachine::ArmNt},
    };
    for (const auto& [program, machine] : cases)
        EXPECT_EQ(DefaultCoffMachine(program), machine) << program;
    // -F overrides the program's default.
    const Parsed<WindresArguments> parsed =
        ParseWindresArguments({"-F", "pe-x86-64", "a.rc", "a.o"}, DefaultCoffMachine("i686-w64-mingw32-windres"));
    ASSERT_TRUE(parsed) << parsed.error;
    EXPECT_EQ(parsed->machine, CoffMachine::X64);
}

TEST(WindresOptions, PreprocessorArgumentsForDependencies)
{
    struct Case {
        std::vector<std::string> args;
        std::string file, targets;
        bool phony, shippedHeaders;
        std::string includes, macros;
        std::size_t warnings;
    };
    const Case cases[] = {
        // Meson's three, joined to --preprocessor-arg and to their values.
        {{"a.rc", "out/a.o", "--preprocessor-arg=-MD", "--preprocessor-arg=-MQout/a b$.o",
          "--preprocessor-arg=-MFout/a.o.d"},
         "out/a.o.d", "out/a\\ b$$.o;", false, true, "", "", 0},
        // Separate: each value is the next --preprocessor-arg; -MT as written.
        {{"--preprocessor-arg", "-MMD", "--preprocessor-arg", "-MT", "--preprocessor-arg", "$(OBJ)",
          "--preprocessor-arg", "-MP", "a.rc", "a.o"},
         "a.d", "$(OBJ);", true, false, "", "", 0},
        // -MD alone: beside the output, its extension .d; the output quoted for make.
        {{"--preprocessor-arg=-MD", "my app.rc", "build dir/my app.res"}, "build dir/my app.d",
         "build\\ dir/my\\ app.res;", false, true, "", "", 0},
        {{"--preprocessor-arg=-MD", "--preprocessor-arg=-MTfirst", "a.rc", "a.o", "--preprocessor-arg=-MTsecond"},
         "a.d", "first;second;", false, true, "", "", 0},
        // -D, -U and -I given to the preprocessor are ours too; others are ignored, saying so.
        {{"--preprocessor-arg=-DX=1", "--preprocessor-arg", "-U", "--preprocessor-arg", "Y",
          "--preprocessor-arg=-Iinc", "--preprocessor-arg=-nostdinc", "--preprocessor=cpp", "a.rc", "a.o"},
         "", "", false, true, "inc;", "+X=1 -Y ", 2},
        // Without -MD or -MMD no file is written, and -MF says it did nothing.
        {{"--preprocessor-arg=-MFa.d", "a.rc", "a.o"}, "", "", false, true, "", "", 1},
    };
    for (const Case& c : cases) {
        const Parsed<WindresArguments> parsed = ParseWindresArguments(c.args);
        ASSERT_TRUE(parsed) << Joined(c.args) << ": " << parsed.error;
        const DependencyOutput& dependencies = parsed->options.dependencies;
        EXPECT_EQ(dependencies.file, c.file) << Joined(c.args);
        EXPECT_EQ(Joined(dependencies.targets), c.targets) << Joined(c.args);
        EXPECT_EQ(dependencies.phonyTargets, c.phony) << Joined(c.args);
        EXPECT_EQ(dependencies.shippedHeaders, c.shippedHeaders) << Joined(c.args);
        EXPECT_EQ(Joined(parsed->options.includeFolders), c.includes) << Joined(c.args);
        EXPECT_EQ(Macros(parsed->options), c.macros) << Joined(c.args);
        EXPECT_EQ(parsed->warnings.size(), c.warnings) << Joined(parsed->warnings);
    }
}

TEST(WindresOptions, HelpAndVersionNeedNoFiles)
{
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--help"}, {"-h"}, {"-V"}, {"--vers"}, {"-I", "inc", "--version"}}) {
        const Parsed<WindresArguments> parsed = ParseWindresArguments(args);
        ASSERT_TRUE(parsed) << Joined(args) << ": " << parsed.error;
        EXPECT_TRUE(parsed->help || parsed->version) << Joined(args);
    }
}

TEST(WindresOptions, RefusalsNameWhatIsWrong)
{
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--inp", "a.rc", "a.o"}, "option '--inp' is ambiguous (--input, --input-format)"},
        {{"--frobnicate", "a.rc", "a.o"}, "unknown option '--frobnicate'"},
        {{"-Q", "a.rc", "a.o"}, "unknown option '-Q'"},
        {{"-vQ", "a.rc", "a.o"}, "unknown option '-Q' in '-vQ'"},
        // -MD and its kin are the preprocessor's, given through --preprocessor-arg.
        {{"-MD", "a.rc", "a.o"}, "unknown option '-M' in '-MD'"},
        {{"--verbose=yes", "a.rc", "a.o"}, "option --verbose takes no value"},
        {{"a.rc", "a.o", "-I"}, "option -I needs a value"},
        {{"a.rc", "a.o", "--include-dir"}, "option --include-dir needs a value"},
        {{"a.rc", "a.o", "--include-dir="}, "option --include-dir needs a folder"},
        {{"a.rc", "a.o", "-D="}, "option --define needs a macro name"},
        {{"a.rc", "a.o", "extra"}, "a file name too many: 'extra' (input 'a.rc', output 'a.o')"},
        {{"-i", "a.rc", "-i", "b.rc", "a.o"}, "option --input is given twice"},
        {{}, "no input file given (brcc32 reads no script from standard input)"},
        {{"a.rc"}, "no output file given (brcc32 writes no resources to standard output)"},
        {{"a.rc", "a.o", "-O", "elf"}, "option --output-format: unknown format 'elf' (rc, res or coff)"},
        {{"a.rc", "a.rc2", "-O", "rc"}, "cannot write a.rc2: brcc32 writes .res files and COFF objects, not scripts "
                                        "(-O res|coff)"},
        {{"a.rc", "b.rc"}, "cannot write b.rc: brcc32 writes .res files and COFF objects, not scripts (-O res|coff)"},
        {{"a.obj", "b.res"}, "cannot read a.obj: brcc32 reads scripts and .res files, not COFF objects (-J rc|res)"},
        {{"-J", "coff", "a", "b.res"},
         "cannot read a: brcc32 reads scripts and .res files, not COFF objects (-J rc|res)"},
        {{"a.rc", "a.o", "-F", "elf64-x86-64"},
         "option --target: unknown target 'elf64-x86-64' (pe-x86-64, pe-i386, pe-aarch64-little or pe-arm-little)"},
        {{"a.rc", "a.o", "-l", "10000"}, "option --language expects a hexadecimal language ID up to ffff, not "
                                         "'10000'"},
        {{"a.rc", "a.o", "-l", "en"}, "option --language expects a hexadecimal language ID up to ffff, not 'en'"},
        {{"a.rc", "a.o", "-c", "12345"}, "code page 12345 is not supported"},
        {{"a.rc", "a.o", "-c", "0x"}, "option --codepage expects a code page, decimal or 0x hexadecimal, not '0x'"},
        {{"a.rc", "a.o", "-c", "12ab"}, "option --codepage expects a code page, decimal or 0x hexadecimal, not "
                                        "'12ab'"},
        {{"a.rc", "a.o", "--preprocessor-arg=-MF"}, "preprocessor argument -MF needs a value"},
        {{"a.rc", "a.o", "--preprocessor-arg=-D="}, "option --preprocessor-arg -D needs a macro name"},
        {{"", "a.o"}, "an empty argument is no file name"},
    };
    for (const auto& [args, error] : cases) {
        const Parsed<WindresArguments> parsed = ParseWindresArguments(args);
        ASSERT_FALSE(parsed) << Joined(args);
        EXPECT_EQ(parsed.error, error) << Joined(args);
    }
}

}  // namespace
}  // namespace brevok
