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

LineSplitter ScriptLineSplitter()
{
    return LineSplitter(LineBreaks::Any, NulByte::EndsText);
}

std::vector<std::string> ParseScriptText(std::string_view bytes)
{
    return SplitLines(bytes, LineBreaks::Any, NulByte::EndsText);
}

void LoadScriptLines(ScriptDocument& document, const std::string& path)
{
    // Split while reading, so the whole file and all its lines are never held at once.
    LineSplitter splitter = ScriptLineSplitter();
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
