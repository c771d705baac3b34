#include "view/ViewCore.h"

#include "document/OpenGLTemplateDoc.h"
#include "platform/Clock.h"
#include "render/Camera.h"
#include "render/SimulationFrame.h"
#include "simulation/FollowCamera.h"
#include "simulation/SharedSettings.h"
#include "view/PrintLayout.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kPausedSleepMs = 200;
constexpr double kKeyZoomFactor = 1.02;
// Frames are paced to a display refreshing 60 times a second: where the buffer
// swap waits for the display, frames already come that far apart; where it
// does not, the loop sleeps out the rest, so a still scene is not drawn
// hundreds of times a second.
constexpr double kFramePeriod = 1.0 / 60.0;

double nowSeconds() { return std::chrono::duration<double>(platform::Clock::now().time_since_epoch()).count(); }

// What is written is flushed; nothing else runs: no destructor, no exit handler.
[[noreturn]] void EndProcessWithoutCleanup(int waitedMs)
{
    std::fflush(stdout);
    std::fprintf(stderr, "Marlwick: a worker thread did not end within %d ms; the program ends without cleaning up.\n",
                 waitedMs);
    std::fflush(stderr);
    std::_Exit(ViewCore::kThreadsHungExitCode);
}

} // namespace

std::string DrawingUnavailableMessage(const std::string& failure)
{
    return "The view cannot draw: " + failure +
           ".\n\nThe menus, the control panel, the design dialogs and saving still work. To draw a document "
           "without a display, use\n    marlwick-cli render FILE.mwk OUT.png";
}

ViewCore::ViewCore(COpenGLTemplateDoc& document) : document_(document)
{
    orbitCameraDistance_ = document_.cameraDistance;
    orbitRotation_ = document_.ballController.rotation;
    document_.simulation.renderHandshake = this;
    document_.simulation.physicsControl = &physics_;
}

ViewCore::~ViewCore() { Teardown(); }

// --- threads ---

void ViewCore::StartThreads(RenderContextHost& host, FrameDrawer& drawer)
{
    if (started_ || tornDown_) return;
    started_ = true;
    SyncOrbitFromDocument();
    // Alive from here on, so a request made before the thread is scheduled
    // still waits for it.
    renderAlive_ = true;
    renderThread_ = std::thread([this, &host, &drawer] { RenderThreadMain(host, drawer); });
    physicsThread_ = StartPhysicsThread(document_, physics_);
}

bool ViewCore::Teardown(int waitMs, int giveUpMs)
{
    if (tornDown_) return true;
    tornDown_ = true;
    physics_.threadsStop = true;
    bool onTime = true;
    if (started_) {
        const auto start = platform::Clock::now();
        onTime = WaitForThreads(start + std::chrono::milliseconds(waitMs));
        if (!onTime) {
            if (threadsLate) threadsLate();
            if (!WaitForThreads(start + std::chrono::milliseconds(waitMs) + std::chrono::milliseconds(giveUpMs)))
                EndProcessWithoutCleanup(waitMs + giveUpMs);
        }
        renderThread_.join();
        physicsThread_.join();
    }
    document_.viewGone = true;
    document_.viewReady = false;
    if (document_.simulation.renderHandshake.load() == this) document_.simulation.renderHandshake = nullptr;
    if (document_.simulation.physicsControl.load() == &physics_) document_.simulation.physicsControl = nullptr;
    return onTime;
}

bool ViewCore::ThreadsRunning() const { return renderAlive_.load() || physics_.LoopRunning(); }

