#pragma once

// What the document asks of the program: the view's threads, the camera,
// the ball commands and the loading progress.

#include "document/DocumentPeers.h"

class CMainFrame;

class ProgramPeers : public DocumentPeers {
public:
    explicit ProgramPeers(COpenGLTemplateDoc& document) : document_(document) {}
    void SetFrame(CMainFrame* frame) { frame_ = frame; }

    bool PauseThreads() override;
    void ResumeThreads() override;
    void FitCameraToSurfaces() override;
    void PositionBall() override;
    void StopBall() override;
    void StartProgress(int range) override;
    void StepProgress() override;
    void DestroyProgress() override;
    void ModifiedChanged(bool modified) override;

private:
    COpenGLTemplateDoc& document_;
    CMainFrame* frame_ = nullptr; // none before the frame exists and after it is gone
};
