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

// The file a write to path lands in: symbolic links are followed (a dangling
// one names the file to create). False with errno set when the chain of links
// cannot be followed.
bool resolveLinks(const std::string& path, std::string& target)
{
    constexpr int kMaxLinks = 40;
    target = path;
    for (int hop = 0; hop < kMaxLinks; ++hop) {
        struct stat info {};
        if (::lstat(target.c_str(), &info) != 0) return errno == ENOENT;
        if (!S_ISLNK(info.st_mode)) return true;
        std::string link(static_cast<std::size_t>(info.st_size > 0 ? info.st_size : 0) + 256, '\0');
        const ssize_t n = ::readlink(target.c_str(), link.data(), link.size());
        if (n < 0) return false;
        link.resize(static_cast<std::size_t>(n));
        if (link.empty() || link[0] != '/') {
            const auto slash = target.rfind('/');
            if (slash != std::string::npos) link = target.substr(0, slash + 1) + link;
        }
        target = link;
    }
    errno = ELOOP;
    return false;
}

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

namespace {

// Writes bytes to a temporary file in the directory of target, a regular file
// or none, and renames it over target. Messages name shownPath.
bool replaceRegularFile(const std::string& target, const std::string& shownPath, const std::vector<std::uint8_t>& bytes,
                        std::string& error)
{
    std::string temporary = target + ".XXXXXX";
    Descriptor file{::mkstemp(temporary.data())};
    if (file.fd < 0) {
        error = failure("save", shownPath, errno);
        return false;
    }
    auto abandon = [&](int code) {
        error = failure("save", shownPath, code);
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
    if (::stat(target.c_str(), &existing) == 0) {
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
        error = failure("save", shownPath, code);
        return false;
    }
    file.fd = -1;
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        const int code = errno;
        ::unlink(temporary.c_str());
        error = failure("save", shownPath, code);
        return false;
    }
    return true;
}

} // namespace

bool WriteFileReplacing(const std::string& path, const std::vector<std::uint8_t>& bytes, std::string& error)
{
    std::string target;
    if (!resolveLinks(path, target)) {
        error = failure("save", path, errno);
        return false;
    }
    struct stat existing {};
    if (::stat(target.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode)) {
        error = "Cannot save " + path + ": it is not a regular file.";
        return false;
    }
    return replaceRegularFile(target, path, bytes, error);
}
