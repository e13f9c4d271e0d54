// Helpers for tests of saves and failures: the text of the Error an action throws, a write
// layer that fails the chosen step of a save, and the names in a folder.
#pragma once

#include "rules/errors.h"
#include "platform/files.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace brevok::testing {

/// The message of the brevok::Error that `action` throws, or "(no error)".
inline std::string ErrorText(const std::function<void()>& action)
{
    try {
        action();
    } catch (const Error& e) {
        return e.what();
    }
    return "(no error)";
}

/// Fails one step of every save made through it: writes (after `writesBeforeFault` good
/// ones, counted over the layer's life), the flush to the device, or the final rename.
class FaultyWriteLayer : public WriteLayer {
public:
    enum class Step { None, Write, Sync, Rename };
    explicit FaultyWriteLayer(Step step, int writesBeforeFault = 0) : step_(step), writesLeft_(writesBeforeFault) { }

    bool WriteAll(int fd, const char* data, std::size_t size) const override
    {
        if (step_ == Step::Write && writesLeft_-- <= 0) {
            errno = ENOSPC;
            return false;
        }
        return WriteLayer::WriteAll(fd, data, size);
    }
    bool Sync(int fd) const override { return step_ != Step::Sync && WriteLayer::Sync(fd); }
    bool Rename(const std::string& from, const std::string& to) const override
    {
        return step_ != Step::Rename && WriteLayer::Rename(from, to);
    }

private:
    Step step_;
    mutable int writesLeft_;
};

/// The names of the entries of `folder`, sorted.
inline std::vector<std::string> NamesIn(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace brevok::testing
