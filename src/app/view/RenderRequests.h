#pragma once

// The four request slots through which the user-interface thread talks to
// the render thread. Each read or write takes the slots' lock for just that
// access; waiting is done by spinning on repeated reads.

#include "platform/Lock.h"

#include <atomic>
#include <cstdint>

enum RenderRequestSlot : int {
    PauseRender = 1,
    Resize = 2,
    SaveImage = 3,
    Print = 4,
};

enum RenderRequestValue : std::int32_t {
    Idle = 0,
    Requested = 1,
    Acknowledged = 2, // the render thread is serving the request, or holding
};

class RenderRequests {
public:
    void SetRenderRequest(int slot, std::int32_t value);
    std::int32_t GetRenderRequest(int slot);
    // True when any slot is not Idle.
    bool AnyPending();

    // Spins until the slot reads `value`. Gives up (false) as soon as
    // `alive` reads false, so nobody waits for a thread that has ended.
    bool WaitFor(int slot, std::int32_t value, const std::atomic<bool>& alive);

private:
    Lock lock_;
    std::int32_t slots_[5] = {0, 0, 0, 0, 0}; // indexed 1 to 4
};
