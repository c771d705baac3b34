#include "surface/SurfaceSection.h"

#include "geometry/Matrix4.h"

#include <algorithm>
#include <cmath>

namespace {

// Two directions are parallel when the angle between them lies within 1e-7 of 0 or pi.
bool parallel(const Vec3& a, const Vec3& b)
{
    const double c = std::clamp(dot(normalized(a), normalized(b)), -1.0, 1.0);
    const double angle = std::acos(c);
    return angle < 1e-7 || std::fabs(angle - kPi) < 1e-7;
}

// acos of the dot product of two directions, with the product clamped to [-1, 1]
// so that directions that are equal up to rounding give 0, not NaN.
double angleBetween(const Vec3& a, const Vec3& b)
{
    return std::acos(std::clamp(dot(normalized(a), normalized(b)), -1.0, 1.0));
}

// Frame walked along a channel: forward F, up U, right R.
struct Frame {
    Vec3 F, U, R;

    void orthonormalise()
    {
        normalize(F);
        normalize(U);
        R = normalized(cross(F, U));
    }

    // One steering step of the type B and C layouts, towards finalDirection and finalUp.
    void steer(double a, double b, const Vec3& finalDirection, const Vec3& finalUp)
    {
        if (a != 0.0) {
            const Vec3 axis = parallel(F, finalDirection) ? U : normalized(cross(F, normalized(finalDirection)));
            F = rotateVector(F, axis, a);
            U = rotateVector(U, axis, a);
        }
        if (b != 0.0) {
            const Vec3 axis = parallel(U, finalUp) ? F : normalized(cross(U, normalized(finalUp)));
            F = rotateVector(F, axis, b);
            U = rotateVector(U, axis, b);
        }
        orthonormalise();
    }
};

} // namespace

void SurfaceSection::WalkSection(int i, const Vec3& P, const Vec3& F, const Vec3& U, double scale, bool keepShapes)
{
    CrossSection& s = sections[i];
    s.position = P;
    s.direction = F;
    s.up = U;
    s.scale = scale;
    if (!keepShapes) {
        setText(s.shapeName, "Flat");
        FlatShape(i);
    }
}

void SurfaceSection::FinishLayout()
{
    BuildNet();
    ComputeSectionVectors();
    CopyEndFrames();
    ComputeHeightRange();
    reverseNormal = false;
    uLineEnabled = vLineEnabled = false;
    wrapU = wrapV = false;
}

void SurfaceSection::GenerateTypeA(bool keepShapes)
{
    const int m = intermediateCount;
    const int C = std::min(sectionCount, kMaxSections);
    const double N = 2.0 * m + 2.0;
    const double n = pointsPerSection;

    const double h = horizontalTurn.left ? horizontalTurn.angle / N : -horizontalTurn.angle / N;
    const double v = verticalTurn.down ? -verticalTurn.angle / N : verticalTurn.angle / N;
    const double r = axisRotation.clockwise ? axisRotation.angle / N : -axisRotation.angle / N;
    const double dh = horizontalDisplacement.distance / N;
    const double dv = verticalDisplacement.distance / N;
    const double ds = scaleChange ? (scaleTo - scaleFrom) / N : 0.0;

    Frame f{normalized(initialDirection), normalized(initialUp), {}};
    f.R = normalized(cross(f.F, f.U));
    Vec3 P = initialPosition;
    double scale = 1.0;

    auto turn = [&] {
        if (verticalTurn.perform) {
            f.F = rotateVector(f.F, f.R, v);
            f.U = rotateVector(f.U, f.R, v);
        }
        if (horizontalTurn.perform) f.F = rotateVector(f.F, f.U, h);
        if (axisRotation.perform) f.U = rotateVector(f.U, f.F, r);
        f.orthonormalise();
    };

    for (int i = 0; i < C; ++i) {
        WalkSection(i, P, f.F, f.U, scale, keepShapes);
        const bool interior = 1 <= i && i < C - 2;
        if (interior) turn();
        if (i < C - 1) {
            P += (n * scale) * f.F;
            if (interior) {
                if (horizontalDisplacement.perform)
                    P = horizontalDisplacement.displaceLeft ? P - dh * f.R : P + dh * f.R;
                if (verticalDisplacement.perform)
                    P = verticalDisplacement.displaceDown ? P - dv * f.U : P + dv * f.U;
            }
        }
        if (interior) {
            if (scaleChange) scale += ds;
            turn();
        }
    }
    finalDirection = f.F;
    finalUp = f.U;
    finalPosition = P;
    FinishLayout();
}

void SurfaceSection::GenerateTypeB(bool keepShapes)
{
    const int m = intermediateCount;
    const int C = std::min(sectionCount, kMaxSections);
    const double N = 2.0 * m + 2.0;
    const double n = pointsPerSection;
    const double a = angleBetween(initialDirection, finalDirection) / N;
    const double b = angleBetween(initialUp, finalUp) / N;
    const Vec3 targetDirection = finalDirection, targetUp = finalUp;

    Frame f{normalized(initialDirection), normalized(initialUp), {}};
    f.R = normalized(cross(f.F, f.U));
    Vec3 P = initialPosition;
    for (int i = 0; i < C; ++i) {
        WalkSection(i, P, f.F, f.U, 1.0, keepShapes);
        const bool interior = 1 <= i && i < C - 2;
        if (interior) f.steer(a, b, targetDirection, targetUp);
        if (i < C - 1) P += n * f.F;
        if (interior) f.steer(a, b, targetDirection, targetUp);
    }
    FinishLayout();
}

void SurfaceSection::GenerateTypeC(bool keepShapes)
{
    const int m = intermediateCount;
    const int C = std::min(sectionCount, kMaxSections);
    const double n = pointsPerSection;
    const Vec3 F0 = normalized(initialDirection), U0 = normalized(initialUp);
    const Vec3 F1 = normalized(finalDirection), U1 = normalized(finalUp);
    const Vec3 P0 = initialPosition, P1 = finalPosition;

    if (C >= 4) {
        WalkSection(0, P0, F0, U0, 1.0, keepShapes);
        WalkSection(1, P0 + n * F0, F0, U0, 1.0, keepShapes);
        WalkSection(C - 1, P1, F1, U1, 1.0, keepShapes);
        WalkSection(C - 2, P1 - n * F1, F1, U1, 1.0, keepShapes);
    }
    const Vec3 S = P0 + (3.0 * n) * F0;
    const Vec3 E = P1 - (3.0 * n) * F1;
    const Vec3 Dv = E - S;
    const double a = angleBetween(F0, F1) / (m + 1);
    const double b = angleBetween(U0, U1) / (m + 1);
    Frame f{F0, U0, normalized(cross(F0, U0))};
    for (int j = 0; j < m && j + 2 < C - 2; ++j) {
        f.steer(a, b, F1, U1);
        WalkSection(j + 2, S + (static_cast<double>(j + 1) / (m + 1)) * Dv, f.F, f.U, 1.0, keepShapes);
    }
    FinishLayout();
}

void SurfaceSection::Regenerate(bool keepDerived)
{
    render = 0;
    FreeBoxTree();
    switch (surfaceType) {
    case kTypeA: GenerateTypeA(true); break;
    case kTypeB: GenerateTypeB(true); break;
    case kTypeC: GenerateTypeC(true); break;
    default: break;
    }
    if (!keepDerived) {
        Rebuild();
        drawingCache.markStale();
    }
    render = 1;
}
