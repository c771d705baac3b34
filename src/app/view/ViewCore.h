#pragma once

// The view's engine, apart from any window system: the render thread and its
// loop, the physics thread, the request slots and the physics run state, the
// resize, save-image, print and movie hand-shakes, the keys polled per frame,
// the orbit camera values the user-interface thread hands to the render
// thread, and the title texts.
//
// Threads: the user-interface thread calls everything public except where
// noted; the render thread runs RenderThreadMain; the physics thread runs the
// document's loop. The render thread is the only writer of the document's
// orbit values (cameraDistance, the arcball rotation) and of the digit-key
// focal point while it runs: the user interface posts its changes here under
// the view lock, and the frame picks them up under the same lock.

#include "document/BallController.h"
#include "platform/Lock.h"
#include "simulation/PhysicsLoop.h"
#include "view/FrameDrawer.h"
#include "view/KeyStates.h"
#include "view/LiveMovie.h"
#include "view/RenderRequests.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <thread>

class COpenGLTemplateDoc;

// What the user is told when the view has no OpenGL context: the failure,
// what still works, and how to draw a document without a display.
std::string DrawingUnavailableMessage(const std::string& failure);

class ViewCore : public RenderHandshake {
public:
    explicit ViewCore(COpenGLTemplateDoc& document);
    ~ViewCore() override;
    ViewCore(const ViewCore&) = delete;
    ViewCore& operator=(const ViewCore&) = delete;

    COpenGLTemplateDoc& document() { return document_; }

    // --- threads ---
    // First paint: starts the render thread, then the physics thread, once.
    // host and drawer must outlive Teardown.
    void StartThreads(RenderContextHost& host, FrameDrawer& drawer);
    bool threadsStarted() const { return started_; }
    bool renderRunning() const { return renderAlive_.load(); }
    // Sets the stop flag and joins both threads; marks the document's view
    // gone. A thread may be late (a frame compiling big display lists, a
    // capture): after waitMs, threadsLate is called and the wait goes on. A
    // thread still running after giveUpMs more can be neither joined nor left
    // with the window, drawer and document it uses about to be freed: the
    // process ends at once, without running any destructor. Returns whether
    // both ended within waitMs. Idempotent.
    bool Teardown(int waitMs = 3000, int giveUpMs = 30000);
    // Called on the user-interface thread when Teardown has waited waitMs; may be none.
    std::function<void()> threadsLate;
    // The exit status of a process ended because a thread would not end.
    static constexpr int kThreadsHungExitCode = 3;

    // --- hand-shakes ---
    RenderRequests& requests() { return requests_; }
    PhysicsLoopControl& physics() { return physics_; }
    // Pauses nest: the render thread runs again when the last pause is resumed.
    void PauseRenderAndWait() override;
    void ResumeRender() override;
    void PausePhysicsAndWait();
    // The render thread, then the physics thread; false when neither runs.
    bool PauseAllAndWait();
    // The render thread resumes; the physics thread runs again only if it was
    // running when the outermost pause began.
    void ResumeAll();

    // The resize hand-shake: the render thread holds between frames while
    // the new size is stored.
    void Resize(int width, int height);
    int width() const { return width_.load(); }
    int height() const { return height_.load(); }

    // File > "Save image": the view's picture at its client size written to
    // fileName by the render thread. False (nothing asked) when a save is
    // pending or the render thread does not run.
    bool SaveImage(const std::string& fileName);
    bool lastSaveWritten() const { return saveWritten_.load(); }

    // The print step: the picture for a page of the given pixel size, drawn
    // by the render thread. Empty when a print is pending, the render thread
    // does not run, or the picture could not be drawn.
    OffscreenPicture Print(int pageWidth, int pageHeight, bool preview);
    bool printing() const { return printing_.load(); }

    // File > "Save movie frames": frame counter 0, recording on.
    void StartMovie();
    int movieFrameCounter() const { return movieFrameCounter_.load(); }
    // Size of the movie frame in progress (200 x 100 until the first frame).
    render::FrameSize movieFrameSize() const { return {movieFrameWidth_.load(), movieFrameHeight_.load()}; }

    // File > "Save movie…": the view recorded to path (.mp4 or .webm) by the
    // render thread as it draws. Returns the reason when it cannot begin.
    std::string StartLiveMovie(const std::string& path);
    bool liveMovieRecording() const { return liveMovie_.recording(); }
    // Ends the recording and finishes the file.
    movie::RecordingSummary StopLiveMovie();

