#pragma once

// Small builders of surfaces shared by tests and benchmarks.

#include "surface/SurfaceSection.h"

#include <functional>
#include <memory>

namespace builders {

// A type A channel of `points` points per section and `intermediate`
// intermediate sections with the Flat shape, sampled and ready to evaluate.
// Straight along +x unless the caller sets turns before calling generate().
inline std::unique_ptr<SurfaceSection> makeChannel(SurfaceHost* host, int points = 5, int intermediate = 2,
                                                   int type = kTypeA)
{
    auto s = std::make_unique<SurfaceSection>(host);
    setText(s->name, "a");
    s->surfaceType = type;
    s->requestedPointsPerSection = points;
    s->intermediateCount = intermediate;
    s->SizeForType(type);
    switch (type) {
    case kTypeB: s->GenerateTypeB(false); break;
    case kTypeC: s->GenerateTypeC(false); break;
    default: s->GenerateTypeA(false); break;
    }
    s->Rebuild();
    return s;
}

// A channel along +x whose every section has the points point(j) (in the
// section's own coordinates) at the given scale, its sections at height 0
// or rising by `slope` per unit along x; sampled and ready to evaluate.
inline std::unique_ptr<SurfaceSection> makeProfiledChannel(SurfaceHost* host, int points, int intermediate,
                                                           const std::function<Vec3(int)>& point,
                                                           double scale = 1.0, double slope = 0.0)
{
    auto s = makeChannel(host, points, intermediate);
    for (int i = 0; i < s->sectionCount; ++i) {
        CrossSection& c = s->sections[i];
        c.position.y = c.position.x * slope;
        c.scale = scale;
        for (int j = 0; j < c.pointCount; ++j) c.points[j] = point(j);
    }
    s->BuildNet();
    s->ComputeHeightRange();
    s->Rebuild();
    return s;
}

// A channel along +x whose every section is a straight floor (no walls): a
// flat surface of width (points - 1) * scale across z, horizontal at y = 0
// or rising by `slope` per unit along x.
inline std::unique_ptr<SurfaceSection> makeFlatFloor(SurfaceHost* host, int points = 5, int intermediate = 2,
                                                     double scale = 1.0, double slope = 0.0)
{
    const auto across = [points](int j) { return Vec3{j - (points - 1) / 2.0, 0.0, 0.0}; };
    return makeProfiledChannel(host, points, intermediate, across, scale, slope);
}

} // namespace builders
