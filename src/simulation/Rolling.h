#pragma once

// Rolling contact: moving the contact point over the surfaces in their own
// (u, v) parameters, across attachment sites, and deciding when the ball
// leaves a surface.

#include "geometry/Vec3.h"
#include "simulation/BallRecords.h"

class COpenGLTemplateDoc;
class SurfaceSection;
struct AttachmentSite;
struct LiveBall;

enum class ParameterDirection { U, V };

// The vector moved into the tangent plane through point spanned by tangentU
// and tangentV: its end is moved along the plane's unit normal by its signed
// distance. Degenerate tangents leave the vector as it is.
Vec3 ProjectToTangentPlane(const Vec3& point, const Vec3& tangentU, const Vec3& tangentV, const Vec3& vector);

// Contact frame, curvature, ball centre and acceleration (the downhill part of
// gravity, or all of it in the air or under a surface) at (ballU, ballV).
void UpdateContactFrame(COpenGLTemplateDoc& document);

// Moves the ball over the surfaces by its displacement, one segment per
// surface crossed (at most one attachment crossing per step). Sets inAir when
// the ball runs off an edge with no attached surface or into a hole.
void RollOnSurfaces(COpenGLTemplateDoc& document);

// One walk of a segment's surface: the predictor, then, when no edge was
// reached, the corrector with the tangents averaged over the step.
void WalkSegment(ContactSegment& segment);

// Finds (endU, endV) of the segment: the tangential displacement split along
// the two tangents, a bisection for the parameter change in each direction
// (wrapping on a closed surface, clamping at an open edge) and, at an edge,
// the parameter along the edge where the ball meets it.
void WalkParameters(ContactSegment& segment);

// The parameter in [lo, hi] along the direction (the other parameter held at
// fixed) whose surface point is near X, by a directional bisection.
double NearestEdgeParameter(SurfaceSection& surface, const Vec3& X, ParameterDirection direction, double fixed,
                            double lo, double hi);

// At the edge the current segment ended on, the first site of its surface
// with a simulated attached surface whose ranges hold the end parameter. The
// next segment is reset and starts on the attached surface at the mapped
// parameters (mirrored on a reversed site). None when the edge is free.
const AttachmentSite* CrossAttachment(LiveBall& ball);

// After a rolling walk that stayed on the surfaces: the lift-off test, then
// the new contact, frame and velocity direction and the ball's rolling turn.
void FinishRolling(COpenGLTemplateDoc& document);

// The ball leaves its surface from its present centre by the whole
// displacement of the step.
void TakeOff(COpenGLTemplateDoc& document);

// The same-surface guard's record of the surface and mesh cell under the ball.
void RecordContactCell(COpenGLTemplateDoc& document);

// Turns the ball's orientation about the roll axis by the rolling angle of
// the distance its centre moved.
void TurnBall(LiveBall& ball, double distance, double radius);
