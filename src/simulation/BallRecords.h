#pragma once

// Plain records of the ball simulation: the pieces of one rolling step, the
// per-step state records read by the camera, the past-path points and a
// bounded history that keeps the newest entries without allocating.

#include "geometry/Vec3.h"

#include <array>
#include <cstddef>
#include <cstdint>

class SurfaceSection;

// One piece of a rolling step on one surface. Parameters are -1 while reset.
struct ContactSegment {
    SurfaceSection* surface = nullptr;
    SurfaceSection* nextSurface = nullptr; // differs from surface once an attachment is crossed
    double startU = -1.0, startV = -1.0;
    double endU = -1.0, endV = -1.0;
    double deltaU = 0.0, deltaV = 0.0;
    Vec3 startPoint;
    Vec3 edgePoint; // estimate of where the piece meets an edge
    Vec3 endPoint;
    Vec3 segTangentU, segTangentV, segNormal;
    Vec3 segDisplacement;        // the step's whole displacement
    Vec3 remainingDisplacement;  // what is left of it at the start of this piece
    Vec3 tangentialDisplacement; // remainingDisplacement in the tangent plane
    std::int32_t endKind = 0;    // 0 ended inside the surface, 1 at an edge
    Vec3 uComponent, vComponent; // the oblique parts along the two tangents
    Vec3 chordU, chordV;         // final chords of the two parameter searches
    std::uint8_t hitEdgeU = 0, hitEdgeUAtZero = 0, hitEdgeV = 0, hitEdgeVAtZero = 0;

    void reset() { *this = ContactSegment(); }
    bool reachedEdge() const { return hitEdgeU || hitEdgeV; }
};

// A step holds at most two pieces (one attachment crossing); index 0 is unused.
inline constexpr int kMaxContactSegments = 2;

// One record of the future paths: the ball as the camera and overlays see it.
struct BallState {
    Vec3 contactPoint, previousContactPoint;
    Vec3 ballCentre, previousBallCentre;
    Vec3 velocity;
    Vec3 colour;
    double u = 0.0, v = 0.0;
    double inAir = 0.0; // 1.0 in flight
    Vec3 surfaceNormal;
    Vec3 frame[3]; // reserved, zero when recorded
    Vec3 Suu, Svv; // zero in the air
    double curvature = 0.0;
    double spare[2] = {0.0, 0.0};
};

// One point of the ball's past path. Surface colours are on the 0..1 scale of
// the colour maps; air and impact colours on the 0..255 scale.
struct PathPoint {
    std::uint8_t inAir = 0;
    std::uint8_t impact = 0;
    Vec3 point;
    Vec3 colour;
};

// The newest N entries of a sequence, oldest first; pushing onto a full
// history drops the oldest entry.
template <typename T, std::size_t N>
class BoundedHistory {
public:
    static constexpr std::size_t capacity = N;

    void push(const T& item)
    {
        if (count_ < N) {
            items_[(start_ + count_) % N] = item;
            ++count_;
        } else {
            items_[start_] = item;
            start_ = (start_ + 1) % N;
        }
    }
    void clear() { start_ = count_ = 0; }
    std::size_t size() const { return count_; }
    bool empty() const { return count_ == 0; }
    // i = 0 is the oldest entry.
    const T& operator[](std::size_t i) const { return items_[(start_ + i) % N]; }
    const T& newest() const { return (*this)[count_ - 1]; }

private:
    std::array<T, N> items_{};
    std::size_t start_ = 0, count_ = 0;
};

// Placement of a camera: eye, view direction (eye to target, not normalised)
// and up.
struct CameraPlacement {
    Vec3 eye;
    Vec3 direction{0.0, 0.0, -1.0};
    Vec3 up{0.0, 1.0, 0.0};
};

// One eye of the camera's past path with its drawing intensity.
struct CameraPathPoint {
    Vec3 eye;
    double intensity = 1.0; // 1.0 on target, 0.8 while lagging
};
