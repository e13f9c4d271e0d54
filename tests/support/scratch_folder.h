// A temporary folder for one test, removed with everything in it when the test ends.
#pragma once

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

namespace brevok::testing {

class ScratchFolder {
public:
    /// Creates a fresh folder below the system's temporary folder; `infix` goes into its
    /// name (useful for spaces and other characters that paths must survive).
    explicit ScratchFolder(const std::string& infix = "")
    {
        std::string pattern =
            (std::filesystem::temp_directory_path() / ("brevok" + infix + "XXXXXX")).string();
        if (mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("cannot create a scratch folder");
        path_ = pattern;
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    /// The folder, without a trailing separator.
    const std::string& Path() const { return path_; }
    /// `name` inside the folder.
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

    /// Writes `bytes` to `name` inside the folder and returns its path.
    std::string Write(const std::string& name, const std::string& bytes) const
    {
        const std::string file = *this / name;
        std::filesystem::create_directories(std::filesystem::path(file).parent_path());
        std::ofstream(file, std::ios::binary) << bytes;
        return file;
    }

    /// Writes a shell script and makes it executable.
    std::string WriteScript(const std::string& name, const std::string& body) const
    {
        const std::string file = Write(name, "#!/bin/sh\n" + body);
        chmod(file.c_str(), 0755);
        return file;
    }

private:
    std::string path_;
};

}  // namespace brevok::testing
