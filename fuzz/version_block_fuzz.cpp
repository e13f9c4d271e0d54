// Fuzzes the version block walker and the version library's text conversion with
// arbitrary version resources.
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "versioninfo/version_block.h"
#include "versioninfo/version_library.h"

namespace {

constexpr const char* kPaths[] = {
    "\\",
    "\\VarFileInfo\\Translation",
    "\\StringFileInfo",
    "\\StringFileInfo\\080904E4",
    "\\StringFileInfo\\080904E4\\CompanyName",
    "\\StringFileInfo\\080904E4\\FileVersion",
    "\\StringFileInfo\\040904B0\\ProductVersion",
    "\\\\stringfileinfo\\\\080904e4\\\\x\\",
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> block(data, size);
    for (const char* path : kPaths)
        if (const auto value = brevok::FindVersionValue(block, path)) {
            if (value->offset + value->size > size)
                __builtin_trap();
            brevok::ReadVersionText(block, *value);
        }

    // The same through the library's buffer layout and its UTF-8 conversion; every text
    // handed out must end inside the buffer.
    const std::string_view resource(reinterpret_cast<const char*>(data), size);
    const std::uint32_t bufferSize = brevok::VersionBufferSize(resource);
    if (bufferSize == 0)
        return 0;
    std::vector<std::uint8_t> buffer(bufferSize);
    if (!brevok::LayOutVersionBuffer(resource, bufferSize, buffer.data()))
        __builtin_trap();
    const brevok::FileVersionLibrary library;
    for (const char* path : kPaths) {
        void* value = nullptr;
        std::uint32_t length = 0;
        if (!library.VerQueryValueA(buffer.data(), path, &value, &length))
            continue;
        const auto* at = static_cast<const std::uint8_t*>(value);
        if (at < buffer.data() || at > buffer.data() + buffer.size())
            __builtin_trap();
        const std::size_t room = static_cast<std::size_t>(buffer.data() + buffer.size() - at);
        if (path[1] == 'S' && std::memchr(at, 0, room) == nullptr)
            __builtin_trap();
    }
    return 0;
}
