#pragma once

// A directory of its own for the files a test writes.

#include <filesystem>
#include <string>
#include <unistd.h>

namespace builders {

// A fresh directory under the temporary directory, removed afterwards.
class Scratch {
public:
    Scratch()
        : path_(std::filesystem::temp_directory_path() /
                ("marlwick-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter_++)))
    {
        std::filesystem::create_directories(path_);
    }
    ~Scratch() { std::filesystem::remove_all(path_); }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;

    std::string file(const std::string& name) const { return (path_ / name).string(); }
    const std::filesystem::path& path() const { return path_; }
    // Entries in the directory: a failed write leaves no temporary file.
    long entries() const
    {
        return static_cast<long>(std::distance(std::filesystem::directory_iterator(path_),
                                               std::filesystem::directory_iterator()));
    }

private:
    static inline int counter_ = 0;
    std::filesystem::path path_;
};

} // namespace builders
