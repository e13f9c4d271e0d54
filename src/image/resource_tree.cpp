// Reading a PE resource tree (IMAGE_RESOURCE_DIRECTORY tables, three levels: type, name,
// language, then IMAGE_RESOURCE_DATA_ENTRY leaves), every offset checked.
#include "image/pe_image.h"

#include <set>

#include "rules/little_endian.h"
#include "rules/hex.h"

namespace brevok {

namespace {

class TreeReader {
public:
    TreeReader(std::string_view bytes, std::uint32_t bytesRva, std::uint32_t rootRva)
        : bytes_(bytes), bytesRva_(bytesRva), rootRva_(rootRva)
    { }

    Status Read(std::vector<ResourceEntry>& out)
    {
        if (rootRva_ < bytesRva_ || rootRva_ - bytesRva_ > bytes_.size())
            return Status::Fail("the resource directory RVA " + Hex(rootRva_) + " lies outside the resource data (RVA " +
                Hex(bytesRva_) + ", size " + Hex(bytes_.size()) + ")");
        root_ = rootRva_ - bytesRva_;
        ResourceEntry path;
        return ReadTable(0, 0, path, out);
    }

private:
    std::string Where(std::uint64_t offset) const { return "at RVA " + Hex(std::uint64_t{bytesRva_} + offset); }

    // Resolves an offset relative to the root into an offset into bytes_ for `size` bytes.
    Status Locate(std::uint32_t relative, std::uint64_t size, const std::string& what, std::uint64_t& at) const
    {
        at = root_ + std::uint64_t{relative};
        if (!Fits(at, size, bytes_.size()))
            return Status::Fail(what + " at RVA " + Hex(rootRva_ + std::uint64_t{relative}) +
                " runs past the end of the resource data (RVA " + Hex(bytesRva_) + ", size " + Hex(bytes_.size()) + ")");
        return Status::Ok();
    }

    Status ReadName(std::uint32_t relative, ResId& id) const
    {
        std::uint64_t at;
        if (const Status e = Locate(relative, 2, "a resource name", at); !e)
            return e;
        const std::uint16_t length = Get16(bytes_, at);
        if (const Status e = Locate(relative, 2 + 2ull * length, "a resource name", at); !e)
            return e;
        std::u16string text;
        text.reserve(length);
        for (std::uint16_t i = 0; i < length; ++i)
            text.push_back(static_cast<char16_t>(Get16(bytes_, at + 2 + 2ull * i)));
        id = ResId::Name(std::move(text));
        return Status::Ok();
    }

    Status ReadTable(std::uint32_t relative, int level, ResourceEntry& path, std::vector<ResourceEntry>& out)
    {
        std::uint64_t at;
        if (const Status e = Locate(relative, kResourceTableSize, "a resource directory table", at); !e)
            return e;
        if (!visited_.insert(relative).second)
            return Status::Fail("the resource directory table " + Where(at) + " is reached twice (the tree loops)");
        const std::uint32_t count = std::uint32_t{Get16(bytes_, at + 12)} + Get16(bytes_, at + 14);
        // Each entry of a sound tree has 8 bytes of its own; overlapping tables could
        // otherwise reuse the same entries over and over and multiply the leaves.
        entries_ += count;
        if (entries_ > bytes_.size() / kResourceEntrySize)
            return Status::Fail("the resource directory table " + Where(at) + " brings the tree to " + std::to_string(entries_) +
                " entries, more than the resource data (size " + Hex(bytes_.size()) + ") can hold");
        if (const Status e = Locate(relative + kResourceTableSize, std::uint64_t{kResourceEntrySize} * count,
                            "a resource directory table's entries", at);
            !e)
            return e;
        for (std::uint32_t i = 0; i < count; ++i) {
            const std::uint64_t entry = at + std::uint64_t{kResourceEntrySize} * i;
            const std::uint32_t nameField = Get32(bytes_, entry);
            const std::uint32_t target = Get32(bytes_, entry + 4);
            ResId id = ResId::Ordinal(static_cast<std::uint16_t>(nameField));
            if (nameField & kResourceHighBit) {
                if (const Status e = ReadName(nameField & ~kResourceHighBit, id); !e)
                    return e;
            } else if (nameField > 0xFFFF) {
                return Status::Fail("the resource directory entry " + Where(entry) + " has an id " + Hex(nameField) +
                    " beyond 16 bits");
            }
            if (level == 0)
                path.type = id;
            else if (level == 1)
                path.name = id;
            else
                path.language = id.ordinal;
            if (level == 2 && !id.isOrdinal)
                return Status::Fail("the resource language entry " + Where(entry) + " has a name instead of a number");
            const bool isTable = (target & kResourceHighBit) != 0;
            if (isTable != (level < 2))
                return Status::Fail("the resource directory entry " + Where(entry) +
                    (isTable ? " points to a table where a data entry belongs"
                             : " points to a data entry where a table belongs"));
            const Status e = isTable ? ReadTable(target & ~kResourceHighBit, level + 1, path, out) : ReadLeaf(target, path, out);
            if (!e)
                return e;
        }
        return Status::Ok();
    }

    Status ReadLeaf(std::uint32_t relative, ResourceEntry& path, std::vector<ResourceEntry>& out)
    {
        std::uint64_t at;
        if (const Status e = Locate(relative, kResourceDataEntrySize, "a resource data entry", at); !e)
            return e;
        path.dataRva = Get32(bytes_, at);
        path.size = Get32(bytes_, at + 4);
        path.codePage = Get32(bytes_, at + 8);
        out.push_back(path);
        return Status::Ok();
    }

    std::string_view bytes_;
    std::uint32_t bytesRva_;
    std::uint32_t rootRva_;
    std::uint64_t root_ = 0;
    std::set<std::uint32_t> visited_;
    std::uint64_t entries_ = 0;  // directory entries met so far
};

}  // namespace

Parsed<std::vector<ResourceEntry>> ReadResourceTree(std::string_view bytes, std::uint32_t bytesRva,
                                                    std::uint32_t rootRva)
{
    std::vector<ResourceEntry> entries;
    TreeReader reader(bytes, bytesRva, rootRva);
    if (const Status e = reader.Read(entries); !e)
        return Parsed<std::vector<ResourceEntry>>::Fail(e.error);
    return Parsed<std::vector<ResourceEntry>>::Ok(std::move(entries));
}

Parsed<std::vector<ResourceEntry>> ReadResourceTree(std::string_view bytes, std::uint32_t bytesRva)
{
    return ReadResourceTree(bytes, bytesRva, bytesRva);
}

Parsed<std::string_view> ResourceData(std::string_view bytes, std::uint32_t bytesRva, const ResourceEntry& entry)
{
    if (entry.dataRva < bytesRva || !Fits(entry.dataRva - bytesRva, entry.size, bytes.size()))
        return Parsed<std::string_view>::Fail(
            "the data of resource " + DescribeResId(entry.type) + "/" + DescribeResId(entry.name) + "/" +
            std::to_string(entry.language) + " (RVA " + Hex(entry.dataRva) + ", size " + Hex(entry.size) +
            ") runs past the resource data (RVA " + Hex(bytesRva) + ", size " + Hex(bytes.size()) + ")");
    return Parsed<std::string_view>::Ok(bytes.substr(entry.dataRva - bytesRva, entry.size));
}

}  // namespace brevok
