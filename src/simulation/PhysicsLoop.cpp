#include "simulation/PhysicsLoop.h"

#include "document/OpenGLTemplateDoc.h"
#include "platform/Clock.h"
#include "simulation/Simulation.h"

#include <chrono>
#include <cmath>
#include <thread>

namespace {

constexpr int kPausedSleepMs = 200;
constexpr int kStepSleepMs = 1;
// A paused pass sleeps in slices this long, so that it ends as soon as the
// state changes: a command that pauses the threads again right after a
// resume then waits a millisecond, not the rest of a pass.
constexpr int kParkSliceMs = 1;
constexpr double kFirstStepTime = 0.001;

} // namespace

void PhysicsLoopControl::SetPhysicsState(std::int32_t value)
{
    LockGuard guard(stateLock_);
    state_ = value;
}

std::int32_t PhysicsLoopControl::GetPhysicsState()
{
    LockGuard guard(stateLock_);
    return state_;
}

bool PhysicsLoopControl::PausePhysicsAndWait()
{
    SetPhysicsState(PauseRequested);
    while (GetPhysicsState() != Paused) {
        if (!loopRunning_.load()) return false;
        std::this_thread::yield();
    }
    return true;
}

double SteadyLoopClock::Now()
{
    return std::chrono::duration<double>(platform::Clock::now().time_since_epoch()).count();
}

void SteadyLoopClock::SleepMilliseconds(int ms) { platform::sleepMilliseconds(ms); }

void SteadyLoopClock::Spin() { std::this_thread::yield(); }

PhysicsLoop::PhysicsLoop(COpenGLTemplateDoc& document, PhysicsLoopControl& control, LoopClock& clock)
    : document_(document), control_(control), clock_(clock)
{
}

void PhysicsLoop::Run()
{
    control_.loopRunning_.store(true);
    while (!control_.threadsStop.load()) Iterate();
    control_.loopRunning_.store(false);
}

void PhysicsLoop::Iterate()
{
    const std::int32_t state = control_.GetPhysicsState();
    if (state != Running) {
        if (state != Paused) control_.SetPhysicsState(Paused);
        Park();
        return;
    }
    if (spinsLeft_ > 0 && clock_.Now() - stepStart_ < 1.0 / document_.simulation.targetStepRate) {
        --spinsLeft_;
        clock_.Spin();
        return;
    }
    // Spins that became slower since they were measured (the machine got
    // busier, or the render thread went to sleep) never stretch the step past
    // its period; the next measurement counts only the spins made.
    spinsArmed_ -= spinsLeft_;
    spinsLeft_ = 0;
    Step();
}

// A paused pass. A busy wait cut short by the pause would measure the pause
// as spinning time, so it is dropped and the next wait is measured afresh.
void PhysicsLoop::Park()
{
    document_.simulation.physicsFps.store(0.0);
    spinsLeft_ = 0;
    control_.skipSpinCalibration_ = true;
    for (int slept = 0; slept < kPausedSleepMs && control_.GetPhysicsState() == Paused; slept += kParkSliceMs)
        clock_.SleepMilliseconds(kParkSliceMs);
}

void PhysicsLoop::Step()
{
    SimulationState& sim = document_.simulation;
    // Each armed wait is measured once, right after it has run out.
    if (!control_.skipSpinCalibration_) {
        const double measured = (clock_.Now() - spinStart_) / static_cast<double>(spinsArmed_);
        if (measured > 0.0 && std::isfinite(measured)) secondsPerSpin_ = measured;
        control_.skipSpinCalibration_ = true;
    }
    const double now = clock_.Now();
    if (control_.firstStep_) {
        control_.firstStep_ = false;
        sim.stepTime = kFirstStepTime;
    } else {
        sim.stepTime = now - previousStepStart_;
    }
    sim.physicsFps.store(sim.stepTime > 0.0 ? 1.0 / sim.stepTime : 0.0);
    previousStepStart_ = clock_.Now();
    stepStart_ = clock_.Now();

    RunAndRecordStep();
    clock_.SleepMilliseconds(kStepSleepMs);

    // What is left of the period, in busy-wait iterations. The wait never
    // exceeds one period, whatever the clock says.
    const double T = clock_.Now() - stepStart_;
    const double period = 1.0 / sim.targetStepRate;
    if (!(T > 0.0) || !(T < period)) return;
    const double ratio = (1.0 / T) / sim.targetStepRate;
    const double spins = std::floor(std::fmin(T * (ratio - 1.0), period) / secondsPerSpin_);
    if (!(spins >= 1.0)) return;
    control_.skipSpinCalibration_ = false;
    spinsArmed_ = spinsLeft_ = static_cast<std::int64_t>(spins);
    spinStart_ = clock_.Now();
}

// The step takes one copy of the force input and switches, so that what it
// ran with is what the ride records. A step that stops the ball ends the run.
void PhysicsLoop::RunAndRecordStep()
{
    SimulationState& sim = document_.simulation;
    const double fixed = control_.fixedStep_.load();
    const StepInput input{fixed > 0.0 ? fixed : sim.stepTime, ReadForceInput(sim)};
    const RideSwitches switches = SwitchesOf(document_);
    const StepOutcome outcome = StepSimulation(document_, input);
    if (!outcome.ran) return;
    control_.ride.RecordStep(switches, input.force, outcome.h, outcome.ballCentre);
    if (sim.stopped.load())
        control_.ride.End(sim.events.contains(SimulationEventKind::FallReset) ? RideEnd::Position : RideEnd::Pause);
}

void RunPhysicsLoop(COpenGLTemplateDoc& document, PhysicsLoopControl& control)
{
    SteadyLoopClock clock;
    PhysicsLoop loop(document, control, clock);
    loop.Run();
}

std::thread StartPhysicsThread(COpenGLTemplateDoc& document, PhysicsLoopControl& control)
{
    document.simulation.physicsControl = &control;
    control.loopRunning_.store(true);
    return std::thread([&document, &control] { RunPhysicsLoop(document, control); });
}

void PauseAllAndWait(COpenGLTemplateDoc& document)
{
    if (RenderHandshake* render = document.simulation.renderHandshake.load()) render->PauseRenderAndWait();
    if (PhysicsLoopControl* physics = document.simulation.physicsControl.load()) physics->PausePhysicsAndWait();
}
