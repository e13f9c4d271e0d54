// A file's bytes as a list of views and owned buffers, written without assembling them.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace brevok {

/// A file's bytes as a sequence of pieces: views into buffers that outlive it (the input
/// image, the .res data) and buffers it owns (rebuilt headers and directories). Lets a large
/// image be written without assembling it in memory first.
class PieceBuffer {
public:
    /// Appends a view; the viewed bytes must outlive this object.
    void Append(std::string_view bytes);
    /// Appends bytes that this object keeps.
    void AppendOwned(std::string bytes);
    /// Keeps `bytes` for the life of this object without appending them; returns a view of them.
    std::string_view Keep(std::string bytes);
    /// Appends `count` zero bytes.
    void AppendZeros(std::uint64_t count);

    std::uint64_t size() const { return size_; }
    const std::vector<std::string_view>& pieces() const { return pieces_; }
    /// Overwrites bytes at `offset` (which must lie in an owned piece).
    void Patch(std::uint64_t offset, std::string_view bytes);
    /// Reads bytes at `offset` wherever they lie.
    std::string Read(std::uint64_t offset, std::size_t count) const;
    /// The whole content as one string (for tests and small images).
    std::string Joined() const;

private:
    std::deque<std::string> owned_;
    std::vector<std::string_view> pieces_;
    std::vector<std::uint64_t> starts_;
    std::uint64_t size_ = 0;
};

}  // namespace brevok
