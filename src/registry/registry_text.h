// The registry's REGEDIT4 export format: a tree of keys and values read from its text and
// written back.
#pragma once

#include "registry/registry.h"

#include <cstddef>
#include "rules/parsed.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace brevok {

/// The root every key of a registry file lies below.
inline constexpr std::string_view kRegistryRoot = "HKEY_CURRENT_USER";

/// Registry names ignore case; only ASCII letters fold, other bytes compare as they are.
bool SameRegistryName(std::string_view a, std::string_view b);

/// True when a key path or value name may be stored: any byte but a line break (the file is
/// line based).
bool IsStorableRegistryName(std::string_view name);

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
Parsed<RegistryTree> ParseRegistryText(std::string_view text);

/// Writes the tree as REGEDIT4 text with LF line ends. A REG_SZ whose data is not plain text
/// followed by one NUL (a NUL, CR or LF inside, or no final NUL) is written as hex(1) so that
/// its bytes come back unchanged. Comments of the file read are not kept.
std::string WriteRegistryText(const RegistryTree& tree);

}  // namespace brevok
