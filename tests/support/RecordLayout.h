#pragma once

// Where the parts of a surface's record lie in a saved document.

#include "document/SurfaceArchive.h"
#include "surface/SurfaceSection.h"

namespace builders {

// Offsets in a surface record that starts (after its tag) at `start`: its
// first cross section, the settings after the sections (samplingMode first),
// the render field among them, the site count, the hole count and the end.
struct RecordLayout {
    std::size_t start = 0, sections = 0, tail = 0, render = 0, sites = 0, holes = 0, end = 0;

    RecordLayout() = default;
    RecordLayout(const SurfaceSection& s, std::size_t recordStart)
        : start(recordStart), sections(start + kSurfaceHeadBytes),
          tail(sections + s.sectionCount * (kSectionBaseBytes + 24 * s.pointsPerSection)), render(tail + 34),
          sites(tail + kSurfaceTailBytes), holes(sites + 4 + kSiteRecordBytes * s.attachmentSites.size()),
          end(holes + 4 + kHoleRecordBytes * s.holes.size())
    {
    }
};

} // namespace builders
