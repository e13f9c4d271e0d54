// brcc32 started as brcc32-windres, as Meson and CMake's mingw rules run a windres: no banner,
// the same .res bytes as rc mode, dependency files a build system reads, windres's exit codes.
#include "image/res_object.h"
#include "platform/files.h"
#include "platform/process.h"
#include "support/resource_files.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <sstream>

namespace brevok {
namespace {

using testing::ScratchFolder;

const std::string kBrcc32 = std::string(BREVOK_BIN_DIR) + "/brcc32";

/// brcc32 under the name `name` in `folder`, as make install links it.
std::string LinkedAs(const ScratchFolder& folder, const std::string& name)
{
    const std::string link = folder / name;
    std::filesystem::create_symlink(kBrcc32, link);
    return link;
}

/// A script in a folder with spaces that includes a header, a shipped header, an icon and an
/// RCDATA file, each with a space in its name.
struct Project {
    explicit Project(const ScratchFolder& folder)
        : header(folder.Write("sub dir/my hdr.h", "#define GREETING \"hi\"\n")),
          icon(folder.Write("app icon.ico", testing::TinyIconFile(1))),
          data(folder.Write("data file.bin", "raw bytes")),
          script(folder.Write("app.rc", "#include \"sub dir/my hdr.h\"\n#include <winver.h>\n"
                                        "1 ICON \"app icon.ico\"\n2 RCDATA \"data file.bin\"\n"
                                        "STRINGTABLE { 1 GREETING }\n"))
    { }

