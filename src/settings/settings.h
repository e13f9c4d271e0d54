// The persistent settings record and its load and save over the registry.
#pragma once

#include "rules/paths.h"
#include "registry/registry.h"

#include <cstdint>
#include <string>

namespace brevok {

/// The paths and options that survive from one run to the next. The two options are the
/// check marks of the Options menu; the window copies them in and out.
struct TSettings {
    std::string WorkingFolder;   // "Install"
    std::string ScriptPath;      // ".RC"
    std::string ExePath;         // ".EXE"
    std::string CompilerPath;    // "Compiler"
    bool StartWithLast = false;  // "Last"
    bool ShowProgress = false;   // "SP"
    std::string BatchPath;       // "Batch"
    std::int32_t LineCount = 0;  // "Count"
};

/// The key below HKEY_CURRENT_USER\Software that holds the values.
inline constexpr const char* kSettingsSubKey = "Halvane\\BrevComp";

/// Reads the eight values in their stored order, with their defaults. A value of another
/// type than REG_SZ/REG_EXPAND_SZ throws Error("Invalid data type for '<name>'"); the
/// fields before it are already assigned, those after it keep their values. `style` gives
/// the separator of the "Batch" default (the working folder's, then "Temp.bat").
void LoadSettings(Registry& registry, TSettings& settings, PathStyle style = kHostPathStyle);

/// Writes all eight values as REG_SZ. Throws Error("Failed to create key <path>") or
/// Error("Failed to set data for '<name>'").
void SaveSettings(Registry& registry, const TSettings& settings);

}  // namespace brevok