bool ViewCore::WaitForThreads(std::chrono::steady_clock::time_point deadline) const
{
    while (ThreadsRunning()) {
        if (platform::Clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// --- hand-shakes ---

void ViewCore::PauseRenderAndWait()
{
    {
        LockGuard guard(pauseLock_);
        ++pauseDepth_;
    }
    requests_.SetRenderRequest(PauseRender, Requested);
    requests_.WaitFor(PauseRender, Acknowledged, renderAlive_);
}

void ViewCore::ResumeRender()
{
    LockGuard guard(pauseLock_);
    if (pauseDepth_ > 0) --pauseDepth_;
    if (pauseDepth_ > 0) return;
    // Commands run while the frame was held may have moved the camera.
    SyncOrbitFromDocument();
    requests_.SetRenderRequest(PauseRender, Idle);
}

void ViewCore::PausePhysicsAndWait() { physics_.PausePhysicsAndWait(); }

bool ViewCore::PauseAllAndWait()
{
    {
        LockGuard guard(pauseLock_);
        if (pauseDepth_ == 0) physicsWasRunning_ = physics_.GetPhysicsState() == Running;
    }
    PauseRenderAndWait();
    PausePhysicsAndWait();
    return renderAlive_.load() || physics_.LoopRunning();
}

void ViewCore::ResumeAll()
{
    bool resumePhysics = false, outermost = false;
    {
        LockGuard guard(pauseLock_);
        outermost = pauseDepth_ == 1;
        // A ball stopped meanwhile leaves the loop parked.
        resumePhysics = outermost && physicsWasRunning_ && !document_.simulation.stopped.load();
    }
    if (outermost) RefreshLaunchPreview();
    ResumeRender();
    if (resumePhysics) physics_.SetPhysicsState(Running);
}

void ViewCore::Resize(int width, int height)
{
    const bool handshake = renderAlive_.load() && document_.viewReady.load() && !document_.viewGone.load();
    if (handshake) {
        requests_.SetRenderRequest(::Resize, Requested);
        requests_.WaitFor(::Resize, Acknowledged, renderAlive_);
    }
    width_ = width;
    height_ = height;
    document_.simulation.viewWidth = width;
    document_.simulation.viewHeight = height;
    if (handshake) requests_.SetRenderRequest(::Resize, Idle);
}

bool ViewCore::SaveImage(const std::string& fileName)
{
    if (!renderAlive_.load() || requests_.GetRenderRequest(::SaveImage) != Idle) return false;
    pendingImageName_ = fileName;
    saveWritten_ = false;
    requests_.SetRenderRequest(::SaveImage, Requested);
    requests_.WaitFor(::SaveImage, Idle, renderAlive_);
    return saveWritten_.load();
}

OffscreenPicture ViewCore::Print(int pageWidth, int pageHeight, bool preview)
{
    if (!renderAlive_.load() || requests_.GetRenderRequest(::Print) != Idle) return {};
    printPageWidth_ = pageWidth;
    printPageHeight_ = pageHeight;
    printPreview_ = preview;
    printResult_ = OffscreenPicture();
    printing_ = true;
    requests_.SetRenderRequest(::Print, Requested);
    const bool served = requests_.WaitFor(::Print, Idle, renderAlive_);
    printing_ = false;
    if (!served) return {};
    return std::move(printResult_);
}

void ViewCore::StartMovie()
{
    SimulationState& sim = document_.simulation;
    // A step already under way was timed by the clock; held between steps,
    // the loop makes every recorded step exactly maxStepTime long.
    const bool running = physics_.GetPhysicsState() == Running;
    if (running) physics_.PausePhysicsAndWait();
    movieFrameCounter_ = 0;
    sim.movieFrameReady = false;
    sim.movieRecording = true;
    if (running) physics_.SetPhysicsState(Running);
}

std::string ViewCore::StartLiveMovie(const std::string& path)
{
    if (!renderAlive_.load()) return "The view is not drawing: there is nothing to record.";
    if (liveMovie_.recording()) return "A movie is being recorded already.";
    std::string error;
    auto recorder = movie::MovieRecorder::Start(path, LiveMovie::SettingsFor(width_.load(), height_.load()), error);
    if (!recorder) return error;
    PauseRenderAndWait();
    liveMovie_.Begin(std::move(recorder));
    ResumeRender();
    return {};
}

movie::RecordingSummary ViewCore::StopLiveMovie()
{
    PauseRenderAndWait();
    std::unique_ptr<movie::MovieRecorder> recorder = liveMovie_.End();
    ResumeRender();
    if (recorder) return recorder->Stop();
    movie::RecordingSummary none;
    none.error = "No movie is being recorded.";
    return none;
}

// --- orbit values ---

double ViewCore::OrbitDistance()
{
    LockGuard guard(viewLock_);
    return -orbitCameraDistance_;
}

void ViewCore::SetOrbitDistance(double d)
{
    LockGuard guard(viewLock_);
    orbitCameraDistance_ = -d;
    if (!renderAlive_.load()) document_.cameraDistance = -d;
}

void ViewCore::PostRotation(const unitquaternion& rotation)
{
    LockGuard guard(viewLock_);
    orbitRotation_ = rotation;
    rotationPosted_ = true;
    if (!renderAlive_.load()) document_.ballController.rotation = rotation;
}

void ViewCore::SyncOrbitFromDocument()
{
    LockGuard guard(viewLock_);
    orbitCameraDistance_ = document_.cameraDistance;
}

void ViewCore::RefreshLaunchPreview()
{
    if (!document_.simulation.settingVelocity.load()) return;
    LockGuard guard(viewLock_);
    PreviewLaunch(document_, -document_.cameraDistance);
}

// --- following the ball ---

void ViewCore::KeepOrbitView()
{
    if (keptOrbit_) return;
    // Held, the document's values are the ones in force: resuming hands them to the frames.
    PauseRenderAndWait();
    keptOrbit_ = OrbitView{document_.cameraDistance, document_.focalPoint};
    ResumeRender();
}

void ViewCore::EndFollowing()
{
    PauseRenderAndWait();
    const bool wasFollowing = ReadSetting(document_.cameraFollowsBall);
    WriteSetting(document_.cameraFollowsBall, false);
    if (keptOrbit_) {
        document_.cameraDistance = keptOrbit_->cameraDistance;
        document_.focalPoint = keptOrbit_->focalPoint;
        keptOrbit_.reset();
    } else if (wasFollowing) {
        render::FitCameraToSurfaces(document_);
    }
    ResumeRender();
}

// --- title ---

std::string ViewCore::TitleText()
{
    char text[256];
    if (document_.showFocalPoint) {
        LockGuard guard(viewLock_);
        const SurfaceDerivatives& d = document_.focalDerivatives;
        std::snprintf(text, sizeof text,
                      " Marlwick    U = %.3lf,  V = %.3lf,  Tangent U = %.1f,  Tangent V = %.1f,  Curvature = %.6f",
                      document_.focalU, document_.focalV, length(d.Su), length(d.Sv), d.K);
    } else {
        std::snprintf(text, sizeof text, " Marlwick    Render FPS = %.1Lf ,   Physics FPS = %.1lf",
                      static_cast<long double>(renderFps_.load()), document_.simulation.physicsFps.load());
    }
    if (!document_.simulation.settingVelocity.load()) return text;
    // While the launch is being chosen, the speed the mouse gives.
    char speed[64];
    std::snprintf(speed, sizeof speed, ",   Launch speed = %.2lf", document_.launchSpeed);
    return std::string(text) + speed;
}

// --- the render thread ---

void ViewCore::RenderThreadMain(RenderContextHost& host, FrameDrawer& drawer)
{
    document_.viewReady = true;
    const bool drawing = host.MakeCurrent();
    if (drawing) drawer.Initialize();
    else if (drawingUnavailable) drawingUnavailable(DrawingUnavailableMessage(host.FailureReason()));
    previousFrame_ = nowSeconds();
    while (!physics_.threadsStop.load()) {
        if (ServeRequest(drawer, drawing)) continue;
        if (drawing) {
            RenderOneFrame(host, drawer);
        } else {
            // Without a context there is nothing to draw: serve requests only.
            renderFps_ = 0.0;
            std::this_thread::sleep_for(std::chrono::milliseconds(kPausedSleepMs));
        }
    }
    if (drawing) {
        drawer.Shutdown();
        host.Release();
    }
    renderAlive_ = false;
}

bool ViewCore::ServeRequest(FrameDrawer& drawer, bool drawing)
{
    if (requests_.GetRenderRequest(::Resize) > Idle) {
        requests_.SetRenderRequest(::Resize, Acknowledged);
        // Held until the size is stored: the slot leaves Acknowledged (back to
        // Idle, or already Requested again by the next resize). The projection
        // is set from the stored size at the start of each frame.
        while (requests_.GetRenderRequest(::Resize) == Acknowledged && !physics_.threadsStop.load())
            std::this_thread::yield();
        return true;
    }
    // Only a new request starts a capture: Acknowledged is the render thread's
    // own mark of one being served.
    if (requests_.GetRenderRequest(::SaveImage) == Requested) {
        requests_.SetRenderRequest(::SaveImage, Acknowledged);
        if (drawing)
            saveWritten_ = drawer.SaveImage(PrepareFrame(false), width_.load(), height_.load(), pendingImageName_);
        requests_.SetRenderRequest(::SaveImage, Idle);
        return true;
    }
    if (requests_.GetRenderRequest(::Print) == Requested) {
        requests_.SetRenderRequest(::Print, Acknowledged);
        if (drawing) {
            const PixelRect size =
                PrintBitmapSize(width_.load(), height_.load(), printPageWidth_, printPageHeight_, printPreview_);
            if (size.width > 0 && size.height > 0)
                printResult_ = drawer.RenderPrint(PrepareFrame(false), size.width, size.height);
        }
        requests_.SetRenderRequest(::Print, Idle);
        return true;
    }
    const std::int32_t pause = requests_.GetRenderRequest(PauseRender);
    if (pause == Requested) {
        requests_.SetRenderRequest(PauseRender, Acknowledged);
        SleepWhilePaused();
        return true;
    }
    if (pause == Acknowledged) {
        SleepWhilePaused();
        return true;
    }
    return false;
}

// A paused pass, cut short as soon as the pause ends (or the thread is told
// to stop): a command that pauses again right after a resume then waits a
// millisecond, not the rest of the pass.
void ViewCore::SleepWhilePaused()
{
    renderFps_ = 0.0;
    for (int slept = 0; slept < kPausedSleepMs; ++slept) {
        if (requests_.GetRenderRequest(PauseRender) != Acknowledged || physics_.threadsStop.load()) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

void ViewCore::RenderOneFrame(RenderContextHost& host, FrameDrawer& drawer)
{
    const render::FrameRequest request = PrepareFrame(true);
    const double now = nowSeconds();
    const double frameTime = now - previousFrame_;
    renderFps_ = frameTime > 0.0 ? 1.0 / frameTime : 0.0;
    previousFrame_ = now;
    drawer.DrawFrame(request);
    liveMovie_.AfterFrame(drawer, request.width, request.height);
    host.SwapBuffers();
    framesRendered_.fetch_add(1);
    MovieStep(drawer);
    WaitUntil(now + kFramePeriod);
}

// In short slices, so that a request waits a moment, not the rest of the frame.
void ViewCore::WaitUntil(double due)
{
    constexpr double kSliceSeconds = 0.002;
    for (double now = nowSeconds(); now < due; now = nowSeconds()) {
        if (requests_.AnyPending() || physics_.threadsStop.load()) return;
        std::this_thread::sleep_for(std::chrono::duration<double>(std::min(due - now, kSliceSeconds)));
    }
}

render::FrameRequest ViewCore::PrepareFrame(bool pollKeys)
{
    render::FrameRequest request;
    request.width = width_.load();
    request.height = height_.load();
    LockGuard guard(viewLock_);
    if (pollKeys) PollKeys();
    document_.cameraDistance = orbitCameraDistance_;
    if (rotationPosted_) {
        document_.ballController.rotation = orbitRotation_;
        rotationPosted_ = false;
    }
    request.simulation = render::CaptureSimulationFrame(document_, selectedSegment_.load());
    return request;
}

void ViewCore::PollKeys()
{
    if (keys_.IsDown(PolledKey::Delete)) orbitCameraDistance_ *= kKeyZoomFactor;
    if (keys_.IsDown(PolledKey::Insert)) orbitCameraDistance_ /= kKeyZoomFactor;
    const int index = keys_.FirstDigitDown();
    selectedSegment_ = index;
    if (index < 0) return;
    ContactSegment segment;
    {
        LockGuard guard(document_.simulationLock);
        const ContactSegment* chosen = render::ContactSegmentOfDigit(document_.simulation.published, index + 1);
        if (!chosen) return;
        segment = *chosen;
    }
    document_.focalSurface = segment.surface;
    document_.focalU = segment.startU;
    document_.focalV = segment.startV;
    document_.UpdateFocalPoint();
}

void ViewCore::MovieStep(FrameDrawer& drawer)
{
    SimulationState& sim = document_.simulation;
    if (!sim.movieRecording.load()) return;
    if (sim.movieFrameReady.load()) {
        // The state of the step just made, not the one this frame began with.
        const render::FrameSize size = drawer.SaveMovieFrame(PrepareFrame(false), movieFrameCounter_.load());
        movieFrameWidth_ = size.width;
        movieFrameHeight_ = size.height;
        movieFrameCounter_.fetch_add(1);
        sim.movieFrameReady = false;
    }
    if (movieFrameCounter_.load() >= document_.movieFrameCount) {
        sim.movieRecording = false;
        sim.movieFrameReady = false;
        if (movieFinished) movieFinished();
    }
}
