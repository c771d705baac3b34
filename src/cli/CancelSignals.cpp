#include "cli/CancelSignals.h"

#include <atomic>
#include <iterator>

namespace cli {

namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGPIPE};

// Stored by the handler: a lock-free atomic is safe to store from one.
std::atomic<bool> requested{false};
static_assert(std::atomic<bool>::is_always_lock_free);

void requestCancel(int) { requested.store(true); }

} // namespace

CancelSignals::CancelSignals()
{
    static_assert(std::size(kSignals) == kSignalCount);
    requested.store(false);
    struct sigaction action {};
    action.sa_handler = requestCancel;
    sigemptyset(&action.sa_mask);
    // Reads and writes that a signal interrupts carry on: the work stops at its next check.
    action.sa_flags = SA_RESTART;
    for (int k = 0; k < kSignalCount; ++k) sigaction(kSignals[k], &action, &previous_[k]);
}

CancelSignals::~CancelSignals()
{
    for (int k = 0; k < kSignalCount; ++k) sigaction(kSignals[k], &previous_[k], nullptr);
}

bool CancelSignals::Requested() { return requested.load(); }

} // namespace cli
