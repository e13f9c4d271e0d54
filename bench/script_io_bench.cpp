// Loading and saving a 1,000,000-line script against reading and writing its bytes whole.
#include "bench_runs.h"
#include "platform/files.h"
#include "script/script_document.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

using namespace brevok;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kLines = 1'000'000;
constexpr int kRounds = 3;


double Seconds(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// FNV-1a over the bytes, so a file can be compared without holding a copy of it.
struct Digest {
    std::size_t size = 0;
    std::uint64_t hash = 14695981039346656037ull;
    void Add(std::string_view bytes)
    {
        size += bytes.size();
        for (const char c : bytes)
            hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    }
    bool operator==(const Digest&) const = default;
};

Digest DigestOf(const std::string& path)
{
    Digest digest;
    ReadFileInPieces(path, [&](std::string_view piece) {
        digest.Add(piece);
        return true;
    });
    return digest;
}

// Writes the script piece by piece, so the generator adds nothing to the peak.
Digest WriteScript(const std::string& path)
{
    AtomicFileWriter writer(path);
    Digest digest;
    char line[128];
    for (int i = 0; i < kLines; ++i) {
        const int n =
            std::snprintf(line, sizeof line, "Name%06d BITMAP \"C:\\Art\\Some Folder\\picture_%06d.bmp\"\r\n", i, i);
        writer.Write(std::string_view(line, static_cast<std::size_t>(n)));
        digest.Add(std::string_view(line, static_cast<std::size_t>(n)));
    }
    writer.Commit();
    return digest;
}

// The document's way: split into lines while reading, write them back with their line ends.
// Both write atomically and flush to the device, so the floor does the same work on disk.
struct Times {
    double read = 1e9;
    double write = 1e9;
    double Total() const { return read + write; }
    void KeepBest(const Times& other)
    {
        if (other.Total() < Total())
            *this = other;
    }
};

Times LoadAndSave(const std::string& path)
{
    Times times;
    auto start = Clock::now();
    ScriptDocument document;
    LoadScriptLines(document, path);
    times.read = Seconds(start);
    start = Clock::now();
    SaveScriptLines(document, path);
    document.Clear();
    times.write = Seconds(start);
    return times;
}

Times ReadAndWriteWhole(const std::string& path)
{
    Times times;
    auto start = Clock::now();
    std::string bytes = ReadFileBytes(path);
    times.read = Seconds(start);
    start = Clock::now();
    WriteFileAtomically(path, bytes);
    bytes = std::string();
    times.write = Seconds(start);
    return times;
}

}  // namespace

int main()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "brevok-script-io-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::filesystem::path folder = pattern;
    const std::string path = (folder / "big.rc").string();
    const Digest original = WriteScript(path);
    const std::size_t size = original.size;

    // The first run is measured for memory, before anything else holds a whole file.
    Times document = LoadAndSave(path);
    const std::size_t peak = brevok::bench::StatusBytes("VmHWM");
    const bool same = DigestOf(path) == original;

    Times floor = ReadAndWriteWhole(path);
    for (int round = 1; round < kRounds; ++round) {
        document.KeepBest(LoadAndSave(path));
        floor.KeepBest(ReadAndWriteWhole(path));
    }
    std::filesystem::remove_all(folder);

    const double mb = 1024.0 * 1024.0;
    std::printf("script_io: %d lines, %.1f MB, written back %s\n", kLines, static_cast<double>(size) / mb,
                same ? "byte for byte" : "CHANGED (fault)");
    std::printf("script_io: load %.3f s + save %.3f s; read whole %.3f s + write whole %.3f s (best of %d;"
                " both writes are atomic and flushed to the device)\n",
                document.read, document.write, floor.read, floor.write, kRounds);
    std::printf("script_io: peak memory %.1f MB for a %.1f MB file\n", static_cast<double>(peak) / mb,
                static_cast<double>(size) / mb);
    std::printf("bench script_io: ratio %.2f (target 1.5)\n", document.Total() / floor.Total());
    std::printf("bench script_io: memory %.2fx (target 1.5x)\n", static_cast<double>(peak) / static_cast<double>(size));
    return same ? 0 : 1;
}
