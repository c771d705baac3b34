#pragma once

// One simulation step and the commands that start, stop and place the ball.

#include "simulation/ForcesAndPaths.h"

#include <string>

class COpenGLTemplateDoc;

inline constexpr const char* kNoVelocityMessage = "First set the initial velocity of the ball.";
inline constexpr const char* kNoStartSurfaceMessage = "Set the initial ball surface and position.";

// One step, in this order: skip while stopped or while the last movie frame
// waits for capture; the applied force; the step length bounded by
// maxStepTime (exactly maxStepTime in single-step and movie mode); fall-off
// below every surface puts the ball back at its start; a ball at rest stays;
// otherwise the velocity update, the follow distance and the ball advance.
// Then, unless stopped, the present state is recorded and the follow camera
// placed; with "Pause each frame" the ball stops after the step.
//
// Everything a step takes from outside the simulation comes in its input, so
// that a recorded run can be stepped again exactly.
struct StepInput {
    double stepTime = 0.0; // seconds since the last step, as the loop measured it
    ForceInput force;
};
struct StepOutcome {
    bool ran = false; // false: skipped (stopped, or a movie frame not yet captured)
    double h = 0.0;   // the step length used, when it ran
    Vec3 ballCentre;  // where the step left the ball, when it ran
};
StepOutcome StepSimulation(COpenGLTemplateDoc& document, const StepInput& input);
// The step with the document's stepTime and the force input as it stands.
void StepSimulation(COpenGLTemplateDoc& document);

// "Roll ball": starts the simulation once a launch velocity is fixed;
// otherwise returns kNoVelocityMessage and changes nothing. Empty on success.
std::string RollBall(COpenGLTemplateDoc& document);

// Stops the ball, switches the ball and camera overlays, "Navigation" and
// "Camera follows ball" off (the overlay switches are saved the first time)
// and asks the physics thread to pause without waiting.
void StopBall(COpenGLTemplateDoc& document);

// "Position ball": puts the ball back on the start surface at its start
// parameters with the launch velocity, stopped, and starts choosing the launch
// velocity. The quiet form is the physics thread's own (after a fall): it
// pauses only the render thread. Returns kNoStartSurfaceMessage (and changes
// nothing) without a start surface; empty otherwise.
std::string PositionBall(COpenGLTemplateDoc& document, bool quiet = false);

// Places the ball at its start with the launch speed and direction and rolls
// it at once, as a run without a window starts.
void LaunchQuietly(COpenGLTemplateDoc& document);

// Fixing the launch (the click that ends choosing the velocity): the ball is
// placed at its start with the chosen speed, the camera elevation returns to
// its default, and the next Roll ball starts it.
void FixLaunch(COpenGLTemplateDoc& document);

// Puts the ball into its reset state on its surface: stopped, rolling, not
// turned, no paths, no remembered contact cell, no camera lag, no force.
void ResetBall(COpenGLTemplateDoc& document);
