// The one crossing between the program's text and the UTF-16 of the Windows wide calls
// (included by the *_win32.cpp files only).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace brevok {

/// The code page the program's text is in: UTF-8 (65001) unless the program says otherwise.
/// The window, an ANSI program, says its ANSI code page (which its manifest makes UTF-8 on
/// Windows 10 1903 and later).
void SetProgramCodePage(unsigned codePage);
unsigned ProgramCodePage();

/// The program's text as UTF-16; bytes the code page does not define become U+FFFD, which
/// names no file.
std::wstring WideText(std::string_view text);

/// UTF-16 from the system as the program's text. A character the program's code page cannot
/// hold becomes '?', which no file name holds either.
std::string ProgramText(std::wstring_view text);

/// UTF-16 in the program's code page when every character of it is held exactly (no
/// lookalike, no '?'); nothing when one is not.
std::optional<std::string> ExactProgramText(std::wstring_view text);

/// The same in a code page named by the caller.
std::optional<std::string> ExactCodePageText(std::wstring_view text, unsigned codePage);

/// UTF-16 as text for a person to read in `codePage`: each character the code page lacks is
/// a '?' (in UTF-8, which lacks only unpaired surrogates, U+FFFD), never a lookalike.
std::string ShownCodePageText(std::wstring_view text, unsigned codePage);

/// A line the tools wrote (they write UTF-8) as text in `codePage`: as it is where that is
/// UTF-8, or where the line is not well-formed UTF-8 (then it is taken to be in `codePage`
/// already); else converted, each character the code page lacks written as '?'.
std::string ToolOutputText(std::string_view line, unsigned codePage = ProgramCodePage());

}  // namespace brevok
