// The script document and its file format.
#include "script/script_document.h"

#include "platform/errors.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace brevok {

void ScriptDocument::Reset(std::vector<std::string> lines)
{
    lines_ = std::move(lines);
    modified_ = false;
    Notify(ScriptChange::Kind::Reset, 0);
}

void ScriptDocument::Append(std::string line)
{
    lines_.push_back(std::move(line));
    modified_ = true;
    Notify(ScriptChange::Kind::Inserted, lines_.size() - 1);
}

void ScriptDocument::Replace(std::size_t index, std::string line)
{
    lines_.at(index) = std::move(line);
    modified_ = true;
    Notify(ScriptChange::Kind::Replaced, index);
}

void ScriptDocument::Remove(std::size_t index)
{
    if (index >= lines_.size())
        throw std::out_of_range("ScriptDocument::Remove");
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(index));
    modified_ = true;
    Notify(ScriptChange::Kind::Removed, index);
}

void ScriptDocument::Clear()
{
    lines_.clear();
    lines_.shrink_to_fit();
    modified_ = false;
    Notify(ScriptChange::Kind::Reset, 0);
}

int ScriptDocument::AddListener(Listener listener)
{
    const int id = nextListener_++;
    listeners_.emplace_back(id, std::move(listener));
    return id;
}

void ScriptDocument::RemoveListener(int id)
{
    std::erase_if(listeners_, [id](const auto& entry) { return entry.first == id; });
}

void ScriptDocument::Notify(ScriptChange::Kind kind, std::size_t index)
{
    const ScriptChange change{kind, index};
    for (const auto& [id, listener] : listeners_)
        listener(change);
}

void ScriptLineSplitter::EndLine(std::string_view tail)
{
    if (partial_.empty()) {
        lines_.emplace_back(tail);
        return;
    }
    partial_.append(tail);
    lines_.push_back(std::move(partial_));
    partial_.clear();
}

bool ScriptLineSplitter::Feed(std::string_view bytes)
{
    if (stopped_)
        return false;
    const char* p = bytes.data();
    const char* const end = p + bytes.size();
    if (pendingCr_ && p != end) {
        pendingCr_ = false;
        if (*p == '\n')
            ++p;
    }
    const char* lineStart = p;
    while (p != end) {
        const char c = *p;
        if (c > '\r' || (c != '\r' && c != '\n' && c != '\0')) {
            ++p;
            continue;
        }
        const std::string_view text(lineStart, static_cast<std::size_t>(p - lineStart));
        if (c == '\0') {
            partial_.append(text);
            stopped_ = true;
            return false;
        }
        EndLine(text);
        ++p;
        // CR LF is one line end; a lone CR or LF is one; LF CR is two.
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

std::vector<std::string> ScriptLineSplitter::Finish()
{
    // A line break at the very end adds no empty line.
    if (!partial_.empty())
        lines_.push_back(std::move(partial_));
    partial_.clear();
    pendingCr_ = false;
    stopped_ = false;
    return std::exchange(lines_, {});
}

std::vector<std::string> ParseScriptText(std::string_view bytes)
{
    ScriptLineSplitter splitter;
    splitter.Feed(bytes);
    return splitter.Finish();
}

void LoadScriptLines(ScriptDocument& document, const std::string& path)
{
    // Split while reading, so the whole file and all its lines are never held at once.
    ScriptLineSplitter splitter;
    ReadFileInPieces(path, [&](std::string_view piece) { return splitter.Feed(piece); });
    document.Reset(splitter.Finish());
}

void SaveScriptLines(ScriptDocument& document, const std::string& path, const WriteLayer& layer)
{
    AtomicFileWriter writer(path, layer);
    for (const auto& line : document.Lines()) {
        writer.Write(line);
        writer.Write("\r\n");
    }
    writer.Commit();
    document.MarkSaved();
}

}  // namespace brevok
