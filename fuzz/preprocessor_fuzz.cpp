// libFuzzer target: the preprocessor on a hostile script that may include itself and a
// header of the same bytes, with small limits so that every input ends quickly.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

#include "preprocessor/preprocessor.h"

namespace {

/// A private folder for the script and its header, made once per process.
const std::string& Folder()
{
    static const std::string folder = [] {
        char pattern[] = "/tmp/brevok-pp-fuzzXXXXXX";
        const char* made = mkdtemp(pattern);
        return std::string(made != nullptr ? made : "/tmp");
    }();
    return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::string script = Folder() + "/app.rc";
    for (const char* name : {"/app.rc", "/h.h"})
        std::ofstream(Folder() + name, std::ios::binary | std::ios::trunc) << bytes;
    brevok::PreprocessOptions options;
    options.includeFolders = {Folder()};
    options.macros = {{brevok::MacroOption::Kind::Define, "F(x)", "x ## x"}};
    brevok::PreprocessLimits limits;
    limits.includeDepth = 8;
    limits.argumentDepth = 32;
    limits.expandedTokens = 200000;
    limits.outputBytes = 4u << 20;
    const brevok::Preprocessed result = brevok::PreprocessScript(script, options, limits);
    // One origin per output line, each naming a file that was read, and no output past its
    // limit; a failed run says why.
    std::size_t lines = 0;
    for (char c : result.text)
        lines += c == '\n';
    if (lines != result.lines.size() || result.text.size() > limits.outputBytes ||
        (!result.ok && result.diagnostics.empty()))
        __builtin_trap();
    for (const brevok::LineOrigin& origin : result.lines)
        if (origin.file >= result.files.size())
            __builtin_trap();
    return 0;
}
