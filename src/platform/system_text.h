// Names, arguments, environment and console output between the program and the system. The
// program holds all of them as UTF-8 text (the window on Windows: text in its ANSI code page,
// which its manifest makes UTF-8 where Windows allows); on Windows they cross to the system
// as UTF-16 through the wide calls, converted here and in wide_text_win32.cpp only.
#pragma once

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brevok {

/// `path` as the standard library's files and streams take it: on Windows its UTF-16,
/// elsewhere its bytes.
std::filesystem::path SystemPath(std::string_view path);

/// A path the standard library gave back, as the program's text.
std::string ProgramPath(const std::filesystem::path& path);

/// The program's arguments, the program's name first, as the program's text. On Windows
/// they come from wmain: the ANSI ones have lost what the ANSI code page cannot hold.
#ifdef _WIN32
std::vector<std::string> ProgramArguments(int argc, wchar_t** argv);
#else
std::vector<std::string> ProgramArguments(int argc, char** argv);
#endif

/// The value of an environment variable; nothing when it is not set.
std::optional<std::string> EnvironmentValue(const std::string& name);

/// Sets an environment variable for this program and every program it starts afterwards;
/// false when the system refuses it.
bool SetEnvironmentValue(const std::string& name, const std::string& value);

/// Writes `text` to `stream` as fwrite does. On Windows, a stream that is a console gets the
/// text as Unicode, so that every name reads as it is whatever the console's code page;
/// a file or a pipe gets the bytes (UTF-8). False when writing failed.
bool WriteText(std::FILE* stream, std::string_view text);

}  // namespace brevok

/// Defines the program's entry point (wmain on Windows, linked with -municode; main
/// elsewhere) as `run` called with ProgramArguments.
#ifdef _WIN32
#define BREVOK_PROGRAM_MAIN(run)                                                                                  \
    int wmain(int argc, wchar_t** argv) { return run(::brevok::ProgramArguments(argc, argv)); }
#else
#define BREVOK_PROGRAM_MAIN(run)                                                                                  \
    int main(int argc, char** argv) { return run(::brevok::ProgramArguments(argc, argv)); }
#endif
