// Writing a .res file record by record, each record's data streamed in as it is read.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>
#include <string_view>

#include "image/res_file.h"

namespace brevok {

/// Writes a 32-bit .res file (the empty opening record, then records aligned to 4 bytes) to
/// a file it opens; data go straight to the file, so the writer never holds a resource. A
/// failed write throws Error("Cannot write file PATH").
class ResWriter {
public:
    /// Opens `path` (which exists, empty) for writing and writes the opening record.
    explicit ResWriter(std::string path);

    /// Starts a record with the header fields of `record` (its data ignored).
    void BeginRecord(const ResRecord& record);
    /// Appends data to the open record.
    void Append(std::string_view bytes);
    /// Ends the open record: its data size goes into its header and the file is padded to
    /// 4 bytes. Throws Error when the data are 4 GB or more.
    void EndRecord();
    /// Writes out what is buffered and closes the file.
    void Finish();

private:
    void Check();

    std::string path_;
    std::ofstream out_;
    std::uint64_t offset_ = 0;  // bytes written so far
    std::uint64_t headerStart_ = 0;
    std::uint64_t dataStart_ = 0;
};

}  // namespace brevok
