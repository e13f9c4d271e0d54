// The user-facing error texts.
#include "rules/errors.h"

namespace brevok {

std::string FormatText(std::string_view pattern, std::string_view arg)
{
    std::string out(pattern);
    const auto at = out.find("%s");
    if (at != std::string::npos)
        out.replace(at, 2, arg);
    return out;
}

Error CannotOpenFile(std::string_view path)
{
    return Error(FormatText("Cannot open file %s", path));
}

Error CannotCreateFile(std::string_view path)
{
    return Error(FormatText("Cannot create file %s", path));
}

Error CannotWriteFile(std::string_view path)
{
    return Error(FormatText("Cannot write file %s", path));
}

Error StreamWriteError()
{
    return Error("Stream write error");
}

Error CannotLoadBitmap(std::string_view path)
{
    return Error(FormatText("Cannot load bitmap %s: not a valid bitmap image", path));
}

}  // namespace brevok
