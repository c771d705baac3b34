#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Whole-file reads and writes for documents and the program's other files.

// Largest file read as a document; anything bigger cannot be one.
inline constexpr std::uintmax_t kMaxDocumentFileBytes = 256u * 1024u * 1024u;

// Opens a regular file for reading without ever waiting on it: a FIFO with no
// writer, a device or a directory is refused at once. Returns the descriptor
// (the caller closes it), or -1 with error set to one line naming the file
// and the reason.
int OpenRegularFileForReading(const std::string& path, std::string& error);

// True when path names a regular file (links followed) or nothing at all;
// otherwise false with error set as OpenRegularFileForReading sets it.
bool IsRegularFileOrAbsent(const std::string& path, std::string& error);

// Reads the whole file into bytes. On failure returns false and sets error to
// one line naming the file and the reason.
bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error);

// A file replaced through a temporary file beside it, so that a failed write
// never leaves a truncated file. A symbolic link is followed: the file it
// points to is replaced the same way, in its own directory, and the link
// stays. A path that is neither a regular file nor absent (a directory, FIFO,
// device) is refused. Open creates the temporary file, Write appends to it,
// Finish makes it whole on disk and Commit renames it over the path; until
// Commit the path is as it was. Every failure sets error (naming the path)
// and removes the temporary file; so does destruction before Commit.
class ReplacingFileWriter {
public:
    ReplacingFileWriter() = default;
    ~ReplacingFileWriter();
    ReplacingFileWriter(const ReplacingFileWriter&) = delete;
    ReplacingFileWriter& operator=(const ReplacingFileWriter&) = delete;

    bool Open(const std::string& path, std::string& error);
    bool Write(const void* data, std::size_t size, std::string& error);
    // Overwrites bytes already written, from offset on.
    bool WriteAt(std::size_t offset, const void* data, std::size_t size, std::string& error);
    // Gives the temporary file the path's permissions, syncs and closes it.
    bool Finish(std::string& error);
    // Finishes the file if need be and renames it over the path.
    bool Commit(std::string& error);
    // Removes the temporary file; the path stays as it was.
    void Abandon();
    // The file a commit replaces (links followed).
    const std::string& target() const { return target_; }
    // The temporary file being written (none before Open and after Commit or
    // Abandon), for reading back what was written so far.
    const std::string& temporary() const { return temporary_; }

private:
    bool abandon(int code, std::string& error);

    std::string shownPath_, target_, temporary_;
    int fd_ = -1;
};

// Writes bytes to path through a ReplacingFileWriter. On failure returns
// false, leaves path as it was and sets error.
bool WriteFileReplacing(const std::string& path, const std::vector<std::uint8_t>& bytes, std::string& error);

