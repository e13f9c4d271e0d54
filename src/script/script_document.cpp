// The script document and its file format.
#include "script/script_document.h"

#include "platform/errors.h"

#include <algorithm>
#include <cstring>

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

std::vector<std::string> ParseScriptText(std::string_view bytes)
{
    const auto nul = bytes.find('\0');
    if (nul != std::string_view::npos)
        bytes = bytes.substr(0, nul);
    std::vector<std::string> lines;
    std::size_t start = 0;
    const std::size_t size = bytes.size();
    while (start < size) {
        std::size_t end = start;
        while (end < size && bytes[end] != '\r' && bytes[end] != '\n')
            ++end;
        lines.emplace_back(bytes.substr(start, end - start));
        if (end == size)
            break;
        // CR LF is one line end; a lone CR or LF is one; LF CR is two.
        start = end + 1;
        if (bytes[end] == '\r' && start < size && bytes[start] == '\n')
            ++start;
    }
    return lines;
}

void LoadScriptLines(ScriptDocument& document, const std::string& path)
{
    document.Reset(ParseScriptText(ReadFileBytes(path)));
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
