#pragma once

// Circular surfaces: flat rings or ring sectors in the plane y = 0, built
// straight into the control net. u runs around the arc, v from the inner to
// the outer radius.

#include "design/ChannelCreation.h"

#include <string>
#include <string_view>

namespace design {

// Portions of a circle, in the order of the dialog's radio buttons.
enum CirclePortion : int {
    kQuarter = 0,       // "1/4", 90 degrees
    kHalf = 1,          // "2/4", 180 degrees
    kThreeQuarters = 2, // "3/4", 270 degrees
    kThird = 3,         // "1/3", 120 degrees
    kTwoThirds = 4,     // "2/3", 240 degrees
    kFullCircle = 5,    // "1", 360 degrees
};
inline constexpr int kPortionCount = 6;

inline constexpr const char* kQuarterNeedsPoints =
    "It requires at least 3 control points to construct a quarter of a circle.";
inline constexpr const char* kHalfNeedsPoints = "It requires at least 4 control points to construct half of a circle.";
inline constexpr const char* kThreeQuartersNeedsPoints =
    "It requires at least 5 control points to construct three quarters of a circle.";
inline constexpr const char* kThirdNeedsPoints =
    "It requires at least 3 control points to construct a third of a circle.";
inline constexpr const char* kTwoThirdsNeedsPoints =
    "It requires at least 5 control points to construct two thirds of a circle.";
inline constexpr const char* kFullCircleNeedsPoints =
    "It requires at EXACTLY 7, 9, or 11 control points to construct a full circle.";
inline constexpr const char* kOuterRadiusTooSmall = "The outer radius must be greater than the inner radius.";

// Total angle of a portion in degrees, and the control-point count the
// dialog suggests when its button is clicked.
double PortionAngleDegrees(int portion);
int SuggestedPointsForPortion(int portion);
// Done when the portion can be built with that many control points, else refused.
DesignResult CheckPortionPoints(int portion, int points);

// Limits of the "Create circular surface" dialog's fields.
inline constexpr int kCircularPointsLow = 3, kCircularPointsHigh = kMaxSectionPoints;
inline constexpr int kCircularSectionsLow = 2, kCircularSectionsHigh = kMaxSections - 4;
inline constexpr double kInnerRadiusLow = 0.0, kInnerRadiusHigh = 10000.0;
inline constexpr double kOuterRadiusLow = 0.5, kOuterRadiusHigh = 1000.0;

// Fields of the "Create circular surface" dialog, with their first values.
struct CircularFields {
    int portion = kThird;
    int points = 5;      // control points per cross section (around the arc), 3 to 20
    int sections = 3;    // cross sections (radii), 2 to 20
    double inner = 1.0;  // 0 to 10000
    double outer = 4.0;  // 0.5 to 1000
    std::string name;

    // Clicking a portion button: the portion and its suggested count.
    void choosePortion(int index);
};

// OK of the dialog: the checks in order, then CreateCircularSurface.
DesignResult CreateCircularFromFields(COpenGLTemplateDoc& document, const CircularFields& fields);

// Builds a circular surface (type 5) of `points` control points around the
// arc and `sections` concentric arcs from `inner` to `outer`, adds it to the
// current group, selects it and shows it alone. None, with the document
// unchanged, when the net cannot be built.
SurfaceSection* CreateCircularSurface(COpenGLTemplateDoc& document, std::string_view name, int portion, int points,
                                      int sections, double inner, double outer);

} // namespace design
