// What the two window-opening benchmarks share: the clock, the 1,000,000-line script and the
// dialogs that answer only the Open dialog.
#pragma once

#include "workbench/dialogs.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#undef MessageBox  // the Windows header's macro, where it was included first

namespace bench {

using Clock = std::chrono::steady_clock;

inline double SecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

/// Writes `lines` BITMAP lines with Windows paths to `folder`/big.rc; returns its path.
inline std::string WriteScript(const std::filesystem::path& folder, int lines)
{
    const std::string path = (folder / "big.rc").string();
    std::ofstream out(path, std::ios::binary);
    for (int i = 0; i < lines; ++i)
        out << "Name" << i << " BITMAP \"C:\\Art\\Some Folder\\picture_" << i << ".bmp\"\r\n";
    return path;
}

/// Answers the Open dialog with one path; any other interaction is a fault of the benchmark.
class OpenOnlyDialogs final : public brevok::Dialogs {
public:
    explicit OpenOnlyDialogs(std::string path) : path_(std::move(path)) { }

    brevok::BoxAnswer MessageBox(brevok::BoxKind, const std::string& text, brevok::BoxButtons) override
    {
        std::fprintf(stderr, "unexpected box: %s\n", text.c_str());
        std::exit(1);
    }
    bool OpenFile(brevok::FileDialogState& state) override
    {
        state.fileName = path_;
        return true;
    }
    std::string InputText(const std::string&, const std::string&, int) override { return {}; }
    bool EditLine(std::string&) override { return false; }

private:
    std::string path_;
};

}  // namespace bench
