#pragma once

#include "geometry/Vec3.h"
#include "simulation/BallRecords.h"

class CBallController;
class COpenGLTemplateDoc;

// Camera placement: the orbit camera (arcball rotation about the focal point)
// and the follow camera copied from the simulation, for one picture or for
// either eye of an anaglyph pair.
namespace render {

enum class StereoEye { Mono, Left, Right };

// Projection and look-at of one pass.
struct Frustum {
    double left = 0.0, right = 0.0, bottom = 0.0, top = 0.0;
    double nearPlane = 0.01, farPlane = 1000000.0;
    Vec3 eye, target, up;
};

// The orbit camera: eye at (0, 0, -cameraDistance) looking down -z, y up.
CameraPlacement OrbitPose(double cameraDistance);

// The frustum of one pass: near 0.01 in mono, one fifth of the focal length
// in stereo, where each eye is shifted sideways by half the eye separation
// (focal length / 20) and its window skewed to match. The focal length is
// six sevenths of focusDistance, the distance from the eye to the point it
// looks at (the focal point, or the followed ball), and never so short that
// the near plane comes closer than 0.01: the frustum is valid wherever the
// camera is. aspect is the target's width / height.
Frustum ComputeFrustum(const CameraPlacement& pose, double fieldOfViewDegrees, double aspect, StereoEye eye,
                       double focusDistance);

// The distance from the camera's eye to the point it looks at: the orbit
// camera looks at the focal point (the origin before the scene is turned and
// moved), the follow camera along its direction to the ball.
double FocusDistance(const CameraPlacement& pose, bool following);

// Loads the frustum into the projection matrix and the look-at into the
// model-view matrix (which is left current).
void ApplyFrustum(const Frustum& frustum);

// Multiplies the current matrix by the arcball's rotation.
void ApplyRotation(const CBallController& controller);

// PlaceCamera: the follow camera when followPose is given, otherwise the
// orbit camera with the arcball rotation applied after the look-at (the scene
// draw then translates by minus the focal point).
void PlaceCamera(const COpenGLTemplateDoc& document, const CameraPlacement* followPose, double fieldOfViewDegrees,
                 int width, int height, StereoEye eye);

// Fit all: the focal point becomes the centre of the box around every
// surface's bounding box and the orbit distance 1.5 times that box's largest
// side. Takes the document lock; surfaces without a box tree are left out,
// and with none at all nothing changes.
void FitCameraToSurfaces(COpenGLTemplateDoc& document);

} // namespace render
