// Benchmark: brcc32 over the real Visual Studio scripts of tests/rcdriver/corpus, each run in
// its folder as a user runs it, against the same scripts through zig rc (with the MinGW headers
// it carries) and through clang and llvm-rc (llvm-rc's own preprocessor run, with the mingw-w64
// headers): wall time for all cases.
#include "bench_runs.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using brevok::bench::Median;
using brevok::bench::RunQuietly;

using Clock = std::chrono::steady_clock;
constexpr int kRounds = 5;

struct Case {
    std::string folder;
    std::string script;
};

std::vector<Case> Cases()
{
    std::vector<Case> cases;
    for (const auto& entry :
         std::filesystem::recursive_directory_iterator(std::string(BREVOK_SOURCE_DIR) + "/tests/rcdriver/corpus")) {
        std::string extension = entry.path().extension().string();
        for (char& c : extension)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (extension == ".RC")
            cases.push_back({entry.path().parent_path().string(), entry.path().filename().string()});
    }
    return cases;
}

}  // namespace

int main()
{
    const std::vector<Case> cases = Cases();
    const std::string out = "/tmp/brevok-corpus-bench-" + std::to_string(getpid()) + ".res";
    const std::string brcc32 = std::string(BREVOK_BIN_DIR) + "/brcc32";
    const std::string zig = BREVOK_ZIG;
    std::vector<double> ours;
    std::vector<double> byZig;
    std::vector<double> theirs;
    // In turns, so that both see the same machine load.
    for (int round = 0; round < kRounds; ++round) {
        Clock::time_point start = Clock::now();
        for (const Case& c : cases)
            RunQuietly({brcc32, "-fo", out, c.script}, c.folder);
        ours.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        start = Clock::now();
        for (const Case& c : cases)
            RunQuietly({zig, "rc", "/:auto-includes", "gnu", "/fo", out, "--", c.script}, c.folder);
        byZig.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        start = Clock::now();
        for (const Case& c : cases)
            RunQuietly({"llvm-rc", "/C", "1252", "/I", "/usr/share/mingw-w64/include", "/FO", out, c.script},
                                      c.folder);
        theirs.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::filesystem::remove(out);
    std::printf("%zu corpus scripts: brcc32 %.0f ms; zig rc %.0f ms; clang + llvm-rc %.0f ms\n", cases.size(),
                Median(ours), Median(byZig), Median(theirs));
    std::printf("bench corpus: ratio %.3f against zig rc (target 0.25)\n", Median(ours) / Median(byZig));
    std::printf("bench corpus-llvm-rc: ratio %.3f against clang + llvm-rc (target 0.2)\n",
                Median(ours) / Median(theirs));
    return 0;
}
