#pragma once

// The user's push on the rolling ball, placing the ball on a surface, and the
// ball's recorded paths.

#include "geometry/Vec3.h"

#include <cstdint>

class COpenGLTemplateDoc;
struct ForceCircle;
struct SimulationState;

// Where the force circle lies in the view, and the view's height its
// upward measure starts from (pixels).
struct ForceCircleLayout {
    std::int32_t centreX = 0, centreY = 0;
    double radius = 0.0;
    std::int32_t viewHeight = 0;
    bool operator==(const ForceCircleLayout&) const = default;
};

// The user's force input as one step takes it: whether the button is held
// inside the circle, the pointer (view pixels, y from the top), the circle.
struct ForceInput {
    bool active = false;
    std::int32_t x = 0, y = 0;
    ForceCircleLayout circle;
};

// The force input as the user interface has it now, read field by field.
ForceInput ReadForceInput(const SimulationState& simulation);

// The push of the force circle (Navigation): the top of the circle pushes
// along the direction of travel, the bottom against it, the sides to the
// right and left, proportionally to the distance from the centre. Zero while
// no force input is held, in the air, and for a backward push below speed 0.5.
void ComputeAppliedForce(COpenGLTemplateDoc& document, const ForceInput& input);

// Lays the circle out on a view of the given size (pixels) and marks it done.
void LayoutForceCircle(ForceCircle& circle, int width, int height);

// True when the view pixel (x, y), y from the top, lies in the window's force
// circle (its rim included).
bool InsideForceCircle(const SimulationState& simulation, int x, int y);

// Puts the ball on its surface at (u, v), moving at speed along the launch
// direction, and records the point.
void PlaceBall(COpenGLTemplateDoc& document, double u, double v, double speed);

// Appends a point to the past path (at most pastPathLimit, oldest dropped),
// coloured as an impact, a flight point or by the ball surface's colouring.
void RecordPathPoint(COpenGLTemplateDoc& document, bool inAir, bool impact, const Vec3& point);

// Empties the future-path arrays (all records zero).
void ResetFuturePaths(COpenGLTemplateDoc& document);

// Writes the present ball into the future-path record at futureIndex and
// moves the index on.
void RecordPresentState(COpenGLTemplateDoc& document);

// Empties the past path and the future paths.
void ClearPaths(COpenGLTemplateDoc& document);

// The colour of the ball surface's colouring mode where the ball touches it,
// on the 0..1 scale of the colour maps; with no ball surface, the air colour.
Vec3 SurfaceColourAtBall(COpenGLTemplateDoc& document, const Vec3& point);
