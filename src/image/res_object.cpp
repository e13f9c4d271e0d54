// Turning a .res file into a COFF object: the resource directory in .rsrc$01 with one
// relocation per data entry, the data in .rsrc$02, as llvm-cvtres lays them out.
#include "image/res_object.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <numeric>
#include <vector>

#include "image/res_file.h"
#include "image/resource_section.h"
#include "platform/files.h"
#include "platform/read_only_file.h"
#include "rules/errors.h"
#include "rules/hex.h"
#include "rules/little_endian.h"

namespace brevok {

namespace {

constexpr std::uint64_t kFileHeaderSize = 20;
constexpr std::uint64_t kSectionHeaderSize = 40;
constexpr std::uint64_t kRelocationSize = 10;
constexpr std::uint64_t kSymbolSize = 18;
constexpr std::uint32_t kFixedSymbols = 5;  // @feat.00, two section symbols and their aux records
constexpr std::uint32_t kSectionCharacteristics = 0x40000040;  // initialized data, readable
constexpr std::uint16_t kFile32BitMachine = 0x0100;
constexpr std::uint32_t kFeatures = 0x11;  // as llvm-cvtres marks its objects
constexpr std::uint16_t kSymbolAbsolute = 0xFFFF;
constexpr std::uint8_t kStorageStatic = 3;
constexpr std::uint64_t kCopyPiece = std::uint64_t{1} << 20;
constexpr std::uint64_t kLimit = 0xFFFFFFFF;

std::uint16_t RelocationType(CoffMachine machine)
{
    switch (machine) {
    case CoffMachine::I386: return 0x0007;   // IMAGE_REL_I386_DIR32NB
    case CoffMachine::X64: return 0x0003;    // IMAGE_REL_AMD64_ADDR32NB
    case CoffMachine::Arm64: return 0x0002;  // IMAGE_REL_ARM64_ADDR32NB
    case CoffMachine::ArmNt: return 0x0002;  // IMAGE_REL_ARM_ADDR32NB
    }
    return 0;
}

void AppendName(std::string& out, std::string_view name)
{
    std::string field(name);
    field.resize(8, '\0');
    out += field;
}

void AppendSectionHeader(std::string& out, std::string_view name, std::uint64_t size, std::uint64_t data,
                         std::uint64_t relocations, std::uint64_t relocationCount)
{
    AppendName(out, name);
    Append32(out, 0);  // VirtualSize
    Append32(out, 0);  // VirtualAddress
    Append32(out, static_cast<std::uint32_t>(size));
    Append32(out, static_cast<std::uint32_t>(data));
    Append32(out, static_cast<std::uint32_t>(relocations));
    Append32(out, 0);  // PointerToLinenumbers
    Append16(out, static_cast<std::uint16_t>(relocationCount));
    Append16(out, 0);
    Append32(out, kSectionCharacteristics);
}

void AppendSymbol(std::string& out, std::string_view name, std::uint32_t value, std::uint16_t section,
                  std::uint8_t auxCount)
{
    AppendName(out, name);
    Append32(out, value);
    Append16(out, section);
    Append16(out, 0);  // type
    out.push_back(static_cast<char>(kStorageStatic));
    out.push_back(static_cast<char>(auxCount));
}

void AppendSectionSymbol(std::string& out, std::string_view name, std::uint16_t section, std::uint64_t size,
                         std::uint64_t relocationCount)
{
    AppendSymbol(out, name, 0, section, 1);
    Append32(out, static_cast<std::uint32_t>(size));
    Append16(out, static_cast<std::uint16_t>(relocationCount));
    Append16(out, 0);          // line numbers
    Append32(out, 0);          // checksum
    Append16(out, 0);          // associated section
    out.append(4, '\0');       // selection and padding
}

std::string ResourceSymbol(std::size_t index)
{
    char name[16];
    std::snprintf(name, sizeof name, "$R%06zX", index);
    return name;
}

std::string Describe(const ResourceSlot& slot)
{
    return DescribeResType(slot.type) + " " + DescribeResId(slot.name) + " (language " + Hex(slot.language) + ")";
}

// The same type, name and language given twice: the linker would have to pick one.
Status CheckUnique(const std::vector<ResourceSlot>& slots)
{
    std::vector<std::size_t> order(slots.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    auto compare = [&](std::size_t x, std::size_t y) {
        if (int c = CompareResIds(slots[x].type, slots[y].type); c != 0)
            return c;
        if (int c = CompareResIds(slots[x].name, slots[y].name); c != 0)
            return c;
        return slots[x].language == slots[y].language ? 0 : (slots[x].language < slots[y].language ? -1 : 1);
    };
    std::stable_sort(order.begin(), order.end(), [&](std::size_t x, std::size_t y) { return compare(x, y) < 0; });
    for (std::size_t k = 1; k < order.size(); ++k) {
        if (compare(order[k - 1], order[k]) == 0)
            return Status::Fail("resource " + Describe(slots[order[k]]) + " is given twice (records " +
                                std::to_string(order[k - 1] + 1) + " and " + std::to_string(order[k] + 1) + ")");
    }
    return Status::Ok();
}

// Where each part of the object goes; every offset checked to fit its 32-bit field.
struct ObjectLayout {
    std::uint64_t treeAt = 0;
    std::uint64_t relocationsAt = 0;
    std::uint64_t dataAt = 0;
    std::uint64_t symbolsAt = 0;
    std::uint64_t symbolCount = 0;
};

Status PlanObject(const ResourceDirectory& directory, ObjectLayout& layout)
{
    if (directory.count() > 0xFFFF)
        return Status::Fail("the file holds " + std::to_string(directory.count()) +
                            " resources, more than an object's 16-bit relocation count can say (65535)");
    if (directory.largestTable() > 0xFFFF)
        return Status::Fail("a resource directory would hold " + std::to_string(directory.largestTable()) +
                            " entries of one kind, more than its 16-bit count can say");
    if (directory.longestName() > 0xFFFF)
        return Status::Fail("a resource name of " + std::to_string(directory.longestName()) +
                            " characters is longer than a resource directory can hold (65535)");
    layout.treeAt = kFileHeaderSize + 2 * kSectionHeaderSize;
    layout.relocationsAt = layout.treeAt + directory.tree().size();
    layout.dataAt = AlignUp(layout.relocationsAt + kRelocationSize * directory.count(), 8);
    layout.symbolsAt = layout.dataAt + directory.dataSize();
    layout.symbolCount = kFixedSymbols + directory.count();
    if (layout.symbolsAt + kSymbolSize * layout.symbolCount + 4 > kLimit)
        return Status::Fail("the object would take " + Hex(layout.symbolsAt + kSymbolSize * layout.symbolCount + 4) +
                            " bytes, more than its 32-bit offsets reach");
    return Status::Ok();
}

std::string Headers(const ResourceDirectory& directory, const ObjectLayout& layout, CoffMachine machine)
{
    std::string out;
    Append16(out, CoffMachineCode(machine));
    Append16(out, 2);  // sections
    Append32(out, 0);  // time stamp: none, so that the same .res gives the same object
    Append32(out, static_cast<std::uint32_t>(layout.symbolsAt));
    Append32(out, static_cast<std::uint32_t>(layout.symbolCount));
    Append16(out, 0);  // no optional header
    Append16(out, kFile32BitMachine);
    AppendSectionHeader(out, ".rsrc$01", directory.tree().size(), layout.treeAt, layout.relocationsAt,
                        directory.count());
    AppendSectionHeader(out, ".rsrc$02", directory.dataSize(), layout.dataAt, 0, 0);
    return out;
}

std::string Relocations(const ResourceDirectory& directory, CoffMachine machine)
{
    std::string out;
    for (std::size_t i = 0; i < directory.count(); ++i) {
        Append32(out, directory.entryOffset(i));
        Append32(out, static_cast<std::uint32_t>(kFixedSymbols + i));
        Append16(out, RelocationType(machine));
    }
    return out;
}

std::string Symbols(const ResourceDirectory& directory)
{
    std::string out;
    AppendSymbol(out, "@feat.00", kFeatures, kSymbolAbsolute, 0);
    AppendSectionSymbol(out, ".rsrc$01", 1, directory.tree().size(), directory.count());
    AppendSectionSymbol(out, ".rsrc$02", 2, directory.dataSize(), 0);
    for (std::size_t i = 0; i < directory.count(); ++i)
        AppendSymbol(out, ResourceSymbol(i), static_cast<std::uint32_t>(directory.dataOffset(i)), 2, 0);
    Append32(out, 4);  // the string table: its size alone
    return out;
}

// Copies `size` bytes at `offset` of the .res into the object, a piece at a time.
Status CopyData(const ReadOnlyFile& res, std::uint64_t offset, std::uint64_t size, AtomicFileWriter& writer)
{
    for (std::uint64_t done = 0; done < size;) {
        const std::uint64_t piece = std::min(kCopyPiece, size - done);
        auto bytes = res.ReadAt(offset + done, static_cast<std::size_t>(piece));
        if (!bytes)
            return Status::Fail("the data at offset " + Hex(offset + done) + " can no longer be read");
        writer.Write(*bytes);
        done += piece;
    }
    return Status::Ok();
}

}  // namespace

std::uint16_t CoffMachineCode(CoffMachine machine)
{
    switch (machine) {
    case CoffMachine::I386: return 0x014C;
    case CoffMachine::X64: return 0x8664;
    case CoffMachine::Arm64: return 0xAA64;
    case CoffMachine::ArmNt: return 0x01C4;
    }
    return 0;
}

Status WriteResObject(const std::string& resPath, const std::string& objectPath, CoffMachine machine)
{
    auto fail = [](const std::string& path, const std::string& what) { return Status::Fail(path + ": " + what); };
    const ReadOnlyFile res(resPath);
    if (!res.isOpen())
        return Status::Fail(CannotOpenFile(resPath).what());
    if (res.size() > kLimit)
        return fail(resPath, "the file takes " + Hex(res.size()) + " bytes; an object holds less than 4 GB of resources");
    Parsed<std::vector<ResRecordPlace>> records = ScanResFile(res);
    if (!records)
        return fail(resPath, records.error);
    std::vector<ResourceSlot> slots;
    slots.reserve(records->size());
    for (const ResRecordPlace& r : *records)
        slots.push_back({r.header.type, r.header.name, r.header.language, 0, r.dataSize});
    if (const Status unique = CheckUnique(slots); !unique)
        return fail(resPath, unique.error);
    const ResourceDirectory directory(std::move(slots), ResourceDirectory::Order::Given);
    ObjectLayout layout;
    if (const Status planned = PlanObject(directory, layout); !planned)
        return fail(resPath, planned.error);

    try {
        AtomicFileWriter writer(objectPath);
        writer.Write(Headers(directory, layout, machine));
        writer.Write(directory.tree());
        writer.Write(Relocations(directory, machine));
        writer.Write(std::string(layout.dataAt - layout.relocationsAt - kRelocationSize * directory.count(), '\0'));
        std::uint64_t pos = 0;
        for (std::size_t i : directory.dataOrder()) {
            const ResRecordPlace& r = (*records)[i];
            writer.Write(std::string(directory.dataOffset(i) - pos, '\0'));
            if (const Status copied = CopyData(res, r.dataOffset, r.dataSize, writer); !copied)
                return fail(resPath, copied.error);
            pos = directory.dataOffset(i) + r.dataSize;
        }
        writer.Write(std::string(directory.dataSize() - pos, '\0'));
        writer.Write(Symbols(directory));
        writer.Commit();
    } catch (const Error& e) {
        return Status::Fail(e.what());
    }
    return Status::Ok();
}

}  // namespace brevok
