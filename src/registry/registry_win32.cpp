// The current user's registry on Windows: the system registry through the Win32 API.
#include "registry/system_registry.h"

#include "rules/paths.h"
#include "registry/registry_file.h"
#include "platform/system_text.h"

#include <windows.h>

#include <cstdlib>

namespace brevok {

namespace {

/// An open HKEY, closed with the object.
class SystemKey final : public RegistryKey {
public:
    explicit SystemKey(HKEY key) : key_(key) { }
    ~SystemKey() override { RegCloseKey(key_); }
    SystemKey(const SystemKey&) = delete;
    SystemKey& operator=(const SystemKey&) = delete;

    std::optional<RegistryValueInfo> QueryValue(std::string_view name) const override
    {
        const std::string valueName(name);
        DWORD type = 0;
        DWORD size = 0;
        if (RegQueryValueExA(key_, valueName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
            return std::nullopt;
        return RegistryValueInfo{type, size};
    }

    std::optional<RegistryValue> ReadValue(std::string_view name) const override
    {
        const std::string valueName(name);
        // The value may grow between asking its size and reading it: ask again then.
        for (int attempt = 0; attempt < 8; ++attempt) {
            DWORD type = 0;
            DWORD size = 0;
            if (RegQueryValueExA(key_, valueName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
                return std::nullopt;
            RegistryValue value{type, std::string(size, '\0')};
            const LONG status = RegQueryValueExA(key_, valueName.c_str(), nullptr, &type,
                                                 reinterpret_cast<BYTE*>(value.data.data()), &size);
            if (status == ERROR_MORE_DATA)
                continue;
            if (status != ERROR_SUCCESS)
                return std::nullopt;
            value.type = type;
            value.data.resize(size);
            return value;
        }
        return std::nullopt;
    }

    std::unique_ptr<RegistryKey> OpenSubKey(std::string_view path) const override
    {
        return OpenKey(key_, std::string(path));
    }

    std::unique_ptr<RegistryKey> CreateSubKey(std::string_view path) override
    {
        return CreateKey(key_, std::string(path));
    }

    bool WriteValue(std::string_view name, const RegistryValue& value) override
    {
        const std::string valueName(name);
        if (value.data.size() > 0xFFFFFFFFu)
            return false;
        return RegSetValueExA(key_, valueName.c_str(), 0, value.type, reinterpret_cast<const BYTE*>(value.data.data()),
                              static_cast<DWORD>(value.data.size())) == ERROR_SUCCESS;
    }

    /// An existing key, for reading and writing when we may, else for reading.
    static std::unique_ptr<RegistryKey> OpenKey(HKEY parent, const std::string& path)
    {
        HKEY key = nullptr;
        if (RegOpenKeyExA(parent, path.c_str(), 0, KEY_READ | KEY_WRITE, &key) == ERROR_SUCCESS ||
            RegOpenKeyExA(parent, path.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS)
            return std::make_unique<SystemKey>(key);
        return nullptr;
    }

    static std::unique_ptr<RegistryKey> CreateKey(HKEY parent, const std::string& path)
    {
        HKEY key = nullptr;
        if (RegCreateKeyExA(parent, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE, nullptr,
                            &key, nullptr) != ERROR_SUCCESS)
            return nullptr;
        return std::make_unique<SystemKey>(key);
    }

private:
    HKEY key_;
};

}  // namespace

SystemRegistry::SystemRegistry(std::string base) : base_(std::move(base))
{ }

std::string SystemRegistry::Below(std::string_view path) const
{
    if (base_.empty())
        return std::string(path);
    return path.empty() ? base_ : base_ + "\\" + std::string(path);
}

std::unique_ptr<RegistryKey> SystemRegistry::CreateUserKey(std::string_view path)
{
    return SystemKey::CreateKey(HKEY_CURRENT_USER, Below(path));
}

std::unique_ptr<RegistryKey> SystemRegistry::OpenUserKey(std::string_view path)
{
    return SystemKey::OpenKey(HKEY_CURRENT_USER, Below(path));
}

std::unique_ptr<Registry> OpenUserRegistry()
{
    return std::make_unique<SystemRegistry>();
}

std::string UserRegistryPath()
{
    if (const std::optional<std::string> chosen = EnvironmentValue("BREVOK_REGISTRY"); chosen && !chosen->empty())
        return *chosen;
    return EnsureTrailingBackslash(EnvironmentValue("APPDATA").value_or("")) + "brevok\\registry.reg";
}

}  // namespace brevok
