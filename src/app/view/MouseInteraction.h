#pragma once

// The four jobs of the mouse in the view, chosen by the document's state:
// choosing and fixing the launch, rolling the ball, pushing it through the
// force circle, and turning the scene with the arcball; the right button
// zooms. Pixel coordinates with y from the top. User-interface thread.

#include "view/Arcball.h"
#include "view/CameraCommands.h"

class ViewCore;

class MouseInteraction {
public:
    // controller is the user-interface thread's arcball; its rotation is
    // posted to the view after every change.
    MouseInteraction(ViewCore& view, CBallController& controller);

    void LeftDown(int x, int y, bool ctrl, bool shift);
    void Move(int x, int y);
    void LeftUp();
    void RightDown(int x, int y);
    void RightUp();
    // The mouse wheel turned by `notches` (forward positive): zooms as a
    // right-drag does, 10 % of the distance per notch.
    void Wheel(double notches);
    // A rotation key of the arcball (its key codes).
    void Key(int code);
    // Any key that types a character turns the scene as keypad 2 does.
    void CharacterTyped();
    void SetWindowSize(int width, int height);

    bool leftDrag() const { return leftDrag_; }
    bool rightDrag() const { return rightDrag_; }
    ArcballControl& arcball() { return arcball_; }

private:
    void PostRotation();
    void ApplyZoom(const OrbitZoom& zoom);

    ViewCore& view_;
    CBallController& controller_;
    ArcballControl arcball_;
    bool leftDrag_ = false, rightDrag_ = false;
    int pressX_ = 0, pressY_ = 0;
    double d0_ = 0.0; // orbit distance at the right press
};
