#pragma once

#include "geometry/Vec3.h"
#include "surface/BoxTree.h"

#include <algorithm>

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

    Axis axes_[3];
    bool anyFlat_;
};
