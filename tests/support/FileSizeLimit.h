#pragma once

// A limit on the size of any file the process writes, while the object lives:
// a write past it fails with EFBIG ("File too large"); SIGXFSZ is ignored.

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

namespace builders {

class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) : handler_(std::signal(SIGXFSZ, SIG_IGN))
    {
        if (::getrlimit(RLIMIT_FSIZE, &previous_) != 0) return;
        rlimit small = previous_;
        small.rlim_cur = bytes;
        set_ = ::setrlimit(RLIMIT_FSIZE, &small) == 0;
    }
    ~FileSizeLimit()
    {
        if (set_) ::setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, handler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    bool set() const { return set_; } // false: no limit could be set

private:
    void (*handler_)(int);
    rlimit previous_{};
    bool set_ = false;
};

// What `write` gives back when run under a limit of `bytes`.
template <class Write>
auto underFileSizeLimit(rlim_t bytes, Write&& write)
{
    const FileSizeLimit limit(bytes);
    EXPECT_TRUE(limit.set()) << "no file size limit could be set";
    return write();
}

} // namespace builders
