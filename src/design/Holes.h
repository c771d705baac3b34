#pragma once

#include "design/DesignResult.h"
#include "surface/CrossSection.h"

#include <string>
#include <string_view>

class SurfaceSection;

// Holes of a surface: rectangles of the (u, v) square cut out of it. The
// operations return a DesignResult with the text of their message box,
// and then the hole list is unchanged.
namespace design {

// A hole record: right-left is the range in u, front-back the range in v.
SurfaceHole MakeHole(std::string_view name, double rightLeftLow, double rightLeftHigh, double frontBackLow,
                     double frontBackHigh);

// "Add new" of the holes dialog: the field limits, then the five checks in
// order; appends the hole and rebuilds the surface's derived data.
DesignResult AddHole(SurfaceSection& surface, std::string_view name, double rightLeftLow, double rightLeftHigh,
                     double frontBackLow, double frontBackHigh);
// "Delete selected": index into the hole list, or -1 for no selection.
DesignResult DeleteHole(SurfaceSection& surface, int index);
// Index of the hole with this name (without regard to case), or -1.
int FindHoleIndex(const SurfaceSection& surface, std::string_view name);

} // namespace design
