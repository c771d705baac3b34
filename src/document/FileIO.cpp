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

std::string notRegular(const char* verb, const std::string& path)
{
    return std::string("Cannot ") + verb + " " + path + ": it is not a regular file.";
}

} // namespace

bool IsRegularFileOrAbsent(const std::string& path, std::string& error)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        if (errno == ENOENT) return true;
        error = failure("read", path, errno);
        return false;
    }
    if (S_ISREG(info.st_mode)) return true;
    error = notRegular("read", path);
    return false;
}

int OpenRegularFileForReading(const std::string& path, std::string& error)
{
    // Checked before opening, so that opening never touches a device; opened
    // without blocking, so that a FIFO put there meanwhile cannot stall us.
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
        error = notRegular("read", path);
        return -1;
    }
    Descriptor file{::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)};
    if (file.fd < 0) {
        error = failure("open", path, errno);
        return -1;
    }
    if (::fstat(file.fd, &info) != 0) {
        error = failure("read", path, errno);
        return -1;
    }
    if (!S_ISREG(info.st_mode)) {
        error = notRegular("read", path);
        return -1;
    }
    const int flags = ::fcntl(file.fd, F_GETFL);
    if (flags < 0 || ::fcntl(file.fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        error = failure("read", path, errno);
        return -1;
    }
    const int fd = file.fd;
    file.fd = -1;
    return fd;
}

bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error)
{
    Descriptor file{OpenRegularFileForReading(path, error)};
    if (file.fd < 0) return false;
    struct stat info {};
    if (::fstat(file.fd, &info) != 0) {
        error = failure("read", path, errno);
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

ReplacingFileWriter::~ReplacingFileWriter() { Abandon(); }

void ReplacingFileWriter::Abandon()
{
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
    temporary_.clear();
}

bool ReplacingFileWriter::abandon(int code, std::string& error)
{
    error = failure("save", shownPath_, code);
    Abandon();
    return false;
}

bool ReplacingFileWriter::Open(const std::string& path, std::string& error)
{
    Abandon();
    shownPath_ = path;
    if (!resolveLinks(path, target_)) return abandon(errno, error);
    struct stat existing {};
    if (::stat(target_.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode)) {
        error = notRegular("save", path);
        return false;
    }
    std::string temporary = target_ + ".XXXXXX";
    fd_ = ::mkstemp(temporary.data());
    if (fd_ < 0) return abandon(errno, error);
    temporary_ = temporary;
    return true;
}

bool ReplacingFileWriter::Write(const void* data, std::size_t size, std::string& error)
{
    if (fd_ < 0) return abandon(EBADF, error);
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd_, bytes + done, size - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return abandon(errno, error);
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool ReplacingFileWriter::WriteAt(std::size_t offset, const void* data, std::size_t size, std::string& error)
{
    if (fd_ < 0) return abandon(EBADF, error);
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::pwrite(fd_, bytes + done, size - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return abandon(errno, error);
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool ReplacingFileWriter::Finish(std::string& error)
{
    if (fd_ < 0) return !temporary_.empty() || abandon(EBADF, error);
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
    if (::fchmod(fd_, mode) != 0) return abandon(errno, error);
    if (::fsync(fd_) != 0) return abandon(errno, error);
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) return abandon(errno, error);
    return true;
}

bool ReplacingFileWriter::Commit(std::string& error)
{
    if (!Finish(error)) return false;
    if (::rename(temporary_.c_str(), target_.c_str()) != 0) return abandon(errno, error);
    temporary_.clear();
    return true;
}

bool WriteFileReplacing(const std::string& path, const std::vector<std::uint8_t>& bytes, std::string& error)
{
    ReplacingFileWriter file;
    return file.Open(path, error) && file.Write(bytes.data(), bytes.size(), error) && file.Commit(error);
}
