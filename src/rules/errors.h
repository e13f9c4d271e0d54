// The one exception type of the system: a failure whose message is the text the user sees
// (see the error vocabulary in rules/parsed.h).
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace brevok {

/// A failure that ends the current command and reaches the application's generic error
/// report. what() is the user-facing text, e.g. "Cannot open file C:\x.rc".
class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// The texts of the failed file steps, each written once: "Cannot open file PATH", "Cannot
/// create file PATH", "Cannot write file PATH", "Stream write error" and "Cannot load bitmap
/// PATH: not a valid bitmap image".
Error CannotOpenFile(std::string_view path);
Error CannotCreateFile(std::string_view path);
Error CannotWriteFile(std::string_view path);
Error StreamWriteError();
Error CannotLoadBitmap(std::string_view path);

/// Replaces the first "%s" of `pattern` with `arg` ("Cannot open file %s" + path).
std::string FormatText(std::string_view pattern, std::string_view arg);

}  // namespace brevok
