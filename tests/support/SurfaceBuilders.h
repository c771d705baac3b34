#pragma once

// Small builders of surfaces shared by tests and benchmarks.

#include "surface/SurfaceSection.h"

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

// A channel along +x whose every section is a straight floor at y = 0 (no
// walls): a flat horizontal surface of width (points - 1) * scale across z.
inline std::unique_ptr<SurfaceSection> makeFlatFloor(SurfaceHost* host, int points = 5, int intermediate = 2,
                                                     double scale = 1.0)
{
    auto s = makeChannel(host, points, intermediate);
    for (int i = 0; i < s->sectionCount; ++i) {
        CrossSection& c = s->sections[i];
        c.position.y = 0.0;
        c.scale = scale;
        for (int j = 0; j < c.pointCount; ++j) c.points[j] = {j - (points - 1) / 2.0, 0.0, 0.0};
    }
    s->BuildNet();
    s->ComputeHeightRange();
    s->Rebuild();
    return s;
}

} // namespace builders
