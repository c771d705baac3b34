#include "simulation/RideDecimation.h"

#include "simulation/SimulationState.h"

#include <algorithm>
#include <cmath>

namespace {

static_assert(unsigned(SimulationEventKind::Rest) + 1 == 9, "one kept sample per event kind");

double reading(const RideSample& s, std::size_t index)
{
    switch (index) {
    case 0: return s.speed;
    case 1: return s.height;
    case 2: return s.felt.vertical;
    case 3: return s.felt.lateral;
    default: return s.felt.longitudinal;
    }
}

} // namespace

// Keeps the candidate in its role when it reads lower (low roles) or higher
// (high roles) than what the column holds, or came first (last for the last
// sample's role); a tie goes to the earlier sample.
void RideDecimator::Offer(Column& column, std::size_t role, const Kept& candidate)
{
    Kept& held = column[role];
    if (held.order == 0) {
        held = candidate;
        return;
    }
    bool better = role == kLast ? candidate.order > held.order : candidate.order < held.order;
    if (role < 2 * kReadings) {
        const double now = reading(held.sample, role / 2), offered = reading(candidate.sample, role / 2);
        if (offered != now) better = role % 2 == 0 ? offered < now : offered > now;
    }
    if (better) held = candidate;
}

RideDecimator::RideDecimator(std::size_t columns) : columnCount_(std::max<std::size_t>(2, columns / 2 * 2)) {}

void RideDecimator::Add(double x, const RideSample& sample)
{
    if (!std::isfinite(x)) return;
    if (added_ == 0) origin_ = x;
    const double offset = std::max(0.0, x - origin_);
    if (!std::isfinite(offset)) return;
    while (offset >= width_ * static_cast<double>(columnCount_)) Widen();
    const std::size_t index = std::min(columnCount_ - 1, static_cast<std::size_t>(offset / width_));
    if (index >= columns_.size()) columns_.resize(index + 1);

    const Kept candidate{sample, ++added_};
    Column& column = columns_[index];
    for (std::size_t role = 0; role < 2 * kReadings; ++role)
        if (std::isfinite(reading(sample, role / 2))) Offer(column, role, candidate);
    Offer(column, kFirst, candidate);
    Offer(column, kLast, candidate);
    for (std::size_t kind = 0; kind < kEventKinds; ++kind)
        if (sample.events & (1u << kind)) Offer(column, kFirstEvent + kind, candidate);
}

void RideDecimator::Widen()
{
    const std::size_t merged = (columns_.size() + 1) / 2;
    for (std::size_t k = 0; k < merged; ++k) {
        if (k > 0) columns_[k] = columns_[2 * k];
        if (2 * k + 1 == columns_.size()) continue;
        for (std::size_t role = 0; role < kRoles; ++role)
            if (columns_[2 * k + 1][role].order != 0) Offer(columns_[k], role, columns_[2 * k + 1][role]);
    }
    columns_.resize(merged);
    width_ *= 2.0;
}

std::vector<RideSample> RideDecimator::Samples() const
{
    std::vector<const Kept*> kept;
    for (const Column& column : columns_)
        for (const Kept& k : column)
            if (k.order != 0) kept.push_back(&k);
    std::sort(kept.begin(), kept.end(), [](const Kept* a, const Kept* b) { return a->order < b->order; });
    std::vector<RideSample> samples;
    std::uint64_t last = 0;
    for (const Kept* k : kept) {
        if (k->order == last) continue;
        last = k->order;
        samples.push_back(k->sample);
    }
    return samples;
}
