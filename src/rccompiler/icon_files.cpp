// Icon, cursor and bitmap file headers, read with every offset and size checked.
#include "rccompiler/icon_files.h"

#include "rules/little_endian.h"
#include "rules/hex.h"

namespace brevok {

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
        if (!Fits(image.offset, kBitmapInfoHeaderSize, size))
            return Result::Fail(which +
                                " leaves no room for a 40-byte bitmap header before the end of the file (size " +
                                Hex(size) + ")");
        std::uint16_t planes = 1;
        std::uint16_t bitCount = 32;
        if (Get32(bytes, image.offset) == kBitmapInfoHeaderSize) {
            planes = Get16(bytes, image.offset + 12);
            bitCount = Get16(bytes, image.offset + 14);
        }
        const std::uint8_t width = static_cast<std::uint8_t>(bytes[at]);
        const std::uint8_t height = static_cast<std::uint8_t>(bytes[at + 1]);
        if (type == IconFileType::Cursor) {
            // A cursor image holds the colour and the mask bitmap one under the other.
            Append16(image.groupEntry, width);
            Append16(image.groupEntry, static_cast<std::uint16_t>(height * 2));
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
