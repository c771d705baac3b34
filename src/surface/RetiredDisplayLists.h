#pragma once

// Display lists of surfaces that are gone. Surfaces are destroyed on the
// user-interface thread, but their lists belong to the render thread's
// OpenGL context: the names wait here until that thread deletes them.

#include "platform/Lock.h"

#include <cstdint>
#include <vector>

class RetiredDisplayLists {
public:
    // A list name to delete; -1 (no list) is ignored.
    void Retire(std::int32_t list);
    // Every name retired so far, leaving none (render thread).
    std::vector<std::int32_t> Take();

private:
    Lock lock_;
    std::vector<std::int32_t> lists_;
};
