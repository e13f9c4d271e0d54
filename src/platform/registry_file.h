// The registry of the current user kept in a text file in the registry's REGEDIT4 export
// format, which is how the program stores its settings on systems without a registry.
#pragma once

#include "platform/files.h"
#include "platform/registry.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace brevok {

/// One key of a registry file: its full path ("HKEY_CURRENT_USER\Software\Halvane") and its
/// values in file order. Key paths and value names compare without regard to ASCII case, as
/// in the registry; their spelling is kept.
struct RegistryFileKey {
    std::string path;
    std::vector<std::pair<std::string, RegistryValue>> values;
};

/// The whole content of a registry file, keys in file order.
struct RegistryTree {
    std::vector<RegistryFileKey> keys;

    /// True when the key is listed or is a folder of a listed key (as an import creates it).
    bool HasKey(std::string_view path) const;
    /// The listed key, or null.
    const RegistryFileKey* FindKey(std::string_view path) const;
    /// The listed key, added (after its missing parents) when absent.
    RegistryFileKey& AddKey(std::string_view path);
    /// The value of a key, or null.
    const RegistryValue* FindValue(std::string_view keyPath, std::string_view name) const;
};

/// Where and why a registry file could not be read; `line` counts from 1.
struct RegistryParseError {
    std::size_t line = 0;
    std::string message;
};

/// Reads the REGEDIT4 text:
///
///     REGEDIT4
///
///     [HKEY_CURRENT_USER\Software\Halvane\BrevComp]
///     "Install"="C:\\Work\\"          REG_SZ; "\\" and "\"" are the only escapes
///     "Count"=dword:0000002a          REG_DWORD, 1 to 8 hex digits
///     "Data"=hex:01,02,ff             REG_BINARY
///     "Path"=hex(2):25,54,00          any other type by number, data as bytes
///     @="x"                           the key's default value
///
/// Hex lists may go on over several lines, each but the last ending in "\". Lines may end
/// in CR LF or LF; empty lines and lines starting with ";" are ignored. Deletion entries
/// ("[-key]", "name"=-) are not part of a stored registry and are refused. Bounds-checked
/// throughout: any input gives a tree or an error, never more.
std::variant<RegistryTree, RegistryParseError> ParseRegistryText(std::string_view text);

/// Writes the tree as REGEDIT4 text with LF line ends. A REG_SZ whose data is not plain text
/// followed by one NUL (a NUL, CR or LF inside, or no final NUL) is written as hex(1) so that
/// its bytes come back unchanged. Comments of the file read are not kept.
std::string WriteRegistryText(const RegistryTree& tree);

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
