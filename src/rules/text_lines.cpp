// Splitting text bytes into lines.
#include "rules/text_lines.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <utility>

namespace brevok {

namespace {

std::uint64_t LittleEndian(std::uint64_t word)
{
    if constexpr (std::endian::native == std::endian::big)
        return __builtin_bswap64(word);
    return word;
}

}  // namespace

void LineSplitter::EndLine(std::size_t end)
{
    text_.lines.push_back({lineStart_, end - lineStart_});
}

bool LineSplitter::Feed(std::string_view piece)
{
    if (stopped_)
        return false;
    // The bytes are kept as they come, line ends and all; a line is a span of them.
    const std::size_t pos = text_.bytes.size();
    text_.bytes.append(piece);
    return Scan(pos);
}

void LineSplitter::ReserveLines(std::string_view sample)
{
    // A large text (Reserve named its size) gets its table of lines at once, from the LF
    // count of its first 64 KB, instead of doubling its way there; never more than a line
    // per 32 bytes, so a text that is short lines only at its start costs little.
    const std::size_t expected = text_.bytes.capacity();
    if (expected < (std::size_t{1} << 20) || sample.empty())
        return;
    sample = sample.substr(0, 64 * 1024);
    const auto feeds = static_cast<std::size_t>(std::count(sample.begin(), sample.end(), '\n'));
    const double estimate = (static_cast<double>(feeds) + 1) * static_cast<double>(expected) /
        static_cast<double>(sample.size()) * 1.1;
    text_.lines.reserve(std::min(static_cast<std::size_t>(estimate), expected / 32));
}

bool LineSplitter::Scan(std::size_t pos)
{
    std::string& bytes = text_.bytes;
    const char* const data = bytes.data();
    const std::size_t end = bytes.size();
    if (text_.lines.capacity() == 0)
        ReserveLines(std::string_view(bytes).substr(pos));
    const bool anyBreak = breaks_ == LineBreaks::Any;
    const bool nulEnds = nul_ == NulByte::EndsText;
    if (pendingLf_ && pos != end) {
        // The CR that ended the last piece's line, and the LF opening this one: one line end.
        pendingLf_ = false;
        if (data[pos] == '\n')
            lineStart_ = ++pos;
    }
    while (pos != end) {
        // Eight bytes at a time past those that cannot end a line: CR, LF and NUL are all
        // below 0x0E, and a word holds a byte below 0x0E exactly when this test says so.
        // The lowest flagged byte is the first such byte (bytes are read little-endian).
        constexpr std::uint64_t kOnes = 0x0101010101010101ull;
        while (end - pos >= 8) {
            std::uint64_t word;
            std::memcpy(&word, data + pos, 8);
            word = LittleEndian(word);
            const std::uint64_t low = (word - kOnes * 0x0E) & ~word & (kOnes * 0x80);
            if (low != 0) {
                pos += static_cast<std::size_t>(std::countr_zero(low)) / 8;
                break;
            }
            pos += 8;
        }
        if (pos == end)
            break;
        const char c = data[pos];
        if (c != '\r' && c != '\n' && (c != '\0' || !nulEnds)) {
            ++pos;
            continue;
        }
        if (c == '\0') {
            bytes.resize(pos);
            stopped_ = true;
            return false;
        }
        if (!anyBreak) {
            // A CR is part of its line unless an LF follows it.
            if (c == '\n')
                EndLine(pos > lineStart_ && data[pos - 1] == '\r' ? pos - 1 : pos);
            lineStart_ = c == '\n' ? pos + 1 : lineStart_;
            ++pos;
            continue;
        }
        EndLine(pos);
        ++pos;
        if (c == '\r') {
            if (pos == end)
                pendingLf_ = true;
            else if (data[pos] == '\n')
                ++pos;
        }
        lineStart_ = pos;
    }
    return true;
}

SplitText LineSplitter::FinishText()
{
    // A CR at the very end ends the text's last line in either mode.
    std::size_t end = text_.bytes.size();
    if (!stopped_ && end > lineStart_ && text_.bytes[end - 1] == '\r')
        --end;
    if (end > lineStart_)
        EndLine(end);
    lineStart_ = 0;
    pendingLf_ = false;
    stopped_ = false;
    return std::exchange(text_, {});
}

std::vector<std::string> LineSplitter::Finish()
{
    const SplitText text = FinishText();
    std::vector<std::string> lines;
    lines.reserve(text.lines.size());
    for (const LineSpan& line : text.lines)
        lines.emplace_back(text.bytes, line.start, line.length);
    return lines;
}

std::vector<std::string> SplitLines(std::string_view bytes, LineBreaks breaks, NulByte nul)
{
    LineSplitter splitter(breaks, nul);
    splitter.Feed(bytes);
    return splitter.Finish();
}

}  // namespace brevok
