// Test helper: resource scripts with version information, and ELF files carrying a .res
// image in their ".rsrc" section, built with llvm-rc, cc and objcopy at test time.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "support/pe_fixtures.h"

namespace brevok::version_fixtures {

using KeyValues = std::vector<std::pair<std::string, std::string>>;

/// The eight standard keys of a test file, in table order.
inline KeyValues EightKeys() {
    return {{"CompanyName", "Halvane"},          {"FileDescription", "Test program"},
            {"FileVersion", "2.3.4.5"},          {"InternalName", "tester"},
            {"LegalCopyright", "(C) Halvane"},   {"OriginalFilename", "tester.exe"},
            {"ProductName", "Brevok Test"},      {"ProductVersion", "1.0.0.0"}};
}

/// One string table of a VERSIONINFO statement.
struct Table {
    std::string name;  // "080904E4"
    KeyValues values;
};

/// A VERSIONINFO statement with the given tables and translation pairs ("0x0809, 0x04E4").
inline std::string VersionScript(const std::vector<Table>& tables, const std::string& translation,
                                 const std::string& head = "1 VERSIONINFO") {
    std::string text = head + "\nFILEVERSION 2,3,4,5\nPRODUCTVERSION 1,0,0,0\nBEGIN\n  BLOCK \"StringFileInfo\"\n  BEGIN\n";
    for (const Table& table : tables) {
        text += "    BLOCK \"" + table.name + "\"\n    BEGIN\n";
        for (const auto& [key, value] : table.values)
            text += "      VALUE \"" + key + "\", \"" + value + "\"\n";
        text += "    END\n";
    }
    text += "  END\n";
    if (!translation.empty())
        text += "  BLOCK \"VarFileInfo\"\n  BEGIN\n    VALUE \"Translation\", " + translation + "\n  END\n";
    return text + "END\n";
}

/// The usual test script: one table 080904E4 with `values`, translation 0x0809/0x04E4.
inline std::string UkScript(const KeyValues& values) {
    return VersionScript({{"080904E4", values}}, "0x0809, 0x04E4");
}

/// A small Linux program (built by cc) with `resFile` added as its ".rsrc" section.
inline std::string BuildElfWithResources(const std::string& dir, const std::string& name, const std::string& resFile) {
    const std::string source = dir + "/" + name + ".c";
    const std::string plain = dir + "/" + name + "_plain";
    const std::string program = dir + "/" + name;
    fixtures::WriteFixtureFile(source, "int main(void) { return 0; }\n");
    fixtures::RunFixtureCommand("cc '" + source + "' -o '" + plain + "'");
    fixtures::RunFixtureCommand("objcopy --add-section .rsrc='" + resFile + "' '" + plain + "' '" + program + "'");
    return program;
}

/// An ELF object of the given BFD target ("elf32-big", "elf64-little", ...) whose ".rsrc"
/// section holds `resFile`.
inline std::string ElfObjectWithResources(const std::string& dir, const std::string& name, const std::string& resFile,
                                          const std::string& bfdTarget) {
    const std::string object = dir + "/" + name + ".o";
    fixtures::RunFixtureCommand("objcopy -I binary -O " + bfdTarget + " --rename-section .data=.rsrc '" + resFile +
                                "' '" + object + "'");
    return object;
}

}  // namespace brevok::version_fixtures
