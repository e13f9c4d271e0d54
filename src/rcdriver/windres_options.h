// brcc32's second command line, GNU windres's, for build systems that drive a windres
// (Meson, CMake with a mingw toolchain, autotools, cargo's build scripts): options in GNU's
// way (-I dir, -Idir, --include-dir=dir, --include-dir dir, anywhere on the line, long
// names shortened while they stay unique), the input then the output as file names.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "rcdriver/compile_options.h"
#include "rcdriver/object_output.h"

namespace brevok {

/// The program's name as messages give it: `programPath` without its folder and without a
/// final .exe in any letter case.
std::string ProgramName(std::string_view programPath);

/// Which command line a run of brcc32 reads.
enum class CommandLineMode { Rc, Windres };

/// windres's, when the program's file name (its folder and a Windows .exe left off) ends in
/// "windres" ("brcc32-windres", "x86_64-w64-mingw32-brcc32-windres"), or when the first
/// argument is an option rc.exe never takes: a long option `--NAME` other than `--help` and
/// `--version` (which both command lines answer), or `-O`, `-J`, `-F` in upper case, alone
/// or joined to a value (`-Ocoff`), except `-Fo...` and `-Fe...`, rc.exe's /fo and /fe.
/// Everything else is rc.exe's.
CommandLineMode ChooseCommandLineMode(std::string_view programPath, const std::vector<std::string>& args);

/// The formats windres reads and writes.
enum class ResourceFormat { Rc, Res, Coff };

/// A windres command line.
struct WindresArguments {
    CompileOptions options;
    std::string input;
    std::string output;
    /// -J; none: the input's first bytes decide (a .res starts with its empty record).
    std::optional<ResourceFormat> inputFormat;
    /// -O, or by the output's extension: .res res, anything else coff.
    ResourceFormat outputFormat = ResourceFormat::Coff;
    /// -F, or the machine a cross tool's name begins with, or the host's.
    CoffMachine machine = CoffMachine::X64;
    /// -h, -V: answered before anything is read; input and output are then not needed.
    bool help = false;
    bool version = false;
    /// What was accepted but does nothing here (--preprocessor, preprocessor arguments other
    /// than -D, -U, -I and the -M family), one line each.
    std::vector<std::string> warnings;
};

/// The machine a program name starting with a target triplet names ("i686-w64-mingw32-
/// brcc32-windres": I386), else the host's (x86-64 where that is none of the four).
CoffMachine DefaultCoffMachine(std::string_view programPath);

/// The machine of a -F value: windres's names (pe-i386, pe-x86-64, pe-aarch64-little,
/// pe-arm-little, their pei- forms, pe-bigobj-x86-64); nothing for any other.
std::optional<CoffMachine> CoffMachineOfTarget(std::string_view target);

/// Reads `args` (without the program name) as windres does; `machine` is -F's default.
/// Fails, naming the argument, on an unknown or ambiguous option, a missing or bad value, a
/// third file name, no input or output, or a format brcc32 does not read or write.
Parsed<WindresArguments> ParseWindresArguments(const std::vector<std::string>& args,
                                               CoffMachine machine = CoffMachine::X64);

/// The options' part of windres mode's --help.
extern const char* const kWindresOptionsHelp;

}  // namespace brevok
