// Values of the registry interface, shared by every store.
#include "registry/registry.h"

namespace brevok {

RegistryValue MakeStringValue(std::string_view text)
{
    RegistryValue value{kRegSz, std::string(text)};
    value.data.push_back('\0');
    return value;
}

}  // namespace brevok
