// libFuzzer target: the resource-script tokenizer, parser and writer on hostile text (as the
// preprocessor leaves it), in both code pages.
#include <cstddef>
#include <cstdint>
#include <string>

#include "rccompiler/rc_parser.h"
#include "rccompiler/rc_tokens.h"
#include "rccompiler/rc_records.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text = brevok::ResourceScriptText(std::string(reinterpret_cast<const char*>(data), size));
    const brevok::Parsed<std::vector<brevok::RcToken>> tokens = brevok::TokenizeScript(text);
    if (!tokens) {
        if (tokens.error.empty() || tokens.line == 0)
            __builtin_trap();
        return 0;
    }
    const brevok::RcParse parsed = brevok::ParseResourceScript(*tokens);
    // Every error and every statement names a line of the text.
    std::size_t lines = 1;
    for (char c : text)
        lines += c == '\n';
    for (const brevok::Diagnostic& error : parsed.errors)
        if (error.line == 0 || error.line > lines || error.text.empty())
            __builtin_trap();
    for (int codePage : {1252, 65001}) {
        const brevok::RcRecords written = brevok::MakeRecords(parsed.resources, codePage, 0x409);
        for (const brevok::Record& statement : written.records)
            if (statement.line == 0 || statement.line > lines)
                __builtin_trap();
    }
    return 0;
}
