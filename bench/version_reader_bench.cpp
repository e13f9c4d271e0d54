// Reading the version strings of a 200 MB executable against those of a small one: the
// reader takes the headers and the resource section only, so both should cost the same.
#include "versioninfo/get_version_info.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "../tests/support/pe_fixtures.h"

using namespace brevok;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kRounds = 200;
constexpr off_t kBigSize = 200 * 1024 * 1024;

const char* kScript =
    "1 VERSIONINFO\nFILEVERSION 1,1,0,3\nBEGIN\n  BLOCK \"StringFileInfo\"\n  BEGIN\n    BLOCK \"080904E4\"\n"
    "    BEGIN\n      VALUE \"CompanyName\", \"Halvane\"\n      VALUE \"FileDescription\", \"Bench\"\n"
    "      VALUE \"FileVersion\", \"1.1.0.3\"\n      VALUE \"InternalName\", \"bench\"\n    END\n  END\n"
    "  BLOCK \"VarFileInfo\"\n  BEGIN\n    VALUE \"Translation\", 0x0809, 0x04E4\n  END\nEND\n";

/// Seconds for kRounds readings of `path`; the best of three runs, to keep out noise.
double TimeReads(const std::string& path)
{
    double best = 1e9;
    for (int run = 0; run < 3; ++run) {
        const auto start = Clock::now();
        for (int i = 0; i < kRounds; ++i) {
            TGetVersionInfoFromFile reader;
            reader.setFileName(path);
            if (reader.VersionStrings().size() != 4) {
                std::fprintf(stderr, "wrong reading of %s\n", path.c_str());
                std::exit(1);
            }
        }
        best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
    }
    return best;
}

}  // namespace

int main()
{
    fixtures::FixtureDir dir;
    const std::string small = fixtures::BuildPe(dir.path(), "small", kScript);
    // The same image followed by 200 MB of data that is not part of any section (an
    // overlay, as installers carry), written out so that reading it would cost real time.
    const std::string big = dir / "big.exe";
    fixtures::RunFixtureCommand("cp '" + small + "' '" + big + "'");
    {
        FILE* out = std::fopen(big.c_str(), "ab");
        const std::string chunk(1 << 20, '\x5A');
        for (off_t written = 0; written < kBigSize; written += static_cast<off_t>(chunk.size()))
            std::fwrite(chunk.data(), 1, chunk.size(), out);
        std::fclose(out);
    }
    const double smallTime = TimeReads(small);
    const double bigTime = TimeReads(big);
    std::printf("small file: %.3f ms per reading\n", smallTime * 1000 / kRounds);
    std::printf("200 MB file: %.3f ms per reading\n", bigTime * 1000 / kRounds);
    std::printf("bench version_reader: ratio %.2f (target 2)\n", bigTime / smallTime);
    return 0;
}
