#pragma once

#include <cstddef>
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

// A file written piece by piece in place of path: the pieces go to a
// temporary file beside the file path names (links followed, as above), which
// takes its place only on Commit. Dropped without Commit, the temporary file
// is removed and path stays as it was. Messages name path.
class ReplacingFile {
public:
    ReplacingFile() = default;
    ~ReplacingFile() { Abandon(); }
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // Creates the temporary file; refuses a path that is neither a regular
    // file nor absent. False with error set when it cannot.
    bool Open(const std::string& path, std::string& error);
    bool isOpen() const { return descriptor_ >= 0; }
    // The open temporary file, for positioned writes (seek, then Write).
    int descriptor() const { return descriptor_; }
    const std::string& temporaryPath() const { return temporary_; }

    // Writes all the bytes at the file's position, checked.
    bool Write(const void* data, std::size_t size, std::string& error);
    // Flushes the file to the disk and renames it over path. The file is
    // closed afterwards, whatever the outcome.
    bool Commit(std::string& error);
    // Closes and removes the temporary file (nothing when none is open).
    void Abandon();

private:
    bool Fail(int code, std::string& error);

    int descriptor_ = -1;
    std::string target_, shownPath_, temporary_;
};
