// The streaming .res writer: a header is written with a zero data size, which is filled in
// when its record ends.
#include "rccompiler/res_writer.h"

#include "rules/errors.h"
#include "platform/system_text.h"

namespace brevok {

ResWriter::ResWriter(std::string path) : path_(std::move(path))
{
    out_.open(SystemPath(path_), std::ios::binary | std::ios::trunc);
    Check();
    Append(WriteResOpeningRecord());
}

void ResWriter::Check()
{
    if (!out_)
        throw CannotWriteFile(path_);
}

void ResWriter::BeginRecord(const ResRecord& record)
{
    headerStart_ = offset_;
    Append(WriteResRecordHeader(record, 0));
    dataStart_ = offset_;
}

void ResWriter::Append(std::string_view bytes)
{
    out_.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    Check();
    offset_ += bytes.size();
}

void ResWriter::EndRecord()
{
    const std::uint64_t size = offset_ - dataStart_;
    if (size > 0xFFFFFFFFu)
        throw Error("the resource takes " + std::to_string(size) + " bytes, more than a resource file can hold (4 GB)");
    char field[4];
    for (int i = 0; i < 4; ++i)
        field[i] = static_cast<char>((size >> (8 * i)) & 0xFF);
    out_.seekp(static_cast<std::streamoff>(headerStart_));
    out_.write(field, 4);
    out_.seekp(static_cast<std::streamoff>(offset_));
    Check();
    static const char zeros[4] = {};
    Append(std::string_view(zeros, (4 - offset_ % 4) % 4));
}

void ResWriter::Finish()
{
    out_.close();
    Check();
}

}  // namespace brevok
