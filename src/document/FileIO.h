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
