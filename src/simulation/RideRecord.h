#pragma once

// A ride: one run of the ball from its launch to its end, as the inputs of
// every physics step and the ball's centre after it. What the steps take
// from outside (step length, force input) and the switches and launch that
// shape the run are enough to step the same run again; the centres check it.

#include "geometry/Vec3.h"
#include "simulation/ForcesAndPaths.h"

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

class COpenGLTemplateDoc;

// The document's switches and the step bound that change what a step does.
struct RideSwitches {
    double maxStepTime = 0.06;
    bool bounce = true;
    bool pauseOnAir = false, pauseOnBounce = false, pauseEachFrame = false;
    bool preventSameSurface = false;
    bool operator==(const RideSwitches&) const = default;
};

// Where and how the ball was launched. Names are the document's bytes
// (Windows-1252).
struct RideLaunch {
    std::string surface, group;
    double u = 0.5, v = 0.5;
    double speed = 0.0;
    Vec3 direction;
};

// One physics step that ran: its length, the force input it took (the point
// only while the button was held) and the ball's centre after it.
struct RideStep {
    double h = 0.0;
    Vec3 centre;
    bool forceActive = false;
    std::int32_t forceX = 0, forceY = 0;
};

// A change of the switches or of the force circle between two steps.
struct RideChange {
    enum Kind : std::uint8_t { Switches, Circle };
    Kind kind = Switches;
    std::size_t beforeStep = 0; // index of the first step it applies to
    RideSwitches switches;
    ForceCircleLayout circle;
};

// How a run ended: not yet (still rolling when it was saved, or too long to
// keep whole); the ball stopped itself ("Pause on air", "Pause on bounce",
// "Pause each frame"); a command stopped it; or it was positioned again (by
// "Position ball", or after falling below every surface).
enum class RideEnd : std::uint8_t { None, Pause, Stop, Position };

struct RideRecord {
    std::string documentName;      // the file name, for people
    std::uint64_t documentHash = 0; // RideDocumentHash of the document's bytes
    RideSwitches switches;          // at the launch
    RideLaunch launch;
    std::deque<RideStep> steps;
    std::vector<RideChange> changes; // in step order
    RideEnd end = RideEnd::None;
};

// The switches as the document has them now (each read on its own).
RideSwitches SwitchesOf(const COpenGLTemplateDoc& document);
void ApplySwitches(COpenGLTemplateDoc& document, const RideSwitches& switches);
// The ball's start and launch as the document has them now.
RideLaunch LaunchOf(const COpenGLTemplateDoc& document);
