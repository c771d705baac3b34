#pragma once

// Sweep surfaces: a template cross section revolved about an axis parallel
// to one of its edges.

#include "design/ChannelCreation.h"
#include "design/CrossSectionTemplates.h"

#include <optional>
#include <string>
#include <string_view>

namespace design {

// The edge the template turns about, in the order of the radio buttons.
enum SweepEdge : int { kSweepLeft = 0, kSweepRight = 1, kSweepTop = 2, kSweepBottom = 3 };

inline constexpr const char* kSelectTemplate = "Select a cross section template from the list.";

// The ranges of the dialog's fields.
inline constexpr int kSweepFewestSections = 4;
inline constexpr int kSweepMostSections = 20;
inline constexpr double kSweepSmallestAngle = 5.0;
inline constexpr double kSweepLargestAngle = 355.0;
inline constexpr double kSweepLargestInnerRadius = 1000.0;

// Fields of the "Create sweep surface" dialog, with their first values.
struct SweepFields {
    std::optional<CrossSectionShape> shape; // the chosen template; none at first
    std::string name;
    int sections = 4;     // 4 to 20
    double angle = 120.0; // degrees, 5 to 355
    double inner = 2.0;   // 0 to 1000
    int edge = kSweepLeft;
};

// OK of the dialog: the checks in order, then CreateSweepSurface.
DesignResult CreateSweepFromFields(COpenGLTemplateDoc& document, const SweepFields& fields);

// Builds a sweep surface (type 4) of sections + 2 cross sections, adds it to
// the current group, selects it and shows it alone. None, with the document
// unchanged, when the net cannot be built.
SurfaceSection* CreateSweepSurface(COpenGLTemplateDoc& document, double angleDegrees, double innerRadius,
                                   int sections, int edge, const CrossSectionShape& shape, std::string_view name);

} // namespace design
