// The registry of the current user kept in a text file in the registry's REGEDIT4 export
// format (registry_text.h), which is how the program stores its settings on systems without
// a registry.
#pragma once

#include "platform/files.h"
#include "registry/registry.h"
#include "registry/registry_text.h"

#include <memory>
#include <string>
#include <string_view>

namespace brevok {

/// The store: every read opens the file afresh, every change is a read-modify-write of the
/// whole file under an advisory lock (flock on "<file>.lock" beside it), written atomically,
/// so that two running programs never lose each other's keys. Keys and values that the
/// program does not know are kept.
///
/// A file that cannot be read as REGEDIT4 is renamed aside to "<file>.bad-YYYYMMDD-HHMMSS",
/// kept, and the store carries on as if empty; the next write creates a new file. What
/// happened (both paths and the line) is told once through TakeNotice().
class RegistryFile final : public Registry {
public:
    /// A store in `path`; `layer` carries the writes (tests inject failures through it).
    explicit RegistryFile(std::string path, const WriteLayer& layer = SystemWriteLayer());
    ~RegistryFile() override;

    std::unique_ptr<RegistryKey> CreateUserKey(std::string_view path) override;
    std::unique_ptr<RegistryKey> OpenUserKey(std::string_view path) override;
    std::string TakeNotice() override;

    const std::string& Path() const;

    struct Store;

private:
    std::shared_ptr<Store> store_;
};

/// The file of the current user's store: $BREVOK_REGISTRY when set and not empty, otherwise
/// $XDG_CONFIG_HOME/brevok/registry.reg, otherwise ~/.config/brevok/registry.reg ($HOME, or
/// the password database when HOME is unset). On Windows, which keeps the settings in its
/// registry, %BREVOK_REGISTRY% or %APPDATA%\brevok\registry.reg.
std::string UserRegistryPath();

}  // namespace brevok
