// Splitting text bytes into lines.
#include "platform/text_lines.h"

#include <utility>

namespace brevok {

void LineSplitter::EndLine(std::string_view tail)
{
    if (partial_.empty()) {
        lines_.emplace_back(tail);
        return;
    }
    partial_.append(tail);
    lines_.push_back(std::move(partial_));
    partial_.clear();
}

bool LineSplitter::Feed(std::string_view bytes)
{
    if (stopped_)
        return false;
    const char* p = bytes.data();
    const char* const end = p + bytes.size();
    const bool anyBreak = breaks_ == LineBreaks::Any;
    const bool nulEnds = nul_ == NulByte::EndsText;
    if (pendingCr_ && p != end) {
        pendingCr_ = false;
        if (*p == '\n') {
            ++p;
            if (!anyBreak)
                EndLine({});  // the CR LF ends the line held back for it
        } else if (!anyBreak) {
            partial_ += '\r';  // a CR that no LF follows is part of the line
        }
    }
    const char* lineStart = p;
    while (p != end) {
        const char c = *p;
        // Most bytes are above CR: one comparison sends them on.
        if (c > '\r' || (c != '\r' && c != '\n' && (c != '\0' || !nulEnds))) {
            ++p;
            continue;
        }
        if (c == '\0') {
            partial_.append(lineStart, static_cast<std::size_t>(p - lineStart));
            stopped_ = true;
            return false;
        }
        if (c == '\r' && !anyBreak) {
            if (p + 1 == end) {
                // Whether it ends the line depends on the next piece.
                partial_.append(lineStart, static_cast<std::size_t>(p - lineStart));
                pendingCr_ = true;
                return true;
            }
            if (p[1] != '\n') {
                ++p;
                continue;
            }
            EndLine(std::string_view(lineStart, static_cast<std::size_t>(p - lineStart)));
            p += 2;
            lineStart = p;
            continue;
        }
        EndLine(std::string_view(lineStart, static_cast<std::size_t>(p - lineStart)));
        ++p;
        if (c == '\r') {
            if (p == end)
                pendingCr_ = true;
            else if (*p == '\n')
                ++p;
        }
        lineStart = p;
    }
    partial_.append(lineStart, static_cast<std::size_t>(end - lineStart));
    return true;
}

std::vector<std::string> LineSplitter::Finish()
{
    // A CR at the very end ends the text's last line in either mode.
    if (!partial_.empty())
        lines_.push_back(std::move(partial_));
    partial_.clear();
    pendingCr_ = false;
    stopped_ = false;
    return std::exchange(lines_, {});
}

std::vector<std::string> SplitLines(std::string_view bytes, LineBreaks breaks, NulByte nul)
{
    LineSplitter splitter(breaks, nul);
    splitter.Feed(bytes);
    return splitter.Finish();
}

}  // namespace brevok
