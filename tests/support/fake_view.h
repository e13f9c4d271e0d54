// A window as the workbench sees it, for tests: what it was told to show, kept in members.
#pragma once

#include "workbench/workbench.h"
#include "workbench/workbench_view.h"

#include <optional>
#include <string>
#include <vector>

namespace brevok::testing {

/// Every call of the workbench is recorded in a member.
class FakeView : public WorkbenchView {
public:
    void Show(const WorkbenchState& shown) override { state = shown; }
    void SetMessages(std::span<const std::string> lines) override { messages.assign(lines.begin(), lines.end()); }
    void AddMessage(std::string_view line) override { messages.emplace_back(line); }
    std::optional<std::size_t> SelectedLine() const override { return selected; }
    void SelectLine(std::optional<std::size_t> line) override { selected = line; }
    void BeginBusy() override
    {
        ++busyDepth;
        ++busyShown;
    }
    void EndBusy() override { --busyDepth; }
    void Repaint() override { ++repaints; }
    void AddRunOutput(std::string_view bytes) override { runOutput.append(bytes); }
    void EndRunOutput() override { ++runOutputsClosed; }
    void SetAboutBoxFile(const std::string& path) override { aboutBoxFile = path; }
    void ShowAboutBox() override { ++aboutBoxes; }
    void OpenMakerLink(MakerLink link) override { links.push_back(link); }
    /// The window asks the workbench whether it may close, as a close request does.
    void Close() override
    {
        if (bench != nullptr && bench->MayClose())
            closed = true;
    }

    Workbench* bench = nullptr;
    WorkbenchState state;
    std::vector<std::string> messages;
    std::optional<std::size_t> selected;
    int busyDepth = 0;
    /// How often the busy cursor was shown.
    int busyShown = 0;
    int repaints = 0;
    std::string runOutput;
    int runOutputsClosed = 0;
    std::string aboutBoxFile;
    int aboutBoxes = 0;
    std::vector<MakerLink> links;
    bool closed = false;
};

}  // namespace brevok::testing
