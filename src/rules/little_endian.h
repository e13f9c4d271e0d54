// Little-endian fields of binary formats (PE, .res, icon files, version resources), read
// and written; bounds and alignment arithmetic that cannot overflow.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace brevok {

/// Inline, so that every library calls these by their plain names; byteio:: still names them.
inline namespace byteio {

/// Reads a little-endian field at `offset`; the caller has checked the bounds.
inline std::uint16_t Get16(std::string_view b, std::uint64_t offset)
{
    const auto* p = reinterpret_cast<const unsigned char*>(b.data() + offset);
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::uint32_t Get32(std::string_view b, std::uint64_t offset)
{
    const auto* p = reinterpret_cast<const unsigned char*>(b.data() + offset);
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
        (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
inline std::uint64_t Get64(std::string_view b, std::uint64_t offset)
{
    return Get32(b, offset) | (static_cast<std::uint64_t>(Get32(b, offset + 4)) << 32);
}

/// Writes a little-endian field at `offset` of `b`, which must be large enough.
inline void Put16(std::string& b, std::uint64_t offset, std::uint16_t v)
{
    b[offset] = static_cast<char>(v & 0xFF);
    b[offset + 1] = static_cast<char>(v >> 8);
}
inline void Put32(std::string& b, std::uint64_t offset, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[offset + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

/// Appends a little-endian field.
inline void Append16(std::string& b, std::uint16_t v)
{
    b.push_back(static_cast<char>(v & 0xFF));
    b.push_back(static_cast<char>(v >> 8));
}
inline void Append32(std::string& b, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

/// True when [offset, offset + size) lies inside a buffer of `total` bytes (no overflow).
inline bool Fits(std::uint64_t offset, std::uint64_t size, std::uint64_t total)
{
    return offset <= total && size <= total - offset;
}

/// Rounds `value` up to a multiple of `alignment` (a power of two or any non-zero value).
inline std::uint64_t AlignUp(std::uint64_t value, std::uint64_t alignment)
{
    return alignment == 0 ? value : (value + alignment - 1) / alignment * alignment;
}

}  // namespace byteio

}  // namespace brevok
