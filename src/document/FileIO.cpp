#include "document/FileIO.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string failure(const char* verb, const std::string& path, int code)
{
    return std::string("Cannot ") + verb + " " + path + ": " + std::strerror(code) + ".";
}

// Closes a descriptor when the scope ends.
struct Descriptor {
    int fd = -1;
    ~Descriptor()
    {
        if (fd >= 0) ::close(fd);
    }
};

} // namespace

bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error)
{
    Descriptor file{::open(path.c_str(), O_RDONLY | O_CLOEXEC)};
    if (file.fd < 0) {
        error = failure("open", path, errno);
        return false;
    }
    struct stat info {};
    if (::fstat(file.fd, &info) != 0) {
        error = failure("read", path, errno);
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        error = "Cannot read " + path + ": it is not a regular file.";
        return false;
    }
    if (static_cast<std::uintmax_t>(info.st_size) > kMaxDocumentFileBytes) {
        error = "Cannot read " + path + ": at " + std::to_string(info.st_size) +
                " bytes it is too large to be a document.";
        return false;
    }
    bytes.assign(static_cast<std::size_t>(info.st_size), 0);
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::read(file.fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            error = failure("read", path, errno);
            return false;
        }
        if (n == 0) break; // the file shrank while being read
        done += static_cast<std::size_t>(n);
    }
    bytes.resize(done);
    return true;
}

bool WriteFileReplacing(const std::string& path, const std::vector<std::uint8_t>& bytes, std::string& error)
{
    std::string temporary = path + ".XXXXXX";
    Descriptor file{::mkstemp(temporary.data())};
    if (file.fd < 0) {
        error = failure("save", path, errno);
        return false;
    }
    auto abandon = [&](int code) {
        error = failure("save", path, code);
        ::close(file.fd);
        file.fd = -1;
        ::unlink(temporary.c_str());
        return false;
    };
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(file.fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return abandon(errno);
        done += static_cast<std::size_t>(n);
    }
    // mkstemp creates the file for its owner only: a replaced document keeps
    // its permissions, a new one gets those of any new file.
    struct stat existing {};
    mode_t mode = 0;
    if (::stat(path.c_str(), &existing) == 0) {
        mode = existing.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    if (::fchmod(file.fd, mode) != 0) return abandon(errno);
    if (::fsync(file.fd) != 0) return abandon(errno);
    if (::close(file.fd) != 0) {
        file.fd = -1;
        const int code = errno;
        ::unlink(temporary.c_str());
        error = failure("save", path, code);
        return false;
    }
    file.fd = -1;
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        const int code = errno;
        ::unlink(temporary.c_str());
        error = failure("save", path, code);
        return false;
    }
    return true;
}
