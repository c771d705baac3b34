#include "view/RenderRequests.h"

#include <thread>

void RenderRequests::SetRenderRequest(int slot, std::int32_t value)
{
    if (slot < PauseRender || slot > Print) return;
    LockGuard guard(lock_);
    slots_[slot] = value;
}

std::int32_t RenderRequests::GetRenderRequest(int slot)
{
    if (slot < PauseRender || slot > Print) return Idle;
    LockGuard guard(lock_);
    return slots_[slot];
}

bool RenderRequests::AnyPending()
{
    LockGuard guard(lock_);
    for (int slot = PauseRender; slot <= Print; ++slot)
        if (slots_[slot] != Idle) return true;
    return false;
}

bool RenderRequests::WaitFor(int slot, std::int32_t value, const std::atomic<bool>& alive)
{
    while (GetRenderRequest(slot) != value) {
        if (!alive.load()) return false;
        std::this_thread::yield();
    }
    return true;
}
