// Loading and saving the settings record under HKEY_CURRENT_USER\Software\Halvane\BrevComp.
#include "settings/settings.h"

#include "rules/errors.h"

#include <charconv>
#include <optional>

namespace brevok {
namespace {

Error FailedToCreateKey(std::string_view key)
{
    return Error(FormatText("Failed to create key %s", key));
}

// The text of a value of the subkey, or nothing when the subkey or the value is missing.
// REG_EXPAND_SZ data are taken as stored, not expanded; any other type is refused.
std::optional<std::string> ReadText(const RegistryKey* subKey, const char* name)
{
    if (!subKey)
        return std::nullopt;
    const auto value = subKey->ReadValue(name);
    if (!value)
        return std::nullopt;
    if (value->type != kRegSz && value->type != kRegExpandSz)
        throw Error(FormatText("Invalid data type for '%s'", name));
    // The data end with a NUL; like the system's string read, the text stops at the first one.
    const auto& data = value->data;
    return data.substr(0, data.find('\0'));
}

std::string ReadString(const RegistryKey* subKey, const char* name, std::string_view fallback)
{
    auto text = ReadText(subKey, name);
    return text ? std::move(*text) : std::string(fallback);
}

// A decimal integer (optional sign, digits only, in range); anything else gives 0.
std::int32_t ReadInteger(const RegistryKey* subKey, const char* name)
{
    const auto text = ReadText(subKey, name);
    if (!text || text->empty())
        return 0;
    std::string_view digits = *text;
    if (digits.front() == '+' && digits.size() > 1 && digits[1] != '-')  // writes never produce "+", reads accept it
        digits.remove_prefix(1);
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size())
        return 0;
    return value;
}

std::unique_ptr<RegistryKey> OpenSoftwareForReading(Registry& registry)
{
    // The key is opened with create, as saving needs it anyway; a store that cannot be
    // written is still read.
    if (auto key = registry.CreateUserKey("Software"))
        return key;
    return registry.OpenUserKey("Software");
}

void WriteText(RegistryKey& software, const char* name, std::string_view text)
{
    const auto subKey = software.CreateSubKey(kSettingsSubKey);
    if (!subKey)
        throw FailedToCreateKey(kSettingsSubKey);
    if (!subKey->WriteString(name, text))
        throw Error(FormatText("Failed to set data for '%s'", name));
}

}  // namespace

void LoadSettings(Registry& registry, TSettings& settings, PathStyle style)
{
    const auto software = OpenSoftwareForReading(registry);
    const auto subKey = software ? software->OpenSubKey(kSettingsSubKey) : nullptr;
    const RegistryKey* key = subKey.get();

    settings.WorkingFolder = ReadString(key, "Install", "nodir");
    settings.ScriptPath = ReadString(key, ".RC", "");
    settings.ExePath = ReadString(key, ".EXE", "");
    settings.CompilerPath = ReadString(key, "Compiler", "none");
    settings.StartWithLast = ReadInteger(key, "Last") != 0;
    settings.ShowProgress = ReadInteger(key, "SP") != 0;
    settings.BatchPath = ReadString(key, "Batch", EnsureTrailingBackslash(settings.WorkingFolder, style) + "Temp.bat");
    settings.LineCount = ReadInteger(key, "Count");
}

void SaveSettings(Registry& registry, const TSettings& settings)
{
    const auto software = registry.CreateUserKey("Software");
    if (!software)
        throw FailedToCreateKey("Software");
    WriteText(*software, "Install", settings.WorkingFolder);
    WriteText(*software, ".RC", settings.ScriptPath);
    WriteText(*software, ".EXE", settings.ExePath);
    WriteText(*software, "Compiler", settings.CompilerPath);
    WriteText(*software, "Last", settings.StartWithLast ? "1" : "0");
    WriteText(*software, "SP", settings.ShowProgress ? "1" : "0");
    WriteText(*software, "Batch", settings.BatchPath);
    WriteText(*software, "Count", std::to_string(settings.LineCount));
}

}  // namespace brevok
