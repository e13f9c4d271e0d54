// Reading the picture files a script names: .ico and .cur directories (ICONDIR with 16-byte
// ICONDIRENTRY records, Microsoft's icon file format) and the .bmp file header, checked as
// llvm-rc checks them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "rules/parsed.h"

namespace brevok {

/// The BITMAPFILEHEADER a BITMAP resource drops.
inline constexpr std::size_t kBitmapFileHeaderSize = 14;

/// One image of an icon or cursor file, with the group directory entry llvm-rc writes for it.
struct IconImage {
    /// Where the image lies in the file (checked against the file's size).
    std::uint64_t offset = 0;
    std::uint32_t size = 0;
    /// The ICONDIRENTRY's planes and bit count words: for a cursor, its hot spot, which the
    /// RT_CURSOR resource starts with.
    std::uint16_t planes = 0;
    std::uint16_t bitCount = 0;
    /// The 12 bytes of the RT_GROUP_ICON / RT_GROUP_CURSOR entry before the member id.
    std::string groupEntry;
};

/// An icon or cursor file's directory.
struct IconDirectory {
    /// The 6-byte ICONDIR (reserved, type, count) as the file holds it.
    std::string header;
    std::vector<IconImage> images;
};

enum class IconFileType : std::uint16_t { Icon = 1, Cursor = 2 };

/// Reads the directory of an .ico (`type` Icon) or .cur (Cursor) file of `bytes`. Refuses what
/// llvm-rc refuses: a short file, a reserved word other than 0, the other type, entries or
/// images past the end, and an image without room for a 40-byte BITMAPINFOHEADER at its
/// start. A group entry takes planes and bit count from a 40-byte BITMAPINFOHEADER; any other
/// header size (PNG images, the other BMP header versions) counts as 1 plane of 32 bits. A
/// cursor's entry holds width and twice the height in 16 bits each, and its size counts the
/// hot spot.
Parsed<IconDirectory> ReadIconDirectory(std::string_view bytes, IconFileType type);

/// Checks the start of a .bmp file as llvm-rc does: `start` holds the file's first 14 bytes
/// (fewer when the file is shorter), which must be a whole BITMAPFILEHEADER opening with "BM";
/// nothing else of the file is checked. Fails saying what is wrong.
Status CheckBitmapStart(std::string_view start);

}  // namespace brevok
