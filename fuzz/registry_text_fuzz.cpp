// Fuzzes the REGEDIT4 reader: any input gives a tree or an error, and a tree written back
// reads as the same tree.
#include "registry/registry_file.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto parsed = brevok::ParseRegistryText(text);
    const brevok::RegistryTree* tree = parsed ? &*parsed : nullptr;
    if (!tree)
        return 0;
    const auto again = brevok::ParseRegistryText(brevok::WriteRegistryText(*tree));
    const brevok::RegistryTree* second = again ? &*again : nullptr;
    if (!second || second->keys.size() != tree->keys.size())
        std::abort();
    for (std::size_t i = 0; i < tree->keys.size(); ++i) {
        if (second->keys[i].path != tree->keys[i].path || second->keys[i].values != tree->keys[i].values)
            std::abort();
    }
    return 0;
}
