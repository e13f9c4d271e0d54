// Benchmark: binding 64 MB of resources (64 RCDATA of 1 MB) into a 1 MB executable, against
// copying the bound file in the same run; peak memory of the bind against the output size.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "image/binder.h"
#include "image/res_file.h"
#include "platform/files.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRuns = 3;

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

bool Run(const std::string& command) { return std::system(command.c_str()) == 0; }

// A 1 MB console program: a megabyte of initialized data behind a tiny entry point.
bool BuildExecutable(const std::string& dir, const std::string& exe) {
    std::ofstream(dir + "/big.c") << "static volatile const char pad[1 << 20] = {1};\n"
                                     "int entry(void) { return pad[4096]; }\n";
    return Run("clang --target=x86_64-pc-windows-msvc -O1 -c '" + dir + "/big.c' -o '" + dir + "/big.obj'") &&
           Run("lld-link /nologo /nodefaultlib /entry:entry /subsystem:console '" + dir + "/big.obj' '/out:" + exe + "'");
}

void WriteResources(const std::string& path) {
    std::vector<brevok::ResRecord> records(64);
    for (int i = 0; i < 64; ++i) {
        records[i].type = brevok::ResId::Ordinal(brevok::kRtRcData);
        records[i].name = brevok::ResId::Ordinal(static_cast<std::uint16_t>(i + 1));
        records[i].language = 0x409;
        records[i].data.assign(1 << 20, static_cast<char>('a' + i % 26));
    }
    brevok::WriteFileAtomically(path, brevok::WriteResFile(records));
}

// Binds in a child process so that its peak resident size is the bind's alone.
bool BindInChild(const std::string& res, const std::string& exe, long& peakKb) {
    const pid_t pid = fork();
    if (pid == 0)
        _exit(brevok::BindResFile(res, exe).ok ? 0 : 1);
    int status = 0;
    rusage usage{};
    if (pid < 0 || wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return false;
    peakKb = std::max(peakKb, usage.ru_maxrss);
    return true;
}

}  // namespace

int main() {
    char pattern[] = "/tmp/brevok-bind-bench-XXXXXX";
    if (!mkdtemp(pattern)) {
        std::puts("bench bind: cannot create a temporary folder");
        return 1;
    }
    const std::string dir = pattern;
    const std::string original = dir + "/original.exe";
    const std::string exe = dir + "/app.exe";
    const std::string res = dir + "/big.res";
    if (!BuildExecutable(dir, original)) {
        std::puts("bench bind: clang and lld-link are needed to build the executable");
        return 1;
    }
    WriteResources(res);

    double bind = 1e9;
    double copy = 1e9;
    long peakKb = 0;
    for (int i = 0; i < kRuns; ++i) {
        std::filesystem::copy_file(original, exe, std::filesystem::copy_options::overwrite_existing);
        auto start = Clock::now();
        if (!BindInChild(res, exe, peakKb)) {
            std::puts("bench bind: the bind failed");
            return 1;
        }
        bind = std::min(bind, Seconds(start));
        // The floor: the same bytes read whole and written the same careful way.
        start = Clock::now();
        brevok::WriteFileAtomically(dir + "/copy.exe", brevok::ReadFileBytes(exe));
        copy = std::min(copy, Seconds(start));
    }
    const double outputSize = static_cast<double>(std::filesystem::file_size(exe));
    std::printf("bind %.3f s, copy %.3f s, output %.1f MB, peak %.1f MB\n", bind, copy, outputSize / (1 << 20),
                peakKb / 1024.0);
    std::filesystem::remove_all(dir);
    std::printf("bench bind: ratio %.2f (target 2)\n", bind / copy);
    std::printf("bench bind: memory %.2fx (target 2x)\n", peakKb * 1024.0 / outputSize);
    return 0;
}
