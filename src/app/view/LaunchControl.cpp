#include "view/LaunchControl.h"

#include "document/OpenGLTemplateDoc.h"
#include "geometry/Matrix4.h"
#include "simulation/FollowCamera.h"
#include "simulation/ForcesAndPaths.h"
#include "simulation/SharedSettings.h"
#include "simulation/Simulation.h"

LaunchChoice ChooseLaunch(double px, double py, double width, double height, double cx, double cy,
                          const Vec3& reference, const Vec3& vertical, const Vec3& normal)
{
    LaunchChoice choice;
    const double a = py < cy && height > 0.0 ? (cy - py) / (0.5 * height) : 0.0;
    const double b = width > 0.0 ? (px - cx) / (0.5 * width) : 0.0;
    choice.speed = a == 0.0 ? 0.25 : 100.0 * a;
    const Vec3 turned = rotateVector(reference, vertical, -kPi * b);
    const Vec3 n = normalized(normal);
    choice.direction = normalized(turned - dot(turned, n) * n);
    return choice;
}


void MapLaunchVelocity(COpenGLTemplateDoc& document, int px, int py, double orbitDistance)
{
    SurfaceSection* s = document.ballStartSurface;
    if (!s) return;
    const SimulationState& sim = document.simulation;
    const double width = sim.viewWidth.load(), height = sim.viewHeight.load();
    double cx = width / 2.0, cy = height / 2.0;
    if (sim.windowCircle.laidOut.load()) {
        cx = sim.windowCircle.centreX.load();
        cy = sim.windowCircle.centreY.load();
    }
    const SurfaceDerivatives d = s->EvaluateDerivatives(document.ballStartU, document.ballStartV);
    const LaunchChoice choice =
        ChooseLaunch(px, py, width, height, cx, cy, normalized(d.Sv), COpenGLTemplateDoc::upVector, d.N);
    document.launchSpeed = choice.speed;
    // A direction that vanishes (the turned reference along the normal) keeps the last one.
    if (length(choice.direction) > 0.0) document.launchDirection = choice.direction;
    PreviewLaunch(document, orbitDistance);
}

void FixLaunchWithPreview(COpenGLTemplateDoc& document, double orbitDistance)
{
    FixLaunch(document);
    PreviewLaunch(document, orbitDistance);
}
