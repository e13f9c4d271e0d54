// The environment variables the compilers read.
#include "common/compile_environment.h"

#include "preprocessor/include_search.h"

#include <cstdlib>
#include <string_view>

namespace brevok {

namespace {

std::string_view Variable(const char* name)
{
    const char* value = std::getenv(name);
    return value == nullptr ? std::string_view() : std::string_view(value);
}

}  // namespace

void ReadCompileEnvironment(CompileOptions& options)
{
    options.includeVariableFolders = IncludeVariableFolders(Variable("INCLUDE"));
}

}  // namespace brevok
