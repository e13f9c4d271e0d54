// Small valid data files of the kinds a resource script names: bitmap, icon, cursor.
#pragma once

#include <cstdint>
#include <string>

namespace brevok::testing {

/// Appends `value` as `bytes` little-endian bytes; bytes past the fourth are zero.
inline void PutLe(std::string& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>(i < 4 ? (value >> (8 * i)) & 0xFF : 0);
}

/// BITMAPINFOHEADER of a 1 x `rows` picture of 32 bits per pixel.
inline std::string InfoHeader(int rows)
{
    std::string header;
    PutLe(header, 40, 4);
    PutLe(header, 1, 4);
    PutLe(header, static_cast<std::uint32_t>(rows), 4);
    PutLe(header, 1, 2);
    PutLe(header, 32, 2);
    PutLe(header, 0, 4);
    PutLe(header, 0, 4);
    PutLe(header, 0, 16);
    return header;
}

/// A 1 x 1 .bmp file: BITMAPFILEHEADER, BITMAPINFOHEADER, one blue pixel.
inline std::string TinyBitmap()
{
    std::string file = "BM";
    PutLe(file, 14 + 40 + 4, 4);
    PutLe(file, 0, 4);
    PutLe(file, 14 + 40, 4);
    file += InfoHeader(1);
    PutLe(file, 0x00FF0000, 4);
    return file;
}

/// A 1 x 1 .ico (type 1) or .cur (type 2, hot spot 0,0) file with one 32-bit image.
inline std::string TinyIconFile(int type)
{
    std::string image = InfoHeader(2);  // the height counts the colour and the mask rows
    PutLe(image, 0xFF00FF00, 4);        // the pixel
    PutLe(image, 0, 4);                 // the mask row, padded to 4 bytes
    std::string file;
    PutLe(file, 0, 2);
    PutLe(file, static_cast<std::uint32_t>(type), 2);
    PutLe(file, 1, 2);
    file += '\x01';
    file += '\x01';
    file += '\0';
    file += '\0';
    PutLe(file, type == 1 ? 1 : 0, 2);   // planes, or the hot spot's x
    PutLe(file, type == 1 ? 32 : 0, 2);  // bits per pixel, or the hot spot's y
    PutLe(file, static_cast<std::uint32_t>(image.size()), 4);
    PutLe(file, 6 + 16, 4);
    return file + image;
}

}  // namespace brevok::testing
