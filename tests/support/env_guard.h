// Sets an environment variable for the life of a test scope and restores it afterwards.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>

namespace brevok::testing {

class EnvGuard {
public:
    /// Sets `name` to `value`, or removes it when `value` is nullopt.
    EnvGuard(std::string name, std::optional<std::string> value) : name_(std::move(name))
    {
        if (const char* old = std::getenv(name_.c_str()))
            old_ = old;
        Set(value);
    }
    ~EnvGuard() { Set(old_); }
    EnvGuard(const EnvGuard&) = delete;
    EnvGuard& operator=(const EnvGuard&) = delete;

private:
    void Set(const std::optional<std::string>& value) const
    {
#ifdef _WIN32
        // The C runtime's own environment, which getenv reads; "" removes the variable.
        _putenv_s(name_.c_str(), value ? value->c_str() : "");
#else
        if (value)
            setenv(name_.c_str(), value->c_str(), 1);
        else
            unsetenv(name_.c_str());
#endif
    }

    std::string name_;
    std::optional<std::string> old_;
};

}  // namespace brevok::testing
