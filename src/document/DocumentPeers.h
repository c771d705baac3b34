#pragma once

class COpenGLTemplateDoc;

// What the document asks of the program around it: the view and its two
// worker threads, the camera, the ball simulation and the control panel.
// Every call does nothing by default, which is all a headless program needs.
class DocumentPeers {
public:
    virtual ~DocumentPeers() = default;

    // One-time setup: hand the document to the control panel, create the
    // hidden progress bar of file loading.
    virtual void Setup(COpenGLTemplateDoc& /*document*/) {}
    // Pauses the render and physics threads and waits for both to
    // acknowledge; false when they are not running (nothing to resume).
    virtual bool PauseThreads() { return false; }
    virtual void ResumeThreads() {}
    // Refills the control panel's surface trees.
    virtual void FillSurfaceTree() {}
    // Sets the control panel's "Render" box (the selected surface's flag).
    virtual void SetRenderBox(int /*value*/) {}
    // Shows the document's switches in the control panel again, after the
    // document changed them itself (stopping or positioning the ball, the
    // camera alignment). Called on the user-interface thread only.
    virtual void RefreshControlPanel() {}
    // Fits the orbit camera to all surfaces.
    virtual void FitCameraToSurfaces() {}
    // Places the ball at the document's start surface and parameters.
    virtual void PositionBall() {}
    virtual void StopBall() {}
    // Loading progress: shown with the given range, advanced by one, destroyed.
    virtual void StartProgress(int /*range*/) {}
    virtual void StepProgress() {}
    virtual void DestroyProgress() {}
    // The modified flag has changed (the window title shows it).
    virtual void ModifiedChanged(bool /*modified*/) {}
    // The undo history has changed: a step recorded, undone or redone, the
    // history started again, held or released (the Edit menu shows it).
    virtual void HistoryChanged() {}
    // An undo or redo has replaced surfaces and groups: the trees, the
    // selection and the switches are shown again. Any surface or group
    // reference kept outside the document may be gone.
    virtual void DocumentRestored() {}
};
