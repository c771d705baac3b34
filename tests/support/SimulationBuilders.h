#pragma once

// Documents and surfaces for ball simulation tests and benchmarks: flat
// floors, inclines, closed tubes, and a ball launched or dropped on them.

#include "document/OpenGLTemplateDoc.h"
#include "simulation/ForcesAndPaths.h"
#include "simulation/Rolling.h"
#include "simulation/Simulation.h"
#include "simulation/SurfaceQueries.h"
#include "support/DocumentBuilders.h"

#include <cmath>
#include <string>

namespace builders {

// Shape of a floor: where it starts, how it tilts, how its u runs.
struct FloorShape {
    Vec3 origin;                // position of the first cross section
    double slope = 0.0;         // fall in height per unit along +x
    double width = 0.0;         // across z; 0: points - 1
    bool mirrored = false;      // u runs from +z to -z (the normal stays up)
};

// A channel of the document laid flat: sections along +x, each a straight
// line of `points` points across z; u runs across (z), v along (x). The
// surface is exactly planar, with its normal up.
inline SurfaceSection& addFloor(COpenGLTemplateDoc& doc, const char* name, int points, int intermediate,
                                const FloorShape& shape = {})
{
    SurfaceSection& s = *doc.CreateChannelSurface(name, points, intermediate);
    const double width = shape.width > 0.0 ? shape.width : points - 1.0;
    for (int i = 0; i < s.sectionCount; ++i) {
        CrossSection& c = s.sections[i];
        const double x = i * static_cast<double>(points);
        c.position = shape.origin + Vec3{x, -shape.slope * x, 0.0};
        c.direction = {1.0, 0.0, 0.0};
        c.up = {0.0, 1.0, 0.0};
        c.scale = 1.0;
        for (int j = 0; j < points; ++j) {
            const double across = width * (j / (points - 1.0) - 0.5);
            c.points[j] = {shape.mirrored ? -across : across, 0.0, 0.0};
        }
    }
    s.BuildNet();
    s.ComputeSectionVectors();
    s.ComputeHeightRange();
    s.reverseNormal = shape.mirrored;
    s.Rebuild();
    return s;
}

// A track of `count` floors laid end to end down a slope, each linked at its
// end to the next one's beginning, named t0, t1, ...; width as FloorShape's.
inline void addTrack(COpenGLTemplateDoc& doc, int count, int points, int intermediate, double slope,
                     double width = 0.0)
{
    const double length = (intermediate + 3.0) * points;
    SurfaceSection* previous = nullptr;
    for (int k = 0; k < count; ++k) {
        std::string name = "t";
        name += std::to_string(k);
        const Vec3 origin{k * length, -slope * k * length, 0.0};
        SurfaceSection& s = addFloor(doc, name.c_str(), points, intermediate, FloorShape{origin, slope, width});
        if (previous) linkSites(*previous, 0, s, 1);
        previous = &s;
    }
}

// A horizontal tube along +x of the given radius, closed in u, whose seam
// (u = 0 and u = 1) runs along the bottom; its normal points inward.
inline SurfaceSection& addTube(COpenGLTemplateDoc& doc, const char* name, int points, double radius)
{
    SurfaceSection& s = *doc.CreateChannelSurface(name, points, 2);
    for (int i = 0; i < s.sectionCount; ++i) {
        CrossSection& c = s.sections[i];
        c.position = {i * 4.0, 0.0, 0.0};
        for (int j = 0; j < points; ++j) {
            const double phi = 2.0 * kPi * j / (points - 1.0);
            c.points[j] = {radius * std::sin(phi), radius * (1.0 - std::cos(phi)), 0.0};
        }
    }
    s.BuildNet();
    s.ComputeSectionVectors();
    s.ComputeHeightRange();
    s.Rebuild();
    s.wrapU = true;
    return s;
}

// A document with its main group and no surfaces yet.
inline void emptyDocument(COpenGLTemplateDoc& doc) { doc.EnsureMainGroup(); }

// Stores the ball start at (u, v) of a surface and the launch the document
// rolls it with, as a saved document holds them.
inline void setLaunch(COpenGLTemplateDoc& doc, SurfaceSection& s, double u, double v, double speed,
                      const Vec3& dir = {1.0, 0.0, 0.0})
{
    doc.SetBallStart(&s, u, v);
    doc.launchSpeed = speed;
    doc.launchDirection = dir;
}

// Positions the ball at (u, v) of a surface and rolls it with the given speed
// along dir turned into the surface's tangent plane there.
inline void launch(COpenGLTemplateDoc& doc, SurfaceSection& s, double u, double v, double speed, const Vec3& dir)
{
    doc.SetBallStart(&s, u, v);
    const SurfaceFrame f = SurfaceTangents(s, u, v);
    doc.launchSpeed = speed;
    doc.launchDirection = normalized(ProjectToTangentPlane(s.EvaluatePoint(u, v), f.Su, f.Sv, dir));
    PositionBall(doc, true);
    FixLaunch(doc);
    RollBall(doc);
}

// Puts the running ball in the air with its centre at `centre`, moving with
// `velocity`, as if its last flight step had taken it there.
inline void throwBall(COpenGLTemplateDoc& doc, const Vec3& centre, const Vec3& velocity, double h)
{
    LiveBall& b = doc.simulation.ball;
    b.inAir = true;
    b.ballCentre = b.contactPoint = centre;
    b.previousBallCentre = b.previousContactPoint = centre - velocity * h;
    b.velocity = velocity;
    b.acceleration = doc.simulation.gravity;
}

// The force circle of a 300 x 200 view, the pointer held at (x, y) or let go.
inline void holdForce(SimulationState& sim, bool held, int x = 150, int y = 100)
{
    sim.viewHeight = 200;
    if (!sim.windowCircle.laidOut.load()) LayoutForceCircle(sim.windowCircle, 300, 200);
    sim.forceMouseX = x;
    sim.forceMouseY = y;
    sim.forceInputActive = held;
}

// One step with the measured step time h.
inline void step(COpenGLTemplateDoc& doc, double h = 0.06)
{
    doc.simulation.stepTime = h;
    StepSimulation(doc);
}

// Steps until `done()` holds, at most `limit` steps; whether it held.
inline bool stepUntil(COpenGLTemplateDoc& doc, int limit, const auto& done)
{
    for (int k = 0; k < limit && !done(); ++k) step(doc);
    return done();
}

} // namespace builders
