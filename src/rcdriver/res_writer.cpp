// The streaming .res writer: headers are written with a zero data size, patched when the
// record ends (in the buffer, or in the file once written out).
#include "rcdriver/res_writer.h"

#include "platform/errors.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace brevok {

namespace {

constexpr std::size_t kBufferSize = std::size_t{1} << 20;

bool WriteAll(int fd, const char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t n = write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

ResWriter::ResWriter(std::string path) : path_(std::move(path))
{
    fd_ = open(path_.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd_ < 0)
        Fail(errno);
    buffer_.reserve(kBufferSize);
    Append(WriteResOpeningRecord());
}

ResWriter::~ResWriter()
{
    if (fd_ >= 0)
        close(fd_);
}

void ResWriter::Fail(int error) const
{
    throw Error("Cannot write file " + path_ + ": " + std::strerror(error));
}

void ResWriter::Flush()
{
    if (!WriteAll(fd_, buffer_.data(), buffer_.size()))
        Fail(errno);
    bufferStart_ += buffer_.size();
    buffer_.clear();
}

void ResWriter::BeginRecord(const ResRecord& record)
{
    headerStart_ = offset_;
    const std::string header = WriteResRecordHeader(record, 0);
    Append(header);
    dataStart_ = offset_;
}

void ResWriter::Append(std::string_view bytes)
{
    if (buffer_.size() + bytes.size() > kBufferSize)
        Flush();
    if (bytes.size() >= kBufferSize) {
        if (!WriteAll(fd_, bytes.data(), bytes.size()))
            Fail(errno);
        bufferStart_ += bytes.size();
    } else {
        buffer_.append(bytes);
    }
    offset_ += bytes.size();
}

void ResWriter::EndRecord()
{
    const std::uint64_t size = RecordSize();
    if (size > 0xFFFFFFFFu)
        throw Error("the resource takes " + std::to_string(size) + " bytes, more than a resource file can hold (4 GB)");
    char field[4];
    for (int i = 0; i < 4; ++i)
        field[i] = static_cast<char>((size >> (8 * i)) & 0xFF);
    if (headerStart_ >= bufferStart_) {
        std::memcpy(buffer_.data() + (headerStart_ - bufferStart_), field, 4);
    } else if (pwrite(fd_, field, 4, static_cast<off_t>(headerStart_)) != 4) {
        Fail(errno);
    }
    static const char zeros[4] = {};
    Append(std::string_view(zeros, (4 - offset_ % 4) % 4));
}

void ResWriter::Finish()
{
    Flush();
    if (close(fd_) != 0) {
        fd_ = -1;
        Fail(errno);
    }
    fd_ = -1;
}

}  // namespace brevok
