// Splitting text bytes into lines: the one splitter behind scripts, captured tool output and
// the diagnostics of the resource compiler.
#pragma once

#include <cstddef>
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

/// Where one line lies in the bytes of a SplitText.
struct LineSpan {
    std::size_t start = 0;
    std::size_t length = 0;
};

/// Lines held in one buffer: the text's bytes as they came (line ends too), and where each
/// line lies in them.
struct SplitText {
    std::string bytes;
    std::vector<LineSpan> lines;
};

/// Splits text that arrives in pieces into lines; a CR LF may be cut between two pieces.
/// A line break at the very end adds no empty line.
class LineSplitter {
public:
    explicit LineSplitter(LineBreaks breaks = LineBreaks::Any, NulByte nul = NulByte::Ordinary)
        : breaks_(breaks), nul_(nul)
    { }

    /// Makes room for `bytes` bytes of text at once (a file's size), so the buffer is not
    /// copied while it grows.
    void Reserve(std::size_t bytes) { text_.bytes.reserve(bytes); }
    /// Takes the next piece; false once a NUL has ended the text.
    bool Feed(std::string_view bytes);
    /// Ends the text and hands over its lines; the splitter can then take a new text.
    std::vector<std::string> Finish();
    /// The same, as one buffer.
    SplitText FinishText();

private:
    void ReserveLines(std::string_view sample);
    bool Scan(std::size_t from);
    void EndLine(std::size_t end);

    LineBreaks breaks_;
    NulByte nul_;
    SplitText text_;
    std::size_t lineStart_ = 0;  // where the line being read begins in text_.bytes
    bool pendingLf_ = false;     // the last piece ended in a CR that ended a line: an LF opening the next one belongs to it
    bool stopped_ = false;
};

/// Splits a whole text at once (see LineSplitter).
std::vector<std::string> SplitLines(std::string_view bytes, LineBreaks breaks = LineBreaks::Any,
                                    NulByte nul = NulByte::Ordinary);

}  // namespace brevok
