// Import from Program: a program's resources taken out into the working folder, one line
// each in the list, as Add File writes them.
#include "workbench/workbench.h"

#include "rules/errors.h"
#include "platform/files.h"
#include "rules/paths.h"
#include "resedit/resource_editor.h"
#include "resedit/resource_extract.h"
#include "script/resource_line.h"

namespace brevok {

namespace {

constexpr std::string_view kImportDialogTitle = "Select program to import resources from";
constexpr std::string_view kImportFilter = "Programs (*.EXE;*.DLL)|*.EXE;*.DLL|All Files (*.*)|*.*";

}  // namespace

void Workbench::ImportProgram()
{
    if (!ChooseExistingFile(kImportDialogTitle, kImportFilter))
        return;
    const std::string program = cdgFileDialog_.fileName;
    const std::string folder = settings_.WorkingFolder.empty() ? FolderPart(settings_.ScriptPath)
                                                              : settings_.WorkingFolder;
    Parsed<std::unique_ptr<ResourceEditor>> editor = ResourceEditor::Open(ReadFileBytes(program));
    if (!editor)
        throw Error("Cannot import resources from " + program + ": " + editor.error);
    const Extraction done = ExtractResources((*editor)->Resources(), folder, FilePart(program), ExtractStyle::FilesOnly);
    for (const ExtractedItem& item : done.items) {
        // A resource whose name or type is not a plain word stays a file the user can add by hand.
        if (!item.file.empty() && !item.nameWord.empty() && !item.typeWord.empty())
            document_.Append(BuildResourceLine(item.nameWord, item.typeWord, EnsureTrailingBackslash(folder) + item.file));
    }
}

}  // namespace brevok
