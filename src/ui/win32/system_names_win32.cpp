// Names from the system in the window's code page, or the box that refuses them.
#include "ui/win32/system_names.h"

#include "platform/wide_text.h"
#include "workbench/dialogs.h"

namespace brevok::win32 {

TakenName TakeSystemName(std::wstring_view name, unsigned codePage)
{
    if (std::optional<std::string> text = ExactCodePageText(name, codePage))
        return {std::move(text), {}};
    return {std::nullopt, "The name\r" + ShownCodePageText(name, codePage) + "\rhas characters that Windows's code page " +
                              std::to_string(codePage) +
                              " cannot hold on this Windows, so the compiler cannot be given it.\r\r"
                              "Rename the file or folder using only the characters of that code page, or use "
                              "Windows 10 version 1903 or later, where every name can be used."};
}

std::optional<std::string> TakeNameOrTell(std::wstring_view name, Dialogs& dialogs)
{
    TakenName taken = TakeSystemName(name, ProgramCodePage());
    if (!taken.name)
        dialogs.MessageBox(BoxKind::Error, taken.refusal, BoxButtons::Ok);
    return std::move(taken.name);
}

}  // namespace brevok::win32
