#include "ProgramPeers.h"

#include "CMainFrame.h"
#include "ViewOpenGLst.h"
#include "panel/ControlPanelForm.h"
#include "document/OpenGLTemplateDoc.h"
#include "simulation/FollowCamera.h"
#include "simulation/Simulation.h"
#include "view/CameraCommands.h"

#include <QCoreApplication>
#include <QProgressBar>

void ProgramPeers::SetFrame(CMainFrame* frame)
{
    frame_ = frame;
    panel_ = frame ? frame->controlPanel() : nullptr;
}

bool ProgramPeers::PauseThreads()
{
    if (!frame_) return false;
    ViewCore& view = frame_->view()->core();
    if (!view.renderRunning() && !view.physics().LoopRunning()) return false;
    view.PauseAllAndWait();
    return true;
}

void ProgramPeers::ResumeThreads()
{
    if (frame_) frame_->view()->core().ResumeAll();
}

void ProgramPeers::FillSurfaceTree()
{
    if (panel_) panel_->FillSurfaceTree();
}

void ProgramPeers::SetRenderBox(int value)
{
    if (panel_) panel_->SetRenderBox(value);
}

void ProgramPeers::RefreshControlPanel()
{
    if (panel_) panel_->UpdateFromDocument();
}

void ProgramPeers::FitCameraToSurfaces() { ShowAll(document_); }

void ProgramPeers::PositionBall()
{
    // The document's own view is the one to return to when following ends.
    if (frame_) {
        frame_->view()->core().ForgetOrbitView();
        frame_->view()->core().KeepOrbitView();
    }
    if (!::PositionBall(document_).empty()) return;
    // Called with the threads held (or not yet running): the document's own
    // distance is the one Position ball has just set.
    const double d = -document_.cameraDistance;
    if (frame_) frame_->view()->core().WithViewLock([&] { PreviewLaunch(document_, d); });
    else PreviewLaunch(document_, d);
}

void ProgramPeers::StopBall()
{
    if (frame_) frame_->view()->core().EndFollowing();
    ::StopBall(document_);
}

void ProgramPeers::StartProgress(int range)
{
    if (!frame_ || range <= 0) return;
    frame_->PlaceProgressBar();
    QProgressBar* bar = frame_->progressBar();
    bar->setRange(0, range);
    bar->setValue(0);
    bar->show();
    bar->raise();
    bar->repaint();
}

void ProgramPeers::StepProgress()
{
    if (!frame_) return;
    QProgressBar* bar = frame_->progressBar();
    bar->setValue(bar->value() + 1);
    bar->repaint();
    // A long import or load keeps the windows painted; the user's input waits until it is done.
    frame_->SetBusy(true);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    frame_->SetBusy(false);
}

void ProgramPeers::ModifiedChanged(bool modified)
{
    if (frame_) frame_->setWindowModified(modified);
}

void ProgramPeers::DestroyProgress()
{
    if (frame_) frame_->progressBar()->hide();
}

void ProgramPeers::HistoryChanged()
{
    if (frame_) frame_->UpdateEditMenu();
}

void ProgramPeers::DocumentRestored()
{
    if (!panel_) return;
    panel_->FillSurfaceTree();
    panel_->UpdateFromDocument();
}
