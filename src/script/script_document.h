// The resource script document: its lines as bytes, change notification, and the file format.
#pragma once

#include "platform/files.h"
#include "rules/text_lines.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace brevok {

/// What changed in a ScriptDocument; `index` is the first line concerned.
struct ScriptChange {
    enum class Kind { Reset, Inserted, Replaced, Removed };
    Kind kind;
    std::size_t index = 0;
};

/// The ordered lines of a resource script. Lines are bytes, kept exactly as read, all in one
/// buffer (a script of a million lines is one allocation and a table, not a million strings);
/// an edited or added line goes to the buffer's end, and the buffer is compacted once more
/// than half of it is lines no longer in the document. The document tells its listeners
/// about every change and remembers whether the lines changed since they were last loaded
/// or saved.
class ScriptDocument {
public:
    using Listener = std::function<void(const ScriptChange&)>;

    std::size_t LineCount() const { return lines_.size(); }
    bool Empty() const { return lines_.empty(); }
    /// The line at `index` (throws std::out_of_range past the end); valid until the next change.
    std::string_view Line(std::size_t index) const
    {
        const LineSpan& span = lines_.at(index);
        return std::string_view(bytes_).substr(span.start, span.length);
    }
    /// A copy of every line.
    std::vector<std::string> Lines() const;
    /// Hands the bytes of the script file to `out`: every line followed by CR LF, in as few
    /// pieces as it can (stretches of the buffer that already read so go as they are).
    void WriteFileBytes(const std::function<void(std::string_view)>& out) const;

    /// Replaces every line; clears the changed-since-save mark (used by loading).
    void Reset(std::vector<std::string> lines);
    void ResetFrom(SplitText text);
    /// Appends a line at the end.
    void Append(std::string_view line);
    /// Replaces the line at `index` (which must exist).
    void Replace(std::size_t index, std::string_view line);
    /// Removes the line at `index` (which must exist).
    void Remove(std::size_t index);
    /// Removes all lines; clears the changed mark.
    void Clear();

    /// True when the lines (or typing in their view) changed since load or save.
    bool Modified() const { return modified_; }
    void MarkModified() { modified_ = true; }
    void MarkSaved() { modified_ = false; }

    /// Registers a listener; returns an id for RemoveListener.
    int AddListener(Listener listener);
    void RemoveListener(int id);

private:
    LineSpan Store(std::string_view line);
    void Forget(const LineSpan& span);
    void Notify(ScriptChange::Kind kind, std::size_t index);

    std::string bytes_;
    std::vector<LineSpan> lines_;
    std::size_t unused_ = 0;  // bytes of bytes_ that no line refers to
    bool modified_ = false;
    std::vector<std::pair<int, Listener>> listeners_;
    int nextListener_ = 1;
};

/// Splits script bytes into lines: a line ends at CR LF, a lone CR or a lone LF; a break at
/// the very end adds no empty line; LF CR is two line ends; reading stops at the first NUL.
std::vector<std::string> ParseScriptText(std::string_view bytes);

/// The splitter of script files, for text that arrives in pieces.
LineSplitter ScriptLineSplitter();

/// Replaces the document's lines with those of the file at `path`.
/// Throws Error("Cannot open file <path>").
void LoadScriptLines(ScriptDocument& document, const std::string& path);

/// Writes every line followed by CR LF (0 bytes for no lines), atomically, and marks the
/// document saved. Throws Error("Cannot create file <path>") or Error("Stream write error");
/// the old file is then unchanged.
void SaveScriptLines(ScriptDocument& document, const std::string& path, const WriteLayer& layer = SystemWriteLayer());

}  // namespace brevok
