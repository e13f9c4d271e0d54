// A Shell that records every "open" request instead of starting a browser or mail program.
#pragma once

#include "workbench/shell.h"

#include <string>
#include <vector>

namespace brevok::testing {

class RecordingShell : public Shell {
public:
    struct Call {
        std::string target;
        int showCommand = 0;
    };

    void Open(const std::string& target, int showCommand) override { calls.push_back({target, showCommand}); }

    std::vector<Call> calls;
};

}  // namespace brevok::testing