    // --- orbit values handed to the render thread ---
    // d = -cameraDistance as the view has it now.
    double OrbitDistance();
    // cameraDistance := -d (user-interface thread).
    void SetOrbitDistance(double d);
    // The arcball's rotation, to be shown from the next frame on.
    void PostRotation(const unitquaternion& rotation);
    // Runs f with the view lock held: for document fields the frame reads
    // under that lock (the launch speed and direction).
    template <typename F>
    void WithViewLock(F&& f)
    {
        LockGuard guard(viewLock_);
        f();
    }

    // --- following the ball ---
    // Before a command starts following (Position ball, the follow switch
    // on): keeps the orbit distance and focal point in force, unless a
    // follow under way keeps them already.
    void KeepOrbitView();
    // A new or opened document: a view kept of the one before means nothing.
    void ForgetOrbitView() { keptOrbit_.reset(); }
    bool keepsOrbitView() const { return keptOrbit_.has_value(); }
    // Following ends ("Camera follows ball" off, "Stop ball", "New"): the
    // follow switch goes off and the orbit camera returns to the kept view;
    // with none kept, a camera that was following fits all surfaces, one that
    // was not stays. The render thread is held meanwhile.
    void EndFollowing();

    KeyStates& keys() { return keys_; }
    // Digit key selection: 0 to 8 for the keys 1 to 9, or -1 (render thread).
    // Key k chooses piece k of the ball's last rolling step (ContactSegmentOfDigit).
    int selectedSegment() const { return selectedSegment_.load(); }

    // --- title ---
    double renderFps() const { return renderFps_.load(); }
    // " Marlwick    Render FPS = ..." or, with "Focal point" on, the focal point
    // readout; while the launch is being chosen, followed by its speed.
    std::string TitleText();
    std::int64_t framesRendered() const { return framesRendered_.load(); }

    // Called on the render thread when the last movie frame has been written.
    std::function<void()> movieFinished;
    // Called on the render thread when it has no context to draw with, with
    // the message for the user (DrawingUnavailableMessage); may be none.
    std::function<void(const std::string&)> drawingUnavailable;

private:
    void RenderThreadMain(RenderContextHost& host, FrameDrawer& drawer);
    // Serves the first pending request; false when none was pending.
    bool ServeRequest(FrameDrawer& drawer, bool drawing);
    void RenderOneFrame(RenderContextHost& host, FrameDrawer& drawer);
    // Keys, orbit values and the simulation copy, under the view lock.
    render::FrameRequest PrepareFrame(bool pollKeys);
    void PollKeys();
    void MovieStep(FrameDrawer& drawer);
    void SyncOrbitFromDocument();
    void SleepWhilePaused();
    // Sleeps until `due` (seconds, as nowSeconds), or until a request or the stop flag arrives.
    void WaitUntil(double due);
    // While the launch is being chosen: the ball and the follow camera placed
    // again on the surfaces as a command held between frames left them.
    void RefreshLaunchPreview();
    bool ThreadsRunning() const;
    // Waits until both threads have ended or the deadline has passed; false on the deadline.
    bool WaitForThreads(std::chrono::steady_clock::time_point deadline) const;

    COpenGLTemplateDoc& document_;
    RenderRequests requests_;
    PhysicsLoopControl physics_;
    // The third lock of the view: orbit values, digit-key focal point,
    // launch values, title readout.
    Lock viewLock_;
    double orbitCameraDistance_ = -40.0;
    unitquaternion orbitRotation_;
    bool rotationPosted_ = false;

    // The orbit view a follow began from (user-interface thread only).
    struct OrbitView {
        double cameraDistance = 0.0;
        Vec3 focalPoint;
    };
    std::optional<OrbitView> keptOrbit_;

    Lock pauseLock_; // pause nesting
    int pauseDepth_ = 0;
    bool physicsWasRunning_ = false;

    KeyStates keys_;
    std::atomic<int> width_{0}, height_{0};
    std::atomic<int> selectedSegment_{-1};
    std::atomic<double> renderFps_{0.0};
    std::atomic<std::int64_t> framesRendered_{0};
    double previousFrame_ = 0.0;

    std::string pendingImageName_; // written before the request, read while serving it
    std::atomic<bool> saveWritten_{false};
    int printPageWidth_ = 0, printPageHeight_ = 0;
    bool printPreview_ = false;
    OffscreenPicture printResult_;
    std::atomic<bool> printing_{false};

    std::atomic<int> movieFrameCounter_{0};
    std::atomic<int> movieFrameWidth_{200}, movieFrameHeight_{100};
    LiveMovie liveMovie_;

    bool started_ = false;
    bool tornDown_ = false;
    std::atomic<bool> renderAlive_{false};
    std::thread renderThread_, physicsThread_;
};
