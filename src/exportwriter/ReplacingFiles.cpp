#include "exportwriter/ReplacingFiles.h"

#include <assimp/IOStream.hpp>

#include <algorithm>

#include <sys/stat.h>

namespace trackexport {

namespace {

// One file the exporter writes. Its first bytes wait until the notes' splice
// for them is known; a file that must be seen whole (GLB, whose exporter
// seeks back to write its header) is kept in memory until it is closed.
class ReplacingStream : public Assimp::IOStream {
public:
    ReplacingStream(ReplacingFiles& files, ReplacingFileWriter& file, std::string path)
        : files_(files), file_(file), path_(std::move(path)), whole_(FileNotes::NeedsWholeFile(path_))
    {
    }
    ~ReplacingStream() override { Finish(); }

    size_t Read(void*, size_t, size_t) override { return 0; }

    size_t Write(const void* buffer, size_t size, size_t count) override
    {
        const std::string_view data(static_cast<const char*>(buffer), size * count);
        if (whole_) {
            if (position_ + data.size() > memory_.size()) memory_.resize(position_ + data.size());
            memory_.replace(position_, data.size(), data);
        } else if (!Stream(data)) {
            return 0;
        }
        position_ += data.size();
        written_ = std::max(written_, position_);
        return count;
    }

    aiReturn Seek(size_t offset, aiOrigin origin) override
    {
        const size_t base = origin == aiOrigin_CUR ? position_ : origin == aiOrigin_END ? written_ : 0;
        // Streamed files go forward only: the exporters that seek are kept whole.
        if (!whole_ && base + offset != position_) return aiReturn_FAILURE;
        position_ = base + offset;
        return aiReturn_SUCCESS;
    }
    size_t Tell() const override { return position_; }
    size_t FileSize() const override { return written_; }
    void Flush() override {}

    // Writes what is still held back.
    void Finish()
    {
        if (finished_) return;
        finished_ = true;
        if (whole_) {
            Put(files_.notes().PatchGlb(std::move(memory_)));
        } else if (!spliced_) {
            Put(head_);
        }
    }

private:
    bool Put(std::string_view data)
    {
        std::string error;
        if (file_.Write(data.data(), data.size(), error)) return true;
        files_.Fail(error);
        return false;
    }

    bool Stream(std::string_view data)
    {
        if (spliced_) return Put(data);
        if (!head_.empty()) {
            head_.append(data);
            data = head_;
        }
        const auto splice = files_.notes().SpliceFor(path_, data);
        if (!splice) {
            if (head_.empty()) head_.assign(data);
            return true;
        }
        spliced_ = true;
        const bool ok = Put(data.substr(0, splice->at)) && Put(splice->text) &&
                        Put(data.substr(std::min(data.size(), splice->at + splice->remove)));
        std::string().swap(head_);
        return ok;
    }

    ReplacingFiles& files_;
    ReplacingFileWriter& file_;
    std::string path_;
    bool whole_ = false, spliced_ = false, finished_ = false;
    std::string head_, memory_;
    size_t position_ = 0, written_ = 0;
};

class ReplacingIOSystem : public Assimp::IOSystem {
public:
    explicit ReplacingIOSystem(ReplacingFiles& files) : files_(files) {}

    bool Exists(const char* path) const override
    {
        struct stat info {};
        return ::stat(path, &info) == 0;
    }
    char getOsSeparator() const override { return '/'; }

    Assimp::IOStream* Open(const char* path, const char* mode) override
    {
        if (!mode || mode[0] != 'w') return nullptr;
        ReplacingFileWriter* file = files_.Open(path);
        return file ? new ReplacingStream(files_, *file, path) : nullptr;
    }
    void Close(Assimp::IOStream* stream) override { delete stream; }

private:
    ReplacingFiles& files_;
};

} // namespace

bool SameFile(const std::string& a, const std::string& b)
{
    struct stat first {}, second {};
    return !a.empty() && !b.empty() && ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

ReplacingFiles::ReplacingFiles(FileNotes notes, std::string protectedPath)
    : notes_(std::move(notes)), protectedPath_(std::move(protectedPath))
{
}

Assimp::IOSystem* ReplacingFiles::NewIOSystem() { return new ReplacingIOSystem(*this); }

ReplacingFileWriter* ReplacingFiles::Open(const std::string& path)
{
    if (SameFile(path, protectedPath_)) {
        Fail("Cannot save " + path + ": it is the document being exported.");
        return nullptr;
    }
    auto file = std::make_unique<ReplacingFileWriter>();
    std::string error;
    if (!file->Open(path, error)) {
        Fail(error);
        return nullptr;
    }
    files_.push_back(std::move(file));
    return files_.back().get();
}

bool ReplacingFiles::Commit(std::string& error)
{
    for (auto& file : files_)
        if (error_.empty() && !file->Commit(error_)) break;
    error = error_;
    return error_.empty();
}

} // namespace trackexport
