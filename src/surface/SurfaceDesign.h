#pragma once

#include "geometry/Vec3.h"
#include "surface/AttachmentSite.h"
#include "surface/CrossSection.h"
#include "surface/FixedText.h"

#include <array>
#include <cstdint>
#include <vector>

// Surface type codes.
enum SurfaceType : std::int32_t {
    kTypeA = 0,        // turns, rotation, displacements
    kTypeB = 1,        // initial and final directions
    kTypeC = 2,        // initial and final directions and positions
    kTypeAttached = 3, // grown from a site
    kTypeSweep = 4,
    kTypeCircular = 5,
    kTypeUntyped = 6,
};

// How the meshes are sampled; the values are those stored in files.
enum class SamplingMode : std::int32_t {
    PerSpan = 0,     // a fixed number of subdivisions per knot span
    ByLength = 1,    // counts from the lengths of the control polygon
    FixedCounts = 2, // fixed sample counts in u and v
};

// How a surface is coloured; the values are those stored in files.
enum class Coloring : std::int32_t {
    Constant = 0,
    Height = 1,
    TangentAngle = 2,
    Curvature = 3,
};

// Type A design parameters; angles in radians.
struct HorizontalTurn {
    bool perform = false;
    bool left = false;
    double angle = 0.0;
};
struct VerticalTurn {
    bool perform = false;
    bool down = false;
    double angle = 0.0;
};
struct AxisRotation {
    bool perform = false;
    bool clockwise = false;
    double angle = 0.0;
};
struct HorizontalDisplacement {
    bool perform = false;
    bool displaceLeft = false;
    double distance = 16.0;
};
struct VerticalDisplacement {
    bool perform = false;
    bool displaceDown = false;
    double distance = 16.0;
};

// What a document file keeps of a surface: its name and group, its design
// (type, layout parameters, cross sections, sites and holes) and its sampling
// and display settings. Everything else about a surface is derived from this.
struct SurfaceDesign {
    // --- identity ---
    char groupName[kLongNameSize] = {};
    char name[kLongNameSize] = {};

    // --- design ---
    std::vector<AttachmentSite> attachmentSites;
    std::int32_t surfaceType = kTypeUntyped;
    HorizontalTurn horizontalTurn;
    VerticalTurn verticalTurn;
    AxisRotation axisRotation;
    HorizontalDisplacement horizontalDisplacement;
    VerticalDisplacement verticalDisplacement;
    bool scaleChange = false;
    double scaleTo = 1.0;
    double scaleFrom = 1.0;
    Vec3 initialPosition{0, 0, 0}, initialDirection{1, 0, 0}, initialUp{0, 1, 0};
    Vec3 finalPosition{0, 0, 0}, finalDirection{1, 0, 0}, finalUp{0, 1, 0};
    std::int32_t shapeParameter = 0;
    double shapeValue1 = 0.0, shapeValue2 = 0.0;
    std::int32_t intermediateCount = 2;
    std::int32_t pointsPerSection = 0; // net count in u
    std::int32_t sectionCount = 0;     // net count in v
    std::array<CrossSection, kMaxSections> sections{};
    std::vector<SurfaceHole> holes;

    // --- sampling settings ---
    SamplingMode samplingMode = SamplingMode::PerSpan;
    std::int32_t subdivisionsU = 4, subdivisionsV = 4;
    std::int32_t lengthSamplesU = 0, lengthSamplesV = 0;
    std::int32_t fixedSamplesU = 20, fixedSamplesV = 20;
    std::int32_t flipDiagonals = 0;

    // --- display settings (the render switch is the surface's own, as threads share it) ---
    std::int32_t showControlLines = 0;
    std::int32_t showControlTriangles = 0;
    std::int32_t closeControlStrips = 0;
    std::int32_t showSurfaceLines = 1;
    std::int32_t showSurfaceTriangles = 0;
    std::int32_t showIntersectionMesh = 0;
    std::int32_t showDirections = 1;
    std::int32_t showAttachmentSites = 1;
    std::int32_t showHoles = 1;
    std::int32_t showName = 1;
    Coloring coloring = Coloring::TangentAngle;
    bool editingSections = false, editingShape = false;
    bool reverseNormal = false;
    bool wrapU = false, wrapV = false;
    bool uLineEnabled = false, vLineEnabled = false;
    double uLine = 0.0, vLine = 0.0;
};