    std::string header, icon, data, script;
};

std::string Escaped(const std::string& path)
{
    std::string out;
    for (const char c : path)
        out += c == ' ' ? std::string("\\ ") : std::string(1, c);
    return out;
}

TEST(Brcc32Windres, VersionIsTakenForAWindresByMeson)
{
    ScratchFolder folder;
    const ProgramExit run = RunAndCapture({LinkedAs(folder, "brcc32-windres"), "--version"});
    EXPECT_EQ(run.exitCode, 0) << run.output;
    std::istringstream lines(run.output);
    std::string first;
    std::getline(lines, first);
    EXPECT_EQ(first.rfind("brcc32-windres (Brevok Resource Compiler) ", 0), 0u) << run.output;
    // Meson's probe: re.search('^.*GNU windres.*$', output, re.MULTILINE).
    bool matched = false;
    for (std::string line = first; !matched && lines; std::getline(lines, line))
        matched = std::regex_match(line, std::regex("^.*GNU windres.*$"));
    EXPECT_TRUE(matched) << run.output;
}

TEST(Brcc32Windres, CompilesAsRcModeDoesWithoutABannerAndListsWhatItRead)
{
    ScratchFolder folder(" wr ü");
    const Project project(folder);
    const std::string windres = LinkedAs(folder, "x86_64-w64-mingw32-brcc32-windres");
    const std::string res = folder / "out dir/app.res";
    std::filesystem::create_directories(folder / "out dir");
    // Meson's command line: the file names, then the preprocessor's dependency arguments.
    const ProgramExit run = RunAndCapture({windres, project.script, res, "--preprocessor-arg=-MMD",
                                           "--preprocessor-arg=-MQ" + res, "--preprocessor-arg=-MF" + res + ".d"});
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(run.output, "");
    EXPECT_EQ(ReadFileBytes(res + ".d"), Escaped(res) + ": " + Escaped(project.script) + " \\\n  " +
                                             Escaped(project.header) + " \\\n  " + Escaped(project.icon) + " \\\n  " +
                                             Escaped(project.data) + "\n");

    const std::string rcRes = folder / "rc.res";
    const ProgramExit rc = RunAndCapture({kBrcc32, "/nologo", "/fo", rcRes, project.script});
    ASSERT_EQ(rc.exitCode, 0) << rc.output;
    EXPECT_EQ(ReadFileBytes(res), ReadFileBytes(rcRes));

    // -MD: the shipped headers too, in the file beside the output with .d for its extension.
    const ProgramExit all = RunAndCapture({windres, "--preprocessor-arg", "-MD", "-i", project.script, "-o", res});
    ASSERT_EQ(all.exitCode, 0) << all.output;
    const std::string rule = ReadFileBytes(folder / "out dir/app.d");
    EXPECT_EQ(rule.rfind(Escaped(res) + ": " + Escaped(project.script) + " \\\n  " + Escaped(project.header), 0), 0u)
        << rule;
    EXPECT_NE(rule.find("/winver.h \\\n"), std::string::npos) << rule;
    EXPECT_NE(rule.find(Escaped(project.data) + "\n"), std::string::npos) << rule;
}

TEST(Brcc32Windres, RcModeDepfileAsMakeRuleOrZigRcsJson)
{
    ScratchFolder folder(" dep");
    const Project project(folder);
    const std::string res = folder / "app.res";
    const ProgramExit run = RunAndCapture({kBrcc32, "/nologo", "/:depfile", folder / "app.d", project.script});
    ASSERT_EQ(run.exitCode, 0) << run.output;
    const std::string rule = ReadFileBytes(folder / "app.d");
    EXPECT_EQ(rule.rfind(Escaped(res) + ": " + Escaped(project.script) + " \\\n  " + Escaped(project.header), 0), 0u)
        << rule;
    EXPECT_NE(rule.find(Escaped(project.icon) + " \\\n  " + Escaped(project.data) + "\n"), std::string::npos) << rule;

    const ProgramExit json =
        RunAndCapture({kBrcc32, "/nologo", "/:depfile", folder / "app.json", "/:depfile-fmt", "json", project.script});
    ASSERT_EQ(json.exitCode, 0) << json.output;
    const std::string array = ReadFileBytes(folder / "app.json");
    EXPECT_EQ(array.rfind("[\n  \"" + project.script + "\",\n  \"" + project.header + "\",\n", 0), 0u) << array;
    EXPECT_NE(array.find("\"" + project.icon + "\",\n  \"" + project.data + "\"\n]\n"), std::string::npos) << array;
}

TEST(Brcc32Windres, AFailedCompileWritesNoDependencyFile)
{
    ScratchFolder folder;
    const std::string script = folder.Write("app.rc", "#include \"a.h\"\n1 RCDATA \"missing.bin\"\n");
    folder.Write("a.h", "\n");
    const std::string old = folder.Write("app.d", "old rule\n");
    const ProgramExit run = RunAndCapture(
        {LinkedAs(folder, "brcc32-windres"), script, folder / "app.res", "--preprocessor-arg=-MD"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.output.find("file not found: missing.bin"), std::string::npos) << run.output;
    EXPECT_EQ(ReadFileBytes(old), "old rule\n");
    EXPECT_FALSE(FileExists(folder / "app.res"));
}

TEST(Brcc32Windres, ResInputIsCheckedAndCopied)
{
    ScratchFolder folder;
    const std::string script = folder.Write("app.rc", "1 RCDATA { \"x\" }\n");
    const std::string res = folder / "app.res";
    ASSERT_EQ(RunAndCapture({kBrcc32, "/nologo", script}).exitCode, 0);
    const std::string windres = LinkedAs(folder, "brcc32-windres");
    struct Case {
        std::vector<std::string> args;
        int exitCode;
        std::string message;
    };
    // The same bytes under a name that says nothing: its first bytes make it a .res.
    std::filesystem::copy_file(res, folder / "resources.bin");
    const std::string broken = folder.Write("broken.res", ReadFileBytes(res).substr(0, 40));
    const Case cases[] = {
        {{"-J", "res", res, folder / "copy1.res"}, 0, ""},
        {{folder / "resources.bin", folder / "copy2.res"}, 0, ""},
        {{res, "-O", "res", folder / "copy3.o"}, 0, ""},
        {{broken, folder / "copy4.res"}, 1, "error: " + broken + " is not a valid .res file: "},
        {{folder / "none.res", folder / "copy5.res"}, 1, "error: Cannot open file " + folder / "none.res"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> argv = {windres};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        const ProgramExit run = RunAndCapture(argv);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.args.front() << ": " << run.output;
        if (c.exitCode == 0)
            EXPECT_EQ(ReadFileBytes(c.args.back()), ReadFileBytes(res)) << c.args.front();
        else
            EXPECT_EQ(run.output.rfind(c.message, 0), 0u) << run.output;
    }
}

TEST(Brcc32Windres, CoffObjectsForEveryTargetAsTheObjectWriterMakesThem)
{
    // From the script and from its .res (-J res), for each target, by option or by extension:
    // the object WriteResObject makes of rc mode's .res, and the depfile names the object.
    ScratchFolder folder;
    const Project project(folder);
    const std::string windres = LinkedAs(folder, "x86_64-w64-mingw32-brcc32-windres");
    ASSERT_EQ(RunAndCapture({kBrcc32, "-nologo", "-fo", folder / "rc.res", project.script}).exitCode, 0);
    const std::vector<std::pair<std::vector<std::string>, CoffMachine>> cases = {
        {{project.script, folder / "app.o"}, CoffMachine::X64},
        {{"-F", "pe-i386", "-i", project.script, "-o", folder / "app.o"}, CoffMachine::I386},
        {{"--target=pe-aarch64-little", project.script, folder / "app.obj"}, CoffMachine::Arm64},
        {{"-O", "coff", "-F", "pe-arm-little", project.script, folder / "app.out"}, CoffMachine::ArmNt},
        {{"-J", "res", "-O", "coff", "-F", "pe-i386", folder / "rc.res", folder / "app.o"}, CoffMachine::I386},
    };
    for (const auto& [arguments, machine] : cases) {
        std::vector<std::string> command = {windres};
        command.insert(command.end(), arguments.begin(), arguments.end());
        const std::string object = arguments.back();
        DeleteFileQuietly(object);
        const ProgramExit run = RunAndCapture(command);
        ASSERT_EQ(run.exitCode, 0) << arguments[0] << "\n" << run.output;
        ASSERT_TRUE(WriteResObject(folder / "rc.res", folder / "expected.o", machine).ok());
        EXPECT_EQ(ReadFileBytes(object), ReadFileBytes(folder / "expected.o")) << arguments[0];
    }
    const ProgramExit withDepfile = RunAndCapture(
        {windres, project.script, folder / "dep.o", "--preprocessor-arg=-MMD", "--preprocessor-arg=-MF" + folder / "dep.d"});
    ASSERT_EQ(withDepfile.exitCode, 0) << withDepfile.output;
    EXPECT_EQ(ReadFileBytes(folder / "dep.d").rfind(Escaped(folder / "dep.o") + ":", 0), 0u) << ReadFileBytes(folder / "dep.d");
}

TEST(Brcc32Windres, ModeFromTheFirstOptionAndRefusals)
{
    ScratchFolder folder;
    const std::string script = folder.Write("app.rc", "1 RCDATA { \"x\" }\n");
    // Under its own name brcc32 takes windres's line when a windres option comes first.
    const ProgramExit run = RunAndCapture({kBrcc32, "--input", script, "--output-format=res", folder / "out.bin"});
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(run.output, "");
    EXPECT_TRUE(FileExists(folder / "out.bin"));

    const std::string windres = LinkedAs(folder, "brcc32-windres");
    const ProgramExit bad = RunAndCapture({windres, "-F", "elf64-x86-64", script, folder / "a.o"});
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_EQ(bad.output, "brcc32-windres: error: option --target: unknown target 'elf64-x86-64' (pe-x86-64, "
                          "pe-i386, pe-aarch64-little or pe-arm-little)\nTry 'brcc32-windres --help'.\n");
    const ProgramExit ignored =
        RunAndCapture({windres, "--preprocessor", "cpp", "--preprocessor-arg=-P", script, folder / "b.res"});
    EXPECT_EQ(ignored.exitCode, 0);
    EXPECT_EQ(ignored.output, "brcc32-windres: warning: --preprocessor cpp ignored: brcc32 preprocesses scripts "
                              "itself\nbrcc32-windres: warning: preprocessor argument '-P' ignored: brcc32 "
                              "preprocesses scripts itself\n");
    const ProgramExit help = RunAndCapture({windres, "--help"});
    EXPECT_EQ(help.exitCode, 0);
    for (const char* option : {"--input", "--output-format", "--target", "--include-dir", "--preprocessor-arg", "-MD"})
        EXPECT_NE(help.output.find(option), std::string::npos) << option;
}

}  // namespace
}  // namespace brevok
