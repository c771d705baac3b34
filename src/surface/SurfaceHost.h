#pragma once

#include "geometry/Vec3.h"
#include "platform/Lock.h"
#include "surface/DefaultBallRadius.h"

#include <cstdint>

// What a surface needs from the document that owns it: the spline degrees,
// the ball radius (box inflation, length sampling), the vertical reference and
// the geometry lock that serialises every call into the spline kernel.
class SurfaceHost {
public:
    virtual ~SurfaceHost() = default;
    virtual int splineDegreeU() const = 0;
    virtual int splineDegreeV() const = 0;
    virtual double surfaceBallRadius() const = 0;
    virtual Vec3 verticalReference() const = 0;
    virtual Lock& kernelLock() = 0;
    // True while a whole document is being saved (site names are then written as they stand).
    virtual bool savingWholeDocument() const = 0;
    // A display list of a surface being destroyed, for the thread that owns
    // the OpenGL context to delete; a host without one drops it.
    virtual void RetireDisplayList(std::int32_t /*list*/) {}
    // A user has changed one of the host's surfaces (shape, sites, holes,
    // switches): a document is then modified.
    virtual void SurfaceChanged() {}
};

// A stand-alone host with the document's defaults, for surfaces used outside a
// document (tests, benchmarks, library previews).
class StandaloneSurfaceHost : public SurfaceHost {
public:
    int degreeU = 2;
    int degreeV = 2;
    double ballRadius = kDefaultBallRadius;
    bool saving = false;

    int splineDegreeU() const override { return degreeU; }
    int splineDegreeV() const override { return degreeV; }
    double surfaceBallRadius() const override { return ballRadius; }
    Vec3 verticalReference() const override { return {0.0, 1.0, 0.0}; }
    Lock& kernelLock() override { return lock_; }
    bool savingWholeDocument() const override { return saving; }

private:
    Lock lock_;
};
