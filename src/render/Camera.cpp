#include "render/Camera.h"

#include "document/OpenGLTemplateDoc.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>

namespace render {

CameraPlacement OrbitPose(double cameraDistance) { return {{0.0, 0.0, -cameraDistance}, {0.0, 0.0, -1.0}, {0.0, 1.0, 0.0}}; }

namespace {

constexpr double kMonoNear = 0.01;

} // namespace

double FocusDistance(const CameraPlacement& pose, bool following)
{
    return following ? length(pose.direction) : length(pose.eye);
}

Frustum ComputeFrustum(const CameraPlacement& pose, double fieldOfViewDegrees, double aspect, StereoEye eye,
                       double focusDistance)
{
    const bool stereo = eye != StereoEye::Mono;
    const double sixSevenths = focusDistance - focusDistance / 7.0;
    // Also catches a distance that is no number.
    const double focalLength = sixSevenths > 5.0 * kMonoNear ? sixSevenths : 5.0 * kMonoNear;
    const double eyeSeparation = focalLength / 20.0;

    Frustum f;
    f.nearPlane = stereo ? focalLength / 5.0 : kMonoNear;
    f.farPlane = 1000000.0;
    const double w = f.nearPlane * std::tan(fieldOfViewDegrees / 2.0 * 0.01745329251994);
    const double ndfl = f.nearPlane / focalLength;
    const Vec3 r = normalized(cross(pose.direction, pose.up)) * (eyeSeparation / 2.0);

    double shift = 0.0;
    Vec3 eyePosition = pose.eye;
    if (eye == StereoEye::Left) {
        shift = eyeSeparation / 2.0 * ndfl;
        eyePosition = pose.eye - r;
    } else if (eye == StereoEye::Right) {
        shift = -eyeSeparation / 2.0 * ndfl;
        eyePosition = pose.eye + r;
    }
    f.left = -aspect * w + shift;
    f.right = aspect * w + shift;
    f.bottom = -w;
    f.top = w;
    f.eye = eyePosition;
    f.target = eyePosition + pose.direction;
    f.up = pose.up;
    return f;
}

void ApplyFrustum(const Frustum& f)
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(f.left, f.right, f.bottom, f.top, f.nearPlane, f.farPlane);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(f.eye.x, f.eye.y, f.eye.z, f.target.x, f.target.y, f.target.z, f.up.x, f.up.y, f.up.z);
}

void ApplyRotation(const CBallController& controller) { glMultMatrixd(controller.rotation.rotationMatrix().m); }

void PlaceCamera(const COpenGLTemplateDoc& document, const CameraPlacement* followPose, double fieldOfViewDegrees,
                 int width, int height, StereoEye eye)
{
    const CameraPlacement pose = followPose ? *followPose : OrbitPose(document.cameraDistance);
    const double aspect = static_cast<double>(width) / (height == 0 ? 1 : height);
    ApplyFrustum(ComputeFrustum(pose, fieldOfViewDegrees, aspect, eye, FocusDistance(pose, followPose != nullptr)));
    if (!followPose) ApplyRotation(document.ballController);
}

void FitCameraToSurfaces(COpenGLTemplateDoc& document)
{
    LockGuard guard(document.documentLock);
    Vec3 low{1e300, 1e300, 1e300}, high{-1e300, -1e300, -1e300};
    bool any = false;
    for (const auto& surface : document.surfaces) {
        LockGuard surfaceGuard(surface->geometryLock);
        if (!surface->boxTree) continue;
        const BoxRecord& box = surface->boxTree->tight;
        low = {std::min(low.x, box.xMin), std::min(low.y, box.yMin), std::min(low.z, box.zMin)};
        high = {std::max(high.x, box.xMax), std::max(high.y, box.yMax), std::max(high.z, box.zMax)};
        any = true;
    }
    if (!any) return;
    const Vec3 size = high - low;
    document.focalPoint = (low + high) * 0.5;
    document.cameraDistance = -1.5 * std::max({size.x, size.y, size.z});
}

} // namespace render
