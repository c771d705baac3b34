#pragma once

// The physics thread: its run-state hand-shake with the user interface, the
// clock it measures and waits with, and the loop that steps the simulation
// about 70 times a second.

#include "platform/Lock.h"
#include "simulation/RideRecorder.h"

#include <atomic>
#include <cstdint>
#include <thread>

class COpenGLTemplateDoc;

enum PhysicsRunState : std::int32_t {
    Running = 0,
    PauseRequested = 1,
    Paused = 2,
};

// The view's side of the physics hand-shake. The user interface writes
// Running or PauseRequested; the loop answers a request with Paused. A new
// control starts as PauseRequested, so a loop parks itself before its first
// step and no step runs before the first Roll ball.
class PhysicsLoopControl {
public:
    void SetPhysicsState(std::int32_t value);
    std::int32_t GetPhysicsState();
    // Requests a pause and polls, without sleeping, until the loop has
    // acknowledged it. Returns at once (false) when no loop runs, so a
    // headless program never waits for a thread it does not have.
    bool PausePhysicsAndWait();
    bool LoopRunning() const { return loopRunning_.load(); }

    // Tests that need one path whatever the machine's load: every step is
    // this many seconds long instead of the time measured since the last
    // one; 0 (the program's way) measures it.
    void UseFixedStep(double seconds) { fixedStep_.store(seconds); }

    // Once set, ends the loop at the end of its current iteration.
    std::atomic<bool> threadsStop{false};

    // The last run, recorded step by step while the loop runs it.
    RideRecorder ride;

private:
    friend class PhysicsLoop;
    friend std::thread StartPhysicsThread(COpenGLTemplateDoc&, PhysicsLoopControl&);
    Lock stateLock_;
    std::int32_t state_ = PauseRequested;
    std::atomic<bool> loopRunning_{false};
    std::atomic<double> fixedStep_{0.0};
    // Loop flags of one program run, touched by the physics thread only: the
    // very first step uses 0.001 s; no busy wait has been measured yet.
    bool firstStep_ = true;
    bool skipSpinCalibration_ = true;
};

// The render thread's pause, as the ball commands need it. The view
// implements it; a headless program has none.
class RenderHandshake {
public:
    virtual ~RenderHandshake() = default;
    // Asks the render thread to pause and waits for its acknowledgement.
    virtual void PauseRenderAndWait() = 0;
    // Sets the render thread's state to running.
    virtual void ResumeRender() = 0;
};

// Time as the loop sees it, in seconds, with its two ways of waiting.
class LoopClock {
public:
    virtual ~LoopClock() = default;
    virtual double Now() = 0;
    virtual void SleepMilliseconds(int ms) = 0;
    // One busy-wait iteration; it may give the processor away.
    virtual void Spin() = 0;
};

// The steady high-resolution clock, real sleeps and a yielding busy wait.
class SteadyLoopClock : public LoopClock {
public:
    double Now() override;
    void SleepMilliseconds(int ms) override;
    void Spin() override;
};

// The body of the physics thread. One Iterate() is one pass of the loop: a
// paused pass (200 ms sleep), one busy-wait iteration, or one step followed
// by its 1 ms sleep and the arming of the busy wait that fills the rest of
// the period of 1 / targetStepRate.
class PhysicsLoop {
public:
    PhysicsLoop(COpenGLTemplateDoc& document, PhysicsLoopControl& control, LoopClock& clock);

    // Iterates until the control's threadsStop is set (tested before the first pass too).
    void Run();
    void Iterate();

    std::int64_t spinsLeft() const { return spinsLeft_; }
    double secondsPerSpin() const { return secondsPerSpin_; }

private:
    void Park();
    void Step();
    void RunAndRecordStep();

    COpenGLTemplateDoc& document_;
    PhysicsLoopControl& control_;
    LoopClock& clock_;
    double previousStepStart_ = 0.0, stepStart_ = 0.0, spinStart_ = 0.0;
    std::int64_t spinsLeft_ = 0, spinsArmed_ = 0;
    double secondsPerSpin_ = 0.00001;
};

// The physics thread's procedure: the loop on the steady clock until
// threadsStop is set.
void RunPhysicsLoop(COpenGLTemplateDoc& document, PhysicsLoopControl& control);

// Links the control to the document's ball commands and starts the physics
// thread. The loop counts as running from here on, so a pause requested
// before the thread is scheduled still waits for its acknowledgement.
std::thread StartPhysicsThread(COpenGLTemplateDoc& document, PhysicsLoopControl& control);

// The view's PauseAllAndWait as the ball commands use it: the render thread
// first (when there is one), then the physics thread.
void PauseAllAndWait(COpenGLTemplateDoc& document);
