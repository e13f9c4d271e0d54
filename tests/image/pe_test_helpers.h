// Helpers of the PE tests: independent oracles (llvm-readobj, llvm-objdump, osslsigncode)
// and small builders of icons and resource scripts.
#pragma once

#include <cstdint>
#include <regex>
#include <sstream>
#include <string>

#include "support/pe_fixtures.h"

namespace brevok::petest {

using fixtures::RunFixtureCommand;

/// llvm-readobj's resource listing with everything that depends on placement masked: the
/// file name, table and entry offsets, the base address and the data RVAs.
inline std::string ResourceListing(const std::string& exe)
{
    const std::string raw = RunFixtureCommand("llvm-readobj --coff-resources '" + exe + "'");
    std::istringstream in(raw);
    std::string line;
    std::string out;
    bool started = false;
    static const std::regex masked("(Table Offset|Entry Offset|Base Table Address|DataRVA): .*");
    while (std::getline(in, line)) {
        if (line.find("Resources [") != std::string::npos)
            started = true;
        if (started)
            out += std::regex_replace(line, masked, "$1: *") + "\n";
    }
    return out;
}

/// A one-image .ico file (1x1, 32 bits) whose pixel is `colour`.
inline std::string IconFile(std::uint8_t colour)
{
    std::string image;
    auto put = [&image](std::uint64_t v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            image.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    };
    put(40, 4), put(1, 4), put(2, 4), put(1, 2), put(32, 2);
    for (int i = 0; i < 6; ++i)
        put(0, 4);
    put(colour, 1), put(colour, 1), put(0xFF, 1), put(0xFF, 1), put(0, 4);
    std::string file;
    std::swap(file, image);
    const std::string bitmap = file;
    image.clear();
    put(0, 2), put(1, 2), put(1, 2);
    put(1, 1), put(1, 1), put(0, 1), put(0, 1), put(1, 2), put(32, 2), put(bitmap.size(), 4), put(22, 4);
    return image + bitmap;
}

/// The value after `label` on a line of osslsigncode's report, or "" when absent.
inline std::string ReportValue(const std::string& report, const std::string& label)
{
    const auto at = report.find(label);
    if (at == std::string::npos)
        return {};
    const auto colon = report.find(':', at);
    const auto end = report.find('\n', colon);
    std::string value = report.substr(colon + 1, end - colon - 1);
    value.erase(0, value.find_first_not_of(' '));
    return value;
}

/// osslsigncode verify's report (it fails on an unsigned image; the report is kept).
inline std::string VerifyReport(const std::string& exe)
{
    try {
        return RunFixtureCommand("osslsigncode verify '" + exe + "'");
    } catch (const std::runtime_error& e) {
        return e.what();
    }
}

}  // namespace brevok::petest
