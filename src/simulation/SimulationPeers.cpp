#include "simulation/SimulationPeers.h"

#include "document/OpenGLTemplateDoc.h"
#include "simulation/PhysicsLoop.h"
#include "simulation/Simulation.h"

bool SimulationPeers::PauseThreads()
{
    if (!document_) return false;
    PhysicsLoopControl* physics = document_->simulation.physicsControl.load();
    if (!physics || !physics->LoopRunning()) return false;
    PauseAllAndWait(*document_);
    return true;
}

void SimulationPeers::ResumeThreads()
{
    if (!document_) return;
    if (RenderHandshake* render = document_->simulation.renderHandshake.load()) render->ResumeRender();
    if (PhysicsLoopControl* physics = document_->simulation.physicsControl.load()) physics->SetPhysicsState(Running);
}

void SimulationPeers::PositionBall()
{
    if (document_) ::PositionBall(*document_);
}

void SimulationPeers::StopBall()
{
    if (document_) ::StopBall(*document_);
}
