#include "cli/RideCsvFile.h"

#include <charconv>

namespace cli {

namespace {

constexpr const char* kCsvHeader =
    "t,distance,speed,height,gVertical,gLateral,gLongitudinal,kinetic,potential,total,events\n";
// Rows are handed to the file in blocks of about this many bytes.
constexpr std::size_t kBlockBytes = 64 * 1024;

void appendNumber(std::string& text, double value)
{
    char buffer[32];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, value);
    text.append(buffer, r.ptr);
    text += ',';
}

} // namespace

bool RideCsvFile::Open(const std::string& path, std::string& error)
{
    pending_ = kCsvHeader;
    return file_.Open(path, error);
}

bool RideCsvFile::Add(const RideSample& s, std::string& error)
{
    for (double v : {s.t, s.distance, s.speed, s.height, s.felt.vertical, s.felt.lateral, s.felt.longitudinal,
                     s.energy.kinetic, s.energy.potential, s.energy.total})
        appendNumber(pending_, v);
    pending_ += EventNames(s.events);
    pending_ += '\n';
    return pending_.size() < kBlockBytes || flush(error);
}

bool RideCsvFile::Commit(std::string& error) { return flush(error) && file_.Commit(error); }

bool RideCsvFile::flush(std::string& error)
{
    const bool written = file_.Write(pending_.data(), pending_.size(), error);
    pending_.clear();
    return written;
}

} // namespace cli
