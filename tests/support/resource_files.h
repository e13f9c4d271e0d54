// Small valid data files of the kinds a resource script names: bitmap, icon, cursor.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

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

/// A bitmap header of `headerSize` bytes (12: BITMAPCOREHEADER; 40: BITMAPINFOHEADER; 52, 56,
/// 108, 124: the later versions, the fields past 40 zero) for `width` x `rows` at 32 bits.
inline std::string BitmapHeader(int headerSize, int width, int rows)
{
    std::string header;
    PutLe(header, static_cast<std::uint32_t>(headerSize), 4);
    if (headerSize == 12) {
        PutLe(header, static_cast<std::uint32_t>(width), 2);
        PutLe(header, static_cast<std::uint32_t>(rows), 2);
        PutLe(header, 1, 2);
        PutLe(header, 32, 2);
        return header;
    }
    PutLe(header, static_cast<std::uint32_t>(width), 4);
    PutLe(header, static_cast<std::uint32_t>(rows), 4);
    PutLe(header, 1, 2);
    PutLe(header, 32, 2);
    return header + std::string(static_cast<std::size_t>(headerSize) - 16, '\0');
}

/// A .bmp file with a header of `headerSize` bytes and `width` x `rows` pixels.
inline std::string BitmapFile(int headerSize, int width, int rows)
{
    const std::string pixels(static_cast<std::size_t>(width * rows * 4), '\x5A');
    std::string file = "BM";
    PutLe(file, static_cast<std::uint32_t>(14 + headerSize + pixels.size()), 4);
    PutLe(file, 0, 4);
    PutLe(file, static_cast<std::uint32_t>(14 + headerSize), 4);
    return file + BitmapHeader(headerSize, width, rows) + pixels;
}

/// The start of a PNG image of `size` x `size` pixels (signature and IHDR chunk, then
/// `dataBytes` of image data), as .ico files hold 256-pixel images.
inline std::string PngImage(int size, std::size_t dataBytes)
{
    std::string png = "\x89PNG\r\n\x1a\n";
    png += std::string("\0\0\0\x0dIHDR", 8);
    for (int shift : {24, 16, 8, 0})
        png += static_cast<char>((size >> shift) & 0xFF);
    for (int shift : {24, 16, 8, 0})
        png += static_cast<char>((size >> shift) & 0xFF);
    png += std::string("\x08\x06\0\0\0", 5);
    return png + std::string(dataBytes, '\x7E');
}

/// One image of an icon or cursor file: its directory entry's width, height, planes and bit
/// count words (a cursor's hot spot) and its bytes.
struct IconFileImage {
    int width = 16;
    int height = 16;
    int planes = 1;
    int bitCount = 32;
    std::string bytes;
};

/// An .ico (type 1) or .cur (type 2) file of `images`, their data after the directory.
inline std::string IconFile(int type, const std::vector<IconFileImage>& images)
{
    std::string file;
    PutLe(file, 0, 2);
    PutLe(file, static_cast<std::uint32_t>(type), 2);
    PutLe(file, static_cast<std::uint32_t>(images.size()), 2);
    std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * images.size());
    std::string data;
    for (const IconFileImage& image : images) {
        file += static_cast<char>(image.width & 0xFF);
        file += static_cast<char>(image.height & 0xFF);
        file += '\0';
        file += '\0';
        PutLe(file, static_cast<std::uint32_t>(image.planes), 2);
        PutLe(file, static_cast<std::uint32_t>(image.bitCount), 2);
        PutLe(file, static_cast<std::uint32_t>(image.bytes.size()), 4);
        PutLe(file, offset, 4);
        offset += static_cast<std::uint32_t>(image.bytes.size());
        data += image.bytes;
    }
    return file + data;
}

}  // namespace brevok::testing
