#pragma once
// Shared by the engine's tests.

#include "platform/db/Error.h"

#include <functional>

namespace dbtest {

// The engine error number that f raises; 0 when it raises none.
inline int errorOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const db::Error& e) {
        return e.number();
    }
    return 0;
}

} // namespace dbtest
