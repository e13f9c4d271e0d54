// The version library over PE and ELF files, with VerQueryValueA's text conversion.
#include "versioninfo/version_library.h"

#include <cstring>
#include <span>

#include "versioninfo/version_block.h"
#include "rules/little_endian.h"
#include "versioninfo/version_resource.h"

namespace brevok {
namespace {

constexpr char kConvertedMark[4] = {'B', 'V', 'A', '8'};

std::size_t Align4(std::size_t n)
{
    return (n + 3) & ~std::size_t{3};
}

/// The part of `resource` that is the block: its wLength, cut to the resource's size.
std::size_t BlockLength(std::string_view resource)
{
    return VersionBlockLength(std::span(reinterpret_cast<const std::uint8_t*>(resource.data()), resource.size()));
}

}  // namespace

std::uint32_t VersionBufferSize(std::string_view resource)
{
    const std::size_t length = BlockLength(resource);
    return length == 0 ? 0 : static_cast<std::uint32_t>(3 * Align4(length) + sizeof kConvertedMark);
}

bool LayOutVersionBuffer(std::string_view resource, std::uint32_t length, void* data)
{
    const std::size_t size = VersionBufferSize(resource);
    // Windows copies what fits; a short copy would leave VerQueryValueA no room for its
    // conversions, so a buffer below the reported size is refused instead.
    if (size == 0 || data == nullptr || length < size)
        return false;
    const std::size_t blockLength = BlockLength(resource);
    const std::size_t aligned = Align4(blockLength);
    auto* out = static_cast<std::uint8_t*>(data);
    std::memcpy(out, resource.data(), blockLength);
    // A wLength beyond the resource would lead VerQueryValueA past the copy.
    std::string wLength;
    byteio::Append16(wLength, static_cast<std::uint16_t>(blockLength));
    std::memcpy(out, wLength.data(), wLength.size());
    std::memset(out + blockLength, 0, aligned - blockLength);
    std::memcpy(out + aligned, kConvertedMark, sizeof kConvertedMark);
    std::memset(out + aligned + sizeof kConvertedMark, 0, 2 * aligned);
    return true;
}

std::uint32_t FileVersionLibrary::GetFileVersionInfoSizeA(const std::string& fileName) const
{
    const auto resource = ReadVersionResource(fileName);
    return resource ? VersionBufferSize(*resource) : 0;
}

bool FileVersionLibrary::GetFileVersionInfoA(const std::string& fileName, std::uint32_t length, void* data) const
{
    const auto resource = ReadVersionResource(fileName);
    return resource && LayOutVersionBuffer(*resource, length, data);
}

bool FileVersionLibrary::VerQueryValueA(void* block, const std::string& subBlock, void** buffer,
                                        std::uint32_t* length) const
{
    if (length)
        *length = 0;
    if (block == nullptr || buffer == nullptr)
        return false;
    auto* base = static_cast<std::uint8_t*>(block);
    const std::size_t blockLength = byteio::Get16(std::string_view(static_cast<const char*>(block), 2), 0);
    const std::span<const std::uint8_t> bytes(base, blockLength);
    const auto value = FindVersionValue(bytes, subBlock);
    if (!value)
        return false;
    if (value->isText) {
        const std::size_t aligned = Align4(blockLength);
        if (std::memcmp(base + aligned, kConvertedMark, sizeof kConvertedMark) != 0)
            return false;  // not a block of ours: there is no room to convert into
        const std::string text = ReadVersionText(bytes, *value);
        const std::size_t at = value->offset + value->offset / 2;
        const std::size_t room = 2 * aligned;
        if (at > room || text.size() + 1 > room - at)
            return false;
        char* converted = reinterpret_cast<char*>(base + aligned + sizeof kConvertedMark + at);
        std::memcpy(converted, text.c_str(), text.size() + 1);
        *buffer = converted;
    } else {
        *buffer = base + value->offset;
    }
    if (length)
        *length = value->length;
    return true;
}

const VersionLibrary& SystemVersionLibrary()
{
    static const FileVersionLibrary library;
    return library;
}

}  // namespace brevok
