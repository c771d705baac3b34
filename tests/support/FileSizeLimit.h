#pragma once

// A limit on the size of any file the process writes, held while a write
// runs: a write past it fails with EFBIG ("File too large"); SIGXFSZ is
// ignored meanwhile.

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

namespace builders {

// What `write` gives back when run under a limit of `bytes`; the previous
// limit and signal handler are restored however it ends.
template <class Write>
auto underFileSizeLimit(rlim_t bytes, Write&& write)
{
    struct Limit {
        void (*handler)(int) = std::signal(SIGXFSZ, SIG_IGN);
        rlimit previous{};
        bool set = false;
        ~Limit()
        {
            if (set) ::setrlimit(RLIMIT_FSIZE, &previous);
            std::signal(SIGXFSZ, handler);
        }
    } limit;
    if (::getrlimit(RLIMIT_FSIZE, &limit.previous) == 0) {
        rlimit small = limit.previous;
        small.rlim_cur = bytes;
        limit.set = ::setrlimit(RLIMIT_FSIZE, &small) == 0;
    }
    EXPECT_TRUE(limit.set) << "no file size limit could be set";
    return write();
}

} // namespace builders
