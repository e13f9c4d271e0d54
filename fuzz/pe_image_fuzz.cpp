// libFuzzer target: PE headers, the resource tree and its data, and a bind into the image.
#include <cstddef>
#include <cstdint>
#include <string>

#include "image/binder.h"
#include "image/pe_image.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    // The head-only path a version reader takes, then the whole image.
    (void)brevok::ParsePeHeaders(std::string_view(bytes).substr(0, 512), bytes.size());
    auto image = brevok::ParsePeImage(bytes);
    if (!image)
        return 0;
    auto where = brevok::FindResources(image->headers);
    if (where && where->sectionIndex >= 0) {
        const std::string_view section = std::string_view(bytes).substr(where->section.offset, where->section.size);
        if (auto entries = brevok::ReadResourceTree(section, where->sectionRva, where->directory.rva))
            for (const auto& e : *entries)
                (void)brevok::ResourceData(section, where->sectionRva, e);
    }
    brevok::ResRecordView record;
    record.type = brevok::ResId::Ordinal(brevok::kRtRcData);
    record.name = brevok::ResId::Name(u"FUZZ");
    record.data = "payload";
    auto bound = brevok::BindResources(bytes, {record});
    if (bound) {
        // What was bound must read back.
        const std::string out = bound->image.Joined();
        if (!brevok::ParsePeImage(out))
            __builtin_trap();
    }
    return 0;
}
