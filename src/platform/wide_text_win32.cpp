// The program's text and UTF-16: MultiByteToWideChar and WideCharToMultiByte in the program's
// code page.
#include "platform/wide_text.h"

#include "platform/system_text.h"

#include <windows.h>

#include <io.h>

#include <atomic>
#include <cstdlib>
#include <limits>

namespace brevok {

namespace {

std::atomic<unsigned> programCodePage{CP_UTF8};

int Size(std::size_t size)
{
    return size > static_cast<std::size_t>(std::numeric_limits<int>::max()) ? -1 : static_cast<int>(size);
}

/// WideCharToMultiByte into a string; `exact` asks for no lookalike and no default character.
std::optional<std::string> Narrow(std::wstring_view text, UINT codePage, bool exact)
{
    if (text.empty())
        return std::string();
    const int size = Size(text.size());
    if (size < 0)
        return std::nullopt;
    // UTF-8 takes neither a default character nor the best-fit flag; exactly, it refuses a
    // lone surrogate instead of writing U+FFFD for it.
    const bool utf = codePage == CP_UTF8 || codePage == CP_UTF7;
    const DWORD flags = !exact ? 0 : codePage == CP_UTF8 ? WC_ERR_INVALID_CHARS : utf ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* defaultFlag = exact && !utf ? &usedDefault : nullptr;
    const int length = WideCharToMultiByte(codePage, flags, text.data(), size, nullptr, 0, nullptr, defaultFlag);
    if (length <= 0)
        return std::nullopt;
    std::string out(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(codePage, flags, text.data(), size, out.data(), length, nullptr, defaultFlag);
    if (usedDefault)
        return std::nullopt;
    return out;
}

}  // namespace

void SetProgramCodePage(unsigned codePage)
{
    programCodePage = codePage;
}

unsigned ProgramCodePage()
{
    return programCodePage;
}

std::wstring WideText(std::string_view text)
{
    const int size = Size(text.size());
    if (text.empty() || size < 0)
        return {};
    const UINT codePage = programCodePage;
    const int length = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
    if (length <= 0)
        return {};
    std::wstring out(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), size, out.data(), length);
    return out;
}

std::string ProgramText(std::wstring_view text)
{
    return Narrow(text, programCodePage, false).value_or(std::string());
}

std::optional<std::string> ExactProgramText(std::wstring_view text)
{
    return Narrow(text, programCodePage, true);
}

std::optional<std::string> ExactCodePageText(std::wstring_view text, unsigned codePage)
{
    return Narrow(text, codePage, true);
}

std::string ShownCodePageText(std::wstring_view text, unsigned codePage)
{
    const int size = Size(text.size());
    if (text.empty() || size < 0)
        return {};
    // UTF-8 and UTF-7 take neither the flag nor a default character.
    const bool utf = codePage == CP_UTF8 || codePage == CP_UTF7;
    const DWORD flags = utf ? 0 : WC_NO_BEST_FIT_CHARS;
    const char* question = utf ? nullptr : "?";
    const int length = WideCharToMultiByte(codePage, flags, text.data(), size, nullptr, 0, question, nullptr);
    if (length <= 0)
        return {};
    std::string out(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(codePage, flags, text.data(), size, out.data(), length, question, nullptr);
    return out;
}

std::string ToolOutputText(std::string_view line, unsigned codePage)
{
    const int size = Size(line.size());
    if (codePage == CP_UTF8 || line.empty() || size < 0)
        return std::string(line);
    const int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, line.data(), size, nullptr, 0);
    if (length <= 0)
        return std::string(line);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, line.data(), size, wide.data(), length);
    return ShownCodePageText(wide, codePage);
}

std::filesystem::path SystemPath(std::string_view path)
{
    return std::filesystem::path(WideText(path));
}

std::string ProgramPath(const std::filesystem::path& path)
{
    return ProgramText(path.native());
}

std::vector<std::string> ProgramArguments(int argc, wchar_t** argv)
{
    std::vector<std::string> arguments;
    arguments.reserve(static_cast<std::size_t>(argc > 0 ? argc : 0));
    for (int i = 0; i < argc; ++i)
        arguments.push_back(ProgramText(argv[i]));
    return arguments;
}

std::optional<std::string> EnvironmentValue(const std::string& name)
{
    const std::wstring wideName = WideText(name);
    const wchar_t* value = _wgetenv(wideName.c_str());
    if (value == nullptr)
        return std::nullopt;
    return ProgramText(value);
}

bool SetEnvironmentValue(const std::string& name, const std::string& value)
{
    // _wputenv_s keeps the C runtime's copy and the process's block the same.
    return _wputenv_s(WideText(name).c_str(), WideText(value).c_str()) == 0;
}

bool WriteText(std::FILE* stream, std::string_view text)
{
    const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    DWORD mode = 0;
    if (handle == INVALID_HANDLE_VALUE || !GetConsoleMode(handle, &mode))
        return std::fwrite(text.data(), 1, text.size(), stream) == text.size();
    // What the stream holds goes first, so that the console shows everything in order.
    std::fflush(stream);
    // The console is given UTF-16; the program's text, held as UTF-8, is converted as such.
    std::wstring wide;
    if (const int size = Size(text.size()); size > 0) {
        const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
        wide.resize(static_cast<std::size_t>(length > 0 ? length : 0));
        if (length > 0)
            MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), length);
    }
    std::size_t done = 0;
    while (done < wide.size()) {
        DWORD wrote = 0;
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(wide.size() - done, 8192));
        if (!WriteConsoleW(handle, wide.data() + done, want, &wrote, nullptr) || wrote == 0)
            return false;
        done += wrote;
    }
    return true;
}

}  // namespace brevok
