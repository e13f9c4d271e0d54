// Icon, cursor and bitmap file headers, read with every offset and size checked.
#include "rccompiler/icon_files.h"

#include "rules/little_endian.h"
#include "rules/hex.h"

namespace brevok {

namespace {
/// The longest bitmap header, BITMAPV5HEADER.
constexpr std::uint32_t kBitmapV5HeaderSize = 124;
}  // namespace

namespace {

constexpr std::size_t kIconDirSize = 6;
constexpr std::size_t kIconDirEntrySize = 16;
constexpr std::uint32_t kBitmapInfoHeaderSize = 40;

}  // namespace

Parsed<IconDirectory> ReadIconDirectory(std::string_view bytes, IconFileType type)
{
    using Result = Parsed<IconDirectory>;
    const std::uint64_t size = bytes.size();
    if (size < kIconDirSize)
        return Result::Fail("the file is " + std::to_string(size) + " bytes long, shorter than its 6-byte header");
    const std::uint16_t wanted = static_cast<std::uint16_t>(type);
    if (Get16(bytes, 0) != 0)
        return Result::Fail("the header's reserved word is " + Hex(Get16(bytes, 0)) + " instead of 0");
    if (Get16(bytes, 2) != wanted)
        return Result::Fail("the header's type is " + std::to_string(Get16(bytes, 2)) + " instead of " +
                            std::to_string(wanted) + " (" + (type == IconFileType::Icon ? "icon" : "cursor") + ")");
    const std::size_t count = Get16(bytes, 4);
    if (!Fits(kIconDirSize, kIconDirEntrySize * count, size))
        return Result::Fail("the directory of " + std::to_string(count) +
                            " images runs past the end of the file (size " + Hex(size) + ")");
    IconDirectory directory;
    directory.header = std::string(bytes.substr(0, kIconDirSize));
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t at = kIconDirSize + kIconDirEntrySize * i;
        IconImage image;
        image.planes = Get16(bytes, at + 4);
        image.bitCount = Get16(bytes, at + 6);
        image.size = Get32(bytes, at + 8);
        image.offset = Get32(bytes, at + 12);
        const std::string which =
            "image " + std::to_string(i + 1) + " (offset " + Hex(image.offset) + ", size " + Hex(image.size) + ")";
        if (!Fits(image.offset, image.size, size))
            return Result::Fail(which + " runs past the end of the file (size " + Hex(size) + ")");
        // What the image's bitmap header (of 40 bytes or one of its longer versions) says
        // wins over the directory, as rc.exe reads them; a PNG image keeps the directory's
        // fields. A cursor image holds the colour and the mask bitmap one under the other:
        // twice the directory's height.
        std::uint16_t planes = Get16(bytes, at + 4);
        std::uint16_t bitCount = Get16(bytes, at + 6);
        std::uint16_t width = static_cast<std::uint8_t>(bytes[at]);
        auto height = static_cast<std::uint16_t>(static_cast<std::uint8_t>(bytes[at + 1]) * 2);
        // An image too short for a bitmap header is written as it is, as rc.exe writes it.
        if (const std::uint32_t header = Fits(image.offset, kBitmapInfoHeaderSize, size) ? Get32(bytes, image.offset) : 0;
            header >= kBitmapInfoHeaderSize && header <= kBitmapV5HeaderSize) {
            width = static_cast<std::uint16_t>(Get32(bytes, image.offset + 4));
            height = static_cast<std::uint16_t>(Get32(bytes, image.offset + 8));
            planes = Get16(bytes, image.offset + 12);
            bitCount = Get16(bytes, image.offset + 14);
        }
        if (type == IconFileType::Cursor) {
            Append16(image.groupEntry, width);
            Append16(image.groupEntry, height);
        } else {
            image.groupEntry = std::string(bytes.substr(at, 4));
        }
        Append16(image.groupEntry, planes);
        Append16(image.groupEntry, bitCount);
        Append32(image.groupEntry, type == IconFileType::Cursor ? image.size + 4 : image.size);
        directory.images.push_back(std::move(image));
    }
    return Result::Ok(std::move(directory));
}

Status CheckBitmapStart(std::string_view start)
{
    if (start.size() < kBitmapFileHeaderSize)
        return Status::Fail("the file is " + std::to_string(start.size()) +
                            " bytes long, shorter than the 14-byte bitmap file header");
    if (start.substr(0, 2) != "BM")
        return Status::Fail("the file does not start with \"BM\"");
    return Status::Ok();
}

}  // namespace brevok
