#include "simulation/RideReplay.h"

#include "document/NameEncoding.h"
#include "document/OpenGLTemplateDoc.h"
#include "simulation/Simulation.h"

#include <bit>

namespace {

bool sameBits(const Vec3& a, const Vec3& b)
{
    const auto same = [](double x, double y) { return std::bit_cast<std::uint64_t>(x) == std::bit_cast<std::uint64_t>(y); };
    return same(a.x, b.x) && same(a.y, b.y) && same(a.z, b.z);
}

} // namespace

std::string RideReplay::Launch(COpenGLTemplateDoc& document)
{
    const RideLaunch& l = ride_.launch;
    SurfaceSection* start = document.FindSurface(l.surface, l.group);
    if (!start)
        return "the ride starts on the surface \"" + NameToUtf8(l.surface) + "\" in group \"" + NameToUtf8(l.group) +
               "\", which the document does not have";
    ApplySwitches(document, ride_.switches);
    document.SetBallStart(start, l.u, l.v);
    document.launchSpeed = l.speed;
    document.launchDirection = l.direction;
    LaunchQuietly(document);
    return {};
}

double RideReplay::Step(COpenGLTemplateDoc& document)
{
    if (divergence_ || next_ == ride_.steps.size()) return 0.0;
    for (; nextChange_ < ride_.changes.size() && ride_.changes[nextChange_].beforeStep <= next_; ++nextChange_) {
        const RideChange& change = ride_.changes[nextChange_];
        if (change.kind == RideChange::Switches) ApplySwitches(document, change.switches);
        else circle_ = change.circle;
    }
    const RideStep& recorded = ride_.steps[next_++];
    const StepInput input{recorded.h, {recorded.forceActive, recorded.forceX, recorded.forceY, circle_}};
    const StepOutcome outcome = StepSimulation(document, input);
    const Vec3& centre = document.simulation.ball.ballCentre;
    if (!outcome.ran || outcome.h != recorded.h || !sameBits(centre, recorded.centre))
        divergence_ = Divergence{next_, recorded.centre, centre};
    return outcome.h;
}
