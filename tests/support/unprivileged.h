// Runs part of a test with the effective identity of an unprivileged user, so that file
// permissions apply even when the tests run as root (as they do in CI).
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <string>

namespace brevok::testing {

/// While alive, a root process acts as "nobody" (uid and gid 65534) for permission checks;
/// for anyone else it changes nothing. Folders the unprivileged side must walk through have to
/// be opened for it first (see OpenForEveryone).
class UnprivilegedScope {
public:
    UnprivilegedScope()
    {
        if (geteuid() != 0)
            return;
        active_ = setegid(kNobody) == 0 && seteuid(kNobody) == 0;
    }
    ~UnprivilegedScope()
    {
        if (geteuid() == kNobody) {
            [[maybe_unused]] const int uid = seteuid(0);
            [[maybe_unused]] const int gid = setegid(0);
        }
    }
    UnprivilegedScope(const UnprivilegedScope&) = delete;
    UnprivilegedScope& operator=(const UnprivilegedScope&) = delete;

    /// False when the process is root but could not give up its rights.
    bool Ok() const { return active_ || geteuid() != 0; }

    static void OpenForEveryone(const std::string& folder) { chmod(folder.c_str(), 0755); }

private:
    static constexpr uid_t kNobody = 65534;
    bool active_ = false;
};

}  // namespace brevok::testing
