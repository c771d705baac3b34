#include "exportwriter/StlStream.h"

#include "exportwriter/SceneCollector.h"

#include <assimp/Exporter.hpp>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace trackexport {

namespace {

constexpr std::size_t kTextBytes = 80, kHeaderBytes = 84; // text, then the facet count
constexpr std::size_t kRecordBytes = 50;                  // normal, three corners, attribute word

// The record's normal from its corners (little-endian floats, as this machine's are).
void fixNormal(char* record)
{
    float v[12];
    std::memcpy(v, record, sizeof v);
    const float ax = v[6] - v[3], ay = v[7] - v[4], az = v[8] - v[5];
    const float bx = v[9] - v[3], by = v[10] - v[4], bz = v[11] - v[5];
    float n[3] = {ay * bz - az * by, az * bx - ax * bz, ax * by - ay * bx};
    const float length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    for (float& c : n) c = length > 0.0f ? c / length : 0.0f;
    std::memcpy(record, n, sizeof n);
}

} // namespace

StlStream::StlStream(ReplacingFileWriter& file, std::string path) : file_(file), path_(std::move(path))
{
    const char header[kHeaderBytes] = {};
    file_.Write(header, sizeof header, error_);
}

void StlStream::Take(ExportMesh mesh)
{
    if (!error_.empty()) return;
    SceneCollector one;
    one.Take(std::move(mesh));
    Assimp::Exporter exporter;
    const aiExportDataBlob* blob = exporter.ExportToBlob(&one.Scene(), "stlb");
    if (!blob || blob->size < kHeaderBytes) {
        error_ = "Cannot save " + path_ + ": " + exporter.GetErrorString();
        return;
    }
    char* bytes = static_cast<char*>(blob->data);
    const std::size_t records = (blob->size - kHeaderBytes) / kRecordBytes;
    for (std::size_t k = 0; k < records; ++k) fixNormal(bytes + kHeaderBytes + k * kRecordBytes);
    file_.Write(bytes + kHeaderBytes, records * kRecordBytes, error_);
    facets_ += static_cast<std::uint32_t>(records);
}

bool StlStream::Finish(const std::string& headline, std::string& error)
{
    if (!error_.empty()) {
        error = error_;
        return false;
    }
    // Never "solid" first: readers would take the file for text STL.
    char header[kHeaderBytes];
    std::memset(header, ' ', kTextBytes);
    std::memcpy(header, headline.data(), std::min(headline.size(), kTextBytes));
    std::memcpy(header + kTextBytes, &facets_, sizeof facets_);
    return file_.WriteAt(0, header, sizeof header, error);
}

} // namespace trackexport
