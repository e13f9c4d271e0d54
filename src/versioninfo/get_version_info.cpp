// Reading the standard version strings through the version library.
#include "versioninfo/get_version_info.h"

#include <array>
#include <cstdint>

#include "platform/files.h"
#include "platform/self_path.h"
#include "rules/hex.h"
#include "rules/little_endian.h"

namespace brevok {
namespace {

constexpr std::array<const char*, 8> kKeys = {
    "CompanyName",    "FileDescription",  "FileVersion", "InternalName",
    "LegalCopyright", "OriginalFilename", "ProductName", "ProductVersion",
};

// The block is allocated this much larger than the size the library reports, as the
// version reader always has.
constexpr std::size_t kBlockSlack = 10;

}  // namespace

std::string StringQueryPath(unsigned language, unsigned codePage, const std::string& key)
{
    std::string path = "\\StringFileInfo\\";
    path += HexDigits(language & 0xFFFF, HexLetters::Upper, 4);
    path += HexDigits(codePage & 0xFFFF, HexLetters::Upper, 4);
    path += '\\';
    path += key;
    return path;
}

TGetVersionInfoFromFile::TGetVersionInfoFromFile(const VersionLibrary& library) : library_(library)
{ }

void TGetVersionInfoFromFile::setFileName(const std::string& name)
{
    versionStrings_.clear();
    versionCategories_.clear();
    if (!FileExists(name)) {
        fileName_.clear();
        return;
    }
    fileName_ = name;
    ReadVersionInfo();
}

void TGetVersionInfoFromFile::ReadVersionInfo()
{
    const std::uint32_t size = library_.GetFileVersionInfoSizeA(fileName_);
    if (size == 0)
        return;
    std::vector<std::uint8_t> block(size + kBlockSlack);
    // A failed fill leaves the block's contents undefined: treat it as no version information.
    if (!library_.GetFileVersionInfoA(fileName_, size, block.data()))
        return;

    void* value = nullptr;
    std::uint32_t length = 0;
    // The fixed file information is not used; the file only counts when it has one.
    if (!library_.VerQueryValueA(block.data(), "\\", &value, &length))
        return;
    if (!library_.VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &value, &length))
        return;
    // Only the first (language, code page) pair counts. A translation array too short to
    // hold one pair has no first pair to read.
    if (length < 4)
        return;
    const std::string_view pair(static_cast<const char*>(value), 4);
    const unsigned language = byteio::Get16(pair, 0);
    const unsigned codePage = byteio::Get16(pair, 2);

    for (const char* key : kKeys) {
        if (!library_.VerQueryValueA(block.data(), StringQueryPath(language, codePage, key), &value, &length))
            return;
        if (length == 0)
            continue;
        versionCategories_.emplace_back(key);
        versionStrings_.emplace_back(static_cast<const char*>(value));
    }
}

std::string RunningProgramFileVersion()
{
    TGetVersionInfoFromFile reader;
    reader.setFileName(RunningProgramPath());
    const auto& values = reader.VersionStrings();
    return kFileVersionPosition < values.size() ? values[kFileVersionPosition] : std::string();
}

}  // namespace brevok
