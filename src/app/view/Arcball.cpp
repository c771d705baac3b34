#include "view/Arcball.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kDegree = kPi / 180.0;

} // namespace

void ArcballControl::SetWindowSize(double width, double height)
{
    controller_.windowWidth = width;
    controller_.windowHeight = height;
}

Vec3 ArcballControl::Normalise(double px, double py) const
{
    const double w = controller_.windowWidth > 0.0 ? controller_.windowWidth : 1.0;
    const double h = controller_.windowHeight > 0.0 ? controller_.windowHeight : 1.0;
    return {(2.0 * px - w) / w, (h - 2.0 * py) / h, 0.0};
}

Vec3 ArcballControl::MapToBall(double x, double y) const
{
    const double r = controller_.ballRadius;
    const double s = x * x + y * y;
    const double z = s <= r * r / 2.0 ? std::sqrt(r * r - s) : r * r / (2.0 * std::sqrt(s));
    return {x, y, z};
}

void ArcballControl::MouseDown(double px, double py)
{
    const Vec3 p = Normalise(px, py);
    lastX_ = p.x;
    lastY_ = p.y;
    controller_.rotationAtPress = controller_.rotation;
    dragging_ = true;
}

const Vec3* ArcballControl::ConstraintAxis() const
{
    if (constraint_ == kConstraintFree) return nullptr;
    return &axisSet(constraint_)[static_cast<std::size_t>(chosenAxis_)];
}

// Onto the plane perpendicular to the axis, back on the ball's surface.
Vec3 ArcballControl::Constrain(const Vec3& p, const Vec3& axis) const
{
    const Vec3 unitAxis = normalized(axis);
    const Vec3 inPlane = p - dot(p, unitAxis) * unitAxis;
    return normalized(inPlane) * controller_.ballRadius;
}

void ArcballControl::MouseMove(double px, double py)
{
    const Vec3 p = Normalise(px, py);
    if (!dragging_) {
        if (constraint_ == kConstraintFree) return;
        // The axis whose great circle passes nearest the point under the mouse.
        const Vec3 onBall = normalized(MapToBall(p.x, p.y));
        const auto& set = axisSet(constraint_);
        double best = 2.0;
        for (int k = 0; k < 3; ++k) {
            const double off = std::fabs(dot(onBall, normalized(set[static_cast<std::size_t>(k)])));
            if (off < best) {
                best = off;
                chosenAxis_ = k;
            }
        }
        return;
    }
    Vec3 a = MapToBall(lastX_, lastY_);
    Vec3 b = MapToBall(p.x, p.y);
    if (const Vec3* axis = ConstraintAxis()) {
        a = Constrain(a, *axis);
        b = Constrain(b, *axis);
    }
    const double r = controller_.ballRadius;
    const double angle = 2.0 * std::asin(std::min(length(a - b) / (2.0 * r), 1.0));
    Vec3 turnAxis = cross(b, a);
    replaceIfTiny(turnAxis, Vec3{1.0, 0.0, 0.0});
    controller_.rotation = unitquaternion(product(controller_.rotation, unitquaternion(angle, turnAxis)));
    lastX_ = p.x;
    lastY_ = p.y;
}

void ArcballControl::MouseUp()
{
    dragging_ = false;
    RefreshBodyAxes();
}

void ArcballControl::RefreshBodyAxes()
{
    const Matrix4 m = controller_.rotation.rotationMatrix();
    for (int c = 0; c < 3; ++c) axes_[1][static_cast<std::size_t>(c)] = {m.at(0, c), m.at(1, c), m.at(2, c)};
}

void ArcballControl::Turn(const Vec3& axis, double degrees)
{
    controller_.rotation = unitquaternion(product(controller_.rotation, unitquaternion(degrees * kDegree, axis)));
}

void ArcballControl::Key(int code)
{
    const double step = kKeyStepDegrees;
    switch (code) {
    case kKeyTab:
        if (dragging_ && constraint_ != kConstraintFree) chosenAxis_ = (chosenAxis_ + 1) % 3;
        break;
    case kKeyEscape:
        controller_.rotation = controller_.rotationAtPress;
        MouseUp();
        break;
    case kKeyPageUp: case kKeyPad9: Turn({0, 0, 1}, step); break;
    case kKeyHome: case kKeyPad7: Turn({0, 0, 1}, -step); break;
    case kKeyLeft: case kKeyPad4: Turn({0, 1, 0}, -step); break;
    case kKeyUp: case kKeyPad8: Turn({1, 0, 0}, step); break;
    case kKeyRight: case kKeyPad6: Turn({0, 1, 0}, step); break;
    case kKeyDown: case kKeyPad2: Turn({1, 0, 0}, -step); break;
    default: break;
    }
}
