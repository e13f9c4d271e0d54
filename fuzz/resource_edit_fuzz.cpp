// libFuzzer target: the edit path on damaged programs. Every edit of brc32's command line is
// made on the image in memory, the image laid out, and what was laid out must open again with
// the edits in it; the version resource and the string blocks it holds are read and listed.
#include <cstddef>
#include <cstdint>
#include <string>

#include "image/pe_image.h"
#include "resedit/resource_editor.h"
#include "resedit/string_block.h"
#include "resedit/version_tree.h"

namespace {

// A 1 x 1 icon file, 32 bits.
std::string TinyIcon()
{
    std::string image(48, '\0');
    image[0] = 40, image[4] = 1, image[8] = 2, image[12] = 1, image[14] = 32;
    std::string file("\0\0\1\0\1\0\1\1\0\0\1\0\x20\0\x30\0\0\0\x16\0\0\0", 22);
    return file + image;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    // The version and string readers take any bytes.
    if (auto tree = brevok::VersionTree::Parse(bytes)) {
        (void)tree->String("CompanyName");
        tree->SetString("CompanyName", "x", 0x409);
        (void)tree->SetFixedVersion(false, {1, 2, 3, 4});
        if (auto written = tree->Write())
            (void)brevok::VersionTree::Parse(*written);
    }
    (void)brevok::WriteStringBlock(brevok::ReadStringBlock(bytes));

    auto editor = brevok::ResourceEditor::Open(bytes);
    if (!editor)
        return 0;
    brevok::ResourceEditor& e = **editor;
    (void)e.VersionString("ProductName");
    (void)e.ResourceString("1");
    const bool edited = e.SetIcon(TinyIcon()) && e.SetVersionString("ProductName", "fuzz") &&
                        e.SetVersionNumber(false, "1.2.3.4") && e.SetResourceString("17", "fuzz") &&
                        e.SetExecutionLevel("asInvoker") &&
                        e.SetResource(brevok::ResId::Name(u"FUZZ"), brevok::ResId::Ordinal(1), "payload", 0x409);
    if (!edited)
        return 0;
    (void)e.RemoveResource(brevok::ResId::Ordinal(brevok::kRtGroupIcon), brevok::ResId::Ordinal(7), std::nullopt);
    auto bound = e.Build();
    if (!bound)
        return 0;
    // What was written opens again and holds the edits.
    auto again = brevok::ResourceEditor::Open(bound->image.Joined());
    if (!again || !(*again)->VersionString("ProductName") || *(*again)->VersionString("ProductName") != "fuzz" ||
        !(*again)->ResourceString("17"))
        __builtin_trap();
    return 0;
}
