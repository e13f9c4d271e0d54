// Finding the version resource of a file: a PE image's RT_VERSION resource, or the one in
// the .res image that an ELF file carries in its ".rsrc" section.
#pragma once

#include <string>

#include "rules/parsed.h"

namespace brevok {

/// The section of an ELF program that holds its resources as a .res image.
inline constexpr char kElfResourceSection[] = ".rsrc";

/// Reads the raw bytes of the version resource (a VS_VERSIONINFO block) of the file at
/// `path`. Among the resources of type RT_VERSION the one named 1 is taken, or the first
/// name when there is no 1; of its languages English (United States, 0x0409) first, then
/// neutral (0), then the first one. Only the headers and the resource section are read,
/// never the whole file. Fails with a reason when the file cannot be read, is neither a PE
/// nor an ELF file, is damaged, or carries no version resource.
Parsed<std::string> ReadVersionResource(const std::string& path);

}  // namespace brevok
