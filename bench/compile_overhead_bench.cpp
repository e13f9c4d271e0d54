// The Compile command's own cost (script save, batch file, shell, read-back) on top of the
// compiler: Compile with brcc32 against running brcc32 directly on the same script.
#include "bench_runs.h"
#include "full_script.h"
#include "workbench/command_host.h"
#include "support/fake_view.h"
#include "workbench/compile_command.h"
#include "workbench/dialogs.h"
#include "platform/files.h"
#include "platform/process.h"
#include "script/script_document.h"
#include "settings/settings.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

using namespace brevok;
using Clock = std::chrono::steady_clock;

namespace {

using brevok::bench::Median;

constexpr int kRounds = 7;

class QuietDialogs : public Dialogs {
public:
    BoxAnswer MessageBox(BoxKind, const std::string& text, BoxButtons) override
    {
        lastBox = text;
        return BoxAnswer::Ok;
    }
    bool OpenFile(FileDialogState&) override { return false; }
    std::string InputText(const std::string&, const std::string&, int) override { return {}; }
    bool EditLine(std::string&) override { return false; }
    std::string lastBox;
};

/// The workbench's part, reduced to members.
struct BenchHost {
    operator CommandHost() { return {document, settings, dialogs, launcher, view, batchText}; }

    QuietDialogs dialogs;
    SystemProcessLauncher launcher;
    ScriptDocument document;
    TSettings settings;
    brevok::testing::FakeView view;
    std::vector<std::string>& messages = view.messages;
    std::string batchText;
};

struct Timing {
    double compile;  // median ms of Compile
    double direct;   // median ms of the compiler alone
    double added;    // median of the differences of rounds run back to back
};

/// Compile and the compiler alone, measured in turns so that both see the same machine load.
Timing Measure(const std::string& compiler, const std::string& script, bool check, std::vector<std::string> lines = {})
{
    BenchHost host;
    host.settings.CompilerPath = compiler;
    host.settings.ScriptPath = script;
    if (lines.empty())
        lines = {"Blob RCDATA \"" + FolderPart(script) + "data.bin\""};
    host.document.Reset(lines);
    std::vector<double> viaCompile;
    std::vector<double> direct;
    for (int round = 0; round < kRounds; ++round) {
        Clock::time_point start = Clock::now();
        RunCompileCommand(host);
        viaCompile.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        if (check && (host.messages.size() != 1 || host.messages[0] != kCompileCompleteText)) {
            std::fprintf(stderr, "compile failed: %s\n", host.dialogs.lastBox.c_str());
            std::exit(1);
        }
        start = Clock::now();
        const ProgramExit run = RunAndCapture({compiler, script});
        direct.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        if (check && run.exitCode != 0) {
            std::fprintf(stderr, "brcc32 failed: %s\n", run.output.c_str());
            std::exit(1);
        }
    }
    std::vector<double> added;
    for (int round = 0; round < kRounds; ++round)
        added.push_back(viaCompile[round] - direct[round]);
    return {Median(viaCompile), Median(direct), Median(added)};
}

}  // namespace

int main()
{
    const std::string folder = std::filesystem::temp_directory_path().string() + "/brevok-compile-bench";
    std::filesystem::create_directories(folder);
    WriteFileAtomically(folder + "/data.bin", "resource data");
    const std::string script = folder + "/app.rc";

    // A compiler that does almost nothing shows the overhead without the compiler's noise.
    const std::string fake = folder + "/fastcc";
    WriteFileAtomically(fake, "#!/bin/sh\nprintf 'fast\\ncopyright\\n\\n'\n: > \"${1%.rc}.res\"\n");
    std::filesystem::permissions(fake, std::filesystem::perms::owner_all);
    const Timing trivial = Measure(fake, script, false);
    std::printf("trivial compiler: Compile %.1f ms, direct %.1f ms, added %.1f ms\n", trivial.compile, trivial.direct,
                trivial.added);

    // Part of the overhead is the atomic, flushed save of the script that Compile makes first.
    std::vector<double> saves;
    for (int round = 0; round < kRounds; ++round) {
        const Clock::time_point start = Clock::now();
        WriteFileAtomically(folder + "/save.rc", "Blob RCDATA \"" + folder + "/data.bin\"\r\n");
        saves.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::printf("of which an atomic script save: %.1f ms\n", Median(saves));

    const Timing real = Measure(std::string(BREVOK_BIN_DIR) + "/brcc32", script, true);
    std::printf("brcc32: Compile %.1f ms, direct %.1f ms, added %.1f ms (target 20 ms)\n", real.compile, real.direct,
                real.added);
    std::printf("bench compile_overhead: ratio %.3f (target %.3f)\n", (real.direct + real.added) / real.direct,
                (real.direct + 20.0) / real.direct);

    // The window's Compile of a 50-line script with a dialog, a menu, a string table and a
    // version block, compiled by brcc32 itself and by llvm-rc (as its users run it: clang
    // preprocessing, the headers brcc32 ships on its include path).
    std::vector<std::string> lines;
    for (std::string_view rest = kFullScript; !rest.empty();) {
        const std::size_t end = rest.find('\n');
        lines.emplace_back(rest.substr(0, end));
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    }
    const std::string brcc32 = std::string(BREVOK_BIN_DIR) + "/brcc32";
    const Timing ours = Measure(brcc32, script, true, lines);
    const std::string viaLlvmRc = folder + "/llvmrc-cc";
    WriteFileAtomically(viaLlvmRc, "#!/bin/sh\nprintf 'llvm-rc\\ncopyright\\n\\n'\nexec /usr/bin/llvm-rc /C 1252 /I '" + std::string(BREVOK_BIN_DIR) +
                                       "/include' /FO \"${1%.rc}.res\" \"$1\"\n");
    std::filesystem::permissions(viaLlvmRc, std::filesystem::perms::owner_all);
    const Timing llvmRc = Measure(viaLlvmRc, script, true, lines);
    std::filesystem::remove_all(folder);
    std::printf("Compile of a 50-line script: %.1f ms; with llvm-rc: %.1f ms\n", ours.compile, llvmRc.compile);
    std::printf("bench compile_window_script: ratio %.3f (target 0.25)\n", ours.compile / llvmRc.compile);
    return 0;
}
