// Benchmark: brc32 editing a 200 MB program as rcedit is asked to (--set-icon and three
// version strings in one call), against copying the program in the same run; peak memory
// against the program's size. The program is a small executable with an icon and a version
// resource followed by 199 MB of appended data, as installers and packed applications carry.
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

#include "image/pe_test_helpers.h"
#include "platform/files.h"
#include "program_run.h"

namespace {

using brevok::bench::RunProgram;
using Clock = std::chrono::steady_clock;
constexpr int kRuns = 3;
constexpr std::size_t kOverlay = 199u << 20;

double Seconds(Clock::time_point since)
{
    return std::chrono::duration<double>(Clock::now() - since).count();
}

bool Run(const std::string& command)
{
    return std::system(command.c_str()) == 0;
}

bool BuildProgram(const std::string& dir, const std::string& exe)
{
    std::ofstream(dir + "/p.c") << "int entry(void) { return 0; }\n";
    std::ofstream(dir + "/old.ico", std::ios::binary) << brevok::petest::IconFile(1);
    std::ofstream(dir + "/p.rc") << "1 ICON \"old.ico\"\n1 VERSIONINFO FILEVERSION 1,0,0,0 BEGIN BLOCK "
                                    "\"StringFileInfo\" BEGIN BLOCK \"040904B0\" BEGIN VALUE \"CompanyName\", \"Old\" "
                                    "END END BLOCK \"VarFileInfo\" BEGIN VALUE \"Translation\", 0x409, 1200 END END\n";
    if (!Run("cd '" + dir + "' && clang --target=x86_64-pc-windows-msvc -c p.c -o p.obj && llvm-rc -no-preprocess "
             "-fo p.res -- p.rc && lld-link /nologo /nodefaultlib /entry:entry /subsystem:console p.obj p.res "
             "/out:small.exe"))
        return false;
    std::ofstream out(exe, std::ios::binary);
    out << std::ifstream(dir + "/small.exe", std::ios::binary).rdbuf();
    const std::string chunk(1 << 20, 'o');
    for (std::size_t i = 0; i < kOverlay / chunk.size(); ++i)
        out << chunk;
    return static_cast<bool>(out);
}

}  // namespace

int main()
{
    char pattern[] = "/tmp/brevok-edit-bench-XXXXXX";
    if (!mkdtemp(pattern)) {
        std::puts("bench edit: cannot create a temporary folder");
        return 1;
    }
    const std::string dir = pattern;
    const std::string original = dir + "/original.exe";
    const std::string exe = dir + "/app.exe";
    if (!BuildProgram(dir, original)) {
        std::puts("bench edit: clang, llvm-rc and lld-link are needed to build the program");
        return 1;
    }
    std::ofstream(dir + "/new.ico", std::ios::binary) << brevok::petest::IconFile(200);
    const std::vector<std::string> command = {std::string(BREVOK_BIN_DIR) + "/brc32", exe, "--set-icon",
                                              dir + "/new.ico", "--set-version-string", "CompanyName", "Halvane",
                                              "--set-version-string", "ProductName", "Brevok",
                                              "--set-version-string", "FileDescription", "Edited in a benchmark"};
    double edit = 1e9;
    double copy = 1e9;
    long peakKb = 0;
    for (int i = 0; i < kRuns; ++i) {
        std::filesystem::copy_file(original, exe, std::filesystem::copy_options::overwrite_existing);
        auto start = Clock::now();
        if (!RunProgram(command, peakKb)) {
            std::puts("bench edit: brc32 failed");
            return 1;
        }
        edit = std::min(edit, Seconds(start));
        // The floor: the program's bytes read whole and written the same careful way.
        start = Clock::now();
        brevok::WriteFileAtomically(dir + "/copy.exe", brevok::ReadFileBytes(exe));
        copy = std::min(copy, Seconds(start));
    }
    const double size = static_cast<double>(std::filesystem::file_size(exe));
    std::printf("edit %.3f s, copy %.3f s, program %.1f MB, peak %.1f MB\n", edit, copy, size / (1 << 20),
                peakKb / 1024.0);
    std::filesystem::remove_all(dir);
    std::printf("bench edit: ratio %.2f (target 1.3)\n", edit / copy);
    std::printf("bench edit: memory %.2fx (target 1.3x)\n", peakKb * 1024.0 / size);
    return 0;
}
