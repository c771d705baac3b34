#include "view/FramePacer.h"

double FramePacer::DelayAfterFrame(double now)
{
    nextStart_ = started_ ? nextStart_ + kPeriod : now + kPeriod;
    started_ = true;
    if (nextStart_ <= now) {
        nextStart_ = now;
        return 0.0;
    }
    return nextStart_ - now;
}
