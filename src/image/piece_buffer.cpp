// A file's bytes as a list of views and owned buffers, written without assembling them.
#include "image/piece_buffer.h"

#include <algorithm>
#include <stdexcept>

namespace brevok {

void PieceBuffer::Append(std::string_view bytes)
{
    if (bytes.empty())
        return;
    starts_.push_back(size_);
    pieces_.push_back(bytes);
    size_ += bytes.size();
}

void PieceBuffer::AppendOwned(std::string bytes)
{
    owned_.push_back(std::move(bytes));
    Append(owned_.back());
}

std::string_view PieceBuffer::Keep(std::string bytes)
{
    owned_.push_back(std::move(bytes));
    return owned_.back();
}

void PieceBuffer::AppendZeros(std::uint64_t count)
{
    if (count != 0)
        AppendOwned(std::string(count, '\0'));
}

void PieceBuffer::Patch(std::uint64_t offset, std::string_view bytes)
{
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const std::uint64_t at = offset + i;
        auto it = std::upper_bound(starts_.begin(), starts_.end(), at);
        if (it == starts_.begin() || at >= size_)
            throw std::logic_error("PieceBuffer::Patch outside the buffer");
        const std::size_t piece = static_cast<std::size_t>(it - starts_.begin()) - 1;
        std::string_view view = pieces_[piece];
        // Only owned pieces may change: find the owned string this view is.
        auto owner =
            std::find_if(owned_.begin(), owned_.end(), [&](const std::string& s) { return s.data() == view.data(); });
        if (owner == owned_.end())
            throw std::logic_error("PieceBuffer::Patch of bytes it does not own");
        (*owner)[at - starts_[piece]] = bytes[i];
    }
}

std::string PieceBuffer::Read(std::uint64_t offset, std::size_t count) const
{
    std::string out;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint64_t at = offset + i;
        auto it = std::upper_bound(starts_.begin(), starts_.end(), at);
        if (it == starts_.begin() || at >= size_)
            throw std::logic_error("PieceBuffer::Read outside the buffer");
        const std::size_t piece = static_cast<std::size_t>(it - starts_.begin()) - 1;
        out.push_back(pieces_[piece][at - starts_[piece]]);
    }
    return out;
}

std::string PieceBuffer::Joined() const
{
    std::string out;
    out.reserve(size_);
    for (auto p : pieces_)
        out.append(p);
    return out;
}

}  // namespace brevok
