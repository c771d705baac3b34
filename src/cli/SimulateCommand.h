#pragma once

#include "geometry/Vec3.h"

#include <cstddef>
#include <iosfwd>
#include <string>
#include <vector>

class COpenGLTemplateDoc;

namespace cli {

struct StartPoint {
    std::string surface, group;
    double u = 0.0, v = 0.0;
};

// The options of a headless run (shared by "simulate", "profile" and "render").
struct SimulateOptions {
    std::string document;
    long steps = 500;
    double dt = 0.0; // 0: the document's maxStepTime
    bool hasSteps = false, hasSpeed = false, hasDirection = false, hasStart = false;
    double speed = 0.0;
    Vec3 direction;
    StartPoint start;
    bool pauseOnAir = false, pauseOnBounce = false, preventSameSurface = false, noBounce = false,
         pauseEachFrame = false;
    std::string replay; // a ride file to step again instead (--replay)
};

// The whole text as one finite number.
bool ParseNumber(const std::string& text, double& value);

// Reads the simulate option at args[k], moving k past its value. False when
// args[k] is no simulate option; a bad or missing value sets problem.
bool ParseSimulateOption(const std::vector<std::string>& args, std::size_t& k, SimulateOptions& o,
                         std::string& problem);

// The document's ball start and launch speed, where the options do not
// replace them, must be what --start and --speed would take. Returns 0, or
// kExitFile after saying what the document holds.
int CheckStoredLaunch(const COpenGLTemplateDoc& doc, const SimulateOptions& o, std::ostream& err);

// Applies the options to the opened document and puts the ball at its start,
// rolling. Returns 0, or the exit code after writing the complaint to err.
int PrepareSimulation(COpenGLTemplateDoc& doc, const SimulateOptions& o, std::ostream& err);

// The start surface of "simulate" is not in the document.
inline constexpr int kExitNoStartSurface = 2;

// marlwick-cli simulate FILE.mwk [--steps N] [--dt H] [--speed S]
//   [--direction X,Y,Z] [--start SURFACE,GROUP,U,V] [--pause-on-air]
//   [--pause-on-bounce] [--prevent-same-surface] [--no-bounce] [--pause-each-frame]
//   [--replay RIDE.mwkride]
// Places the ball quietly at its start with the launch speed and direction,
// rolls it and runs N steps of the fixed length H through the physics step,
// with no thread and no waiting. Writes one JSON object per line and step,
// then a line {"summary": ...}; the output is the same on every run. With
// --replay the run is the ride's (its first N steps with --steps), and the
// summary says whether every step put the ball where the ride did.
int RunSimulate(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace cli
