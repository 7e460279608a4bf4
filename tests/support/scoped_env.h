#pragma once

#include <cstdlib>
#include <optional>
#include <string>

namespace zpak::test {

// Sets (or, with nothing, removes) an environment variable for one scope.
class ScopedEnv {
public:
    ScopedEnv(std::string name, const std::optional<std::string>& value) : name_(std::move(name))
    {
        if (const char* old = std::getenv(name_.c_str()))
            saved_ = old;
        Set(value);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;
    ~ScopedEnv() { Set(saved_); }

private:
    void Set(const std::optional<std::string>& value) const
    {
#ifdef _WIN32
        // An empty value removes the variable; the programs the test starts see the change too.
        ::_putenv_s(name_.c_str(), value ? value->c_str() : "");
#else
        if (value)
            ::setenv(name_.c_str(), value->c_str(), 1);
        else
            ::unsetenv(name_.c_str());
#endif
    }

    std::string name_;
    std::optional<std::string> saved_;
};

}  // namespace zpak::test
