// Names, arguments, environment and output on POSIX systems: bytes as they are.
#include "platform/system_text.h"

#include <cstdlib>

namespace brevok {

std::filesystem::path SystemPath(std::string_view path)
{
    return std::filesystem::path(path);
}

std::string ProgramPath(const std::filesystem::path& path)
{
    return path.native();
}

std::vector<std::string> ProgramArguments(int argc, char** argv)
{
    return std::vector<std::string>(argv, argv + (argc > 0 ? argc : 0));
}

std::optional<std::string> EnvironmentValue(const std::string& name)
{
    const char* value = std::getenv(name.c_str());
    if (value == nullptr)
        return std::nullopt;
    return std::string(value);
}

bool SetEnvironmentValue(const std::string& name, const std::string& value)
{
    return setenv(name.c_str(), value.c_str(), 1) == 0;
}

bool WriteText(std::FILE* stream, std::string_view text)
{
    return std::fwrite(text.data(), 1, text.size(), stream) == text.size();
}

}  // namespace brevok
