// Reading and writing the blocks of a string table.
#include "resedit/string_block.h"

#include "rules/little_endian.h"

namespace brevok {

StringBlock ReadStringBlock(std::string_view bytes)
{
    StringBlock block;
    std::size_t p = 0;
    for (std::u16string& text : block) {
        if (bytes.size() - p < 2)
            break;
        const std::size_t count = byteio::Get16(bytes, p);
        p += 2;
        for (std::size_t i = 0; i < count && bytes.size() - p >= 2; ++i, p += 2)
            text.push_back(static_cast<char16_t>(byteio::Get16(bytes, p)));
    }
    return block;
}

std::string WriteStringBlock(const StringBlock& block)
{
    std::string out;
    for (const std::u16string& text : block) {
        byteio::Append16(out, static_cast<std::uint16_t>(text.size()));
        for (char16_t c : text)
            byteio::Append16(out, c);
    }
    return out;
}

}  // namespace brevok
