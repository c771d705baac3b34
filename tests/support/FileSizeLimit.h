#pragma once

// A limit on the size of any file the process writes, for as long as the
// object lives: a write past it fails with EFBIG ("File too large") instead of
// raising SIGXFSZ, which is ignored meanwhile.

#include <csignal>
#include <sys/resource.h>

namespace builders {

class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) : previousHandler_(std::signal(SIGXFSZ, SIG_IGN))
    {
        set_ = ::getrlimit(RLIMIT_FSIZE, &previous_) == 0;
        rlimit small = previous_;
        small.rlim_cur = bytes;
        set_ = set_ && ::setrlimit(RLIMIT_FSIZE, &small) == 0;
    }
    ~FileSizeLimit()
    {
        if (set_) ::setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

    // False when the limit could not be set.
    bool set() const { return set_; }

private:
    rlimit previous_{};
    bool set_ = false;
    void (*previousHandler_)(int);
};

} // namespace builders
