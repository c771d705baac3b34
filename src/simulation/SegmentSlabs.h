#pragma once

#include "geometry/Vec3.h"
#include "surface/BoxTree.h"

#include <algorithm>
#include <cmath>

// Slab test of one segment against many boxes grown by a radius, with the
// reciprocal of the segment's extent per axis computed once. Accepts what
// BoxRecord's contains(from) || crossedBy(from, to) accepts for the grown
// box, up to rounding at the faces.
class SegmentSlabs {
public:
    SegmentSlabs(const Vec3& from, const Vec3& to, double radius)
        : axes_{Axis(0, from.x, to.x - from.x, radius), Axis(2, from.y, to.y - from.y, radius),
                Axis(1, from.z, to.z - from.z, radius)},
          anyFlat_(axes_[0].flat || axes_[1].flat || axes_[2].flat)
    {
    }

    // Sets up mayReach for boxes inside `all`; until then it is reaches().
    void prepareSingle(const Vec3& from, const Vec3& to, double radius, const BoxRecord& all)
    {
        const double magnitude =
            std::max({std::fabs(all.xMin), std::fabs(all.xMax), std::fabs(all.yMin), std::fabs(all.yMax),
                      std::fabs(all.zMin), std::fabs(all.zMax), std::fabs(from.x), std::fabs(from.y),
                      std::fabs(from.z), std::fabs(to.x), std::fabs(to.y), std::fabs(to.z)}) +
            std::fabs(radius);
        const double widening = kWidening * (magnitude + 1.0);
        singleUsable_ = !anyFlat_ && std::isfinite(widening);
        for (int k = 0; k < 3 && singleUsable_; ++k) {
            const Axis& a = axes_[k];
            const double sign = a.inverse > 0.0 ? 1.0 : -1.0;
            single_[k] = {a.near, a.far, static_cast<float>(a.nearShift - a.start - sign * widening),
                          static_cast<float>(a.farShift - a.start + sign * widening), static_cast<float>(a.inverse)};
            singleUsable_ = std::isfinite(single_[k].inverse) && std::fabs(1.0 / a.inverse) > widening;
        }
    }

    // The node's tight box grown by the radius on every side, in double
    // precision. Every axis is clipped before the one comparison: the
    // parameter range only narrows, so this agrees with stopping at the first
    // empty range, and the walk's outcome costs one unpredictable branch.
    bool reaches(const WalkNode& box) const
    {
        double t0 = 0.0, t1 = 1.0;
        if (anyFlat_) {
            for (const Axis& a : axes_) a.clip(box, t0, t1);
        } else {
            for (const Axis& a : axes_) a.clipSloped(box, t0, t1);
        }
        return t0 <= t1;
    }

    // A cheaper single-precision test that never rejects a box reaches()
    // accepts: every box is grown by far more than the rounding of either
    // test. Falls back to reaches() where that cannot be had (an axis the
    // segment does not move along, or hardly).
    bool mayReach(const WalkNode& box) const
    {
        if (!singleUsable_) return reaches(box);
        float t0 = 0.0f, t1 = 1.0f;
        for (const SingleAxis& a : single_) {
            t0 = std::max(t0, (box.bounds[a.near] + a.nearOffset) * a.inverse);
            t1 = std::min(t1, (box.bounds[a.far] + a.farOffset) * a.inverse);
        }
        return t0 <= t1;
    }

private:
    // The near bound is the grown box's face the segment enters through: the
    // low one (minus the radius) on an increasing axis, else the high one
    // (plus the radius).
    struct Axis {
        int near = 0, far = 0; // indices into WalkNode::bounds
        double start = 0.0, inverse = 0.0, nearShift = 0.0, farShift = 0.0;
        bool flat = false;

        Axis(int axis, double s, double delta, double radius)
            : near(2 * axis + (delta > 0.0 ? 0 : 1)), far(2 * axis + (delta > 0.0 ? 1 : 0)), start(s),
              inverse(delta == 0.0 ? 0.0 : 1.0 / delta), nearShift(delta > 0.0 ? -radius : radius),
              farShift(delta > 0.0 ? radius : -radius), flat(delta == 0.0)
        {
        }

        // Narrows [t0, t1] to the part of the segment inside the slab,
        // leaving it empty (t0 > t1) when nothing is left. A zero extent stays
        // in or out of the slab for the whole segment.
        void clip(const WalkNode& box, double& t0, double& t1) const
        {
            if (!flat) {
                clipSloped(box, t0, t1);
                return;
            }
            const double lo = double{box.bounds[far]} + farShift, hi = double{box.bounds[near]} + nearShift;
            if (!(lo <= start && start <= hi)) t0 = kOutside;
        }

        void clipSloped(const WalkNode& box, double& t0, double& t1) const
        {
            const double enter = (double{box.bounds[near]} + nearShift - start) * inverse;
            const double leave = (double{box.bounds[far]} + farShift - start) * inverse;
            t0 = std::max(t0, enter);
            t1 = std::min(t1, leave);
        }
    };
    // Beyond any t1, which starts at 1 and only decreases.
    static constexpr double kOutside = 2.0;

    // Growth of the boxes in mayReach relative to the coordinates' magnitude,
    // a few hundred times single precision's rounding.
    static constexpr double kWidening = 1e-5;

    struct SingleAxis {
        int near = 0, far = 0;
        float nearOffset = 0.0f, farOffset = 0.0f, inverse = 0.0f;
    };

    Axis axes_[3];
    bool anyFlat_;
    SingleAxis single_[3];
    bool singleUsable_ = false;
};
