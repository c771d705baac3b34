#include "view/MouseInteraction.h"

#include "document/OpenGLTemplateDoc.h"
#include "simulation/FollowCamera.h"
#include "simulation/ForcesAndPaths.h"
#include "simulation/SharedSettings.h"
#include "simulation/Simulation.h"
#include "view/CameraCommands.h"
#include "view/LaunchControl.h"
#include "view/ViewCore.h"

MouseInteraction::MouseInteraction(ViewCore& view, CBallController& controller)
    : view_(view), controller_(controller), arcball_(controller)
{
}

void MouseInteraction::SetWindowSize(int width, int height) { arcball_.SetWindowSize(width, height); }

void MouseInteraction::PostRotation() { view_.PostRotation(controller_.rotation); }

void MouseInteraction::LeftDown(int x, int y, bool ctrl, bool shift)
{
    COpenGLTemplateDoc& doc = view_.document();
    SimulationState& sim = doc.simulation;
    leftDrag_ = true;
    pressX_ = x;
    pressY_ = y;
    arcball_.SetConstraint(ctrl ? kConstraintCamera : shift ? kConstraintBody : kConstraintFree);
    if (sim.settingVelocity.load()) {
        const double d = view_.OrbitDistance();
        view_.WithViewLock([&] { FixLaunchWithPreview(doc, d); });
    } else if (!(sim.velocitySet.load() && sim.stopped.load())) {
        if (ReadSetting(doc.navigation) && InsideForceCircle(sim, x, y)) {
            sim.forceMouseX = x;
            sim.forceMouseY = y;
            sim.forceInputActive = true;
        } else {
            arcball_.MouseDown(x, y);
        }
    } else {
        RollBall(doc);
    }
}

void MouseInteraction::Move(int x, int y)
{
    COpenGLTemplateDoc& doc = view_.document();
    SimulationState& sim = doc.simulation;
    if (leftDrag_) {
        if (sim.forceInputActive.load()) {
            sim.forceMouseX = x;
            sim.forceMouseY = y;
        } else {
            arcball_.MouseMove(x, y);
            PostRotation();
        }
    } else if (rightDrag_) {
        ApplyZoom(ZoomOrbit(d0_, pressY_ - y, sim.camera.minimumDistance, sim.camera.maximumDistance));
    } else if (sim.settingVelocity.load()) {
        const double d = view_.OrbitDistance();
        view_.WithViewLock([&] { MapLaunchVelocity(doc, x, y, d); });
    }
}

void MouseInteraction::LeftUp()
{
    SimulationState& sim = view_.document().simulation;
    leftDrag_ = rightDrag_ = false;
    pressX_ = pressY_ = 0;
    if (sim.forceInputActive.load()) {
        sim.forceInputActive = false;
    } else {
        arcball_.MouseUp();
        PostRotation();
    }
}

void MouseInteraction::RightDown(int x, int y)
{
    rightDrag_ = true;
    d0_ = view_.OrbitDistance();
    pressX_ = x;
    pressY_ = y;
}

void MouseInteraction::RightUp() { rightDrag_ = false; }

void MouseInteraction::Wheel(double notches)
{
    const FollowCameraState& camera = view_.document().simulation.camera;
    ApplyZoom(ZoomOrbitByWheel(view_.OrbitDistance(), notches, camera.minimumDistance, camera.maximumDistance));
}

void MouseInteraction::ApplyZoom(const OrbitZoom& zoom)
{
    if (!zoom.changed) return;
    COpenGLTemplateDoc& doc = view_.document();
    SimulationState& sim = doc.simulation;
    view_.SetOrbitDistance(zoom.distance);
    sim.camera.elevationFraction = zoom.elevationFraction;
    if (sim.settingVelocity.load()) view_.WithViewLock([&] { PreviewLaunch(doc, zoom.distance); });
}

void MouseInteraction::Key(int code)
{
    arcball_.Key(code);
    PostRotation();
}

void MouseInteraction::CharacterTyped() { Key(kKeyPad2); }
