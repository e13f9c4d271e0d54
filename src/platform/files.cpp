// File services shared by every system: the buffering of an atomic save.
#include "platform/files.h"

#include "rules/errors.h"

namespace brevok {

const WriteLayer& SystemWriteLayer()
{
    static const WriteLayer layer;
    return layer;
}

AtomicFileWriter::~AtomicFileWriter()
{
    if (!committed_)
        Abandon();
}

void AtomicFileWriter::Write(std::string_view bytes)
{
    if (inPlace_) {
        buffer_.append(bytes);
        return;
    }
    if (buffer_.size() + bytes.size() > kBufferSize)
        FlushBuffer();
    if (bytes.size() >= kBufferSize) {
        if (!layer_.WriteAll(fd_, bytes.data(), bytes.size())) {
            Abandon();
            throw StreamWriteError();
        }
        return;
    }
    buffer_.append(bytes);
}

void AtomicFileWriter::FlushBuffer()
{
    if (buffer_.empty())
        return;
    if (!layer_.WriteAll(fd_, buffer_.data(), buffer_.size())) {
        Abandon();
        throw StreamWriteError();
    }
    buffer_.clear();
}

void AtomicFileWriter::Commit()
{
    if (inPlace_) {
        CommitInPlace();
        return;
    }
    if (fd_ < 0)
        throw StreamWriteError();
    FlushBuffer();
    if (!layer_.Sync(fd_)) {
        Abandon();
        throw StreamWriteError();
    }
    const int fd = fd_;
    fd_ = -1;
    if (!CloseDescriptor(fd)) {
        Abandon();
        throw StreamWriteError();
    }
    if (!layer_.Rename(temp_, target_)) {
        Abandon();
        throw CannotCreateFile(path_);
    }
    committed_ = true;
}

void AtomicFileWriter::Abandon() noexcept
{
    if (fd_ >= 0) {
        CloseDescriptor(fd_);
        fd_ = -1;
    }
    if (!temp_.empty()) {
        DeleteFileQuietly(temp_);
        temp_.clear();
    }
}

void WriteFileAtomically(const std::string& path, std::string_view data, const WriteLayer& layer)
{
    AtomicFileWriter writer(path, layer);
    writer.Write(data);
    writer.Commit();
}

}  // namespace brevok
