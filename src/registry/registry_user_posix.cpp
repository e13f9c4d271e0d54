// Where the current user's registry lives on POSIX: the REGEDIT4 file store in the XDG
// configuration folder.
#include "registry/registry_file.h"

#include "rules/paths.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

namespace brevok {

std::string UserRegistryPath()
{
    const auto env = [](const char* name) -> std::string {
        const char* value = std::getenv(name);
        return value ? value : "";
    };
    if (auto explicitPath = env("BREVOK_REGISTRY"); !explicitPath.empty())
        return explicitPath;
    // The XDG rules ignore a relative XDG_CONFIG_HOME.
    std::string config = env("XDG_CONFIG_HOME");
    if (config.empty() || config.front() != '/') {
        std::string home = env("HOME");
        if (home.empty()) {
            if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir)
                home = pw->pw_dir;
        }
        config = EnsureTrailingBackslash(home, PathStyle::Posix) + ".config";
    }
    return EnsureTrailingBackslash(config, PathStyle::Posix) + "brevok/registry.reg";
}

std::unique_ptr<Registry> OpenUserRegistry()
{
    return std::make_unique<RegistryFile>(UserRegistryPath());
}

}  // namespace brevok
