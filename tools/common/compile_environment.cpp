// The environment variables the compilers read.
#include "common/compile_environment.h"

#include "preprocessor/include_search.h"

#include "platform/system_text.h"

namespace brevok {

void ReadCompileEnvironment(CompileOptions& options)
{
    options.includeVariableFolders = IncludeVariableFolders(EnvironmentValue("INCLUDE").value_or(""));
}

}  // namespace brevok
