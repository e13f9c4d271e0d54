// What one Compile adds to the compiler's own run: the batch file, the interpreter, the
// read-back of the output. Measured against running brcc32 directly on the same script.
#include "build/command_host.h"
#include "build/compile_command.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/process.h"
#include "script/script_document.h"
#include "settings/settings.h"

#include <fcntl.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kRounds = 21;
constexpr double kTargetAddedMs = 20.0;

class SilentDialogs : public brevok::Dialogs {
public:
    brevok::BoxAnswer MessageBox(brevok::BoxKind, const std::string& text, brevok::BoxButtons) override
    {
        lastBox = text;
        return brevok::BoxAnswer::Ok;
    }
    bool OpenFile(brevok::FileDialogState&) override { return false; }
    std::string InputText(const std::string&, const std::string&, int) override { return {}; }
    bool EditLine(std::string&) override { return false; }
    std::string lastBox;
};

/// The window's part reduced to nothing: what is measured is the command itself.
class BenchHost : public brevok::CommandHost {
public:
    BenchHost() : launcher(dialogs) {}
    brevok::ScriptDocument& Document() override { return document; }
    brevok::TSettings& Settings() override { return settings; }
    bool ShowProgress() const override { return false; }
    void ClearMessages() override { messages.clear(); }
    void SetMessages(const std::vector<std::string>& lines) override { messages = lines; }
    void AddMessage(const std::string& line) override { messages.push_back(line); }
    void SetBatchText(const std::string& text) override { batch = text; }
    std::string BatchText() const override { return batch; }
    void BeginBusyCursor() override {}
    void EndBusyCursor() override {}
    void ProcessPendingMessages() override {}
    brevok::Dialogs& GetDialogs() override { return dialogs; }
    brevok::ProcessLauncher& Launcher() override { return launcher; }

    SilentDialogs dialogs;
    brevok::SystemProcessLauncher launcher;
    brevok::ScriptDocument document;
    brevok::TSettings settings;
    std::vector<std::string> messages;
    std::string batch;
};

/// brcc32 SCRIPT > OUTPUT, started and waited for without a shell.
void RunCompilerDirectly(const std::string& compiler, const std::string& script,
                         const std::string& output)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<std::string> args = {compiler, script};
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawn(&pid, compiler.c_str(), &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        waitpid(pid, &status, 0);
    }
    posix_spawn_file_actions_destroy(&actions);
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double MillisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

}  // namespace

int main()
{
    char pattern[] = "/tmp/brevok-compile-benchXXXXXX";
    if (mkdtemp(pattern) == nullptr)
        return 1;
    const std::string folder = pattern;
    const std::string compiler = std::string(BREVOK_BIN_DIR) + "/brcc32";
    if (!brevok::FileExists(compiler)) {
        std::fprintf(stderr, "compile_overhead: %s is not built\n", compiler.c_str());
        return 1;
    }

    BenchHost host;
    for (int i = 0; i < 8; ++i) {
        const std::string data = folder + "/data" + std::to_string(i) + ".bin";
        std::ofstream(data, std::ios::binary) << std::string(4096, static_cast<char>('a' + i));
        host.document.Append("Data" + std::to_string(i) + " RCDATA \"" + data + "\"");
    }
    host.settings.ScriptPath = folder + "/bench.rc";
    host.settings.CompilerPath = compiler;
    brevok::SaveScriptLines(host.document, host.settings.ScriptPath);

    std::vector<double> direct;
    std::vector<double> command;
    std::vector<double> added;
    for (int round = 0; round < kRounds; ++round) {
        // Alternate the two, so a busy moment of the machine falls on both alike.
        auto start = Clock::now();
        RunCompilerDirectly(compiler, host.settings.ScriptPath, folder + "/direct.txt");
        direct.push_back(MillisecondsSince(start));

        start = Clock::now();
        brevok::RunCompileCommand(host);
        command.push_back(MillisecondsSince(start));
        added.push_back(command.back() - direct.back());
    }
    if (host.messages != std::vector<std::string>{"Compile complete, No errors found.."}) {
        std::fprintf(stderr, "compile_overhead: the compile did not succeed (%s)\n", host.dialogs.lastBox.c_str());
        return 1;
    }
    std::filesystem::remove_all(folder);

    const double directMs = Median(direct);
    const double commandMs = Median(command);
    std::printf("compiler alone: %.1f ms, Compile command: %.1f ms (medians of %d)\n", directMs,
                commandMs, kRounds);
    // The median of the paired differences: the compiler's own run varies by more than the
    // overhead, and pairing takes most of that out.
    std::printf("bench compile_overhead: added %.1f ms (target %.0f ms)\n", Median(added),
                kTargetAddedMs);
    std::printf("bench compile_overhead: ratio %.2f (target %.2f)\n", commandMs / directMs,
                (directMs + kTargetAddedMs) / directMs);
    return 0;
}
