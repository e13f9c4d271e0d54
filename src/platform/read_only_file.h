// A regular file open for reads at any position, without reading it whole.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace brevok {

/// Opens a regular file for positioned reads (anything else is not open); closed when it goes.
class ReadOnlyFile {
public:
    explicit ReadOnlyFile(const std::string& path);
    ~ReadOnlyFile();
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

    bool isOpen() const { return fd_ >= 0; }
    std::uint64_t size() const { return size_; }

    /// `count` bytes from `offset`; nullopt when the file does not hold them all.
    std::optional<std::string> ReadAt(std::uint64_t offset, std::size_t count) const;

private:
    void Close();

    int fd_ = -1;
    std::uint64_t size_ = 0;
};

}  // namespace brevok
