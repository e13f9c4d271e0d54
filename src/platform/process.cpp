// What the runners share on every system: the plan of a start, worked out before it runs.
#include "platform/process.h"

#include "platform/command_line.h"
#include "platform/errors.h"
#include "platform/files.h"

namespace brevok {

namespace {

std::string QuoteUnlessEmpty(const std::string& text)
{
    return text.empty() ? text : QuoteArgument(text);
}

std::string BatchTextOf(const std::vector<std::string>& arguments)
{
    if (arguments.empty() || !IsBatchFile(arguments.front()))
        return {};
    try {
        return ReadFileBytes(arguments.front());
    } catch (const Error&) {
        return {};
    }
}

/// The plan's arguments, once their first has been looked up: `arguments` empty or starting
/// with an empty program means the program was not found.
LaunchPlan FinishPlan(LaunchPlan plan, const std::vector<std::string>& arguments, bool captureOutput)
{
    if (arguments.empty() || arguments.front().empty()) {
        plan.error = PlanError::ProgramNotFound;
        return plan;
    }
    plan.record.argv = LaunchArguments(arguments, captureOutput ? BatchEcho::On : BatchEcho::Off);
    plan.record.batchText = BatchTextOf(arguments);
    return plan;
}

}  // namespace

LaunchPlan PlanFileRun(const std::string& programText, const std::string& fileText, std::int32_t timeoutMs,
                       std::uint16_t showWindow, bool captureOutput)
{
    LaunchPlan plan;
    if (!FileExists(programText) && !FileExists(fileText)) {
        plan.error = PlanError::FileMissing;
        return plan;
    }
    // Each part is quoted when the splitting rules would break it apart; a plain path
    // stays as it is, so the line is then the program, a space and the file.
    plan.record.commandLine = QuoteUnlessEmpty(programText) + " " + QuoteUnlessEmpty(fileText);
    plan.record.showWindow = showWindow;
    plan.record.timeoutMs = timeoutMs;
    // The line above is what the runner reports; the arguments are taken from the texts
    // themselves, as a program name cannot carry every character through the splitting rules
    // (a double quote in a POSIX path).
    std::vector<std::string> arguments;
    for (const std::string* text : {&programText, &fileText}) {
        if (!text->empty())
            arguments.push_back(*text);
    }
    arguments.front() = FindProgram(arguments.front(), SystemSearchPlaces());
    return FinishPlan(std::move(plan), arguments, captureOutput);
}

LaunchPlan PlanCommandRun(const std::string& commandLine, std::uint16_t showWindow, std::int32_t timeoutMs,
                          bool captureOutput)
{
    LaunchPlan plan;
    plan.record.commandLine = commandLine;
    plan.record.showWindow = showWindow;
    plan.record.timeoutMs = timeoutMs;
    return FinishPlan(std::move(plan), SplitCommandWithProgram(commandLine), captureOutput);
}

std::string CreateProcessFailedText(const std::string& programText, const std::string& fileText, int code)
{
    return std::string(kCreateProcessFailedText) + programText + " " + fileText + " Error: " + std::to_string(code);
}

}  // namespace brevok
