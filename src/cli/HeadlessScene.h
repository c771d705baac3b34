#pragma once

// The view's scene in a program without a window: the document opened with
// the ball placed at its start as "Position ball" places it, the run of
// simulate's options launched, the follow camera set on the launch as the
// view's launch preview sets it, the run stepped as simulate steps it, and
// each frame shown through the camera the view would use.

#include "cli/HeadlessRide.h"
#include "cli/SimulateCommand.h"
#include "document/OpenGLTemplateDoc.h"
#include "render/SceneRenderer.h"

#include <iosfwd>
#include <optional>
#include <string>

namespace cli {

class HeadlessScene {
public:
    // Opens run's document and places its ball; with launch, launches the
    // ball with run's options as simulate does. kExitOk, or the exit code
    // after the complaint on err.
    int Open(const SimulateOptions& run, bool launch, std::ostream& err);

    COpenGLTemplateDoc& document() { return document_; }
    // Whether a ball is placed: without a start surface there is none to follow.
    bool hasBall() const { return document_.ballSurface != nullptr; }

    // The run's next physics step (needs a launched run).
    RideSample Step();
    // The ball as it stands before the first step.
    RideSample Launch() const;
    long steps() const { return steps_; }
    // The steps the run has: --steps, or those of the ride it replays.
    long StepCount() const { return ride_ ? ride_->StepCount() : 0; }
    // A replayed step left the ride (see HeadlessRide).
    bool Diverged() const { return ride_ && ride_->Diverged(); }
    int ReportDivergence(std::ostream& err) const { return ride_->ReportDivergence(err); }
    // The run's clock after its next step; none when it has no more (see HeadlessRide).
    std::optional<double> NextStepEnd() const { return ride_ ? ride_->NextStepEnd() : std::nullopt; }
    // The run's clock after StepCount() steps.
    double Duration() const { return ride_ ? ride_->Duration() : 0.0; }

    // Sets the document's camera to what the view would show (the follow
    // camera, or the orbit camera the document was opened with) and returns
    // the frame's request at width x height. Stepping goes on following the
    // ball as the run began.
    render::FrameRequest Frame(bool follow, int width, int height);

private:
    void PlaceFollowCamera();

    COpenGLTemplateDoc document_;
    std::optional<HeadlessRide> ride_;
    long steps_ = 0;
    double orbitDistance_ = 0.0, positionedDistance_ = 0.0;
};

} // namespace cli
