// A launcher that records what it would start instead of starting it.
#pragma once

#include "platform/process.h"

#include <vector>

namespace brevok::testing {

/// Works out each start exactly as the system's runners do (splitting, quoting, program
/// lookup, the batch interpreter) and records it; a start that would run reports a process
/// that ended at once.
class PrintingLauncher : public ProcessLauncher {
public:
    /// Every start, oldest first.
    std::vector<LaunchRecord> launches;

protected:
    RunOutcome Execute(const LaunchPlan& plan, const LaunchHooks&) override
    {
        launches.push_back(plan.record);
        return {};
    }
};

}  // namespace brevok::testing
