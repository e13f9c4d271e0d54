// The current user's part of the registry, as the settings see it: typed values under keys,
// shaped after the Win32 calls (RegCreateKeyEx, RegOpenKeyEx, RegQueryValueEx, RegSetValueEx,
// RegCloseKey) so that a store over the real API fits beside the file store of Linux.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace brevok {

/// A value's registry type, with the Win32 numbers. Types not named here (REG_MULTI_SZ,
/// REG_QWORD, ...) are kept by number and their data as raw bytes.
using RegistryType = std::uint32_t;
inline constexpr RegistryType kRegNone = 0;
inline constexpr RegistryType kRegSz = 1;
inline constexpr RegistryType kRegExpandSz = 2;
inline constexpr RegistryType kRegBinary = 3;
inline constexpr RegistryType kRegDword = 4;

/// A value as the registry holds it: its type and its data bytes exactly as stored. The data
/// of REG_SZ and REG_EXPAND_SZ include the terminating NUL; a REG_DWORD is 4 bytes, little
/// endian. Texts are bytes in the system's code page.
struct RegistryValue {
    RegistryType type = kRegNone;
    std::string data;

    bool operator==(const RegistryValue&) const = default;
};

/// The REG_SZ value of `text`: its bytes followed by the terminating NUL.
RegistryValue MakeStringValue(std::string_view text);

/// What RegQueryValueEx reports without a buffer: the type and the size of the data in bytes.
struct RegistryValueInfo {
    RegistryType type = kRegNone;
    std::size_t size = 0;
};

/// An open key (an HKEY). Destroying it closes the key; a key handle stays usable while
/// other handles or other programs change the store.
class RegistryKey {
public:
    virtual ~RegistryKey() = default;

    /// The type and size of the named value ("" is the key's default value); nothing when the
    /// value does not exist or the key is gone.
    virtual std::optional<RegistryValueInfo> QueryValue(std::string_view name) const = 0;

    /// The named value's type and data; nothing when it does not exist.
    virtual std::optional<RegistryValue> ReadValue(std::string_view name) const = 0;

    /// Opens an existing subkey (`path` may hold several levels separated by "\");
    /// nothing when it does not exist.
    virtual std::unique_ptr<RegistryKey> OpenSubKey(std::string_view path) const = 0;

    /// Opens a subkey with read and write access, creating every missing level; nothing when
    /// it cannot be created.
    virtual std::unique_ptr<RegistryKey> CreateSubKey(std::string_view path) = 0;

    /// Writes a value of any type (creating or replacing it); false when it cannot be written.
    [[nodiscard]] virtual bool WriteValue(std::string_view name, const RegistryValue& value) = 0;

    /// Writes a REG_SZ value (the text and its terminating NUL).
    [[nodiscard]] bool WriteString(std::string_view name, std::string_view text)
    {
        return WriteValue(name, MakeStringValue(text));
    }
};

/// The root HKEY_CURRENT_USER.
class Registry {
public:
    virtual ~Registry() = default;

    /// Opens a key below HKEY_CURRENT_USER with read and write access, creating every missing
    /// level; nothing when it cannot be created.
    virtual std::unique_ptr<RegistryKey> CreateUserKey(std::string_view path) = 0;

    /// Opens an existing key below HKEY_CURRENT_USER; nothing when it does not exist.
    virtual std::unique_ptr<RegistryKey> OpenUserKey(std::string_view path) = 0;

    /// Returns, once, a message the user should see about the store itself (for example that
    /// an unreadable store was set aside and the defaults are used), and forgets it; empty
    /// when there is nothing to tell. The main window calls it after LoadSettings and shows a
    /// non-empty text in an information box. The Win32 registry never has anything to tell.
    virtual std::string TakeNotice() { return {}; }
};

/// The current user's registry: on Windows the system's (HKEY_CURRENT_USER through the Win32
/// registry API), elsewhere the REGEDIT4 file store at UserRegistryPath() (registry_file.h).
std::unique_ptr<Registry> OpenUserRegistry();

}  // namespace brevok
