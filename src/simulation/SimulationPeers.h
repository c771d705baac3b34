#pragma once

// The document's peers as a program without a window needs them: the ball
// commands the document issues ("Open" places the ball at its start, "New"
// stops it) act on the simulation, and the thread pauses reach a physics
// thread when one has been started.

#include "document/DocumentPeers.h"

class SimulationPeers : public DocumentPeers {
public:
    void Setup(COpenGLTemplateDoc& document) override { document_ = &document; }
    bool PauseThreads() override;
    void ResumeThreads() override;
    void PositionBall() override;
    void StopBall() override;

private:
    COpenGLTemplateDoc* document_ = nullptr;
};
