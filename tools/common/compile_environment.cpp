// The environment variables the compilers read.
#include "common/compile_environment.h"

#include "rcdriver/include_search.h"

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
    options.forceLlvmRc = Variable("BREVOK_FORCE_LLVM_RC") == "1";
    options.llvmRc = LlvmRcLocator(std::string(Variable("BREVOK_LLVM_RC")), std::string(Variable("PATH")));
}

}  // namespace brevok
