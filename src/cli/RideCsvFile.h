#pragma once

// The ride profile as CSV: a header, then one row per step, streamed to a
// temporary file beside the output that replaces it when the run is done, so
// that memory does not grow with the run and a failed run leaves the output
// as it was.

#include "document/FileIO.h"
#include "simulation/RideMeasure.h"

#include <string>

namespace cli {

class RideCsvFile {
public:
    // Each returns false with error set (naming the file) on failure.
    bool Open(const std::string& path, std::string& error);
    bool Add(const RideSample& sample, std::string& error);
    bool Commit(std::string& error);

private:
    bool flush(std::string& error);

    ReplacingFileWriter file_;
    std::string pending_;
};

} // namespace cli
