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

bool ReplacingFile::Open(const std::string& path, std::string& error)
{
    Abandon();
    shownPath_ = path;
    if (!resolveLinks(path, target_)) {
        error = failure("save", path, errno);
        return false;
    }
    struct stat existing {};
    if (::stat(target_.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode)) {
        error = "Cannot save " + path + ": it is not a regular file.";
        return false;
    }
    temporary_ = target_ + ".XXXXXX";
    descriptor_ = ::mkostemp(temporary_.data(), O_CLOEXEC);
    if (descriptor_ < 0) {
        temporary_.clear();
        error = failure("save", path, errno);
        return false;
    }
    return true;
}

bool ReplacingFile::Fail(int code, std::string& error)
{
    error = failure("save", shownPath_, code);
    Abandon();
    return false;
}

bool ReplacingFile::Write(const void* data, std::size_t size, std::string& error)
{
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(descriptor_, bytes + done, size - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return Fail(errno, error);
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool ReplacingFile::Commit(std::string& error)
{
    if (descriptor_ < 0) return Fail(EBADF, error);
    // mkstemp creates the file for its owner only: a replaced file keeps its
    // permissions, a new one gets those of any new file.
    struct stat existing {};
    mode_t mode = 0;
    if (::stat(target_.c_str(), &existing) == 0) {
        mode = existing.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    if (::fchmod(descriptor_, mode) != 0) return Fail(errno, error);
    if (::fsync(descriptor_) != 0) return Fail(errno, error);
    const int closed = ::close(descriptor_);
    descriptor_ = -1;
    if (closed != 0) return Fail(errno, error);
    if (::rename(temporary_.c_str(), target_.c_str()) != 0) return Fail(errno, error);
    temporary_.clear();
    return true;
}

void ReplacingFile::Abandon()
{
    if (descriptor_ >= 0) ::close(descriptor_);
    descriptor_ = -1;
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
    temporary_.clear();
}

bool WriteFileReplacing(const std::string& path, const std::vector<std::uint8_t>& bytes, std::string& error)
{
    ReplacingFile file;
    return file.Open(path, error) && file.Write(bytes.data(), bytes.size(), error) && file.Commit(error);
}
