// Benchmark: binding 64 MB of resources (64 RCDATA of 1 MB) into a 1 MB executable, against
// copying the bound file in the same run: the binder alone on a ready .res, and brc32 end to
// end as a process (compile of a 64-line script and bind); peak memory against the output size.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
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
#include "program_run.h"

namespace {

using brevok::bench::RunProgram;
using Clock = std::chrono::steady_clock;
constexpr int kRuns = 3;
constexpr int kResources = 64;

double Seconds(Clock::time_point since)
{
    return std::chrono::duration<double>(Clock::now() - since).count();
}

bool Run(const std::string& command)
{
    return std::system(command.c_str()) == 0;
}

// A 1 MB console program: a megabyte of initialized data behind a tiny entry point.
bool BuildExecutable(const std::string& dir, const std::string& exe)
{
    std::ofstream(dir + "/big.c") << "static volatile const char pad[1 << 20] = {1};\n"
                                     "int entry(void) { return pad[4096]; }\n";
    return Run("clang --target=x86_64-pc-windows-msvc -O1 -c '" + dir + "/big.c' -o '" + dir + "/big.obj'") &&
        Run("lld-link /nologo /nodefaultlib /entry:entry /subsystem:console '" + dir + "/big.obj' '/out:" + exe + "'");
}

std::string Payload(int i)
{
    return std::string(1 << 20, static_cast<char>('a' + i % 26));
}

void WriteResources(const std::string& path)
{
    std::vector<brevok::ResRecord> records(kResources);
    for (int i = 0; i < kResources; ++i) {
        records[i].type = brevok::ResId::Ordinal(brevok::kRtRcData);
        records[i].name = brevok::ResId::Ordinal(static_cast<std::uint16_t>(i + 1));
        records[i].language = 0x409;
        records[i].data = Payload(i);
    }
    brevok::WriteFileAtomically(path, brevok::WriteResFile(records));
}

// The same resources as a script of file statements, the way the tool writes it.
void WriteScript(const std::string& dir, const std::string& script)
{
    std::string text;
    for (int i = 0; i < kResources; ++i) {
        const std::string data = dir + "/data" + std::to_string(i) + ".bin";
        brevok::WriteFileAtomically(data, Payload(i));
        text += "Data" + std::to_string(i) + " RCDATA \"" + data + "\"\r\n";
    }
    brevok::WriteFileAtomically(script, text);
}

// Binds in a child process so that its peak resident size is the bind's alone.
bool BindInChild(const std::string& res, const std::string& exe, long& peakKb)
{
    const pid_t pid = fork();
    if (pid == 0)
        _exit(brevok::BindResFile(res, exe).ok ? 0 : 1);
    return brevok::bench::AwaitChild(pid, peakKb);
}

// Runs `work` in a child process, so that the memory it takes never counts in ours (a forked
// child starts with our resident pages).
template <class Work>
bool InChild(Work work)
{
    const pid_t pid = fork();
    if (pid == 0) {
        work();
        _exit(0);
    }
    int status = 0;
    return pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The floor: the output's bytes read whole and written the same careful way.
double CopyOutput(const std::string& exe, const std::string& copy)
{
    const auto start = Clock::now();
    brevok::WriteFileAtomically(copy, brevok::ReadFileBytes(exe));
    return Seconds(start);
}

}  // namespace

int main()
{
    char pattern[] = "/tmp/brevok-bind-bench-XXXXXX";
    if (!mkdtemp(pattern)) {
        std::puts("bench bind: cannot create a temporary folder");
        return 1;
    }
    const std::string dir = pattern;
    const std::string original = dir + "/original.exe";
    const std::string exe = dir + "/app.exe";
    const std::string res = dir + "/big.res";
    const std::string script = dir + "/app.rc";
    if (!BuildExecutable(dir, original)) {
        std::puts("bench bind: clang and lld-link are needed to build the executable");
        return 1;
    }
    if (!InChild([&] {
            WriteResources(res);
            WriteScript(dir, script);
        })) {
        std::puts("bench bind: cannot write the resources");
        return 1;
    }

    double bind = 1e9;
    double brc32 = 1e9;
    double copy = 1e9;
    long bindPeakKb = 0;
    long brc32PeakKb = 0;
    const std::vector<std::string> command = {
        std::string(BREVOK_BIN_DIR) + "/brc32", "-fo", dir + "/app.res", "-fe", exe, script};
    for (int i = 0; i < kRuns; ++i) {
        std::filesystem::copy_file(original, exe, std::filesystem::copy_options::overwrite_existing);
        auto start = Clock::now();
        if (!BindInChild(res, exe, bindPeakKb)) {
            std::puts("bench bind: the bind failed");
            return 1;
        }
        bind = std::min(bind, Seconds(start));
        copy = std::min(copy, CopyOutput(exe, dir + "/copy.exe"));

        std::filesystem::copy_file(original, exe, std::filesystem::copy_options::overwrite_existing);
        start = Clock::now();
        if (!RunProgram(command, brc32PeakKb)) {
            std::puts("bench brc32: brc32 failed");
            return 1;
        }
        brc32 = std::min(brc32, Seconds(start));
        copy = std::min(copy, CopyOutput(exe, dir + "/copy.exe"));
    }
    const double outputSize = static_cast<double>(std::filesystem::file_size(exe));
    std::printf("bind %.3f s, brc32 %.3f s, copy %.3f s, output %.1f MB, peak bind %.1f MB, brc32 %.1f MB\n", bind,
                brc32, copy, outputSize / (1 << 20), bindPeakKb / 1024.0, brc32PeakKb / 1024.0);
    std::filesystem::remove_all(dir);
    std::printf("bench bind: ratio %.2f (target 2)\n", bind / copy);
    std::printf("bench bind: memory %.2fx (target 1.3x)\n", bindPeakKb * 1024.0 / outputSize);
    std::printf("bench brc32: ratio %.2f (target 2)\n", brc32 / copy);
    std::printf("bench brc32: memory %.2fx (target 1.3x)\n", brc32PeakKb * 1024.0 / outputSize);
    return 0;
}
