// Test helpers that build real PE images at test time: a resource script compiled by llvm-rc,
// a tiny program compiled by clang for Windows and linked by lld-link.
#pragma once

#ifndef _WIN32
#include <unistd.h>
#endif

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>

namespace brevok::fixtures {

enum class PeArch { X64, X86 };
enum class PeFlavour { Msvc, MinGw };  // MinGW: DWARF debug sections and a COFF symbol table

struct PeBuildOptions {
    PeArch arch = PeArch::X64;
    PeFlavour flavour = PeFlavour::Msvc;
    std::string extraLinkArgs;  // appended to the lld-link command line
    std::string extraSource;    // appended to the program's C source
};

/// Runs `command` through the shell with its output captured; throws with the output when
/// it fails. Only for fixed test commands built from temporary-folder paths.
inline std::string RunFixtureCommand(const std::string& command)
{
    std::string output;
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (!pipe)
        throw std::runtime_error("cannot run: " + command);
    std::array<char, 4096> chunk;
    std::size_t n;
    while ((n = std::fread(chunk.data(), 1, chunk.size(), pipe)) > 0)
        output.append(chunk.data(), n);
    int status = ::pclose(pipe);
    if (status != 0)
        throw std::runtime_error("command failed: " + command + "\n" + output);
    return output;
}

/// A fresh folder below $TMPDIR (or /tmp), removed with its content when destroyed.
class FixtureDir {
public:
    FixtureDir()
    {
#ifdef _WIN32
        // No mkdtemp: a random name below the system's temporary folder, made only when new.
        std::random_device random;
        for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
            const auto candidate = std::filesystem::temp_directory_path() / ("brevok-pe-" + std::to_string(random()));
            if (std::filesystem::create_directory(candidate))
                path_ = candidate.string();
        }
        if (path_.empty())
            throw std::runtime_error("cannot create a temporary folder");
#else
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/brevok-pe-XXXXXX";
        if (!::mkdtemp(pattern.data()))
            throw std::runtime_error("cannot create a temporary folder");
        path_ = pattern;
#endif
    }
    ~FixtureDir()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    FixtureDir(const FixtureDir&) = delete;
    FixtureDir& operator=(const FixtureDir&) = delete;

    const std::string& path() const
    {
        return path_;
    }
    std::string operator/(const std::string& name) const
    {
        return path_ + "/" + name;
    }

private:
    std::string path_;
};

inline void WriteFixtureFile(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

inline std::string ReadFixtureFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

inline bool FileExistsForTest(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return static_cast<bool>(in);
}

/// Compiles `rcText` (written to dir/name.rc) into dir/name.res with llvm-rc; returns its path.
/// Files the script names are looked up relative to `dir`.
inline std::string CompileRc(const std::string& dir, const std::string& name, const std::string& rcText)
{
    const std::string rc = dir + "/" + name + ".rc";
    const std::string res = dir + "/" + name + ".res";
    WriteFixtureFile(rc, rcText);
    RunFixtureCommand("cd '" + dir + "' && llvm-rc -no-preprocess -fo '" + res + "' -- '" + rc + "'");
    return res;
}

/// Builds dir/name.exe from a tiny program (with a data pointer, so it has base relocations)
/// and, when `rcText` is not empty, the resources it describes. Returns the image's path.
inline std::string BuildPe(const std::string& dir, const std::string& name, const std::string& rcText,
                           const PeBuildOptions& options = {})
{
    const std::string source = dir + "/" + name + "_main.c";
    const std::string object = dir + "/" + name + "_main.obj";
    const std::string exe = dir + "/" + name + ".exe";
    WriteFixtureFile(source,
                     "static int value = 7;\n"
                     "int *volatile pointer = &value;\n"
                     "int entry(void) { return *pointer - 7; }\n" +
                         options.extraSource);
    std::string target;
    if (options.flavour == PeFlavour::MinGw)
        target = options.arch == PeArch::X64 ? "x86_64-w64-mingw32" : "i686-w64-mingw32";
    else
        target = options.arch == PeArch::X64 ? "x86_64-pc-windows-msvc" : "i686-pc-windows-msvc";
    std::string compile = "clang --target=" + target + " -c '" + source + "' -o '" + object + "'";
    if (options.flavour == PeFlavour::MinGw)
        compile += " -g";
    RunFixtureCommand(compile);
    std::string link = "lld-link /nologo /nodefaultlib /entry:entry /subsystem:console '" + object + "'";
    if (options.flavour == PeFlavour::MinGw)
        link += " -lldmingw /debug:dwarf";
    if (!rcText.empty())
        link += " '" + CompileRc(dir, name, rcText) + "'";
    link += " " + options.extraLinkArgs + " '/out:" + exe + "'";
    RunFixtureCommand(link);
    return exe;
}

}  // namespace brevok::fixtures
