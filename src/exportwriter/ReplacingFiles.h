#pragma once

// The files an Assimp exporter writes, each into a temporary file beside its
// destination, renamed over it only when the whole export has succeeded.
// The exporter sees them through an Assimp::IOSystem; writes are checked, and
// a file that is the document being exported is refused.

#include "document/FileIO.h"
#include "exportwriter/FileNotes.h"

#include <assimp/IOSystem.hpp>

#include <memory>
#include <string>
#include <vector>

namespace trackexport {

class ReplacingFiles {
public:
    // protectedPath: the document's file, never written (may be empty).
    ReplacingFiles(FileNotes notes, std::string protectedPath);

    // A new IOSystem over these files, for Assimp::Exporter::SetIOHandler (which owns it).
    Assimp::IOSystem* NewIOSystem();

    // Renames every file over its destination; false with error set when
    // one fails or an earlier write failed.
    bool Commit(std::string& error);
    // The first failure, or "".
    const std::string& error() const { return error_; }

    // For the streams: the file opened for path, or none (error set).
    ReplacingFileWriter* Open(const std::string& path);
    const FileNotes& notes() const { return notes_; }
    void Fail(const std::string& error)
    {
        if (error_.empty()) error_ = error;
    }

private:
    FileNotes notes_;
    std::string protectedPath_;
    std::vector<std::unique_ptr<ReplacingFileWriter>> files_;
    std::string error_;
};

// True when both paths name one existing file.
bool SameFile(const std::string& a, const std::string& b);

} // namespace trackexport
