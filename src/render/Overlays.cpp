#include "render/Overlays.h"

#include "document/DocumentSettings.h"
#include "render/Arrow.h"
#include "simulation/SharedSettings.h"
#include "surface/SurfaceSection.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <initializer_list>

namespace render {

namespace {

void color(int r, int g, int b)
{
    glColor3ub(static_cast<GLubyte>(r), static_cast<GLubyte>(g), static_cast<GLubyte>(b));
}
void colorOf(const Vec3& c) { glColor3d(c.x, c.y, c.z); }
void vertex(const Vec3& p) { glVertex3d(p.x, p.y, p.z); }
void point(const Vec3& p)
{
    glBegin(GL_POINTS);
    vertex(p);
    glEnd();
}
// Length of the navigation guides.
constexpr double kGuideLength = 2.0;

// Arrow whose head is one fifth of its length.
void arrow(const OverlayTools& tools, const Vec3& from, const Vec3& v) { DrawArrow(tools.arrow, from, v, 0.0); }

} // namespace

void DrawBall(const OverlayTools& tools, const SimulationFrame& frame, double radius)
{
    color(255, 255, 255);
    gluQuadricTexture(tools.sphere, GL_TRUE);
    glBindTexture(GL_TEXTURE_2D, tools.ballTexture);
    glPushMatrix();
    glTranslated(frame.ballCentre.x, frame.ballCentre.y, frame.ballCentre.z);
    glMultMatrixd(frame.ballOrientation.m);
    gluSphere(tools.sphere, radius, 20, 20);
    glPopMatrix();
    glBindTexture(GL_TEXTURE_2D, 0);
}

void DrawRollingVectors(const OverlayTools& tools, const SimulationFrame& f)
{
    glLineWidth(3.0f);
    glPointSize(5.0f);
    const Vec3& from = f.previousBallCentre;
    color(0, 0, 170);
    point(from);
    point(f.ballCentre);
    DrawArrow(tools.arrow, from, f.velocity, 0.2);
    arrow(tools, from + f.velocity, f.velocityChange);
    color(170, 0, 0);
    const Vec3 tu = normalized(f.tangentU) * 2.0, tv = normalized(f.tangentV) * 2.0;
    for (const Vec3& t : {tu, -tu, tv, -tv, normalized(f.surfaceNormal) * 2.0}) arrow(tools, from, t);
    color(0, 130, 0);
    arrow(tools, from, f.gravity);
    color(0, 170, 0);
    arrow(tools, from, f.acceleration);
}

void DrawLinearDisplacement(const OverlayTools& tools, const ContactSegment& s)
{
    const Vec3& from = s.startPoint;
    auto widthArrow = [&](float width, const Vec3& v) {
        glLineWidth(width);
        arrow(tools, from, v);
    };
    color(170, 0, 0);
    widthArrow(2.0f, normalized(s.segTangentU) * 2.0);
    widthArrow(4.0f, s.uComponent);
    color(0, 0, 170);
    widthArrow(2.0f, normalized(s.segTangentV) * 2.0);
    widthArrow(4.0f, s.vComponent);
    color(0, 170, 170);
    widthArrow(2.0f, s.remainingDisplacement);
    widthArrow(4.0f, s.tangentialDisplacement);
    color(255, 255, 255);
    widthArrow(2.0f, s.chordU);
    widthArrow(2.0f, s.chordV);
    color(0, 170, 0);
    widthArrow(2.0f, s.endPoint - s.startPoint);
    glPointSize(10.0f);
    if (s.endKind == 1)
        color(170, 0, 0);
    else if (s.endKind == 2)
        color(0, 0, 170);
    else
        color(0, 170, 0);
    point(s.endPoint);
    if (s.endKind == 1) {
        color(220, 0, 0);
        point(s.edgePoint);
    }
}

void DrawBounceVectors(const OverlayTools& tools, const ImpactRecord& b)
{
    glLineWidth(3.0f);
    glPointSize(10.0f);
    color(170, 0, 0);
    point(b.impactPoint);
    color(170, 170, 0);
    arrow(tools, b.impactPoint, normalized(b.impactNormal) * 2.0);
    for (const Vec3* t : {&b.impactTangentU, &b.impactTangentV, &b.impactNegTangentU, &b.impactNegTangentV})
        arrow(tools, b.impactPoint, *t);
    glLineWidth(5.0f);
    color(0, 170, 0);
    // The incoming motion ends at the impact point; its parts start where it starts.
    const Vec3 incomingStart = b.impactPoint - b.incomingPart;
    arrow(tools, incomingStart, b.incomingPart);
    arrow(tools, incomingStart, b.tangentialPart);
    arrow(tools, incomingStart + b.tangentialPart, b.normalPart);
    color(0, 0, 170);
    arrow(tools, b.impactPoint, b.reflectedPart);
    arrow(tools, b.impactPoint, b.landingPart);
}

void DrawImpactVectors(const OverlayTools& tools, const SimulationFrame& f)
{
    const IntersectionOverlay& search = f.search;
    glPointSize(10.0f);
    color(255, 255, 255);
    point(search.segmentFrom);
    point(search.segmentTo);
    arrow(tools, search.segmentFrom, search.segmentTo - search.segmentFrom);
    // The search direction: the segment moved toward the triangle by the ball radius.
    color(0, 150, 150);
    arrow(tools, search.shiftedFrom, search.shiftedTo - search.shiftedFrom);
    point(search.shiftedTo);
    if (f.impact.hitSurface) {
        color(200, 0, 0);
        point(f.impact.hitPoint);
    }
}

void DrawNavigationGuides(const OverlayTools& tools, const SimulationFrame& f)
{
    // Forward and backward along the motion, right and left across it: the
    // pushes of the force circle's top, bottom and sides.
    const Vec3 forward = normalized(f.velocity) * kGuideLength;
    const Vec3 sideways = normalized(cross(f.velocity, f.surfaceNormal)) * kGuideLength;
    glLineWidth(2.0f);
    color(0, 0, 170);
    arrow(tools, f.ballCentre, forward);
    arrow(tools, f.ballCentre, -forward);
    color(0, 170, 0);
    arrow(tools, f.ballCentre, sideways);
    arrow(tools, f.ballCentre, -sideways);
    if (f.forceInputActive) {
        color(170, 0, 0);
        arrow(tools, f.ballCentre, f.appliedForce);
    }
}

void DrawLaunchArrow(const OverlayTools& tools, const SimulationFrame& f)
{
    glLineWidth(2.0f);
    color(0, 0, 170);
    arrow(tools, f.ballCentre, normalized(f.launchDirection) * f.launchSpeed);
}

void DrawBallPathPast(const OverlayTools& tools, const std::vector<PathPoint>& path)
{
    glLineWidth(4.0f);
    for (std::size_t k = 0; k < path.size(); ++k) {
        const PathPoint& a = path[k];
        if (a.impact) {
            glPointSize(15.0f);
            color(200, 0, 0);
            point(a.point);
        }
        if (k + 1 == path.size()) break;
        const PathPoint& b = path[k + 1];
        if (b.impact) {
            color(0, 0, 200);
            arrow(tools, a.point, b.point - a.point);
        } else if (a.inAir == b.inAir) {
            colorOf(a.colour);
            glBegin(GL_LINES);
            vertex(a.point);
            vertex(b.point);
            glEnd();
        } else {
            glPointSize(10.0f);
            glBegin(GL_POINTS);
            colorOf(a.colour);
            vertex(a.point);
            colorOf(b.colour);
            vertex(b.point);
            glEnd();
        }
    }
}

void DrawFocalPoint(const OverlayTools& tools, const Vec3& focalPoint, const SurfaceDerivatives& d)
{
    glLineWidth(2.0f);
    glPointSize(5.0f);
    color(255, 255, 255);
    point(focalPoint);
    color(200, 0, 0);
    for (const Vec3& v : {d.Su, -d.Su, d.Sv, -d.Sv, d.N}) arrow(tools, focalPoint, v);
    color(0, 0, 200);
    arrow(tools, focalPoint, d.Suu);
    arrow(tools, focalPoint, d.Svv);
    color(0, 200, 0);
    arrow(tools, focalPoint, d.Suv);
}

void DrawCameraPathPast(const std::vector<CameraPathPoint>& path)
{
    glLineWidth(4.0f);
    glBegin(GL_LINES);
    for (std::size_t k = 0; k + 1 < path.size(); ++k) {
        const double i = path[k].intensity;
        glColor3d(i, i, i);
        vertex(path[k].eye);
        vertex(path[k + 1].eye);
    }
    glEnd();
}

void DrawCameraPresent(const OverlayTools& tools, const SimulationFrame& f)
{
    glPointSize(10.0f);
    auto one = [&](const CameraPlacement& c) {
        point(c.eye);
        arrow(tools, c.eye, c.direction);
        arrow(tools, f.ballCentre, c.up);
    };
    if (f.activeCamera) {
        color(255, 255, 255);
        one(*f.activeCamera);
    }
    if (f.targetCamera) {
        color(170, 0, 0);
        one(*f.targetCamera);
    }
}

void DrawOverlays(const OverlayTools& tools, const DocumentSettings& s, const SimulationFrame& f,
                  const SurfaceDerivatives& focalDerivatives)
{
    if (ReadSetting(s.showBall)) DrawBall(tools, f, ReadSetting(s.ballRadius));
    if (ReadSetting(s.showRollingVectors)) DrawRollingVectors(tools, f);
    if (ReadSetting(s.showLinearDisplacement) && f.selectedSegment) DrawLinearDisplacement(tools, *f.selectedSegment);
    if (ReadSetting(s.showBounceVectors)) DrawBounceVectors(tools, f.impact);
    if (ReadSetting(s.showImpactVectors)) DrawImpactVectors(tools, f);
    if (ReadSetting(s.showNavigationGuides)) DrawNavigationGuides(tools, f);
    if (f.settingVelocity) DrawLaunchArrow(tools, f);
    if (ReadSetting(s.showBallPathPast)) DrawBallPathPast(tools, f.pastPath);
    if (ReadSetting(s.showFocalPoint)) DrawFocalPoint(tools, s.focalPoint, focalDerivatives);
    if (ReadSetting(s.showCameraPathPast)) DrawCameraPathPast(f.cameraPath);
    if (ReadSetting(s.showCameraPresent)) DrawCameraPresent(tools, f);
}

} // namespace render
