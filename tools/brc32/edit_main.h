// brc32's editing mode: `brc32 PROGRAM --option ...`, rcedit's command line and our own.
#pragma once

#include <string>
#include <vector>

/// Runs an editing call (the arguments after brc32's own name) and returns the exit code:
/// 0 on success, 1 when a step failed (the program untouched), 2 for a wrong command line.
int RunEditMode(const std::vector<std::string>& arguments);
