// Benchmark: brcc32 started as the window's Compile runs it, on a 10-line script of file
// statements and on a 50-line script with a dialog, a menu, a string table and a version
// block, against llvm-rc compiling the same script as its users run it (clang preprocessing,
// the headers brcc32 ships on its include path).
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench_runs.h"
#include "full_script.h"
#include "platform/files.h"

namespace {

using brevok::bench::Median;
using brevok::bench::RunQuietly;

using Clock = std::chrono::steady_clock;
constexpr int kRounds = 11;

std::string Le(std::uint32_t value, int bytes)
{
    std::string out;
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
    return out;
}

// A 16 x 16 picture of 32 bits: BITMAPINFOHEADER and pixels (`rows` counts mask rows too).
std::string Dib(int rows)
{
    return Le(40, 4) + Le(16, 4) + Le(static_cast<std::uint32_t>(rows), 4) + Le(1, 2) + Le(32, 2) +
        std::string(24, '\0') + std::string(16 * 16 * 4 + 64, '\x40');
}

std::string IconFile(int type)
{
    const std::string image = Dib(32);
    return Le(0, 2) + Le(static_cast<std::uint32_t>(type), 2) + Le(1, 2) + std::string("\x10\x10\0\0", 4) + Le(1, 2) +
        Le(32, 2) + Le(static_cast<std::uint32_t>(image.size()), 4) + Le(22, 4) + image;
}

/// The script: a bitmap, an icon, a cursor and seven data files, absolute paths in quotes.
std::string WriteFiles(const std::string& folder)
{
    const std::string dib = Dib(16);
    const std::vector<std::pair<std::string, std::string>> files = {
        {"BITMAP", "BM" + Le(static_cast<std::uint32_t>(14 + dib.size()), 4) + Le(0, 4) + Le(54, 4) + dib},
        {"ICON", IconFile(1)},
        {"CURSOR", IconFile(2)},
        {"RCDATA", std::string(4096, 'r')},
        {"WAVE", "RIFF" + std::string(2000, 'w')},
        {"AVI", "RIFF" + std::string(3000, 'a')},
        {"MIDI", "MThd"},
        {"RCDATA", std::string(100, 'd')},
        {"HELPDATA", "help"},
        {"RCDATA", std::string(20000, 'x')}};
    std::string script;
    for (std::size_t i = 0; i < files.size(); ++i) {
        const std::string path = folder + "/file " + std::to_string(i) + ".bin";
        brevok::WriteFileAtomically(path, files[i].second);
        script += "Item" + std::to_string(i) + " " + files[i].first + " \"" + path + "\"\r\n";
    }
    return script;
}

/// llvm-rc's command for `script`, or brcc32's.
std::vector<std::string> Command(const std::string& script, bool llvmRc)
{
    if (!llvmRc)
        return {std::string(BREVOK_BIN_DIR) + "/brcc32", script};
    return {"/usr/bin/llvm-rc", "/C", "1252", "/I", std::string(BREVOK_BIN_DIR) + "/include",
            "/FO", script.substr(0, script.size() - 3) + ".res", script};
}

/// Milliseconds of one run of `command`; negative when it failed.
double Run(std::vector<std::string> command)
{
    const Clock::time_point start = Clock::now();
    if (RunQuietly(std::move(command)) != 0)
        return -1;
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

}  // namespace

int main()
{
    char pattern[] = "/tmp/brevok-compile-bench-XXXXXX";
    if (mkdtemp(pattern) == nullptr) {
        std::puts("bench compile: cannot create a temporary folder");
        return 1;
    }
    const std::string folder = pattern;
    const std::string script = folder + "/app.rc";
    brevok::WriteFileAtomically(script, WriteFiles(folder));
    const std::string full = folder + "/full.rc";
    brevok::WriteFileAtomically(full, kFullScript);
    struct Case {
        const char* name;
        const char* what;
        std::string script;
    };
    for (const Case& c :
         {Case{"compile", "10 file statements", script}, Case{"compile_script", "a 50-line script", full}}) {
        std::vector<double> ours;
        std::vector<double> llvmRc;
        // In turns, so that both see the same machine load.
        for (int round = 0; round < kRounds; ++round) {
            ours.push_back(Run(Command(c.script, false)));
            llvmRc.push_back(Run(Command(c.script, true)));
            if (ours.back() < 0 || llvmRc.back() < 0) {
                std::printf("bench %s: brcc32 or llvm-rc failed\n", c.name);
                return 1;
            }
        }
        std::printf("brcc32 on %s: %.1f ms; llvm-rc: %.1f ms\n", c.what, Median(ours), Median(llvmRc));
        std::printf("bench %s: ratio %.3f (target 0.25)\n", c.name, Median(ours) / Median(llvmRc));
    }
    std::filesystem::remove_all(folder);
    return 0;
}
