// What a live or desktop test does when it cannot run here: outside CI it skips and says
// why; under CI (CI=true) it fails, so a pipeline never passes by skipping.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <initializer_list>
#include <string>

namespace corvane::test {

inline bool UnderCi()
{
    const char* ci = std::getenv("CI");
    return ci && std::string(ci) == "true";
}

// The programs of `names` that are not on the PATH, as "Xvfb, xdotool"; empty if all are.
inline std::string MissingPrograms(std::initializer_list<const char*> names)
{
    std::string missing;
    for (const char* name : names)
        if (std::system(("command -v '" + std::string(name) + "' >/dev/null 2>&1").c_str()) != 0)
            missing += (missing.empty() ? "" : ", ") + std::string(name);
    return missing;
}

} // namespace corvane::test

// Leaves the current test: a failure under CI, a skip elsewhere; `reason` is streamed.
#define CORVANE_CANNOT_RUN(reason)                                                         \
    if (::corvane::test::UnderCi())                                                        \
        GTEST_FAIL() << "cannot run under CI: " << reason;                                 \
    else                                                                                   \
        GTEST_SKIP() << reason

// Leaves the current test (as above) unless every program named is on the PATH.
#define CORVANE_REQUIRE_PROGRAMS(...)                                                      \
    if (const std::string missing_ = ::corvane::test::MissingPrograms({__VA_ARGS__});      \
        !missing_.empty()) {                                                               \
        CORVANE_CANNOT_RUN("not installed: " << missing_);                                 \
    }
