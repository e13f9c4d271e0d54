// Command lines as Windows reads them, quoting for them and for /bin/sh, and program lookup.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace brevok {

/// Splits a command line into arguments by the rules Windows programs use
/// (CommandLineToArgvW and the C runtime): leading blanks are skipped; the first argument,
/// the program, runs to the next blank outside double quotes and keeps its backslashes;
/// in later arguments blanks outside quotes separate, a double quote toggles quoting,
/// 2n backslashes before a quote give n backslashes and the quote toggles, 2n+1 give n and
/// a literal quote, other backslashes are literal, and "" inside quotes gives a literal quote.
std::vector<std::string> SplitCommandLine(std::string_view commandLine);

/// Quotes one argument so that SplitCommandLine gives it back unchanged. An argument that
/// needs nothing (not empty, no blank, no double quote) is returned exactly as it is.
std::string QuoteArgument(std::string_view argument);

/// Quotes one word for /bin/sh: a word of characters the shell reads as plain text only is
/// returned exactly as it is, any other word in single quotes ('it'\''s').
std::string QuoteForShell(std::string_view word);

/// True when the path's extension is ".bat" in any letter case.
bool IsBatchFile(std::string_view path);

/// True for a regular file that may be started: one we may execute (on Windows any file),
/// or a batch file.
bool IsRunnableFile(const std::string& path);

/// The places a program named without a folder is searched for, in this order.
struct SearchPlaces {
    /// The folder of the running program.
    std::string ownFolder;
    /// The current folder.
    std::string currentFolder;
    /// The search path, folders separated by ":" (";" on Windows; an empty entry is the
    /// current folder).
    std::string pathVariable;
};

/// `name` inside `folder` (`name` alone when `folder` is empty), with this system's separator
/// between them unless `folder` already ends with one.
std::string JoinProgramFolder(std::string_view folder, std::string_view name);

/// A bare `name` searched in `places`: the program's own folder, the current folder, then each
/// search-path entry. The first runnable candidate, or the empty text.
std::string SearchBareName(std::string_view name, const SearchPlaces& places);

/// The places of this process: its own folder (/proc/self/exe, GetModuleFileName on
/// Windows), its current folder, PATH.
SearchPlaces SystemSearchPlaces();

/// The folder of the running program, with its trailing separator; empty when unknown.
std::string ProgramFolder();

/// Finds the program `name` names. A name with a folder is taken as it is (relative to the
/// current folder) when it names a file; a bare name is searched in `places`, where a
/// candidate must be a regular file that may be executed, or a batch file. On Linux a name ending in ".exe" that is not found
/// is searched again without that suffix, so "brevdos.exe" finds our "brevdos". On Windows
/// a name has a folder when it holds "\", "/" or ":", and a name without an extension is
/// searched with ".exe" added, as CreateProcess does. Returns the empty text when nothing is
/// found.
std::string FindProgram(std::string_view name, const SearchPlaces& places);

/// The words of `commandLine` split by the Windows rules, with the first replaced by the
/// program FindProgram finds for it in this process's places; empty when there are no words or
/// the program is not found.
std::vector<std::string> SplitCommandWithProgram(const std::string& commandLine);

/// POSIX: the text of the /bin/sh program that runs a batch file: given the file as $0 it runs its
/// lines one by one (CR LF or LF ends), CLS doing nothing; with "echo" as $1 it prints each
/// line, after the current folder and ">", before running it.
std::string_view BatchInterpreterScript();

/// Whether a batch file's lines are printed as they run.
enum class BatchEcho { Off, On };

/// The argv that runs `arguments` (program first, already found): the arguments themselves,
/// or for a batch file /bin/sh with BatchInterpreterScript() and the file, plus "echo" when
/// `echo` is On. On Windows a batch file runs as cmd.exe (%ComSpec%) "/d" "/s" "/c" FILE;
/// cmd.exe prints each command before it runs it whatever `echo` says. Arguments after a
/// batch file are not passed on.
std::vector<std::string> LaunchArguments(const std::vector<std::string>& arguments, BatchEcho echo = BatchEcho::Off);

/// The command line CreateProcess is given for `argv`: the arguments joined by blanks, each
/// quoted by QuoteArgument, except that in a batch run as LaunchArguments gives it
/// (cmd.exe /d /s /c FILE...) the words after "/c" are one command that
/// cmd.exe reads by its own rules: each word in double quotes, all inside the pair of outer
/// quotes that "/s" strips, so {cmd.exe, /d, /s, /c, C:\my files\Temp.bat} gives
/// cmd.exe /d /s /c ""C:\my files\Temp.bat"".
std::string WindowsCommandLine(const std::vector<std::string>& argv);

}  // namespace brevok
