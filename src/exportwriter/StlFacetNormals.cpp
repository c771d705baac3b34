#include "exportwriter/StlFacetNormals.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace trackexport {

namespace {

constexpr std::size_t kHeaderBytes = 84; // 80 bytes of text, the facet count
constexpr std::size_t kRecordBytes = 50; // normal, three corners, attribute word
constexpr std::size_t kBatchBytes = 1 << 16;

// Little-endian floats, as this machine's are.
void fixNormal(std::string& record)
{
    float v[12];
    std::memcpy(v, record.data(), sizeof v);
    const float ax = v[6] - v[3], ay = v[7] - v[4], az = v[8] - v[5];
    const float bx = v[9] - v[3], by = v[10] - v[4], bz = v[11] - v[5];
    float n[3] = {ay * bz - az * by, az * bx - ax * bz, ax * by - ay * bx};
    const float length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    for (float& c : n) c = length > 0.0f ? c / length : 0.0f;
    std::memcpy(record.data(), n, sizeof n);
}

} // namespace

bool StlFacetNormals::Pass(std::string_view data, const Put& put)
{
    if (offset_ < kHeaderBytes) {
        const std::size_t header = std::min(data.size(), kHeaderBytes - offset_);
        if (!put(data.substr(0, header))) return false;
        offset_ += header;
        data.remove_prefix(header);
    }
    while (!data.empty()) {
        const std::size_t take = std::min(data.size(), kRecordBytes - record_.size());
        record_.append(data.substr(0, take));
        data.remove_prefix(take);
        offset_ += take;
        if (record_.size() < kRecordBytes) break;
        fixNormal(record_);
        out_ += record_;
        record_.clear();
        if (out_.size() >= kBatchBytes) {
            if (!put(out_)) return false;
            out_.clear();
        }
    }
    return true;
}

bool StlFacetNormals::Finish(const Put& put)
{
    out_ += record_;
    record_.clear();
    const bool ok = put(out_);
    out_.clear();
    return ok;
}

} // namespace trackexport
