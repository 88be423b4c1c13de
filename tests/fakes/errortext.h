#pragma once
// The text of the AppError that `f` raises, or "no error".
#include "core/error.h"

#include <functional>
#include <string>

namespace zibbles::testing {

inline std::string errorOf(const std::function<void()> &f)
{
    try {
        f();
    } catch (const AppError &e) {
        return e.what();
    }
    return "no error";
}

} // namespace zibbles::testing
