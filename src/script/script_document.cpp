// The script document and its file format.
#include "script/script_document.h"

#include "rules/errors.h"
#include "platform/system_text.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <system_error>
#include <cstring>
#include <stdexcept>
#include <utility>

namespace brevok {

std::vector<std::string> ScriptDocument::Lines() const
{
    std::vector<std::string> lines;
    lines.reserve(lines_.size());
    for (std::size_t i = 0; i < lines_.size(); ++i)
        lines.emplace_back(Line(i));
    return lines;
}

void ScriptDocument::Reset(std::vector<std::string> lines)
{
    SplitText text;
    std::size_t size = 0;
    for (const std::string& line : lines)
        size += line.size();
    text.bytes.reserve(size);
    text.lines.reserve(lines.size());
    for (const std::string& line : lines) {
        text.lines.push_back({text.bytes.size(), line.size()});
        text.bytes += line;
    }
    ResetFrom(std::move(text));
}

void ScriptDocument::ResetFrom(SplitText text)
{
    bytes_ = std::move(text.bytes);
    lines_ = std::move(text.lines);
    unused_ = 0;
    modified_ = false;
    Notify(ScriptChange::Kind::Reset, 0);
}

LineSpan ScriptDocument::Store(std::string_view line)
{
    // `line` may lie in bytes_ itself, which the append can move: copy it first then.
    if (!line.empty() && line.data() >= bytes_.data() && line.data() < bytes_.data() + bytes_.size()) {
        const std::string copy(line);
        return Store(copy);
    }
    const LineSpan span{bytes_.size(), line.size()};
    bytes_.append(line);
    return span;
}

void ScriptDocument::Forget(const LineSpan& span)
{
    unused_ += span.length;
    constexpr std::size_t kCompactAbove = 64 * 1024;
    if (unused_ <= kCompactAbove || unused_ <= bytes_.size() / 2)
        return;
    std::string compact;
    compact.reserve(bytes_.size() - unused_);
    for (LineSpan& line : lines_) {
        const std::size_t start = compact.size();
        compact.append(bytes_, line.start, line.length);
        line.start = start;
    }
    bytes_ = std::move(compact);
    unused_ = 0;
}

void ScriptDocument::Append(std::string_view line)
{
    lines_.push_back(Store(line));
    modified_ = true;
    Notify(ScriptChange::Kind::Inserted, lines_.size() - 1);
}

void ScriptDocument::Replace(std::size_t index, std::string_view line)
{
    const LineSpan old = lines_.at(index);
    lines_[index] = Store(line);
    Forget(old);
    modified_ = true;
    Notify(ScriptChange::Kind::Replaced, index);
}

void ScriptDocument::Remove(std::size_t index)
{
    if (index >= lines_.size())
        throw std::out_of_range("ScriptDocument::Remove");
    const LineSpan old = lines_[index];
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(index));
    Forget(old);
    modified_ = true;
    Notify(ScriptChange::Kind::Removed, index);
}

void ScriptDocument::Clear()
{
    bytes_ = std::string();
    lines_ = std::vector<LineSpan>();
    unused_ = 0;
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
    // The file's bytes become the document's buffer as they are; the lines are spans of it.
    // The size is only a hint for the buffer: a file that grows or cannot be measured still loads.
    LineSplitter splitter = ScriptLineSplitter();
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(SystemPath(path), error);
    if (!error && size < std::numeric_limits<std::size_t>::max() / 2)
        splitter.Reserve(static_cast<std::size_t>(size));
    ReadFileInPieces(path, [&](std::string_view piece) { return splitter.Feed(piece); });
    document.ResetFrom(splitter.FinishText());
}

void ScriptDocument::WriteFileBytes(const std::function<void(std::string_view)>& out) const
{
    const std::string_view bytes(bytes_);
    std::size_t runStart = 0;  // [runStart, runEnd): lines of the buffer that end in CR LF there
    std::size_t runEnd = 0;
    std::string chunk;         // other lines with their CR LF, gathered into large pieces
    constexpr std::size_t kChunk = 1 << 20;
    const auto flushRun = [&] {
        if (runEnd > runStart)
            out(bytes.substr(runStart, runEnd - runStart));
        runStart = runEnd = 0;
    };
    const auto flushChunk = [&] {
        if (!chunk.empty())
            out(chunk);
        chunk.clear();
    };
    for (const LineSpan& line : lines_) {
        const std::size_t end = line.start + line.length;
        if (bytes.substr(end, 2) == "\r\n") {
            flushChunk();
            if (runEnd != line.start || runEnd == runStart) {
                flushRun();
                runStart = line.start;
            }
            runEnd = end + 2;
            continue;
        }
        flushRun();
        if (chunk.size() + line.length + 2 > kChunk)
            flushChunk();
        chunk.append(bytes, line.start, line.length);
        chunk += "\r\n";
    }
    flushRun();
    flushChunk();
}

void SaveScriptLines(ScriptDocument& document, const std::string& path, const WriteLayer& layer)
{
    AtomicFileWriter writer(path, layer);
    document.WriteFileBytes([&](std::string_view piece) { writer.Write(piece); });
    writer.Commit();
    document.MarkSaved();
}

}  // namespace brevok
