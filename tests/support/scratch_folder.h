// A temporary folder for one test, removed with everything in it when the test ends.
#pragma once

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>

namespace brevok::testing {

class ScratchFolder {
public:
    /// Creates a fresh folder below the system's temporary folder; `infix` goes into its
    /// name (useful for spaces and other characters that paths must survive).
    explicit ScratchFolder(const std::string& infix = "")
    {
#ifdef _WIN32
        // No mkdtemp: a random name, made only when nobody has it yet.
        std::random_device random;
        for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
            const auto candidate =
                std::filesystem::temp_directory_path() / ("brevok" + infix + std::to_string(random()));
            if (std::filesystem::create_directory(candidate))
                path_ = candidate.string();
        }
        if (path_.empty())
            throw std::runtime_error("cannot create a scratch folder");
#else
        std::string pattern = (std::filesystem::temp_directory_path() / ("brevok" + infix + "XXXXXX")).string();
        if (mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("cannot create a scratch folder");
        path_ = pattern;
#endif
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    /// The folder, without a trailing separator.
    const std::string& Path() const
    {
        return path_;
    }
    /// `name` inside the folder, joined with the system's folder separator.
    std::string operator/(const std::string& name) const
    {
        return path_ + kSeparator + name;
    }

    /// Writes `bytes` to `name` inside the folder and returns its path.
    std::string Write(const std::string& name, const std::string& bytes) const
    {
        const std::string file = *this / name;
        std::filesystem::create_directories(std::filesystem::path(file).parent_path());
        std::ofstream(file, std::ios::binary) << bytes;
        return file;
    }

#ifndef _WIN32
    /// Writes a shell script and makes it executable.
    std::string WriteScript(const std::string& name, const std::string& body) const
    {
        const std::string file = Write(name, "#!/bin/sh\n" + body);
        chmod(file.c_str(), 0755);
        return file;
    }
#endif

private:
#ifdef _WIN32
    static constexpr const char* kSeparator = "\\";
#else
    static constexpr const char* kSeparator = "/";
#endif

    std::string path_;
};

}  // namespace brevok::testing
