// A launcher that records what it would start instead of starting it.
#pragma once

#include "platform/process.h"

#include <cerrno>
#include <string>
#include <vector>

namespace brevok::testing {

/// Works out each start exactly as the system's runners do (splitting, quoting, program
/// lookup, the batch interpreter) and records it; a start that would run reports a process
/// that ended at once.
class PrintingLauncher : public ProcessLauncher {
public:
    void RunFileAndWait(const std::string& programText, const std::string& fileText, std::int32_t timeoutMs,
                        std::uint16_t showWindow, std::string& resultText) override
    {
        const LaunchPlan plan = PlanFileRun(programText, fileText, timeoutMs, showWindow, CapturesOutput(showWindow));
        if (plan.error == PlanError::FileMissing) {
            resultText = kProcessFileMissingText;
            return;
        }
        if (plan.error == PlanError::ProgramNotFound) {
            resultText = CreateProcessFailedText(programText, fileText, ENOENT);
            return;
        }
        launches.push_back(plan.record);
        resultText = kRunOkText;
    }

    std::uint32_t RunCommandAndWait(const std::string& commandLine, std::uint16_t showWindow,
                                    std::int32_t timeoutMs) override
    {
        const LaunchPlan plan = PlanCommandRun(commandLine, showWindow, timeoutMs, CapturesOutput(showWindow));
        if (plan.error != PlanError::None)
            return ENOENT;
        launches.push_back(plan.record);
        return kWaitObject0;
    }

    /// Every start, oldest first.
    std::vector<LaunchRecord> launches;
};

}  // namespace brevok::testing
