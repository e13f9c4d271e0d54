// The Windows registry of the current user through the Win32 registry API.
#pragma once

#include "registry/registry.h"

#include <memory>
#include <string>
#include <string_view>

namespace brevok {

/// HKEY_CURRENT_USER as the system keeps it (Windows only): keys are opened with
/// RegOpenKeyExA / RegCreateKeyExA, values read with RegQueryValueExA and written with
/// RegSetValueExA, texts in the system's code page. `base`, when not empty, is a key below
/// HKEY_CURRENT_USER that stands in for the root (tests keep their keys apart so).
class SystemRegistry final : public Registry {
public:
    explicit SystemRegistry(std::string base = {});

    std::unique_ptr<RegistryKey> CreateUserKey(std::string_view path) override;
    std::unique_ptr<RegistryKey> OpenUserKey(std::string_view path) override;

private:
    std::string Below(std::string_view path) const;

    std::string base_;
};

}  // namespace brevok
