#pragma once

// What the document asks of the program: the view's threads, the camera,
// the ball commands, the control panel and the loading progress.

#include "document/DocumentPeers.h"

class CMainFrame;
class ControlPanelForm;

class ProgramPeers : public DocumentPeers {
public:
    explicit ProgramPeers(COpenGLTemplateDoc& document) : document_(document) {}
    // The frame (and its control panel); none before it exists and after it is gone.
    void SetFrame(CMainFrame* frame);
    // A control panel without a frame (the panel's own tests).
    void SetControlPanel(ControlPanelForm* panel) { panel_ = panel; }

    bool PauseThreads() override;
    void ResumeThreads() override;
    void FillSurfaceTree() override;
    void SetRenderBox(int value) override;
    void RefreshControlPanel() override;
    void FitCameraToSurfaces() override;
    void PositionBall() override;
    void StopBall() override;
    void StartProgress(int range) override;
    void StepProgress() override;
    void DestroyProgress() override;
    void ModifiedChanged(bool modified) override;
    void HistoryChanged() override;
    void DocumentRestored() override;

private:
    COpenGLTemplateDoc& document_;
    CMainFrame* frame_ = nullptr;
    ControlPanelForm* panel_ = nullptr;
};
