// Splitting text bytes into lines: the one splitter behind scripts, captured tool output and
// the diagnostics of the resource compiler.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace brevok {

/// Which bytes end a line.
enum class LineBreaks {
    /// CR LF, a lone CR or a lone LF (LF CR is two line ends): how a Windows text control or
    /// a script file reads text.
    Any,
    /// LF alone, a CR right before it (or at the very end) dropped: how a compiler counts the
    /// lines it reports.
    LineFeed,
};

/// Whether a NUL byte ends the text (what follows is ignored) or is an ordinary byte.
enum class NulByte { EndsText, Ordinary };

/// Splits text that arrives in pieces into lines; a CR LF may be cut between two pieces.
/// A line break at the very end adds no empty line.
class LineSplitter {
public:
    explicit LineSplitter(LineBreaks breaks = LineBreaks::Any, NulByte nul = NulByte::Ordinary)
        : breaks_(breaks), nul_(nul)
    { }

    /// Takes the next piece; false once a NUL has ended the text.
    bool Feed(std::string_view bytes);
    /// Ends the text and hands over its lines; the splitter can then take a new text.
    std::vector<std::string> Finish();

private:
    void EndLine(std::string_view tail);

    LineBreaks breaks_;
    NulByte nul_;
    std::vector<std::string> lines_;
    std::string partial_;     // the start of a line begun in an earlier piece
    bool pendingCr_ = false;  // the last piece ended in CR: an LF opening the next one belongs to it
    bool stopped_ = false;
};

/// Splits a whole text at once (see LineSplitter).
std::vector<std::string> SplitLines(std::string_view bytes, LineBreaks breaks = LineBreaks::Any,
                                    NulByte nul = NulByte::Ordinary);

}  // namespace brevok
