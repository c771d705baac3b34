#pragma once

// A long command that can be stopped cleanly: while a CancelSignals lives,
// SIGINT (Ctrl+C), SIGTERM and SIGPIPE (the reader of standard output went
// away) no longer end the process at once but ask the work in hand to stop,
// so that it can drop what it half wrote. The handlers it replaced come back
// when it goes.

#include <csignal>

namespace cli {

class CancelSignals {
public:
    CancelSignals();
    ~CancelSignals();
    CancelSignals(const CancelSignals&) = delete;
    CancelSignals& operator=(const CancelSignals&) = delete;

    // One of the signals came since this object was made.
    static bool Requested();

private:
    static constexpr int kSignalCount = 3;
    struct sigaction previous_[kSignalCount] {};
};

} // namespace cli
