// The version library: GetFileVersionInfoSizeA, GetFileVersionInfoA and VerQueryValueA.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace brevok {

/// The three functions of the Windows version library that the version reader uses, with
/// their Windows meanings. The implementation here reads files itself; a Windows build can
/// put version.dll behind the same interface.
class VersionLibrary {
public:
    virtual ~VersionLibrary() = default;

    /// How many bytes GetFileVersionInfoA needs for the version information of `fileName`;
    /// 0 when the file cannot be read or carries no version resource.
    virtual std::uint32_t GetFileVersionInfoSizeA(const std::string& fileName) const = 0;

    /// Fills `data` (of `length` bytes) with the version information of `fileName`. False
    /// when the file has none any more, or when `length` is below the size
    /// GetFileVersionInfoSizeA reported (nothing is written then).
    virtual bool GetFileVersionInfoA(const std::string& fileName, std::uint32_t length, void* data) const = 0;

    /// Looks `subBlock` up in `block`, which GetFileVersionInfoA filled: "\" for the fixed
    /// file information, "\VarFileInfo\Translation" for the translation array,
    /// "\StringFileInfo\<language><code page>\<key>" for a string. On success `*buffer`
    /// points into `block` and `*length` is the stored length (characters for text, bytes
    /// otherwise); text is handed out zero-terminated in the system's code page (UTF-8 here),
    /// converted into the room GetFileVersionInfoA reserved. False, with `*length` 0, when
    /// there is no such entry.
    virtual bool VerQueryValueA(void* block, const std::string& subBlock, void** buffer,
                                std::uint32_t* length) const = 0;
};

/// The version library over the files themselves: PE images (their RT_VERSION resource) and
/// ELF programs (the .res image in their ".rsrc" section).
///
/// Block layout written by GetFileVersionInfoA, for a version resource of wLength L and
/// A = L rounded up to 4: the resource's L bytes, zeros up to A, the 4-byte mark "BVA8",
/// then 2 * A bytes where VerQueryValueA puts text converted to UTF-8. A string at offset
/// p of the block is converted to offset 3p/2 of that area: UTF-8 takes at most 3 bytes
/// where UTF-16 takes 2, so the conversions of different strings never overlap and a text
/// handed out earlier stays valid. The size reported is therefore 3 * A + 4.
class FileVersionLibrary final : public VersionLibrary {
public:
    std::uint32_t GetFileVersionInfoSizeA(const std::string& fileName) const override;
    bool GetFileVersionInfoA(const std::string& fileName, std::uint32_t length, void* data) const override;
    bool VerQueryValueA(void* block, const std::string& subBlock, void** buffer, std::uint32_t* length) const override;
};

/// The size FileVersionLibrary reports for a version resource of these bytes: 3 * A + 4 as
/// above; 0 when the bytes are too short to hold a node header.
std::uint32_t VersionBufferSize(std::string_view resource);

/// Lays out `resource` in `data` as FileVersionLibrary::GetFileVersionInfoA does. A wLength
/// beyond the resource is cut to it in the copy. False, writing nothing, when `length` is
/// below VersionBufferSize(resource) or that is 0.
bool LayOutVersionBuffer(std::string_view resource, std::uint32_t length, void* data);

/// The version library of the system the program runs on.
const VersionLibrary& SystemVersionLibrary();

}  // namespace brevok
