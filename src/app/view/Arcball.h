#pragma once

// The arcball's mouse and key handling on the document's CBallController:
// the virtual ball, free or axis-constrained drags and the rotation keys.
// Runs on the user-interface thread.

#include "document/BallController.h"

#include <array>

// Key codes the arcball answers to (the window system's virtual keys).
enum ArcballKey : int {
    kKeyTab = 9,
    kKeyEscape = 27,
    kKeyPageUp = 33,
    kKeyHome = 36,
    kKeyLeft = 37,
    kKeyUp = 38,
    kKeyRight = 39,
    kKeyDown = 40,
    kKeyPad2 = 98,
    kKeyPad4 = 100,
    kKeyPad6 = 102,
    kKeyPad7 = 103,
    kKeyPad8 = 104,
    kKeyPad9 = 105,
};

enum ArcballConstraint : int {
    kConstraintFree = 0,
    kConstraintCamera = 1, // the fixed camera axes
    kConstraintBody = 2,   // the scene's own axes, the columns of the rotation
    kConstraintUser = 3,
};

class ArcballControl {
public:
    explicit ArcballControl(CBallController& controller) : controller_(controller) {}

    // Normalised window coordinates of a pixel: -1 to 1, y up.
    Vec3 Normalise(double px, double py) const;
    // The point of the virtual ball (or its hyperbolic sheet) over (x, y).
    Vec3 MapToBall(double x, double y) const;

    void SetWindowSize(double width, double height);
    void SetConstraint(int mode) { constraint_ = mode; }
    int constraint() const { return constraint_; }
    int chosenAxis() const { return chosenAxis_; }
    bool dragging() const { return dragging_; }
    const std::array<Vec3, 3>& axisSet(int mode) const { return axes_[mode <= 0 ? 0 : mode - 1]; }

    void MouseDown(double px, double py);
    void MouseMove(double px, double py);
    void MouseUp();
    void Key(int code);

    static constexpr int kKeyStepDegrees = 5;

private:
    void Turn(const Vec3& axis, double degrees);
    // The constraint axis, or none (nullptr) for a free drag.
    const Vec3* ConstraintAxis() const;
    Vec3 Constrain(const Vec3& p, const Vec3& axis) const;
    void RefreshBodyAxes();

    CBallController& controller_;
    bool dragging_ = false;
    double lastX_ = 0.0, lastY_ = 0.0;
    int constraint_ = kConstraintFree;
    int chosenAxis_ = 0;
    // Camera, body and user axes, each starting as the unit x, y and z axes.
    std::array<std::array<Vec3, 3>, 3> axes_{{{Vec3{1, 0, 0}, Vec3{0, 1, 0}, Vec3{0, 0, 1}},
                                             {Vec3{1, 0, 0}, Vec3{0, 1, 0}, Vec3{0, 0, 1}},
                                             {Vec3{1, 0, 0}, Vec3{0, 1, 0}, Vec3{0, 0, 1}}}};
};
