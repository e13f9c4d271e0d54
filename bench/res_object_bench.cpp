// Turning a .res of 64 MB of data files into a COFF object, against copying the .res's bytes
// (std::filesystem::copy_file). Each runs in a child process of its own, so that its peak
// memory (VmHWM) is its own; both are printed.
#include "bench_runs.h"
#include "image/res_file.h"
#include "image/res_object.h"
#include "platform/files.h"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

using namespace brevok;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kFiles = 64;
constexpr std::size_t kFileSize = std::size_t{1} << 20;
constexpr int kRounds = 3;
constexpr double kTarget = 1.5;


// 64 RCDATA records of 1 MB each (as a script of 64 data files compiles), written a record
// at a time.
void WriteRes(const std::string& path)
{
    AtomicFileWriter writer(path);
    writer.Write(WriteResOpeningRecord());
    std::string data(kFileSize, '\0');
    for (int i = 0; i < kFiles; ++i) {
        std::fill(data.begin(), data.end(), static_cast<char>('A' + i % 26));
        ResRecord record;
        record.type = ResId::Ordinal(kRtRcData);
        record.name = ResId::Name(u"FILE" + std::u16string(1, static_cast<char16_t>(u'A' + i % 26)) +
                                  std::u16string(1, static_cast<char16_t>(u'0' + i / 26)));
        writer.Write(WriteResRecordHeader(record, static_cast<std::uint32_t>(data.size())));
        writer.Write(data);
    }
    writer.Commit();
}

struct Run {
    double seconds = 0;
    std::size_t peak = 0;
};

// Runs `work` in a child; its time (seen from here) and the child's peak resident memory.
Run InChild(const std::function<bool()>& work)
{
    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        std::exit(2);
    const auto start = Clock::now();
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeFds[0]);
        const bool ok = work();
        const std::size_t peak = brevok::bench::StatusBytes("VmHWM");
        if (::write(pipeFds[1], &peak, sizeof peak) != sizeof peak)
            ::_exit(3);
        ::_exit(ok ? 0 : 1);
    }
    ::close(pipeFds[1]);
    Run run;
    if (::read(pipeFds[0], &run.peak, sizeof run.peak) != sizeof run.peak)
        run.peak = 0;
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    run.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "a run failed\n");
        std::exit(1);
    }
    return run;
}

}  // namespace

int main()
{
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / ("brevok-res-object-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string res = (dir / "big.res").string();
    const std::string copy = (dir / "copy.res").string();
    const std::string object = (dir / "big.o").string();
    WriteRes(res);

    Run best[3] = {{1e9, 0}, {1e9, 0}, {1e9, 0}};
    for (int round = 0; round < kRounds; ++round) {
        const Run floor = InChild([&] {
            std::filesystem::remove(copy);
            return std::filesystem::copy_file(res, copy);
        });
        const Run ours = InChild([&] {
            const Status written = WriteResObject(res, object, CoffMachine::X64);
            if (!written)
                std::fprintf(stderr, "%s\n", written.error.c_str());
            return written.ok();
        });
        // For reference: the same bytes through the atomic writer the object goes through
        // (temporary file, fsync, rename), read in the same pieces.
        const Run atomic = InChild([&] {
            AtomicFileWriter writer(copy);
            ReadFileInPieces(res, [&](std::string_view piece) {
                writer.Write(piece);
                return true;
            });
            writer.Commit();
            return true;
        });
        best[2] = {std::min(best[2].seconds, atomic.seconds), std::max(best[2].peak, atomic.peak)};
        best[0] = {std::min(best[0].seconds, floor.seconds), std::max(best[0].peak, floor.peak)};
        best[1] = {std::min(best[1].seconds, ours.seconds), std::max(best[1].peak, ours.peak)};
    }
    const auto megabytes = [](std::size_t bytes) { return static_cast<double>(bytes) / (1 << 20); };
    std::printf("res size %.1f MB, object size %.1f MB\n", megabytes(std::filesystem::file_size(res)),
                megabytes(std::filesystem::file_size(object)));
    std::printf("copy_file: %.3f s, peak memory %.1f MB\n", best[0].seconds, megabytes(best[0].peak));
    std::printf("atomic copy (fsync, rename): %.3f s, peak memory %.1f MB\n", best[2].seconds, megabytes(best[2].peak));
    std::printf("WriteResObject: %.3f s, peak memory %.1f MB\n", best[1].seconds, megabytes(best[1].peak));
    const double ratio = best[1].seconds / best[0].seconds;
    std::printf("bench res_object: ratio %.2f (target %.1f)\n", ratio, kTarget);
    std::filesystem::remove_all(dir);
    return 0;
}
