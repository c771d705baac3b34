#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Whole-file reads and writes for documents.

// Largest file read as a document; anything bigger cannot be one.
inline constexpr std::uintmax_t kMaxDocumentFileBytes = 256u * 1024u * 1024u;

// Reads the whole file into bytes. On failure returns false and sets error to
// one line naming the file and the reason.
bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error);

// Writes bytes to a temporary file beside path and renames it over path, so
// that a failed write never leaves a truncated file. A symbolic link is
// followed: the file it points to is replaced the same way, in its own
// directory, and the link stays. A path that is neither a regular file nor
// absent (a directory, FIFO, device) is refused. On failure returns false,
// removes the temporary file, leaves path as it was and sets error.
bool WriteFileReplacing(const std::string& path, const std::vector<std::uint8_t>& bytes, std::string& error);

// The same replacement written piece by piece, for output too large to hold:
// Open makes the temporary file beside path (same link and file-type rules),
// Write appends, Commit makes it the file at path. Until Commit succeeds path
// stays as it was; an object destroyed before then removes its temporary file.
class FileReplacement {
public:
    FileReplacement() = default;
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    bool Open(const std::string& path, std::string& error);
    bool Write(const void* data, std::size_t size, std::string& error);
    // Overwrites bytes already written, from offset on.
    bool WriteAt(std::size_t offset, const void* data, std::size_t size, std::string& error);
    bool Commit(std::string& error);
    // Removes the temporary file; path stays as it was.
    void Abandon();
    // The file a commit replaces (links followed).
    const std::string& target() const { return target_; }

private:
    bool fail(int code, std::string& error);

    std::string shownPath_, target_, temporary_;
    int fd_ = -1;
};
